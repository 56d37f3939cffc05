#pragma once
// Outlook's Options dialog as the stand-in shows it: the pages the add-ins add (OptionsPagesAdd),
// each hosted as an ActiveX control, on tabs, with OK, Cancel and Apply.
//
// Implements: a top-level window titled "Options" with a tab per page, the page area under the tabs
// and the buttons "OK", "Cancel" and "Apply" along the bottom. Each page, given by ProgID or as an
// object, is created in-process and started the way Office's dialogs start a control:
// IQuickActivate (else SetClientSite), IPersistStreamInit::InitNew, then in-place activation in the
// page area; its site (tests/win32/activex/Container.h) answers ambient properties and Outlook's
// PropertyPageSite, whose OnStatusChange makes the dialog ask that page's Dirty (PropertyPage slot
// 8). Apply is enabled while a page is dirty; Apply calls Apply (slot 9) on every dirty page and
// asks Dirty again; OK does the same, then closes; Cancel and the window's close box close without
// applying. Closing closes every page (IOleObject::Close, SetClientSite(nullptr)) before the
// window goes. A page that cannot be created is left out (and noted). While the dialog is open,
// keyboard messages for it go first to the shown page's IOleInPlaceActiveObject::TranslateAccelerator,
// then to the dialog's own navigation (IsDialogMessage; Esc the page leaves is Cancel): a hook on the thread's message queue, so
// that the stand-in's message loop needs no knowledge of the dialog. Activated again (after a
// page's message box), the dialog gives the focus back to the control that had it.
// Does not: run modally (the control object and the tests drive it while the stand-in serves
// calls), show help, or persist the pages' state between openings.

#include <string>
#include <vector>

#include <windows.h>

#include "tests/win32/activex/Container.h"
#include "tests/win32/outlook-standin/Served.h"

namespace standin {

// One page as an add-in added it: a ProgID (text) or a control object, and its tab's title.
struct PageRequest {
    Variant page;
    std::string title;
};

class OptionsDialog {
public:
    OptionsDialog() = default;
    ~OptionsDialog();
    OptionsDialog(const OptionsDialog&) = delete;
    OptionsDialog& operator=(const OptionsDialog&) = delete;

    // Shows the dialog with these pages (the open dialog stays as it is).
    void open(HWND owner, const std::vector<PageRequest>& requests);
    void close();
    bool isOpen() const { return window_ != nullptr; }

    enum class Button { Ok, Cancel, Apply };
    // What a click on the button does; false when the button is disabled or the dialog closed.
    bool press(Button button);

    std::size_t pageCount() const { return pages_.size(); }
    std::string title(std::size_t page) const;
    // Dirty as the dialog last asked it.
    bool dirty(std::size_t page) const;
    // How often the page has told its site of a status change.
    int statusChanges(std::size_t page) const;
    bool applyEnabled() const;
    std::size_t shownPage() const { return shown_; }
    // The pages that could not be created, by what the add-in gave.
    const std::vector<std::string>& failed() const { return failed_; }

    HWND window() const { return window_; }
    HWND button(Button button) const;
    // The shown page's own window.
    HWND pageWindow() const;

private:
    struct Page {
        std::string title;
        ComPtr<IUnknown> control;
        ComPtr<activex_tests::Site> site;
        bool dirty = false;
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam);
    bool host(const PageRequest& request, const RECT& area);
    void askDirty(std::size_t page);
    void applyDirtyPages();
    void updateApply();
    void show(std::size_t page);
    bool routeKey(MSG& message);

    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    HWND ok_ = nullptr;
    HWND cancel_ = nullptr;
    HWND apply_ = nullptr;
    HHOOK hook_ = nullptr;
    HWND focus_ = nullptr;  // the focus when the dialog last lost the activation
    std::vector<Page> pages_;
    std::vector<std::string> failed_;
    std::size_t shown_ = 0;
};

} // namespace standin
