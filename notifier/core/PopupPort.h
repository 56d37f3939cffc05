#pragma once
// What the notifier's core asks of the popup window: its arrows, the composition of an item into
// the popup, whether it is on screen, and its messages. The popup form implements it.

#include <cstdint>
#include <string>

namespace qln {

enum class ComposeKind {
    Arrival,               // a newly accepted item: the item object itself (LatestItem) is handed over
    ArrivalByIdentifiers,  // a held item released by the queue: looked up by the slot's identifiers
    HistoryView,           // an item paged to in the history
};

class PopupPort {
public:
    virtual ~PopupPort() = default;

    // The back and next arrows: true shows the enabled picture and hides the disabled one.
    virtual void SetNextEnabled(bool enabled) = 0;
    virtual void SetBackEnabled(bool enabled) = 0;

    // Fills the popup from the history slot, lays it out and, when it was hidden, lets it appear.
    virtual void ComposeContent(std::int16_t slot, ComposeKind kind) = 0;

    // Whether the popup is on screen.
    virtual bool popupVisible() const = 0;

    // A modal message box owned by the popup.
    virtual void messageBox(const std::string& text, const std::string& title, std::uint32_t style) = 0;

    // Lets pending window messages be processed once (re-entrantly).
    virtual void DoEvents() = 0;
};

} // namespace qln
