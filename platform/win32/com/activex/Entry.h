#pragma once
// The guard of every COM method a control of ours implements.
//
// Implements: comEntry(), which runs a method's body and answers its HRESULT. A platform::Failure
// (a seam refused: the registry, Outlook, a file) is the method's error, as a VB control raises
// one: its text goes to the caller through SetErrorInfo and its number becomes the HRESULT (a
// run-time error number n as FACILITY_CONTROL n, so 380 is CTL_E_INVALIDPROPERTYVALUE; a number
// that is an HRESULT already stays one). Anything else is a bug: guardCallback (CallbackGuard.h)
// holds it and answers E_UNEXPECTED; no C++ exception reaches the host. Inside a host's process
// nobody rethrows the held exception, so from then on every entry of ours answers E_UNEXPECTED
// at once: the control goes inert instead of running on the state the bug left behind.
// Does not: log anything.

#include <windows.h>
#include <cguid.h>

#include "platform/Failure.h"
#include "platform/win32/CallbackGuard.h"

namespace platform::win32::com::activex {

// The HRESULT a Failure stands for: its number as above, E_FAIL without one.
HRESULT hresultOf(const Failure& failure);

// Records the failure's text as the thread's error info and answers hresultOf(failure).
HRESULT raise(const Failure& failure, const IID& from);

template <class Body>
HRESULT comEntry(const IID& from, Body&& body) noexcept
{
    return guardCallback<HRESULT>(E_UNEXPECTED, [&]() -> HRESULT {
        try {
            return body();
        } catch (const Failure& failure) {
            return raise(failure, from);
        }
    });
}

template <class Body>
HRESULT comEntry(Body&& body) noexcept
{
    return comEntry(GUID_NULL, std::forward<Body>(body));
}

} // namespace platform::win32::com::activex
