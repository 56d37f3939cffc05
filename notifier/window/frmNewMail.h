#pragma once
// The popup: the notifier's one permanent window, and the owner of everything the notifier keeps
// for its whole run (Outlook's objects, the history and delay queue, the sender lists). It is
// created hidden and topmost, out of the task list; loading it starts the notifier and unloading
// it shuts the notifier down.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "notifier/core/FolderMonitor.h"
#include "notifier/core/NewItemScreening.h"
#include "notifier/core/NotificationQueue.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/core/NotifierState.h"
#include "notifier/core/PopupPort.h"
#include "notifier/window/DismissHotKey.h"
#include "notifier/window/MessageActions.h"
#include "notifier/window/PopupContent.h"
#include "notifier/window/PresenceChecks.h"
#include "notifier/window/PopupLayout.h"
#include "notifier/window/PopupStyle.h"
#include "notifier/window/ShownItemWatch.h"
#include "controls/glintbutton/GlintButton.h"
#include "platform/forms/Form.h"

namespace qln {

class frmGetStart;

class frmNewMail final : public forms::Form, public PopupPort {
public:
    frmNewMail(forms::FormsHost& host, NotifierServices& services);
    ~frmNewMail() override;

    // The notifier program's start, its first entry point: the popup loads (its window is made
    // and the start-up sequence runs). False when the program cannot run: the popup's window
    // cannot be made, or a failure ended the start-up before the program could go on. Then
    // whatever the start-up had done is undone by the shutdown sequence (hot key unregistered,
    // Outlook released), and the program ends with kExitCannotStart.
    bool Start();
    static constexpr int kExitCannotStart = 1;

    // --- PopupPort -----------------------------------------------------------------------------
    void SetNextEnabled(bool enabled) override;
    void SetBackEnabled(bool enabled) override;
    void ComposeContent(std::int16_t slot, ComposeKind kind) override;
    bool popupVisible() const override { return Visible(); }
    void messageBox(const std::string& text, const std::string& title, std::uint32_t style) override;
    void DoEvents() override;

    // Hides the popup, at once or fading out; while a burst is under way the next held item
    // follows at the next tick.
    void DismissPopup();

    // Sizes and places the popup for the composed content, or for the settings preview.
    void LayoutPopup(bool preview) { layout_.LayoutPopup(preview); }
    // The popup without an item: the inbox summary alone.
    void LayoutSummaryOnly() { layout_.LayoutSummaryOnly(); }
    // Shows the hidden, laid-out popup without taking the keyboard focus: at once, fading in or
    // sliding up out of its bottom edge.
    void AppearPopup(bool preview);

    // A sample popup from the options page's unapplied values (their preview twins), shown at
    // once and never counting down; the next real composition reads the applied values again.
    void ShowPreview();

    // The appearance animation's state.
    struct Animation {
        std::int16_t currentAlpha = 0;  // applied at the next fade tick
        std::int16_t targetAlpha = 0;   // where a fade-in stops
        bool fadingIn = false;
        std::int32_t fadeStep = 1;      // alpha per fade tick: the last appearance's WinRate, at least 1
        std::int32_t slideStep = 30;    // twips per slide tick
        std::int32_t fullHeight = 0;    // the laid-out height and top, kept while sliding (twips)
        std::int32_t laidOutTop = 0;
    };
    const Animation& animation() const { return animation_; }

    // Colours, fonts and translucency.
    PopupStyle& style() { return style_; }
    // The texts now shown and the display settings they were composed with.
    const PopupContent& content() const { return content_; }
    // The seven labels that carry the user's font: lblInbox, lblSenderName, lblRecipient,
    // lblSubject, lblReceived, lblSize, lblBody.
    std::array<forms::Label*, 7> textLabels();

    NotifierState& state() { return state_; }
    const NotifierState& state() const { return state_; }
    FolderMonitor& monitor() { return monitor_; }
    NewItemScreening& screening() { return screening_; }
    NotificationQueue& queue() { return queue_; }
    MessageActions& actions() { return actions_; }
    ShownItemWatch& watch() { return watch_; }
    frmGetStart* getStartDialog() const { return getStart_.get(); }

    // Every composition asked for, oldest first: which slot, and how.
    struct Composition {
        std::int16_t slot;
        ComposeKind kind;
    };
    const std::vector<Composition>& compositions() const { return compositions_; }

    // The popup's controls, in the order they are drawn. The top band: the skinned action buttons
    // and the countdown beside the close button.
    forms::Panel& elTop;
    forms::Panel& elTopLeft;
    glint::GlintButton& btnQuestion;
    glint::GlintButton& btnReply;
    glint::GlintButton& btnForward;
    glint::GlintButton& btnDelete;
    glint::GlintButton& btnOpen;
    glint::GlintButton& btnPin;
    glint::GlintButton& btnPinned;
    glint::GlintButton& btnAttach;
    glint::GlintButton& btnClose;
    forms::Label& lblCountDown;
    // The rows.
    forms::Label& lblInbox;
    forms::Label& lblSenderName;
    forms::Label& lblRecipient;
    forms::Label& lblSubject;
    forms::Label& lblReceived;
    forms::Label& lblSize;
    forms::Line& DivLine;
    forms::Label& lblBody;
    // The bottom band with the history arrows.
    forms::Panel& elBottom;
    forms::PictureBox& picBack;
    forms::PictureBox& picBackDis;
    forms::PictureBox& picNext;
    forms::PictureBox& picNextDis;

    // Its timers.
    platform::Timer& tmrLoadDelay;
    platform::Timer& tmrCheckOutlook;
    platform::Timer& tmrCountQueue;
    platform::Timer& tmrCheckIgnored;
    platform::Timer& tmrCountDown;
    platform::Timer& tmrFade;
    platform::Timer& tmrSlide;

protected:
    platform::WindowSpec windowSpec() const override;
    // The start-up sequence.
    void Form_Load() override;
    // The shutdown sequence.
    void Form_Unload() override;

private:
    // The controls' places, sizes and fonts as designed; the layout moves them from there.
    void designLayout();
    // The nine skinned buttons take their stored properties.
    void loadButtons();
    void tmrLoadDelay_Timer();
    // The one-second poll: the options page's change flags, Outlook's presence, and the countdown
    // kept running.
    void tmrCheckOutlook_Timer();
    // The close button's click, which the dismiss hot key runs too.
    void btnClose_Click();
    // The auto-dismiss countdown's second, and pinning the popup against it.
    void tmrCountDown_Timer();
    void tmrFade_Timer();
    void tmrSlide_Timer();
    // Shows the window without activating it.
    void showWithoutActivation();
    void btnPin_Click();
    void btnPinned_Click();
    // Gives the foreground back to the window that had it when the item arrived.
    void restoreForeground();

    NotifierServices& services_;
    NotifierState state_;
    FolderMonitor monitor_;
    NewItemScreening screening_;
    NotificationQueue queue_;
    PopupContent content_;
    ContentComposer composer_;
    PopupStyle style_;
    PopupLayout layout_;
    PresenceChecks presence_;
    DismissHotKey hotKey_;
    MessageActions actions_;
    ShownItemWatch watch_;
    std::unique_ptr<frmGetStart> getStart_;
    std::vector<Composition> compositions_;
    Animation animation_;
};

} // namespace qln
