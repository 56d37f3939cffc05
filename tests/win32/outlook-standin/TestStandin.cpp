// QLN's side of COM against the Outlook stand-in in another process: Outlook.Application created
// by its ProgID out of process, and the path to the Inbox by late binding across the boundary.

#include <gtest/gtest.h>

#include "platform/Failure.h"

#include "platform/win32/ComMapi.h"
#include "platform/win32/ComOutlook.h"
#include "platform/win32/com/Dispatch.h"
#include "platform/win32/Win32Loop.h"
#include "platform/win32/com/MessageFilter.h"

namespace {

TEST(OutlookStandin, QlnAttachesAcrossProcessesAndReachesTheInbox)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    {
        platform::win32::com::MessageFilterRegistration filter(platform::win32::com::MessageFilter::create());
        platform::win32::Win32Loop loop;
        platform::win32::ComObjectFactory com(loop);
        auto application = com.createOutlookApplication();
        auto nameSpace = application->GetNamespace("MAPI");
        auto inbox = nameSpace->GetDefaultFolder(platform::outlook::olFolderInbox);
        EXPECT_EQ(inbox->Name(), "Inbox");
        EXPECT_EQ(inbox->EntryID(), "00000000INBOX");
        EXPECT_EQ(inbox->StoreID(), "00000000STORE");
        EXPECT_EQ(inbox->Items()->Count(), 0);
        // The server's own error crosses the boundary with its text.
        try {
            application->GetNamespace("OTHER");
            ADD_FAILURE() << "no Failure";
        } catch (const platform::Failure& failure) {
            EXPECT_STREQ(failure.what(), "GetNamespace failed: The operation failed. (0x80070057)");
        }
        // Outlook's Quit ends the stand-in now rather than when it has waited long enough.
        platform::win32::com::Dispatch(platform::win32::createOutlookObject()).call("Quit");
    }
    CoUninitialize();
}

} // namespace
