#pragma once
// What the popup shows of one item, and how those texts are composed from Outlook.
//
// PopupContent is the popup's one set of texts, overwritten for every shown item, together with
// the display settings read at the start of the composition that the layout goes by. The
// ContentComposer fills it: it looks the item up again (or takes the arrival's own object), reads
// the guarded values through a fresh safe wrapper and formats them. It knows no form; the popup
// puts the texts into its labels afterwards.

#include <cstdint>
#include <string>

#include "notifier/core/FolderMonitor.h"
#include "notifier/core/NotifierServices.h"
#include "notifier/core/NotifierState.h"
#include "notifier/core/PopupPort.h"
#include "shared/Settings.h"

namespace qln {

struct PopupContent {
    // ---- The texts -----------------------------------------------------------------------------
    std::string inboxSummary;   // "Inbox: 12 items, 3 unread"; kept while ShowInboxSum is off
    std::string sender;
    std::string recipient;
    std::string subject;
    std::string received;       // the received time in the user's date and time format
    std::string size;           // "1023 B", "2 KB", "1 MB"
    std::string body;           // the excerpt; empty while ShowMessageBody is off
    std::int32_t attachmentCount = 0;  // 0 or less: none

    // ---- The display settings of the last composition (any non-zero value is on) ---------------
    bool ShowInboxSum = true;
    bool ShowSenderName = true;
    bool ShowRecipient = false;
    bool ShowSubject = true;
    bool ShowReceivedSize = true;
    bool ShowMessageBody = true;
    std::int32_t BodyAmount = 150;

    // Reads the seven display settings: the applied ones, or their preview twins.
    enum class Source { Applied, Preview };
    void readDisplaySettings(const settings::Settings& store, Source source = Source::Applied);
};

class ContentComposer {
public:
    ContentComposer(NotifierServices& services, FolderMonitor& monitor, const NotifierState& state)
        : services_(services), monitor_(monitor), state_(state)
    {
    }

    // One composition for the history slot now shown. Returns false when there is nothing to show
    // (a history view of a slot whose EntryID is empty): only the display settings and the inbox
    // summary were refreshed, and the popup takes its summary-only layout. Every other case
    // returns true, also for an item that can no longer be found: its fields are then empty.
    //
    // Arrival takes the newest accepted item (NotifierState::LatestItem) as handed over, unless
    // Autodismiss3rdPartySpam asks for a fresh copy or its subject reads empty; the other kinds
    // look the item up by the slot's identifiers.
    bool compose(std::int16_t slot, ComposeKind kind, PopupContent& content);

    // "Inbox: N items, M unread" from the default Inbox, whatever ShowInboxSum says (the preview
    // shows real counts). When a count cannot be read the summary is left as it was.
    void composeInboxSummary(PopupContent& content);

    // The settings preview's sample item: a sample address as sender and recipient, "Message
    // Preview", today's date, "1 KB", a one-line body, and the real inbox summary. The attachment
    // indicator keeps the state of the last shown item.
    void composePreview(PopupContent& content);
    static constexpr const char* kSampleAddress = "someone@example.com";

private:
    NotifierServices& services_;
    FolderMonitor& monitor_;
    const NotifierState& state_;
};

} // namespace qln
