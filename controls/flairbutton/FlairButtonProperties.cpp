// FlairButton: creation, properties, saving and loading, and the host's ambient changes.

#include "controls/flairbutton/FlairButton.h"

#include <limits>

#include "controls/flairbutton/FlairImages.h"
#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/forms/Form.h"

namespace flair {

namespace {

constexpr draw::OleColour kButtonFace = draw::systemOleColour(draw::syscolour::ButtonFace);
constexpr draw::OleColour kButtonText = draw::systemOleColour(draw::syscolour::ButtonText);
constexpr draw::OleColour kHighlight = draw::systemOleColour(draw::syscolour::Highlight);
// Twips: the caption's place without an image, the separator's width, the part's first place.
constexpr double kCaptionLeft = 45;
constexpr double kSeparatorWidth = 30;
constexpr double kImageMargin = 30;
// The surface's mouse pointers: the default arrow, and the control's own picture.
constexpr int kPointerDefault = 0;
constexpr int kPointerCustom = 99;

void checkRange(std::int32_t value, std::int32_t low, std::int32_t high)
{
    if (value < low || value > high)
        throw platform::Failure("Invalid property value", 380);
}

// Colours travel through the property bag as VB Longs.
std::int32_t asLong(draw::OleColour colour) { return static_cast<std::int32_t>(colour); }
draw::OleColour asColour(std::int32_t value) { return static_cast<draw::OleColour>(value); }

// An index read from the bag as a Long goes into a 16-bit property.
std::int16_t asIndex(std::int32_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        throw platform::Failure("Overflow", 6);
    return static_cast<std::int16_t>(value);
}

bool isBuiltIn(const forms::ImageListRef& list) { return list && list->Tag() == builtInImageListTag; }

} // namespace

FlairButton::FlairButton(forms::Form& form, std::string name)
    : UserControl(form, std::move(name))
    , lbl_(form, "lbl")
    , lblRight_(form, "lblRight")
    , img_(form, "img")
    , tmr_(form.host().loop(), "tmr", 1, false)
{
    tmr_.on_timer = [this] { tmr_Timer(); };
    for (forms::Control* part : {static_cast<forms::Control*>(&img_), static_cast<forms::Control*>(&lbl_),
                                 static_cast<forms::Control*>(&lblRight_)})
        part->setContainer(this);
    lbl_.setFont(*surfaceFont());
    lblRight_.setFont(*surfaceFont());
    lbl_.setLeft(kCaptionLeft);
    const int side = builtInImageSize;
    img_.move(kImageMargin, kImageMargin, side * twipsPerPixelX(), side * twipsPerPixelY());
    imageList_ = imageListOver_ = imageListDisabled_ = builtInImageList();
    setSurfaceMouseIcon(hyperlinkPointer());
}

FlairButton::~FlairButton() { tmr_.setEnabled(false); }

void FlairButton::notify(std::string_view name)
{
    platform::ignoreFailure([&] { site().propertyChanged(name); });
}

void FlairButton::setCaption(std::string caption)
{
    lbl_.setCaption(std::move(caption));
    // A longer caption may now run into the detail text.
    placeDetail();
    notify("Caption");
}

void FlairButton::setCaptionDetail(std::string caption)
{
    lblRight_.setCaption(std::move(caption));
    placeDetail();
    notify("CaptionDetail");
}

void FlairButton::setStyle(std::int32_t style)
{
    checkRange(style, enmButtonStyleFlat, enmButtonStyleHyperlink);
    style_ = static_cast<ButtonStyleEnum>(style);
    const bool separator = style_ == enmButtonStyleSeperator;
    img_.setVisible(!separator);
    lbl_.setVisible(!separator);
    if (separator)
        setWidth(kSeparatorWidth);
    if (isHyperlink()) {
        setLabelColour(kHighlight);
        setBackColor(platform::valueOr(kButtonFace, [&] { return site().ambientBackColor(); }));
        setSurfaceMousePointer(kPointerCustom);
    } else {
        setLabelColour(ForeColor());
        setSurfaceMousePointer(kPointerDefault);
        setBackColor(kButtonFace);
    }
    clearSurface();
    PaintNormal();
    notify("Style");
}

void FlairButton::setState(std::int32_t state)
{
    checkRange(state, enmButtonStateNormal, enmButtonStateDisabled);
    const auto next = static_cast<ButtonStateEnum>(state);
    if (state_ == enmButtonStateDisabled && next != enmButtonStateDisabled) {
        state_ = next;
        setForeColor(ForeColor());
        locked_ = false;
    }
    state_ = next;
    switch (state_) {
    case enmButtonStateNormal:
        PaintNormal();
        break;
    case enmButtonStateOver:
        PaintOver();
        break;
    case enmButtonStateDown:
        PaintDown();
        break;
    case enmButtonStatePressed:
        PaintPressed();
        break;
    case enmButtonStateUnPressed:
        break;
    case enmButtonStateDisabled:
        PaintNormal();
        setLabelColour(draw::systemOleColour(draw::syscolour::GrayText));
        locked_ = true;
        break;
    }
    ShowStateImage();
    notify("State");
    raiseStateChange();
}

void FlairButton::setImage(std::int16_t index)
{
    image_ = index;
    if (imageOver_ == 0)
        imageOver_ = index;
    if (imageDisabled_ == 0)
        imageDisabled_ = index;
    placeCaption();
    ShowStateImage();
    notify("Image");
}

void FlairButton::setImageOver(std::int16_t index)
{
    imageOver_ = index;
    ShowStateImage();
    notify("ImageOver");
}

void FlairButton::setImageDisabled(std::int16_t index)
{
    imageDisabled_ = index;
    ShowStateImage();
    notify("ImageDisabled");
}

void FlairButton::setImageList(forms::ImageListRef list)
{
    const bool overFollows = isBuiltIn(imageListOver_);
    const bool disabledFollows = isBuiltIn(imageListDisabled_);
    imageList_ = std::move(list);
    if (overFollows)
        imageListOver_ = imageList_;
    if (disabledFollows)
        imageListDisabled_ = imageList_;
    if (imageList_)
        img_.move(img_.Left(), img_.Top(), imageList_->ImageWidth() * twipsPerPixelX(),
                  imageList_->ImageHeight() * twipsPerPixelY());
    placeCaption();
    Layout();
    // The picture on show came from the list that was just replaced.
    ShowStateImage();
}

void FlairButton::setBackColor(draw::OleColour colour)
{
    UserControl::setBackColor(colour);
    surfaceBack_ = colour;
    PaintNormal();
    notify("BackColor");
}

void FlairButton::setForeColor(draw::OleColour colour)
{
    UserControl::setForeColor(colour);
    setLabelColour(colour);
    PaintNormal();
    notify("ForeColor");
}

void FlairButton::setFont(forms::FontRef font)
{
    platform::ignoreFailure([&] {
        if (!font)
            throw platform::Failure("Invalid use of Nothing", 94);
        setSurfaceFont(font);
        applyFont(*font);
    });
    Layout();
    notify("Font");
}

void FlairButton::applyFont(const forms::StdFont& font)
{
    // The caption keeps its link underline while the pointer is over it.
    const bool underlined = lbl_.FontUnderline() && !lblRight_.FontUnderline();
    lbl_.setFont(font);
    lblRight_.setFont(font);
    if (underlined)
        lbl_.setFontUnderline(true);
}

void FlairButton::setHyperlink(std::string url)
{
    hyperlink_ = std::move(url);
    notify("Hyperlink");
}

platform::WindowHandle FlairButton::hWnd() const
{
    return platform::valueOr(platform::NoWindow, [&] { return site().hWnd(); });
}

void FlairButton::setHyperlinkServices(platform::FileSystem* files, platform::SystemInfo* system)
{
    files_ = files;
    system_ = system;
}

void FlairButton::InitProperties()
{
    setStyle(enmButtonStyleFlat);
    setImage(enmButtonImageBack);
    setImageOver(enmButtonImageBackOver);
    setImageDisabled(enmButtonImageBack);
    setBackColor(platform::valueOr(kButtonFace, [&] { return site().ambientBackColor(); }));
    setForeColor(kButtonText);
    platform::ignoreFailure([&] {
        const forms::FontRef ambient = site().ambientFont();
        if (!ambient)
            return;
        lbl_.setFont(*ambient);
        lblRight_.setFont(*ambient);
    });
    Layout();
}

void FlairButton::ReadProperties(const forms::PropertyBag& bag)
{
    const auto step = [](auto&& assign) { platform::ignoreFailure(assign); };
    step([&] { setCaption(bag.readString("Caption", "")); });
    step([&] { setCaptionDetail(bag.readString("CaptionDetail", "")); });
    step([&] { setStyle(bag.readLong("Style", enmButtonStyleFlat)); });
    step([&] { setImage(asIndex(bag.readLong("Image", 0))); });
    step([&] { setImageOver(asIndex(bag.readLong("ImageOver", 0))); });
    step([&] { setImageDisabled(asIndex(bag.readLong("ImageDisabled", 0))); });
    step([&] { setBackColor(asColour(bag.readLong("BackColor", asLong(kButtonFace)))); });
    step([&] { setForeColor(asColour(bag.readLong("ForeColor", asLong(kButtonText)))); });
    step([&] { setLocked(bag.readBool("Locked", false)); });
    step([&] { setChecked(bag.readBool("Checked", false)); });
    step([&] { setState(bag.readLong("State", enmButtonStateNormal)); });
    step([&] { setHyperlink(bag.readString("Hyperlink", "")); });
    step([&] {
        const forms::FontRef ambient = platform::valueOr(forms::FontRef{}, [&] { return site().ambientFont(); });
        setFont(bag.readFont("Font", ambient));
    });
}

void FlairButton::WriteProperties(forms::PropertyBag& bag) const
{
    const forms::FontRef ambient = platform::valueOr(forms::FontRef{}, [&] { return site().ambientFont(); });
    bag.writeString("Caption", Caption(), "");
    bag.writeString("CaptionDetail", CaptionDetail(), "");
    bag.writeLong("Style", style_, enmButtonStyleFlat);
    bag.writeLong("Image", image_, 0);
    bag.writeLong("ImageOver", imageOver_, 0);
    bag.writeLong("ImageDisabled", imageDisabled_, 0);
    bag.writeLong("BackColor", asLong(BackColor()), asLong(kButtonFace));
    bag.writeLong("ForeColor", asLong(ForeColor()), asLong(kButtonText));
    bag.writeBool("Locked", locked_, false);
    bag.writeBool("Checked", checked_, false);
    bag.writeLong("State", state_, enmButtonStateNormal);
    bag.writeString("Hyperlink", hyperlink_, "");
    bag.writeFont("Font", Font(), ambient);
}

void FlairButton::onAmbientChanged(std::string_view name)
{
    if (lang::equalsNoCase(name, "BackColor")) {
        platform::ignoreFailure([&] { setBackColor(site().ambientBackColor()); });
    } else if (lang::equalsNoCase(name, "Font")) {
        platform::ignoreFailure([&] {
            const forms::FontRef ambient = site().ambientFont();
            if (!ambient || !Font())
                return;
            Font()->Name = ambient->Name;
            applyFont(*Font());
            Layout();
            notify("Font");
        });
    }
}

} // namespace flair
