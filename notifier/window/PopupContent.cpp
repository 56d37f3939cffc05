#include "notifier/window/PopupContent.h"

#include <memory>
#include <string_view>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/Locale.h"
#include "platform/Utf8.h"

namespace qln {

namespace {

namespace outlook = platform::outlook;
namespace mapi = platform::mapi;
using platform::ignoreFailure;
using platform::valueOr;

constexpr std::int32_t kKilobyte = 1024;
constexpr std::int32_t kMegabyte = 1024 * 1024;

// Whole units, rounded halves to even, so 1 048 575 bytes still read as 1024 KB rather than 1 MB.
std::string sizeText(std::int32_t bytes)
{
    if (bytes < kKilobyte)
        return std::to_string(bytes) + " B";
    if (bytes >= kMegabyte)
        return std::to_string(lang::roundHalfEven(static_cast<double>(bytes) / kMegabyte)) + " MB";
    return std::to_string(lang::roundHalfEven(static_cast<double>(bytes) / kKilobyte)) + " KB";
}

// The start of the body as the popup shows it. Only trailing line breaks of a text of some length
// go: a very short body keeps its one line break, as it always has. Lengths are in characters, and
// the cut never falls inside one; bytes that are not UTF-8 become U+FFFD, each one character.
std::string bodyExcerpt(std::string text, std::int32_t bodyAmount)
{
    // A DWORD beyond 2^31 reads back negative; it cannot mean less than nothing.
    const std::size_t limit = bodyAmount < 0 ? 0 : static_cast<std::size_t>(bodyAmount);
    const std::size_t cut = utf8::prefixBytes(text, limit);
    if (cut < text.size()) {
        text.resize(cut);
        text += " ...";
    }
    utf8::sanitizeInPlace(text);
    text = lang::trimBlanks(text);
    while (std::string_view(text).ends_with("\r\n") && utf8::count(text) >= 7)
        text.resize(text.size() - 2);
    return text;
}

// A text field of the item as the popup shows it: UTF-8, whatever the store handed over.
std::string shown(std::string text)
{
    utf8::sanitizeInPlace(text);
    return text;
}

} // namespace

void PopupContent::readDisplaySettings(const settings::Settings& store, Source source)
{
    auto read = [&](const settings::DwordValue& value) {
        return source == Source::Preview ? store.read(settings::previewTwin(value)) : store.read(value);
    };
    ShowInboxSum = read(settings::ShowInboxSum) != 0;
    ShowSenderName = read(settings::ShowSenderName) != 0;
    ShowRecipient = read(settings::ShowRecipient) != 0;
    ShowSubject = read(settings::ShowSubject) != 0;
    ShowReceivedSize = read(settings::ShowReceivedSize) != 0;
    ShowMessageBody = read(settings::ShowMessageBody) != 0;
    BodyAmount = read(settings::BodyAmount);
}

void ContentComposer::composeInboxSummary(PopupContent& content)
{
    ignoreFailure([&] {
        auto inbox = monitor_.inbox();
        if (!inbox)
            throw platform::Failure("no default Inbox");
        auto items = inbox->Items();
        if (!items)
            throw platform::Failure("the Inbox has no item collection");
        const std::int32_t count = items->Count();
        const std::int32_t unread = inbox->UnReadItemCount();
        content.inboxSummary =
            "Inbox: " + std::to_string(count) + " items, " + std::to_string(unread) + " unread";
    });
}

void ContentComposer::composePreview(PopupContent& content)
{
    composeInboxSummary(content);
    content.sender = kSampleAddress;
    content.recipient = kSampleAddress;
    content.subject = "Message Preview";
    const std::string localeName = valueOr(std::string(), [&] { return services_.system.localeName(); });
    content.received = platform::Locale::fromName(localeName).shortDate(services_.clock.now());
    content.size = "1 KB";
    content.body = "Preview message body.";
}

bool ContentComposer::compose(std::int16_t slot, ComposeKind kind, PopupContent& content)
{
    const settings::Settings& store = services_.settings;
    content.readDisplaySettings(store);
    const bool freshCopy = store.read(settings::Autodismiss3rdPartySpam) != 0;

    if (content.ShowInboxSum)
        composeInboxSummary(content);

    std::string entryID;
    std::string storeID;
    if (slot >= 0 && slot < kSlotTableSize) {
        entryID = state_.HistoryEntryID[static_cast<std::size_t>(slot)];
        storeID = state_.HistoryStoreID[static_cast<std::size_t>(slot)];
    }
    if (kind == ComposeKind::HistoryView && entryID.empty())
        return false;

    auto lookUp = [&] {
        return valueOr<std::shared_ptr<outlook::Item>>(nullptr,
                                                       [&] { return monitor_.GetItemFromID(entryID, storeID); });
    };

    std::shared_ptr<outlook::Item> item;
    if (kind == ComposeKind::Arrival && !freshCopy) {
        // The arrival's own object saves a look-up; one whose subject reads empty may be a copy
        // Outlook has not finished, so the stored item is asked for after all when it can be had.
        item = state_.LatestItem;
        const std::string handedSubject = item ? valueOr(std::string(), [&] { return item->Subject(); }) : "";
        if (handedSubject.empty()) {
            if (auto stored = lookUp())
                item = std::move(stored);
        }
    } else {
        item = lookUp();
    }

    if (!item) {
        // The item went (purged, its folder deleted, its store closed): the previous item's
        // recipient, size or time must not appear as if they were this one's.
        content.sender.clear();
        content.recipient.clear();
        content.subject.clear();
        content.received.clear();
        content.size.clear();
        content.body.clear();
        content.attachmentCount = 0;
        return true;
    }

    // Without the maker's library every guarded value stays empty or as it was.
    auto wrapper =
        valueOr<std::shared_ptr<mapi::SafeMailItem>>(nullptr, [&] { return monitor_.createSafeMailItem(); });
    const bool wrapped = wrapper && ignoreFailure([&] { wrapper->setItem(item); });
    auto field = [&](std::uint32_t tag) {
        return wrapped ? valueOr(std::string(), [&] { return wrapper->Fields(tag); }) : std::string();
    };

    content.sender.clear();
    if (wrapped)
        content.sender = valueOr(std::string(), [&] { return wrapper->SenderName(); });
    if (content.sender.empty())
        content.sender = field(mapi::PR_SENDER_NAME);
    if (content.sender.empty())
        content.sender = field(mapi::PR_SENDER_EMAIL_ADDRESS);
    content.sender = shown(std::move(content.sender));

    if (wrapped)
        ignoreFailure([&] { content.recipient = shown(wrapper->Fields(mapi::PR_DISPLAY_TO)); });

    ignoreFailure([&] { content.size = sizeText(item->Size()); });

    ignoreFailure([&] {
        const platform::DateTime receivedTime = item->ReceivedTime();
        const std::string localeName = valueOr(std::string(), [&] { return services_.system.localeName(); });
        content.received = platform::Locale::fromName(localeName).dateTimeText(receivedTime);
    });

    content.subject = lang::trimBlanks(valueOr(std::string(), [&] { return item->Subject(); }));
    if (content.subject.empty())
        content.subject = field(mapi::PR_SUBJECT);
    content.subject = shown(std::move(content.subject));

    if (wrapped)
        ignoreFailure([&] { content.attachmentCount = wrapper->AttachmentsCount(); });

    content.body.clear();
    if (content.ShowMessageBody && wrapped) {
        std::string body = valueOr(std::string(), [&] { return wrapper->Body(); });
        if (body.empty())
            body = field(mapi::PR_BODY);
        content.body = bodyExcerpt(std::move(body), content.BodyAmount);
    }

    item.reset();
    if (wrapper)
        monitor_.cleanup();
    wrapper.reset();
    return true;
}

} // namespace qln
