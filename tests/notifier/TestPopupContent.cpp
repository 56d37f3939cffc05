#include "notifier/window/PopupContent.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/SimWorld.h"

namespace {

namespace settings = qln::settings;
using platform::sim::MailSpec;
using qln::ComposeKind;

// The composer over a folder monitor connected to a running simulated Outlook. notify() files an
// item into the next history slot the way screening does, without screening it.
struct Popup {
    platform::sim::SimWorld world;
    qln::NotifierServices services{world.registry, world.files, world.system, world.desktop,
                                   world.loop,     world.loop,  world.outlook};
    qln::NotifierState state;
    qln::FolderMonitor monitor{services, {[](std::shared_ptr<platform::outlook::Item>) {}, [](bool) {}}};
    qln::ContentComposer composer{services, monitor, state};
    qln::PopupContent content;

    Popup()
    {
        world.outlookStart();
        monitor.Connect();
        state.reset(4);
    }
    ~Popup() { monitor.Disconnect(); }

    std::string notify(const MailSpec& mail)
    {
        const std::string id = world.outlook.deliver("Inbox", mail);
        world.loop.runPending();
        state.NewestSlot = static_cast<std::int16_t>(state.NewestSlot + 1);
        state.CurrentSlot = state.NewestSlot;
        const auto slot = static_cast<std::size_t>(state.CurrentSlot);
        state.HistoryEntryID[slot] = id;
        state.HistoryStoreID[slot] = world.outlook.folderStoreID("Inbox");
        return id;
    }
    bool show(ComposeKind kind = ComposeKind::HistoryView) { return composer.compose(state.CurrentSlot, kind, content); }
    // Notifies the mail and composes it as a history view.
    const qln::PopupContent& compose(const MailSpec& mail)
    {
        notify(mail);
        EXPECT_TRUE(show());
        return content;
    }
    void set(const settings::DwordValue& value, std::int32_t number) { services.settings.write(value, number); }
};

MailSpec mail(std::string subject = "Lunch")
{
    MailSpec m;
    m.senderName = "Bob Builder";
    m.senderEmail = "bob@example.com";
    m.to = "Alice; Carol";
    m.subject = std::move(subject);
    m.body = "See you at noon.";
    m.size = 2048;
    m.received = *platform::DateTime::parse("2026-01-05 09:00:00");
    return m;
}

} // namespace

TEST(PopupContent, ComposesEveryFieldOfAnItem)
{
    Popup p;
    MailSpec m = mail();
    m.attachments = 2;
    const int cleanupsBefore = p.world.outlook.cleanupCount();
    const auto& c = p.compose(m);
    EXPECT_EQ(c.inboxSummary, "Inbox: 1 items, 1 unread");
    EXPECT_EQ(c.sender, "Bob Builder");
    EXPECT_EQ(c.recipient, "Alice; Carol");
    EXPECT_EQ(c.subject, "Lunch");
    EXPECT_EQ(c.received, "1/5/2026 9:00:00 AM");
    EXPECT_EQ(c.size, "2 KB");
    EXPECT_EQ(c.body, "See you at noon.");
    EXPECT_EQ(c.attachmentCount, 2);
    // One wrapper per composition, and the helper's clean-up after it.
    EXPECT_EQ(p.world.outlook.cleanupCount(), cleanupsBefore + 1);

    // The next item without attachments clears the count; the locale is read at each composition.
    p.world.system.setLocaleName("de-DE");
    MailSpec midnight = mail();
    midnight.received = *platform::DateTime::parse("2026-12-07 00:00:00");
    p.compose(midnight);
    EXPECT_EQ(c.attachmentCount, 0);
    EXPECT_EQ(c.received, "07.12.2026");
    EXPECT_EQ(c.inboxSummary, "Inbox: 2 items, 2 unread");
}

TEST(PopupContent, SizeInWholeUnitsRoundedHalvesToEven)
{
    const struct {
        std::int32_t bytes;
        const char* text;
    } cases[] = {
        {0, "0 B"},          {1023, "1023 B"},   {1024, "1 KB"},       {1536, "2 KB"},    {2560, "2 KB"},
        {3584, "4 KB"},      {1048575, "1024 KB"}, {1048576, "1 MB"}, {1572864, "2 MB"}, {2621440, "2 MB"},
    };
    Popup p;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        MailSpec m = mail();
        m.size = c.bytes;
        EXPECT_EQ(p.compose(m).size, c.text);
    }
}

TEST(PopupContent, SenderAndSubjectFallBackToMapiProperties)
{
    const struct {
        const char* senderName;
        const char* prSenderName;
        const char* sender;
    } senders[] = {
        {"Bob Builder", "PR Bob", "Bob Builder"},
        {"", "PR Bob", "PR Bob"},
        {"", "", "bob@example.com"},
    };
    Popup p;
    for (const auto& s : senders) {
        SCOPED_TRACE(s.sender);
        MailSpec m = mail();
        m.senderName = s.senderName;
        m.prSenderName = s.prSenderName;
        EXPECT_EQ(p.compose(m).sender, s.sender);
    }

    const struct {
        const char* subject;
        const char* prSubject;
        const char* shown;
    } subjects[] = {
        {"  Lunch  ", "PR Lunch", "Lunch"},
        {"   ", "PR Lunch", "PR Lunch"},
        {"", "  PR Lunch ", "  PR Lunch "},  // the property is taken as it is
    };
    for (const auto& s : subjects) {
        SCOPED_TRACE(s.shown);
        MailSpec m = mail(s.subject);
        m.prSubject = s.prSubject;
        EXPECT_EQ(p.compose(m).subject, s.shown);
    }
}

TEST(PopupContent, BodyExcerpt)
{
    const struct {
        std::int32_t bodyAmount;
        const char* body;
        const char* prBody;
        const char* shown;
    } cases[] = {
        {10, "0123456789", nullptr, "0123456789"},
        {10, "0123456789A", nullptr, "0123456789 ..."},
        {10, "short", nullptr, "short"},
        {0, "anything", nullptr, "..."},
        {150, "Hello\r\n\r\n", nullptr, "Hello"},
        {150, "ab\r\n", nullptr, "ab\r\n"},
        {150, "one\r\ntwo\r\n", nullptr, "one\r\ntwo"},
        {150, "  Hello there\r\n  ", nullptr, "Hello there"},
        {150, "", "from PR_BODY", "from PR_BODY"},
        {150, "", "", ""},
        {-1, "anything", nullptr, "..."},
        // Characters, not bytes: the cut never falls inside one, and a short text of few
        // characters but many bytes keeps its line break.
        {3, "\u65e5\u672c\u8a9e\u3067\u3059", nullptr, "\u65e5\u672c\u8a9e ..."},
        {5, "Gr\u00fc\u00dfe aus K\u00f6ln", nullptr, "Gr\u00fc\u00dfe ..."},
        {1, "\U0001F600\U0001F600", nullptr, "\U0001F600 ..."},
        {3, "\u0301\u0301\u0301\u0301", nullptr, "\u0301\u0301\u0301 ..."},
        {150, "\u65e5\u672c\r\n", nullptr, "\u65e5\u672c\r\n"},
        {150, "\u65e5\u672c\u8a9e\u3067\u3059\r\n", nullptr, "\u65e5\u672c\u8a9e\u3067\u3059"},
        // Bytes that are not UTF-8 are one character each, shown as U+FFFD.
        {150, "a\xFF\xC3" "b", nullptr, "a\uFFFD\uFFFDb"},
        {2, "a\xE6\x97", nullptr, "a\uFFFD"},
        {2, "ab\xE6\x97", nullptr, "ab ..."},
        {150, "", "\xED\xA0\x80 surrogate", "\uFFFD\uFFFD\uFFFD surrogate"},
    };
    Popup p;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        p.set(settings::BodyAmount, c.bodyAmount);
        MailSpec m = mail();
        m.body = c.body;
        if (c.prBody)
            m.prBody = c.prBody;
        EXPECT_EQ(p.compose(m).body, c.shown);
    }
}

TEST(PopupContent, AHundredThousandCharactersOfCjkAreCutToTheAmount)
{
    Popup p;
    std::string body;
    for (int i = 0; i < 100000; ++i)
        body += "\u6f22";
    MailSpec m = mail("\u65e5\u672c\u8a9e");
    m.body = body;
    const std::string shown = p.compose(m).body;
    std::string expected;
    for (int i = 0; i < 150; ++i)
        expected += "\u6f22";
    EXPECT_EQ(shown, expected + " ...");
}

TEST(PopupContent, TextFieldsAreShownAsWrittenOrWithReplacements)
{
    Popup p;
    MailSpec m = mail("  Gr\u00fc\u00dfe aus K\u00f6ln \u2014 \u65e5\u672c\u8a9e \u2713  ");
    m.senderName = "J\u00fcrgen Gro\u00df";
    m.to = "\u0414\u043c\u0438\u0442\u0440\u0438\u0439; \u0395\u03bb\u03ad\u03bd\u03b7";
    const qln::PopupContent& c = p.compose(m);
    EXPECT_EQ(c.subject, "Gr\u00fc\u00dfe aus K\u00f6ln \u2014 \u65e5\u672c\u8a9e \u2713");
    EXPECT_EQ(c.sender, "J\u00fcrgen Gro\u00df");
    EXPECT_EQ(c.recipient, "\u0414\u043c\u0438\u0442\u0440\u0438\u0439; \u0395\u03bb\u03ad\u03bd\u03b7");

    MailSpec bad = mail("Re: \xC3\x28 \xF0\x9F\x98");
    bad.senderName = "\xC0\xAF\xFF";
    bad.to = "ok \xE2\x82";
    const qln::PopupContent& d = p.compose(bad);
    EXPECT_EQ(d.subject, "Re: \uFFFD( \uFFFD");
    EXPECT_EQ(d.sender, "\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(d.recipient, "ok \uFFFD");
}

TEST(PopupContent, RowsSwitchedOff)
{
    Popup p;
    p.compose(mail());
    ASSERT_EQ(p.content.inboxSummary, "Inbox: 1 items, 1 unread");

    // With the body row off nothing is fetched; with the summary row off the old text stays.
    p.set(settings::ShowMessageBody, 0);
    p.set(settings::ShowInboxSum, 0);
    p.world.outlook.faults().fail("Body", 1);
    p.compose(mail());
    EXPECT_EQ(p.content.body, "");
    EXPECT_TRUE(p.world.outlook.faults().armed("Body"));
    EXPECT_EQ(p.content.inboxSummary, "Inbox: 1 items, 1 unread");
    EXPECT_FALSE(p.content.ShowMessageBody);
    EXPECT_FALSE(p.content.ShowInboxSum);

    p.set(settings::ShowInboxSum, 7);  // any non-zero value is on
    p.set(settings::ShowRecipient, 1);
    p.set(settings::BodyAmount, 20);
    p.compose(mail());
    EXPECT_EQ(p.content.inboxSummary, "Inbox: 3 items, 3 unread");
    EXPECT_TRUE(p.content.ShowRecipient);
    EXPECT_EQ(p.content.BodyAmount, 20);

    // The preview reads the twins, each with its plain value's default.
    p.set(settings::previewTwin(settings::ShowSenderName), 0);
    p.content.readDisplaySettings(p.services.settings, qln::PopupContent::Source::Preview);
    EXPECT_FALSE(p.content.ShowSenderName);
    EXPECT_FALSE(p.content.ShowRecipient);
    EXPECT_EQ(p.content.BodyAmount, 150);
}

TEST(PopupContent, WhichItemIsShown)
{
    // The slot holds B; the arrival hands over A's object.
    Popup p;
    const std::string a = p.notify(mail("A"));
    auto handedA = p.monitor.GetItemFromID(a, p.world.outlook.folderStoreID("Inbox"));
    p.notify(mail("B"));
    const struct {
        ComposeKind kind;
        bool handOver;
        std::int32_t autodismiss3rdPartySpam;
        const char* subject;
    } cases[] = {
        {ComposeKind::Arrival, true, 0, "A"},
        {ComposeKind::Arrival, true, 1, "B"},   // a fresh copy by the slot's identifiers
        {ComposeKind::Arrival, false, 0, "B"},  // nothing handed over: the slot's item
        {ComposeKind::ArrivalByIdentifiers, true, 0, "B"},
        {ComposeKind::HistoryView, true, 0, "B"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject);
        p.set(settings::Autodismiss3rdPartySpam, c.autodismiss3rdPartySpam);
        p.state.LatestItem = c.handOver ? handedA : nullptr;
        p.content.subject.clear();
        EXPECT_TRUE(p.show(c.kind));
        EXPECT_EQ(p.content.subject, c.subject);
    }
    EXPECT_EQ(p.state.LatestItem, handedA);  // the composition keeps the newest item as it is

    // A handed item whose subject reads empty is looked up again; when that fails it is still shown.
    p.set(settings::Autodismiss3rdPartySpam, 0);
    MailSpec untitled = mail("");
    untitled.senderName = "Untitled Sender";
    const std::string u = p.notify(untitled);
    p.state.LatestItem = p.monitor.GetItemFromID(u, p.world.outlook.folderStoreID("Inbox"));
    p.state.HistoryEntryID[static_cast<std::size_t>(p.state.CurrentSlot)] = "0BADC0DE";
    EXPECT_TRUE(p.show(ComposeKind::Arrival));
    EXPECT_EQ(p.content.sender, "Untitled Sender");
}

TEST(PopupContent, EmptyHistorySlotHasNothingToShow)
{
    Popup p;
    p.compose(mail());
    p.notify(mail("Later"));
    p.state.HistoryEntryID[static_cast<std::size_t>(p.state.CurrentSlot)].clear();
    EXPECT_FALSE(p.show(ComposeKind::HistoryView));
    EXPECT_EQ(p.content.subject, "Lunch");                        // the texts are not touched
    EXPECT_EQ(p.content.inboxSummary, "Inbox: 2 items, 2 unread");  // the summary is
}

TEST(PopupContent, VanishedItemShowsEmptyFields)
{
    Popup p;
    MailSpec m = mail();
    m.attachments = 1;
    p.compose(m);
    const std::string gone = p.notify(mail("Gone"));
    p.world.outlook.purge(gone);
    p.world.loop.runPending();
    EXPECT_TRUE(p.show(ComposeKind::ArrivalByIdentifiers));
    for (const std::string* field : {&p.content.sender, &p.content.recipient, &p.content.subject, &p.content.received,
                                     &p.content.size, &p.content.body})
        EXPECT_EQ(*field, "");
    EXPECT_EQ(p.content.attachmentCount, 0);
    EXPECT_EQ(p.content.inboxSummary, "Inbox: 1 items, 1 unread");
}

TEST(PopupContent, FailuresLeaveTheirFieldEmptyOrUnchanged)
{
    Popup p;
    p.compose(mail());

    // Without the maker's library the guarded values are missing; Outlook's own still come.
    p.world.outlook.setMapiLibraryPresent(false);
    MailSpec m = mail("Plain");
    m.size = 100;
    p.compose(m);
    EXPECT_EQ(p.content.sender, "");
    EXPECT_EQ(p.content.body, "");
    EXPECT_EQ(p.content.subject, "Plain");
    EXPECT_EQ(p.content.size, "100 B");
    EXPECT_EQ(p.content.recipient, "Alice; Carol");  // unchanged, as the failed read left it
    p.world.outlook.setMapiLibraryPresent(true);

    // A failing Subject falls back to the property; a failing Size keeps the last size.
    p.world.outlook.faults().fail("Subject");
    p.world.outlook.faults().fail("Size");
    MailSpec f = mail("Subject");
    f.prSubject = "PR Subject";
    f.size = 5 * 1024 * 1024;
    p.compose(f);
    EXPECT_EQ(p.content.subject, "PR Subject");
    EXPECT_EQ(p.content.size, "100 B");
    EXPECT_EQ(p.content.sender, "Bob Builder");

    // An Outlook that cannot count its Inbox leaves the summary as it was.
    p.world.outlook.faults().fail("UnReadItemCount");
    p.compose(mail());
    EXPECT_EQ(p.content.inboxSummary, "Inbox: 3 items, 3 unread");
}
