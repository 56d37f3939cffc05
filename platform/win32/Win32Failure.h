#pragma once
// Failed Win32 calls as the seams report them.
//
// Implements: a platform::Failure naming the call and the system's error code and text. Does not:
// map error codes to run-time error numbers (the Failure's number stays 0).

#include <cstdint>
#include <string>

#include "platform/Failure.h"

namespace platform::win32 {

// "RegOpenKeyExW failed: The system cannot find the file specified. (error 2)"
Failure win32Failure(const std::string& call, std::uint32_t errorCode);

// The same with GetLastError().
Failure lastErrorFailure(const std::string& call);

} // namespace platform::win32
