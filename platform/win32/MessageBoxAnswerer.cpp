#include "platform/win32/MessageBoxAnswerer.h"

#include <windows.h>

#include <stdexcept>
#include <string_view>
#include <vector>

#include "platform/win32/CallbackGuard.h"
#include "platform/win32/Wide.h"

namespace platform::win32 {

namespace {

thread_local MessageBoxAnswerer* current = nullptr;

void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD)
{
    guardCallback(0, [] {
        if (current)
            current->answerOpenBoxesNow();
        return 0;
    });
}

BOOL CALLBACK collect(HWND window, LPARAM boxes)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring_view(className) == L"#32770" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(boxes)->push_back(window);
    return TRUE;
}

} // namespace

MessageBoxAnswerer::MessageBoxAnswerer(Heard heard, unsigned intervalMs) : heard_(std::move(heard))
{
    if (current)
        throw std::logic_error("one message box answerer a thread");
    timer_ = SetTimer(nullptr, 0, intervalMs, onTimer);
    current = this;
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    KillTimer(nullptr, timer_);
    current = nullptr;
}

void MessageBoxAnswerer::answerOpenBoxesNow()
{
    std::vector<HWND> boxes;
    EnumThreadWindows(GetCurrentThreadId(), collect, reinterpret_cast<LPARAM>(&boxes));
    // A box stays on screen a moment after its click; it is answered once.
    std::set<void*> open(boxes.begin(), boxes.end());
    std::erase_if(pressed_, [&](void* box) { return !open.count(box); });
    for (HWND box : boxes) {
        if (!pressed_.insert(box).second)
            continue;
        wchar_t caption[256] = {};
        wchar_t text[2048] = {};
        GetWindowTextW(box, caption, 256);
        GetDlgItemTextW(box, 0xFFFF, text, 2048);  // a message box's text
        ++answered_;
        if (heard_)
            heard_(toUtf8(caption), toUtf8(text));
        const LRESULT defaultId = SendMessageW(box, DM_GETDEFID, 0, 0);
        const WORD button = HIWORD(defaultId) == DC_HASDEFID ? LOWORD(defaultId) : IDOK;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
}

} // namespace platform::win32
