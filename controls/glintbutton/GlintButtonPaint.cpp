// GlintButton: the repaint and its painters (skins, flat and 3D bevels, the XP look) and the
// focus rectangle.

#include "controls/glintbutton/GlintButton.h"

#include "controls/glintbutton/GlintColours.h"
#include "platform/Failure.h"
#include "platform/Lang.h"

namespace glint {

namespace {

constexpr draw::Rgb kHoverAccent{255, 160, 1};
constexpr draw::Rgb kFocusAccent{96, 128, 255};

} // namespace

void GlintButton::Refresh()
{
    ++refreshes_;
    // A repaint that fails half-way (a degenerate gradient, a surface going away) is left as it
    // stands; the next one starts afresh.
    platform::ignoreFailure([&] { repaint(); });
    invalidate();
}

void GlintButton::repaint()
{
    draw::Surface& surface = canvas();
    surface.resetClip();
    surface.fill(TranslateColor(BackColor()));

    if (style_ == Toggle) {
        if (value_ == Down)
            visualState_ = StateDown;
        else if (visualState_ != StateOver)
            visualState_ = StateUp;
    }

    if (SkinUp() && appearance_ == btSkin)
        PaintSkin();
    else if (appearance_ == btXP)
        PaintXP();
    else
        PaintClassic();

    DrawCaption();

    if (captionDirty_) {
        // A new caption's repaint lets waiting input through once, so typing into a caption
        // that is being set from a text box stays responsive.
        if (site().inputPending())
            site().doEvents();
        captionDirty_ = false;
    }
}

void GlintButton::PaintSkin()
{
    setSurfaceBackStyle(surfaceTransparent);
    forms::PictureRef picture = SkinUp();
    const auto use = [&picture](const forms::PictureRef& skin) {
        if (skin)
            picture = skin;
    };
    switch (visualState_) {
    case StateDown:
        use(SkinDown());
        break;
    case StateOver:
        use(SkinOver());
        break;
    case StateDisabled:
        use(SkinDisabled());
        break;
    case StateUp:
        if (focused())
            use(SkinFocus());
        break;
    }
    setSurfacePicture(picture);
    if (!picture)
        return;

    setSurfaceMaskPicture(picture);
    setSurfaceBackStyle(backStyle_);
    if (autoMask_) {
        if (const std::optional<draw::Rgb> corner = point(0, 0))
            maskColor_ = draw::toOle(*corner);
        setSurfaceMaskColor(maskColor_);
    }
    if (autoSize_)
        sizeToPicture(picture);
}

void GlintButton::PaintClassic()
{
    setSurfaceBackStyle(surfaceOpaque);
    draw::Surface& s = canvas();
    int R = scaleWidth() - 1;
    int B = scaleHeight() - 1;
    const bool isFocused = focused();
    const int f = isFocused ? 1 : 0;

    if (appearance_ == btFlat || appearance_ == btFlatWithBorder) {
        const bool border = appearance_ == btFlatWithBorder;
        if (visualState_ == StateDown || visualState_ == StateOver) {
            int o = 0;
            if (border) {
                --R;
                --B;
                o = 1;
            }
            const draw::Rgb topLeft = visualState_ == StateOver ? shadeLight_ : shadeDark_;
            const draw::Rgb bottomRight = visualState_ == StateOver ? shadeDark_ : shadeLight_;
            s.moveTo(R, o);
            s.lineTo(o, o, topLeft);
            s.lineTo(o, B, topLeft);
            s.moveTo(R, o);
            s.lineTo(R, B, bottomRight);
            s.lineTo(o - 1, B, bottomRight);
            if (border) {
                ++R;
                ++B;
            }
        }
        if (border) {
            const draw::Rgb frame = TranslateColor(borderColor_);
            s.moveTo(0, 0);
            s.lineTo(0, B, frame);
            s.lineTo(R, B, frame);
            s.lineTo(R, 0, frame);
            s.lineTo(0, 0, frame);
        }
        if (isFocused && ShowFocus())
            DrawFocus();
        return;
    }

    if (appearance_ != bt3D)
        return;
    if (isFocused) {
        --R;
        --B;
    }
    const int o = f;
    const bool pressed = visualState_ == StateDown;
    s.moveTo(R - 1, o + 1);
    if (!pressed) {
        s.lineTo(R - 1, B - 1, shadeDark_);
        s.lineTo(o, B - 1, shadeDark_);
    } else {
        s.lineTo(o + 1, o + 1, shadeDark_);
        s.lineTo(o + 1, B, shadeDark_);
    }
    s.moveTo(R, o);
    if (!pressed) {
        s.lineTo(o, o, shadeLight_);
        s.lineTo(o, B, shadeLight_);
    } else {
        s.lineTo(R, B, shadeLight_);
        s.lineTo(o, B, shadeLight_);
    }
    s.moveTo(R, o);
    if (!pressed) {
        s.lineTo(R, B, shadeDarkest_);
        s.lineTo(o - 1, B, shadeDarkest_);
    } else {
        s.lineTo(o, o, shadeDarkest_);
        s.lineTo(o, B + 1, shadeDarkest_);
    }
    if (isFocused) {
        s.moveTo(0, 0);
        s.lineTo(0, B + 1, draw::black);
        s.lineTo(R + 1, B + 1, draw::black);
        s.lineTo(R + 1, 0, draw::black);
        s.lineTo(0, 0, draw::black);
        if (ShowFocus())
            DrawFocus();
    }
}

void GlintButton::PaintXP()
{
    setSurfaceBackStyle(surfaceOpaque);
    draw::Surface& s = canvas();
    const int R = scaleWidth() - 1;
    const int B = scaleHeight() - 1;
    const draw::Rgb back = TranslateColor(BackColor());

    draw::Rgb accent = back;
    if (visualState_ == StateOver)
        accent = kHoverAccent;
    else if (visualState_ != StateDown && hasFocus_)
        accent = kFocusAccent;

    const int d = visualState_ == StateDown ? -96 : 0;
    draw::Rgb top = BlendColor(back, draw::white, 160 + d);
    draw::Rgb bottom = BlendColor(back, draw::white, 32 - d);
    draw::Rgb border;
    if (visualState_ == StateDisabled) {
        border = accent;
        top = BlendColor(top, draw::white, 64);
        bottom = top;
    } else {
        border = TranslateColor(borderColor_);
    }
    const draw::Rgb parentBack = TranslateColor(site().ambientBackColor());
    const draw::Rgb corner = BlendColor(parentBack, border, 128);

    GradientFill(s, 1, 1, R, B - 1, top, bottom);

    // An unreadable pixel reads as GetPixel's CLR_INVALID (-1), which translates as a system colour.
    const auto sample = [&](int x, int y) {
        const std::optional<draw::Rgb> colour = point(x, y);
        return colour ? *colour : TranslateColor(0xFFFFFFFFu);
    };
    const draw::Rgb pB = sample(2, B);
    const draw::Rgb pT = sample(2, 2);
    const draw::Rgb pM = sample(2, lang::roundHalfEven(B / 2.0));
    const int alpha = visualState_ == StateOver || hasFocus_ ? 64 : 224;
    const draw::Rgb e1 = BlendColor(accent, pT, alpha);
    const draw::Rgb e2 = BlendColor(accent, pB, alpha);
    const draw::Rgb e3 = BlendColor(accent, pM, alpha);
    const draw::Rgb s1 = BlendColor(BlendColor(accent, pB, alpha), draw::black, 16);
    const draw::Rgb s2 = BlendColor(s1, draw::black, 32);

    if (visualState_ != StateDisabled) {
        if (visualState_ == StateUp || visualState_ == StateOver) {
            GradientFill(s, R - 2, 1, R - 1, B - 3, e1, e2);
            GradientFill(s, R - 1, 2, R, B - 2, e3, s1);
            s.line({2, B - 2}, {R - 1, B - 2}, s1);
            s.line({2, B - 1}, {R - 1, B - 1}, s2);
        }
        if (visualState_ == StateDown || visualState_ == StateOver || (visualState_ == StateUp && hasFocus_)) {
            GradientFill(s, 2, 2, 3, B - 3, e1, e2);
            GradientFill(s, 1, 1, 2, B - 2, e3, s1);
            const bool down = visualState_ == StateDown;
            s.line({2, 1}, {R - 1, 1}, down ? s2 : BlendColor(s2, draw::white, 128));
            s.line({2, 2}, {R - 1, 2}, down ? s1 : BlendColor(s1, draw::white, 128));
        }
    }

    s.line({2, 0}, {R - 1, 0}, border);
    s.line({2, B}, {R - 1, B}, border);
    s.line({0, 2}, {0, B - 1}, border);
    s.line({R, 2}, {R, B - 1}, border);
    for (const draw::Point p : {draw::Point{1, 1}, {1, B - 1}, {R - 1, 1}, {R - 1, B - 1}})
        s.setPixel(p.x, p.y, border);
    for (const draw::Point p : {draw::Point{0, 0}, {0, B}, {R, B}, {R, 0}})
        s.setPixel(p.x, p.y, parentBack);
    for (const draw::Point p :
         {draw::Point{1, 0}, {0, 1}, {0, B - 1}, {1, B}, {R - 1, 0}, {R, 1}, {R - 1, B}, {R, B - 1}})
        s.setPixel(p.x, p.y, corner);

    if (runMode_ && hasFocus_ && ShowFocus())
        DrawFocus();
}

void GlintButton::DrawFocus()
{
    const int W = scaleWidth();
    const int H = scaleHeight();
    draw::Rect area = appearance_ == btXP ? draw::Rect{2, 2, W - 2, H - 2} : draw::Rect{4, 4, W - 4, H - 4};
    if (visualState_ == StateDown)
        area = {area.left + 1, area.top + 1, area.right + 1, area.bottom + 1};
    canvas().drawFocusRect(area);
}

} // namespace glint
