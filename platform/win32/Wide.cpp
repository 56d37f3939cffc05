#include "platform/win32/Wide.h"

#include <climits>
#include <stdexcept>

#include <windows.h>

namespace platform::win32 {

namespace {

int checkedLength(std::size_t size)
{
    if (size > static_cast<std::size_t>(INT_MAX))
        throw std::length_error("text too long for a Win32 call");
    return static_cast<int>(size);
}

} // namespace

std::wstring toWide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int in = checkedLength(utf8.size());
    const int out = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(out), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, wide.data(), out);
    return wide;
}

std::string toUtf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int in = checkedLength(wide.size());
    const int out = WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(out), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, utf8.data(), out, nullptr, nullptr);
    return utf8;
}

} // namespace platform::win32
