#pragma once
// Failed COM calls as the seams report them.
//
// Implements: a platform::Failure naming the call, the error's text and its HRESULT in hex. The
// text is the server's own description when it raised an exception (EXCEPINFO), the system's
// message for the HRESULT otherwise. The Failure's number is the error's numeric code: the
// EXCEPINFO's scode (or its wCode), else the HRESULT, as a late-bound caller sees it.
// Does not: free or fill the EXCEPINFO (the caller owns it), or retry anything.

#include <string>

#include <windows.h>
#include <oleauto.h>

#include "platform/Failure.h"

namespace platform::win32::com {

// "Subject failed: The operation failed. (0x80004005)"
Failure comFailure(const std::string& call, HRESULT hr, const EXCEPINFO* info = nullptr);

// Throws comFailure(call, hr) when hr is a failure code.
inline void check(HRESULT hr, const char* call)
{
    if (FAILED(hr))
        throw comFailure(call, hr);
}

// Whether the HRESULT says the server is gone (process ended, object disconnected): every later
// call on its objects fails the same way.
bool isDisconnected(HRESULT hr);

} // namespace platform::win32::com
