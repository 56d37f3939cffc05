#include "apps/qln-win/StandinScenarioWorld.h"

#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <stdexcept>

#include "apps/qln-sim/Runtime.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/window/frmNewMail.h"
#include "platform/Failure.h"
#include "platform/forms/Form.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"

namespace qln::runner {

using platform::WindowHandle;
using platform::win32::toUtf8;
using platform::win32::toWide;
using platform::win32::com::Dispatch;
using platform::win32::com::Variant;

namespace {

HWND hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
WindowHandle handle(HWND window) { return reinterpret_cast<WindowHandle>(window); }

// How long QLN.exe may take to start and attach, and how long its calls must rest to count as done.
constexpr std::int64_t kAttachLimitMs = 15'000;
constexpr std::int64_t kSettledMs = 400;
// After a click: at least this long, and until QLN.exe's calls to Outlook have rested a while.
constexpr std::int64_t kAfterInputMs = 500;
constexpr std::int64_t kInputRestMs = 400;
constexpr std::int64_t kInputLimitMs = 3'000;
// How long an answered message box may take to close.
constexpr std::int64_t kBoxCloseLimitMs = 2'000;

std::wstring programFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

struct WindowSearch {
    DWORD process;
    std::wstring className;  // empty: any
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM data)
{
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.process)
        return TRUE;
    wchar_t text[512];
    if (!search.className.empty()) {
        const int length = GetClassNameW(window, text, static_cast<int>(std::size(text)));
        if (std::wstring(text, static_cast<std::size_t>(std::max(length, 0))) != search.className)
            return TRUE;
    }
    const int length = GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    if (std::wstring(text, static_cast<std::size_t>(std::max(length, 0))) != search.title)
        return TRUE;
    search.found = window;
    return FALSE;
}

// A top-level window of the process with that class and title.
HWND findWindow(DWORD process, const std::wstring& className, const std::wstring& title)
{
    WindowSearch search{process, className, title};
    EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void sendClick(int x, int y)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65535, std::max(width - 1, 1));
        input.mi.dy = MulDiv(y, 65535, std::max(height - 1, 1));
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    if (SendInput(3, inputs, sizeof(INPUT)) != 3)
        throw std::runtime_error("click: SendInput failed (" + std::to_string(GetLastError()) + ")");
}

} // namespace

// ---- the stand-in, through its control object ----------------------------------------------------

class StandinScenarioWorld::Remote final : public RemoteOutlook {
public:
    void start() override
    {
        if (control_)
            return;  // starting a running Outlook changes nothing
        CLSID clsid;
        platform::win32::com::check(CLSIDFromProgID(L"OutlookStandin.Control", &clsid),
                                    "CLSIDFromProgID(OutlookStandin.Control): is the stand-in registered?");
        platform::win32::com::ComPtr<IDispatch> object;
        platform::win32::com::check(
            CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                             reinterpret_cast<void**>(object.GetAddressOf())),
            "CoCreateInstance(OutlookStandin.Control)");
        control_ = Dispatch(object);
        // It lives while this world holds the control, however quiet the scenario is.
        control_.call("IdleLimit", {Variant(0)});
        processId_ = static_cast<DWORD>(control_.get("ProcessId").toLong());
        main_ = window("main");
        tray_ = window("tray");
    }
    void quit() override
    {
        Dispatch control = running("outlook quit");
        // The stand-in raises Quit, lets go of its clients and ends.
        control.call("Quit");
        forget();
    }
    void kill() override
    {
        running("outlook kill");
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId_);
        if (!process)
            throw std::runtime_error("outlook kill: cannot open the stand-in's process");
        TerminateProcess(process, 9);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
        forget();
    }
    void addStore(const std::string& name) override { running("store").call("AddStore", {Variant(name)}); }
    void addFolder(const std::string& path, const std::string& messageClass,
                   const std::optional<std::string>& store) override
    {
        std::vector<Variant> args{Variant(path), Variant(messageClass)};
        if (store)
            args.emplace_back(*store);
        running("folder").call("AddFolder", args);
    }
    void deleteFolder(const std::string& path) override { running("folder-delete").call("DeleteFolder", {Variant(path)}); }
    std::string deliver(const std::string& folder, const platform::sim::MailSpec& mail) override
    {
        std::vector<Variant> args{Variant(folder)};
        const auto text = [&](const char* option, const std::string& value) {
            args.emplace_back(option);
            args.emplace_back(value);
        };
        const auto number = [&](const char* option, std::int32_t value) {
            args.emplace_back(option);
            args.emplace_back(value);
        };
        const auto flag = [&](const char* option, bool applies) {
            if (!applies)
                return;
            args.emplace_back(option);
            args.emplace_back(true);
        };
        text("from", mail.senderEmail);
        text("sender-name", mail.senderName);
        if (mail.prSenderName)
            text("pr-sender-name", *mail.prSenderName);
        text("to", mail.to);
        text("subject", mail.subject);
        if (mail.prSubject)
            text("pr-subject", *mail.prSubject);
        text("body", mail.body);
        if (mail.prBody)
            text("pr-body", *mail.prBody);
        number("size", mail.size);
        number("attachments", mail.attachments);
        number("class", mail.itemClass);
        if (mail.received)
            text("received", mail.received->toIsoString());
        flag("read", !mail.unread);
        flag("unsent", !mail.sent);
        flag("no-newmail", !mail.newMailEvent);
        return running("mail").call("AddMail", args).toString();
    }
    void move(const std::string& entryID, const std::string& folder) override
    {
        running("move").call("Move", {Variant(entryID), Variant(folder)});
    }
    void setUnread(const std::string& entryID, bool unread) override
    {
        running(unread ? "mark-unread" : "mark-read").call("SetUnread", {Variant(entryID), Variant(unread)});
    }
    void deleteItem(const std::string& entryID) override { running("delete").call("Delete", {Variant(entryID)}); }
    void purge(const std::string& entryID) override { running("purge").call("Purge", {Variant(entryID)}); }
    void setPickFolderAnswer(const std::optional<std::string>& folder) override
    {
        if (folder)
            running("pick-folder").call("SetPickFolderAnswer", {Variant(*folder)});
        else
            running("pick-folder").call("SetPickFolderAnswer");
    }
    std::optional<platform::sim::ItemState> item(const std::string& entryID) const override
    {
        Dispatch control = running("expect item");
        const auto field = [&](const char* name) { return control.call("ItemState", {Variant(entryID), Variant(name)}); };
        platform::sim::ItemState state;
        state.entryID = entryID;
        state.gone = field("gone").toBool();
        if (!state.gone) {
            const std::string folder = field("folder").toString();
            const std::size_t colon = folder.find(':');
            state.storeName = colon == std::string::npos ? defaultStoreName() : folder.substr(0, colon);
            state.folderPath = colon == std::string::npos ? folder : folder.substr(colon + 1);
            state.folderEntryID = control.call("FolderEntryID", {Variant(folder)}).toString();
        }
        state.unread = field("unread").toBool();
        state.sent = field("sent").toBool();
        state.displayed = field("displayed").toLong();
        state.replies = field("replies").toLong();
        state.forwards = field("forwards").toLong();
        state.itemClass = field("class").toLong();
        state.subject = field("subject").toString();
        return state;
    }
    bool folderExists(const std::string& path) const override
    {
        try {
            folderEntryID(path);
            return true;
        } catch (const platform::Failure&) {
            return false;  // the stand-in refuses an unknown folder
        }
    }
    std::string folderEntryID(const std::string& path) const override
    {
        return running("a folder's EntryID").call("FolderEntryID", {Variant(path)}).toString();
    }
    std::string folderStoreID(const std::string& path) const override
    {
        return running("a folder's StoreID").call("FolderStoreID", {Variant(path)}).toString();
    }
    // Names in the stand-in's answers are qualified only outside the default store.
    std::string defaultStoreName() const override { return ""; }

    void retitle(const std::string& title) override { running("outlook title").call("Title", {Variant(title)}); }
    bool running() const override { return static_cast<bool>(control_); }
    platform::sim::ShowState mainWindowState() const override
    {
        const HWND main = hwnd(mainWindow());
        if (!main || !IsWindowVisible(main))
            return platform::sim::ShowState::Hidden;
        return IsZoomed(main) ? platform::sim::ShowState::Maximized
               : IsIconic(main) ? platform::sim::ShowState::Minimized
                                : platform::sim::ShowState::Restored;
    }
    platform::sim::TrayIconState trayIcon() const override
    {
        if (!control_)
            return platform::sim::TrayIconState::Absent;
        const std::string state = control_.get("TrayIcon").toString();
        return state == "shown"     ? platform::sim::TrayIconState::Shown
               : state == "removed" ? platform::sim::TrayIconState::Removed
                                    : platform::sim::TrayIconState::Absent;
    }
    int trayMessages(std::uint32_t message) const override
    {
        return running("expect outlook-message")
            .call("TrayMessages", {Variant(static_cast<std::int32_t>(message))})
            .toLong();
    }
    void busy(std::int64_t ms, const std::string& answer) override
    {
        running("outlook busy").call("Busy", {Variant(static_cast<std::int32_t>(ms)), Variant(answer)});
    }
    int busyAnswers() const override { return running("expect outlook busy-answers").get("BusyAnswers").toLong(); }
    int calls(const std::string& key) const override
    {
        return running("expect outlook calls").call("Calls", {Variant(key)}).toLong();
    }

    DWORD processId() const { return control_ ? processId_ : 0; }
    WindowHandle mainWindow() const { return control_ && IsWindow(hwnd(main_)) ? main_ : platform::NoWindow; }
    WindowHandle trayWindow() const { return control_ && IsWindow(hwnd(tray_)) ? tray_ : platform::NoWindow; }

private:
    const Dispatch& running(const std::string& command) const
    {
        if (!control_)
            throw std::invalid_argument(command + ": Outlook is not running");
        return control_;
    }
    WindowHandle window(const char* which) const
    {
        const double number = control_.call("WindowOf", {Variant(which)}).toDouble();
        return reinterpret_cast<WindowHandle>(static_cast<std::uintptr_t>(number));
    }
    void forget()
    {
        control_ = Dispatch();
        processId_ = 0;
        main_ = tray_ = platform::NoWindow;
    }

    Dispatch control_;
    DWORD processId_ = 0;
    WindowHandle main_ = platform::NoWindow;
    WindowHandle tray_ = platform::NoWindow;
};

// ---- QLN.exe ----------------------------------------------------------------------------------------

class StandinScenarioWorld::Process final : public NotifierProcess {
public:
    explicit Process(StandinScenarioWorld& world)
        : world_(world), host_(world.desktop(), world.loop()),
          services_(world.registry(), world.files(), world.system(), world.desktop(), world.loop(), world.clock(),
                    world.outlook()),
          layout_(host_, services_)
    {
    }
    ~Process() override
    {
        if (!info_.hProcess)
            return;
        // A scenario that leaves QLN.exe running: it goes with the world.
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 3);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    void start() override
    {
        const std::wstring program = programFolder() + L"QLN.exe";
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info_))
            throw std::runtime_error("start: QLN.exe cannot be started from " + toUtf8(program) + " (" +
                                     std::to_string(GetLastError()) + ")");
        // Attached: its start-up is over (it waits for input), its popup window exists, and its calls
        // to Outlook have come to rest.
        WaitForInputIdle(info_.hProcess, static_cast<DWORD>(kAttachLimitMs));
        settle(0, kSettledMs, kAttachLimitMs, true);
        if (running() && popupWindow() == platform::NoWindow)
            throw std::runtime_error("start: QLN.exe did not attach within " + std::to_string(kAttachLimitMs) + " ms");
    }

    // Lets time pass until QLN.exe's calls to Outlook have rested for `restMs` (at least `minMs`, at
    // most `limitMs`; with `popup`, until its popup window exists too), or it has ended.
    void settle(std::int64_t minMs, std::int64_t restMs, std::int64_t limitMs, bool popup)
    {
        const std::int64_t begin = world_.nowMs();
        int lastCalls = -1;
        std::int64_t restingSince = begin;
        while (running() && world_.nowMs() - begin < limitMs) {
            const int calls = world_.remote_->running() ? world_.remote_->calls("*") : 0;
            if (calls != lastCalls) {
                lastCalls = calls;
                restingSince = world_.nowMs();
            }
            // Waiting for input, not inside a call (whose modal loop may let messages through).
            const bool idle = WaitForInputIdle(info_.hProcess, 0) == 0;
            const bool rested = idle && world_.nowMs() - restingSince >= restMs && world_.nowMs() - begin >= minMs;
            if (rested && (!popup || popupWindow() != platform::NoWindow))
                return;
            world_.advance(50);
        }
    }

    // Presses the default button of each message box QLN.exe shows, once, and tells what it said.
    void answerMessageBoxes()
    {
        if (!running())
            return;
        std::vector<HWND> boxes;
        EnumThreadWindows(
            info_.dwThreadId,
            [](HWND window, LPARAM found) {
                wchar_t className[16] = {};
                GetClassNameW(window, className, 16);
                if (std::wstring_view(className) == L"#32770" && IsWindowVisible(window))
                    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&boxes));
        // A box stays on screen a moment after its click; it is answered once.
        std::erase_if(answered_, [&](HWND box) { return std::find(boxes.begin(), boxes.end(), box) == boxes.end(); });
        for (HWND box : boxes) {
            if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
                continue;
            answered_.push_back(box);
            wchar_t caption[256] = {};
            wchar_t text[2048] = {};
            GetWindowTextW(box, caption, 256);
            GetDlgItemTextW(box, 0xFFFF, text, 2048);  // a message box's text
            world_.heardMessageBox({toUtf8(text), toUtf8(caption), 0});
            DWORD_PTR kept = 0;
            SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &kept);
            const int button = HIWORD(kept) == DC_HASDEFID ? LOWORD(kept) : IDOK;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            // Until it has closed, the popup under it is disabled: a click now would be lost.
            const std::int64_t until = world_.nowMs() + kBoxCloseLimitMs;
            while (IsWindow(box) && IsWindowVisible(box) && world_.nowMs() < until)
                world_.Win32ScenarioWorld::advance(10);
        }
    }

    bool started() const override { return info_.hProcess != nullptr; }
    bool running() const override { return started() && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    std::optional<int> exitCode() const override
    {
        if (!started() || running())
            return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return static_cast<int>(code);
    }
    WindowHandle popupWindow() const override
    {
        if (!running())
            return platform::NoWindow;
        return handle(findWindow(info_.dwProcessId, L"ThunderRT6FormDC", toWide(layout_.Caption())));
    }
    void click(const std::string& name) override
    {
        static constexpr std::string_view kButtons[] = {"btnReply", "btnForward", "btnDelete", "btnOpen",
                                                        "btnPin",   "btnPinned",  "btnAttach", "btnClose",
                                                        "btnQuestion", "picBack", "picNext"};
        if (std::find(std::begin(kButtons), std::end(kButtons), name) == std::end(kButtons))
            throw std::invalid_argument("click: on QLN.exe's popup only its buttons take a click (btnReply, "
                                        "btnForward, btnDelete, btnOpen, btnPin, btnPinned, btnAttach, btnClose, "
                                        "btnQuestion, picBack, picNext), not " + name);
        answerMessageBoxes();
        const HWND popup = hwnd(popupWindow());
        if (!popup || !IsWindowVisible(popup))
            throw std::invalid_argument("click: QLN.exe shows no popup to click " + name + " on");
        const forms::Control* control = layout_.control(name);
        // Twips in the popup's client area as designed; the window's size now moves those anchored
        // to the right edge (the close button) or to the bottom band's centre (the arrows).
        double left = control->Left();
        double top = control->Top();
        bool inBottomBand = false;
        if (const forms::Control* container = control->Container()) {
            left += container->Left();
            top += container->Top();
            inBottomBand = container->Name() == "elBottom";
        }
        RECT client{};
        GetClientRect(popup, &client);
        HDC screen = GetDC(nullptr);
        const double twipsPerPixel = 1440.0 / GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        const double width = client.right * twipsPerPixel;
        const double height = client.bottom * twipsPerPixel;
        if (name == "btnClose")
            left += width - layout_.Width();
        if (inBottomBand) {
            left += (width - layout_.Width()) / 2;
            top += height - layout_.Height();
        }
        POINT origin{0, 0};
        ClientToScreen(popup, &origin);
        const int x = origin.x + static_cast<int>(std::lround((left + control->Width() / 2) / twipsPerPixel));
        const int y = origin.y + static_cast<int>(std::lround((top + control->Height() / 2) / twipsPerPixel));
        sendClick(x, y);
        // The click is QLN.exe's to handle (and Outlook's, for what the click asks of it); the next
        // step looks once they have.
        settle(kAfterInputMs, kInputRestMs, kInputLimitMs, false);
    }

private:
    StandinScenarioWorld& world_;
    // The popup as designed, never loaded: where its buttons are.
    forms::FormsHost host_;
    NotifierServices services_;
    frmNewMail layout_;
    PROCESS_INFORMATION info_{};
    std::vector<HWND> answered_;  // message boxes pressed already, until they are gone
};

// ---- the world ------------------------------------------------------------------------------------------

StandinScenarioWorld::Apartment::Apartment()
{
    platform::win32::com::check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx");
}

StandinScenarioWorld::Apartment::~Apartment() { CoUninitialize(); }

StandinScenarioWorld::StandinScenarioWorld()
    : remote_(std::make_unique<Remote>()), process_(std::make_unique<Process>(*this))
{
}

StandinScenarioWorld::~StandinScenarioWorld()
{
    process_.reset();
    if (remote_->running())
        platform::ignoreFailure([&] { remote_->quit(); });
    remote_.reset();
}

void StandinScenarioWorld::advance(std::int64_t ms)
{
    constexpr std::int64_t kLookMs = 50;
    const std::int64_t until = nowMs() + ms;
    for (std::int64_t left = ms; left > 0; left = until - nowMs()) {
        Win32ScenarioWorld::advance(std::min(left, kLookMs));
        process_->answerMessageBoxes();
    }
}

RemoteOutlook* StandinScenarioWorld::remoteOutlook() { return remote_.get(); }
NotifierProcess* StandinScenarioWorld::notifierProcess() { return process_.get(); }

void StandinScenarioWorld::outlookStart() { remote_->start(); }
void StandinScenarioWorld::outlookQuit() { remote_->quit(); }
WindowHandle StandinScenarioWorld::outlookMainWindow() const { return remote_->mainWindow(); }
WindowHandle StandinScenarioWorld::outlookTrayWindow() const { return remote_->trayWindow(); }

WindowHandle StandinScenarioWorld::itemWindow(const std::string& entryID) const
{
    if (!remote_->running())
        return platform::NoWindow;
    const auto item = remote_->item(entryID);
    const HWND window = findWindow(remote_->processId(), L"", toWide(item->subject + " - Message"));
    return window ? handle(window) : platform::NoWindow;
}

WindowHandle StandinScenarioWorld::namedWindow(const std::string& name) const
{
    if (name == "outlook")
        return outlookMainWindow();
    if (name == "outlook-tray")
        return outlookTrayWindow();
    if (name.starts_with("item:"))
        return itemWindow(name.substr(5));
    return Win32ScenarioWorld::namedWindow(name);
}

std::string StandinScenarioWorld::nameOf(WindowHandle window) const
{
    if (window == platform::NoWindow)
        return "";
    if (window == outlookMainWindow())
        return "outlook";
    if (window == outlookTrayWindow())
        return "outlook-tray";
    return Win32ScenarioWorld::nameOf(window);
}

} // namespace qln::runner
