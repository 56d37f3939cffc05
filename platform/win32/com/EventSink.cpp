#include "platform/win32/com/EventSink.h"

#include <utility>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/com/ComFailure.h"

namespace platform::win32::com {

ComPtr<EventSink> EventSink::create(const IID& events)
{
    ComPtr<EventSink> sink;
    sink.Attach(new EventSink(events));
    return sink;
}

void EventSink::on(DISPID id, Handler handler) { handlers_[id] = std::move(handler); }

HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE EventSink::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE EventSink::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                            EXCEPINFO*, UINT*)
{
    return guardCallback<HRESULT>(E_UNEXPECTED, [&]() -> HRESULT {
        if (result)
            VariantInit(result);
        const auto found = handlers_.find(id);
        if (found == handlers_.end() || !found->second)
            return S_OK;
        std::vector<Variant> args;
        if (params) {
            if (params->cArgs > 0 && !params->rgvarg)
                return E_INVALIDARG;
            args.reserve(params->cArgs);
            for (UINT i = params->cArgs; i > 0; --i)
                args.push_back(Variant::copyOf(params->rgvarg[i - 1]));
        }
        // A copy: the handler may replace or drop itself (detach) while it runs.
        const Handler handler = found->second;
        handler(args);
        return S_OK;
    });
}

SinkConnection::SinkConnection(IUnknown& source, ComPtr<EventSink> sink) : source_(&source), sink_(std::move(sink))
{
    ComPtr<IConnectionPointContainer> container;
    check(source.QueryInterface(IID_PPV_ARGS(&container)), "QueryInterface(IConnectionPointContainer)");
    check(container->FindConnectionPoint(sink_->events(), &point_), "FindConnectionPoint");
    check(point_->Advise(sink_.Get(), &cookie_), "Advise");
}

SinkConnection::~SinkConnection()
{
    sink_->detach();
    // A source that is gone cannot be told; its end of the connection went with it.
    point_->Unadvise(cookie_);
}

} // namespace platform::win32::com
