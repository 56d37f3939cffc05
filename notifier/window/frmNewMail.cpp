#include "notifier/window/frmNewMail.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "notifier/core/OutlookWindows.h"
#include "notifier/window/PopupButtons.h"
#include "notifier/window/frmGetStart.h"
#include "platform/EntryGuard.h"
#include "platform/Failure.h"
#include "platform/Lang.h"

namespace qln {

namespace {

// Design geometry in twips; the layout moves what depends on the window's size.
constexpr double kDesignWidth = 3000;             // the minimum width at 96 dpi
constexpr double kDesignHeight = 975;             // the summary-only height at 96 dpi
constexpr double kRowLeft = 120;
constexpr double kRowWidth = kDesignWidth - 315;  // 21 px narrower than the window
constexpr double kRowPitch = 240;
constexpr double kButtonSize = 210;
constexpr double kButtonTop = 80;
constexpr double kCountDownWidth = 300;           // room for three digits beside the close button
constexpr double kBottomBandHeight = 360;
constexpr double kArrowTop = 60;
constexpr double kArrowSize = 240;
constexpr draw::OleColour kDividerGrey = 0x808080;

} // namespace

frmNewMail::frmNewMail(forms::FormsHost& host, NotifierServices& services)
    : Form(host, "frmNewMail"),
      elTop(add<forms::Panel>("elTop")),
      elTopLeft(add<forms::Panel>("elTopLeft")),
      btnQuestion(add<glint::GlintButton>("btnQuestion")),
      btnReply(add<glint::GlintButton>("btnReply")),
      btnForward(add<glint::GlintButton>("btnForward")),
      btnDelete(add<glint::GlintButton>("btnDelete")),
      btnOpen(add<glint::GlintButton>("btnOpen")),
      btnPin(add<glint::GlintButton>("btnPin")),
      btnPinned(add<glint::GlintButton>("btnPinned")),
      btnAttach(add<glint::GlintButton>("btnAttach")),
      btnClose(add<glint::GlintButton>("btnClose")),
      lblCountDown(add<forms::Label>("lblCountDown")),
      lblInbox(add<forms::Label>("lblInbox")),
      lblSenderName(add<forms::Label>("lblSenderName")),
      lblRecipient(add<forms::Label>("lblRecipient")),
      lblSubject(add<forms::Label>("lblSubject")),
      lblReceived(add<forms::Label>("lblReceived")),
      lblSize(add<forms::Label>("lblSize")),
      DivLine(add<forms::Line>("DivLine")),
      lblBody(add<forms::Label>("lblBody")),
      elBottom(add<forms::Panel>("elBottom")),
      picBack(add<forms::PictureBox>("picBack")),
      picBackDis(add<forms::PictureBox>("picBackDis")),
      picNext(add<forms::PictureBox>("picNext")),
      picNextDis(add<forms::PictureBox>("picNextDis")),
      tmrLoadDelay(addTimer("tmrLoadDelay", 5000, true)),
      tmrCheckOutlook(addTimer("tmrCheckOutlook", 1000, false)),
      tmrCountQueue(addTimer("tmrCountQueue", 1000, true)),
      tmrCheckIgnored(addTimer("tmrCheckIgnored", 1000, false)),
      tmrCountDown(addTimer("tmrCountDown", 1000, false)),
      tmrFade(addTimer("tmrFade", 50, false)),
      tmrSlide(addTimer("tmrSlide", 150, false)),
      services_(services),
      monitor_(services,
               FolderMonitor::Handlers{
                   .screen = [this](std::shared_ptr<platform::outlook::Item> item) {
                       screening_.ScreenNewItem(std::move(item));
                   },
                   .shownItemReadOrRemoved = [this](bool removal) { watch_.OnShownItemReadOrRemoved(removal); },
               }),
      screening_(services, state_, monitor_, *this),
      queue_(services, state_, monitor_, *this),
      composer_(services, monitor_, state_),
      style_(*this, services),
      layout_(*this, services, style_, composer_, content_),
      presence_(services.desktop, services.system),
      hotKey_(services.desktop, services.settings, [this] { btnClose_Click(); }),
      actions_(*this, services, presence_),
      watch_(*this, services, presence_)
{
    designLayout();
    loadButtons();

    // Both arrows start disabled: there is no history yet.
    picBack.setVisible(false);
    picNext.setVisible(false);
    // Not pinned: only the pin button shows.
    btnPinned.setVisible(false);

    btnAttach.setToolTipText("This e-mail has an attachment");
    btnClose.setToolTipText("Dismiss window");
    btnPin.setToolTipText("Never dismiss window");
    btnPinned.setToolTipText("Allow window to be dismissed");
    const std::initializer_list<forms::Control*> opening = {&lblInbox,   &lblSenderName, &lblRecipient,
                                                            &lblSubject, &lblBody,       &btnOpen};
    for (forms::Control* control : opening)
        control->setToolTipText("Click to switch to Outlook/open e-mail");

    picBack.Click = [this] { queue_.HistoryBack(); };
    picNext.Click = [this] { queue_.HistoryNext(); };
    btnClose.Click = [this] { btnClose_Click(); };
    const std::initializer_list<forms::Control*> openers = {&lblSenderName, &lblSubject, &lblBody, &btnOpen,
                                                            &btnAttach};
    for (forms::Control* control : openers)
        control->Click = [this] { actions_.OpenItem(); };
    btnReply.Click = [this] { actions_.Reply(); };
    btnForward.Click = [this] { actions_.Forward(); };
    btnDelete.Click = [this] { actions_.Delete(); };
    btnPin.Click = [this] { btnPin_Click(); };
    btnPinned.Click = [this] { btnPinned_Click(); };

    tmrLoadDelay.on_timer = [this] { tmrLoadDelay_Timer(); };
    tmrCheckOutlook.on_timer = [this] { tmrCheckOutlook_Timer(); };
    tmrCheckIgnored.on_timer = [this] { watch_.tmrCheckIgnored_Timer(); };
    tmrCountQueue.on_timer = [this] { queue_.tmrCountQueue_Timer(); };
    tmrCountDown.on_timer = [this] { tmrCountDown_Timer(); };
    tmrFade.on_timer = [this] { tmrFade_Timer(); };
    tmrSlide.on_timer = [this] { tmrSlide_Timer(); };
}

frmNewMail::~frmNewMail() { Unload(); }

bool frmNewMail::Start()
{
    if (platform::guardEntry("the notifier's start", [&] { Load(); }))
        return Loaded();
    // A popup whose window was never made has nothing to undo.
    platform::guardEntry("the notifier's end", [&] { Unload(); });
    return false;
}

void frmNewMail::designLayout()
{
    move(0, 0, kDesignWidth, kDesignHeight);

    elTop.move(0, 0, 2220, 315);
    elTopLeft.move(0, 0, 2150, 315);
    btnQuestion.move(30, 29, 285, 285);
    const struct {
        glint::GlintButton* button;
        double left;
    } row[] = {{&btnReply, 400}, {&btnForward, 700}, {&btnDelete, 1000}, {&btnOpen, 1300},
               {&btnPin, 1600},  {&btnPinned, 1600}, {&btnAttach, 1900}};
    for (const auto& [button, left] : row)
        button->move(left, kButtonTop, kButtonSize, kButtonSize);
    const double closeLeft = kDesignWidth - 120 - kButtonSize;
    btnClose.move(closeLeft, kButtonTop, kButtonSize, kButtonSize);
    lblCountDown.move(closeLeft - 120 - kCountDownWidth, 85, kCountDownWidth, 195);
    lblCountDown.setAlignment(forms::Label::vbRightJustify);

    double top = 360;
    for (forms::Label* label : textLabels()) {
        // Subjects and bodies are mail text: an "&" in them is shown, not taken as an access key.
        label->setUseMnemonic(false);
        label->move(kRowLeft, top, kRowWidth, 195);
        top += kRowPitch;
    }
    lblSenderName.setFontBold(true);
    lblSubject.setWordWrap(true);
    lblBody.setWordWrap(true);
    for (forms::Label* label : textLabels())
        label->setAutoSize(true);
    DivLine.setBorderColor(kDividerGrey);
    DivLine.setPoints(kRowLeft, lblBody.Top() - 60, kDesignWidth - 120, lblBody.Top() - 60);

    elBottom.move(0, kDesignHeight - kBottomBandHeight, kDesignWidth, kBottomBandHeight);
    for (forms::PictureBox* arrow : {&picBack, &picBackDis, &picNext, &picNextDis})
        arrow->setContainer(&elBottom);
    for (forms::PictureBox* arrow : {&picBack, &picBackDis})
        arrow->move(kDesignWidth / 2 - 420, kArrowTop, kArrowSize, kArrowSize);
    for (forms::PictureBox* arrow : {&picNext, &picNextDis})
        arrow->move(kDesignWidth / 2 + 180, kArrowTop, kArrowSize, kArrowSize);
}

void frmNewMail::loadButtons()
{
    const std::pair<glint::GlintButton*, art::Glyph> buttons[] = {
        {&btnQuestion, art::Glyph::Question}, {&btnReply, art::Glyph::Reply},   {&btnForward, art::Glyph::Forward},
        {&btnDelete, art::Glyph::Delete},     {&btnOpen, art::Glyph::Open},     {&btnPin, art::Glyph::Pin},
        {&btnPinned, art::Glyph::Pinned},     {&btnAttach, art::Glyph::Attach}, {&btnClose, art::Glyph::Close},
    };
    for (const auto& entry : buttons) {
        // Stored data the button refuses ends its loading there; the button keeps what it read.
        platform::ignoreFailure([&] { entry.first->ReadProperties(storedButtonData(entry.second)); });
    }
}

std::array<forms::Label*, 7> frmNewMail::textLabels()
{
    return {&lblInbox, &lblSenderName, &lblRecipient, &lblSubject, &lblReceived, &lblSize, &lblBody};
}

platform::WindowSpec frmNewMail::windowSpec() const
{
    platform::WindowSpec spec = Form::windowSpec();
    spec.visible = false;
    spec.topmost = true;
    // A tool window gets no task-bar button: the notifier stays out of the task list.
    spec.exStyle |= platform::wsex::ToolWindow;
    return spec;
}

void frmNewMail::Form_Load()
{
    using platform::ignoreFailure;
    const settings::Settings& store = services_.settings;

    ignoreFailure([&] { services_.desktop.setWindowPos(hWnd(), platform::InsertAfter::TopMost, std::nullopt); });
    Hide();

    ignoreFailure([&] {
        if (store.read(settings::GetStart) != 1)
            return;
        getStart_ = std::make_unique<frmGetStart>(host(), services_);
        getStart_->Show();
    });

    ignoreFailure([&] { state_.BList = services_.lists.LoadBList(); });
    ignoreFailure([&] { state_.WList = services_.lists.LoadWList(); });

    presence_.RecordNT5Flag();

    hotKey_.install(hWnd());
    hotKey_.RegisterDismissHotKey();

    state_.reset(store.read(settings::MultMsgDelayTime));

    if (store.read(settings::DisableActionButtons) != 0) {
        for (glint::GlintButton* button :
             {&btnReply, &btnForward, &btnDelete, &btnOpen, &btnAttach, &btnClose, &btnPin, &btnPinned})
            button->setEnabled(false);
    }

    monitor_.Connect();
    // Each folder that fails ends the attaching of the later ones; nothing follows it here.
    ignoreFailure([&] { monitor_.AttachAdditionalFolders(); });
}

void frmNewMail::tmrLoadDelay_Timer()
{
    tmrCheckOutlook.setEnabled(true);
    tmrLoadDelay.setEnabled(false);
}

void frmNewMail::tmrCheckOutlook_Timer()
{
    const settings::Settings& store = services_.settings;
    if (store.read(settings::HKChanged) != 0)
        hotKey_.RegisterDismissHotKey();
    if (store.read(settings::Preview) != 0)
        ShowPreview();
    if (IsOutlookRunning(services_.desktop) == OutlookPresence::Gone) {
        // Outlook has gone: the notifier goes with it. A look that failed proves nothing; the
        // next second looks again.
        Unload();
        return;
    }
    // A countdown that an action stopped is taken up again while seconds are left (a pinned popup
    // and a preview have none), so that a hidden popup's countdown still lets a paced burst go on.
    if (state_.SecondsLeft > 0 && !tmrCountDown.Enabled())
        tmrCountDown.setEnabled(true);
}

void frmNewMail::ShowPreview()
{
    platform::ignoreFailure([&] { services_.settings.write(settings::Preview, 0); });
    LayoutPopup(true);
    AppearPopup(true);
}

void frmNewMail::Form_Unload()
{
    tmrCountDown.setEnabled(false);
    state_.LatestItem.reset();

    monitor_.Disconnect();

    if (getStart_ && getStart_->Loaded())
        getStart_->Unload();

    hotKey_.shutdown();
}

void frmNewMail::SetNextEnabled(bool enabled)
{
    picNext.setVisible(enabled);
    picNextDis.setVisible(!enabled);
}

void frmNewMail::SetBackEnabled(bool enabled)
{
    picBack.setVisible(enabled);
    picBackDis.setVisible(!enabled);
}

void frmNewMail::ComposeContent(std::int16_t slot, ComposeKind kind)
{
    compositions_.push_back({slot, kind});

    if (!composer_.compose(slot, kind, content_)) {
        LayoutSummaryOnly();
        restoreForeground();
        return;
    }

    DoEvents();
    LayoutPopup(false);
    state_.ShownTime = services_.clock.now();
    // Over a running screen saver the popup stays hidden; a countdown still ends it, so a paced
    // burst moves on.
    if (!Visible() && !presence_.IsScreenSaverRunning())
        AppearPopup(false);
    restoreForeground();
}

namespace {

// A window coordinate in twips as the animation keeps it (32 bits), held to that range.
std::int32_t saturate32(double twips)
{
    if (!(twips > INT32_MIN))
        return INT32_MIN;
    return twips < INT32_MAX ? static_cast<std::int32_t>(twips) : INT32_MAX;
}

// A stored opacity as a fade's end or start. Values beyond 0..255 (only hand-edited ones) are held
// there, so that a fade always ends: the window shows them as 20..255 anyway.
std::int16_t alphaOf(std::int32_t level) { return static_cast<std::int16_t>(std::clamp(level, 0, 255)); }

} // namespace

void frmNewMail::AppearPopup(bool preview)
{
    // Messages let through during a composition may have unloaded the popup (Outlook went away).
    if (!Loaded())
        return;
    const settings::Settings& store = services_.settings;
    auto read = [&](const auto& value) {
        return preview ? store.read(settings::previewTwin(value)) : store.read(value);
    };
    const std::string appear = read(settings::WinAppear);
    // A rate of 0 would never finish a fade; a negative one (only a hand-edited value) would run
    // the fade the wrong way for ever, so both become the slowest rate.
    animation_.fadeStep = std::max<std::int32_t>(read(settings::WinRate), 1);

    if (appear == "Fade") {
        const bool translucent = read(settings::UseTransparency) != 0;
        const std::int32_t level = read(settings::TransparencyLevel);
        style_.SetTranslucent(hWnd(), 0);
        showWithoutActivation();
        animation_.currentAlpha = 0;
        animation_.targetAlpha = translucent ? alphaOf(level) : 255;
        animation_.fadingIn = true;
        tmrFade.setEnabled(true);
    } else if (appear == "Slide") {
        // A hand-edited rate may make the product exceed 32 bits: such a step ends the slide at
        // its first tick, as any step taller than the window does.
        animation_.slideStep = saturate32(std::int64_t{animation_.fadeStep} * 30);
        animation_.fullHeight = saturate32(Height());
        animation_.laidOutTop = saturate32(Top());
        // Grows upwards from the bottom edge the layout gave it.
        move(Left(), animation_.laidOutTop + animation_.fullHeight, Width(), 0);
        showWithoutActivation();
        tmrSlide.setEnabled(true);
    } else {
        showWithoutActivation();
    }
}

void frmNewMail::showWithoutActivation()
{
    platform::ignoreFailure([&] { services_.desktop.showWindow(hWnd(), platform::sw::ShowNoActivate); });
    setVisibleState(true);
}

void frmNewMail::tmrFade_Timer()
{
    Animation& a = animation_;
    style_.SetTranslucent(hWnd(), a.currentAlpha);
    // The next alpha is compared before it is kept: a hand-edited rate of 32768 or more would
    // otherwise wrap the 16-bit alpha and the fade would never reach its end. A kept alpha lies
    // between the start and the target, so it always fits.
    if (a.fadingIn) {
        const std::int64_t next = std::int64_t{a.currentAlpha} + a.fadeStep;
        if (next >= a.targetAlpha) {
            a.currentAlpha = a.targetAlpha;
            tmrFade.setEnabled(false);
            if (a.targetAlpha == 255)
                style_.SetOpaque(hWnd());
            else
                style_.SetTranslucent(hWnd(), a.targetAlpha);
        } else {
            a.currentAlpha = static_cast<std::int16_t>(next);
        }
    } else {
        const std::int64_t next = std::int64_t{a.currentAlpha} - a.fadeStep;
        if (next <= a.fadeStep) {
            a.currentAlpha = static_cast<std::int16_t>(std::max<std::int64_t>(next, 0));
            Hide();
            tmrFade.setEnabled(false);
        } else {
            a.currentAlpha = static_cast<std::int16_t>(next);
        }
    }
}

void frmNewMail::tmrSlide_Timer()
{
    Animation& a = animation_;
    const double height = Height() + a.slideStep;
    const double top = Top() - a.slideStep;
    if (height >= a.fullHeight) {
        move(Left(), a.laidOutTop, Width(), a.fullHeight);
        tmrSlide.setEnabled(false);
    } else {
        move(Left(), top, Width(), height);
    }
}

void frmNewMail::tmrCountDown_Timer()
{
    // A hand-edited DismissTime may start the count at the lowest 32-bit value: it stays there.
    state_.SecondsLeft =
        static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{state_.SecondsLeft} - 1, INT32_MIN));
    lblCountDown.setCaption(std::to_string(state_.SecondsLeft));
    if (state_.SecondsLeft < 1) {
        tmrCountDown.setEnabled(false);
        if (!state_.Pinned)
            DismissPopup();
    }
}

void frmNewMail::btnPin_Click()
{
    btnPinned.setVisible(true);
    btnPin.setVisible(false);
    state_.Pinned = true;
    lblCountDown.setCaption("");
    state_.SecondsLeft = 0;
    tmrCountDown.setEnabled(false);
}

void frmNewMail::btnPinned_Click()
{
    // The countdown is not taken up again: the next shown item starts its own.
    btnPin.setVisible(true);
    btnPinned.setVisible(false);
    state_.Pinned = false;
}

void frmNewMail::btnClose_Click() { actions_.Dismiss(); }

void frmNewMail::restoreForeground()
{
    // The popup never keeps the keyboard: the window that was in front gets it back.
    const platform::WindowHandle previous = monitor_.previousForeground();
    if (previous != platform::NoWindow)
        platform::ignoreFailure([&] { services_.desktop.setForegroundWindow(previous); });
}

void frmNewMail::DismissPopup()
{
    tmrCountDown.setEnabled(false);
    const settings::Settings& store = services_.settings;
    if (store.read(settings::Fade) != 0) {
        const bool translucent = store.read(settings::UseTransparency) != 0;
        animation_.currentAlpha = translucent ? alphaOf(store.read(settings::TransparencyLevel)) : 255;
        animation_.fadingIn = false;
        tmrFade.setEnabled(true);
    } else {
        Hide();
    }
    if (state_.burstUnderWay())
        state_.DelayCountdown = 1;
}

void frmNewMail::messageBox(const std::string& text, const std::string& title, std::uint32_t style)
{
    platform::ignoreFailure([&] { services_.desktop.messageBox(hWnd(), text, title, style); });
}

void frmNewMail::DoEvents() { services_.loop.doEvents(); }

} // namespace qln
