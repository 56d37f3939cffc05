#include "Container.h"

namespace activex_tests {

void pump(DWORD ms)
{
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    }
}

void clickAt(POINT screen)
{
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(screen.x, 65535, width - 1);
        input.mi.dy = MulDiv(screen.y, 65535, height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &inputs[0], sizeof(INPUT));
    pump(100);
    SendInput(2, &inputs[1], sizeof(INPUT));
}

MemoryCanvas::MemoryCanvas(int width, int height)
    : width_(width), height_(height), memory_(CreateCompatibleDC(nullptr))
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    bitmap_ = CreateDIBSection(memory_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    previous_ = SelectObject(memory_, bitmap_);
}

MemoryCanvas::~MemoryCanvas()
{
    SelectObject(memory_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(memory_);
}

std::vector<std::uint32_t> MemoryCanvas::pixels() const
{
    GdiFlush();
    const auto* first = static_cast<const std::uint32_t*>(bits_);
    std::vector<std::uint32_t> pixels(first, first + width_ * height_);
    for (auto& p : pixels)
        p &= 0x00FFFFFFu;
    return pixels;
}

std::vector<std::uint32_t> screenPixels(const RECT& r)
{
    const int width = r.right - r.left, height = r.bottom - r.top;
    MemoryCanvas canvas(width, height);
    const HDC screen = GetDC(nullptr);
    BitBlt(canvas.dc(), 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    return canvas.pixels();
}

HRESULT STDMETHODCALLTYPE MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*)
{
    const auto found = values.find(name);
    if (found == values.end())
        return E_INVALIDARG;
    return VariantCopy(value, const_cast<VARIANT*>(&found->second.raw()));
}

HRESULT STDMETHODCALLTYPE MemoryBag::Write(LPCOLESTR name, VARIANT* value)
{
    values[name] = platform::win32::com::Variant::copyOf(*value);
    return S_OK;
}

ContainerWindow::ContainerWindow(int left, int top, int width, int height)
    : window_(CreateWindowExW(0, L"STATIC", L"Options", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, left, top, width,
                              height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr))
{
}

ContainerWindow::~ContainerWindow()
{
    if (window_)
        DestroyWindow(window_);
}

Site::Site(HWND window, RECT position, PageSite pageSite) : window_(window), position_(position), pageSite_(pageSite) {}

HRESULT STDMETHODCALLTYPE Site::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite)
        *object = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
        *object = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleControlSite)
        *object = static_cast<IOleControlSite*>(this);
    else if (iid == IID_IDispatch || (pageSite_ == PageSite::Interface && iid == kPropertyPageSite))
        *object = static_cast<IDispatch*>(this);
    else if (iid == IID_IPropertyNotifySink)
        *object = static_cast<IPropertyNotifySink*>(this);
    else if (iid == IID_IServiceProvider && pageSite_ == PageSite::Service)
        *object = static_cast<IServiceProvider*>(this);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE Site::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE Site::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::GetContainer(IOleContainer** container)
{
    if (container)
        *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE Site::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = window_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnInPlaceActivate()
{
    inPlaceActive = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnUIActivate()
{
    uiActive = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                 LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !document || !position || !clip || !info)
        return E_POINTER;
    *frame = nullptr;
    *document = nullptr;
    *position = position_;
    *clip = position_;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnUIDeactivate(BOOL)
{
    uiActive = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnInPlaceDeactivate()
{
    inPlaceActive = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetExtendedControl(IDispatch** object)
{
    if (object)
        *object = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::OnFocus(BOOL)
{
    ++focusChanges;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Site::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (count == 1 && pageSite_ != PageSite::None && lstrcmpiW(names[0], L"OnStatusChange") == 0) {
        ids[0] = kOnStatusChange;
        return S_OK;
    }
    for (UINT i = 0; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE Site::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                       UINT*)
{
    if (result)
        VariantInit(result);
    if (pageSite_ != PageSite::None && id == kOnStatusChange && (flags & DISPATCH_METHOD)) {
        ++statusChanges;
        if (onStatusChange)
            onStatusChange();
        return S_OK;
    }
    if (!(flags & DISPATCH_PROPERTYGET) || !result)
        return DISP_E_MEMBERNOTFOUND;
    // What a test gave rules; then the container's own answers.
    if (const auto given = ambients.find(id); given != ambients.end())
        return VariantCopy(result, const_cast<VARIANT*>(&given->second.raw()));
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
        result->vt = VT_BOOL;
        result->boolVal = id == DISPID_AMBIENT_USERMODE ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    case DISPID_AMBIENT_LOCALEID:
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(GetUserDefaultLCID());
        return S_OK;
    default:
        break;
    }
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT STDMETHODCALLTYPE Site::QueryService(REFGUID service, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (service != kPropertyPageSite || (iid != IID_IDispatch && iid != kPropertyPageSite))
        return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Site::OnChanged(DISPID id)
{
    changedProperties.push_back(id);
    return S_OK;
}

} // namespace activex_tests
