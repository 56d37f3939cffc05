#pragma once
// One outgoing interface of a control: the sinks its container advised, by cookie.
//
// Implements: IConnectionPoint for one interface id (IPropertyNotifySink, a control's events).
// The point is part of its control: AddRef and Release are the control's, so it lives exactly as
// long as the control does. Advise keeps the sink's pointer for that interface (asked of the sink
// with QueryInterface). sinks() hands out a copy, so a sink may unadvise while it is being told.
// Does not: enumerate its connections (EnumConnections answers E_NOTIMPL).

#include <utility>
#include <vector>

#include <ocidl.h>
#include <olectl.h>

#include "platform/win32/com/Variant.h"

namespace platform::win32::com::activex {

class ConnectionPoint final : public IConnectionPoint {
public:
    ConnectionPoint(IConnectionPointContainer& owner, const IID& iid) : owner_(owner), iid_(iid) {}
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    const IID& iid() const { return iid_; }
    // The advised sinks, each as the point's interface.
    std::vector<ComPtr<IUnknown>> sinks() const;
    std::size_t count() const { return sinks_.size(); }
    // Drops every sink (the control closes).
    void clear() { sinks_.clear(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

private:
    IConnectionPointContainer& owner_;
    IID iid_;
    std::vector<std::pair<DWORD, ComPtr<IUnknown>>> sinks_;
    DWORD nextCookie_ = 1;
};

} // namespace platform::win32::com::activex
