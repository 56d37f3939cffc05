#include "platform/win32/com/MessageFilter.h"

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/com/ComFailure.h"

namespace platform::win32::com {

namespace {
// RetryRejectedCall's answer that cancels the call.
constexpr DWORD cancelCall = static_cast<DWORD>(-1);
} // namespace

ComPtr<MessageFilter> MessageFilter::create(DWORD patienceMs, DWORD retryDelayMs)
{
    ComPtr<MessageFilter> filter;
    filter.Attach(new MessageFilter(patienceMs, retryDelayMs));
    return filter;
}

// COM reads an answer of 0-99 as "retry at once" and would spin: a delay is at least 100 ms.
MessageFilter::MessageFilter(DWORD patienceMs, DWORD retryDelayMs)
    : patienceMs_(patienceMs), retryDelayMs_(retryDelayMs < 100 ? 100 : retryDelayMs)
{
}

HRESULT STDMETHODCALLTYPE MessageFilter::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IMessageFilter) {
        *object = static_cast<IMessageFilter*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MessageFilter::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE MessageFilter::Release()
{
    const ULONG left = --references_;
    if (left == 0)
        delete this;
    return left;
}

DWORD STDMETHODCALLTYPE MessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO)
{
    return guardCallback<DWORD>(SERVERCALL_ISHANDLED, [] { return static_cast<DWORD>(SERVERCALL_ISHANDLED); });
}

DWORD STDMETHODCALLTYPE MessageFilter::RetryRejectedCall(HTASK, DWORD elapsedMs, DWORD rejectType)
{
    return guardCallback<DWORD>(cancelCall, [&]() -> DWORD {
        // Compared without adding, so an elapsed time near the DWORD's end cannot wrap.
        const bool patient = elapsedMs <= patienceMs_ && patienceMs_ - elapsedMs >= retryDelayMs_;
        if (rejectType == SERVERCALL_RETRYLATER && patient) {
            ++retries_;
            return retryDelayMs_;
        }
        ++cancellations_;
        return cancelCall;
    });
}

DWORD STDMETHODCALLTYPE MessageFilter::MessagePending(HTASK, DWORD, DWORD)
{
    return guardCallback<DWORD>(PENDINGMSG_WAITDEFPROCESS, [] { return static_cast<DWORD>(PENDINGMSG_WAITDEFPROCESS); });
}

MessageFilterRegistration::MessageFilterRegistration(ComPtr<IMessageFilter> filter)
{
    check(CoRegisterMessageFilter(filter.Get(), &previous_), "CoRegisterMessageFilter");
}

MessageFilterRegistration::~MessageFilterRegistration()
{
    ComPtr<IMessageFilter> ours;
    CoRegisterMessageFilter(previous_.Get(), &ours);
}

} // namespace platform::win32::com
