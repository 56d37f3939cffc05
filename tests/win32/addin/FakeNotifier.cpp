// A stand-in for QLN.exe in the add-in's tests: copied as QLN.exe into a folder the install key
// names. It behaves as the notifier does towards other programs (one per logon by the instance
// mutex, ends when the quit event is set, at the latest after 30 s) and appends one line to
// starts.txt beside itself for every start, refused ones too: what counts is how often it was
// started.

#include <windows.h>

#include <string>

#include "platform/win32/NotifierInstance.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, platform::win32::kNotifierInstanceMutex);
    const bool refused = !mutex || GetLastError() == ERROR_ALREADY_EXISTS;
    HANDLE quit = refused ? nullptr : CreateEventW(nullptr, TRUE, FALSE, platform::win32::kNotifierQuitEvent);

    std::wstring log(MAX_PATH, L'\0');
    log.resize(GetModuleFileNameW(nullptr, log.data(), MAX_PATH));
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"starts.txt";
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, refused ? "refused\n" : "started\n", 8, &written, nullptr);
        CloseHandle(file);
    }
    if (quit)
        WaitForSingleObject(quit, 30000);
    return 0;
}
