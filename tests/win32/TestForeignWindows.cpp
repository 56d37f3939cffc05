// Other programs' windows as the notifier reads them: a hung program's window is read without
// waiting for that program; class names kept between reads.
#include <algorithm>
#include <chrono>
#include <future>
#include <string>
#include <vector>

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

// Another program's top-level window of a class of its own, made on this thread.
class ForeignWindow {
public:
    explicit ForeignWindow(const wchar_t* className) : className_(className)
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = className;
        RegisterClassExW(&wc);
        window_ = CreateWindowExW(0, className, L"Foreign - Window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~ForeignWindow()
    {
        destroy();
        UnregisterClassW(className_, GetModuleHandleW(nullptr));
    }
    ForeignWindow(const ForeignWindow&) = delete;
    ForeignWindow& operator=(const ForeignWindow&) = delete;

    platform::WindowHandle handle() const { return reinterpret_cast<platform::WindowHandle>(window_); }
    void destroy()
    {
        if (window_ && !destroyed_)
            DestroyWindow(window_);
        destroyed_ = true;
    }

private:
    const wchar_t* className_;
    HWND window_ = nullptr;
    bool destroyed_ = false;
};

bool listed(const std::vector<platform::WindowHandle>& windows, platform::WindowHandle window)
{
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

// The desktop keeps the class names of the windows it lists (a window's class never changes) for as
// long as every list shows the window and the lists follow each other closely: a window that has
// gone is not answered for from what was kept once a list no longer shows it, or once its list is
// old.
TEST(ForeignWindows, ClassNamesAreKeptOnlyForWindowsTheRecentListsShow)
{
    platform::win32::Win32Desktop desktop;
    ForeignWindow first(L"QuellinForeignFirst");
    ASSERT_NE(first.handle(), platform::NoWindow);
    EXPECT_EQ(desktop.getClassName(first.handle(), 64), "QuellinForeignFirst");  // not listed yet
    ASSERT_TRUE(listed(desktop.enumWindows(), first.handle()));
    EXPECT_EQ(desktop.getClassName(first.handle(), 64), "QuellinForeignFirst");
    EXPECT_EQ(desktop.getClassName(first.handle(), 8), "Quellin");

    // Gone: the next list no longer shows it, and nothing is answered for it.
    first.destroy();
    ForeignWindow second(L"QuellinForeignSecond");
    const auto windows = desktop.enumWindows();
    EXPECT_FALSE(listed(windows, first.handle()));
    ASSERT_TRUE(listed(windows, second.handle()));
    EXPECT_THROW(desktop.getClassName(first.handle(), 64), platform::Failure);
    EXPECT_EQ(desktop.getClassName(second.handle(), 64), "QuellinForeignSecond");

    // Gone after the list: answered from what was kept while the list is recent (as a read a moment
    // earlier would have been), then no longer.
    second.destroy();
    EXPECT_EQ(desktop.getClassName(second.handle(), 64), "QuellinForeignSecond");
    Sleep(2200);
    EXPECT_THROW(desktop.getClassName(second.handle(), 64), platform::Failure);
}

} // namespace
