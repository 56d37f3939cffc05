// The window position dialog: which screen corner the popup sits in and how far from the edges.
//
// The page owns the dialog object. It fills MyWindowPosition, MySpaceWidth and MySpaceHeight,
// calls InitAll and ShowModal, and hears back through OkClick or CancelClick (never from the
// close box). Both events come from inside a button's click, so the page unloads the dialog there
// if it likes but destroys it only later, from a posted task; the dialog itself only touches its
// members after raising an event once it knows it still exists.
//
// Modality: ShowModal makes the dialog's window owned by the page's window. Keeping the owner's
// input away while an owned modal window is up is the host's part (on Windows the forms host
// disables the owner until the dialog's window goes); the simulated desktop only records the
// ownership.

#include "options/frmWinPos.h"

#include <optional>
#include <string>
#include <utility>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/forms/Twips.h"

namespace qln::options {

namespace {

constexpr std::int32_t kDefaultSpaceWidth = 27;
constexpr std::int32_t kDefaultSpaceHeight = 54;

constexpr flair::ButtonStateEnum kChecked = flair::enmButtonStatePressed;
constexpr flair::ButtonStateEnum kUnchecked = flair::enmButtonStateNormal;

// The text as a whole number of pixels (halves to even), or nullopt when it is not a number or
// no 32-bit distance can hold it.
std::optional<std::int32_t> wholePixels(const std::string& text)
{
    const std::optional<double> value = lang::parseNumeric(text);
    if (!value)
        return std::nullopt;
    return platform::valueOr<std::optional<std::int32_t>>(std::nullopt, [&] { return lang::roundHalfEven(*value); });
}

// A push button or check-style button as the dialog uses it: flat, without a picture.
void dress(flair::FlairButton& button, const char* caption, double left, double top, double width, double height)
{
    button.InitProperties();
    button.setImage(flair::enmButtonImageNone);
    button.setImageOver(flair::enmButtonImageNone);
    button.setImageDisabled(flair::enmButtonImageNone);
    button.setCaption(caption);
    button.move(left, top, width, height);
}

} // namespace

frmWinPos::frmWinPos(forms::FormsHost& host, PageMessage message)
    : Form(host, "frmWinPos"),
      fraSpace(add<forms::Frame>("fraSpace")),
      lblSpaceWidth(add<forms::Label>("lblSpaceWidth")),
      txtSpaceWidth(add<forms::TextBox>("txtSpaceWidth")),
      lblSpaceHeight(add<forms::Label>("lblSpaceHeight")),
      txtSpaceHeight(add<forms::TextBox>("txtSpaceHeight")),
      chkTopLeft(add<flair::FlairButton>("chkTopLeft")),
      chkTopRight(add<flair::FlairButton>("chkTopRight")),
      chkBottomLeft(add<flair::FlairButton>("chkBottomLeft")),
      chkBottomRight(add<flair::FlairButton>("chkBottomRight")),
      btnDefaults(add<flair::FlairButton>("btnDefaults")),
      btnOK(add<flair::FlairButton>("btnOK")),
      btnCancel(add<flair::FlairButton>("btnCancel")),
      message_(std::move(message))
{
    setCaption("Quellin Window Position");
    // Twips. The corner buttons sit where their corners are: two above the distances, two below.
    move(0, 0, 4680, 3120);

    dress(chkTopLeft, "Top Left", 120, 120, 1455, 375);
    dress(chkTopRight, "Top Right", 3105, 120, 1455, 375);

    fraSpace.setCaption("Space from screen edge (in pixels)");
    fraSpace.move(120, 615, 4440, 1095);
    lblSpaceWidth.setCaption("Horizontal:");
    lblSpaceWidth.setContainer(&fraSpace);
    lblSpaceWidth.move(240, 345, 1095, 255);
    txtSpaceWidth.setContainer(&fraSpace);
    txtSpaceWidth.move(1380, 300, 855, 315);
    lblSpaceHeight.setCaption("Vertical:");
    lblSpaceHeight.setContainer(&fraSpace);
    lblSpaceHeight.move(240, 705, 1095, 255);
    txtSpaceHeight.setContainer(&fraSpace);
    txtSpaceHeight.move(1380, 660, 855, 315);

    dress(chkBottomLeft, "Bottom Left", 120, 1830, 1455, 375);
    dress(chkBottomRight, "Bottom Right", 3105, 1830, 1455, 375);

    dress(btnDefaults, "Restore Defaults", 120, 2610, 1575, 375);
    dress(btnOK, "OK", 2265, 2610, 1095, 375);
    dress(btnCancel, "Cancel", 3465, 2610, 1095, 375);

    // The corner buttons latch like check boxes; their click handler decides what stays checked.
    for (flair::FlairButton* corner : {&chkTopLeft, &chkTopRight, &chkBottomLeft, &chkBottomRight})
        corner->setChecked(true);

    chkTopLeft.Click = [this] { corner_Click(kTopLeft); };
    chkTopRight.Click = [this] { corner_Click(kTopRight); };
    chkBottomLeft.Click = [this] { corner_Click(kBottomLeft); };
    chkBottomRight.Click = [this] { corner_Click(kBottomRight); };
    txtSpaceWidth.Change = [this] { MyDirty = true; };
    txtSpaceHeight.Change = [this] { MyDirty = true; };
    btnDefaults.Click = [this] { btnDefaults_Click(); };
    btnOK.Click = [this] { btnOK_Click(); };
    btnCancel.Click = [this] { btnCancel_Click(); };
}

frmWinPos::~frmWinPos()
{
    Unload();
    *alive_ = false;
}

platform::WindowSpec frmWinPos::windowSpec() const
{
    platform::WindowSpec spec = Form::windowSpec();
    spec.owner = owner_;
    return spec;
}

void frmWinPos::Form_Unload()
{
    // The window that was owned goes; the next showing names its owner again.
    owner_ = platform::NoWindow;
}

flair::FlairButton& frmWinPos::cornerButton(std::int32_t code) const
{
    switch (code) {
    case kBottomLeft:
        return chkBottomLeft;
    case kTopLeft:
        return chkTopLeft;
    case kTopRight:
        return chkTopRight;
    default:
        return chkBottomRight;
    }
}

void frmWinPos::checkCorner(std::int32_t code)
{
    for (std::int32_t corner : {kBottomRight, kBottomLeft, kTopLeft, kTopRight})
        cornerButton(corner).setState(corner == code ? kChecked : kUnchecked);
}

void frmWinPos::InitAll()
{
    // A code outside the four corners leaves every corner unchecked.
    checkCorner(MyWindowPosition);
    txtSpaceWidth.setText(std::to_string(MySpaceWidth));
    txtSpaceHeight.setText(std::to_string(MySpaceHeight));
    MyDirty = false;
}

void frmWinPos::centreOnOwner()
{
    platform::WindowRect owner;
    if (!platform::ignoreFailure([&] { owner = host().desktop().getWindowRect(owner_); }) || owner.width <= 0 ||
        owner.height <= 0)
        return;
    const double ownerLeft = forms::pixelsToTwips(owner.left, host().logPixelsX());
    const double ownerTop = forms::pixelsToTwips(owner.top, host().logPixelsY());
    const double ownerWidth = forms::pixelsToTwips(owner.width, host().logPixelsX());
    const double ownerHeight = forms::pixelsToTwips(owner.height, host().logPixelsY());
    move(ownerLeft + (ownerWidth - Width()) / 2, ownerTop + (ownerHeight - Height()) / 2, Width(), Height());
}

void frmWinPos::ShowModal(platform::WindowHandle owner)
{
    // A window made before the owner was known is made again, owned this time; the controls keep
    // what InitAll put into them.
    if (Loaded() && owner_ != owner)
        Unload();
    owner_ = owner;
    if (owner_ != platform::NoWindow && !Loaded())
        centreOnOwner();
    Show();
}

void frmWinPos::userCloseBox() { Unload(); }

void frmWinPos::corner_Click(std::int32_t code)
{
    // Whatever latching did to the clicked button, it ends checked and the others unchecked.
    MyDirty = true;
    checkCorner(code);
    MyWindowPosition = code;
}

void frmWinPos::btnDefaults_Click()
{
    MyDirty = true;
    checkCorner(kBottomRight);
    MyWindowPosition = kBottomRight;
    // The distances reach the variables only through OK.
    txtSpaceWidth.setText(std::to_string(kDefaultSpaceWidth));
    txtSpaceHeight.setText(std::to_string(kDefaultSpaceHeight));
}

void frmWinPos::btnCancel_Click()
{
    const std::shared_ptr<bool> alive = alive_;
    if (CancelClick)
        CancelClick();
    if (*alive)
        Unload();
}

void frmWinPos::btnOK_Click()
{
    const std::shared_ptr<bool> alive = alive_;
    const std::optional<std::int32_t> width = wholePixels(txtSpaceWidth.Text());
    if (!width) {
        if (message_)
            message_("Horizontal space must be a number of pixels!  Resetting to 27.");
        if (!*alive)
            return;
        txtSpaceWidth.setText(std::to_string(kDefaultSpaceWidth));
        MySpaceWidth = kDefaultSpaceWidth;
        return;
    }
    const std::optional<std::int32_t> height = wholePixels(txtSpaceHeight.Text());
    if (!height) {
        if (message_)
            message_("Vertical space must be a number of pixels!  Resetting to 54.");
        if (!*alive)
            return;
        txtSpaceHeight.setText(std::to_string(kDefaultSpaceHeight));
        MySpaceHeight = kDefaultSpaceHeight;
        return;
    }
    MySpaceWidth = *width;
    MySpaceHeight = *height;
    if (OkClick)
        OkClick();
    if (*alive)
        Unload();
}

} // namespace qln::options
