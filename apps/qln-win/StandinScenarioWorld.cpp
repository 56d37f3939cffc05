#include "apps/qln-win/StandinScenarioWorld.h"

#include <objbase.h>
#include <dlgs.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <stdexcept>

#include "apps/qln-sim/Runtime.h"
#include "apps/qln-sim/Values.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/window/frmNewMail.h"
#include "options/OptionsServices.h"
#include "options/QLNOptions.h"
#include "options/frmWinPos.h"
#include "platform/Failure.h"
#include "platform/forms/Form.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/Slider.h"
#include "platform/win32/GdiFontEngine.h"
#include "platform/win32/NotifierInstance.h"
#include "platform/win32/Wide.h"
#include "platform/win32/com/ComFailure.h"
#include "shared/Settings.h"

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
// After input to the stand-in's Options dialog: time for the stand-in to handle it, a little more
// for each key typed.
constexpr std::int64_t kAfterPageInputMs = 400;
constexpr std::int64_t kPerKeyMs = 15;
// The colour dialog's Red, Green and Blue boxes, and how long it may take to open and to close.
constexpr int kColourRedBox = 706;
constexpr std::int64_t kColourDialogLimitMs = 5'000;
// The colours the font dialog's colour list offers (its effects part), in its order.
constexpr std::uint32_t kFontDialogColours[] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                                0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                                0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
// The page's tab title in Outlook's dialog, as the add-in gives it.
constexpr const char* kPageTitle = "Quellin";

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
    if (search.process && owner != search.process)
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

// A top-level window of the process (0: of any) with that class and title.
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

// Key events: a key going down or up, by virtual key, or a character typed as itself.
void addKey(std::vector<INPUT>& inputs, WORD vk, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
}

// A key pressed and released with the modifiers of MASK (1 Shift, 2 Ctrl, 4 Alt) held.
void addPress(std::vector<INPUT>& inputs, WORD vk, int mask)
{
    static constexpr std::pair<int, WORD> kModifiers[] = {{2, VK_CONTROL}, {4, VK_MENU}, {1, VK_SHIFT}};
    for (const auto& [bit, code] : kModifiers)
        if (mask & bit)
            addKey(inputs, code, false);
    addKey(inputs, vk, false);
    addKey(inputs, vk, true);
    for (auto it = std::rbegin(kModifiers); it != std::rend(kModifiers); ++it)
        if (mask & it->first)
            addKey(inputs, it->second, true);
}

// A character as the keyboard types it: its key with Shift, Ctrl and Alt as the layout needs, or,
// for a character no key of the layout gives, the character itself (VK_PACKET).
void addCharacter(std::vector<INPUT>& inputs, wchar_t character)
{
    const SHORT key = VkKeyScanW(character);
    if (key != -1 && LOBYTE(key) != 0xFF) {
        addPress(inputs, LOBYTE(key), HIBYTE(key) & 7);
        return;
    }
    for (const bool up : {false, true}) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = character;
        input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
        inputs.push_back(input);
    }
}

void sendKeys(std::vector<INPUT>& inputs, const char* command)
{
    if (inputs.empty())
        return;
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        throw std::runtime_error(std::string(command) + ": SendInput took " + std::to_string(sent) + " of " +
                                 std::to_string(inputs.size()) + " key events");
}

struct ProcessWindows {
    DWORD process;
    std::vector<HWND> found;
};

// The visible message boxes a process shows: its top-level dialogs with a message box's text.
std::vector<HWND> messageBoxesOf(DWORD process)
{
    ProcessWindows search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto& windows = *reinterpret_cast<ProcessWindows*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t className[16] = {};
            GetClassNameW(window, className, 16);
            // The common dialogs are dialogs too: the colour dialog is answered by the `color` step
            // that opened it, the font dialog as `font-dialog` prepared it.
            if (owner == windows.process && std::wstring_view(className) == L"#32770" && IsWindowVisible(window) &&
                GetDlgItem(window, 0xFFFF) && !GetDlgItem(window, kColourRedBox) && !GetDlgItem(window, cmb1))
                windows.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
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
    void quitDuring(const std::string& member) override
    {
        running("outlook quit-during").call("QuitDuring", {Variant(member)});
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
    // The control object, for a step that needs Outlook running.
    const Dispatch& control(const std::string& command) const { return running(command); }
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
        if (info_.hThread)
            CloseHandle(info_.hThread);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    void start() override
    {
        if (adoptRunning())
            return;
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

    // A QLN.exe that runs already (Outlook's add-in started it as Outlook started) is the one
    // watched: once its popup window exists, its process is found from it. False when none runs.
    bool adoptRunning()
    {
        // The add-in starts the installation's QLN.exe as Outlook's start-up completes: it may be
        // on its way still.
        const std::int64_t until = world_.nowMs() + kAttachLimitMs;
        const bool coming = addinStartsNotifier();
        HANDLE instance = nullptr;
        while (!(instance = OpenMutexW(SYNCHRONIZE, FALSE, platform::win32::kNotifierInstanceMutex)) && coming &&
               world_.nowMs() < until)
            world_.advance(50);
        if (!instance)
            return false;
        CloseHandle(instance);
        HWND popup = nullptr;
        while (!(popup = findWindow(0, L"ThunderRT6FormDC", toWide(layout_.Caption()))) && world_.nowMs() < until)
            world_.advance(50);
        if (!popup)
            throw std::runtime_error("start: a QLN.exe runs, but its popup window did not appear within " +
                                     std::to_string(kAttachLimitMs) + " ms");
        info_.dwThreadId = GetWindowThreadProcessId(popup, &info_.dwProcessId);
        info_.hProcess = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE,
                                     info_.dwProcessId);
        if (!info_.hProcess)
            throw std::runtime_error("start: the running QLN.exe's process cannot be opened (" +
                                     std::to_string(GetLastError()) + ")");
        adopted_ = true;
        settle(0, kSettledMs, kAttachLimitMs, true);
        return true;
    }

    // Whether Outlook's add-in is connected and finds a QLN.exe to start in the installation folder.
    bool addinStartsNotifier() const
    {
        if (!world_.remote_->running() ||
            world_.remote_->control("start").call("AddIn", {Variant("QuellinAddin.Connect")}).toString() != "connected")
            return false;
        const auto folder = world_.scenarioRegistry()->get(platform::Hive::CurrentUser,
                                                           settings::keyPath(settings::StoreKey::Install), "QLNPath");
        if (!folder || folder->type != REG_SZ)
            return false;
        std::string path(reinterpret_cast<const char*>(folder->data.data()), folder->data.size());
        path.resize(std::strlen(path.c_str()));
        if (!path.empty() && path.back() != '\\')
            path += '\\';
        return GetFileAttributesW(toWide(path + "QLN.exe").c_str()) != INVALID_FILE_ATTRIBUTES;
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
        world_.answerBoxes(boxes, answered_);
    }

    bool started() const override { return info_.hProcess != nullptr; }
    bool startedElsewhere() const override { return adopted_; }
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
    bool adopted_ = false;  // found running, started by the add-in
    std::vector<HWND> answered_;  // message boxes pressed already, until they are gone
};

// ---- Outlook's Options dialog, with the options page loaded in the stand-in ------------------------------

namespace {

// Outlook is never reached from the page's layout copy: its creation finds no Outlook.
class NoOutlook final : public platform::ObjectFactory {
public:
    std::shared_ptr<platform::outlook::Application> createOutlookApplication() override { return refuse(); }
    std::shared_ptr<platform::mapi::SafeMailItem> createSafeMailItem() override { return refuse(); }
    std::shared_ptr<platform::mapi::MAPIUtils> createMAPIUtils() override { return refuse(); }

private:
    [[noreturn]] static std::nullptr_t refuse() { throw platform::Failure("no Outlook for a layout", 429); }
};

// The registry as the page's layout copy sees it: read as it is, never written (the page in Outlook
// writes what its loading writes).
class UnwrittenKey final : public platform::RegistryKey {
public:
    explicit UnwrittenKey(std::unique_ptr<platform::RegistryKey> inner) : inner_(std::move(inner)) {}
    platform::RegValueInfo queryValueInfo(std::string_view name) override { return inner_->queryValueInfo(name); }
    platform::RegRead queryValue(std::string_view name, std::span<std::byte> buffer) override
    {
        return inner_->queryValue(name, buffer);
    }
    void setValue(std::string_view, std::uint32_t, std::span<const std::byte>) override {}

private:
    std::unique_ptr<platform::RegistryKey> inner_;
};

class UnwrittenRegistry final : public platform::Registry {
public:
    explicit UnwrittenRegistry(platform::Registry& inner) : inner_(inner) {}
    std::unique_ptr<platform::RegistryKey> openKey(platform::Hive hive, std::string_view path) override
    {
        return std::make_unique<UnwrittenKey>(inner_.openKey(hive, path));
    }
    std::unique_ptr<platform::RegistryKey> createKey(platform::Hive hive, std::string_view path) override
    {
        return openKey(hive, path);  // a missing key stays missing: the open fails
    }

private:
    platform::Registry& inner_;
};

} // namespace

class StandinScenarioWorld::Options final : public RemoteOptionsDialog {
public:
    explicit Options(StandinScenarioWorld& world)
        : world_(world), registry_(world.registry()), host_(world.desktop(), world.loop(), fonts_, world.system())
    {
    }

    bool open() override
    {
        const Dispatch& control = world_.remote_->control("page open");
        const int pages = control.call("OpenOptions").toLong();
        index_ = -1;
        for (int page = 0; page < pages && index_ < 0; ++page)
            if (control.call("PageTitle", {Variant(page)}).toString() == kPageTitle)
                index_ = page;
        dialog_ = window("dialog");
        layout_.reset();
        services_.reset();
        if (index_ < 0)
            return false;
        if (control.call("Options", {Variant("shown")}).toLong() != index_)
            throw std::invalid_argument("page open: Outlook's Options dialog shows another add-in's page first");
        // The page as designed, loaded from the same settings, never shown: where its controls are,
        // and which tab shows (mirrored from the user's clicks on the tabs).
        services_ = std::make_unique<OptionsServices>(registry_, world_.files(), world_.system(),
                                                      world_.desktop(), world_.loop(), noOutlook_);
        layout_ = std::make_unique<QLNOptions>(host_, *services_);
        winPos_ = std::make_unique<options::frmWinPos>(host_, [](const std::string&) {});
        world_.advance(kAfterPageInputMs);
        return true;
    }
    bool apply() override
    {
        const HWND button = openDialogWindow("page apply", "apply");
        const bool enabled = IsWindowEnabled(button) != FALSE;
        clickWindow(button);
        return enabled;
    }
    void close() override
    {
        clickWindow(openDialogWindow("page close", "cancel"));
        if (dialogOpen())
            throw std::runtime_error("page close: Outlook's Options dialog stays open after Cancel");
        layout_.reset();
        services_.reset();
        dialog_ = nullptr;
        index_ = -1;
    }
    bool pageShown() const override { return dialogOpen() && index_ >= 0; }
    bool pageDirty() const override
    {
        return pageShown() && world_.remote_->control("expect page").call("PageDirty", {Variant(index_)}).toBool();
    }
    int pageStatusChanges() const override
    {
        if (!pageShown())
            return 0;
        return world_.remote_->control("expect page").call("PageStatusChanges", {Variant(index_)}).toLong();
    }
    void prepareFontAnswer(std::optional<forms::FontChoice> answer) override
    {
        if (answer && std::find(std::begin(kFontDialogColours), std::end(kFontDialogColours), answer->Color) ==
                          std::end(kFontDialogColours))
            throw std::invalid_argument("font-dialog: the system's font dialog offers only the 16 basic colours "
                                        "(0x00000000, 0x00000080, ... 0x00FFFFFF), not " +
                                        formatColour(answer->Color));
        fontAnswer_ = std::move(answer);
    }

    // A font dialog the page has opened in Outlook, answered as prepared: the face and the size typed
    // into their boxes (the dialog selects a name typed in full in its list), the colour picked from
    // its list with the keyboard, then OK; without an answer, Cancel. Throws when the dialog does not
    // close with that answer (it is cancelled then, so that Outlook is not left inside it).
    void answerFontDialog(DWORD process)
    {
        const HWND box = commonDialog(process, {cmb1, cmb4});
        if (!box)
            return;
        const std::optional<forms::FontChoice> answer = std::exchange(fontAnswer_, std::nullopt);
        if (!answer) {
            clickWindow(GetDlgItem(box, IDCANCEL));
            awaitClosed(box, "the font dialog stays open after Cancel");
            return;
        }
        std::string problem;
        const HWND colours = GetDlgItem(box, cmb4);
        const int colour = listIndex(colours, answer->Color);
        if (!typeIntoCombo(GetDlgItem(box, cmb1), toWide(answer->FontName)) ||
            !typeIntoCombo(GetDlgItem(box, cmb3), toWide(formatDecimal(answer->FontSize))))
            problem = "the font dialog has no box for the face or the size";
        else if (colour < 0)
            problem = "the font dialog's colour list has no " + formatColour(answer->Color);
        if (problem.empty()) {
            // A click drops the list down; Home takes its first colour, each Down the next.
            clickWindow(colours);
            std::vector<INPUT> inputs;
            addPress(inputs, VK_HOME, 0);
            for (int i = 0; i < colour; ++i)
                addPress(inputs, VK_DOWN, 0);
            addPress(inputs, VK_RETURN, 0);
            sendKeys(inputs, "font-dialog");
            world_.advance(kAfterPageInputMs + kPerKeyMs * static_cast<std::int64_t>(inputs.size()));
            clickWindow(GetDlgItem(box, IDOK));
            if (closes(box))
                return;
            problem = "the font dialog stays open after OK (see its message)";
        }
        clickWindow(GetDlgItem(box, IDCANCEL));
        awaitClosed(box, "the font dialog stays open after Cancel");
        throw std::runtime_error(problem + "; it was cancelled");
    }

    void click(const std::string& form, const std::string& control) override
    {
        const auto [window, box] = place(form, control, "click");
        sendClick(window.x + box.left + box.width() / 2, window.y + box.top + box.height() / 2);
        world_.advance(kAfterPageInputMs);
    }
    void setText(const std::string& form, const std::string& control, const std::string& text) override
    {
        click(form, control);
        std::vector<INPUT> inputs;
        // The old text selected and typed over.
        addPress(inputs, VK_HOME, 0);
        addPress(inputs, VK_END, 1);
        addPress(inputs, VK_DELETE, 0);
        for (const wchar_t character : toWide(text))
            addCharacter(inputs, character);
        sendKeys(inputs, "set");
        world_.advance(kAfterPageInputMs + kPerKeyMs * static_cast<std::int64_t>(inputs.size()));
    }
    void key(const std::string& form, const std::string& control, int vk, int mask) override
    {
        if (!control.empty()) {
            click(form, control);
        } else {
            const HWND window = formWindow(form, "key");
            if (GetForegroundWindow() != GetAncestor(window, GA_ROOT))
                SetForegroundWindow(GetAncestor(window, GA_ROOT));
        }
        std::vector<INPUT> inputs;
        addPress(inputs, static_cast<WORD>(vk), mask);
        sendKeys(inputs, "key");
        world_.advance(kAfterPageInputMs);
    }
    void clickTab(const std::string& form, const std::string& control, int index) override
    {
        const auto [window, box] = place(form, control, "tab");
        auto* strip = dynamic_cast<forms::TabStrip*>(layout().control(control));
        if (!strip || index >= strip->Tabs())
            throw std::invalid_argument("tab: " + form + "." + control + " has no tab " + std::to_string(index));
        const draw::Rect tab = strip->tabBounds(index);
        sendClick(window.x + box.left + tab.left + tab.width() / 2, window.y + box.top + tab.top + tab.height() / 2);
        // The copy follows: the panes of that tab are where the next clicks go.
        strip->setCurrentTab(index);
        world_.advance(kAfterPageInputMs);
    }
    void slide(const std::string& form, const std::string& control, int position) override
    {
        const auto [window, box] = place(form, control, "slide");
        const auto* slider = dynamic_cast<const forms::Slider*>(copyOf(form).control(control));
        if (!slider)
            throw std::invalid_argument("slide: " + form + "." + control + " is not a slider");
        // The press puts the thumb under the pointer: on the channel where the thumb stands at that
        // position (the copy has the page's range).
        const draw::Point at = slider->pointOf(position, box);
        sendClick(window.x + at.x, window.y + at.y);
        world_.advance(kAfterPageInputMs);
    }
    void selectRow(const std::string& form, const std::string& control, int index) override
    {
        const auto [window, box] = place(form, control, "select");
        const auto* list = dynamic_cast<const forms::ListBox*>(copyOf(form).control(control));
        if (!list)
            throw std::invalid_argument("select: " + form + "." + control + " is not a list box");
        // The copy's rows are the page's as it loaded, not what the user added since: the row's
        // place is where the page shows it from its first row.
        const std::optional<draw::Rect> row = list->rowBounds(index, box);
        if (!row)
            throw std::invalid_argument("select: row " + std::to_string(index) + " of " + form + "." + control +
                                        " is not in sight without scrolling");
        sendClick(window.x + row->left + row->width() / 2, window.y + row->top + row->height() / 2);
        world_.advance(kAfterPageInputMs);
    }
    void pickColour(const std::string& form, const std::string& control, std::uint32_t colour) override
    {
        click(form, control);
        const DWORD standin = world_.remote_->processId();
        const std::int64_t opened = world_.nowMs() + kColourDialogLimitMs;
        HWND box = nullptr;
        while (!(box = commonDialog(standin, {kColourRedBox})) && world_.nowMs() < opened)
            world_.advance(50);
        if (!box)
            throw std::runtime_error("color: no colour dialog opens in Outlook after the click on " + form + "." +
                                     control);
        // Red, green and blue, each box clicked and its number typed over.
        for (int part = 0; part < 3; ++part) {
            RECT r{};
            const HWND edit = GetDlgItem(box, kColourRedBox + part);
            if (!edit || !GetWindowRect(edit, &r))
                throw std::runtime_error("color: the colour dialog has no box for red, green and blue");
            sendClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
            world_.advance(kAfterPageInputMs);
            std::vector<INPUT> inputs;
            addPress(inputs, VK_HOME, 0);
            addPress(inputs, VK_END, 1);
            addPress(inputs, VK_DELETE, 0);
            for (const wchar_t digit : std::to_wstring((colour >> (8 * part)) & 0xFF))
                addCharacter(inputs, digit);
            sendKeys(inputs, "color");
            world_.advance(kAfterPageInputMs + kPerKeyMs * static_cast<std::int64_t>(inputs.size()));
        }
        clickWindow(GetDlgItem(box, IDOK));
        awaitClosed(box, "color: the colour dialog stays open after OK");
    }

private:
    bool dialogOpen() const
    {
        return world_.remote_->running() && world_.remote_->control("page").call("Options", {Variant("open")}).toBool();
    }
    HWND window(const char* which) const
    {
        const double number = world_.remote_->control("page").call("OptionsWindow", {Variant(which)}).toDouble();
        return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(number));
    }
    HWND openDialogWindow(const std::string& command, const char* which) const
    {
        if (!dialogOpen())
            throw std::invalid_argument(command + ": Outlook's Options dialog is not open");
        return window(which);
    }
    QLNOptions& layout() const
    {
        if (!layout_ || !pageShown())
            throw std::invalid_argument("Outlook's Options dialog does not show the options page");
        return *layout_;
    }
    void clickWindow(HWND target)
    {
        RECT r{};
        if (!target || !GetWindowRect(target, &r))
            throw std::runtime_error("Outlook's Options dialog has no such button");
        sendClick((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        world_.advance(kAfterPageInputMs);
    }
    // Our copy of one of the page's forms: the page, or the window position dialog.
    forms::Form& copyOf(const std::string& form) const
    {
        return form == "QLNOptions" ? static_cast<forms::Form&>(layout()) : *winPos_;
    }
    // The window of one of the page's forms in the stand-in: the page's own, or the window
    // position dialog's (a top-level window the page's owns).
    HWND formWindow(const std::string& form, const std::string& command) const
    {
        layout();
        if (form == "QLNOptions") {
            const HWND page = window("page");
            if (!page)
                throw std::invalid_argument(command + ": Outlook's Options dialog shows no page");
            return page;
        }
        const HWND dialog = findWindow(world_.remote_->processId(), L"ThunderRT6FormDC", toWide(winPos_->Caption()));
        if (!dialog || !IsWindowVisible(dialog))
            throw std::invalid_argument(command + ": frmWinPos is not open in Outlook");
        return dialog;
    }
    struct Place {
        POINT window;     // the form's client area on screen
        draw::Rect box;   // the control's, in it
    };
    // Where a control of the page's forms is on screen now; refused for one on a tab not shown.
    Place place(const std::string& form, const std::string& name, const std::string& command)
    {
        const forms::Form& copy = copyOf(form);
        const HWND window = formWindow(form, command);
        const forms::Control* control = copy.control(name);
        if (!control)
            throw std::invalid_argument(command + ": " + form + " has no control " + name);
        for (const forms::Control* pane = control->Container(); pane; pane = pane->Container())
            if (dynamic_cast<const forms::Panel*>(pane) && !pane->Visible())
                throw std::invalid_argument(command + ": " + form + "." + name + " is on " + pane->Name() +
                                            ", whose tab is not shown ('tab' shows it first)");
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        return {origin, control->clientBounds()};
    }

    // The text of a box of the font dialog replaced: a click into it, the old text selected and
    // deleted, the new typed. The dialog selects a name in the list as soon as the text is one in
    // full, and selects the text with it: End before each character types on after it.
    bool typeIntoCombo(HWND combo, const std::wstring& text)
    {
        const HWND edit = combo ? FindWindowExW(combo, nullptr, L"Edit", nullptr) : nullptr;
        if (!edit)
            return false;
        clickWindow(edit);
        std::vector<INPUT> inputs;
        addPress(inputs, VK_HOME, 0);
        addPress(inputs, VK_END, 1);
        addPress(inputs, VK_DELETE, 0);
        for (const wchar_t character : text) {
            addPress(inputs, VK_END, 0);
            addCharacter(inputs, character);
        }
        sendKeys(inputs, "font-dialog");
        world_.advance(kAfterPageInputMs + kPerKeyMs * static_cast<std::int64_t>(inputs.size()));
        return true;
    }
    // Where a value stands in a list of another process (its items' data), or -1.
    static int listIndex(HWND combo, std::uint32_t value)
    {
        DWORD_PTR count = 0;
        if (!combo || !SendMessageTimeoutW(combo, CB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 1000, &count))
            return -1;
        for (int i = 0; i < static_cast<int>(count); ++i) {
            DWORD_PTR data = 0;
            if (SendMessageTimeoutW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0, SMTO_ABORTIFHUNG, 1000, &data) &&
                (data & 0xFFFFFF) == value)
                return i;
        }
        return -1;
    }
    bool closes(HWND box)
    {
        const std::int64_t until = world_.nowMs() + kColourDialogLimitMs;
        while (IsWindow(box) && IsWindowVisible(box) && world_.nowMs() < until)
            world_.advance(50);
        return !IsWindow(box) || !IsWindowVisible(box);
    }
    void awaitClosed(HWND box, const char* problem)
    {
        if (!closes(box))
            throw std::runtime_error(problem);
    }
    // A common dialog the stand-in shows: its visible dialog with all of these boxes (the font
    // dialog's face and colour lists; the colour dialog's Red box).
    static HWND commonDialog(DWORD process, std::initializer_list<int> boxes)
    {
        for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", nullptr); window;
             window = FindWindowExW(nullptr, window, L"#32770", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == process && IsWindowVisible(window) &&
                std::all_of(boxes.begin(), boxes.end(), [&](int box) { return GetDlgItem(window, box) != nullptr; }))
                return window;
        }
        return nullptr;
    }

    StandinScenarioWorld& world_;
    NoOutlook noOutlook_;
    UnwrittenRegistry registry_;
    // Measured with the fonts the page in Outlook measures with: the tabs' widths follow their text.
    platform::win32::GdiFontEngine fonts_;
    forms::FormsHost host_;
    std::unique_ptr<OptionsServices> services_;
    std::unique_ptr<QLNOptions> layout_;
    std::unique_ptr<options::frmWinPos> winPos_;
    HWND dialog_ = nullptr;
    int index_ = -1;  // our page among the dialog's
    std::optional<forms::FontChoice> fontAnswer_;
};

// ---- the world ------------------------------------------------------------------------------------------

void StandinScenarioWorld::answerBoxes(const std::vector<HWND>& boxes, std::vector<HWND>& answered)
{
    // A box stays on screen a moment after its click; it is answered once.
    std::erase_if(answered, [&](HWND box) { return std::find(boxes.begin(), boxes.end(), box) == boxes.end(); });
    for (HWND box : boxes) {
        if (std::find(answered.begin(), answered.end(), box) != answered.end())
            continue;
        answered.push_back(box);
        wchar_t caption[256] = {};
        wchar_t text[2048] = {};
        GetWindowTextW(box, caption, 256);
        GetDlgItemTextW(box, 0xFFFF, text, 2048);  // a message box's text
        heardMessageBox({toUtf8(text), toUtf8(caption), 0});
        DWORD_PTR kept = 0;
        SendMessageTimeoutW(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 1000, &kept);
        const int button = HIWORD(kept) == DC_HASDEFID ? LOWORD(kept) : IDOK;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        // Until it has closed, the window under it is disabled: a click now would be lost.
        const std::int64_t until = nowMs() + kBoxCloseLimitMs;
        while (IsWindow(box) && IsWindowVisible(box) && nowMs() < until)
            Win32ScenarioWorld::advance(10);
    }
}

StandinScenarioWorld::Apartment::Apartment()
{
    platform::win32::com::check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx");
}

StandinScenarioWorld::Apartment::~Apartment() { CoUninitialize(); }

StandinScenarioWorld::StandinScenarioWorld()
    : remote_(std::make_unique<Remote>()), process_(std::make_unique<Process>(*this)),
      options_(std::make_unique<Options>(*this))
{
}

StandinScenarioWorld::~StandinScenarioWorld()
{
    options_.reset();
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
        // The options page's messages and font dialog, in the stand-in's process (the dialog is
        // answered with input, in which time passes: not again from in there).
        if (const DWORD standin = remote_->processId()) {
            answerBoxes(messageBoxesOf(standin), standinAnswered_);
            if (!answeringFontDialog_) {
                answeringFontDialog_ = true;
                struct Done {
                    bool& flag;
                    ~Done() { flag = false; }
                } done{answeringFontDialog_};
                options_->answerFontDialog(standin);
            }
        }
    }
}

RemoteOutlook* StandinScenarioWorld::remoteOutlook() { return remote_.get(); }
NotifierProcess* StandinScenarioWorld::notifierProcess() { return process_.get(); }
RemoteOptionsDialog* StandinScenarioWorld::remoteOptionsDialog() { return options_.get(); }

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
