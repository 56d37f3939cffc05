// Other programs' windows as the notifier reads them: a hung program's window is read without
// waiting for that program.
#include <chrono>
#include <future>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "notifier/core/OutlookWindows.h"
#include "platform/win32/Win32Desktop.h"

namespace {

using namespace std::chrono_literals;

// hung-window.exe, started and waited for until its window is up; ended with the test.
class HungProgram {
public:
    HungProgram()
    {
        const std::wstring eventName = L"QuellinHungWindowReady" + std::to_wstring(GetCurrentProcessId());
        ready_ = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
        std::wstring commandLine = L"hung-window.exe " + eventName;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        // Built beside this test program.
        std::wstring program(MAX_PATH, L'\0');
        program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
        program.replace(program.find_last_of(L'\\') + 1, std::wstring::npos, L"hung-window.exe");
        if (ready_ && CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &process_)) {
            HANDLE waits[] = {ready_, process_.hProcess};
            started_ = WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0;
        }
        window_ = started_ ? FindWindowW(L"rctrl_renwnd32", L"Inbox - Microsoft Outlook") : nullptr;
    }
    ~HungProgram()
    {
        end();
        if (ready_)
            CloseHandle(ready_);
    }
    void end()
    {
        if (!process_.hProcess)
            return;
        TerminateProcess(process_.hProcess, 0);
        WaitForSingleObject(process_.hProcess, 10000);
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
    }
    HungProgram(const HungProgram&) = delete;
    HungProgram& operator=(const HungProgram&) = delete;

    HWND window() const { return window_; }

private:
    HANDLE ready_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
    HWND window_ = nullptr;
};

TEST(ForeignWindows, AHungProgramsWindowIsReadWithoutWaitingForIt)
{
    HungProgram hung;
    ASSERT_NE(hung.window(), nullptr) << "hung-window.exe did not show its window";
    // Its thread answers nothing: a message sent to it would wait (this one gives up after 300 ms).
    DWORD_PTR answer = 0;
    ASSERT_EQ(SendMessageTimeoutW(hung.window(), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 300, &answer), 0);

    // Read on another thread, so that a read that waits fails the test instead of holding it (the
    // program's end lets a waiting read go).
    auto reads = std::async(std::launch::async, [window = hung.window()] {
        platform::win32::Win32Desktop desktop;
        const auto handle = reinterpret_cast<platform::WindowHandle>(window);
        const int length = desktop.getWindowTextLength(handle);
        const std::string title = desktop.getWindowText(handle, length + 1);
        const std::string className = desktop.getClassName(handle, 64);
        const bool outlookRuns = qln::IsOutlookRunning(desktop) == qln::OutlookPresence::Running;
        return std::to_string(length) + " " + title + " " + className + (outlookRuns ? " running" : " gone");
    });
    if (reads.wait_for(10s) != std::future_status::ready) {
        hung.end();
        FAIL() << "reading a hung program's window waited for it";
    }
    EXPECT_EQ(reads.get(), "25 Inbox - Microsoft Outlook rctrl_renwnd32 running");
}

} // namespace
