// qln-drive: QLN.exe beside the Outlook stand-in, driven as a user's day would go, from a process
// of its own. It prepares the settings a user would have (the first-run dialog dismissed, a blocked
// sender list), starts the stand-in through its control object ("OutlookStandin.Control", which
// must be registered: outlook-standin.exe /RegServer), starts QLN.exe, delivers mail through the
// control and watches QLN's popup window on the real desktop.
//
//   demo   the story of examples/first-look.qls (first mail, a blocked sender and a report, a paced
//          burst, mail in many scripts), screenshots of the whole screen and of the popup's corner
//          written to --out as PNG
//   bench  from the stand-in raising ItemAdd to the popup visible (median and 95th percentile), the
//          object-model calls the stand-in serves per notified item, QLN.exe's idle CPU time and
//          working set
//   smoke  two mails, one shown and one blocked, in seconds (CTest)
//
// Every run ends with Outlook's quit and checks that QLN.exe ended by itself with status 0. Exit
// status 0 when every check held, 1 when one did not, 2 for a bad command line. The run deletes
// Quellin's registry keys before and after: run it on a test desktop (a Wine prefix).

#include <windows.h>
#include <objbase.h>
#include <mmsystem.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "apps/qln-drive/BenchFigures.h"
#include "apps/qln-drive/DriveOptions.h"
#include "platform/Failure.h"
#include "platform/draw/Png.h"
#include "platform/win32/ScreenCapture.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32SystemInfo.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/com/MessageFilter.h"
#include "shared/SenderLists.h"
#include "shared/Settings.h"
#include "shared/mdlRegistry.h"

namespace {

using namespace qln::drive;
using platform::win32::toUtf8;
using platform::win32::toWide;
using platform::win32::com::ComPtr;
using platform::win32::com::Dispatch;
using platform::win32::com::Variant;
namespace settings = qln::settings;

// The dismiss hot key the runs set up: Ctrl+Shift+F9 (HKmDismiss: 1 Shift, 2 Ctrl, 4 Alt).
constexpr int kDismissKey = VK_F9;
constexpr int kDismissModifiers = 1 | 2;
// The class of every form's window; the popup is the one without a title.
constexpr wchar_t kFormClass[] = L"ThunderRT6FormDC";

class CheckFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// QueryPerformanceCounter in milliseconds: the stand-in's clock for ItemAddTime.
double counterMs()
{
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Lets messages through (COM's, the editor window's) for about that long.
void pump(DWORD ms)
{
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= end)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<ULONGLONG>(end - now, 10)), QS_ALLINPUT);
    }
}

// Pumps until the condition holds; false when it did not within the time.
bool pumpUntil(DWORD ms, const std::function<bool()>& condition)
{
    const ULONGLONG end = GetTickCount64() + ms;
    while (!condition()) {
        if (GetTickCount64() >= end)
            return false;
        pump(10);
    }
    return true;
}

void log(const std::string& line) { std::printf("%s\n", line.c_str()), std::fflush(stdout); }

std::string fixed(double value, int decimals = 1)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// A small file's whole content (Linux's /proc files report no size: read until the end).
std::optional<std::string> readWhole(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    CloseHandle(file);
    return content;
}

// The names in a folder (no "." or "..").
std::vector<std::wstring> namesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

// A process's CPU time (user and kernel) in milliseconds, as the benchmark takes it. On Windows
// that is GetProcessTimes. Wine 8 answers GetProcessTimes of another process with the caller's own
// times (the driver's, with its 10 ms pump), so under Wine the process is found among Linux's
// processes (Z:\proc) by its command line, and its threads' run times (schedstat, nanoseconds) are
// added up. nullopt when the process cannot be found or read.
class CpuClock {
public:
    CpuClock(HANDLE process, const std::string& program) : process_(process)
    {
        if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
            return;
        wine_ = true;
        int matches = 0;
        for (const std::wstring& name : namesIn(L"Z:\\proc")) {
            if (name.find_first_not_of(L"0123456789") != std::wstring::npos)
                continue;
            const auto cmdline = readWhole(L"Z:\\proc\\" + name + L"\\cmdline");
            if (cmdline && commandLineStartsWith(*cmdline, program)) {
                procFolder_ = L"Z:\\proc\\" + name;
                ++matches;
            }
        }
        if (matches != 1)
            procFolder_.clear();  // none, or more than one: which is ours is not known
    }

    bool underWine() const { return wine_; }

    std::optional<double> cpuMs() const
    {
        if (!wine_) {
            FILETIME created, exited, kernel, user;
            if (!GetProcessTimes(process_, &created, &exited, &kernel, &user))
                return std::nullopt;
            auto ms = [](const FILETIME& t) {
                return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) /
                       10000.0;
            };
            return ms(kernel) + ms(user);
        }
        if (procFolder_.empty())
            return std::nullopt;
        std::int64_t ns = 0;
        int threads = 0;
        for (const std::wstring& thread : namesIn(procFolder_ + L"\\task")) {
            const auto schedstat = readWhole(procFolder_ + L"\\task\\" + thread + L"\\schedstat");
            const std::int64_t runNs = schedstat ? schedstatRunNs(*schedstat) : -1;
            if (runNs < 0)
                return std::nullopt;
            ns += runNs;
            ++threads;
        }
        if (threads == 0)
            return std::nullopt;
        return static_cast<double>(ns) / 1e6;
    }

private:
    HANDLE process_;
    bool wine_ = false;
    std::wstring procFolder_;
};

ComPtr<IDispatch> create(const wchar_t* progId)
{
    CLSID clsid{};
    platform::win32::com::check(CLSIDFromProgID(progId, &clsid), "CLSIDFromProgID");
    ComPtr<IDispatch> object;
    platform::win32::com::check(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_PPV_ARGS(&object)),
                                "CoCreateInstance");
    return object;
}

class Apartment {
public:
    Apartment() { platform::win32::com::check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }
    ~Apartment() { CoUninitialize(); }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
};

// ---- The user's settings ---------------------------------------------------------------------

void deleteQuellinKeys()
{
    for (auto key : {settings::StoreKey::Settings, settings::StoreKey::Options, settings::StoreKey::Install})
        RegDeleteTreeW(HKEY_CURRENT_USER, toWide(settings::keyPath(key)).c_str());
}

// What the installation and the options page left, as in examples/first-look.qls: the program
// folder, the blocked-senders list with one entry, reports not notified, bursts paced, the
// first-run dialog dismissed; and a dismiss hot key, the runs' way of closing the popup.
void prepareSettings(const std::string& programFolder, bool paced)
{
    deleteQuellinKeys();
    platform::win32::Win32Registry registry;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32FileSystem files;
    qln::mdlRegistry store(registry, system, files);
    const settings::Settings values(store, settings::Reader::Page);
    values.write(settings::QLNPath, programFolder);
    values.write(settings::ListMode, 1);
    values.write(settings::NotifyReports, 0);
    values.write(settings::MultMsgDelay, paced ? 1 : 0);
    values.write(settings::GetStart, 0);
    values.write(settings::HKkDismiss, kDismissKey);
    values.write(settings::HKmDismiss, kDismissModifiers);
    qln::SenderListFiles(values, qln::ListFolderBase::InstallPath).SaveBList({"@offers.example"});
}

void writeSetting(const settings::DwordValue& value, std::int32_t number)
{
    platform::win32::Win32Registry registry;
    platform::win32::Win32SystemInfo system;
    platform::win32::Win32FileSystem files;
    qln::mdlRegistry store(registry, system, files);
    settings::Settings(store, settings::Reader::Page).write(value, number);
}

// ---- Another program in front: the user's editor ------------------------------------------------

LRESULT CALLBACK editorProc(HWND window, UINT message, WPARAM w, LPARAM l)
{
    if (message == WM_SIZE) {
        if (HWND edit = GetWindow(window, GW_CHILD))
            MoveWindow(edit, 0, 0, LOWORD(l), HIWORD(l), TRUE);
        return 0;
    }
    return DefWindowProcW(window, message, w, l);
}

HWND openEditor()
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = editorProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"Notepad";
    RegisterClassExW(&wc);
    HWND editor = CreateWindowExW(0, L"Notepad", L"notes.txt - Notepad", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                  560, 380, nullptr, nullptr, wc.hInstance, nullptr);
    if (!editor)
        return nullptr;
    CreateWindowExW(0, L"EDIT",
                    L"Notes\r\n\r\n- ask Bob about Friday\r\n- agenda, budget and catering for the offsite\r\n"
                    L"- design review slides",
                    WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, 0, 0, 0, 0, editor, nullptr,
                    wc.hInstance, nullptr);
    RECT client;
    GetClientRect(editor, &client);
    SendMessageW(editor, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    return editor;
}

// ---- QLN.exe beside the stand-in -----------------------------------------------------------------

struct FindPopup {
    DWORD process;
    HWND found = nullptr;
};

BOOL CALLBACK findPopup(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<FindPopup*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64] = {};
    if (process == search.process && GetClassNameW(window, name, 64) && wcscmp(name, kFormClass) == 0 &&
        GetWindowTextLengthW(window) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// Watches a window from a thread of its own, so that the moment it turns visible is seen even
// while the main thread waits in a call to the stand-in.
class VisibilityWatch {
public:
    VisibilityWatch(HWND window) : thread_([this, window] {
        while (!stop_) {
            if (IsWindowVisible(window)) {
                seenAt_ = counterMs();
                seen_ = true;
                return;
            }
            Sleep(1);
        }
    })
    {
    }
    ~VisibilityWatch()
    {
        stop_ = true;
        thread_.join();
    }
    VisibilityWatch(const VisibilityWatch&) = delete;
    VisibilityWatch& operator=(const VisibilityWatch&) = delete;

    bool seen() const { return seen_; }
    double seenAt() const { return seenAt_; }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    std::atomic<double> seenAt_{0};
    std::thread thread_;
};

class Drive {
public:
    explicit Drive(const DriveOptions& options) : options_(options)
    {
        const std::size_t slash = options.qln.find_last_of("\\/");
        programFolder_ = slash == std::string::npos ? std::string(".") : options.qln.substr(0, slash);
        if (!options.out.empty())
            std::filesystem::create_directories(toWide(options.out));
    }

    ~Drive()
    {
        // A run that stopped early still lets Outlook quit (never killed: a killed stand-in
        // blocks the next one in a Wine session), and QLN.exe goes with it.
        if (control_)
            platform::ignoreFailure([&] { control_.call("Quit"); });
        control_ = Dispatch();
        if (qln_.hProcess) {
            if (!pumpUntil(10000, [&] { return WaitForSingleObject(qln_.hProcess, 0) == WAIT_OBJECT_0; }))
                TerminateProcess(qln_.hProcess, 9);
            CloseHandle(qln_.hProcess);
            CloseHandle(qln_.hThread);
        }
        if (standin_)
            CloseHandle(standin_);
        if (editor_)
            DestroyWindow(editor_);
        deleteQuellinKeys();
    }
    Drive(const Drive&) = delete;
    Drive& operator=(const Drive&) = delete;

    void start(bool paced, bool editor)
    {
        prepareSettings(programFolder_, paced);
        if (editor)
            editor_ = openEditor();
        began_ = counterMs();
        // Outlook starts: the control object starts the stand-in, with Outlook's windows.
        control_ = Dispatch(create(L"OutlookStandin.Control"));
        standin_ = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(control_.get("ProcessId").toLong()));
        note("Outlook (the stand-in) started");
        if (editor_)
            SetForegroundWindow(editor_);

        std::wstring commandLine = L"\"" + toWide(options_.qln) + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(toWide(options_.qln).c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            toWide(programFolder_).c_str(), &startup, &qln_))
            throw CheckFailed("QLN.exe could not be started from " + options_.qln + " (error " +
                              std::to_string(GetLastError()) + ")");
        // Attached: its sinks on the Inbox's Items and on the Application are connected.
        if (!pumpUntil(30000, [&] { return control_.get("Sinks").toLong() >= 2 || qlnEnded(); }) || qlnEnded())
            throw CheckFailed("QLN.exe did not attach to Outlook's events within 30 s");
        FindPopup search{qln_.dwProcessId};
        EnumWindows(findPopup, reinterpret_cast<LPARAM>(&search));
        popup_ = search.found;
        if (!popup_)
            throw CheckFailed("QLN.exe has no popup window");
        note("QLN.exe started and attached to Outlook's events");
    }

    // Delivers a mail into the Inbox; returns its EntryID.
    std::string mail(const std::vector<Variant>& options)
    {
        std::vector<Variant> args{Variant("Inbox")};
        args.insert(args.end(), options.begin(), options.end());
        return control_.call("AddMail", args).toString();
    }

    // Delivers a mail and waits for the popup to be on screen; the milliseconds from the
    // stand-in's ItemAdd to that moment.
    double mailShown(const std::string& what, const std::vector<Variant>& options, DWORD timeoutMs = 5000)
    {
        std::optional<VisibilityWatch> watch;
        watch.emplace(popup_);
        mail(options);
        if (!pumpUntil(timeoutMs, [&] { return watch->seen(); }))
            throw CheckFailed(what + ": the popup did not appear within " + std::to_string(timeoutMs) + " ms");
        return watch->seenAt() - control_.get("ItemAddTime").toDouble();
    }

    bool popupVisible() const { return IsWindowVisible(popup_) != FALSE; }

    // The dismiss hot key, pressed on the keyboard; waits until the popup has gone.
    void dismiss()
    {
        std::vector<INPUT> inputs;
        auto key = [&](WORD code, bool up) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = code;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            inputs.push_back(input);
        };
        key(VK_CONTROL, false);
        key(VK_SHIFT, false);
        key(kDismissKey, false);
        key(kDismissKey, true);
        key(VK_SHIFT, true);
        key(VK_CONTROL, true);
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (!pumpUntil(3000, [&] { return !popupVisible(); }))
            throw CheckFailed("the dismiss hot key did not hide the popup");
    }

    // The whole screen as NAME.png, and the popup's corner of it as NAME-popup.png.
    void shoot(const std::string& name)
    {
        if (options_.out.empty())
            return;
        pump(400);  // painted
        const std::filesystem::path folder(toWide(options_.out));
        if (auto screen = platform::win32::captureScreen())
            draw::writePng(*screen, folder / toWide(name + ".png"));
        RECT r{};
        GetWindowRect(popup_, &r);
        constexpr int margin = 16;
        const int left = std::max<int>(r.left - margin, 0), top = std::max<int>(r.top - margin, 0);
        const int right = std::min<int>(r.right + margin, GetSystemMetrics(SM_CXSCREEN));
        const int bottom = std::min<int>(r.bottom + margin, GetSystemMetrics(SM_CYSCREEN));
        if (auto corner = platform::win32::captureScreen(platform::WindowRect{left, top, right - left, bottom - top}))
            draw::writePng(*corner, folder / toWide(name + "-popup.png"));
        note("screenshot " + name + ".png");
    }

    // Outlook quits; QLN.exe must end by itself with status 0.
    void quit()
    {
        const double asked = counterMs();
        control_.call("Quit");
        control_ = Dispatch();
        if (!pumpUntil(10000, [&] { return qlnEnded(); }))
            throw CheckFailed("QLN.exe did not end within 10 s of Outlook's quit");
        DWORD status = 1;
        GetExitCodeProcess(qln_.hProcess, &status);
        if (status != 0)
            throw CheckFailed("QLN.exe ended with status " + std::to_string(status));
        note("Outlook quit; QLN.exe ended " + fixed((counterMs() - asked) / 1000.0) + " s later, status 0");
        if (standin_ && !pumpUntil(10000, [&] { return WaitForSingleObject(standin_, 0) == WAIT_OBJECT_0; }))
            throw CheckFailed("the stand-in did not end after its quit");
    }

    bool qlnEnded() const { return qln_.hProcess && WaitForSingleObject(qln_.hProcess, 0) == WAIT_OBJECT_0; }

    void note(const std::string& line) const
    {
        const double seconds = (counterMs() - began_) / 1000.0;
        log((seconds < 10 ? "  " : seconds < 100 ? " " : "") + fixed(seconds, 3) + "  " + line);
    }

    Dispatch& control() { return control_; }
    HANDLE qlnProcess() const { return qln_.hProcess; }

private:
    DriveOptions options_;
    std::string programFolder_;
    Dispatch control_;
    HANDLE standin_ = nullptr;
    PROCESS_INFORMATION qln_{};
    HWND popup_ = nullptr;
    HWND editor_ = nullptr;
    double began_ = 0;
};

void expect(bool condition, const std::string& what)
{
    if (!condition)
        throw CheckFailed(what);
}

// ---- The runs ----------------------------------------------------------------------------------------

// The story of examples/first-look.qls, in real time, without its waits of minutes.
void demo(const DriveOptions& options)
{
    Drive drive(options);
    drive.start(true, true);

    double shown = drive.mailShown("lunch", {"from", "bob@example.com", "sender-name", "Bob Baker", "subject",
                                             "Lunch on Friday?"});
    drive.note("mail from Bob: the popup on screen " + fixed(shown) + " ms after ItemAdd");
    drive.shoot("first-mail");

    // A blocked sender and a delivery report: neither is notified, Bob's mail stays.
    drive.mail({"from", "Deals@Offers.Example", "subject", "50% off everything"});
    drive.mail({"class", 46, "subject", "Delivered: Lunch on Friday?"});
    pump(1500);
    expect(drive.popupVisible(), "the popup went at a blocked sender's mail");
    drive.note("a blocked sender and a delivery report: not notified");
    drive.dismiss();
    drive.note("dismissed with the hot key");

    // A burst of three is paced: one every 4 seconds.
    shown = drive.mailShown("burst", {"from", "ann@example.com", "subject", "Agenda"});
    drive.mail({"from", "ann@example.com", "subject", "Budget"});
    drive.mail({"from", "ann@example.com", "subject", "Catering"});
    drive.note("a burst of three: the first on screen " + fixed(shown) + " ms after ItemAdd");
    drive.shoot("burst-first");
    pump(8600);
    expect(drive.popupVisible(), "the paced burst's popup went");
    drive.shoot("burst-third");
    drive.dismiss();

    // Mail in any script, the recipient row shown.
    writeSetting(settings::ShowRecipient, 1);
    shown = drive.mailShown("gruss", {"from", "juergen.gross@koeln.example", "sender-name", "Jürgen Groß", "to",
                                      "Дмитрий Соколов; Ελένη Παπαδοπούλου; 山田太郎", "subject",
                                      "Grüße aus Köln — 日本語 ✓ 😀", "body", "Привет! Καλημέρα! 来週の会議は金曜日です。"});
    drive.note("mail in many scripts: on screen " + fixed(shown) + " ms after ItemAdd");
    drive.shoot("international");
    drive.dismiss();

    drive.quit();
}

void smoke(const DriveOptions& options)
{
    Drive drive(options);
    drive.start(true, false);
    const double shown = drive.mailShown("first", {"from", "bob@example.com", "subject", "Smoke"});
    drive.note("a mail: the popup on screen " + fixed(shown) + " ms after ItemAdd");
    drive.shoot("smoke");
    drive.dismiss();
    drive.mail({"from", "Deals@Offers.Example", "subject", "Blocked"});
    pump(1500);
    expect(!drive.popupVisible(), "a blocked sender's mail was shown");
    drive.note("a blocked sender's mail: not shown");
    drive.quit();
}

CallCounts callReport(Drive& drive) { return parseCallReport(drive.control().get("CallReport").toString()); }

void printCalls(const char* what, const CallCounts& calls)
{
    std::string line = "  " + std::string(what) + ": " + std::to_string(totalCalls(calls)) + " (";
    bool first = true;
    for (const auto& [key, count] : calls) {
        line += (first ? "" : ", ") + key + (count > 1 ? " x" + std::to_string(count) : "");
        first = false;
    }
    log(line + ")");
}

void bench(const DriveOptions& options)
{
    Drive drive(options);
    // Not paced: every timed item shows at once.
    drive.start(false, false);
    timeBeginPeriod(1);

    // Warm-up: the first items pay for names looked up once per interface and first paints.
    for (int i = 0; i < 3; ++i) {
        drive.mailShown("warm-up", {"from", "bob@example.com", "subject", "Warm-up " + std::to_string(i)});
        drive.dismiss();
    }

    std::vector<double> latencies;
    for (int i = 0; i < options.items; ++i) {
        latencies.push_back(drive.mailShown("item " + std::to_string(i + 1),
                                            {"from", "bob@example.com", "sender-name", "Bob Baker", "subject",
                                             "Item " + std::to_string(i + 1), "body", "The body of a timed item."}));
        drive.dismiss();
        pump(50);
    }
    const LatencySummary summary = summarize(latencies);
    log("latency, the stand-in's ItemAdd to the popup on screen (" + std::to_string(summary.count) +
        " items): median " + fixed(summary.median) + " ms, 95th percentile " + fixed(summary.p95) + " ms (min " +
        fixed(summary.min) + ", max " + fixed(summary.max) + ")");

    // Calls per item, over its whole life: each item after the last one's watch has ended.
    std::vector<std::int64_t> toScreen, withWatch, withClose;
    CallCounts shownCalls, watchCalls, closeCalls;
    for (int i = 0; i < options.callItems; ++i) {
        pump(6500);
        const CallCounts before = callReport(drive);
        drive.mailShown("counted item", {"from", "bob@example.com", "sender-name", "Bob Baker", "subject",
                                         "Counted " + std::to_string(i + 1), "body", "Counted."});
        const CallCounts atScreen = callReport(drive);
        pump(6500);  // the 5 ticks of the ignored-folder watch
        const CallCounts afterWatch = callReport(drive);
        drive.dismiss();
        pump(1000);
        const CallCounts afterClose = callReport(drive);
        shownCalls = callsBetween(before, atScreen);
        watchCalls = callsBetween(atScreen, afterWatch);
        closeCalls = callsBetween(afterWatch, afterClose);
        toScreen.push_back(totalCalls(shownCalls));
        withWatch.push_back(totalCalls(shownCalls) + totalCalls(watchCalls));
        withClose.push_back(totalCalls(shownCalls) + totalCalls(watchCalls) + totalCalls(closeCalls));
    }
    auto range = [](std::vector<std::int64_t> v) {
        std::sort(v.begin(), v.end());
        return v.front() == v.back() ? std::to_string(v.front())
                                     : std::to_string(v.front()) + "-" + std::to_string(v.back());
    };
    log("object-model calls served per notified item (" + std::to_string(options.callItems) +
        " items): " + range(toScreen) + " up to the popup on screen, " + range(withWatch) +
        " with the ignored-folder watch, " + range(withClose) + " with the dismissal (the last item's calls:)");
    printCalls("ItemAdd to the popup on screen", shownCalls);
    printCalls("the ignored-folder watch (5 s)", watchCalls);
    printCalls("dismissed (marked read)", closeCalls);

    // Idle: nothing arrives, the watch has ended.
    pump(6500);
    const CpuClock clock(drive.qlnProcess(), options.qln);
    const std::optional<double> cpu0 = clock.cpuMs();
    const double from = counterMs();
    pump(static_cast<DWORD>(options.idleSeconds) * 1000);
    const std::optional<double> cpu1 = clock.cpuMs();
    const double period = counterMs() - from;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (!GetProcessMemoryInfo(drive.qlnProcess(), &memory, sizeof memory))
        throw CheckFailed("GetProcessMemoryInfo failed (" + std::to_string(GetLastError()) + ")");
    const std::string memoryText = "working set " + fixed(static_cast<double>(memory.WorkingSetSize) / 1048576.0) +
                                   " MB (peak " + fixed(static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0) +
                                   " MB)";
    if (cpu0 && cpu1) {
        const double cpu = *cpu1 - *cpu0;
        log("QLN.exe idle: CPU " + fixed(cpuMsPerMinute(cpu, period)) + " ms per minute (" + fixed(cpu) + " ms over " +
            fixed(period / 1000.0) + " s" + (clock.underWine() ? ", its Linux threads' run time" : "") + "), " +
            memoryText);
    } else {
        log("QLN.exe idle: CPU not known (QLN.exe's process was not found in Z:\\proc), " + memoryText);
    }
    int windows = 0;
    EnumWindows([](HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count), TRUE; },
                reinterpret_cast<LPARAM>(&windows));
    log("  top-level windows on the desktop: " + std::to_string(windows) +
        " (the notifier's poll looks at them in turn until Outlook's main window)");
    timeEndPeriod(1);

    drive.quit();
}

int run(const DriveOptions& options)
{
    Apartment apartment;
    platform::win32::com::MessageFilterRegistration filter(platform::win32::com::MessageFilter::create());
    switch (options.mode) {
    case Mode::Demo:
        demo(options);
        break;
    case Mode::Bench:
        bench(options);
        break;
    case Mode::Smoke:
        smoke(options);
        break;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    SetConsoleOutputCP(CP_UTF8);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(toUtf8(argv[i]));
    DriveOptions options;
    try {
        options = parseDriveOptions(args);
    } catch (const UsageError& error) {
        std::fprintf(stderr, "qln-drive: %s\n%s", error.what(), driveUsage());
        return 2;
    }
    // The one guard of the program: a failed check or a refused call ends the run with status 1.
    try {
        return run(options);
    } catch (const CheckFailed& error) {
        std::fprintf(stderr, "qln-drive: %s\n", error.what());
    } catch (const platform::Failure& error) {
        std::fprintf(stderr, "qln-drive: a call failed: %s\n", error.what());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qln-drive: %s\n", error.what());
    }
    return 1;
}
