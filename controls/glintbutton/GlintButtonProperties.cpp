// GlintButton: creation, properties, skin switching, the access key, skins read by path, and
// saving and loading.

#include "controls/glintbutton/GlintButton.h"

#include "controls/glintbutton/GlintColours.h"
#include "platform/Failure.h"
#include "platform/Utf8.h"
#include "platform/forms/Form.h"

namespace glint {

namespace {

constexpr draw::OleColour kButtonFace = draw::systemOleColour(draw::syscolour::ButtonFace);
constexpr draw::OleColour kButtonText = draw::systemOleColour(draw::syscolour::ButtonText);
// The size of a new instance, in twips.
constexpr double kInitialWidth = 1215;
constexpr double kInitialHeight = 495;
// Pictures report HIMETRIC; the control sizes itself in twips by this factor (2540 / 1440,
// rounded as the control always had it).
constexpr double kHimetricPerTwip = 1.76;
constexpr double kMaxFontPoints = 2160.0;

void checkRange(std::int32_t value, std::int32_t low, std::int32_t high)
{
    if (value < low || value > high)
        throw platform::Failure("Invalid property value", 380);
}

// Colours travel through the property bag as VB Longs.
std::int32_t asLong(draw::OleColour colour) { return static_cast<std::int32_t>(colour); }
draw::OleColour asColour(std::int32_t value) { return static_cast<draw::OleColour>(value); }

} // namespace

GlintButton::GlintButton(forms::Form& form, std::string name)
    : UserControl(form, std::move(name))
    , font_(surfaceFont())
    , tmrOverTimer_(form.host().loop(), "tmrOverTimer", 55, false)
{
    tmrOverTimer_.on_timer = [this] { tmrOverTimer_Timer(); };
    setSurfaceBackStyle(backStyle_);
    const draw::Rgb face = TranslateColor(BackColor());
    shadeLight_ = ShadeColor(face, 64);
    shadeDark_ = ShadeColor(face, -64);
    shadeDarkest_ = ShadeColor(face, -128);
    runMode_ = true;
    LayoutCaption();
}

GlintButton::~GlintButton() { tmrOverTimer_.setEnabled(false); }

void GlintButton::notify(std::string_view name)
{
    platform::ignoreFailure([&] { site().propertyChanged(name); });
}

void GlintButton::setAppearance(std::int32_t appearance)
{
    checkRange(appearance, btFlat, btSkin);
    if (appearance_ == appearance)
        return;
    appearance_ = static_cast<AppearanceConstants>(appearance);
    Refresh();
    notify("Appearance");
}

void GlintButton::setAutoMask(bool autoMask)
{
    if (autoMask_ == autoMask)
        return;
    autoMask_ = autoMask;
    if (SkinUp() && autoMask_) {
        // A surface too small to have a top-left pixel has no mask colour to offer.
        if (const std::optional<draw::Rgb> corner = point(0, 0))
            maskColor_ = draw::toOle(*corner);
    }
    Refresh();
    notify("AutoMask");
}

void GlintButton::setAutoSize(bool autoSize)
{
    if (autoSize_ == autoSize)
        return;
    autoSize_ = autoSize;
    if (autoSize_ && surfacePicture())
        sizeToPicture(surfacePicture());
    Refresh();
    notify("AutoSize");
}

void GlintButton::sizeToPicture(const forms::PictureRef& picture)
{
    move(Left(), Top(), picture->widthHimetric / kHimetricPerTwip, picture->heightHimetric / kHimetricPerTwip);
}

void GlintButton::setBackColor(draw::OleColour colour)
{
    UserControl::setBackColor(colour);
    const draw::Rgb back = TranslateColor(colour);
    shadeLight_ = ShadeColor(back, 64);
    shadeDark_ = ShadeColor(back, -64);
    shadeDarkest_ = ShadeColor(back, -128);
    Refresh();
    notify("BackColor");
}

void GlintButton::setBackStyle(std::int32_t backStyle)
{
    checkRange(backStyle, btTransparent, btOpaque);
    backStyle_ = static_cast<BackStyleConstants>(backStyle);
    setSurfaceBackStyle(backStyle_);
    Refresh();
    notify("BackStyle");
}

void GlintButton::setBorderColor(draw::OleColour colour)
{
    if (borderColor_ == colour)
        return;
    borderColor_ = colour;
    Refresh();
    notify("BorderColor");
}

void GlintButton::setCaption(std::string caption)
{
    if (caption_ == caption)
        return;
    caption_ = std::move(caption);
    captionDirty_ = true;
    applyAccessKey();
    LayoutCaption();
    notify("Caption");
}

void GlintButton::applyAccessKey()
{
    const std::size_t size = caption_.size();
    for (std::size_t i = 0; i < size;) {
        if (caption_[i] != '&') {
            ++i;
            continue;
        }
        if (i + 1 < size && caption_[i + 1] == '&') {
            i += 2;
            continue;
        }
        // The key is the whole character after the "&", however many bytes it takes.
        setAccessKeys(i + 1 < size ? caption_.substr(i + 1, utf8::next(caption_, i + 1) - (i + 1)) : std::string());
        return;
    }
}

void GlintButton::setCaptionAlignHorz(std::int32_t align)
{
    checkRange(align, AlignLeft, AlignRight);
    if (alignHorz_ == align)
        return;
    alignHorz_ = static_cast<EnumHorzAlignConstants>(align);
    LayoutCaption();
    notify("CaptionAlignHorz");
}

void GlintButton::setCaptionAlignVert(std::int32_t align)
{
    checkRange(align, AlignTop, AlignBottom);
    if (alignVert_ == align)
        return;
    alignVert_ = static_cast<EnumVertAlignConstants>(align);
    LayoutCaption();
    notify("CaptionAlignVert");
}

void GlintButton::setCaptionOffsetX(std::int32_t pixels)
{
    if (offsetX_ == pixels)
        return;
    offsetX_ = pixels;
    Refresh();
    notify("CaptionOffsetX");
}

void GlintButton::setCaptionOffsetY(std::int32_t pixels)
{
    if (offsetY_ == pixels)
        return;
    offsetY_ = pixels;
    Refresh();
    notify("CaptionOffsetY");
}

void GlintButton::setEnabled(bool enabled)
{
    UserControl::setEnabled(enabled);
    visualState_ = enabled ? StateUp : StateDisabled;
    Refresh();
    notify("Enabled");
}

void GlintButton::setFont(forms::FontRef font)
{
    if (!font)
        return;
    font_ = std::move(font);
    setSurfaceFont(font_);
    LayoutCaption();
    notify("Font");
}

void GlintButton::fontChanged()
{
    LayoutCaption();
    notify("Font");
}

void GlintButton::setFontBold(bool bold)
{
    if (font_->Bold == bold)
        return;
    font_->Bold = bold;
    fontChanged();
}

void GlintButton::setFontItalic(bool italic)
{
    if (font_->Italic == italic)
        return;
    font_->Italic = italic;
    fontChanged();
}

void GlintButton::setFontStrikethru(bool strikethru)
{
    if (font_->Strikethrough == strikethru)
        return;
    font_->Strikethrough = strikethru;
    fontChanged();
}

void GlintButton::setFontUnderline(bool underline)
{
    if (font_->Underline == underline)
        return;
    font_->Underline = underline;
    fontChanged();
}

void GlintButton::setFontName(std::string name)
{
    if (font_->Name == name)
        return;
    font_->Name = std::move(name);
    fontChanged();
}

void GlintButton::setFontSize(double points)
{
    if (!(points > 0 && points <= kMaxFontPoints))
        throw platform::Failure("Invalid property value", 380);
    if (font_->Size == points)
        return;
    font_->Size = points;
    fontChanged();
}

void GlintButton::setForeColor(draw::OleColour colour)
{
    if (ForeColor() == colour)
        return;
    UserControl::setForeColor(colour);
    Refresh();
    notify("ForeColor");
}

void GlintButton::setHighlightColor(draw::OleColour colour)
{
    if (highlightColor_ == colour)
        return;
    highlightColor_ = colour;
    Refresh();
    notify("HighlightColor");
}

platform::WindowHandle GlintButton::hWnd() const
{
    return platform::valueOr(platform::NoWindow, [&] { return site().hWnd(); });
}

void GlintButton::setMaskColor(draw::OleColour colour)
{
    maskColor_ = colour;
    setSurfaceMaskColor(colour);
    if (SkinUp()) {
        const std::optional<draw::Rgb> corner = point(0, 0);
        if (!corner || draw::toOle(*corner) != colour)
            autoMask_ = false;
    }
    Refresh();
    notify("MaskColor");
}

void GlintButton::setMouseIcon(forms::PictureRef icon)
{
    mouseIcon_ = std::move(icon);
    setSurfaceMouseIcon(mouseIcon_);
    notify("MouseIcon");
}

void GlintButton::setMousePointer(std::int32_t pointer)
{
    mousePointer_ = pointer;
    setSurfaceMousePointer(pointer);
    notify("MousePointer");
}

void GlintButton::setRightToLeft(bool rightToLeft)
{
    rightToLeft_ = rightToLeft;
    setSurfaceRightToLeft(rightToLeft);
    Refresh();
    notify("RightToLeft");
}

void GlintButton::setShowFocus(bool showFocus)
{
    if (ShowFocus() == showFocus)
        return;
    showFocus_ = showFocus ? -1 : 0;
    Refresh();
    notify("ShowFocus");
}

bool GlintButton::noSkinLoaded() const
{
    for (const forms::PictureRef& skin : skins_)
        if (skin)
            return false;
    return true;
}

void GlintButton::setSkin(Skin which, forms::PictureRef picture)
{
    // The first skin makes a skinned button of any look; taking the last one away from a skinned
    // button leaves the 3D look. Neither switch is the user's assignment of Appearance.
    if (picture && noSkinLoaded())
        appearance_ = btSkin;
    const bool removed = !picture;
    skins_[which] = std::move(picture);
    if (removed && noSkinLoaded() && appearance_ == btSkin)
        appearance_ = bt3D;
    Refresh();
    notify(skinNames[which]);
}

void GlintButton::setSkinPath(Skin which, std::string path)
{
    if (skinPaths_[which] == path && skins_[which])
        return;
    skinPaths_[which] = std::move(path);
    platform::ignoreFailure([&] {
        site().asyncRead(skinPaths_[which], skinPathNames[which], forms::asyncReadGetFromCacheIfNetFail,
                         [this](const forms::AsyncReadResult& result) { AsyncReadComplete(result); });
    });
    notify(skinPathNames[which]);
}

void GlintButton::AsyncReadComplete(const forms::AsyncReadResult& result)
{
    site().doEvents();
    for (int i = 0; i < SkinCount; ++i) {
        if (result.propertyName != skinPathNames[i])
            continue;
        platform::ignoreFailure([&] { setSkin(static_cast<Skin>(i), result.value()); });
        return;
    }
}

void GlintButton::setStyle(std::int32_t style)
{
    checkRange(style, Default, Toggle);
    if (style_ == style)
        return;
    style_ = static_cast<StyleConstants>(style);
    Refresh();
    notify("Style");
}

void GlintButton::setValue(std::int32_t value)
{
    checkRange(value, Down, Up);
    if (value == Down)
        RaiseNamedEvent("Click");
    if (value_ == value)
        return;
    value_ = static_cast<ValueConstants>(value);
    if (style_ == Toggle)
        Refresh();
    notify("Value");
}

void GlintButton::setWhatsThisHelpID(std::int32_t id)
{
    if (whatsThisHelpID_ == id)
        return;
    whatsThisHelpID_ = id;
    notify("WhatsThisHelpID");
}

void GlintButton::InitProperties()
{
    runMode_ = platform::valueOr(true, [&] { return site().userMode(); });
    setAppearance(bt3D);
    setAutoMask(true);
    setAutoSize(true);
    setBackColor(kButtonFace);
    setBackStyle(btTransparent);
    setBorderColor(0);
    setCaptionOffsetX(0);
    setCaptionOffsetY(0);
    setEnabled(true);
    setForeColor(kButtonText);
    setFont(platform::valueOr(forms::FontRef{}, [&] { return site().ambientFont(); }));
    setHighlightColor(kButtonText);
    setMouseIcon(nullptr);
    setMousePointer(0);
    setRightToLeft(false);
    for (int i = 0; i < SkinCount; ++i)
        setSkin(static_cast<Skin>(i), nullptr);
    setStyle(Default);
    setMaskColor(0);
    setValue(Up);
    setWhatsThisHelpID(0);
    setCaptionAlignVert(AlignCenter);
    setShowFocus(true);
    move(Left(), Top(), kInitialWidth, kInitialHeight);
    for (int i = 0; i < SkinCount; ++i)
        setSkinPath(static_cast<Skin>(i), "");
    setCaptionAlignHorz(AlignMiddle);
    setCaption(className);
    platform::ignoreFailure([&] { setCaption(site().extenderName()); });
}

void GlintButton::ReadProperties(const forms::PropertyBag& bag)
{
    const forms::FontRef ambientFont = platform::valueOr(forms::FontRef{}, [&] { return site().ambientFont(); });
    setAppearance(bag.readLong("Appearance", bt3D));
    setAutoMask(bag.readBool("AutoMask", true));
    setAutoSize(bag.readBool("AutoSize", true));
    setBackColor(asColour(bag.readLong("BackColor", asLong(kButtonFace))));
    setBackStyle(bag.readLong("BackStyle", btTransparent));
    setBorderColor(asColour(bag.readLong("BorderColor", 0)));
    setCaption(bag.readString("Caption", className));
    setCaptionOffsetX(bag.readLong("CaptionOffsetX", 0));
    setCaptionOffsetY(bag.readLong("CaptionOffsetY", 0));
    setEnabled(bag.readBool("Enabled", true));
    setForeColor(asColour(bag.readLong("ForeColor", asLong(kButtonText))));
    setFont(bag.readFont("Font", ambientFont));
    setHighlightColor(asColour(bag.readLong("HighlightColor", asLong(kButtonText))));
    setMouseIcon(bag.readPicture("MouseIcon", nullptr));
    setMousePointer(bag.readLong("MousePointer", 0));
    setRightToLeft(bag.readBool("RightToLeft", false));
    for (int i = 0; i < SkinCount; ++i)
        setSkin(static_cast<Skin>(i), bag.readPicture(skinNames[i], nullptr));
    setStyle(bag.readLong("Style", Default));
    setMaskColor(asColour(bag.readLong("MaskColor", 0)));
    setValue(bag.readLong("Value", Up));
    setWhatsThisHelpID(bag.readLong("WhatsThisHelpID", 0));
    setCaptionAlignVert(bag.readLong("CaptionAlignVert", AlignCenter));
    setShowFocus(bag.readBool("ShowFocus", true));
    for (int i = 0; i < SkinCount; ++i)
        setSkinPath(static_cast<Skin>(i), bag.readString(skinPathNames[i], ""));
    setCaptionAlignHorz(bag.readLong("CaptionAlignHorz", AlignMiddle));
}

void GlintButton::WriteProperties(forms::PropertyBag& bag) const
{
    const forms::FontRef ambientFont = platform::valueOr(forms::FontRef{}, [&] { return site().ambientFont(); });
    bag.writeLong("Appearance", appearance_, bt3D);
    bag.writeBool("AutoMask", autoMask_, true);
    bag.writeBool("AutoSize", autoSize_, true);
    bag.writeBool("Enabled", Enabled(), true);
    bag.writeLong("BackColor", asLong(BackColor()), asLong(kButtonFace));
    bag.writeLong("BackStyle", backStyle_, btTransparent);
    bag.writeLong("BorderColor", asLong(borderColor_), 0);
    bag.writeString("Caption", caption_, className);
    bag.writeLong("CaptionOffsetX", offsetX_, 0);
    bag.writeLong("CaptionOffsetY", offsetY_, 0);
    bag.writeLong("ForeColor", asLong(ForeColor()), asLong(kButtonText));
    bag.writeFont("Font", font_, ambientFont);
    bag.writeLong("HighlightColor", asLong(highlightColor_), asLong(kButtonText));
    bag.writeBool("RightToLeft", rightToLeft_, false);
    bag.writeLong("MaskColor", asLong(maskColor_), 0);
    bag.writePicture("MouseIcon", mouseIcon_, nullptr);
    bag.writeLong("MousePointer", mousePointer_, 0);
    for (int i = 0; i < SkinCount; ++i)
        bag.writePicture(skinNames[i], skins_[i], nullptr);
    bag.writeLong("Style", style_, Default);
    bag.writeLong("Value", value_, Up);
    bag.writeLong("WhatsThisHelpID", whatsThisHelpID_, 0);
    bag.writeLong("CaptionAlignVert", alignVert_, AlignCenter);
    bag.writeBool("ShowFocus", ShowFocus(), true);
    for (int i = 0; i < SkinCount; ++i)
        bag.writeString(skinPathNames[i], skinPaths_[i], "");
    bag.writeLong("CaptionAlignHorz", alignHorz_, AlignMiddle);
}

} // namespace glint
