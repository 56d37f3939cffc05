#pragma once
// The one guard for code that Windows or COM calls: window procedures, timer ticks, enumeration
// callbacks, COM methods we implement (their fallback is an HRESULT).
//
// Not to be confused with platform::guardEntry (platform/EntryGuard.h), which the system's own entry
// points use to end an entry's work on a seam Failure; this one carries anything across a frame of
// Windows' and leaves the judging to our side.
//
// Implements: guardCallback() runs our handler inside a Win32 callback and keeps any C++ exception
// from unwinding through Windows' frames (which is undefined behaviour and, on x64, ends the
// process). The exception is not absorbed: it is held and rethrown by rethrowEscaped(), which the
// code that called into Windows (the message pump, SendMessageW, DestroyWindow, ...) calls as soon
// as Windows has returned. While one is held, further entries run nothing and answer the fallback,
// so no handler runs on the state a failed one left behind.
// Does not: hold more than one exception.

#include <exception>
#include <utility>

namespace platform::win32 {

namespace detail {
// This thread's held exception. (Not an inline thread_local variable: MinGW's GCC 12 then defines
// its TLS initialiser in every object file that uses it, and the link fails.)
std::exception_ptr& escaped();
} // namespace detail

// Whether an exception is held for rethrowEscaped().
inline bool exceptionEscaped() { return static_cast<bool>(detail::escaped()); }

// Rethrows the exception a guarded entry caught, if any, and forgets it.
inline void rethrowEscaped()
{
    if (detail::escaped())
        std::rethrow_exception(std::exchange(detail::escaped(), nullptr));
}

template <class Result, class Handler>
Result guardCallback(Result fallback, Handler&& handler) noexcept
{
    if (detail::escaped())
        return fallback;
    try {
        return std::forward<Handler>(handler)();
    } catch (...) {
        // Held, not swallowed: rethrowEscaped() raises it again on our side of the boundary.
        detail::escaped() = std::current_exception();
        return fallback;
    }
}

} // namespace platform::win32
