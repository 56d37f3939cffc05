#include "tests/win32/com/FakeAutomation.h"

#include <cwctype>

#include "platform/Failure.h"
#include "platform/win32/CallbackGuard.h"
#include "platform/win32/Wide.h"

namespace comtest {

namespace {

std::wstring folded(std::wstring_view name)
{
    std::wstring out(name);
    for (auto& c : out)
        c = static_cast<wchar_t>(std::towlower(c));
    return out;
}

} // namespace

class FakeAutomation::Point final : public IConnectionPoint {
public:
    Point(FakeAutomation& owner, const IID& events) : owner_(owner), events_(events) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
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
        *iid = events_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override
    {
        *container = &owner_;
        owner_.AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override
    {
        // As a real source does: the sink must speak the events' dispinterface.
        ComPtr<IDispatch> events;
        if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(events.GetAddressOf()))))
            return CONNECT_E_CANNOTCONNECT;
        *cookie = ++lastCookie_;
        sinks_[*cookie] = events;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override
    {
        return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    std::map<DWORD, ComPtr<IDispatch>> sinks_;

private:
    FakeAutomation& owner_;
    IID events_;
    DWORD lastCookie_ = 0;
};

ComPtr<FakeAutomation> FakeAutomation::create(const IID& events)
{
    ComPtr<FakeAutomation> object;
    object.Attach(new FakeAutomation(events));
    return object;
}

FakeAutomation::FakeAutomation(const IID& events) : events_(events)
{
    if (events != IID_NULL)
        point_ = new Point(*this, events);
}

FakeAutomation::~FakeAutomation() { delete point_; }

void FakeAutomation::member(const std::string& name, DISPID id, Member answer)
{
    names_[folded(platform::win32::toWide(name))] = id;
    members_[id] = std::move(answer);
}

void FakeAutomation::property(const std::string& name, DISPID id, Variant initial)
{
    values_[id] = std::move(initial);
    member(name, id, [this, id](const Call& call, Variant& result, EXCEPINFO&) -> HRESULT {
        if (call.flags & DISPATCH_PROPERTYPUT) {
            if (call.args.size() != 1 || !call.namedPut)
                return DISP_E_BADPARAMCOUNT;
            values_[id] = call.args[0];
            return S_OK;
        }
        if (!(call.flags & DISPATCH_PROPERTYGET))
            return DISP_E_MEMBERNOTFOUND;
        result = values_[id];
        return S_OK;
    });
}

std::vector<HRESULT> FakeAutomation::fire(DISPID id, std::vector<Variant> args)
{
    std::vector<HRESULT> answers;
    if (!point_)
        return answers;
    std::vector<VARIANT> reversed;
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg)
        reversed.push_back(arg->raw());
    const auto sinks = point_->sinks_;  // a sink may unadvise while it handles the event
    for (const auto& [cookie, sink] : sinks) {
        DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        Variant result;
        answers.push_back(sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result.receive(), nullptr, nullptr));
    }
    return answers;
}

std::size_t FakeAutomation::sinks() const { return point_ ? point_->sinks_.size() : 0; }

HRESULT STDMETHODCALLTYPE FakeAutomation::QueryInterface(REFIID iid, void** object)
{
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

ULONG STDMETHODCALLTYPE FakeAutomation::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE FakeAutomation::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE FakeAutomation::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FakeAutomation::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeAutomation::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    ++nameLookups_;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        const auto found = names_.find(folded(names[i]));
        ids[i] = found == names_.end() ? DISPID_UNKNOWN : found->second;
        if (found == names_.end())
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeAutomation::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                                 VARIANT* result, EXCEPINFO* exception, UINT*)
{
    // An argument of the wrong type is the caller's error; anything else is held for the pump.
    return platform::win32::guardCallback<HRESULT>(E_UNEXPECTED, [&]() -> HRESULT {
        try {
            return invoke(id, flags, params, result, exception);
        } catch (const platform::Failure& failure) {
            return failure.number() ? static_cast<HRESULT>(failure.number()) : DISP_E_TYPEMISMATCH;
        }
    });
}

HRESULT FakeAutomation::invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception)
{
    ++invocations_;
    const auto found = members_.find(id);
    if (found == members_.end())
        return DISP_E_MEMBERNOTFOUND;
    Call call;
    call.flags = flags;
    for (UINT i = params->cArgs; i > 0; --i)
        call.args.push_back(Variant::copyOf(params->rgvarg[i - 1]));
    call.namedPut = params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
    lastCall_ = call;
    Variant answer;
    EXCEPINFO info{};
    const HRESULT hr = found->second(call, answer, info);
    if (exception)
        *exception = info;
    else {
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrSource);
    }
    if (SUCCEEDED(hr) && result)
        VariantCopy(result, const_cast<VARIANT*>(&answer.raw()));
    return hr;
}

HRESULT STDMETHODCALLTYPE FakeAutomation::EnumConnectionPoints(IEnumConnectionPoints**) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE FakeAutomation::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point_ || iid != events_) {
        *point = nullptr;
        return CONNECT_E_NOCONNECTION;
    }
    *point = point_;
    point_->AddRef();
    return S_OK;
}

HRESULT raise(EXCEPINFO& exception, const wchar_t* description, SCODE scode, WORD wCode)
{
    exception.bstrSource = SysAllocString(L"FakeAutomation");
    exception.bstrDescription = description ? SysAllocString(description) : nullptr;
    exception.scode = scode;
    exception.wCode = wCode;
    return DISP_E_EXCEPTION;
}

} // namespace comtest
