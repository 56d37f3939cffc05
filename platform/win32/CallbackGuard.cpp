#include "platform/win32/CallbackGuard.h"

namespace platform::win32::detail {

std::exception_ptr& escaped()
{
    thread_local std::exception_ptr held;
    return held;
}

} // namespace platform::win32::detail
