#include "platform/win32/Win32Loop.h"

#include <algorithm>
#include <stdexcept>

#include <windows.h>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/ThisModule.h"
#include "platform/win32/Win32Failure.h"

namespace platform::win32 {

namespace {
UINT const WMAPP_TASKS = WM_APP + 1;
wchar_t const kClassName[] = L"QuellinMessageLoop";
} // namespace

class LoopWindow {
public:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* loop = reinterpret_cast<Win32Loop*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (loop && message == WMAPP_TASKS)
            return guardCallback<LRESULT>(0, [&] { loop->onWake(); return LRESULT{0}; });
        if (loop && message == WM_TIMER)
            return guardCallback<LRESULT>(0, [&] { loop->onTimer(wParam); return LRESULT{0}; });
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static void registerClass()
    {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = thisModule();
        wc.lpszClassName = kClassName;
        if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            throw lastErrorFailure("RegisterClassExW");
    }

    // Dispatches one message taken off the queue; false for WM_QUIT, which is posted again so the
    // outermost loop sees it. A task wake-up taken by doEvents() is only noted: the tasks posted
    // meanwhile wait for the next turn.
    static bool dispatch(Win32Loop& loop, MSG& msg, bool tasksToo)
    {
        if (msg.message == WM_QUIT) {
            loop.exitCode_ = static_cast<int>(msg.wParam);
            return false;
        }
        if (!tasksToo && msg.hwnd == static_cast<HWND>(loop.window_) && msg.message == WMAPP_TASKS) {
            loop.wakePosted_ = false;
            return true;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        rethrowEscaped();
        return true;
    }
};

Win32Loop::Win32Loop() : startMs_(GetTickCount64())
{
    LoopWindow::registerClass();
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, thisModule(),
                              this);
    if (!window_)
        throw lastErrorFailure("CreateWindowExW");
}

Win32Loop::~Win32Loop()
{
    for (const auto& [id, tick] : timers_)
        KillTimer(static_cast<HWND>(window_), id);
    SetWindowLongPtrW(static_cast<HWND>(window_), GWLP_USERDATA, 0);
    DestroyWindow(static_cast<HWND>(window_));
    // Fails while another loop's window still uses the class; the last loop of the module removes
    // it, so a DLL leaves no class of its own behind once unloaded.
    UnregisterClassW(kClassName, thisModule());
}

void Win32Loop::post(std::function<void()> task)
{
    tasks_.push_back(std::move(task));
    requestWake();
}

void Win32Loop::requestWake()
{
    if (wakePosted_)
        return;
    if (!PostMessageW(static_cast<HWND>(window_), WMAPP_TASKS, 0, 0))
        throw lastErrorFailure("PostMessageW");
    wakePosted_ = true;
}

void Win32Loop::runPendingTasks()
{
    // As in the simulated loop: only the tasks pending now, counted by takes so that a nested
    // doEvents() that runs some of them first does not make this one run later ones.
    const std::uint64_t end = tasksTaken_ + tasks_.size();
    while (tasksTaken_ < end && !tasks_.empty()) {
        auto task = std::move(tasks_.front());
        tasks_.pop_front();
        ++tasksTaken_;
        task();
    }
}

void Win32Loop::onWake()
{
    wakePosted_ = false;
    // Whatever happens to the tasks, the ones left get another turn.
    struct Rewake {
        Win32Loop& loop;
        ~Rewake()
        {
            if (!loop.tasks_.empty() && !loop.wakePosted_)
                loop.wakePosted_ = PostMessageW(static_cast<HWND>(loop.window_), WMAPP_TASKS, 0, 0) != 0;
        }
    } rewake{*this};
    runPendingTasks();
}

void Win32Loop::onTimer(std::uintptr_t id)
{
    const auto it = timers_.find(static_cast<TimerId>(id));
    if (it == timers_.end())
        return;  // stopped, with a tick already generated
    // The tick may stop or restart any timer, this one included: call a copy.
    auto tick = it->second;
    tick();
}

void Win32Loop::doEvents()
{
    runPendingTasks();
    // The messages waiting now; one that arrived after entry is the last dispatched, so a handler
    // that keeps posting cannot hold this call forever.
    const DWORD entry = GetTickCount();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!LoopWindow::dispatch(*this, msg, false)) {
            PostQuitMessage(exitCode_);
            break;
        }
        if (static_cast<LONG>(msg.time - entry) > 0)
            break;
    }
    if (!tasks_.empty())
        requestWake();
}

TimerId Win32Loop::startTimer(std::uint32_t intervalMs, std::function<void()> tick)
{
    if (intervalMs == 0)
        throw std::invalid_argument("timer interval must be positive");
    const TimerId id = nextTimerId_++;
    timers_.emplace(id, std::move(tick));
    if (!SetTimer(static_cast<HWND>(window_), id, intervalMs, nullptr)) {
        timers_.erase(id);
        throw lastErrorFailure("SetTimer");
    }
    return id;
}

void Win32Loop::stopTimer(TimerId id)
{
    if (timers_.erase(id))
        KillTimer(static_cast<HWND>(window_), id);
}

std::int64_t Win32Loop::tickCount() const { return static_cast<std::int64_t>(GetTickCount64() - startMs_); }

DateTime Win32Loop::now() const
{
    SYSTEMTIME local;
    GetLocalTime(&local);
    return DateTime::fromCivil({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond});
}

bool Win32Loop::pumpMessages()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!LoopWindow::dispatch(*this, msg, true))
            return false;
    }
    return true;
}

void Win32Loop::waitForInput(std::uint32_t timeoutMs)
{
    HANDLE handles[kMaxWaits];
    WaitId ids[kMaxWaits];
    DWORD count = 0;
    for (const auto& [id, wait] : waits_) {
        handles[count] = static_cast<HANDLE>(wait.handle);
        ids[count++] = id;
    }
    // MWMO_INPUTAVAILABLE: a message already in the queue (one a nested pump has seen but left
    // there) ends the wait too.
    const DWORD result = MsgWaitForMultipleObjectsEx(count, count ? handles : nullptr, timeoutMs, QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    if (result == WAIT_FAILED)
        throw lastErrorFailure("MsgWaitForMultipleObjectsEx");
    DWORD index = count;
    if (result >= WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count)
        index = result - WAIT_OBJECT_0;
    else if (result >= WAIT_ABANDONED_0 && result < WAIT_ABANDONED_0 + count)
        index = result - WAIT_ABANDONED_0;
    if (index == count)
        return;  // a message, or the time is up
    rethrowEscaped();  // none should be held here; if one is, it goes first and the wait stays
    const auto it = waits_.find(ids[index]);
    if (it == waits_.end())
        return;
    // Over before its callback runs: the callback may wait for the same object again.
    const std::function<void()> signalled = std::move(it->second.signalled);
    waits_.erase(it);
    guardCallback<int>(0, [&] {
        signalled();
        return 0;
    });
    rethrowEscaped();
}

Win32Loop::WaitId Win32Loop::waitFor(void* handle, std::function<void()> signalled)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        throw std::invalid_argument("a wait needs a handle");
    if (waits_.size() >= kMaxWaits)
        throw std::length_error("too many waits at once");
    const WaitId id = nextWaitId_++;
    waits_.emplace(id, Wait{handle, std::move(signalled)});
    return id;
}

void Win32Loop::cancelWait(WaitId id) { waits_.erase(id); }

bool Win32Loop::runFor(std::int64_t ms)
{
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(ms < 0 ? 0 : ms);
    for (;;) {
        if (!pumpMessages()) {
            PostQuitMessage(exitCode_);
            return false;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return true;
        waitForInput(static_cast<std::uint32_t>(std::min<ULONGLONG>(deadline - now, INFINITE - 1)));
    }
}

int Win32Loop::run()
{
    for (;;) {
        if (!pumpMessages())
            return exitCode_;
        waitForInput(INFINITE);
    }
}

void Win32Loop::quit(int exitCode) { PostQuitMessage(exitCode); }

} // namespace platform::win32
