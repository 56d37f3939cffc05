#pragma once
// Outlook's windows, made by the stand-in on the real desktop, as the simulated world makes them
// on its own (platform/sim/SimWorld.h): the same class name and main title, the same moments.
//
// Implements: at construction the hidden, title-less window of class "rctrl_renwnd32" that owns
// the new-mail notification-area icon, then the main window of that class titled
// "Inbox - Microsoft Outlook", shown and brought to the foreground; item windows of that class
// titled "<subject> - Message" (one per item and title: a second Display brings the first one up
// again, shown if it was hidden or minimised); the new-mail icon (id 0) in the notification area,
// added again when another program removed it (as the notifier does). The messages the hidden
// window receives are counted by number. The user closing the main window is Outlook quitting
// (onClose).
// close() removes the icon and destroys the item windows, then the main and the hidden window.
// Does not: draw anything in the windows, or react to the icon.

#include <functional>
#include <map>
#include <string>

#include <windows.h>

namespace standin {

class OutlookWindows {
public:
    explicit OutlookWindows(std::function<void()> onClose);
    ~OutlookWindows();
    OutlookWindows(const OutlookWindows&) = delete;
    OutlookWindows& operator=(const OutlookWindows&) = delete;

    void openItem(const std::string& entryID, const std::string& title);
    void showNewMailIcon();
    void retitle(const std::string& title);
    void close();

    HWND main() const { return main_; }
    HWND tray() const { return tray_; }
    enum class Icon { Absent, Shown, Removed };  // never shown; in the notification area; gone since
    Icon icon() const;
    int trayMessages(UINT message) const;

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND create(const std::wstring& title, bool visible);
    void forget(HWND window);

    std::function<void()> onClose_;
    HWND tray_ = nullptr;
    HWND main_ = nullptr;
    bool iconEverShown_ = false;
    std::map<UINT, int> trayMessages_;
    // Item windows by EntryID and title.
    std::map<std::pair<std::string, std::string>, HWND> items_;
};

} // namespace standin
