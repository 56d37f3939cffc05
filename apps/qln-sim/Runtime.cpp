#include "apps/qln-sim/Runtime.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>
#include <type_traits>

#include "apps/qln-sim/ObservedLoop.h"
#include "apps/qln-sim/Values.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/window/frmNewMail.h"
#include "options/OptionsServices.h"
#include "options/QLNOptions.h"
#include "platform/EntryGuard.h"
#include "platform/Failure.h"
#include "platform/draw/Colour.h"
#include "platform/draw/Png.h"
#include "platform/fonts/FixedFontEngine.h"
#include "platform/forms/Form.h"
#ifdef QLN_HAVE_FREETYPE
#include "platform/fonts/FreeTypeFontEngine.h"
#elif defined(_WIN32)
#include "platform/win32/GdiFontEngine.h"
#endif

namespace qln::runner {

namespace {

std::string hiveName(platform::Hive hive)
{
    return hive == platform::Hive::CurrentUser ? "HKCU" : "HKLM";
}

// SimWorld ties Outlook to the desktop through these observers: keep what it set, then report.
template <class... A>
void chain(std::function<void(A...)>& slot, std::type_identity_t<std::function<void(A...)>> added)
{
    slot = [previous = std::move(slot), added = std::move(added)](A... args) {
        if (previous)
            previous(args...);
        added(args...);
    };
}

constexpr std::string_view kPopupForm = "frmNewMail";

std::string describeComposeKind(ComposeKind kind)
{
    switch (kind) {
    case ComposeKind::Arrival: return "arrival";
    case ComposeKind::ArrivalByIdentifiers: return "arrival from the queue";
    case ComposeKind::HistoryView: return "history view";
    }
    return "?";
}

} // namespace

// The simulated Outlook as the scenario drives it.
class Runtime::SimMailClient final : public WorldOutlook {
public:
    SimMailClient(ScenarioWorld& world, platform::sim::SimOutlook& outlook) : world_(world), outlook_(outlook) {}
    void start() override { world_.outlookStart(); }
    void quit() override { world_.outlookQuit(); }
    void addStore(const std::string& name) override { outlook_.addStore(name); }
    void addFolder(const std::string& path, const std::string& messageClass,
                   const std::optional<std::string>& store) override
    {
        outlook_.addFolder(path, messageClass, store);
    }
    void deleteFolder(const std::string& path) override { outlook_.deleteFolder(path); }
    std::string deliver(const std::string& folder, const platform::sim::MailSpec& mail) override
    {
        return outlook_.deliver(folder, mail);
    }
    void move(const std::string& entryID, const std::string& folder) override { outlook_.move(entryID, folder); }
    void setUnread(const std::string& entryID, bool unread) override { outlook_.setUnread(entryID, unread); }
    void deleteItem(const std::string& entryID) override { outlook_.deleteItem(entryID); }
    void purge(const std::string& entryID) override { outlook_.purge(entryID); }
    void setPickFolderAnswer(const std::optional<std::string>& folder) override { outlook_.setPickFolderAnswer(folder); }
    std::optional<platform::sim::ItemState> item(const std::string& entryID) const override
    {
        return outlook_.item(entryID);
    }
    bool folderExists(const std::string& path) const override { return outlook_.folderExists(path); }
    std::string folderEntryID(const std::string& path) const override { return outlook_.folderEntryID(path); }
    std::string folderStoreID(const std::string& path) const override { return outlook_.folderStoreID(path); }
    std::string defaultStoreName() const override { return outlook_.defaultStoreName(); }

private:
    ScenarioWorld& world_;
    platform::sim::SimOutlook& outlook_;
};

WorldOutlook& Runtime::mailClient()
{
    if (RemoteOutlook* remote = world_->remoteOutlook())
        return *remote;
    if (!simMailClient_)
        simMailClient_ = std::make_unique<SimMailClient>(*world_, simOutlook());
    return *simMailClient_;
}

void Runtime::needNotifierInProcess(std::string_view what) const
{
    if (world_->notifierProcess())
        throw WorldRefusal("needs the notifier in this process (" + std::string(what) + "); on the " +
                           std::string(world_->name()) + " world it is QLN.exe, read only from outside");
}

void Runtime::needPageInProcess(std::string_view what) const
{
    if (world_->remoteOptionsDialog())
        throw WorldRefusal("needs the options page in this process (" + std::string(what) + "); on the " +
                           std::string(world_->name()) + " world Outlook hosts it in its own, read only from outside");
}

Runtime::Runtime(RunOptions options, std::unique_ptr<ScenarioWorld> world)
    : options_(std::move(options)), transcript_(options_.transcript),
      world_(world ? std::move(world) : std::make_unique<SimScenarioWorld>()),
      formsLoop_(std::make_unique<ObservedLoop>(*world_, [this] { observeForms(); })),
      forms_(std::make_unique<forms::FormsHost>(world_->desktop(), *formsLoop_))
{
    // The forms read the screen's DPI at every use, so `dpi` before `start` reaches them.
    forms_->setSystemInfo(world_->system());
    if (auto engine = world_->startingFonts()) {
        forms_->setFontEngine(*engine);
        fonts_ = std::move(engine);
    }
    world_->hostForms(forms_.get());
    hookTranscript();
    // A failure that ends an entry point of the system early (a tick, an input, an event from
    // Outlook, the notifier's start, a call of the Options dialog) is an event of the run.
    previousReporter_ =
        platform::setEntryFailureReporter([this](std::string_view entry, const platform::Failure& failure) {
            note("system", std::string(entry) + " ended early: " + failure.what());
        });
}

// The site Outlook's Options dialog gives the page: it counts the status changes and, as the
// dialog does, asks the page whether it is dirty at each.
class Runtime::PageSite final : public platform::outlook::PropertyPageSite {
public:
    explicit PageSite(Runtime& rt) : rt_(rt) {}

    void OnStatusChange() override
    {
        ++changes_;
        QLNOptions* page = rt_.page();
        rt_.note("page", "status change " + std::to_string(changes_) + ": the dialog asks Dirty: " +
                             (page && page->Dirty() ? "true" : "false"));
    }
    int changes() const { return changes_; }

private:
    Runtime& rt_;
    int changes_ = 0;
};

Runtime::~Runtime()
{
    // Unloading the popup and the page at the end disconnects, destroys windows and the like: not
    // the scenario's.
    closing_ = true;
    page_.reset();
    pageSite_.reset();
    notifier_.reset();
    world_->hostForms(nullptr);
    platform::setEntryFailureReporter(std::move(previousReporter_));
}

void Runtime::openPage()
{
    if (page_)
        throw std::invalid_argument("page open: the options page is open already");
    if (RemoteOptionsDialog* dialog = world_->remoteOptionsDialog()) {
        if (remoteDialogOpen_)
            throw std::invalid_argument("page open: the options page is open already");
        note("page", "Outlook's Options dialog opens: Outlook creates the options page from its DLL");
        if (dialog->open())
            note("page", std::string("opened in Outlook's dialog: Dirty ") + (dialog->pageDirty() ? "true" : "false"));
        else
            note("page", "cannot be created: the Options dialog goes on without it");
        remoteDialogOpen_ = true;
        return;
    }
    auto& w = *world_;
    note("page", "Outlook creates the options page");
    optionsServices_ =
        std::make_unique<OptionsServices>(w.registry(), w.files(), w.system(), w.desktop(), *formsLoop_, w.outlook());
    optionsServices_->fontChooser = [this](std::int32_t, const forms::FontChoice& current)
        -> std::optional<forms::FontChoice> {
        const std::optional<forms::FontChoice> answer = std::exchange(fontAnswer_, std::nullopt);
        if (!answer) {
            note("forms", "the font dialog opens and is cancelled");
            return std::nullopt;
        }
        // The user picks a face, a size and a colour; the styles stay as the dialog opened with them.
        forms::FontChoice chosen = current;
        chosen.FontName = answer->FontName;
        chosen.FontSize = answer->FontSize;
        chosen.Color = answer->Color;
        note("forms", "the font dialog opens and answers " + quoteText(chosen.FontName) + " " +
                          formatDecimal(chosen.FontSize) + " pt, colour " + formatColour(chosen.Color));
        return chosen;
    };
    // The dialog's calls into the page are entry points: a failure in one is the page's answer
    // to that call, never an exception thrown into Outlook.
    const bool created = platform::guardEntry("the options page's creation", [&] {
        page_ = std::make_unique<QLNOptions>(*forms_, *optionsServices_);
        page_->Show();
    });
    if (!created) {
        // A page that cannot be made is not shown; the dialog goes on with its other pages.
        page_.reset();
        optionsServices_.reset();
        pageFailed_ = true;
        note("page", "cannot be created: the Options dialog goes on without it");
        return;
    }
    pageFailed_ = false;
    pageSite_ = std::make_unique<PageSite>(*this);
    page_->UserControl_InitProperties(pageSite_.get());
    note("page", std::string("opened, site attached: Dirty ") + (page_->Dirty() ? "true" : "false"));
}

void Runtime::applyPage()
{
    if (RemoteOptionsDialog* dialog = world_->remoteOptionsDialog()) {
        if (!remoteDialogOpen_)
            throw std::invalid_argument("page apply: the options page is not open");
        note("world", "the user clicks Apply in Outlook's Options dialog");
        if (!dialog->apply())
            note("page", "Apply is disabled (no page is dirty): the click does nothing");
        else
            note("page", std::string("applied: Dirty ") + (dialog->pageDirty() ? "true" : "false"));
        return;
    }
    if (!page_ && pageFailed_) {
        note("page", "the Options dialog's Apply: there is no page to apply (it could not be created)");
        return;
    }
    if (!page_)
        throw std::invalid_argument("page apply: the options page is not open");
    note("page", "Outlook calls Apply");
    if (!platform::guardEntry("the options page's Apply", [&] { page_->Apply(); }))
        note("page", "Apply failed: the dialog stays open");
    note("page", std::string("applied: Dirty ") + (page_->Dirty() ? "true" : "false"));
}

void Runtime::closePage()
{
    if (RemoteOptionsDialog* dialog = world_->remoteOptionsDialog()) {
        if (!remoteDialogOpen_)
            throw std::invalid_argument("page close: the options page is not open");
        note("world", "the user clicks Cancel in Outlook's Options dialog");
        dialog->close();
        remoteDialogOpen_ = false;
        note("page", "the Options dialog closes: the page is destroyed");
        return;
    }
    if (!page_ && pageFailed_) {
        pageFailed_ = false;
        note("page", "the Options dialog closes (it had no page of ours)");
        return;
    }
    if (!page_)
        throw std::invalid_argument("page close: the options page is not open");
    note("page", "the Options dialog closes: the page is destroyed");
    page_.reset();
    pageSite_.reset();
    optionsServices_.reset();
    observeForms();
}

int Runtime::pageStatusChanges() const { return pageSite_ ? pageSite_->changes() : 0; }

std::string Runtime::describeMissingForm(std::string_view form) const
{
    return formLooks_.contains(form) ? "is gone (destroyed)" : "was never created";
}

void Runtime::startNotifier()
{
    if (notifier_)
        throw std::logic_error("the notifier starts once a run");  // the parser lets one start through
    if (NotifierProcess* process = world_->notifierProcess()) {
        note("notifier", "starts: QLN.exe");
        process->start();
        popupWindowSource = [process] { return process->popupWindow(); };
        if (process->running())
            note("notifier", process->startedElsewhere() ? "QLN.exe runs (Outlook's add-in started it)"
                                                         : "QLN.exe runs");
        else
            note("notifier", "QLN.exe has ended, exit code " + std::to_string(process->exitCode().value_or(-1)));
        return;
    }
    note("notifier", "starts: frmNewMail loads");
    auto& w = *world_;
    services_ = std::make_unique<NotifierServices>(w.registry(), w.files(), w.system(), w.desktop(), *formsLoop_,
                                                   w.clock(), w.outlook());
    notifier_ = std::make_unique<frmNewMail>(*forms_, *services_);
    popupWindowSource = [this] {
        return notifier_ && notifier_->Loaded() ? notifier_->hWnd() : platform::NoWindow;
    };
    if (!notifier_->Start()) {
        notifierExitStatus_ = frmNewMail::kExitCannotStart;
        observeForms();
        note("notifier", "cannot start: it ends with exit status " + std::to_string(notifierExitStatus_));
    }
}

void Runtime::useFonts(platform::sim::FontMode mode)
{
    if (!world_->setFontMode(mode) && mode == platform::sim::FontMode::Fixed)
        refuse("fixed font metrics");
    std::unique_ptr<platform::FontEngine> engine;
    std::string told = "fixed font metrics";
    if (mode == platform::sim::FontMode::Real) {
#ifdef QLN_HAVE_FREETYPE
        try {
            engine = std::make_unique<fonts::FreeTypeFontEngine>();
            told = "the platform's fonts (FreeType and fontconfig)";
        } catch (const platform::Failure& failure) {
            told = "fixed font metrics: real fonts cannot start (" + std::string(failure.what()) + ")";
        }
#elif defined(_WIN32)
        try {
            engine = std::make_unique<platform::win32::GdiFontEngine>();
            told = "the platform's fonts (GDI)";
        } catch (const platform::Failure& failure) {
            told = "fixed font metrics: real fonts cannot start (" + std::string(failure.what()) + ")";
        }
#else
        told = "fixed font metrics: this build has no real fonts (FreeType and fontconfig were not found)";
#endif
    }
    if (!engine)
        engine = std::make_unique<fonts::FixedFontEngine>();
    // The host points at the new engine before the old one goes.
    forms_->setFontEngine(*engine);
    fonts_ = std::move(engine);
    note("world", told);
}

draw::Surface Runtime::screenPicture() const
{
    if (auto captured = world_->captureScreen(std::nullopt))
        return std::move(*captured);
    auto& system = world_->system();
    draw::Surface screen(std::max(system.screenWidth(), 1), std::max(system.screenHeight(), 1),
                         draw::systemColour(draw::syscolour::Background));
    const platform::WindowHandle window = popupWindow();
    const ScenarioWorld& world = *world_;
    if (!notifier_ || window == platform::NoWindow || !world.visible(window))
        return screen;
    const draw::Surface popup = notifier_->render();
    const platform::WindowRect at = world.bounds(window);
    const std::optional<int> alpha = world.alpha(window);
    // The window's size rules on screen; the form paints what it has and the rest keeps its face.
    const draw::Rect area = draw::Rect::ofSize(at.left, at.top, at.width, at.height).intersected(screen.bounds());
    const draw::Rgb face = draw::resolveColour(notifier_->BackColor());
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const draw::Rgb own = popup.pixel(x - at.left, y - at.top).value_or(face);
            screen.setPixel(x, y, alpha ? draw::blend(*screen.pixel(x, y), own, *alpha) : own);
        }
    return screen;
}

void Runtime::snapshot(const std::string& file, const std::string& form)
{
    const std::filesystem::path path = std::filesystem::path(options_.outDir) / file;
    draw::Surface picture;
    if (form.empty()) {
        picture = screenPicture();
    } else {
        const forms::Form* shown = forms_->find(form);
        if (!shown)
            throw std::runtime_error("snapshot: " + form + " " + describeMissingForm(form) + ", so it has no picture");
        // A form on screen is what the screen shows of its window, where the world can tell.
        const platform::WindowHandle window = shown->Loaded() ? shown->hWnd() : platform::NoWindow;
        std::optional<draw::Surface> captured;
        if (window != platform::NoWindow && world_->visible(window))
            captured = world_->captureScreen(world_->bounds(window));
        picture = captured ? std::move(*captured) : shown->render();
        if (picture.empty())
            throw std::runtime_error("snapshot: " + form + " has no size (0 pixels), so it has no picture");
    }
    std::error_code error;
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path(), error);
    try {
        draw::writePng(picture, path);
    } catch (const platform::Failure& failure) {
        throw std::runtime_error("snapshot: " + std::string(failure.what()) +
                                 (error ? " (its folder cannot be made: " + error.message() + ")" : ""));
    }
    note("snapshot", (form.empty() ? std::string("the screen") : form) + ", " + std::to_string(picture.width()) +
                         " x " + std::to_string(picture.height()) + " pixels: " + path.string());
}

void Runtime::observeForms()
{
    if (observing_ || closing_)
        return;
    observing_ = true;
    observeCompositions();
    std::set<std::string, std::less<>> present;
    for (const forms::Form* form : forms_->forms()) {
        present.insert(form->Name());
        observeLook(form->Name(), !form->Loaded() ? FormLook::Unloaded
                                  : form->Visible() ? FormLook::Shown
                                                    : FormLook::Hidden);
    }
    // A form destroyed since the last look went with its window.
    for (const auto& [name, look] : formLooks_)
        if (look != FormLook::Unloaded && !present.contains(name))
            observeLook(name, FormLook::Unloaded);
    observing_ = false;
}

void Runtime::observeCompositions()
{
    if (!notifier_)
        return;
    const auto& compositions = notifier_->compositions();
    for (; compositionsSeen_ < compositions.size(); ++compositionsSeen_) {
        const frmNewMail::Composition& c = compositions[compositionsSeen_];
        const bool inTable = c.slot >= 0 && c.slot < kSlotTableSize;
        const std::string entryID =
            inTable ? notifier_->state().HistoryEntryID[static_cast<std::size_t>(c.slot)] : std::string();
        note("popup", "composes slot " + std::to_string(c.slot) + " (" + describeComposeKind(c.kind) + "): " +
                          (entryID.empty() ? "empty, the summary only" : "item " + describeItem(entryID)));
    }
}

void Runtime::observeLook(const std::string& form, FormLook look)
{
    FormLook& seen = formLooks_.try_emplace(form, FormLook::Unloaded).first->second;
    if (seen == look)
        return;
    const FormLook before = seen;
    seen = look;
    if (form == kPopupForm) {
        // Its load is the notifier's start, which `start` announces itself.
        if (look == FormLook::Unloaded)
            note("notifier", "ends: frmNewMail unloaded");
        else if (look == FormLook::Shown)
            note("popup", "shown");
        else if (before == FormLook::Shown)
            note("popup", "hidden");
        return;
    }
    // A form is loaded hidden and then shown: its load reads as such, not as hiding it.
    note("forms", form + (look == FormLook::Shown      ? " shown"
                          : look == FormLook::Unloaded ? " unloaded"
                          : before == FormLook::Unloaded ? " loads"
                                                         : " hidden"));
}

void Runtime::hookTranscript()
{
    // Only the system's own writes are reported; the scenario's are echoed by its commands.
    SystemWrites writes;
    writes.registry = [this](platform::Hive hive, const std::string& path, const std::string& name,
                             const RegValue& value) {
        note("registry", "set " + hiveName(hive) + "\\" + path + " " + quoteText(name) + " " + describeRegValue(value));
    };
    writes.files = [this](const std::string& operation, const std::string& path) {
        note("files", operation + " " + path);
    };
    world_->reportSystemWrites(std::move(writes));
    if (auto* simOutlook = world_->simulatedOutlook()) {
        auto& outlook = simOutlook->observers();
        chain(outlook.itemCall, [this](const std::string& entryID, const std::string& call) {
            note("outlook", "item " + describeItem(entryID) + ": " + call);
        });
        chain(outlook.displayed, [this](const std::string&, const std::string& title) {
            note("outlook", "window opened: " + quoteText(title));
        });
        chain(outlook.newMailIcon, [this] { note("outlook", "new-mail tray icon shown"); });
    }
    if (auto* desktop = world_->simulatedDesktop())
        chain(desktop->observers().call, [this](const std::string& line) { note("desktop", nameItemWindows(line)); });
}

std::string Runtime::nameItemWindows(std::string line) const
{
    // The desktop knows an item's window as "item:<EntryID>"; the scenario knows the item by its REF.
    static constexpr std::string_view kPrefix = "item:";
    for (std::size_t at = line.find(kPrefix); at != std::string::npos; at = line.find(kPrefix, at + 1)) {
        std::size_t end = at + kPrefix.size();
        while (end < line.size() && std::isxdigit(static_cast<unsigned char>(line[end])))
            ++end;
        const std::string entryID = line.substr(at + kPrefix.size(), end - at - kPrefix.size());
        if (entryID.empty())
            continue;
        const std::string named = "item " + describeItem(entryID) + "'s window";
        line.replace(at, end - at, named);
        at += named.size() - 1;
    }
    return line;
}

void Runtime::note(std::string_view source, std::string_view event)
{
    if (closing_)
        return;
    // What the forms did before this event is told before it.
    observeForms();
    transcript_.line(world_->nowMs(), source, event);
}

std::string Runtime::resolve(const Text& text)
{
    std::string out;
    for (const TextPart& part : text.parts()) {
        switch (part.kind) {
        case TextPart::Kind::Literal: out += part.text; break;
        case TextPart::Kind::Item: out += itemID(part.text); break;
        case TextPart::Kind::Folder:
            out += mailClient().folderEntryID(part.text);
            break;
        case TextPart::Kind::Store:
            out += mailClient().folderStoreID(part.text);
            break;
        }
    }
    return out;
}

void Runtime::nameItem(const std::string& ref, const std::string& entryID)
{
    items_[ref] = entryID;
    itemRefs_[entryID] = ref;
}

const std::string& Runtime::itemID(const std::string& ref) const
{
    const auto it = items_.find(ref);
    // The parser lets a reference through only after its `mail` line, which ran before it.
    if (it == items_.end())
        throw std::logic_error("item '" + ref + "' has not arrived");
    return it->second;
}

std::string Runtime::describeItem(const std::string& entryID) const
{
    const auto it = itemRefs_.find(entryID);
    return it == itemRefs_.end() ? entryID : it->second;
}

platform::WindowHandle Runtime::findWindow(const std::string& name) const
{
    if (name.size() > 1 && name[0] == '@')
        return world_->namedWindow("item:" + itemID(name.substr(1)));
    return world_->namedWindow(name);
}

platform::WindowHandle Runtime::window(const std::string& name) const
{
    const platform::WindowHandle handle = findWindow(name);
    if (handle == platform::NoWindow)
        throw std::invalid_argument("no window '" + name + "' is open");
    return handle;
}

std::string Runtime::describeWindow(platform::WindowHandle window) const
{
    if (window == platform::NoWindow)
        return "none";
    if (window == popupWindow())
        return "popup";
    const ScenarioWorld& world = *world_;
    std::string name = world.nameOf(window);
    if (name.starts_with("item:"))
        return "the window of item " + describeItem(name.substr(5));
    if (!name.empty())
        return name;
    return "a window of class " + quoteText(world.className(window)) + " titled " + quoteText(world.title(window));
}

platform::WindowHandle Runtime::popupWindow() const
{
    return popupWindowSource ? popupWindowSource() : platform::NoWindow;
}

void Runtime::endBatch()
{
    inBatch_ = false;
    world_->runPending();
}

void Runtime::refuse(std::string_view what) const
{
    throw WorldRefusal("needs the simulated world (" + std::string(what) + "); this run is on the " +
                       std::string(world_->name()) + " world");
}

void Runtime::expect(bool held, const std::string& expected, const std::string& found)
{
    if (!held)
        throw CheckFailure(expected, found);
}

int Runtime::run(const Scenario& scenario, std::ostream& errors)
{
    // A scenario for another world does not start: nothing of it runs.
    if (scenario.world != "any" && scenario.world != world_->name()) {
        errors << scenario.file << ":" << std::max(scenario.worldLine, 1) << ": the scenario needs the "
               << scenario.world << " world; this run is on the " << world_->name() << " world\n";
        return 1;
    }
    for (const Step& step : scenario.steps) {
        const std::string where = scenario.file + ":" + std::to_string(step.line) + ": ";
        try {
            step.action(*this);
            if (!inBatch_)
                world_->runPending();
            observeForms();
        } catch (const CheckFailure& failure) {
            errors << where << step.source << " failed: " << failure.what() << '\n';
            return 1;
        } catch (const WorldRefusal& refusal) {
            errors << where << step.source << ": " << refusal.what() << '\n';
            return 1;
        } catch (const ScenarioError& error) {
            errors << where << error.what() << '\n';
            return error.status();
        } catch (const platform::Failure& failure) {
            // The world's own actions never fail; one that does is reported, not absorbed.
            errors << where << "the world failed: " << failure.what() << '\n';
            return 1;
        } catch (const std::exception& error) {
            // What the world refuses (an unknown folder, a window already closed) or a step that
            // never settles: the scenario cannot go on.
            errors << where << error.what() << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace qln::runner
