#include "platform/win32/com/ComFailure.h"

#include <cstdio>
#include <string_view>

#include "platform/win32/Wide.h"

namespace platform::win32::com {

namespace {

std::string trimmed(std::wstring_view text)
{
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.remove_suffix(1);
    return toUtf8(text);
}

std::string systemText(HRESULT hr)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message;
    if (length > 0 && text)
        message = trimmed(std::wstring_view(text, length));
    if (text)
        LocalFree(text);
    return message;
}

std::string hex(std::uint32_t code)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(code));
    return buffer;
}

} // namespace

Failure comFailure(const std::string& call, HRESULT hr, const EXCEPINFO* info)
{
    std::int32_t number = static_cast<std::int32_t>(hr);
    std::string text;
    if (hr == DISP_E_EXCEPTION && info) {
        if (info->scode != 0)
            number = static_cast<std::int32_t>(info->scode);
        else if (info->wCode != 0)
            number = info->wCode;
        if (info->bstrDescription)
            text = trimmed(std::wstring_view(info->bstrDescription, SysStringLen(info->bstrDescription)));
    }
    if (text.empty())
        text = systemText(static_cast<HRESULT>(number));
    if (text.empty() && number != static_cast<std::int32_t>(hr))
        text = systemText(hr);
    std::string message = call + " failed";
    if (!text.empty())
        message += ": " + text + ".";
    message += " (" + hex(static_cast<std::uint32_t>(number)) + ")";
    return Failure(message, number);
}

bool isDisconnected(HRESULT hr)
{
    return hr == RPC_E_DISCONNECTED || hr == RPC_E_SERVER_DIED || hr == RPC_E_SERVER_DIED_DNE ||
           hr == CO_E_OBJNOTCONNECTED || hr == HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE) ||
           hr == HRESULT_FROM_WIN32(RPC_S_CALL_FAILED);
}

} // namespace platform::win32::com
