#pragma once
// Calls a busy server rejects are retried for a bounded time, then fail.
//
// A server that shows a modal dialog (Outlook asking something of its user) rejects incoming
// calls with SERVERCALL_RETRYLATER; without a filter the call fails at once with
// RPC_E_CALL_REJECTED. COM asks the registered IMessageFilter what to do, handing it the time
// elapsed since the call was first made (the filter's clock: no timer of ours is involved).
//
// Implements: MessageFilter::RetryRejectedCall: retry after `retryDelayMs` while the elapsed time
// plus that delay stays within `patienceMs`, then cancel (the call fails with
// RPC_E_CALL_REJECTED, a platform::Failure at the caller); a call rejected outright
// (SERVERCALL_REJECTED) is cancelled at once. Incoming calls are always handled, and messages
// that arrive while a call waits are left to COM's default processing (input waits, paint and
// timers run). Each method is one guarded entry. MessageFilterRegistration installs a filter on
// the calling single-threaded apartment and puts the previous one back on destruction.
// Does not: show the "server busy" dialog, or work in a multithreaded apartment (COM has no
// message filters there).

#include <atomic>

#include <objidl.h>

#include "platform/win32/com/Variant.h"

namespace platform::win32::com {

class MessageFilter : public IMessageFilter {
public:
    static constexpr DWORD defaultPatienceMs = 10000;
    static constexpr DWORD defaultRetryDelayMs = 250;

    static ComPtr<MessageFilter> create(DWORD patienceMs = defaultPatienceMs, DWORD retryDelayMs = defaultRetryDelayMs);

    // How many rejected calls were retried, and how many given up.
    int retries() const { return retries_; }
    int cancellations() const { return cancellations_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IMessageFilter
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD callType, HTASK caller, DWORD elapsedMs,
                                               LPINTERFACEINFO info) override;
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD elapsedMs, DWORD rejectType) override;
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD elapsedMs, DWORD pendingType) override;

private:
    MessageFilter(DWORD patienceMs, DWORD retryDelayMs);
    virtual ~MessageFilter() = default;

    DWORD patienceMs_;
    DWORD retryDelayMs_;
    int retries_ = 0;
    int cancellations_ = 0;
    std::atomic<ULONG> references_{1};
};

class MessageFilterRegistration {
public:
    // Throws platform::Failure when COM refuses (not a single-threaded apartment).
    explicit MessageFilterRegistration(ComPtr<IMessageFilter> filter);
    MessageFilterRegistration(const MessageFilterRegistration&) = delete;
    MessageFilterRegistration& operator=(const MessageFilterRegistration&) = delete;
    ~MessageFilterRegistration();

private:
    ComPtr<IMessageFilter> previous_;
};

} // namespace platform::win32::com
