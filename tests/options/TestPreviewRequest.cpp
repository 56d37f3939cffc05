// The Preview request: the 21 twins written from the page as it stands, then the flag; nothing
// else in the store changes and the page's state stays as it was.

#include <gtest/gtest.h>

#include "tests/options/PageTestWorld.h"

namespace {

namespace S = pagetest::S;
using pagetest::Texts;

class PreviewRequest : public ::testing::Test {
protected:
    pagetest::World w;
    Texts writes;  // every value written through the seam, by name

    void click(flair::FlairButton& button)
    {
        writes.clear();
        w.sim.registry.on_write = [this](platform::Hive, const std::string&, const std::string& name,
                                         const platform::sim::RegValue&) { writes.push_back(name); };
        button.raiseClick();
        w.sim.registry.on_write = nullptr;
    }
};

TEST_F(PreviewRequest, WritesTheTwinsInOrderThenRaisesTheFlag)
{
    w.store(S::SpaceWidth, 5);
    auto& page = w.open();
    click(page.btnPreview);
    EXPECT_EQ(writes, (Texts{"pShowInboxSum", "pShowSenderName", "pShowRecipient", "pShowSubject",
                             "pShowReceivedSize", "pShowMessageBody", "pBodyAmount", "pBackColor",
                             "pUseTransparency", "pTransparencyLevel", "pWinRate", "pWinAppear", "pUseSetFormSize",
                             "pSetFormWidth", "pSetFormHeight", "pUserFontName", "pUserFontSize", "pUserFontColor",
                             "pSpaceWidth", "pSpaceHeight", "pWindowPosition", "Preview"}));
    EXPECT_EQ(w.stored(S::Preview), 1);
    EXPECT_EQ(w.stored(S::previewTwin(S::TransparencyLevel)), 199);  // 200 loads as 38; 38 x 4.7 + 20
    EXPECT_EQ(w.stored(S::previewTwin(S::WinAppear)), "None");
    EXPECT_EQ(w.stored(S::previewTwin(S::UserFontColor)), static_cast<std::int32_t>(0x80000012));
    EXPECT_EQ(w.stored(S::previewTwin(S::SpaceWidth)), 5);
}

TEST_F(PreviewRequest, UsesUnappliedValuesAndLeavesPlainSettingsChecksAndDirtyAlone)
{
    w.store(S::BackColor, 0x00FF00);
    auto& page = w.open();
    page.cpkBackColor.setColor(0xFF0000);
    page.optFade.setValue(true);
    page.sliTransparencyLevel.setValue(50);
    page.txtMsgBody.setText("12.5");
    page.txtFixedWidth.setText("150");  // not yet corrected: the notifier has its own minimum
    for (flair::FlairButton* button : {&page.btnPreview1, &page.btnPreview2}) {
        click(*button);
        EXPECT_EQ(writes.size(), 22u);
    }
    EXPECT_EQ(w.stored(S::previewTwin(S::BackColor)), 0xFF0000);
    EXPECT_EQ(w.stored(S::previewTwin(S::WinAppear)), "Fade");
    EXPECT_EQ(w.stored(S::previewTwin(S::TransparencyLevel)), 255);
    EXPECT_EQ(w.stored(S::previewTwin(S::BodyAmount)), 12);
    EXPECT_EQ(w.stored(S::previewTwin(S::SetFormWidth)), 150);
    EXPECT_EQ(w.stored(S::BackColor), 0x00FF00);
    EXPECT_EQ(page.txtFixedWidth.Text(), "150");
    EXPECT_TRUE(w.newMessages().empty());

    page.Apply();
    ASSERT_TRUE(page.Dirty());  // Apply reset the width
    click(page.btnPreview);
    EXPECT_TRUE(page.Dirty());
}

TEST_F(PreviewRequest, ABoxThatIsNoNumberPreviewsItsDefaultAndStaysAsTyped)
{
    auto& page = w.open();
    page.txtMsgBody.setText("lots");
    page.txtFixedWidth.setText("");
    page.txtFixedHeight.setText("1e40");
    w.site.statusChanges = 0;
    click(page.btnPreview);
    EXPECT_EQ(w.stored(S::previewTwin(S::BodyAmount)), 150);
    EXPECT_EQ(w.stored(S::previewTwin(S::SetFormWidth)), 200);
    EXPECT_EQ(w.stored(S::previewTwin(S::SetFormHeight)), 75);
    EXPECT_EQ(page.txtMsgBody.Text(), "lots");
    EXPECT_EQ(w.site.statusChanges, 0);
    EXPECT_TRUE(w.newMessages().empty());
    EXPECT_EQ(w.stored(S::Preview), 1);
}

} // namespace
