#include "platform/win32/Win32SystemInfo.h"

#include <windows.h>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Failure.h"

namespace platform::win32 {

namespace {

int screenCaps(int index)
{
    const HDC dc = GetDC(nullptr);
    if (!dc)
        throw lastErrorFailure("GetDC");
    const int value = GetDeviceCaps(dc, index);
    ReleaseDC(nullptr, dc);
    return value;
}

std::string withoutTrailingSeparator(std::wstring folder)
{
    while (folder.size() > 1 && (folder.back() == L'\\' || folder.back() == L'/'))
        folder.pop_back();
    return toUtf8(folder);
}

} // namespace

std::string Win32SystemInfo::userName()
{
    wchar_t name[257];  // UNLEN + 1, and one to spare
    DWORD size = static_cast<DWORD>(std::size(name));
    if (!GetUserNameW(name, &size))
        throw lastErrorFailure("GetUserNameW");
    // The size counts the terminating NUL.
    return toUtf8(std::wstring_view(name, size > 0 ? size - 1 : 0));
}

std::string Win32SystemInfo::programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            throw lastErrorFailure("GetModuleFileNameW");
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // cut short: ask again with more room
    }
    const auto cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos)
        throw win32Failure("GetModuleFileNameW", ERROR_BAD_PATHNAME);
    path.resize(cut);
    return withoutTrailingSeparator(path);
}

int Win32SystemInfo::screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int Win32SystemInfo::screenHeight() { return GetSystemMetrics(SM_CYSCREEN); }
int Win32SystemInfo::logPixelsX() { return screenCaps(LOGPIXELSX); }
int Win32SystemInfo::logPixelsY() { return screenCaps(LOGPIXELSY); }

int Win32SystemInfo::desktopTextMetricHeight()
{
    const HWND desktop = GetDesktopWindow();
    const HDC dc = GetWindowDC(desktop);
    if (!dc)
        throw lastErrorFailure("GetWindowDC");
    SetMapMode(dc, MM_TEXT);
    TEXTMETRICW metrics{};
    const BOOL ok = GetTextMetricsW(dc, &metrics);
    ReleaseDC(desktop, dc);
    if (!ok)
        throw lastErrorFailure("GetTextMetricsW");
    return static_cast<int>(metrics.tmHeight);
}

OsVersion Win32SystemInfo::osVersion()
{
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info))
        throw lastErrorFailure("GetVersionExW");
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

std::string Win32SystemInfo::localeName()
{
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    const int length = GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    if (length == 0)
        throw lastErrorFailure("GetUserDefaultLocaleName");
    return toUtf8(std::wstring_view(name, static_cast<std::size_t>(length - 1)));
}

std::string Win32SystemInfo::tempFolder()
{
    wchar_t path[MAX_PATH + 2];
    const DWORD length = GetTempPathW(static_cast<DWORD>(std::size(path)), path);
    if (length == 0 || length >= std::size(path))
        throw lastErrorFailure("GetTempPathW");
    return withoutTrailingSeparator(std::wstring(path, length));
}

} // namespace platform::win32
