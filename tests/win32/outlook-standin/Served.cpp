#include "tests/win32/outlook-standin/Served.h"

#include <stdexcept>

#include "platform/Failure.h"
#include "platform/win32/CallbackGuard.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"

namespace standin {

namespace {

int aliveObjects = 0;
std::uint64_t callsServed = 0;
int sinksConnected = 0;

// The failure's own text without the "Subject failed: " the simulated Outlook puts before it:
// the client names the member itself.
std::wstring description(const std::string& what)
{
    const auto at = what.find(" failed: ");
    const std::string text = at == std::string::npos ? what : what.substr(at + 9);
    return platform::win32::toWide(text);
}

HRESULT raise(EXCEPINFO* exception, const std::string& what, HRESULT scode)
{
    if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = SysAllocString(L"Outlook");
        exception->bstrDescription = SysAllocString(description(what).c_str());
        exception->scode = scode;
    }
    return DISP_E_EXCEPTION;
}

} // namespace

const Variant& Call::arg(std::size_t i) const
{
    if (!has(i))
        throw ServedError{DISP_E_PARAMNOTOPTIONAL};
    return args[i];
}

void CallCounts::count(std::string_view interfaceName, std::string_view member)
{
    std::string key(interfaceName);
    key += '.';
    key += member;
    ++counts_[key];
}

void CallCounts::quitDuring(std::string key, std::function<void()> quit)
{
    trap_ = std::move(key);
    trapQuit_ = std::move(quit);
}

bool CallCounts::sprung(std::string_view interfaceName, std::string_view member)
{
    if (trap_.empty() || trap_.size() != interfaceName.size() + 1 + member.size() ||
        !trap_.starts_with(interfaceName) || trap_[interfaceName.size()] != '.' || !trap_.ends_with(member))
        return false;
    trap_.clear();
    const auto quit = std::move(trapQuit_);
    trapQuit_ = nullptr;
    if (quit)
        quit();
    return true;
}

int CallCounts::of(std::string_view key) const
{
    if (key == "*") {
        int total = 0;
        for (const auto& [name, count] : counts_)
            total += count;
        return total;
    }
    const auto found = counts_.find(key);
    return found == counts_.end() ? 0 : found->second;
}

std::string CallCounts::report() const
{
    std::string text;
    for (const auto& [name, count] : counts_)
        text += name + "=" + std::to_string(count) + "\n";
    return text;
}

class Served::Point final : public IConnectionPoint {
public:
    explicit Point(Served& owner) : owner_(owner) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
            *object = static_cast<IConnectionPoint*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives as long as its container.
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override
    {
        if (!iid)
            return E_POINTER;
        *iid = owner_.events_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        if (!container)
            return E_POINTER;
        *container = &owner_;
        owner_.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&]() -> HRESULT {
            if (!sink || !cookie)
                return E_POINTER;
            ComPtr<IDispatch> events;
            if (FAILED(sink->QueryInterface(owner_.events_, reinterpret_cast<void**>(events.GetAddressOf()))))
                return CONNECT_E_CANNOTCONNECT;
            *cookie = ++owner_.lastCookie_;
            owner_.sinks_[*cookie] = events;
            ++sinksConnected;
            if (owner_.sinks_.size() == 1)
                owner_.firstSink();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&]() -> HRESULT {
            if (!owner_.sinks_.erase(cookie))
                return CONNECT_E_NOCONNECTION;
            --sinksConnected;
            if (owner_.sinks_.empty())
                owner_.lastSinkGone();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override
    {
        if (connections)
            *connections = nullptr;
        return E_NOTIMPL;
    }

private:
    Served& owner_;
};

int Served::alive() { return aliveObjects; }

std::uint64_t Served::calls() { return callsServed; }

int Served::connectedSinks() { return sinksConnected; }

Served::Served(std::string_view interfaceName, CallCounts* counts, const IID& events)
    : interfaceName_(interfaceName), counts_(counts), events_(events)
{
    if (events != IID_NULL)
        point_ = new Point(*this);
    ++aliveObjects;
}

Served::~Served()
{
    sinksConnected -= static_cast<int>(sinks_.size());
    delete point_;
    --aliveObjects;
}

void Served::fire(DISPID id, const std::vector<Variant>& args)
{
    std::vector<VARIANT> reversed;
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg)
        reversed.push_back(arg->raw());
    // A sink may unadvise while it handles the event, and the object must outlive the loop.
    const auto sinks = sinks_;
    ComPtr<IDispatch> self(this);
    for (const auto& [cookie, sink] : sinks) {
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        Variant result;
        const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.receive(),
                                        nullptr, nullptr);
        if (!platform::win32::com::isDisconnected(hr) || !sinks_.erase(cookie))
            continue;
        --sinksConnected;
        if (sinks_.empty())
            lastSinkGone();
    }
}

HRESULT STDMETHODCALLTYPE Served::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IConnectionPointContainer && point_) {
        *object = static_cast<IConnectionPointContainer*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE Served::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE Served::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE Served::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Served::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Served::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&]() -> HRESULT {
        if (!names || !ids)
            return E_POINTER;
        ++callsServed;
        if (counts_)
            counts_->count(interfaceName_, "GetIDsOfNames");
        HRESULT hr = S_OK;
        for (UINT i = 0; i < count; ++i) {
            ids[i] = names[i] ? idOf(names[i]) : DISPID_UNKNOWN;
            if (ids[i] == DISPID_UNKNOWN)
                hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    });
}

HRESULT STDMETHODCALLTYPE Served::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                         EXCEPINFO* exception, UINT*)
{
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&] {
        return invoke(id, flags, params, result, exception);
    });
}

HRESULT Served::invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception)
{
    if (!params)
        return E_POINTER;
    ++callsServed;
    Call call;
    call.flags = flags;
    if (call.put() && (params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
        return DISP_E_PARAMNOTOPTIONAL;
    if (!call.put() && params->cNamedArgs != 0)
        return DISP_E_NONAMEDARGS;
    for (UINT i = params->cArgs; i > 0; --i)
        call.args.push_back(Variant::copyOf(params->rgvarg[i - 1]));
    std::string_view member;
    // Every call that reached a member counts, answered or refused.
    struct Counted {
        Served& self;
        const std::string_view& member;
        ~Counted()
        {
            if (self.counts_ && !member.empty())
                self.counts_->count(self.interfaceName_, member);
        }
    } counted{*this, member};
    try {
        Variant answer = serve(id, call, member);
        // Outlook quit while it served this call: the answer never comes.
        if (counts_ && counts_->sprung(interfaceName_, member))
            return RPC_E_DISCONNECTED;
        if (result)
            VariantCopy(result, const_cast<VARIANT*>(&answer.raw()));
        return S_OK;
    } catch (const ServedError& error) {
        return error.hr;
    } catch (const platform::Failure& failure) {
        // A failed conversion of an argument carries its HRESULT; the simulated Outlook's refusals
        // carry none and read as Outlook's "operation failed".
        const HRESULT scode = failure.number() < 0 ? static_cast<HRESULT>(failure.number()) : E_FAIL;
        return raise(exception, failure.what(), scode);
    } catch (const std::invalid_argument& error) {
        return raise(exception, error.what(), E_INVALIDARG);
    }
}

HRESULT STDMETHODCALLTYPE Served::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points)
        *points = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Served::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point)
        return E_POINTER;
    if (!point_ || iid != events_) {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *point = point_;
    point_->AddRef();
    return S_OK;
}

} // namespace standin
