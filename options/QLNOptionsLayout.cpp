// QLNOptions: the design. Captions and tool tips, the buttons' design-time properties, and every
// control's place in twips, on its tab's pane or in its frame.

#include "options/QLNOptions.h"

#include "platform/forms/PropertyBag.h"

namespace qln {

namespace {

constexpr double kPageWidth = 6300;
constexpr double kPageHeight = 5250;
constexpr double kRow = 360;          // one row of check boxes or option buttons
constexpr double kCheckHeight = 285;
constexpr double kTextHeight = 315;
constexpr double kLabelHeight = 255;
constexpr double kButtonHeight = 360;

constexpr const char* kListToolTip =
    "E-mail addresses can be full or partial. To cover a whole domain, enter an at sign followed by "
    "the domain name (@example.com) or the domain name alone (example.com).";

void place(forms::Control& control, forms::Control& container, double left, double top, double width,
           double height)
{
    control.setContainer(&container);
    control.move(left, top, width, height);
}

} // namespace

void QLNOptions::initButtons()
{
    const auto init = [](flair::FlairButton& button, const char* caption, bool checkStyle) {
        forms::PropertyBag bag;
        bag.writeString("Caption", caption, "");
        bag.writeLong("Style", flair::enmButtonStyleXP, flair::enmButtonStyleFlat);
        bag.writeBool("Checked", checkStyle, false);
        button.ReadProperties(bag);
    };
    init(btnHelp, "Help Contents", false);
    init(btnPreview, "Show Preview", false);
    init(btnPreview1, "Show Preview", false);
    init(btnPreview2, "Show Preview", false);
    init(btnChangeFont, "Change Font...", false);
    init(btnWindowPosition, "Change Window Position...", false);
    init(chkAllow, "Allow all e-mails", true);
    init(chkBList, "Use blocked list", true);
    init(chkWList, "Only show allowed", true);
    init(btnAddBWList, "Add", false);
    init(btnRemoveBWList, "Remove", false);
    init(btnBrowseAddInbox, "Browse...", false);
    init(btnRemoveAddInbox, "Remove", false);
    init(btnAddSpamFolder, "Browse...", false);
    init(btnSpamRemove, "Remove", false);
}

void QLNOptions::setCaptions()
{
    setCaption(options::kPageTitle);
    TabOne1.setCaption("About|Actions|Display|Filters|Hotkeys|Advanced");
    TabOne2.setCaption("Available Fields|Visuals|Size");

    // About
    chkIsEnabled.setCaption("Enable Quellin");
    chkIsEnabled.setToolTipText("Enable/Disable Quellin");
    fraOutlookXP.setCaption("Microsoft Outlook XP Additional Options");
    chkOutlookHideAddressBar.setCaption("Hide Outlook Address Bar");
    chkOutlookHideAddressBar.setToolTipText("Requires Outlook to be restarted.");
    chkOutlookMinToTray.setCaption("Minimize Outlook to system tray");
    chkOutlookMinToTray.setToolTipText("Requires Outlook to be restarted.");
    btnHelp.setToolTipText("Show help contents");
    lblNotice.setCaption("Changes don't take effect until next new message arrives!");

    // Actions
    fraClickAction.setCaption("Click on Quellin Action");
    fraClickAction.setToolTipText("Action that will be taken when Quellin is clicked on");
    optSwitch.setCaption("Switch to Outlook");
    optOpen.setCaption("Open the email");
    optBoth.setCaption("Both");
    fraWinState.setCaption("Switch to Outlook window state");
    optMax.setCaption("Maximized window");
    optNormal.setCaption("Normal window");
    chkAutoDis.setCaption("Automatically Dismiss");
    lblDismissTime.setCaption("Dismiss after (in seconds):");
    chkMultMsgDelay.setCaption("Multiple message delay");
    chkMultMsgDelay.setToolTipText("Delay between displaying messages when multiple messages arrive at the same time.");
    lblMultMsgDelay.setCaption("Display time (in seconds):");
    chkMarkRead.setCaption("Mark messages as read");
    chkMarkRead.setToolTipText("When checked marks messages as read when they are deleted, forwarded, or replied to "
                               "in QLN. (Also dismisses Outlook's envelope icon from the system tray).");

    // Display / Available Fields
    chkShowInboxSum.setCaption("Show Outlook Inbox summary");
    chkShowInboxSum.setToolTipText(
        "When checked QLN will display number of items in the Outlook Inbox and how many are unread.");
    chkShowSenderName.setCaption("Show From (Sender)");
    chkShowSenderName.setToolTipText("When checked QLN will display sender name/address.");
    chkShowRecipient.setCaption("Show To (Recipient)");
    chkShowRecipient.setToolTipText("When checked QLN will display recipient name/address.");
    chkShowSubject.setCaption("Show Subject");
    chkShowSubject.setToolTipText("When checked QLN will display subject line.");
    chkShowReceivedSize.setCaption("Show received date/time and message size");
    chkShowReceivedSize.setToolTipText("When checked QLN will display date/time and message size.");
    chkMsgBody.setCaption("Show message body");
    lblMsgBody.setCaption("Number of characters to show:");

    // Display / Visuals
    optNone.setCaption("None");
    optSlide.setCaption("Window slides in");
    optFade.setCaption("Fade In/Out on Show/Hide");
    chkUseTransparency.setCaption("Use Transparency");
    chkUseTransparency.setToolTipText("Use alpha blending (transparency) this is for Windows 2000 or XP only");
    sliTransparencyLevel.setToolTipText("Transparency level");
    lblTransparencyLight.setCaption("Light");
    lblTransparencyDark.setCaption("Dark");
    sliRate.setToolTipText("Fade in/out and slide in rate");
    lblRateFast.setCaption("Fast");
    lblRateSlow.setCaption("Slow");
    lblBackColor.setCaption("Display window color:");
    cpkBackColor.setDialogTitle("Select a Color");

    // Display / Size
    chkFixedWindow.setCaption("Use fixed size notifier window (disables auto-size to message content)");
    lblFixedWidth.setCaption("Width (pixels):");
    lblFixedHeight.setCaption("Height (pixels):");

    // Filters
    fraBList.setCaption("Blocked E-mails Addresses");
    fraWList.setCaption("Allowed E-mails Addresses");
    for (forms::Control* control :
         {static_cast<forms::Control*>(&txtAddBWList), static_cast<forms::Control*>(&lstBList),
          static_cast<forms::Control*>(&lstWList), static_cast<forms::Control*>(&btnAddBWList)})
        control->setToolTipText(kListToolTip);

    // Hotkeys
    lblHKDismiss.setCaption("Dismiss:");

    // Advanced
    fraAddInbox.setCaption("Additional Inbox(s)");
    chkAutoDis3rd.setCaption("Auto-dismiss when 3rd party programs move e-mail");
    chkAutoDis3rd.setToolTipText("When checked QLN will auto-dismiss messages that are moved by 3rd party programs "
                                 "or add-ins. Usually spam programs.");
    fraSpamFolders.setCaption("Ignored Folders");
    chkNotifyReports.setCaption("Enable report notification");
    chkNotifyReports.setToolTipText("When checked QLN will notify on receipt of Outlook Reports. These include Read "
                                    "Receipt and Delivery Receipt messages.");
}

void QLNOptions::placeControls()
{
    move(0, 0, kPageWidth, kPageHeight);
    TabOne1.move(60, 60, kPageWidth - 120, kPageHeight - 120);
    forms::Panel* panes[] = {&pnlAbout, &pnlActions, &pnlDisplay, &pnlFilters, &pnlHotkeys, &pnlAdvanced};
    for (int i = 0; i < 6; ++i)
        TabOne1.setTabPane(i, *panes[i]);

    // About
    place(chkIsEnabled, pnlAbout, 240, 240, 3000, kCheckHeight);
    place(fraOutlookXP, pnlAbout, 240, 720, 5400, 1080);
    place(chkOutlookHideAddressBar, fraOutlookXP, 180, 300, 4800, kCheckHeight);
    place(chkOutlookMinToTray, fraOutlookXP, 180, 300 + kRow, 4800, kCheckHeight);
    place(btnHelp, pnlAbout, 240, 2040, 1800, kButtonHeight);
    place(lblNotice, pnlAbout, 240, 2640, 5400, kLabelHeight);

    // Actions
    place(fraClickAction, pnlActions, 120, 120, 2760, 1320);
    place(optSwitch, fraClickAction, 150, 270, 2460, kLabelHeight);
    place(optOpen, fraClickAction, 150, 270 + kRow, 2460, kLabelHeight);
    place(optBoth, fraClickAction, 150, 270 + 2 * kRow, 2460, kLabelHeight);
    place(fraWinState, pnlActions, 3000, 120, 2760, 1320);
    place(optMax, fraWinState, 150, 270, 2460, kLabelHeight);
    place(optNormal, fraWinState, 150, 270 + kRow, 2460, kLabelHeight);
    place(chkAutoDis, pnlActions, 120, 1620, 2520, kCheckHeight);
    place(lblDismissTime, pnlActions, 2700, 1650, 2280, kLabelHeight);
    place(txtDismissTime, pnlActions, 5040, 1605, 720, kTextHeight);
    place(chkMultMsgDelay, pnlActions, 120, 2100, 2520, kCheckHeight);
    place(lblMultMsgDelay, pnlActions, 2700, 2130, 2280, kLabelHeight);
    place(txtMultMsgDelay, pnlActions, 5040, 2085, 720, kTextHeight);
    place(chkMarkRead, pnlActions, 120, 2580, 5640, kCheckHeight);

    // Display: the inner tabs fill the pane.
    place(TabOne2, pnlDisplay, 60, 60, 5820, 4440);
    TabOne2.setTabPane(0, pnlFields);
    TabOne2.setTabPane(1, pnlVisuals);
    TabOne2.setTabPane(2, pnlSize);
    constexpr double kPreviewLeft = 3960;
    constexpr double kPreviewTop = 3480;
    constexpr double kPreviewWidth = 1560;

    //   Available Fields
    forms::CheckBox* fields[] = {&chkShowInboxSum,     &chkShowSenderName, &chkShowRecipient,
                                 &chkShowSubject,      &chkShowReceivedSize, &chkMsgBody};
    for (int i = 0; i < 6; ++i)
        place(*fields[i], pnlFields, 120, 120 + i * kRow, 5400, kCheckHeight);
    place(lblMsgBody, pnlFields, 480, 120 + 6 * kRow + 30, 2700, kLabelHeight);
    place(txtMsgBody, pnlFields, 3240, 120 + 6 * kRow, 720, kTextHeight);
    place(btnPreview, pnlFields, kPreviewLeft, kPreviewTop, kPreviewWidth, kButtonHeight);

    //   Visuals
    place(optNone, pnlVisuals, 120, 120, 2700, kLabelHeight);
    place(optSlide, pnlVisuals, 120, 120 + kRow, 2700, kLabelHeight);
    place(optFade, pnlVisuals, 120, 120 + 2 * kRow, 2700, kLabelHeight);
    place(btnChangeFont, pnlVisuals, 3120, 120, 2400, kButtonHeight);
    place(btnWindowPosition, pnlVisuals, 3120, 120 + 1.5 * kRow, 2400, kButtonHeight);
    place(chkUseTransparency, pnlVisuals, 120, 1320, 2700, kCheckHeight);
    place(lblTransparencyLight, pnlVisuals, 120, 1740, 600, kLabelHeight);
    place(sliTransparencyLevel, pnlVisuals, 720, 1680, 2520, 420);
    place(lblTransparencyDark, pnlVisuals, 3300, 1740, 600, kLabelHeight);
    place(lblRateFast, pnlVisuals, 120, 2280, 600, kLabelHeight);
    place(sliRate, pnlVisuals, 720, 2220, 2520, 420);
    place(lblRateSlow, pnlVisuals, 3300, 2280, 600, kLabelHeight);
    place(lblBackColor, pnlVisuals, 120, 2880, 2100, kLabelHeight);
    place(cpkBackColor, pnlVisuals, 2280, 2850, 1200, kTextHeight);
    place(btnPreview1, pnlVisuals, kPreviewLeft, kPreviewTop, kPreviewWidth, kButtonHeight);

    //   Size
    place(chkFixedWindow, pnlSize, 120, 120, 5520, kCheckHeight);
    place(lblFixedWidth, pnlSize, 480, 630, 1500, kLabelHeight);
    place(txtFixedWidth, pnlSize, 2040, 600, 720, kTextHeight);
    place(lblFixedHeight, pnlSize, 480, 630 + kRow + 60, 1500, kLabelHeight);
    place(txtFixedHeight, pnlSize, 2040, 600 + kRow + 60, 720, kTextHeight);
    place(btnPreview2, pnlSize, kPreviewLeft, kPreviewTop, kPreviewWidth, kButtonHeight);

    // Filters
    place(chkAllow, pnlFilters, 120, 120, 1860, kButtonHeight);
    place(chkBList, pnlFilters, 2040, 120, 1860, kButtonHeight);
    place(chkWList, pnlFilters, 3960, 120, 1860, kButtonHeight);
    place(fraBList, pnlFilters, 120, 600, 2820, 2700);
    place(lstBList, fraBList, 120, 270, 2580, 2310);
    place(fraWList, pnlFilters, 3000, 600, 2820, 2700);
    place(lstWList, fraWList, 120, 270, 2580, 2310);
    place(txtAddBWList, pnlFilters, 120, 3420, 3000, kTextHeight);
    place(btnAddBWList, pnlFilters, 3240, 3405, 1200, kButtonHeight);
    place(btnRemoveBWList, pnlFilters, 4560, 3405, 1200, kButtonHeight);

    // Hotkeys
    place(lblHKDismiss, pnlHotkeys, 240, 330, 900, kLabelHeight);
    place(txtHKDismiss, pnlHotkeys, 1200, 300, 3000, kTextHeight);

    // Advanced
    place(fraAddInbox, pnlAdvanced, 120, 120, 5700, 1380);
    place(lstAddInbox, fraAddInbox, 120, 270, 3900, 990);
    place(btnBrowseAddInbox, fraAddInbox, 4200, 270, 1320, kButtonHeight);
    place(btnRemoveAddInbox, fraAddInbox, 4200, 270 + 1.25 * kRow, 1320, kButtonHeight);
    place(chkAutoDis3rd, pnlAdvanced, 120, 1620, 5700, kCheckHeight);
    place(fraSpamFolders, pnlAdvanced, 120, 2040, 5700, 1380);
    place(lstSpamFolders, fraSpamFolders, 120, 270, 3900, 990);
    place(btnAddSpamFolder, fraSpamFolders, 4200, 270, 1320, kButtonHeight);
    place(btnSpamRemove, fraSpamFolders, 4200, 270 + 1.25 * kRow, 1320, kButtonHeight);
    place(chkNotifyReports, pnlAdvanced, 120, 3600, 5700, kCheckHeight);

    // The slider ranges the stored values map onto.
    sliTransparencyLevel.setMax(50);
    sliRate.setMax(20);
}

} // namespace qln
