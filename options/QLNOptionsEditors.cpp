// QLNOptions: the sender list editor on the Filters tab, the hot-key box on the Hotkeys tab and
// the window position dialog opened from the Visuals tab.

#include "options/QLNOptions.h"

#include "options/HotKeyName.h"
#include "platform/Failure.h"
#include "platform/Utf8.h"

namespace qln {

// ---- Sender list editor -----------------------------------------------------------------------

void QLNOptions::setListMode(flair::FlairButton& checked)
{
    SetDirty();
    // Exactly one mode is checked, also after a click on the one that already was.
    for (flair::FlairButton* mode : {&chkAllow, &chkBList, &chkWList})
        mode->setState(mode == &checked ? flair::enmButtonStatePressed : flair::enmButtonStateNormal);
}

forms::ListBox& QLNOptions::currentListBox() { return currentList_ == "blist" ? lstBList : lstWList; }

void QLNOptions::btnAddBWList_Click()
{
    const std::string entry = txtAddBWList.Text();
    // Two characters, not bytes: a single "ä" or "日" is as short as a single "a". The list file
    // separates entries with "|": an entry holding one would come back as two.
    if (utf8::count(entry) < 2 || entry.find('|') != std::string::npos) {
        ShowMessage("Invalid filter!");
        txtAddBWList.setText("");
        return;
    }
    SetDirty();
    currentListBox().AddItem(entry);
    txtAddBWList.setText("");
}

void QLNOptions::btnRemoveBWList_Click()
{
    SetDirty();
    forms::ListBox& list = currentListBox();
    if (list.ListIndex() >= 0)
        list.RemoveItem(list.ListIndex());
}

// ---- Hot-key box ------------------------------------------------------------------------------

void QLNOptions::txtHKDismiss_KeyDown(int& keyCode, int shift)
{
    SetDirty();
    // The pair is the key-down's own: a modifier alone (Ctrl: 17, 2) is kept though its name is
    // "None". Without a modifier there is no hot key.
    const int mask = shift & 7;
    txtHKDismiss.setText(options::HotKeyName(keyCode, mask));
    hotKeyText_ = txtHKDismiss.Text();
    hotKeyCode_ = mask != 0 ? static_cast<std::int16_t>(keyCode) : std::int16_t{0};
    hotKeyMask_ = static_cast<std::int16_t>(mask);
    // The box does not edit its text with the key (Delete, Backspace).
    keyCode = 0;
}

void QLNOptions::txtHKDismiss_KeyUp() { txtHKDismiss.setText(hotKeyText_); }

// ---- Window position dialog -------------------------------------------------------------------
//
// The dialog raises OkClick and CancelClick from inside its own button handlers and unloads
// itself after them, so the page must not destroy it there. It unloads the dialog and moves it
// out of myfrmWinPos at once, and lets the object go from the message loop once the handler has
// returned (or at the next opening, or with the page).

void QLNOptions::btnWindowPosition_Click()
{
    closedWinPos_.reset();
    myfrmWinPos_.reset();
    myfrmWinPos_ = std::make_unique<options::frmWinPos>(host(), [this](const std::string& text) { ShowMessage(text); });
    options::frmWinPos& dialog = *myfrmWinPos_;
    dialog.Load();
    dialog.MySpaceHeight = spaceHeight_;
    dialog.MySpaceWidth = spaceWidth_;
    dialog.MyWindowPosition = windowPosition_;
    dialog.OkClick = [this] { myfrmWinPos_OkClick(); };
    dialog.CancelClick = [this] { myfrmWinPos_CancelClick(); };
    dialog.InitAll();
    dialog.ShowModal(hWnd());
}

void QLNOptions::openWindowPosition()
{
    // A dialog whose window cannot be made is let go: the page stays as it was.
    if (!platform::ignoreFailure([&] { btnWindowPosition_Click(); }))
        myfrmWinPos_.reset();
}

void QLNOptions::myfrmWinPos_OkClick()
{
    if (!myfrmWinPos_)
        return;
    if (myfrmWinPos_->MyDirty) {
        spaceHeight_ = myfrmWinPos_->MySpaceHeight;
        spaceWidth_ = myfrmWinPos_->MySpaceWidth;
        windowPosition_ = myfrmWinPos_->MyWindowPosition;
        SetDirty();
    }
    releaseWinPos();
}

void QLNOptions::myfrmWinPos_CancelClick() { releaseWinPos(); }

void QLNOptions::releaseWinPos()
{
    if (!myfrmWinPos_)
        return;
    myfrmWinPos_->Unload();
    closedWinPos_ = std::move(myfrmWinPos_);
    services_.loop.post([this, alive = std::weak_ptr<int>(alive_)] {
        if (!alive.expired())
            closedWinPos_.reset();
    });
}

} // namespace qln
