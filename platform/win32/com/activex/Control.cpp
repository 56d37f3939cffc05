#include "platform/win32/com/activex/Control.h"

#include <algorithm>
#include <cstddef>
#include <cwctype>

#include "platform/forms/KeyboardNavigator.h"
#include "platform/win32/SurfaceBlit.h"
#include "platform/win32/ThisModule.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/activex/Entry.h"
#include "platform/win32/com/activex/Server.h"

namespace platform::win32::com::activex {

namespace {

constexpr long kHimetricPerInch = 2540;
constexpr double kTwipsPerInch = 1440;
// The stream format's first word, then the number of properties. "QLN2" streams keep each
// property's name, its kind and its text or bytes; the older "QLNP" streams only names and texts.
constexpr DWORD kStreamMagic = 0x324E4C51;
constexpr DWORD kTextStreamMagic = 0x504E4C51;
enum StoredKind : DWORD { storedText = 0, storedBytes = 1, storedNothing = 2 };
// An object's bytes are a picture or a font; more than this is a damaged stream.
constexpr DWORD kMaxStoredBytes = 64u << 20;

HWND hwndOf(WindowHandle window) { return reinterpret_cast<HWND>(window); }

void writeAll(IStream& stream, const void* data, ULONG size)
{
    ULONG written = 0;
    const HRESULT hr = stream.Write(data, size, &written);
    if (FAILED(hr) || written != size)
        throw comFailure("IStream::Write", FAILED(hr) ? hr : STG_E_MEDIUMFULL);
}

void readAll(IStream& stream, void* data, ULONG size)
{
    ULONG read = 0;
    const HRESULT hr = stream.Read(data, size, &read);
    if (FAILED(hr) || read != size)
        throw comFailure("IStream::Read", FAILED(hr) ? hr : STG_E_READFAULT);
}

void writeText(IStream& stream, const std::wstring& text)
{
    const DWORD length = static_cast<DWORD>(text.size());
    writeAll(stream, &length, sizeof length);
    writeAll(stream, text.data(), static_cast<ULONG>(length * sizeof(wchar_t)));
}

std::wstring readText(IStream& stream)
{
    DWORD length = 0;
    readAll(stream, &length, sizeof length);
    // A property's text is short; a length beyond this is a damaged stream.
    if (length > 1u << 20)
        throw comFailure("IStream::Read", STG_E_DOCFILECORRUPT);
    std::wstring text(length, L'\0');
    readAll(stream, text.data(), static_cast<ULONG>(length * sizeof(wchar_t)));
    return text;
}

void writeBytes(IStream& stream, const std::vector<std::uint8_t>& bytes)
{
    const DWORD length = static_cast<DWORD>(bytes.size());
    writeAll(stream, &length, sizeof length);
    if (length)
        writeAll(stream, bytes.data(), length);
}

std::vector<std::uint8_t> readBytes(IStream& stream)
{
    DWORD length = 0;
    readAll(stream, &length, sizeof length);
    if (length > kMaxStoredBytes)
        throw comFailure("IStream::Read", STG_E_DOCFILECORRUPT);
    std::vector<std::uint8_t> bytes(length);
    if (length)
        readAll(stream, bytes.data(), length);
    return bytes;
}

// One property as a stream holds it.
struct Stored {
    std::wstring name;
    DWORD kind = storedText;
    std::wstring text;
    std::vector<std::uint8_t> bytes;
};

// An object's Variant as a property bag keeps it: the object's IUnknown.
Variant unknownOf(const Variant& object)
{
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = VT_UNKNOWN;
    raw.punkVal = object.raw().punkVal;
    return Variant::copyOf(raw);
}

// The bytes of a VT_ARRAY | VT_UI1 Variant, or nothing.
std::vector<std::uint8_t> arrayBytes(const VARIANT& value)
{
    std::vector<std::uint8_t> bytes;
    if (value.vt != (VT_ARRAY | VT_UI1) || !value.parray || SafeArrayGetDim(value.parray) != 1)
        return bytes;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(value.parray, 1, &lower)) || FAILED(SafeArrayGetUBound(value.parray, 1, &upper)) ||
        upper < lower)
        return bytes;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(value.parray, &data)))
        return bytes;
    const auto* first = static_cast<const std::uint8_t*>(data);
    bytes.assign(first, first + (static_cast<std::size_t>(upper) - static_cast<std::size_t>(lower) + 1));
    SafeArrayUnaccessData(value.parray);
    return bytes;
}

// The value as the text a stream keeps, and back in the type of the property's default.
std::wstring textOf(const Variant& value) { return toWide(value.toString()); }

Variant fromText(const std::wstring& text, const Variant& like)
{
    Variant stored(toUtf8(text));
    switch (like.type()) {
    case VT_BOOL: return Variant(stored.toBool());
    case VT_I2:
    case VT_I4: return Variant(stored.toLong());
    case VT_R4:
    case VT_R8: return Variant(stored.toDouble());
    default: return stored;
    }
}

} // namespace

Control::Control(const CLSID& clsid, DWORD miscStatus, const IID& events)
    : clsid_(clsid), miscStatus_(miscStatus), events_(events), propertyNotify_(*this, IID_IPropertyNotifySink)
{
    if (events_ != GUID_NULL)
        eventPoint_ = std::make_unique<ConnectionPoint>(*this, events_);
    objectCreated();
}

Control::~Control()
{
    if (accelerators_)
        DestroyAcceleratorTable(accelerators_);
    objectDestroyed();
}

HWND Control::window() const
{
    return inPlaceActive_ ? hwndOf(const_cast<Control*>(this)->form().hWnd()) : nullptr;
}

// ---- IUnknown ----------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleObject)
        *object = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
        *object = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *object = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IOleControl)
        *object = static_cast<IOleControl*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        *object = static_cast<IViewObject2*>(this);
    else if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
        *object = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistPropertyBag)
        *object = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IQuickActivate)
        *object = static_cast<IQuickActivate*>(this);
    else if (iid == IID_IConnectionPointContainer)
        *object = static_cast<IConnectionPointContainer*>(this);
    else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2)
        *object = static_cast<IProvideClassInfo2*>(this);
    else
        *object = queryDual(iid);
    if (!*object)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE Control::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE Control::Release()
{
    const ULONG left = --references_;
    if (left == 0) {
        // A control is destroyed outside any guarded entry: a failure in a destructor is a bug,
        // held like any other one.
        guardCallback<int>(0, [&] {
            delete this;
            return 0;
        });
    }
    return left;
}

// ---- IOleObject --------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::SetClientSite(IOleClientSite* site)
{
    return comEntry(IID_IOleObject, [&]() -> HRESULT {
        clientSite_ = site;
        controlSite_.Reset();
        ambients_.Reset();
        if (site) {
            site->QueryInterface(IID_PPV_ARGS(&controlSite_));
            site->QueryInterface(IID_PPV_ARGS(&ambients_));
        }
        onSiteChanged(site);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::GetClientSite(IOleClientSite** site)
{
    if (!site)
        return E_POINTER;
    *site = clientSite_.Get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Control::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT STDMETHODCALLTYPE Control::Close(DWORD)
{
    return comEntry(IID_IOleObject, [&]() -> HRESULT {
        inPlaceDeactivate();
        if (adviseHolder_)
            adviseHolder_->SendOnClose();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Control::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    if (moniker)
        *moniker = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Control::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Control::GetClipboardData(DWORD, IDataObject** data)
{
    if (data)
        *data = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Control::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT)
{
    return comEntry(IID_IOleObject, [&]() -> HRESULT {
        if (site && !clientSite_)
            SetClientSite(site);
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE: return activate(true);
        case OLEIVERB_INPLACEACTIVATE: return activate(false);
        case OLEIVERB_HIDE:
            if (inPlaceActive_)
                form().Hide();
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE: return S_OK;
        default: return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

HRESULT STDMETHODCALLTYPE Control::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(clsid_, verbs); }

HRESULT STDMETHODCALLTYPE Control::Update() { return S_OK; }

HRESULT STDMETHODCALLTYPE Control::IsUpToDate() { return S_OK; }

HRESULT STDMETHODCALLTYPE Control::GetUserClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = clsid_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Control::GetUserType(DWORD form, LPOLESTR* type)
{
    return OleRegGetUserType(clsid_, form, type);
}

HRESULT STDMETHODCALLTYPE Control::SetExtent(DWORD aspect, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    extent_ = *size;
    extentSet_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Control::GetExtent(DWORD aspect, SIZEL* size)
{
    if (!size)
        return E_POINTER;
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    return comEntry(IID_IOleObject, [&]() -> HRESULT {
        *size = extentSet_ ? extent_ : designExtent();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::Advise(IAdviseSink* sink, DWORD* connection)
{
    if (!adviseHolder_) {
        const HRESULT hr = CreateOleAdviseHolder(&adviseHolder_);
        if (FAILED(hr))
            return hr;
    }
    return adviseHolder_->Advise(sink, connection);
}

HRESULT STDMETHODCALLTYPE Control::Unadvise(DWORD connection)
{
    return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
}

HRESULT STDMETHODCALLTYPE Control::EnumAdvise(IEnumSTATDATA** advise)
{
    if (advise)
        *advise = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advise) : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Control::GetMiscStatus(DWORD, DWORD* status)
{
    if (!status)
        return E_POINTER;
    *status = miscStatus_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Control::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// ---- In-place activation -----------------------------------------------------------------------

HRESULT Control::activate(bool uiActivate)
{
    if (!clientSite_)
        return E_UNEXPECTED;
    if (!inPlaceActive_) {
        ComPtr<IOleInPlaceSite> site;
        if (FAILED(clientSite_.As(&site)))
            return OLEOBJ_S_CANNOT_DOVERB_NOW;
        if (site->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        const HRESULT activating = site->OnInPlaceActivate();
        if (FAILED(activating))
            return activating;
        inPlaceSite_ = site;
        inPlaceActive_ = true;
        HWND parent = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        HRESULT hr = site->GetWindow(&parent);
        if (SUCCEEDED(hr))
            hr = site->GetWindowContext(&frame_, &uiWindow_, &position, &clip, &frameInfo);
        if (FAILED(hr) || !parent) {
            inPlaceDeactivate();
            return FAILED(hr) ? hr : E_FAIL;
        }
        createWindow(parent, position);
    } else if (!form().Visible()) {
        form().Show();  // hidden by OLEIVERB_HIDE
    }
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        if (GetFocus() != window() && !IsChild(window(), GetFocus()))
            SetFocus(window());
        if (frame_)
            frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
        if (uiWindow_)
            uiWindow_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
        if (frame_)
            frame_->SetBorderSpace(nullptr);
        if (controlSite_)
            controlSite_->OnFocus(TRUE);
    }
    return S_OK;
}

void Control::createWindow(HWND parent, const RECT& position)
{
    forms::Form& face = form();
    face.Load();
    const WindowHandle handle = face.hWnd();
    desktop().setParent(handle, reinterpret_cast<WindowHandle>(parent));
    formProcedure_ = desktop().setWindowProc(handle, [this](WindowHandle w, std::uint32_t m, std::uintptr_t wp,
                                                            std::intptr_t lp) { return windowMessage(w, m, wp, lp); });
    place(position);
    face.Show();
}

void Control::place(const RECT& position)
{
    forms::Form& face = form();
    const double perPixelX = kTwipsPerInch / face.host().logPixelsX();
    const double perPixelY = kTwipsPerInch / face.host().logPixelsY();
    face.move(position.left * perPixelX, position.top * perPixelY, (position.right - position.left) * perPixelX,
              (position.bottom - position.top) * perPixelY);
    onPlaced();
}

std::intptr_t Control::windowMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam)
{
    switch (message) {
    case WM_GETDLGCODE: {
        // A dialog that hosts the control hands it every key while it has the focus, but Tab only
        // while the focus has somewhere to go inside the form: from the last stop (the first, with
        // Shift) Tab is the dialog's, to move on to its next control.
        std::intptr_t code = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        const auto* asked = reinterpret_cast<const MSG*>(lParam);
        if (!asked || asked->message != WM_KEYDOWN || asked->wParam != VK_TAB || tabStaysInside(shiftDown()))
            code |= DLGC_WANTTAB;
        return code;
    }
    case WM_MOUSEACTIVATE:
        // A click into the control makes it the UI-active object, with the focus.
        if (!uiActive_ && inPlaceActive_)
            activate(true);
        return MA_ACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        // A click into the control while its container is active (no WM_MOUSEACTIVATE then) gives
        // it the focus too: the keys go where the click put the caret.
        if (inPlaceActive_ && GetFocus() != hwndOf(window) && !IsChild(hwndOf(window), GetFocus())) {
            if (!uiActive_)
                activate(true);
            else
                SetFocus(hwndOf(window));
        }
        break;
    case WM_SETFOCUS:
        if (!uiActive_ && inPlaceActive_)
            activate(true);
        // Tabbed into from the dialog: the first stop (the last, with Shift) takes the focus.
        if (!form().ActiveControl())
            forms::KeyboardNavigator(form(), forms::KeyboardNavigator::Wrap::Stop).tab(shiftDown());
        break;
    default: break;
    }
    return formProcedure_ ? formProcedure_(window, message, wParam, lParam)
                          : DefWindowProcW(hwndOf(window), message, wParam, lParam);
}

bool Control::shiftDown() { return GetKeyState(VK_SHIFT) < 0; }

std::wstring Control::accessKeys() const
{
    // The navigator only reads the form here.
    const std::string keys = forms::KeyboardNavigator(const_cast<Control*>(this)->form()).accessKeys();
    return std::wstring(keys.begin(), keys.end());
}

bool Control::tabStaysInside(bool backwards)
{
    const std::vector<forms::Control*> stops =
        forms::KeyboardNavigator(form(), forms::KeyboardNavigator::Wrap::Stop).tabStops();
    if (stops.empty())
        return false;
    const auto at = std::find(stops.begin(), stops.end(), form().ActiveControl());
    if (at == stops.end())
        return true;  // no stop has the focus yet: Tab gives it to the first (or last)
    return backwards ? at != stops.begin() : at + 1 != stops.end();
}

void Control::uiDeactivate()
{
    if (!uiActive_)
        return;
    uiActive_ = false;
    if (frame_)
        frame_->SetActiveObject(nullptr, nullptr);
    if (uiWindow_)
        uiWindow_->SetActiveObject(nullptr, nullptr);
    if (controlSite_)
        controlSite_->OnFocus(FALSE);
    if (inPlaceSite_)
        inPlaceSite_->OnUIDeactivate(FALSE);
}

void Control::inPlaceDeactivate()
{
    if (!inPlaceActive_)
        return;
    uiDeactivate();
    inPlaceActive_ = false;
    formProcedure_ = nullptr;
    form().Unload();
    frame_.Reset();
    uiWindow_.Reset();
    if (inPlaceSite_) {
        const ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_);
        site->OnInPlaceDeactivate();
    }
}

HRESULT STDMETHODCALLTYPE Control::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    return comEntry(IID_IOleWindow, [&]() -> HRESULT {
        *window = this->window();
        return *window ? S_OK : E_FAIL;
    });
}

HRESULT STDMETHODCALLTYPE Control::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Control::InPlaceDeactivate()
{
    return comEntry(IID_IOleInPlaceObject, [&]() -> HRESULT {
        inPlaceDeactivate();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::UIDeactivate()
{
    return comEntry(IID_IOleInPlaceObject, [&]() -> HRESULT {
        uiDeactivate();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (!position)
        return E_POINTER;
    return comEntry(IID_IOleInPlaceObject, [&]() -> HRESULT {
        if (inPlaceActive_)
            place(*position);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::ReactivateAndUndo() { return INPLACE_E_NOTUNDOABLE; }

HRESULT STDMETHODCALLTYPE Control::TranslateAccelerator(LPMSG msg)
{
    if (!msg)
        return E_POINTER;
    return comEntry(IID_IOleInPlaceActiveObject, [&]() -> HRESULT {
        const HWND own = window();
        if (!own || (msg->hwnd != own && !IsChild(own, msg->hwnd)))
            return S_FALSE;
        if (msg->message != WM_KEYDOWN && msg->message != WM_KEYUP)
            return S_FALSE;
        if (msg->wParam == VK_TAB) {
            // Tab moves among the form's controls, and out of the form at either end: then the
            // container moves its own focus on (S_FALSE). Ctrl+Tab is the container's (a property
            // sheet's next page).
            if (msg->message != WM_KEYDOWN || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
                return S_FALSE;
            const bool taken =
                forms::KeyboardNavigator(form(), forms::KeyboardNavigator::Wrap::Stop).tab(shiftDown());
            rethrowEscaped();
            return taken ? S_OK : S_FALSE;
        }
        switch (msg->wParam) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_RETURN:
            // The container would take these keys for its own dialog navigation (Enter for its
            // default button): they are the form's while the control has the focus. Esc stays the
            // dialog's Cancel.
            SendMessageW(msg->hwnd, msg->message, msg->wParam, msg->lParam);
            rethrowEscaped();
            return S_OK;
        default: return S_FALSE;
        }
    });
}

HRESULT STDMETHODCALLTYPE Control::OnFrameWindowActivate(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE Control::OnDocWindowActivate(BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE Control::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

HRESULT STDMETHODCALLTYPE Control::EnableModeless(BOOL) { return S_OK; }

// ---- IOleControl -------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::GetControlInfo(CONTROLINFO* info)
{
    if (!info)
        return E_POINTER;
    return comEntry(IID_IOleControl, [&]() -> HRESULT {
        if (!accelerators_) {
            std::vector<ACCEL> table;
            for (wchar_t key : accessKeys()) {
                const WORD upper = static_cast<WORD>(std::towupper(key));
                table.push_back(ACCEL{FVIRTKEY | FALT, upper, 0});
            }
            if (!table.empty())
                accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
        }
        info->cb = sizeof *info;
        info->hAccel = accelerators_;
        info->cAccel = static_cast<USHORT>(accelerators_ ? accessKeys().size() : 0);
        info->dwFlags = 0;
        return S_OK;
    });
}

void Control::controlInfoChanged()
{
    if (accelerators_) {
        DestroyAcceleratorTable(accelerators_);
        accelerators_ = nullptr;
    }
    if (controlSite_)
        controlSite_->OnControlInfoChanged();
}

HRESULT STDMETHODCALLTYPE Control::OnMnemonic(MSG* msg)
{
    if (!msg)
        return E_POINTER;
    return comEntry(IID_IOleControl, [&]() -> HRESULT {
        onMnemonic(*msg);
        return S_OK;
    });
}

void Control::onMnemonic(const MSG& msg)
{
    if (const HWND own = window()) {
        SendMessageW(own, msg.message, msg.wParam, msg.lParam);
        rethrowEscaped();
    }
}

HRESULT STDMETHODCALLTYPE Control::OnAmbientPropertyChange(DISPID id)
{
    return comEntry(IID_IOleControl, [&]() -> HRESULT {
        onAmbientChanged(id);
        return S_OK;
    });
}

void Control::onAmbientChanged(DISPID) { viewChanged(); }

HRESULT STDMETHODCALLTYPE Control::FreezeEvents(BOOL freeze)
{
    freezeCount_ += freeze ? 1 : -1;
    if (freezeCount_ < 0)
        freezeCount_ = 0;
    return S_OK;
}

// ---- IViewObject2 ------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds,
                                        LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!dc || !bounds)
        return E_INVALIDARG;
    return comEntry(IID_IViewObject, [&]() -> HRESULT {
        const draw::Surface picture = form().render();
        drawSurface(dc, picture, bounds->left, bounds->top, bounds->right - bounds->left, bounds->bottom - bounds->top);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours)
{
    if (colours)
        *colours = nullptr;
    return S_FALSE;
}

HRESULT STDMETHODCALLTYPE Control::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Control::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Control::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    viewSink_ = sink;
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Control::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects)
        *aspects = viewAspects_;
    if (flags)
        *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink)
            (*sink)->AddRef();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Control::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

void Control::viewChanged()
{
    if (viewSink_)
        viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
    form().invalidate();
}

// ---- Persistence -------------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::GetClassID(CLSID* clsid) { return GetUserClassID(clsid); }

HRESULT STDMETHODCALLTYPE Control::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

void Control::setDefaults()
{
    for (const PersistedProperty& property : persistedProperties())
        property.set(property.byDefault);
}

HRESULT STDMETHODCALLTYPE Control::InitNew()
{
    return comEntry(IID_IPersistStreamInit, [&]() -> HRESULT {
        initProperties();
        dirty_ = false;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    return comEntry(IID_IPersistStreamInit, [&]() -> HRESULT {
        DWORD magic = 0, count = 0;
        readAll(*stream, &magic, sizeof magic);
        if (magic != kStreamMagic && magic != kTextStreamMagic)
            return STG_E_DOCFILECORRUPT;
        readAll(*stream, &count, sizeof count);
        std::vector<Stored> stored;
        for (DWORD i = 0; i < count; ++i) {
            Stored entry;
            entry.name = readText(*stream);
            if (magic == kStreamMagic)
                readAll(*stream, &entry.kind, sizeof entry.kind);
            if (entry.kind == storedText)
                entry.text = readText(*stream);
            else if (entry.kind == storedBytes)
                entry.bytes = readBytes(*stream);
            else if (entry.kind != storedNothing)
                return STG_E_DOCFILECORRUPT;
            stored.push_back(std::move(entry));
        }
        for (const PersistedProperty& property : persistedProperties()) {
            const auto found = std::find_if(stored.begin(), stored.end(), [&](const Stored& entry) {
                return CompareStringOrdinal(entry.name.c_str(), -1, property.name.c_str(), -1, TRUE) == CSTR_EQUAL;
            });
            if (found == stored.end())
                property.set(property.byDefault);
            else if (!property.isObject())
                property.set(found->kind == storedText ? fromText(found->text, property.byDefault)
                                                       : property.byDefault);
            else if (found->kind == storedBytes)
                property.set(property.fromBytes(found->bytes));
            else
                property.set(Variant());  // none stored: the property's default
        }
        dirty_ = false;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::Save(LPSTREAM stream, BOOL clearDirty)
{
    if (!stream)
        return E_POINTER;
    return comEntry(IID_IPersistStreamInit, [&]() -> HRESULT {
        const std::vector<PersistedProperty> properties = persistedProperties();
        const DWORD magic = kStreamMagic, count = static_cast<DWORD>(properties.size());
        writeAll(*stream, &magic, sizeof magic);
        writeAll(*stream, &count, sizeof count);
        for (const PersistedProperty& property : properties) {
            writeText(*stream, property.name);
            const Variant value = property.get();
            if (!property.isObject()) {
                const DWORD kind = storedText;
                writeAll(*stream, &kind, sizeof kind);
                writeText(*stream, textOf(value));
            } else {
                const std::vector<std::uint8_t> bytes =
                    value.isEmpty() ? std::vector<std::uint8_t>{} : property.toBytes(value);
                const DWORD kind = bytes.empty() ? storedNothing : storedBytes;
                writeAll(*stream, &kind, sizeof kind);
                if (!bytes.empty())
                    writeBytes(*stream, bytes);
            }
        }
        if (clearDirty)
            dirty_ = false;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    return comEntry(IID_IPersistStreamInit, [&]() -> HRESULT {
        ULONGLONG bytes = 2 * sizeof(DWORD);
        for (const PersistedProperty& property : persistedProperties()) {
            bytes += 3 * sizeof(DWORD) + property.name.size() * sizeof(wchar_t);
            const Variant value = property.get();
            if (!property.isObject())
                bytes += textOf(value).size() * sizeof(wchar_t);
            else if (!value.isEmpty())
                bytes += property.toBytes(value).size();
        }
        size->QuadPart = bytes;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::Load(IPropertyBag* bag, IErrorLog* log)
{
    if (!bag)
        return E_POINTER;
    return comEntry(IID_IPersistPropertyBag, [&]() -> HRESULT {
        for (const PersistedProperty& property : persistedProperties()) {
            // Asked without a type: the bag answers what it holds, converted here as a stream's
            // text is; an object comes as itself or as its bytes.
            Variant value;
            const bool read = SUCCEEDED(bag->Read(property.name.c_str(), value.receive(), log)) && !value.isEmpty();
            if (!read) {
                property.set(property.byDefault);
            } else if (!property.isObject()) {
                property.set(fromText(toWide(value.toString()), property.byDefault));
            } else if (value.type() == VT_UNKNOWN || value.type() == VT_DISPATCH) {
                property.set(value.raw().punkVal ? value : Variant());
            } else {
                const std::vector<std::uint8_t> bytes = arrayBytes(value.raw());
                property.set(bytes.empty() ? Variant() : property.fromBytes(bytes));
            }
        }
        dirty_ = false;
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::Save(IPropertyBag* bag, BOOL clearDirty, BOOL)
{
    if (!bag)
        return E_POINTER;
    return comEntry(IID_IPersistPropertyBag, [&]() -> HRESULT {
        for (const PersistedProperty& property : persistedProperties()) {
            Variant value = property.get();
            if (property.isObject()) {
                if (value.isEmpty())
                    continue;  // no object: loading gives the default, none
                value = unknownOf(value);
            }
            const HRESULT hr = bag->Write(property.name.c_str(), const_cast<VARIANT*>(&value.raw()));
            if (FAILED(hr))
                return hr;
        }
        if (clearDirty)
            dirty_ = false;
        return S_OK;
    });
}

// ---- IQuickActivate ----------------------------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    if (!container || !control)
        return E_POINTER;
    // Containers of older headers pass shorter structures: what is read and written here are the
    // fields every version has.
    if (container->cbSize < offsetof(QACONTAINER, dwAmbientFlags) ||
        control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
        return E_UNEXPECTED;
    return comEntry(IID_IQuickActivate, [&]() -> HRESULT {
        const HRESULT sited = SetClientSite(container->pClientSite);
        if (FAILED(sited))
            return sited;
        control->dwMiscStatus = miscStatus_;
        control->dwViewStatus = VIEWSTATUS_OPAQUE;
        control->dwEventCookie = 0;
        control->dwPropNotifyCookie = 0;
        if (control->cbSize >= sizeof(QACONTROL))
            control->dwPointerActivationPolicy = 0;
        if (container->pPropertyNotifySink)
            propertyNotify_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
        if (container->pUnkEventSink && eventPoint_)
            eventPoint_->Advise(container->pUnkEventSink, &control->dwEventCookie);
        if (container->pAdviseSink)
            SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE Control::SetContentExtent(LPSIZEL size) { return SetExtent(DVASPECT_CONTENT, size); }

HRESULT STDMETHODCALLTYPE Control::GetContentExtent(LPSIZEL size) { return GetExtent(DVASPECT_CONTENT, size); }

// ---- Connection points and notifications -------------------------------------------------------

HRESULT STDMETHODCALLTYPE Control::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Control::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    *point = nullptr;
    if (iid == IID_IPropertyNotifySink)
        *point = &propertyNotify_;
    else if (eventPoint_ && iid == eventPoint_->iid())
        *point = eventPoint_.get();
    if (!*point)
        return CONNECT_E_NOCONNECTION;
    (*point)->AddRef();
    return S_OK;
}

void Control::propertyChanged(DISPID id)
{
    dirty_ = true;
    for (const ComPtr<IUnknown>& sink : propertyNotify_.sinks())
        static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
    viewChanged();
}

void Control::raiseEvent(DISPID id, const std::vector<Variant>& args)
{
    if (!eventPoint_ || eventsFrozen())
        return;
    // IDispatch takes the arguments last first; the Variants keep ownership.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        reversed.push_back(it->raw());
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    for (const ComPtr<IUnknown>& sink : eventPoint_->sinks())
        static_cast<IDispatch*>(sink.Get())->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                                     nullptr, nullptr, nullptr);
}

Variant Control::ambient(DISPID id) const
{
    Variant value;
    if (!ambients_)
        return value;
    DISPPARAMS none{};
    if (FAILED(ambients_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value.receive(),
                                 nullptr, nullptr)))
        return Variant();
    return value;
}

// ---- Type information --------------------------------------------------------------------------

ComPtr<ITypeLib> Control::typeLibrary() const
{
    ComPtr<ITypeLib> library;
    const HRESULT hr = LoadTypeLibEx(thisModulePath().c_str(), REGKIND_NONE, &library);
    check(hr, "LoadTypeLibEx");
    return library;
}

HRESULT STDMETHODCALLTYPE Control::GetClassInfo(ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    return comEntry(IID_IProvideClassInfo, [&]() -> HRESULT { return typeLibrary()->GetTypeInfoOfGuid(clsid_, info); });
}

HRESULT STDMETHODCALLTYPE Control::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid)
        return E_POINTER;
    *guid = GUID_NULL;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
        return E_INVALIDARG;
    if (!eventPoint_)
        return E_FAIL;
    *guid = events_;
    return S_OK;
}

SIZEL Control::designExtent()
{
    const forms::Form& face = form();
    return SIZEL{static_cast<LONG>(face.Width() * kHimetricPerInch / kTwipsPerInch + 0.5),
                 static_cast<LONG>(face.Height() * kHimetricPerInch / kTwipsPerInch + 0.5)};
}

} // namespace platform::win32::com::activex
