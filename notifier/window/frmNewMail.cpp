#include "notifier/window/frmNewMail.h"

#include "notifier/window/frmGetStart.h"
#include "platform/Failure.h"

namespace qln {

frmNewMail::frmNewMail(forms::FormsHost& host, NotifierServices& services)
    : Form(host, "frmNewMail"),
      picBack(add<forms::PictureBox>("picBack")),
      picBackDis(add<forms::PictureBox>("picBackDis")),
      picNext(add<forms::PictureBox>("picNext")),
      picNextDis(add<forms::PictureBox>("picNextDis")),
      btnReply(add<forms::CommandButton>("btnReply")),
      btnForward(add<forms::CommandButton>("btnForward")),
      btnDelete(add<forms::CommandButton>("btnDelete")),
      btnOpen(add<forms::CommandButton>("btnOpen")),
      btnAttach(add<forms::CommandButton>("btnAttach")),
      btnClose(add<forms::CommandButton>("btnClose")),
      btnPin(add<forms::CommandButton>("btnPin")),
      btnPinned(add<forms::CommandButton>("btnPinned")),
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
                   // The reaction to the shown item being read or removed elsewhere is not built yet.
                   .shownItemReadOrRemoved = [](bool) {},
               }),
      screening_(services, state_, monitor_, *this),
      queue_(services, state_, monitor_, *this)
{
    // Both arrows start disabled: there is no history yet.
    picBack.setVisible(false);
    picNext.setVisible(false);
    // Not pinned: only the pin button shows.
    btnPinned.setVisible(false);

    btnAttach.setToolTipText("This e-mail has an attachment");
    btnClose.setToolTipText("Dismiss window");
    btnOpen.setToolTipText("Click to switch to Outlook/open e-mail");
    btnPin.setToolTipText("Never dismiss window");
    btnPinned.setToolTipText("Allow window to be dismissed");

    picBack.Click = [this] { queue_.HistoryBack(); };
    picNext.Click = [this] { queue_.HistoryNext(); };
    // For now closing only dismisses; marking the shown item read joins when the message actions do.
    btnClose.Click = [this] { DismissPopup(); };

    tmrLoadDelay.on_timer = [this] { tmrLoadDelay_Timer(); };
    // The one-second poll (change flags, Outlook's presence, countdown upkeep) is not built yet.
    tmrCheckOutlook.on_timer = [] {};
    tmrCountQueue.on_timer = [this] { queue_.tmrCountQueue_Timer(); };
}

frmNewMail::~frmNewMail() { Unload(); }

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

    // Layered-window support is recorded here once translucency is built.
    // The hot-key window procedure and the dismiss hot key are installed here once hot keys are built.

    state_.reset(store.read(settings::MultMsgDelayTime));

    if (store.read(settings::DisableActionButtons) != 0) {
        for (forms::CommandButton* button :
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

void frmNewMail::Form_Unload()
{
    tmrCountDown.setEnabled(false);
    state_.LatestItem.reset();

    monitor_.Disconnect();

    if (getStart_ && getStart_->Loaded())
        getStart_->Unload();

    // The dismiss hot key is unregistered and the window procedure put back here once hot keys are built.
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

    const bool slotEmpty =
        slot < 0 || slot >= kSlotTableSize || state_.HistoryEntryID[static_cast<std::size_t>(slot)].empty();
    const bool nothingToShow = kind == ComposeKind::HistoryView && slotEmpty;
    if (nothingToShow) {
        // The summary-only popup: no item, and a paced burst need not wait for it.
        state_.SummaryOnlyShown = true;
        if (state_.burstUnderWay())
            state_.DelayCountdown = 1;
    } else {
        state_.SummaryOnlyShown = false;
        // Texts, layout and the animated appearance come with the popup's content work; the
        // screen-saver check will also keep the popup hidden here.
        if (!Visible()) {
            platform::ignoreFailure(
                [&] { services_.desktop.showWindow(hWnd(), platform::sw::ShowNoActivate); });
            setVisibleState(true);
        }
    }

    // The popup never keeps the keyboard: the window that was in front gets it back.
    const platform::WindowHandle previous = monitor_.previousForeground();
    if (previous != platform::NoWindow)
        platform::ignoreFailure([&] { services_.desktop.setForegroundWindow(previous); });
}

void frmNewMail::DismissPopup()
{
    tmrCountDown.setEnabled(false);
    // The fade-out joins here once the appearance animation is built.
    Hide();
    if (state_.burstUnderWay())
        state_.DelayCountdown = 1;
}

void frmNewMail::messageBox(const std::string& text, const std::string& title, std::uint32_t style)
{
    platform::ignoreFailure([&] { services_.desktop.messageBox(hWnd(), text, title, style); });
}

void frmNewMail::DoEvents() { services_.loop.doEvents(); }

} // namespace qln
