#pragma once
// A scenario's run: the world it runs on, the transcript, the names the scenario gave to items, and
// the steps run one after the other. Commands' actions reach the world and the checks through it.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "apps/qln-sim/Scenario.h"
#include "apps/qln-sim/ScenarioWorld.h"
#include "apps/qln-sim/Text.h"
#include "apps/qln-sim/Transcript.h"
#include "platform/Desktop.h"
#include "platform/EntryGuard.h"
#include "platform/draw/Surface.h"
#include "platform/forms/FontDialog.h"

namespace forms {
class FormsHost;
}

namespace platform {
class FontEngine;
}

namespace qln {
class NotifierServices;
class OptionsServices;
class QLNOptions;
class frmNewMail;
} // namespace qln

namespace qln::runner {

class ObservedLoop;

// An expect that did not hold.
class CheckFailure : public std::runtime_error {
public:
    CheckFailure(std::string expected, std::string found)
        : std::runtime_error("expected " + expected + ", found " + found), expected_(std::move(expected)),
          found_(std::move(found))
    {
    }
    const std::string& expected() const { return expected_; }
    const std::string& found() const { return found_; }

private:
    std::string expected_;
    std::string found_;
};

// A step the world cannot run: it needs a capability this world lacks.
class WorldRefusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct RunOptions {
    std::ostream* transcript = nullptr;  // nullptr: no transcript
    std::string outDir = ".";            // where snapshots go
};

class Runtime {
public:
    // Runs on `world`; without one, on the simulated world.
    explicit Runtime(RunOptions options = {}, std::unique_ptr<ScenarioWorld> world = nullptr);
    ~Runtime();
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

    // Runs every step; returns the exit status (0 every step ran and every check held, 1 a check
    // failed or the world refused a step). The reason for a non-zero status goes to `errors` as
    // "FILE:LINE: ...".
    int run(const Scenario& scenario, std::ostream& errors);

    ScenarioWorld& world() { return *world_; }
    // The capabilities of the world that only some worlds have (see ScenarioWorld). Each throws
    // WorldRefusal when this world lacks it: the step is refused, the scenario cannot go on.
    // Commands ask for what they need before they tell what they do, so a refused step leaves no
    // line in the transcript.
    platform::sim::SimOutlook& simOutlook() { return need(world_->simulatedOutlook(), "a simulated Outlook"); }
    // Outlook as the scenario drives it: the world's remote one, else the simulated one.
    WorldOutlook& mailClient();
    // The notifier in another process, or nullptr when it runs in this one.
    NotifierProcess* notifierProcess() const { return world_->notifierProcess(); }
    // Refuses a step that needs the notifier in this process when it runs in another.
    void needNotifierInProcess(std::string_view what) const;
    // Outlook's Options dialog in another process, or nullptr when the page runs in this one.
    RemoteOptionsDialog* remoteOptionsDialog() const { return world_->remoteOptionsDialog(); }
    // Refuses a step that needs the options page in this process when Outlook hosts it in another.
    void needPageInProcess(std::string_view what) const;
    platform::sim::SimDesktop& simDesktop() { return need(world_->simulatedDesktop(), "the simulated desktop"); }
    platform::sim::SimSystemInfo& simMachine() { return need(world_->simulatedMachine(), "a simulated machine"); }
    // The registry, files and desktop as the scenario drives them; every world has them.
    WorldRegistry& worldRegistry() { return need(world_->scenarioRegistry(), "the scenario's registry"); }
    WorldFiles& worldFiles() { return need(world_->scenarioFiles(), "the scenario's files"); }
    WorldDesktop& worldDesktop() { return need(world_->scenarioDesktop(), "a desktop driven from outside"); }
    platform::sim::SimLoop& virtualClock() { return need(world_->virtualClock(), "a virtual clock"); }
    platform::sim::Faults& faults(FaultTarget target) { return need(world_->faults(target), "fault injection"); }
    template <class Capability>
    Capability& need(Capability* capability, std::string_view what) const
    {
        if (!capability)
            refuse(what);
        return *capability;
    }
    [[noreturn]] void refuse(std::string_view what) const;
    const RunOptions& options() const { return options_; }

    // A transcript line at the current virtual time.
    void note(std::string_view source, std::string_view event);
    const Transcript& transcript() const { return transcript_; }

    // The text with its references replaced by the identifiers they name now.
    std::string resolve(const Text& text);

    // Items named by the scenario.
    void nameItem(const std::string& ref, const std::string& entryID);
    const std::string& itemID(const std::string& ref) const;
    // "a" for an item the scenario named, else its EntryID.
    std::string describeItem(const std::string& entryID) const;
    // A desktop report with the item windows in it named after their items' REFs.
    std::string nameItemWindows(std::string line) const;

    // A window by its scenario name: a `window` line's NAME, "outlook", "outlook-tray", or "@REF" for
    // an item's window. Throws std::invalid_argument when no such window is open.
    platform::WindowHandle window(const std::string& name) const;
    // The same, NoWindow when it is not open.
    platform::WindowHandle findWindow(const std::string& name) const;
    // How a window reads in a message: its name, "popup", or class and title.
    std::string describeWindow(platform::WindowHandle window) const;

    // The notifier's popup window; NoWindow until the notifier runs. The part that starts the
    // notifier sets the source.
    std::function<platform::WindowHandle()> popupWindowSource;
    platform::WindowHandle popupWindow() const;

    // Every form of the system registers here (VB's Forms collection); scenarios find forms,
    // controls and timers by name through it. Forms and the notifier run on the world's loop, their
    // timer ticks observed for the transcript (ObservedLoop).
    forms::FormsHost& forms() { return *forms_; }
    // `start`: the notifier's services over the world's seams, the popup frmNewMail, and its load
    // (the start-up sequence). Once per run.
    void startNotifier();
    // The popup, which owns the notifier's state; nullptr before `start`. It stays after the
    // notifier ends, unloaded.
    frmNewMail* notifier() const { return notifier_.get(); }
    // The notifier program's exit status once it has ended: 0 after Outlook went away, 1 when it
    // could not start.
    int notifierExitStatus() const { return notifierExitStatus_; }

    // The options page, as Outlook's Options dialog hosts it. `page open` creates it (it loads
    // every setting), shows it and attaches a site that counts the page's status changes;
    // `page apply` is the dialog's Apply; `page close` destroys the page, and with it an open
    // window position dialog. The parser lets these through only in that order; here a step out
    // of order throws std::invalid_argument.
    // On a world whose Outlook hosts the page in its own process, the same steps are clicks in
    // that Outlook's Options dialog.
    void openPage();
    void applyPage();
    void closePage();
    // The open page, or nullptr.
    QLNOptions* page() const { return page_.get(); }
    // Status changes the page's site received since the page was opened.
    int pageStatusChanges() const;

    // `font-dialog`: the answer of the next font dialog (nullopt: it is cancelled). An answer serves
    // one dialog; without one a dialog is cancelled.
    void prepareFontAnswer(std::optional<forms::FontChoice> answer) { fontAnswer_ = std::move(answer); }

    // Why a form cannot be found now: "was never created", or "is gone" once it was.
    std::string describeMissingForm(std::string_view form) const;

    // `fonts fixed|real`: the engine the forms measure and draw with from now on. Real fonts are
    // FreeType's where the build has it; without it, or when it cannot start, the fixed metrics stay
    // and the transcript says so.
    void useFonts(platform::sim::FontMode mode);

    // The screen as the user sees it: the desktop's plain colour, with the popup at its window's
    // bounds while it is visible, blended by its alpha when translucent. Other programs' windows
    // are left out: the simulated desktop gives them no place on the screen.
    draw::Surface screenPicture() const;
    // `snapshot`: the screen (`form` empty) or one form alone, as a PNG under --out (missing folders
    // are created). Throws std::runtime_error when the form was never created or the file cannot
    // be written.
    void snapshot(const std::string& file, const std::string& form);

    // The message boxes checked so far, oldest first: `expect msgbox` checks the next one.
    std::size_t checkedMessageBoxes() const { return checkedMessageBoxes_; }
    void messageBoxChecked() { ++checkedMessageBoxes_; }

    // Between `batch` and `end` commands only post their events; the loop runs at `end`.
    void beginBatch() { inBatch_ = true; }
    void endBatch();
    bool inBatch() const { return inBatch_; }

    // Throws CheckFailure unless the check held.
    static void expect(bool held, const std::string& expected, const std::string& found);

private:
    void hookTranscript();
    // Transcript lines for what the forms changed since the last look: the popup's compositions,
    // forms shown, hidden and unloaded, the notifier's end. Runs before every transcript line,
    // after every step and after every tick of a form's timer.
    void observeForms();
    void observeCompositions();

    // How a form looked at the last observation.
    enum class FormLook { Unloaded, Hidden, Shown };
    void observeLook(const std::string& form, FormLook look);

    RunOptions options_;
    Transcript transcript_;
    // Declared so that the forms go first, then their host and loop, and the world last.
    std::unique_ptr<ScenarioWorld> world_;
    std::unique_ptr<ObservedLoop> formsLoop_;
    std::unique_ptr<platform::FontEngine> fonts_;  // set by `fonts`; else the host's own fixed engine
    std::unique_ptr<forms::FormsHost> forms_;
    std::unique_ptr<NotifierServices> services_;
    std::unique_ptr<frmNewMail> notifier_;
    class SimMailClient;
    std::unique_ptr<SimMailClient> simMailClient_;
    class PageSite;
    std::unique_ptr<OptionsServices> optionsServices_;
    std::unique_ptr<PageSite> pageSite_;
    std::unique_ptr<QLNOptions> page_;
    bool pageFailed_ = false;  // the last `page open` could not create the page
    bool remoteDialogOpen_ = false;  // `page open` opened the remote Options dialog
    std::optional<forms::FontChoice> fontAnswer_;
    std::map<std::string, FormLook, std::less<>> formLooks_;
    std::size_t compositionsSeen_ = 0;
    bool observing_ = false;  // an observation's own lines do not observe again
    bool closing_ = false;    // the scenario is over: the teardown is not an event of it
    std::size_t checkedMessageBoxes_ = 0;
    std::map<std::string, std::string, std::less<>> items_;    // REF -> EntryID
    std::map<std::string, std::string, std::less<>> itemRefs_; // EntryID -> REF
    bool inBatch_ = false;
    int notifierExitStatus_ = 0;
    platform::EntryFailureReporter previousReporter_;
};

} // namespace qln::runner
