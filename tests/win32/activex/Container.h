#pragma once
// What the tests host controls in: a container of their own (the least an Office-like dialog
// offers: client site, in-place site, ambient properties, Outlook's PropertyPageSite, a property
// notification sink) and the helpers around it (pumping messages, real input, the screen, a memory
// canvas to draw into, a property bag in memory).

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <servprov.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/win32/ComTestObjects.h"
#include "platform/win32/com/Variant.h"

namespace activex_tests {

using platform::win32::com::ComPtr;

// Outlook's PropertyPageSite, and its OnStatusChange.
inline constexpr IID kPropertyPageSite = {0x0006307F, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kOnStatusChange = 0x2100;

// Runs the thread's messages for `ms` milliseconds.
void pump(DWORD ms);

// A left click by real input (SendInput) at a point of the screen.
void clickAt(POINT screen);

// The screen's pixels under the rectangle, each 0x00RRGGBB, row by row from the top.
std::vector<std::uint32_t> screenPixels(const RECT& r);

// A memory device context holding a 32-bit top-down bitmap of this size, to draw or copy into and
// read back.
class MemoryCanvas {
public:
    MemoryCanvas(int width, int height);
    ~MemoryCanvas();
    MemoryCanvas(const MemoryCanvas&) = delete;
    MemoryCanvas& operator=(const MemoryCanvas&) = delete;
    HDC dc() const { return memory_; }
    // What it holds (once the drawing is flushed), each 0x00RRGGBB, row by row from the top.
    std::vector<std::uint32_t> pixels() const;

private:
    int width_;
    int height_;
    HDC memory_;
    void* bits_ = nullptr;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
};

// How a site offers Outlook's PropertyPageSite: not at all, by QueryInterface of the client site,
// or as a service of its IServiceProvider.
enum class PageSite { None, Interface, Service };

// A property bag in memory, by name, that a control saves to and loads from.
class MemoryBag final : public com_tests::Uncounted<IPropertyBag> {
public:
    std::map<std::wstring, platform::win32::com::Variant> values;

    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* value) override;
};

// A top-level window the control is placed in.
class ContainerWindow {
public:
    ContainerWindow(int left, int top, int width, int height);
    ~ContainerWindow();
    ContainerWindow(const ContainerWindow&) = delete;
    ContainerWindow& operator=(const ContainerWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_;
};

// One object answering IOleClientSite, IOleInPlaceSite, IOleControlSite, IDispatch (ambient
// properties, and OnStatusChange when asked as Outlook's PropertyPageSite) and
// IPropertyNotifySink; it notes what the control asks of it.
class Site final : public IOleClientSite,
                   public IOleInPlaceSite,
                   public IOleControlSite,
                   public IDispatch,
                   public IPropertyNotifySink,
                   public IServiceProvider {
public:
    Site(HWND window, RECT position, PageSite pageSite);

    int statusChanges = 0;
    // Called on each OnStatusChange after counting it (a dialog asks the page's Dirty there).
    std::function<void()> onStatusChange;
    std::vector<DISPID> changedProperties;
    bool inPlaceActive = false;
    bool uiActive = false;
    int focusChanges = 0;
    // Ambient properties the site answers besides UserMode (which is True unless given here).
    std::map<DISPID, platform::win32::com::Variant> ambients;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow, IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                               LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleControlSite
    HRESULT STDMETHODCALLTYPE OnControlInfoChanged() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE LockInPlaceActive(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtendedControl(IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFocus(BOOL) override;
    HRESULT STDMETHODCALLTYPE ShowPropertyFrame() override { return E_NOTIMPL; }
    // IDispatch: ambient properties (UserMode true; LocaleID the user's; MessageReflect, ShowGrabHandles,
    // ShowHatching and DisplayAsDefault false; the rest unknown) and OnStatusChange.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) override;
    // IPropertyNotifySink
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID id) override;
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }
    // IServiceProvider
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    HWND window_;
    RECT position_;
    PageSite pageSite_;
    std::atomic<ULONG> references_{1};
};

} // namespace activex_tests
