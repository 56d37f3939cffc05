#include "platform/win32/ComMapi.h"

#include <utility>
#include <vector>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/win32/ComOutlook.h"
#include "platform/win32/com/ComFailure.h"
#include "platform/win32/com/EventSink.h"

namespace platform::win32 {

namespace {

using com::ComPtr;
using com::Dispatch;
using com::Variant;

// {0006302C-0000-0000-C000-000000000046}: Outlook's ApplicationEvents_11 (Outlook 2003 and later).
constexpr IID IID_ApplicationEvents_11 = {0x0006302C, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID DISPID_NewMailEx = 0xFAB5;

// PR_SENDER_SMTP_ADDRESS (Unicode), as the PropertyAccessor names it.
constexpr const char* senderSmtpAddress = "http://schemas.microsoft.com/mapi/proptag/0x5D01001F";

Dispatch objectIn(const Variant& value, const std::string& member, std::shared_ptr<com::DispIdCache> ids)
{
    ComPtr<IDispatch> object = value.toDispatch();
    if (!object)
        throw Failure(member + " failed: Outlook returned no object.", static_cast<std::int32_t>(E_POINTER));
    return Dispatch(std::move(object), std::move(ids));
}

class ComSafeMailItem final : public mapi::SafeMailItem {
public:
    explicit ComSafeMailItem(std::shared_ptr<SafeMailIds> ids) : ids_(std::move(ids)) {}

    void setItem(std::shared_ptr<outlook::Item> item) override
    {
        IDispatch* object = item ? comObjectOf(*item) : nullptr;
        if (!object)
            throw Failure("setItem failed: not an Outlook item.");
        item_ = std::move(item);
        mail_ = Dispatch(ComPtr<IDispatch>(object), ids_->mailItem);
    }

    std::shared_ptr<outlook::Item> item() override
    {
        wrapped("item");
        return item_;
    }

    std::string SenderName() override { return wrapped("SenderName").get("SenderName").toString(); }
    std::string Body() override { return wrapped("Body").get("Body").toString(); }

    std::int32_t AttachmentsCount() override
    {
        const Dispatch& mail = wrapped("AttachmentsCount");
        return objectIn(mail.get("Attachments"), "Attachments", ids_->attachments).get("Count").toLong();
    }

    std::string Fields(std::uint32_t tag) override
    {
        const Dispatch& mail = wrapped("Fields");
        switch (tag) {
        case mapi::PR_SENDER_EMAIL_ADDRESS:
            return senderAddress(mail);
        case mapi::PR_SENDER_NAME:
            return mail.get("SenderName").toString();
        case mapi::PR_DISPLAY_TO:
            return mail.get("To").toString();
        case mapi::PR_SUBJECT:
            return mail.get("Subject").toString();
        case mapi::PR_BODY:
            return mail.get("Body").toString();
        default:
            return {};
        }
    }

private:
    const Dispatch& wrapped(const std::string& operation) const
    {
        if (!mail_)
            throw Failure(operation + " failed: no item was handed to the wrapper.");
        return mail_;
    }

    // An Exchange sender's address is an X.500 path ("/o=Example/ou=.../cn=zoe") that no list
    // entry like "@example.com" matches: the SMTP address stands for it. The PropertyAccessor
    // and the Exchange user are Outlook 2007's; an older Outlook (or a sender no longer in the
    // directory) leaves the Exchange address.
    std::string senderAddress(const Dispatch& mail) const
    {
        std::string address = mail.get("SenderEmailAddress").toString();
        const std::string type = valueOr(std::string(), [&] { return mail.get("SenderEmailType").toString(); });
        if (!lang::equalsNoCase(type, "EX"))
            return address;
        std::string smtp = valueOr(std::string(), [&] {
            return objectIn(mail.get("PropertyAccessor"), "PropertyAccessor", ids_->propertyAccessor)
                .call("GetProperty", {Variant(senderSmtpAddress)})
                .toString();
        });
        if (smtp.empty())
            smtp = valueOr(std::string(), [&] {
                const Dispatch sender = objectIn(mail.get("Sender"), "Sender", ids_->addressEntry);
                return objectIn(sender.call("GetExchangeUser"), "GetExchangeUser", ids_->exchangeUser)
                    .get("PrimarySmtpAddress")
                    .toString();
            });
        return smtp.empty() ? address : smtp;
    }

    std::shared_ptr<SafeMailIds> ids_;
    std::shared_ptr<outlook::Item> item_;
    Dispatch mail_;
};

// NewMailEx for as long as it lives; lookups run as loop tasks, skipped once it has ended.
class NewMailConnection final : public Connection {
public:
    NewMailConnection(MessageLoop& loop, const ComPtr<IDispatch>& application,
                      std::function<void(std::shared_ptr<outlook::Item>)> handler)
        : nameSpace_(comOutlookApplication(application.Get(), loop)->GetNamespace("MAPI")),
          connection_(*application.Get(), sink(loop, nameSpace_, std::move(handler), alive_))
    {
    }
    ~NewMailConnection() override { *alive_ = false; }

private:
    static ComPtr<com::EventSink> sink(MessageLoop& loop, std::shared_ptr<outlook::NameSpace> nameSpace,
                                       std::function<void(std::shared_ptr<outlook::Item>)> handler,
                                       std::shared_ptr<bool> alive)
    {
        ComPtr<com::EventSink> sink = com::EventSink::create(IID_ApplicationEvents_11);
        sink->on(DISPID_NewMailEx, [&loop, nameSpace, handler, alive](const std::vector<Variant>& args) {
            if (args.empty())
                return;
            // "EntryID1,EntryID2,...": one NewMail each, in Outlook's order.
            for (const std::string& part : lang::split(args[0].toString(), ',')) {
                const std::string entryID = lang::trimBlanks(part);
                if (entryID.empty())
                    continue;
                loop.post([nameSpace, handler, alive, entryID] {
                    if (!*alive || !handler)
                        return;
                    auto item = valueOr<std::shared_ptr<outlook::Item>>(
                        nullptr, [&] { return nameSpace->GetItemFromID(entryID); });
                    if (item)
                        handler(std::move(item));
                });
            }
        });
        return sink;
    }

    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::shared_ptr<outlook::NameSpace> nameSpace_;
    com::SinkConnection connection_;
};

class ComMAPIUtils final : public mapi::MAPIUtils {
public:
    ComMAPIUtils(MessageLoop& loop, OutlookSource outlook) : loop_(loop), outlook_(std::move(outlook)) {}

    std::unique_ptr<Connection> adviseNewMail(std::function<void(std::shared_ptr<outlook::Item>)> handler) override
    {
        return std::make_unique<NewMailConnection>(loop_, outlook_(), std::move(handler));
    }

    // The wrappers hold nothing beyond the item they were handed: nothing to clean up.
    void Cleanup() override {}

private:
    MessageLoop& loop_;
    OutlookSource outlook_;
};

} // namespace

std::shared_ptr<mapi::SafeMailItem> comSafeMailItem(std::shared_ptr<SafeMailIds> ids)
{
    return std::make_shared<ComSafeMailItem>(ids ? std::move(ids) : std::make_shared<SafeMailIds>());
}

std::shared_ptr<mapi::MAPIUtils> comMAPIUtils(MessageLoop& loop, OutlookSource outlook)
{
    return std::make_shared<ComMAPIUtils>(loop, std::move(outlook));
}

std::shared_ptr<outlook::Application> ComObjectFactory::createOutlookApplication()
{
    return comOutlookApplication(createOutlookObject().Get(), loop_);
}

std::shared_ptr<mapi::SafeMailItem> ComObjectFactory::createSafeMailItem() { return comSafeMailItem(wrapperIds_); }

std::shared_ptr<mapi::MAPIUtils> ComObjectFactory::createMAPIUtils() { return comMAPIUtils(loop_, createOutlookObject); }

} // namespace platform::win32
