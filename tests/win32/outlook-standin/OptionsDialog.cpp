#include "tests/win32/outlook-standin/OptionsDialog.h"

#include <commctrl.h>
#include <algorithm>
#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/Wide.h"
#include "tests/win32/activex/Container.h"

namespace standin {

namespace {

using activex_tests::PageSite;
using activex_tests::Site;
using platform::win32::guardCallback;
using platform::win32::toWide;

constexpr wchar_t kClassName[] = L"QuellinStandinOptions";
constexpr IID kPropertyPage = {0x0006307E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// The Apply button's id in Windows' property sheets.
constexpr int kApplyId = 0x3021;
constexpr int kTabsId = 0x3020;
constexpr int kClientWidth = 476, kClientHeight = 452;
constexpr int kButtonWidth = 75, kButtonHeight = 24;

// Outlook's PropertyPage as Outlook calls it: slots 7, 8 and 9 after IDispatch's.
struct PropertyPageSlots {
    void* dispatch[7];
    HRESULT(STDMETHODCALLTYPE* GetPageInfo)(IUnknown* self, BSTR* helpFile, LONG* helpContext);
    HRESULT(STDMETHODCALLTYPE* get_Dirty)(IUnknown* self, VARIANT_BOOL* dirty);
    HRESULT(STDMETHODCALLTYPE* Apply)(IUnknown* self);
};

ComPtr<IUnknown> propertyPage(IUnknown& control)
{
    ComPtr<IUnknown> page;
    if (FAILED(control.QueryInterface(kPropertyPage, reinterpret_cast<void**>(page.GetAddressOf()))))
        page.Reset();
    return page;
}

const PropertyPageSlots& slots(IUnknown* page) { return **reinterpret_cast<PropertyPageSlots* const*>(page); }

// The one dialog open in this process (the keyboard hook's and the window procedure's way to it).
OptionsDialog* openDialog = nullptr;

void registerClass()
{
    static bool registered = false;
    if (registered)
        return;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;  // replaced by the dialog's procedure once created
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kClassName;
    RegisterClassExW(&windowClass);
    registered = true;
}

HWND makeButton(HWND parent, const wchar_t* text, int id, int left, DWORD style)
{
    const HWND button = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, left,
                                        kClientHeight - kButtonHeight - 12, kButtonWidth, kButtonHeight, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    return button;
}

} // namespace

OptionsDialog::~OptionsDialog() { close(); }

void OptionsDialog::open(HWND owner, const std::vector<PageRequest>& requests)
{
    if (window_ || openDialog)
        return;
    registerClass();
    RECT frame{0, 0, kClientWidth, kClientHeight};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT);
    window_ = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kClassName, L"Options", style, 120, 80,
                              frame.right - frame.left, frame.bottom - frame.top, owner, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!window_)
        return;
    openDialog = this;
    SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OptionsDialog::procedure));
    tabs_ = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8,
                            kClientWidth - 16, kClientHeight - kButtonHeight - 32, window_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTabsId)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ok_ = makeButton(window_, L"OK", IDOK, kClientWidth - 3 * (kButtonWidth + 6) - 2, BS_DEFPUSHBUTTON);
    cancel_ = makeButton(window_, L"Cancel", IDCANCEL, kClientWidth - 2 * (kButtonWidth + 6) - 2, BS_PUSHBUTTON);
    apply_ = makeButton(window_, L"Apply", kApplyId, kClientWidth - (kButtonWidth + 6) - 2, BS_PUSHBUTTON);
    EnableWindow(apply_, FALSE);

    // The page area: the tab control's display area, in the dialog's coordinates.
    RECT area{};
    GetClientRect(tabs_, &area);
    TabCtrl_AdjustRect(tabs_, FALSE, &area);
    OffsetRect(&area, 8, 8);
    for (const PageRequest& request : requests) {
        std::wstring title = toWide(request.title);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        if (host(request, area))
            SendMessageW(tabs_, TCM_INSERTITEMW, pages_.size() - 1, reinterpret_cast<LPARAM>(&item));
    }
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &OptionsDialog::keyboardHook, nullptr, GetCurrentThreadId());
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    if (!pages_.empty())
        show(0);
    else
        SetFocus(ok_);
}

bool OptionsDialog::host(const PageRequest& request, const RECT& area)
{
    ComPtr<IUnknown> control;
    if (request.page.type() == VT_BSTR) {
        CLSID clsid{};
        const std::wstring progId = toWide(request.page.toString());
        if (FAILED(CLSIDFromProgID(progId.c_str(), &clsid)) ||
            FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control))))
            control.Reset();
    } else if (request.page.type() == VT_DISPATCH || request.page.type() == VT_UNKNOWN) {
        if (IUnknown* given = request.page.raw().punkVal)
            given->QueryInterface(IID_PPV_ARGS(&control));
    }
    ComPtr<IOleObject> object;
    if (!control || FAILED(control.As(&object))) {
        failed_.push_back(request.page.type() == VT_BSTR ? request.page.toString() : request.title);
        return false;
    }
    // The page at its own size in the page area's top left corner, within the area.
    SIZEL extent{};
    RECT position = area;
    if (SUCCEEDED(object->GetExtent(DVASPECT_CONTENT, &extent)) && extent.cx > 0 && extent.cy > 0) {
        const HDC screen = GetDC(nullptr);
        position.right = std::min<LONG>(area.right, area.left + MulDiv(extent.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540));
        position.bottom = std::min<LONG>(area.bottom, area.top + MulDiv(extent.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540));
        ReleaseDC(nullptr, screen);
    }
    Page page;
    page.title = request.title;
    page.control = control;
    page.site.Attach(new Site(window_, position, PageSite::Interface));
    const std::size_t index = pages_.size();
    page.site->onStatusChange = [this, index] {
        askDirty(index);
        updateApply();
    };
    ComPtr<IQuickActivate> quick;
    bool siteGiven = false;
    if (SUCCEEDED(control.As(&quick))) {
        QACONTAINER container{};
        container.cbSize = sizeof container;
        container.pClientSite = page.site.Get();
        container.pPropertyNotifySink = page.site.Get();
        container.dwAmbientFlags = QACONTAINER_USERMODE;
        container.colorFore = GetSysColor(COLOR_WINDOWTEXT);
        container.colorBack = GetSysColor(COLOR_BTNFACE);
        container.lcid = GetUserDefaultLCID();
        QACONTROL answer{};
        answer.cbSize = sizeof answer;
        siteGiven = SUCCEEDED(quick->QuickActivate(&container, &answer));
    }
    if (!siteGiven && FAILED(object->SetClientSite(page.site.Get()))) {
        failed_.push_back(request.title);
        return false;
    }
    ComPtr<IPersistStreamInit> persist;
    if (SUCCEEDED(control.As(&persist)))
        persist->InitNew();
    pages_.push_back(std::move(page));
    if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, pages_.back().site.Get(), 0, window_, &position))) {
        object->Close(OLECLOSE_NOSAVE);
        object->SetClientSite(nullptr);
        pages_.pop_back();
        failed_.push_back(request.title);
        return false;
    }
    object->DoVerb(OLEIVERB_HIDE, nullptr, pages_.back().site.Get(), 0, window_, &position);
    askDirty(index);
    return true;
}

void OptionsDialog::show(std::size_t index)
{
    if (index >= pages_.size())
        return;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        ComPtr<IOleObject> object;
        if (i != index && SUCCEEDED(pages_[i].control.As(&object)))
            object->DoVerb(OLEIVERB_HIDE, nullptr, pages_[i].site.Get(), 0, window_, nullptr);
    }
    shown_ = index;
    SendMessageW(tabs_, TCM_SETCURSEL, index, 0);
    ComPtr<IOleObject> object;
    if (SUCCEEDED(pages_[index].control.As(&object))) {
        object->DoVerb(OLEIVERB_SHOW, nullptr, pages_[index].site.Get(), 0, window_, nullptr);
        object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, pages_[index].site.Get(), 0, window_, nullptr);
    }
}

void OptionsDialog::askDirty(std::size_t index)
{
    if (index >= pages_.size())
        return;
    const ComPtr<IUnknown> page = propertyPage(*pages_[index].control.Get());
    VARIANT_BOOL dirty = VARIANT_FALSE;
    pages_[index].dirty = page && SUCCEEDED(slots(page.Get()).get_Dirty(page.Get(), &dirty)) && dirty != VARIANT_FALSE;
}

void OptionsDialog::updateApply()
{
    bool any = false;
    for (const Page& page : pages_)
        any = any || page.dirty;
    if (apply_)
        EnableWindow(apply_, any);
}

void OptionsDialog::applyDirtyPages()
{
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        askDirty(i);
        if (!pages_[i].dirty)
            continue;
        // Held for the call: a page's Apply may show a message box, in whose loop the dialog may go.
        const ComPtr<IUnknown> page = propertyPage(*pages_[i].control.Get());
        if (page)
            slots(page.Get()).Apply(page.Get());
        if (!window_)
            return;
        askDirty(i);
    }
    updateApply();
}

bool OptionsDialog::press(Button which)
{
    const HWND button = this->button(which);
    if (!window_ || !button || !IsWindowEnabled(button))
        return false;
    switch (which) {
    case Button::Apply:
        applyDirtyPages();
        break;
    case Button::Ok:
        applyDirtyPages();
        close();
        break;
    case Button::Cancel:
        close();
        break;
    }
    return true;
}

void OptionsDialog::close()
{
    if (!window_)
        return;
    if (hook_)
        UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    std::vector<Page> closing = std::move(pages_);
    pages_.clear();
    for (Page& page : closing) {
        page.site->onStatusChange = nullptr;
        ComPtr<IOleObject> object;
        if (SUCCEEDED(page.control.As(&object))) {
            object->Close(OLECLOSE_NOSAVE);
            object->SetClientSite(nullptr);
        }
    }
    closing.clear();
    const HWND window = window_;
    window_ = tabs_ = ok_ = cancel_ = apply_ = nullptr;
    openDialog = nullptr;
    shown_ = 0;
    DestroyWindow(window);
}

std::string OptionsDialog::title(std::size_t page) const { return page < pages_.size() ? pages_[page].title : std::string(); }

bool OptionsDialog::dirty(std::size_t page) const { return page < pages_.size() && pages_[page].dirty; }

int OptionsDialog::statusChanges(std::size_t page) const
{
    return page < pages_.size() ? pages_[page].site->statusChanges : 0;
}

bool OptionsDialog::applyEnabled() const { return apply_ && IsWindowEnabled(apply_); }

HWND OptionsDialog::button(Button which) const
{
    switch (which) {
    case Button::Ok:
        return ok_;
    case Button::Cancel:
        return cancel_;
    case Button::Apply:
        break;
    }
    return apply_;
}

HWND OptionsDialog::pageWindow() const
{
    if (shown_ >= pages_.size())
        return nullptr;
    ComPtr<IOleInPlaceObject> inPlace;
    HWND window = nullptr;
    if (SUCCEEDED(pages_[shown_].control.As(&inPlace)))
        inPlace->GetWindow(&window);
    return window;
}

bool OptionsDialog::routeKey(MSG& message)
{
    if (!window_ || message.message < WM_KEYFIRST || message.message > WM_KEYLAST ||
        (message.hwnd != window_ && !IsChild(window_, message.hwnd)))
        return false;
    const HWND page = pageWindow();
    if (page && (message.hwnd == page || IsChild(page, message.hwnd))) {
        ComPtr<IOleInPlaceActiveObject> active;
        if (SUCCEEDED(pages_[shown_].control.As(&active)) && active->TranslateAccelerator(&message) == S_OK)
            return true;
        // A key the page leaves is the dialog's, Esc (Cancel) included, though the page's window
        // asks for every key (DLGC_WANTALLKEYS) while it has the focus.
        if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            PostMessageW(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return true;
        }
    }
    return IsDialogMessageW(window_, &message) != FALSE;
}

LRESULT CALLBACK OptionsDialog::keyboardHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && wParam == PM_REMOVE && openDialog) {
        MSG& message = *reinterpret_cast<MSG*>(lParam);
        const bool handled = guardCallback(false, [&] { return openDialog->routeKey(message); });
        if (handled) {
            message.message = WM_NULL;
            return 0;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK OptionsDialog::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return guardCallback<LRESULT>(0, [&]() -> LRESULT {
        OptionsDialog* dialog = openDialog && openDialog->window_ == window ? openDialog : nullptr;
        if (dialog) {
            switch (message) {
            case WM_COMMAND:
                if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
                    switch (LOWORD(wParam)) {
                    case IDOK:
                        dialog->press(Button::Ok);
                        return 0;
                    case IDCANCEL:
                        dialog->press(Button::Cancel);
                        return 0;
                    case kApplyId:
                        dialog->press(Button::Apply);
                        return 0;
                    default:
                        break;
                    }
                }
                break;
            case WM_NOTIFY: {
                const auto* header = reinterpret_cast<const NMHDR*>(lParam);
                if (header->hwndFrom == dialog->tabs_ && header->code == TCN_SELCHANGE) {
                    dialog->show(static_cast<std::size_t>(SendMessageW(dialog->tabs_, TCM_GETCURSEL, 0, 0)));
                    return 0;
                }
                break;
            }
            case WM_ACTIVATE:
                // As a dialog does: the control that had the focus when another window took the
                // activation (a page's message box) gets it back.
                if (LOWORD(wParam) == WA_INACTIVE) {
                    const HWND focus = GetFocus();
                    if (focus && IsChild(window, focus))
                        dialog->focus_ = focus;
                    return 0;
                }
                if (dialog->focus_ && IsWindow(dialog->focus_) && IsChild(window, dialog->focus_)) {
                    SetFocus(dialog->focus_);
                    return 0;
                }
                break;
            case WM_CLOSE:
                dialog->close();
                return 0;
            default:
                break;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

} // namespace standin
