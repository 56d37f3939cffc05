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

// The box's default button: the dialog's own answer when it keeps one, else the push button styled
// as the default, else the first push button, else OK.
int defaultButton(HWND box)
{
    const LRESULT kept = SendMessageW(box, DM_GETDEFID, 0, 0);
    if (HIWORD(kept) == DC_HASDEFID && IsWindowVisible(GetDlgItem(box, LOWORD(kept))))
        return LOWORD(kept);
    int first = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (lstrcmpiW(className, L"Button") != 0 || !IsWindowVisible(child))
            continue;  // a box may keep the buttons it does not use, hidden
        const LONG style = GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK;
        if (style == BS_DEFPUSHBUTTON)
            return GetDlgCtrlID(child);
        if (style == BS_PUSHBUTTON && first == 0)
            first = GetDlgCtrlID(child);
    }
    return first != 0 ? first : IDOK;
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
        const int button = defaultButton(box);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
}

} // namespace platform::win32
