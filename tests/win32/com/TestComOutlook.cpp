// The Outlook seam over COM, against automation objects of the test's own that answer Outlook's
// member names with Outlook's dispatch ids and raise ItemsEvents as Outlook does.

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>
#include <string>

#include <gtest/gtest.h>

#include "platform/Failure.h"
#include "platform/MessageLoop.h"
#include "platform/win32/ComMapi.h"
#include "platform/win32/ComOutlook.h"
#include "tests/win32/com/FakeAutomation.h"

namespace {

using comtest::Call;
using comtest::FakeAutomation;
using platform::Failure;
using platform::win32::com::ComPtr;
using platform::win32::com::Variant;

constexpr IID itemsEvents = {0x00063077, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID applicationEvents = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Tasks run only when the test says so.
class QueueLoop final : public platform::MessageLoop {
public:
    void post(std::function<void()> task) override { tasks_.push_back(std::move(task)); }
    void doEvents() override
    {
        for (auto pending = tasks_.size(); pending > 0 && !tasks_.empty(); --pending) {
            auto task = std::move(tasks_.front());
            tasks_.pop_front();
            task();
        }
    }
    platform::TimerId startTimer(std::uint32_t, std::function<void()>) override { return 0; }
    void stopTimer(platform::TimerId) override {}
    std::int64_t tickCount() const override { return 0; }
    std::size_t pending() const { return tasks_.size(); }

private:
    std::deque<std::function<void()>> tasks_;
};

Variant object(const ComPtr<FakeAutomation>& fake) { return Variant(static_cast<IDispatch*>(fake.Get())); }

// A member that answers a fixed value to any call.
comtest::Member returns(Variant value)
{
    return [value](const Call&, Variant& result, EXCEPINFO&) {
        result = value;
        return S_OK;
    };
}

// Outlook in miniature: the application, the MAPI name space, the inbox, its items, and mail.
struct FakeOutlook {
    ComPtr<FakeAutomation> application = FakeAutomation::create(applicationEvents);
    ComPtr<FakeAutomation> nameSpace = FakeAutomation::create();
    ComPtr<FakeAutomation> inbox = FakeAutomation::create();
    ComPtr<FakeAutomation> items = FakeAutomation::create(itemsEvents);
    std::vector<Call> calls;  // GetNamespace, GetDefaultFolder, GetItemFromID, GetFolderFromID
    std::map<std::string, ComPtr<FakeAutomation>> mails;

    FakeOutlook()
    {
        application->member("GetNamespace", 0x110, record(nameSpace));
        nameSpace->member("GetDefaultFolder", 0x210B, [this](const Call& call, Variant& result, EXCEPINFO& e) {
            calls.push_back(call);
            if (call.args.at(0).toLong() != 6)
                return comtest::raise(e, L"The operation failed.", E_FAIL);
            result = object(inbox);
            return S_OK;
        });
        nameSpace->member("GetFolderFromID", 0x2108, record(inbox));
        nameSpace->member("GetItemFromID", 0x2109, [this](const Call& call, Variant& result, EXCEPINFO& e) {
            calls.push_back(call);
            const auto found = mails.find(call.args.at(0).toString());
            if (found == mails.end())
                return comtest::raise(e, L"The operation failed. An object could not be found.",
                                      static_cast<SCODE>(0x8004010F));
            result = object(found->second);
            return S_OK;
        });
        nameSpace->member("PickFolder", 0x210E, returns(Variant(static_cast<IDispatch*>(nullptr))));
        inbox->member("Items", 0x3100, returns(object(items)));
        inbox->property("EntryID", 0xF01E, Variant("00INBOX"));
        inbox->property("StoreID", 0x3108, Variant("00STORE"));
        inbox->property("Name", 0x3001, Variant("Inbox"));
        inbox->property("DefaultMessageClass", 0x3107, Variant("IPM.Note"));
        inbox->property("UnReadItemCount", 0x3003, Variant(1));
        items->member("Count", 0x50, [this](const Call&, Variant& result, EXCEPINFO&) {
            result = Variant(static_cast<std::int32_t>(mails.size()));
            return S_OK;
        });
    }

    comtest::Member record(const ComPtr<FakeAutomation>& target)
    {
        return [this, target](const Call& call, Variant& result, EXCEPINFO&) {
            calls.push_back(call);
            result = object(target);
            return S_OK;
        };
    }

    ComPtr<FakeAutomation> addMail(const std::string& entryID, const std::string& subject, std::int32_t itemClass = 43)
    {
        ComPtr<FakeAutomation> mail = FakeAutomation::create();
        mail->property("Class", 0xF00A, Variant(itemClass));
        mail->property("EntryID", 0xF01E, Variant(entryID));
        mail->property("Subject", 0x37, Variant(subject));
        mail->property("UnRead", 0xF01C, Variant(true));
        mail->property("Sent", 0xF402, Variant(true));
        mail->property("Size", 0xE08, Variant(2048));
        mail->property("ReceivedTime", 0xE06, Variant::date(45292.75));  // 2024-01-01 18:00
        mail->member("Parent", 0xF001, returns(object(inbox)));
        mail->member("Display", 0xF0A6, returns(Variant()));
        mail->member("Delete", 0xF04A, [this, entryID](const Call&, Variant&, EXCEPINFO&) {
            mails.erase(entryID);
            return S_OK;
        });
        mail->member("Reply", 0xF810, [this, subject](const Call&, Variant& result, EXCEPINFO&) {
            result = object(addMail("", "RE: " + subject));
            return S_OK;
        });
        mails[entryID] = mail;
        return mail;
    }
};

class ComOutlook : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override
    {
        outlook_.reset();
        CoUninitialize();
    }

    std::shared_ptr<platform::outlook::Application> application()
    {
        return platform::win32::comOutlookApplication(outlook_->application.Get(), loop_);
    }

    QueueLoop loop_;
    std::unique_ptr<FakeOutlook> outlook_ = std::make_unique<FakeOutlook>();
};

template <class F>
Failure failureOf(F&& f)
{
    try {
        f();
    } catch (const Failure& failure) {
        return failure;
    }
    ADD_FAILURE() << "no Failure thrown";
    return Failure("none");
}

TEST_F(ComOutlook, TheInboxIsReachedByOutlooksNamesAndArguments)
{
    FakeOutlook& fake = *outlook_;
    fake.addMail("00A1", "Lunch");
    auto nameSpace = application()->GetNamespace("MAPI");
    auto inbox = nameSpace->GetDefaultFolder(platform::outlook::olFolderInbox);
    EXPECT_EQ(fake.calls.at(0).args.at(0).toString(), "MAPI");
    EXPECT_EQ(fake.calls.at(1).args.at(0).type(), VT_I4);

    EXPECT_EQ(inbox->Name(), "Inbox");
    EXPECT_EQ(inbox->EntryID(), "00INBOX");
    EXPECT_EQ(inbox->StoreID(), "00STORE");
    EXPECT_EQ(inbox->DefaultMessageClass(), "IPM.Note");
    EXPECT_EQ(inbox->UnReadItemCount(), 1);
    EXPECT_EQ(inbox->Items()->Count(), 1);

    EXPECT_EQ(nameSpace->GetFolderFromID("00INBOX", "00STORE")->Name(), "Inbox");
    EXPECT_EQ(fake.calls.back().args.at(1).toString(), "00STORE");
    // The user cancelling Outlook's folder picker is Nothing, not a failure.
    EXPECT_EQ(nameSpace->PickFolder(), nullptr);

    // Outlook's own error reaches the caller with its text and code.
    const Failure refused = failureOf([&] { nameSpace->GetDefaultFolder(99); });
    EXPECT_STREQ(refused.what(), "GetDefaultFolder failed: The operation failed. (0x80004005)");
    EXPECT_EQ(refused.number(), static_cast<std::int32_t>(E_FAIL));
}

TEST_F(ComOutlook, ItemsAreFoundByEntryIdInTheDefaultStoreOrANamedOne)
{
    FakeOutlook& fake = *outlook_;
    fake.addMail("00A1", "Lunch");
    auto nameSpace = application()->GetNamespace("MAPI");

    EXPECT_EQ(nameSpace->GetItemFromID("00A1")->Subject(), "Lunch");
    EXPECT_TRUE(fake.calls.back().args.at(1).isMissing());
    nameSpace->GetItemFromID("00A1", std::string());
    EXPECT_TRUE(fake.calls.back().args.at(1).isMissing());
    nameSpace->GetItemFromID("00A1", std::string("00STORE"));
    EXPECT_EQ(fake.calls.back().args.at(1).toString(), "00STORE");

    const Failure gone = failureOf([&] { nameSpace->GetItemFromID("00ZZ"); });
    EXPECT_EQ(gone.number(), static_cast<std::int32_t>(0x8004010F));
    EXPECT_NE(std::string(gone.what()).find("An object could not be found"), std::string::npos) << gone.what();
}

TEST_F(ComOutlook, MailItemMembersReadWriteAndAct)
{
    FakeOutlook& fake = *outlook_;
    ComPtr<FakeAutomation> raw = fake.addMail("00A1", "Caf\xC3\xA9 \xF0\x9F\x8D\xB0");
    auto item = application()->GetNamespace("MAPI")->GetItemFromID("00A1");
    EXPECT_EQ(item->Class(), platform::outlook::olMail);
    auto mail = item->asMailItem();

    EXPECT_EQ(mail->Subject(), "Caf\xC3\xA9 \xF0\x9F\x8D\xB0");
    EXPECT_EQ(mail->EntryID(), "00A1");
    EXPECT_EQ(mail->Size(), 2048);
    EXPECT_TRUE(mail->Sent());
    EXPECT_EQ(mail->ReceivedTime(), platform::DateTime::fromCivil({2024, 1, 1, 18, 0, 0}));
    EXPECT_EQ(mail->Parent()->Name(), "Inbox");

    EXPECT_TRUE(mail->UnRead());
    mail->setUnRead(false);
    EXPECT_FALSE(raw->value(0xF01C).toBool());
    EXPECT_EQ(raw->value(0xF01C).type(), VT_BOOL);

    mail->Display();
    EXPECT_EQ(raw->lastCall().flags, DISPATCH_METHOD);
    EXPECT_TRUE(raw->lastCall().args.empty());
    auto reply = mail->Reply();
    EXPECT_EQ(reply->Subject(), "RE: Caf\xC3\xA9 \xF0\x9F\x8D\xB0");
    mail->Delete();
    EXPECT_EQ(fake.mails.count("00A1"), 0u);
    // A member Outlook's item lacks fails by name (this fake mail cannot forward).
    EXPECT_EQ(failureOf([&] { mail->Forward(); }).number(), DISP_E_UNKNOWNNAME);
}

TEST_F(ComOutlook, OnlyMailIsTakenAsAMailItem)
{
    FakeOutlook& fake = *outlook_;
    fake.addMail("00R1", "Undeliverable: Lunch", platform::outlook::olReport);
    auto report = application()->GetNamespace("MAPI")->GetItemFromID("00R1");
    EXPECT_EQ(report->Class(), platform::outlook::olReport);
    EXPECT_EQ(failureOf([&] { report->asMailItem(); }).number(), 13);
    EXPECT_EQ(report->Subject(), "Undeliverable: Lunch");  // the untyped item still answers
}

TEST_F(ComOutlook, EachNameIsAskedOncePerInterfaceAcrossObjects)
{
    FakeOutlook& fake = *outlook_;
    ComPtr<FakeAutomation> first = fake.addMail("00A1", "one");
    ComPtr<FakeAutomation> second = fake.addMail("00A2", "two");
    auto nameSpace = application()->GetNamespace("MAPI");
    for (int round = 0; round < 3; ++round) {
        nameSpace->GetItemFromID("00A1")->Subject();
        nameSpace->GetItemFromID("00A2")->Subject();
    }
    EXPECT_EQ(first->nameLookups() + second->nameLookups(), 1);
    EXPECT_EQ(fake.nameSpace->nameLookups(), 1);
    EXPECT_EQ(first->invocations() + second->invocations(), 6);
}

TEST_F(ComOutlook, ItemsEventsArriveAsLoopTasksWhileConnected)
{
    FakeOutlook& fake = *outlook_;
    auto items = application()->GetNamespace("MAPI")->GetDefaultFolder(6)->Items();
    std::vector<std::string> seen;
    platform::outlook::ItemsEvents handlers;
    handlers.ItemAdd = [&](std::shared_ptr<platform::outlook::Item> item) { seen.push_back("add " + item->EntryID()); };
    handlers.ItemChange = [&](std::shared_ptr<platform::outlook::Item> item) { seen.push_back("change " + item->EntryID()); };
    handlers.ItemRemove = [&] { seen.push_back("remove"); };
    auto connection = items->advise(handlers);
    EXPECT_EQ(fake.items->sinks(), 1u);

    EXPECT_EQ(fake.items->fire(0xF001, {object(fake.addMail("00A1", "x"))}), std::vector<HRESULT>{S_OK});
    fake.items->fire(0xF002, {object(fake.mails["00A1"])});
    fake.items->fire(0xF003, {});
    EXPECT_TRUE(seen.empty());  // nothing runs inside Outlook's call to the sink
    EXPECT_EQ(loop_.pending(), 3u);
    loop_.doEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"add 00A1", "change 00A1", "remove"}));

    // An event posted just before the connection ends is dropped; later ones are not raised.
    fake.items->fire(0xF001, {object(fake.addMail("00A2", "y"))});
    connection.reset();
    EXPECT_EQ(fake.items->sinks(), 0u);
    loop_.doEvents();
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(ComOutlook, OutlookGoneFailsEveryLaterCallOfThatAttachAtOnce)
{
    FakeOutlook& fake = *outlook_;
    auto nameSpace = application()->GetNamespace("MAPI");
    auto inbox = nameSpace->GetDefaultFolder(6);
    fake.nameSpace->member("GetItemFromID", 0x2109, [](const Call&, Variant&, EXCEPINFO&) {
        return HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE);
    });
    EXPECT_EQ(failureOf([&] { nameSpace->GetItemFromID("00A1"); }).number(),
              static_cast<std::int32_t>(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE)));
    const int served = fake.inbox->invocations();
    EXPECT_THROW(inbox->Name(), Failure);
    EXPECT_EQ(fake.inbox->invocations(), served);
    // A new attach starts afresh.
    EXPECT_EQ(application()->GetNamespace("MAPI")->GetDefaultFolder(6)->Name(), "Inbox");
}

TEST_F(ComOutlook, OleDatesBecomeWallClockSeconds)
{
    using platform::DateTime;
    using platform::win32::fromOleDate;
    EXPECT_EQ(fromOleDate(25569.0), DateTime::fromSeconds(0));
    EXPECT_EQ(fromOleDate(25569.5), DateTime::fromSeconds(43200));
    EXPECT_EQ(fromOleDate(45292.0 + 1.0 / 86400 * 0.6), DateTime::fromCivil({2024, 1, 1, 0, 0, 1}));  // rounded
    // Before 1899-12-30 the fraction still counts forward from midnight: -1.25 is 1899-12-29 06:00.
    EXPECT_EQ(fromOleDate(-1.25), fromOleDate(-1.0).plusSeconds(6 * 3600));
}

// --- The MAPI helper over the object model ---

// A mail with what the safe wrapper reads; `senderType` "EX" makes the sender an Exchange one.
ComPtr<FakeAutomation> addWrappedMail(FakeOutlook& fake, const std::string& entryID, const std::string& senderType)
{
    ComPtr<FakeAutomation> mail = fake.addMail(entryID, "Lunch");
    ComPtr<FakeAutomation> attachments = FakeAutomation::create();
    attachments->property("Count", 0x50, Variant(2));
    mail->member("Attachments", 0xF815, returns(object(attachments)));
    mail->property("SenderName", 0xC1A, Variant("Zo\xC3\xAB Adams"));
    mail->property("SenderEmailType", 0xC1E, Variant(senderType));
    mail->property("SenderEmailAddress", 0xC1F,
                   Variant(senderType == "EX" ? "/o=Example/ou=First/cn=Recipients/cn=zoe" : "zoe@example.com"));
    mail->property("To", 0xE04, Variant("Team"));
    mail->property("Body", 0x9100, Variant("See you at noon."));
    return mail;
}

class ComMapi : public ComOutlook {
protected:
    std::shared_ptr<platform::mapi::SafeMailItem> wrap(const std::string& entryID)
    {
        auto wrapper = platform::win32::comSafeMailItem(ids_);
        wrapper->setItem(application()->GetNamespace("MAPI")->GetItemFromID(entryID));
        return wrapper;
    }
    std::shared_ptr<platform::win32::SafeMailIds> ids_ = std::make_shared<platform::win32::SafeMailIds>();
};

TEST_F(ComMapi, TheSafeWrapperReadsTheItemsMembers)
{
    ComPtr<FakeAutomation> raw = addWrappedMail(*outlook_, "00A1", "SMTP");
    auto item = application()->GetNamespace("MAPI")->GetItemFromID("00A1");
    auto wrapper = platform::win32::comSafeMailItem(ids_);
    EXPECT_THROW(wrapper->SenderName(), Failure);  // nothing handed over yet
    wrapper->setItem(item);
    EXPECT_EQ(wrapper->item(), item);

    using namespace platform::mapi;
    EXPECT_EQ(wrapper->SenderName(), "Zo\xC3\xAB Adams");
    EXPECT_EQ(wrapper->Body(), "See you at noon.");
    EXPECT_EQ(wrapper->AttachmentsCount(), 2);
    EXPECT_EQ(wrapper->Fields(PR_SENDER_EMAIL_ADDRESS), "zoe@example.com");
    EXPECT_EQ(wrapper->Fields(PR_SENDER_NAME), "Zo\xC3\xAB Adams");
    EXPECT_EQ(wrapper->Fields(PR_DISPLAY_TO), "Team");
    EXPECT_EQ(wrapper->Fields(PR_SUBJECT), "Lunch");
    EXPECT_EQ(wrapper->Fields(PR_BODY), "See you at noon.");
    EXPECT_EQ(wrapper->Fields(0x0E1D001E), "");  // a tag the wrapper has no member for

    // Wrappers are made for every use; the names are asked once for all of them.
    const int lookups = ids_->mailItem->lookups();
    wrap("00A1")->SenderName();
    EXPECT_EQ(ids_->mailItem->lookups(), lookups);

    // An item gone from Outlook fails every read with Outlook's error.
    raw->member("Body", 0x9100, [](const Call&, Variant&, EXCEPINFO& e) {
        return comtest::raise(e, L"The item has been moved or deleted.", static_cast<SCODE>(0x8004010F));
    });
    EXPECT_EQ(failureOf([&] { wrapper->Body(); }).number(), static_cast<std::int32_t>(0x8004010F));
}

TEST_F(ComMapi, AnExchangeSendersAddressIsItsSmtpAddress)
{
    using platform::mapi::PR_SENDER_EMAIL_ADDRESS;
    ComPtr<FakeAutomation> mail = addWrappedMail(*outlook_, "00X1", "EX");
    ComPtr<FakeAutomation> accessor = FakeAutomation::create();
    std::string asked;
    accessor->member("GetProperty", 0xFA71, [&](const Call& call, Variant& result, EXCEPINFO& e) {
        asked = call.args.at(0).toString();
        if (asked != "http://schemas.microsoft.com/mapi/proptag/0x5D01001F")
            return comtest::raise(e, L"The property is unknown.", E_FAIL);
        result = Variant("zoe@example.com");
        return S_OK;
    });
    mail->member("PropertyAccessor", 0xFAFD, returns(object(accessor)));
    EXPECT_EQ(wrap("00X1")->Fields(PR_SENDER_EMAIL_ADDRESS), "zoe@example.com");
    EXPECT_EQ(asked, "http://schemas.microsoft.com/mapi/proptag/0x5D01001F");

    // Without the property, the Exchange user's primary SMTP address.
    accessor->member("GetProperty", 0xFA71, [](const Call&, Variant&, EXCEPINFO& e) {
        return comtest::raise(e, L"The property \"http://schemas.microsoft.com/mapi/proptag/0x5D01001F\" is unknown.",
                              static_cast<SCODE>(0x8004010F));
    });
    ComPtr<FakeAutomation> user = FakeAutomation::create();
    user->property("PrimarySmtpAddress", 0xFA0E, Variant("zoe.adams@example.com"));
    ComPtr<FakeAutomation> sender = FakeAutomation::create();
    sender->member("GetExchangeUser", 0xFA05, returns(object(user)));
    mail->member("Sender", 0xFAC9, returns(object(sender)));
    EXPECT_EQ(wrap("00X1")->Fields(PR_SENDER_EMAIL_ADDRESS), "zoe.adams@example.com");

    // An Outlook with neither (2003), or a sender not in the directory: the Exchange address.
    sender->member("GetExchangeUser", 0xFA05, returns(Variant(static_cast<IDispatch*>(nullptr))));
    EXPECT_EQ(wrap("00X1")->Fields(PR_SENDER_EMAIL_ADDRESS), "/o=Example/ou=First/cn=Recipients/cn=zoe");
    ComPtr<FakeAutomation> old = addWrappedMail(*outlook_, "00X2", "EX");
    EXPECT_EQ(wrap("00X2")->Fields(PR_SENDER_EMAIL_ADDRESS), "/o=Example/ou=First/cn=Recipients/cn=zoe");
}

TEST_F(ComMapi, NewMailIsOneEventPerEntryIdOfNewMailEx)
{
    FakeOutlook& fake = *outlook_;
    fake.addMail("00A1", "one");
    fake.addMail("00A2", "two");
    int attached = 0;
    auto utils = platform::win32::comMAPIUtils(loop_, [&] {
        ++attached;
        return ComPtr<IDispatch>(fake.application.Get());
    });
    std::vector<std::string> seen;
    auto connection = utils->adviseNewMail([&](std::shared_ptr<platform::outlook::Item> item) {
        seen.push_back(item->Subject());
    });
    EXPECT_EQ(attached, 1);
    EXPECT_EQ(fake.application->sinks(), 1u);

    // A mail already gone when its turn comes is skipped; the others arrive in Outlook's order.
    EXPECT_EQ(fake.application->fire(0xFAB5, {Variant("00A2,00GONE, 00A1")}), std::vector<HRESULT>{S_OK});
    EXPECT_TRUE(seen.empty());
    loop_.doEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"two", "one"}));

    // Other application events (NewMail 0xF003, Quit 0xF007) are not NewMail.
    fake.application->fire(0xF003, {});
    loop_.doEvents();
    EXPECT_EQ(seen.size(), 2u);

    fake.application->fire(0xFAB5, {Variant("00A1")});
    connection.reset();
    EXPECT_EQ(fake.application->sinks(), 0u);
    loop_.doEvents();
    EXPECT_EQ(seen.size(), 2u);
    utils->Cleanup();
}

} // namespace
