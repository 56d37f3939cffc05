#include "platform/win32/com/Dispatch.h"

#include <utility>

#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"

namespace platform::win32::com {

namespace {

// Frees what a server put into an EXCEPINFO, whatever path the call takes.
struct ExceptionInfo {
    EXCEPINFO info{};
    ExceptionInfo() = default;
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;
    ~ExceptionInfo()
    {
        SysFreeString(info.bstrSource);
        SysFreeString(info.bstrDescription);
        SysFreeString(info.bstrHelpFile);
    }
    void fillIn()
    {
        if (info.pfnDeferredFillIn)
            info.pfnDeferredFillIn(&info);
    }
};

Failure notAnObject(const std::string& name) { return comFailure(name, E_POINTER); }

} // namespace

void ServerLink::noteFailure(HRESULT hr)
{
    if (!gone() && isDisconnected(hr))
        goneWith_ = hr;
}

DISPID DispIdCache::idOf(IDispatch& object, const std::string& name)
{
    if (const auto found = ids_.find(name); found != ids_.end())
        return found->second;
    std::wstring wide = toWide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    ++lookups_;
    const HRESULT hr = object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr))
        throw comFailure(name, hr);
    ids_.emplace(name, id);
    return id;
}

Dispatch::Dispatch(ComPtr<IDispatch> object, std::shared_ptr<DispIdCache> cache, std::shared_ptr<ServerLink> link)
    : object_(std::move(object)), cache_(cache ? std::move(cache) : std::make_shared<DispIdCache>()),
      link_(std::move(link))
{
}

void Dispatch::ensureReachable(const std::string& name) const
{
    if (!object_)
        throw notAnObject(name);
    if (link_ && link_->gone())
        throw comFailure(name, link_->goneWith());
}

void Dispatch::fail(const std::string& name, HRESULT hr, const EXCEPINFO* info) const
{
    if (link_)
        link_->noteFailure(hr);
    throw comFailure(name, hr, info);
}

DISPID Dispatch::idOf(const std::string& name) const
{
    ensureReachable(name);
    try {
        return cache_->idOf(*object_.Get(), name);
    } catch (const Failure& failure) {
        // The lookup's own HRESULT is the Failure's number: note a disconnection, then pass it on.
        if (link_)
            link_->noteFailure(static_cast<HRESULT>(failure.number()));
        throw;
    }
}

Variant Dispatch::get(const std::string& name, const std::vector<Variant>& args) const
{
    return invoke(idOf(name), DISPATCH_PROPERTYGET, args, name);
}

void Dispatch::put(const std::string& name, const Variant& value) const
{
    invoke(idOf(name), DISPATCH_PROPERTYPUT, {value}, name);
}

Variant Dispatch::call(const std::string& name, const std::vector<Variant>& args) const
{
    return invoke(idOf(name), DISPATCH_METHOD, args, name);
}

Variant Dispatch::invoke(DISPID id, WORD flags, const std::vector<Variant>& args, const std::string& name) const
{
    ensureReachable(name);
    // IDispatch takes the arguments last first. The VARIANTs stay owned by `args`: a callee
    // never frees its [in] arguments, so a shallow copy is enough.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg)
        reversed.push_back(arg->raw());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    Variant result;
    ExceptionInfo exception;
    UINT argumentError = 0;
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       (flags & DISPATCH_PROPERTYPUT) ? nullptr : result.receive(),
                                       &exception.info, &argumentError);
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION)
            exception.fillIn();
        fail(name, hr, hr == DISP_E_EXCEPTION ? &exception.info : nullptr);
    }
    return result;
}

} // namespace platform::win32::com
