#pragma once
// The window position dialog of the options page: the popup's corner and its distances from the
// screen edges. The page fills the public variables, calls InitAll and shows the dialog modally;
// the dialog answers through OkClick and CancelClick. Closing it with the window's close box
// raises neither.

#include <cstdint>
#include <functional>
#include <memory>

#include "controls/flairbutton/FlairButton.h"
#include "options/PageMessages.h"
#include "platform/forms/Form.h"
#include "platform/forms/Frame.h"
#include "platform/forms/Label.h"
#include "platform/forms/TextBox.h"

namespace qln::options {

class frmWinPos : public forms::Form {
public:
    // Corner codes of MyWindowPosition (the notifier's WindowPosition).
    static constexpr std::int32_t kBottomRight = 0;
    static constexpr std::int32_t kBottomLeft = 1;
    static constexpr std::int32_t kTopLeft = 2;
    static constexpr std::int32_t kTopRight = 3;

    frmWinPos(forms::FormsHost& host, PageMessage message);
    ~frmWinPos() override;

    bool MyDirty = false;
    std::int32_t MyWindowPosition = kBottomRight;
    std::int32_t MySpaceWidth = 27;
    std::int32_t MySpaceHeight = 54;

    // Raised from the click of btnOK or btnCancel, before the dialog unloads itself. A handler may
    // read the variables and unload the dialog, but must not destroy it: the clicked button's own
    // code is still running beneath the handler. Release the dialog later, from a task posted to
    // the message loop (or when the next one is opened).
    std::function<void()> OkClick;
    std::function<void()> CancelClick;

    // Corner buttons from MyWindowPosition, the text boxes from the two distances, MyDirty false.
    void InitAll();
    // Loads when needed and shows the dialog as a window owned by `owner`. Keeping the owner's
    // input away while an owned window shows is the host's part (the dialog's window names its
    // owner; the scenario runner refuses input to the page meanwhile). Returns at once; the
    // answer comes through the events.
    void ShowModal(platform::WindowHandle owner);
    // The user closes the window with its close box: the dialog unloads and raises nothing.
    void userCloseBox();

    forms::Frame& fraSpace;
    forms::Label& lblSpaceWidth;
    forms::TextBox& txtSpaceWidth;
    forms::Label& lblSpaceHeight;
    forms::TextBox& txtSpaceHeight;
    flair::FlairButton& chkTopLeft;
    flair::FlairButton& chkTopRight;
    flair::FlairButton& chkBottomLeft;
    flair::FlairButton& chkBottomRight;
    flair::FlairButton& btnDefaults;
    flair::FlairButton& btnOK;
    flair::FlairButton& btnCancel;

protected:
    void Form_Unload() override;
    platform::WindowSpec windowSpec() const override;

private:
    flair::FlairButton& cornerButton(std::int32_t code) const;
    void checkCorner(std::int32_t code);
    void corner_Click(std::int32_t code);
    void btnDefaults_Click();
    void btnCancel_Click();
    void btnOK_Click();
    void centreOnOwner();

    PageMessage message_;
    platform::WindowHandle owner_ = platform::NoWindow;
    // False once the dialog is destroyed: the code that raised an event checks it before it
    // touches the dialog again.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace qln::options
