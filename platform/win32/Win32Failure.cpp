#include "platform/win32/Win32Failure.h"

#include <windows.h>

#include "platform/win32/Wide.h"

namespace platform::win32 {

Failure win32Failure(const std::string& call, std::uint32_t errorCode)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        errorCode, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = call + " failed";
    if (length > 0 && text) {
        std::wstring_view view(text, length);
        while (!view.empty() && (view.back() == L'\r' || view.back() == L'\n' || view.back() == L' '))
            view.remove_suffix(1);
        message += ": " + toUtf8(view);
    }
    if (text)
        LocalFree(text);
    message += " (error " + std::to_string(errorCode) + ")";
    return Failure(message);
}

Failure lastErrorFailure(const std::string& call) { return win32Failure(call, GetLastError()); }

} // namespace platform::win32
