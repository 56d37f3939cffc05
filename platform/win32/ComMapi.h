#pragma once
// The maker's MAPI helper, our own, over Outlook's object model; and the COM object factory.
//
// Implements: mapi::SafeMailItem reading the wrapped item's members by late binding (SenderName,
// Body, Attachments.Count, and the five tags by their matching members: SenderEmailAddress,
// SenderName, To, Subject, Body). For an Exchange sender (SenderEmailType "EX") the sender's
// address is the SMTP one: PR_SENDER_SMTP_ADDRESS through the PropertyAccessor, else the
// Exchange user's PrimarySmtpAddress, else the Exchange address itself. A tag without a matching
// member reads as "", as a property the item lacks. mapi::MAPIUtils: NewMail is Outlook's
// NewMailEx (ApplicationEvents_11 {0006302C-...}, DISPID 0xFAB5), one event per EntryID it
// reports, each posted to the message loop and looked up there with GetItemFromID in the default
// store; an item gone before it is looked up is skipped. Cleanup has nothing to release and does
// nothing. ComObjectFactory: the three objects by COM, Outlook by its ProgID out of process.
// Does not: keep a reference to Outlook beyond the objects the caller holds (one held elsewhere
// would keep Outlook running after its user closed it), or raise NewMail for a second store.

#include <functional>
#include <memory>

#include "platform/MessageLoop.h"
#include "platform/Outlook.h"
#include "platform/win32/com/Dispatch.h"

namespace platform::win32 {

// The ids of the interfaces a safe wrapper reads, shared by the factory's wrappers (they are made
// anew for every use; each name is asked once).
struct SafeMailIds {
    std::shared_ptr<com::DispIdCache> mailItem = std::make_shared<com::DispIdCache>();
    std::shared_ptr<com::DispIdCache> attachments = std::make_shared<com::DispIdCache>();
    std::shared_ptr<com::DispIdCache> propertyAccessor = std::make_shared<com::DispIdCache>();
    std::shared_ptr<com::DispIdCache> addressEntry = std::make_shared<com::DispIdCache>();
    std::shared_ptr<com::DispIdCache> exchangeUser = std::make_shared<com::DispIdCache>();
};

std::shared_ptr<mapi::SafeMailItem> comSafeMailItem(std::shared_ptr<SafeMailIds> ids);

// Reaches Outlook's Application object when NewMail is advised (attaching or creating it).
using OutlookSource = std::function<com::ComPtr<IDispatch>()>;
std::shared_ptr<mapi::MAPIUtils> comMAPIUtils(MessageLoop& loop, OutlookSource outlook);

class ComObjectFactory final : public ObjectFactory {
public:
    explicit ComObjectFactory(MessageLoop& loop) : loop_(loop) {}

    std::shared_ptr<outlook::Application> createOutlookApplication() override;
    std::shared_ptr<mapi::SafeMailItem> createSafeMailItem() override;
    std::shared_ptr<mapi::MAPIUtils> createMAPIUtils() override;

private:
    MessageLoop& loop_;
    std::shared_ptr<SafeMailIds> wrapperIds_ = std::make_shared<SafeMailIds>();
};

} // namespace platform::win32
