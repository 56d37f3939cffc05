#include "platform/forms/UserControl.h"

#include <algorithm>

#include "platform/Failure.h"
#include "platform/Utf8.h"
#include "platform/fonts/TextLayout.h"
#include "platform/forms/Form.h"

namespace forms {

UserControl::UserControl(Form& form, std::string name)
    : Control(form, std::move(name)), site_(std::make_unique<ControlSite>(*this))
{
}

UserControl::~UserControl() = default;

void UserControl::setSite(std::unique_ptr<ControlSite> site)
{
    if (site && &site->control() == this)
        site_ = std::move(site);
}

void UserControl::mouseDown(int button, int shift, int x, int y)
{
    if (!reactsToUser())
        return;
    site_->pointerAt({x, y});
    onMouseDown(button, shift, x, y);
}

void UserControl::mouseMove(int button, int shift, int x, int y)
{
    if (!reactsToUser())
        return;
    site_->pointerAt({x, y});
    onMouseMove(button, shift, x, y);
}

void UserControl::mouseUp(int button, int shift, int x, int y)
{
    if (!reactsToUser())
        return;
    site_->pointerAt({x, y});
    onMouseUp(button, shift, x, y);
}

void UserControl::keyDown(int keyCode, int shift)
{
    if (reactsToUser())
        onKeyDown(keyCode, shift);
}

void UserControl::keyPress(int keyAscii)
{
    if (reactsToUser())
        onKeyPress(keyAscii);
}

void UserControl::keyUp(int keyCode, int shift)
{
    if (reactsToUser())
        onKeyUp(keyCode, shift);
}

void UserControl::gotFocus()
{
    if (reactsToUser())
        onGotFocus();
}

// Losing the focus is always told: a control disabled while it had the focus loses it.
void UserControl::lostFocus() { onLostFocus(); }

void UserControl::accessKeyPress(std::string_view key)
{
    if (reactsToUser())
        onAccessKeyPress(key);
}

void UserControl::ambientChanged(std::string_view name) { onAmbientChanged(name); }

int UserControl::scaleWidth() const { return std::max(pixelsX(Width()), 0); }
int UserControl::scaleHeight() const { return std::max(pixelsY(Height()), 0); }

std::optional<draw::Rgb> UserControl::point(int x, int y) const
{
    if (x < 0 || y < 0 || x >= scaleWidth() || y >= scaleHeight())
        return std::nullopt;
    return raster_.pixel(x, y);
}

bool UserControl::inShape(int x, int y) const
{
    if (x < 0 || y < 0 || x >= scaleWidth() || y >= scaleHeight())
        return false;
    if (backStyle_ != surfaceTransparent || !maskPicture_)
        return true;
    const std::optional<draw::Rgb> mask = maskPicture_->image.pixel(x, y);
    return mask && *mask != draw::resolveColour(maskColour_);
}

draw::Point UserControl::screenOrigin() const
{
    // The form's window where the desktop has it: a form whose window lives inside another
    // program's window (a control in a dialog) is not at its own bounds on the screen.
    const Form& form = parent();
    platform::WindowRect window = form.pixelBounds();
    if (form.Loaded())
        window = platform::valueOr(window, [&] { return form.host().desktop().getWindowRect(form.hWnd()); });
    // The containers' boxes from the outermost in: each is placed relative to the one around it.
    const auto originOf = [&](const Control* control, const auto& self) -> draw::Point {
        if (!control->Container())
            return {window.left, window.top};
        const Control* container = control->Container();
        const draw::Rect box = container->pixelBounds(self(container, self));
        return {box.left, box.top};
    };
    const draw::Rect box = pixelBounds(originOf(this, originOf));
    return {box.left, box.top};
}

double UserControl::twipsPerPixelX() const { return twipsX(1); }
double UserControl::twipsPerPixelY() const { return twipsY(1); }

void UserControl::paint(draw::Surface& surface, draw::Point origin) const
{
    const draw::Rect box = pixelBounds(origin);
    const bool cut = backStyle_ == surfaceTransparent && maskPicture_;
    if (!cut) {
        surface.blit(raster_, raster_.bounds(), box.left, box.top);
        return;
    }
    const int width = std::min(raster_.width(), box.width());
    const int height = std::min(raster_.height(), box.height());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (inShape(x, y))
                surface.setPixel(box.left + x, box.top + y, *raster_.pixel(x, y));
}

void UserControl::setSurfacePicture(PictureRef picture)
{
    picture_ = std::move(picture);
    draw::Surface& surface = canvas();
    surface.resetClip();
    surface.fill(draw::resolveColour(BackColor()));
    if (picture_)
        surface.drawPicture(picture_->image, 0, 0);
}

draw::Surface& UserControl::canvas()
{
    const int width = scaleWidth();
    const int height = scaleHeight();
    if (raster_.width() != width || raster_.height() != height)
        raster_.resize(width, height, draw::resolveColour(BackColor()));
    return raster_;
}

int UserControl::textWidth(std::string_view text) const
{
    return host().fonts().textWidth(font_->fontSpec(), host().logPixelsY(), text);
}

int UserControl::textHeight() const { return host().fonts().metrics(font_->fontSpec(), host().logPixelsY()).height; }

void UserControl::drawText(int x, int y, std::string_view text, draw::Rgb colour, TextStyle style,
                           std::optional<draw::Rect> clip)
{
    fonts::PrefixedText shown;
    if (style.prefix)
        shown = fonts::TextLayout::processPrefix(text);
    else
        shown.text = std::string(text);

    platform::FontEngine& engine = host().fonts();
    const platform::FontSpec face = font_->fontSpec();
    const int dpi = host().logPixelsY();
    const platform::CoverageMask mask = engine.render(face, dpi, shown.text);
    draw::Surface& surface = canvas();
    const draw::Rect limit = clip ? *clip : surface.bounds();

    const auto bar = [&](int left, int row, int width) {
        const draw::Rect line = draw::Rect::ofSize(left, row, width, 1).intersected(limit);
        if (style.disabled) {
            surface.fillRect(draw::Rect{line.left + 1, line.top + 1, line.right + 1, line.bottom + 1}.intersected(limit),
                             draw::systemColour(draw::syscolour::ButtonHighlight));
            surface.fillRect(line, draw::systemColour(draw::syscolour::GrayText));
        } else {
            surface.fillRect(line, colour);
        }
    };

    if (style.disabled)
        surface.drawMaskDisabled(mask, x, y, limit);
    else
        surface.drawMask(mask, x, y, colour, limit);
    if (mask.height <= 0)
        return;
    if (shown.underline >= 0 && static_cast<std::size_t>(shown.underline) < shown.text.size()) {
        const std::string_view all = shown.text;
        const auto index = static_cast<std::size_t>(shown.underline);
        bar(x + engine.textWidth(face, dpi, all.substr(0, index)), y + std::min(mask.ascent + 1, mask.height - 1),
            engine.textWidth(face, dpi, all.substr(index, utf8::next(all, index) - index)));
    }
    if (font_->Strikethrough)
        bar(x, y + mask.ascent - mask.ascent / 3, mask.width);
}

void UserControl::onUserClick()
{
    const int x = scaleWidth() / 2;
    const int y = scaleHeight() / 2;
    mouseDown(1, 0, x, y);
    mouseUp(1, 0, x, y);
}

void UserControl::resized()
{
    canvas();
    onResize();
}

} // namespace forms
