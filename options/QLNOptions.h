#pragma once
// QLNOptions: the notifier's page in Outlook's Options dialog. It loads every setting into its
// controls when it is created, tracks whether the user changed anything (so that the dialog
// enables its Apply button), and writes everything back on Apply. The window position dialog,
// the folder lists and the hot-key box are its parts.
//
// Life: the constructor is the page's creation: it builds the controls and loads them from the
// store, with no site attached, so the change events loading sets off leave the page clean. The
// dialog then shows the page and attaches its site (UserControl_InitProperties). Apply may be
// called several times; destruction releases Outlook.
//
// Tabs: TabOne1 ("About|Actions|Display|Filters|Hotkeys|Advanced") holds one pane per tab,
// pnlAbout ... pnlAdvanced; the Display pane holds TabOne2 ("Available Fields|Visuals|Size") with
// the panes pnlFields, pnlVisuals and pnlSize. The three preview buttons, one on each inner pane,
// share one handler.

#include <cstdint>
#include <memory>
#include <string>

#include "controls/flairbutton/FlairButton.h"
#include "options/FolderLists.h"
#include "options/OptionChecks.h"
#include "options/OptionsServices.h"
#include "options/frmWinPos.h"
#include "platform/Outlook.h"
#include "platform/forms/CheckBox.h"
#include "platform/forms/ColorPicker.h"
#include "platform/forms/FontDialog.h"
#include "platform/forms/Form.h"
#include "platform/forms/Frame.h"
#include "platform/forms/Label.h"
#include "platform/forms/ListBox.h"
#include "platform/forms/OptionButton.h"
#include "platform/forms/Panel.h"
#include "platform/forms/Slider.h"
#include "platform/forms/TabStrip.h"
#include "platform/forms/TextBox.h"

namespace qln {

class QLNOptions : public forms::Form, public outlook::PropertyPage {
public:
    // Creation: builds the page and loads every control from the store (no site yet).
    QLNOptions(forms::FormsHost& host, OptionsServices& services);
    ~QLNOptions() override;

    // The dialog attaches its site after creation; from then on edits make the page dirty.
    void UserControl_InitProperties(outlook::PropertyPageSite* site);

    // outlook::PropertyPage
    bool Dirty() override { return dirty_; }
    void GetPageInfo(std::string& helpFile, std::int32_t& helpContext) override;
    void Apply() override;

    // The control's own read-only property.
    static std::string NameProperty() { return "Quellin"; }

    // The window position dialog while it is open, else nullptr.
    options::frmWinPos* myfrmWinPos() const
    {
        return myfrmWinPos_ && myfrmWinPos_->Loaded() ? myfrmWinPos_.get() : nullptr;
    }
    // The list Add and Remove act on: "blist" or "wlist".
    const std::string& CurrentList() const { return currentList_; }
    // The members behind the hot-key box and the window position dialog.
    std::int16_t HotKeyCode() const { return hotKeyCode_; }
    std::int16_t HotKeyMask() const { return hotKeyMask_; }
    std::int32_t SpaceWidth() const { return spaceWidth_; }
    std::int32_t SpaceHeight() const { return spaceHeight_; }
    std::int32_t WindowPosition() const { return windowPosition_; }
    const forms::FontDialog& fontDialog() const { return fontDialog_; }
    const options::FolderLists& folderLists() const { return folders_; }

    // ---- Controls ----
    forms::TabStrip& TabOne1;
    forms::Panel& pnlAbout;
    forms::Panel& pnlActions;
    forms::Panel& pnlDisplay;
    forms::Panel& pnlFilters;
    forms::Panel& pnlHotkeys;
    forms::Panel& pnlAdvanced;

    // About
    forms::CheckBox& chkIsEnabled;
    forms::Frame& fraOutlookXP;
    forms::CheckBox& chkOutlookHideAddressBar;
    forms::CheckBox& chkOutlookMinToTray;
    flair::FlairButton& btnHelp;
    forms::Label& lblNotice;

    // Actions
    forms::Frame& fraClickAction;
    forms::OptionButton& optSwitch;
    forms::OptionButton& optOpen;
    forms::OptionButton& optBoth;
    forms::Frame& fraWinState;
    forms::OptionButton& optMax;
    forms::OptionButton& optNormal;
    forms::CheckBox& chkAutoDis;
    forms::Label& lblDismissTime;
    forms::TextBox& txtDismissTime;
    forms::CheckBox& chkMultMsgDelay;
    forms::Label& lblMultMsgDelay;
    forms::TextBox& txtMultMsgDelay;
    forms::CheckBox& chkMarkRead;

    // Display
    forms::TabStrip& TabOne2;
    forms::Panel& pnlFields;
    forms::Panel& pnlVisuals;
    forms::Panel& pnlSize;
    //   Available Fields
    forms::CheckBox& chkShowInboxSum;
    forms::CheckBox& chkShowSenderName;
    forms::CheckBox& chkShowRecipient;
    forms::CheckBox& chkShowSubject;
    forms::CheckBox& chkShowReceivedSize;
    forms::CheckBox& chkMsgBody;
    forms::Label& lblMsgBody;
    forms::TextBox& txtMsgBody;
    flair::FlairButton& btnPreview;
    //   Visuals
    forms::OptionButton& optNone;
    forms::OptionButton& optSlide;
    forms::OptionButton& optFade;
    flair::FlairButton& btnChangeFont;
    forms::CheckBox& chkUseTransparency;
    forms::Slider& sliTransparencyLevel;
    forms::Label& lblTransparencyLight;
    forms::Label& lblTransparencyDark;
    forms::Slider& sliRate;
    forms::Label& lblRateFast;
    forms::Label& lblRateSlow;
    forms::Label& lblBackColor;
    forms::ColorPicker& cpkBackColor;
    flair::FlairButton& btnWindowPosition;
    flair::FlairButton& btnPreview1;
    //   Size
    forms::CheckBox& chkFixedWindow;
    forms::Label& lblFixedWidth;
    forms::TextBox& txtFixedWidth;
    forms::Label& lblFixedHeight;
    forms::TextBox& txtFixedHeight;
    flair::FlairButton& btnPreview2;

    // Filters
    flair::FlairButton& chkAllow;
    flair::FlairButton& chkBList;
    flair::FlairButton& chkWList;
    forms::Frame& fraBList;
    forms::ListBox& lstBList;
    forms::Frame& fraWList;
    forms::ListBox& lstWList;
    forms::TextBox& txtAddBWList;
    flair::FlairButton& btnAddBWList;
    flair::FlairButton& btnRemoveBWList;

    // Hotkeys
    forms::Label& lblHKDismiss;
    forms::TextBox& txtHKDismiss;

    // Advanced
    forms::Frame& fraAddInbox;
    forms::ListBox& lstAddInbox;
    flair::FlairButton& btnBrowseAddInbox;
    flair::FlairButton& btnRemoveAddInbox;
    forms::CheckBox& chkAutoDis3rd;
    forms::Frame& fraSpamFolders;
    forms::ListBox& lstSpamFolders;
    flair::FlairButton& btnAddSpamFolder;
    flair::FlairButton& btnSpamRemove;
    forms::CheckBox& chkNotifyReports;

private:
    // Construction (QLNOptionsLayout.cpp): the design's captions, tool tips and places.
    void initButtons();
    void placeControls();
    void setCaptions();

    // Creation and page-wide behaviour (QLNOptions.cpp).
    void wireEvents();
    void loadAll();
    void SetDirty();
    void ShowMessage(const std::string& text);
    void syncDependentControls();
    void applyPreWindows2000Rule();
    void applyEnableSwitch();
    void btnHelp_Click();
    void btnChangeFont_Click();
    void showFontOnButton();

    // Apply and Preview (QLNOptionsApply.cpp).
    template <class Step>
    void applyStep(Step&& step);
    void saveAll();
    void btnPreview_Click();

    // The list editor, the hot-key box and the window position dialog (QLNOptionsEditors.cpp).
    void setListMode(flair::FlairButton& checked);
    void btnAddBWList_Click();
    void btnRemoveBWList_Click();
    forms::ListBox& currentListBox();
    void txtHKDismiss_KeyDown(int& keyCode, int shift);
    void txtHKDismiss_KeyUp();
    void btnWindowPosition_Click();
    void openWindowPosition();  // btnWindowPosition_Click, with a dialog that cannot open let go
    void myfrmWinPos_OkClick();
    void myfrmWinPos_CancelClick();
    void releaseWinPos();

    OptionsServices& services_;
    outlook::PropertyPageSite* site_ = nullptr;
    bool dirty_ = false;
    std::shared_ptr<outlook::Application> outlook_;
    std::shared_ptr<outlook::NameSpace> mapiNamespace_;
    std::string currentList_ = "blist";
    std::int16_t hotKeyCode_ = 0;
    std::int16_t hotKeyMask_ = 0;
    std::string hotKeyText_;
    std::int32_t spaceWidth_ = 27;
    std::int32_t spaceHeight_ = 54;
    std::int32_t windowPosition_ = 0;
    std::int32_t loadedMultMsgDelayTime_ = 0;
    bool tabsLocked_ = false;  // the enable switch: TabOne1 keeps its tab while set
    forms::FontDialog fontDialog_;
    options::FolderLists folders_;
    std::unique_ptr<options::OptionChecks> checks_;
    std::unique_ptr<options::frmWinPos> myfrmWinPos_;
    // A closed dialog waits here until its own handler has returned (see releaseWinPos).
    std::unique_ptr<options::frmWinPos> closedWinPos_;
    // Tasks posted to the message loop hold it weakly: they do nothing once the page is gone.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace qln
