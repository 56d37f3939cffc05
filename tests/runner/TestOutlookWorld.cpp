// The runner on a world whose Outlook and notifier run in other processes (qln-win's outlook world):
// the Outlook commands and item checks go to the world's remote Outlook, `start` and the notifier's
// checks to the notifier's process, clicks on the popup to the process, and what needs the notifier
// in the runner's process is refused. The remote Outlook here is a simulated one behind the remote
// interface, and the process a recorder.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "apps/qln-sim/ScenarioWorld.h"
#include "platform/sim/SimWorld.h"
#include "tests/runner/RunnerTestSupport.h"
#include "tests/runner/SeamsWorld.h"

namespace qln::runner {
namespace {

struct Log {
    std::vector<std::string> calls;
};

class FakeRemote final : public RemoteOutlook {
public:
    FakeRemote(platform::sim::SimWorld& w, Log& log) : w_(w), log_(log) {}
    void start() override { log_.calls.push_back("start"), w_.outlookStart(), running_ = true; }
    void quit() override { log_.calls.push_back("quit"), w_.outlookQuit(), running_ = false; }
    void kill() override { log_.calls.push_back("kill"), w_.outlookQuit(), running_ = false; }
    void quitDuring(const std::string& member) override { log_.calls.push_back("quit during " + member); }
    void addStore(const std::string& name) override { w_.outlook.addStore(name); }
    void addFolder(const std::string& path, const std::string& cls, const std::optional<std::string>& store) override
    {
        w_.outlook.addFolder(path, cls, store);
    }
    void deleteFolder(const std::string& path) override { w_.outlook.deleteFolder(path); }
    std::string deliver(const std::string& folder, const platform::sim::MailSpec& mail) override
    {
        log_.calls.push_back("deliver " + mail.subject + " from " + mail.senderEmail);
        return w_.outlook.deliver(folder, mail);
    }
    void move(const std::string& id, const std::string& folder) override { w_.outlook.move(id, folder); }
    void setUnread(const std::string& id, bool unread) override { w_.outlook.setUnread(id, unread); }
    void deleteItem(const std::string& id) override { w_.outlook.deleteItem(id); }
    void purge(const std::string& id) override { w_.outlook.purge(id); }
    void setPickFolderAnswer(const std::optional<std::string>& folder) override { w_.outlook.setPickFolderAnswer(folder); }
    std::optional<platform::sim::ItemState> item(const std::string& id) const override { return w_.outlook.item(id); }
    bool folderExists(const std::string& path) const override { return w_.outlook.folderExists(path); }
    std::string folderEntryID(const std::string& path) const override { return w_.outlook.folderEntryID(path); }
    std::string folderStoreID(const std::string& path) const override { return w_.outlook.folderStoreID(path); }
    std::string defaultStoreName() const override { return w_.outlook.defaultStoreName(); }
    void retitle(const std::string& title) override { log_.calls.push_back("title " + title); }
    bool running() const override { return running_; }
    platform::sim::ShowState mainWindowState() const override { return platform::sim::ShowState::Maximized; }
    platform::sim::TrayIconState trayIcon() const override
    {
        return running_ ? platform::sim::TrayIconState::Removed : platform::sim::TrayIconState::Absent;
    }
    int trayMessages(std::uint32_t message) const override { return message == 0x407 ? 2 : 0; }
    void busy(std::int64_t ms, const std::string& answer) override
    {
        log_.calls.push_back("busy " + std::to_string(ms) + " " + answer);
    }
    int busyAnswers() const override { return 3; }
    int calls(const std::string&) const override { return 0; }

private:
    platform::sim::SimWorld& w_;
    Log& log_;
    bool running_ = false;
};

class FakeProcess final : public NotifierProcess {
public:
    explicit FakeProcess(Log& log) : log_(log) {}
    void start() override { log_.calls.push_back("QLN.exe starts"), started_ = true; }
    bool started() const override { return started_; }
    bool running() const override { return started_ && !exitCode_; }
    std::optional<int> exitCode() const override { return exitCode_; }
    platform::WindowHandle popupWindow() const override { return platform::NoWindow; }
    void click(const std::string& control) override
    {
        log_.calls.push_back("click " + control);
        if (control == "btnClose")
            exitCode_ = 0;  // the recorder ends on a dismiss, so that the checks see an end
    }

private:
    Log& log_;
    bool started_ = false;
    std::optional<int> exitCode_;
};

// Outlook's Options dialog with the page in Outlook's process: a recorder whose page turns dirty at
// any edit and clean at Apply.
class FakeDialog final : public RemoteOptionsDialog {
public:
    explicit FakeDialog(Log& log) : log_(log) {}
    bool open() override { return log_.calls.push_back("options open"), open_ = true; }
    bool apply() override
    {
        log_.calls.push_back("apply");
        return std::exchange(dirty_, false);
    }
    void close() override { log_.calls.push_back("cancel"), open_ = dirty_ = false; }
    bool pageShown() const override { return open_; }
    bool pageDirty() const override { return dirty_; }
    int pageStatusChanges() const override { return changes_; }
    void prepareFontAnswer(std::optional<forms::FontChoice> answer) override
    {
        if (answer && answer->Color > 0xFFFFFF)
            throw std::invalid_argument("font-dialog: the font dialog offers no such colour");
        log_.calls.push_back(answer ? "font answer " + answer->FontName + " " + std::to_string(answer->FontSize) +
                                          " " + std::to_string(answer->Color)
                                    : "font answer cancel");
    }
    void click(const std::string& form, const std::string& control) override { edit("click " + form + "." + control); }
    void setText(const std::string& form, const std::string& control, const std::string& text) override
    {
        edit("set " + form + "." + control + " " + text);
    }
    void key(const std::string& form, const std::string& control, int vk, int mask) override
    {
        edit("key " + form + (control.empty() ? "" : "." + control) + " " + std::to_string(vk) + " " +
             std::to_string(mask));
    }
    void clickTab(const std::string& form, const std::string& control, int index) override
    {
        log_.calls.push_back("tab " + form + "." + control + " " + std::to_string(index));
    }
    void slide(const std::string& form, const std::string& control, int position) override
    {
        edit("slide " + form + "." + control + " " + std::to_string(position));
    }
    void selectRow(const std::string& form, const std::string& control, int index) override
    {
        log_.calls.push_back("select " + form + "." + control + " " + std::to_string(index));
    }
    void pickColour(const std::string& form, const std::string& control, std::uint32_t colour) override
    {
        edit("color " + form + "." + control + " " + std::to_string(colour));
    }

private:
    void edit(const std::string& call) { log_.calls.push_back(call), dirty_ = true, ++changes_; }
    Log& log_;
    int changes_ = 0;
    bool open_ = false;
    bool dirty_ = false;
};

class OtherProcessesWorld final : public SeamsWorld {
public:
    OtherProcessesWorld(Log& log, bool dialog) : remote_(w_, log), process_(log), dialog_(log), hasDialog_(dialog) {}
    std::string_view name() const override { return "outlook"; }

    platform::WindowHandle outlookMainWindow() const override { return w_.outlookMainWindow(); }
    RemoteOutlook* remoteOutlook() override { return &remote_; }
    NotifierProcess* notifierProcess() override { return &process_; }
    RemoteOptionsDialog* remoteOptionsDialog() override { return hasDialog_ ? &dialog_ : nullptr; }

private:
    FakeRemote remote_;
    FakeProcess process_;
    FakeDialog dialog_;
    bool hasDialog_;
};

struct WorldRun {
    Log log;
    Outcome outcome;
};

// With `dialog`, Outlook hosts the options page in its own process.
WorldRun runOnOutlookWorld(const std::string& body, bool dialog = true)
{
    WorldRun run;
    run.outcome = runText("# world: outlook\n" + body, std::make_unique<OtherProcessesWorld>(run.log, dialog));
    return run;
}

TEST(OutlookWorld, OutlookCommandsAndItemChecksGoToTheRemoteOutlook)
{
    const WorldRun run = runOnOutlookWorld("outlook start\n"
                                      "folder Inbox/Spam\n"
                                      "mail a in Inbox from ann@example.com subject \"Agenda\"\n"
                                      "move a Inbox/Spam\n"
                                      "expect item a in Inbox/Spam\n"
                                      "mark-read a\n"
                                      "expect item a read\n"
                                      "outlook title \"Calendar - Microsoft Outlook\"\n"
                                      "outlook busy 2s\n"
                                      "expect busy-answers at-least 3\n"
                                      "outlook quit-during MailItem.Subject\n"
                                      "expect tray-icon removed\n"
                                      "expect outlook-message 0x407 2\n"
                                      "expect outlook window maximized\n"
                                      "outlook kill\n"
                                      "expect tray-icon absent\n");
    EXPECT_EQ(run.outcome.status, 0) << run.outcome.errors;
    EXPECT_EQ(run.log.calls, (std::vector<std::string>{"start", "deliver Agenda from ann@example.com",
                                                       "title Calendar - Microsoft Outlook", "busy 2000 reject",
                                                       "quit during MailItem.Subject", "kill"}));
    EXPECT_NE(run.outcome.transcript.find("world: Outlook answers calls busy (reject) for 2000 ms"), std::string::npos);
}

TEST(OutlookWorld, ItemChecksFailAgainstTheRemoteOutlooksState)
{
    const WorldRun run = runOnOutlookWorld("outlook start\nmail a in Inbox subject \"Agenda\"\nexpect item a read\n");
    EXPECT_EQ(run.outcome.status, 1);
    EXPECT_NE(run.outcome.errors.find("expected read, found unread in Inbox"), std::string::npos) << run.outcome.errors;

    // A member is named as the calls are counted: Interface.Member.
    EXPECT_EQ(parseError("# world: outlook\noutlook quit-during Subject\n"),
              "t.qls:2: outlook quit-during: MEMBER is Interface.Member, as Outlook's calls are counted "
              "(\"MailItem.Subject\"), not 'Subject'");

    const WorldRun busy = runOnOutlookWorld("outlook start\nexpect busy-answers at-least 4\n");
    EXPECT_EQ(busy.outcome.status, 1);
    EXPECT_NE(busy.outcome.errors.find("expected at least 4 call(s) answered busy, found 3"), std::string::npos);
}

TEST(OutlookWorld, StartAndTheNotifiersLifeAreTheProcesss)
{
    const WorldRun run = runOnOutlookWorld("expect running\n");
    EXPECT_EQ(run.outcome.errors, "t.qls:2: expect running failed: expected the notifier running, found it never "
                                  "started\n");

    const WorldRun life = runOnOutlookWorld("outlook start\nstart\nexpect running\nclick btnClose\nexpect ended status 0\n");
    EXPECT_EQ(life.outcome.status, 0) << life.outcome.errors;
    EXPECT_EQ(life.log.calls, (std::vector<std::string>{"start", "QLN.exe starts", "click btnClose"}));

    const WorldRun status = runOnOutlookWorld("start\nclick btnClose\nexpect ended status 1\n");
    EXPECT_EQ(status.outcome.errors, "t.qls:4: expect ended status 1 failed: expected exit status 1, found exit "
                                     "status 0\n");
    const WorldRun hidden = runOnOutlookWorld("start\nclick btnClose\nexpect popup visible\n");
    EXPECT_EQ(hidden.outcome.errors, "t.qls:4: expect popup visible failed: expected the popup visible, found no "
                                     "popup (it has ended (exit code 0))\n");
}

TEST(OutlookWorld, WhatNeedsTheNotifierInThisProcessIsRefused)
{
    struct Case {
        const char* step;
        const char* what;
    };
    const Case cases[] = {
        {"expect state CurrentSlot 0", "its own state"},
        {"expect lblSubject caption \"Agenda\"", "the properties of its forms' controls"},
        {"expect form frmNewMail shown", "its forms"},
        {"expect timer tmrFade off", "its timers"},
        {"expect hotkey 0x7A 2", "the hot key it registered; `press` it instead"},
        {"snapshot popup.png frmNewMail", "the picture of one of its forms; `snapshot FILE` takes the screen"},
        {"mouse btnClose down 3 3", "mouse on frmNewMail.btnClose"},
        {"click frmGetStart.btnOK", "click on frmGetStart.btnOK"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const WorldRun run = runOnOutlookWorld(std::string("start\n") + c.step + "\n");
        EXPECT_EQ(run.outcome.status, 1);
        EXPECT_EQ(run.outcome.errors, std::string("t.qls:3: ") + c.step + ": needs the notifier in this process (" +
                                          c.what + "); on the outlook world it is QLN.exe, read only from outside\n");
    }
}

TEST(OutlookWorld, WithoutOutlooksDialogTheOptionsPageStaysInTheRunnersProcess)
{
    // Outlook hosts the page here: its forms are the runner's, whatever process the notifier is.
    const WorldRun run = runOnOutlookWorld("outlook start\nstart\npage open\nexpect form QLNOptions shown\n"
                                           "expect QLNOptions.txtDismissTime text \"90\"\n",
                                           false);
    EXPECT_EQ(run.outcome.status, 0) << run.outcome.errors;
}

TEST(OutlookWorld, ThePageStepsAndItsInputGoToOutlooksDialog)
{
    const WorldRun run = runOnOutlookWorld("outlook start\npage open\nexpect page shown\nexpect page clean\n"
                                           "tab QLNOptions.TabOne1 3\n"
                                           "set QLNOptions.txtAddBWList \"@spam.example\"\n"
                                           "enter QLNOptions.txtAddBWList\n"
                                           "expect page dirty\n"
                                           "page apply\nexpect page clean\n"
                                           "key QLNOptions.txtHKDismiss 0x7A 2\nkey QLNOptions 9 1\n"
                                           "blur QLNOptions.txtDismissTime\nclick frmWinPos.chkTopLeft\n"
                                           "slide QLNOptions.sliTransparencyLevel 30\n"
                                           "select QLNOptions.lstBList 2\n"
                                           "color QLNOptions.cpkBackColor 0x123456\n"
                                           "expect page status-changes 8\n"
                                           "font-dialog \"Liberation Mono\" 12 0xFF\nfont-dialog cancel\n"
                                           "page close\npage open\npage apply\npage close\n"
                                           "expect page absent\n");
    EXPECT_EQ(run.outcome.status, 0) << run.outcome.errors;
    EXPECT_EQ(run.log.calls,
              (std::vector<std::string>{"start", "options open", "tab QLNOptions.TabOne1 3",
                                        "set QLNOptions.txtAddBWList @spam.example",
                                        "key QLNOptions.txtAddBWList 13 0", "apply", "key QLNOptions.txtHKDismiss 122 2",
                                        "key QLNOptions 9 1", "key QLNOptions 9 0", "click frmWinPos.chkTopLeft",
                                        "slide QLNOptions.sliTransparencyLevel 30", "select QLNOptions.lstBList 2",
                                        "color QLNOptions.cpkBackColor 1193046",
                                        "font answer Liberation Mono 12.000000 255", "font answer cancel", "cancel", "options open", "apply", "cancel"}));
    // Apply on a clean page is a click on a disabled button.
    EXPECT_NE(run.outcome.transcript.find("page: Apply is disabled (no page is dirty): the click does nothing"),
              std::string::npos)
        << run.outcome.transcript;

    const WorldRun clean = runOnOutlookWorld("outlook start\npage open\nexpect page dirty\n");
    EXPECT_EQ(clean.outcome.errors, "t.qls:4: expect page dirty failed: expected the page dirty, found the page clean\n");
    const WorldRun closed = runOnOutlookWorld("outlook start\npage open\npage close\nexpect page shown\n");
    EXPECT_EQ(closed.outcome.errors, "t.qls:5: expect page shown failed: expected the page shown, found no page\n");
}

TEST(OutlookWorld, WhatNeedsThePageInThisProcessIsRefused)
{
    struct Case {
        const char* step;
        const char* what;
    };
    const Case cases[] = {
        {"expect QLNOptions.txtDismissTime text 90", "the properties of its controls"},
        {"expect form frmWinPos shown", "its forms"},
        {"snapshot page.png QLNOptions", "the picture of one of its forms; `snapshot FILE` takes the screen"},
        {"mousedown QLNOptions.lstBList",
         "mousedown on QLNOptions.lstBList; there it takes click, set, key, enter, blur, tab, slide, select and "
         "color"},

        {"close frmWinPos", "its window's close box; click frmWinPos.btnCancel there"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        const WorldRun run = runOnOutlookWorld(std::string("outlook start\npage open\n") + c.step + "\n");
        EXPECT_EQ(run.outcome.status, 1);
        EXPECT_EQ(run.outcome.errors, std::string("t.qls:4: ") + c.step + ": needs the options page in this process (" +
                                          c.what + "); on the outlook world Outlook hosts it in its own, read only "
                                                   "from outside\n");
    }
}

TEST(OutlookWorld, AFontAnswerOutlooksDialogCannotGiveIsRefused)
{
    const WorldRun run = runOnOutlookWorld("outlook start\npage open\nfont-dialog Arial 12 0x1000000\n");
    EXPECT_EQ(run.outcome.status, 1);
    EXPECT_EQ(run.outcome.errors, "t.qls:4: font-dialog: the font dialog offers no such colour\n");
}

TEST(OutlookWorld, NoClickClearsAListsSelectionInOutlooksDialog)
{
    const WorldRun run = runOnOutlookWorld("outlook start\npage open\nselect QLNOptions.lstBList -1\n");
    EXPECT_EQ(run.outcome.status, 1);
    EXPECT_NE(run.outcome.errors.find("no click clears the selection of QLNOptions.lstBList in Outlook's dialog"),
              std::string::npos)
        << run.outcome.errors;
    EXPECT_EQ(std::count(run.log.calls.begin(), run.log.calls.end(), "select QLNOptions.lstBList -1"), 0);
}

TEST(OutlookWorld, OnlyAnOutlookInAnotherProcessIsKilledOrMadeBusy)
{
    for (const char* step : {"outlook kill", "outlook busy 1s retry", "expect busy-answers at-least 1"}) {
        SCOPED_TRACE(step);
        const Outcome o = runText(std::string("outlook start\n") + step + "\n");
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.errors, std::string("t.qls:2: ") + step +
                                ": needs Outlook in another process (the stand-in); this run is on the simulated world\n");
    }
}

} // namespace
} // namespace qln::runner
