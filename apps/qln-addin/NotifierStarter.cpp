#include "apps/qln-addin/NotifierStarter.h"

#include <windows.h>

#include "platform/Failure.h"
#include "platform/win32/NotifierInstance.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "shared/Settings.h"
#include "shared/mdlRegistry.h"

namespace qln::addin {

bool notifierRunning()
{
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, platform::win32::kNotifierInstanceMutex);
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

std::wstring notifierPath()
{
    platform::win32::Win32Registry registry;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32FileSystem files;
    const mdlRegistry store(registry, system, files);
    const settings::Settings settings(store, settings::Reader::Notifier);
    std::wstring folder = platform::win32::toWide(settings.read(settings::QLNPath));
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        folder += L'\\';
    return folder + L"QLN.exe";
}

bool startNotifier()
{
    if (notifierRunning())
        return false;
    const std::wstring program = notifierPath();
    const std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace qln::addin
