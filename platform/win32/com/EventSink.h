#pragma once
// Receiving a COM object's events: a sink answering IDispatch::Invoke by DISPID, connected
// through the source's IConnectionPointContainer for as long as a SinkConnection lives.
//
// Implements: EventSink, an IDispatch that also answers QueryInterface for the source
// dispinterface's IID (a server asks for that before Advise). Each event's arguments reach its
// handler in declaration order (IDispatch hands them over last first), as Variant copies read
// through VT_BYREF. Events without a handler are answered S_OK and ignored: a source raises many
// we do not want. Invoke is one guarded entry: a handler's exception never crosses COM; it is held
// and rethrown on our side by rethrowEscaped() (CallbackGuard.h), as the message loop does.
// SinkConnection: Advise on construction, Unadvise on destruction; the sink is detached first, so
// no handler runs once the connection is gone, even for an event already on its way. It holds
// the source too: Outlook stops raising a collection's events once nobody holds the collection.
// Does not: write back by-reference arguments (an event's Cancel), or answer GetIDsOfNames (a
// source calls its sinks by DISPID).

#include <atomic>
#include <functional>
#include <map>
#include <vector>

#include <ocidl.h>

#include "platform/Outlook.h"
#include "platform/win32/com/Variant.h"

namespace platform::win32::com {

class EventSink : public IDispatch {
public:
    using Handler = std::function<void(const std::vector<Variant>& args)>;

    // A sink for the source dispinterface `events`, holding the one reference the caller gets.
    static ComPtr<EventSink> create(const IID& events);

    const IID& events() const { return events_; }
    // Sets the handler of one event (replacing any earlier one).
    void on(DISPID id, Handler handler);
    // Drops every handler: later events are answered and ignored.
    void detach() { handlers_.clear(); }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

protected:
    explicit EventSink(const IID& events) : events_(events) {}
    virtual ~EventSink() = default;

private:
    IID events_;
    std::atomic<ULONG> references_{1};
    std::map<DISPID, Handler> handlers_;
};

class SinkConnection : public platform::Connection {
public:
    // Advises `sink` on `source`'s connection point for the sink's dispinterface; throws
    // platform::Failure when the source has no such point or refuses.
    SinkConnection(IUnknown& source, ComPtr<EventSink> sink);
    SinkConnection(const SinkConnection&) = delete;
    SinkConnection& operator=(const SinkConnection&) = delete;
    ~SinkConnection() override;

private:
    ComPtr<IUnknown> source_;
    ComPtr<EventSink> sink_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

} // namespace platform::win32::com
