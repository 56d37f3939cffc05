// A program that has stopped answering: it shows Outlook's main window (class "rctrl_renwnd32",
// titled "Inbox - Microsoft Outlook"), sets the named event given as its argument, and then never
// looks at its message queue again. Any message sent to its window waits for ever (until the test
// that started it ends it).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"rctrl_renwnd32";
    if (!RegisterClassExW(&wc))
        return 1;
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"Inbox - Microsoft Outlook", WS_OVERLAPPEDWINDOW, 40, 40,
                                  300, 200, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNA);
    HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, commandLine);
    if (!ready)
        return 1;
    SetEvent(ready);
    CloseHandle(ready);
    Sleep(INFINITE);
    return 0;
}
