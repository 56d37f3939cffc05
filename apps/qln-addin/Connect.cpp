#include "apps/qln-addin/Connect.h"

#include <array>
#include <vector>

#include "apps/qln-addin/NotifierStarter.h"
#include "platform/Failure.h"
#include "platform/win32/com/activex/Entry.h"
#include "platform/win32/com/activex/Server.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/Variant.h"

namespace qln::addin {

namespace {

using platform::win32::com::ComPtr;
using platform::win32::com::Dispatch;
using platform::win32::com::EventSink;
using platform::win32::com::SinkConnection;
using platform::win32::com::Variant;

namespace activex = platform::win32::com::activex;

template <class Body>
HRESULT entry(Body&& body) noexcept
{
    return activex::comEntry(IID_IDTExtensibility2, std::forward<Body>(body));
}

struct MethodName {
    const wchar_t* name;
    DISPID id;
};
constexpr std::array<MethodName, 5> kMethods{{
    {L"OnConnection", kOnConnection},
    {L"OnDisconnection", kOnDisconnection},
    {L"OnAddInsUpdate", kOnAddInsUpdate},
    {L"OnStartupComplete", kOnStartupComplete},
    {L"OnBeginShutdown", kOnBeginShutdown},
}};

// An argument of a dispatch call by its position in the declaration (rgvarg holds them last first).
const VARIANT* argument(const DISPPARAMS& params, UINT position)
{
    if (position >= params.cArgs)
        return nullptr;
    return &params.rgvarg[params.cArgs - 1 - position];
}

// The SAFEARRAY** of a custom argument passed by reference, or nullptr.
SAFEARRAY** customOf(const DISPPARAMS& params, UINT position)
{
    const VARIANT* value = argument(params, position);
    if (value && (value->vt & VT_BYREF) && (value->vt & VT_ARRAY))
        return value->pparray;
    return nullptr;
}

// Outlook's Options dialog is opening: our page joins it. A Pages object that refuses leaves the
// dialog without it; the dialog goes on.
void addPage(const std::vector<Variant>& args)
{
    if (args.empty())
        return;
    platform::ignoreFailure([&] {
        const ComPtr<IDispatch> pages = args[0].toDispatch();
        if (pages)
            Dispatch(pages).call("Add", {Variant(kPageProgId), Variant(kPageCaption)});
    });
}

} // namespace

IUnknown* Connect::create() { return static_cast<IDTExtensibility2*>(new Connect()); }

Connect::Connect() { activex::objectCreated(); }

Connect::~Connect()
{
    disconnect();
    activex::objectDestroyed();
}

HRESULT Connect::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IDTExtensibility2) {
        *object = static_cast<IDTExtensibility2*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG Connect::AddRef() { return ++references_; }

ULONG Connect::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT Connect::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT Connect::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT Connect::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!names || !ids)
        return E_POINTER;
    if (count == 0)
        return S_OK;
    // The method's name; its parameters have no names here.
    for (UINT i = 1; i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    for (const MethodName& method : kMethods) {
        if (names[0] && CompareStringOrdinal(names[0], -1, method.name, -1, TRUE) == CSTR_EQUAL) {
            ids[0] = method.id;
            return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
        }
    }
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT Connect::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT* argumentError)
{
    if (!params)
        return E_POINTER;
    if (!(flags & DISPATCH_METHOD))
        return DISP_E_MEMBERNOTFOUND;
    if (result)
        VariantInit(result);
    const DISPPARAMS& p = *params;
    if (p.cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    const auto needs = [&](UINT count) { return p.cArgs == count; };
    switch (id) {
    case kOnConnection: {
        if (!needs(4))
            return DISP_E_BADPARAMCOUNT;
        return entry([&]() -> HRESULT {
            const Variant application = Variant::copyOf(*argument(p, 0));
            const Variant addIn = Variant::copyOf(*argument(p, 2));
            std::int32_t mode = 0;
            try {
                mode = Variant::copyOf(*argument(p, 1)).toLong();
            } catch (const platform::Failure&) {
                if (argumentError)
                    *argumentError = 2;
                return DISP_E_TYPEMISMATCH;
            }
            return OnConnection(application.toDispatch().Get(), static_cast<ConnectMode>(mode),
                                addIn.toDispatch().Get(), customOf(p, 3));
        });
    }
    case kOnDisconnection: {
        if (!needs(2))
            return DISP_E_BADPARAMCOUNT;
        return entry([&]() -> HRESULT {
            const std::int32_t mode = Variant::copyOf(*argument(p, 0)).toLong();
            return OnDisconnection(static_cast<DisconnectMode>(mode), customOf(p, 1));
        });
    }
    case kOnAddInsUpdate:
    case kOnStartupComplete:
    case kOnBeginShutdown:
        return needs(1) ? S_OK : DISP_E_BADPARAMCOUNT;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT Connect::OnConnection(IDispatch* application, ConnectMode mode, IDispatch*, SAFEARRAY**)
{
    if (!application)
        return E_POINTER;
    return entry([&]() -> HRESULT {
        connect(*application, mode);
        return S_OK;
    });
}

HRESULT Connect::OnDisconnection(DisconnectMode, SAFEARRAY**)
{
    return entry([&]() -> HRESULT {
        disconnect();
        return S_OK;
    });
}

HRESULT Connect::OnAddInsUpdate(SAFEARRAY**) { return S_OK; }
HRESULT Connect::OnStartupComplete(SAFEARRAY**) { return S_OK; }
HRESULT Connect::OnBeginShutdown(SAFEARRAY**) { return S_OK; }

void Connect::connect(IDispatch& application, ConnectMode mode)
{
    disconnect();
    const auto listen = [&](const IID& events) {
        ComPtr<EventSink> sink = EventSink::create(events);
        sink->on(kOptionsPagesAdd, addPage);
        sink->on(kStartupEvent, [](const std::vector<Variant>&) { startNotifier(); });
        events_ = std::make_unique<SinkConnection>(application, sink);
    };
    // Outlook 2002 has only the older events. With neither, the connection fails (Outlook reports
    // the add-in as not loaded).
    if (!platform::ignoreFailure([&] { listen(DIID_ApplicationEvents_11); }))
        listen(DIID_ApplicationEvents_10);
    application_ = &application;
    // Connected by the user after Outlook's start: no Startup event will come.
    if (mode == kAfterStartup)
        startNotifier();
}

void Connect::disconnect()
{
    events_.reset();
    application_.Reset();
}

} // namespace qln::addin
