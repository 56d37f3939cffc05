#include "notifier/window/PopupLayout.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "notifier/window/frmNewMail.h"
#include "platform/Failure.h"
#include "platform/Lang.h"
#include "platform/forms/Twips.h"

namespace qln {

namespace {

using platform::valueOr;

// Fixed margins, in pixels (converted with the rounded factors).
constexpr int kTopMargin = 24;
constexpr int kRowGap = 3;            // below the inbox, sender, recipient and received/size rows
constexpr int kSubjectGap = 4;
constexpr int kBodyGap = 4;           // between the divider and the body, and below the body
constexpr int kBottomBand = 24;
constexpr int kSideAllowance = 21;    // a row needs the window this much wider than its text
constexpr int kSizeMargin = 8;
constexpr int kBackArrowOffset = 28;  // left of the centre
constexpr int kNextArrowOffset = 12;  // right of the centre
constexpr int kSummaryOnlyHeight = 65;
// The smallest height the user can set, in pixels.
constexpr std::int32_t kFixedMinHeight = 75;
// Margins given in twips.
constexpr double kCloseMargin = 120;
constexpr double kDividerEnd = 120;
// The shares of the screen an automatic size may take.
constexpr double kWidthCap = 0.40;
constexpr double kHeightCap = 0.65;
// The desktop's text metric height of small system fonts; anything taller is a large font.
constexpr int kSmallFontHeight = 16;

constexpr const char* kSizeIndent = "    ";

template <class Value>
auto readSetting(const settings::Settings& store, const Value& value, bool preview)
{
    return preview ? store.read(settings::previewTwin(value)) : store.read(value);
}

} // namespace

// The size and place settings of one layout, the fixed size already clamped.
struct PopupLayout::SizeSettings {
    std::int32_t minWidth = kMinWidthSmallFonts;  // px
    bool fixedSize = false;
    std::int32_t width = 0;                       // px, at least minWidth
    std::int32_t height = 0;                      // px, at least 75
    std::int32_t windowPosition = 0;
    std::int32_t spaceWidth = 0;                  // px
    std::int32_t spaceHeight = 0;                 // px
    bool useTransparency = false;
    std::int32_t transparencyLevel = 0;
};

// Twips per pixel, and the primary screen in twips.
struct PopupLayout::Factors {
    float x = 15;
    float y = 15;
    double roundX = 15;
    double roundY = 15;
    double screenWidth = 0;
    double screenHeight = 0;

    // A fixed margin of `pixels`, horizontal or vertical.
    double marginX(int pixels) const { return pixels * roundX; }
    double marginY(int pixels) const { return pixels * roundY; }
};

std::int32_t PopupLayout::minimumWidth() const
{
    // Without the desktop's device context the font counts as small.
    const int height = valueOr(0, [&] { return services_.system.desktopTextMetricHeight(); });
    return height > kSmallFontHeight ? kMinWidthLargeFonts : kMinWidthSmallFonts;
}

PopupLayout::SizeSettings PopupLayout::readSizeSettings(bool preview) const
{
    const settings::Settings& store = services_.settings;
    SizeSettings s;
    s.minWidth = minimumWidth();
    // The width the user has not set yet is the minimum for this system font.
    settings::DwordValue setFormWidth = settings::SetFormWidth;
    setFormWidth.notifierDefault = setFormWidth.pageDefault = s.minWidth;

    // Hand-edited sizes and distances are held to what the screen can show: a popup no larger
    // than the screen, and no further off an edge than the screen is wide or tall (where it is
    // out of sight either way). The animation and the raster then stay within reach.
    platform::SystemInfo& system = services_.system;
    const std::int32_t screenWidth = std::max(system.screenWidth(), 1);
    const std::int32_t screenHeight = std::max(system.screenHeight(), 1);
    s.fixedSize = readSetting(store, settings::UseSetFormSize, preview) != 0;
    s.width = std::max(std::min(readSetting(store, setFormWidth, preview), screenWidth), s.minWidth);
    s.height = std::max(std::min(readSetting(store, settings::SetFormHeight, preview), screenHeight), kFixedMinHeight);
    s.windowPosition = readSetting(store, settings::WindowPosition, preview);
    s.spaceWidth = std::clamp(readSetting(store, settings::SpaceWidth, preview), -screenWidth, screenWidth);
    s.spaceHeight = std::clamp(readSetting(store, settings::SpaceHeight, preview), -screenHeight, screenHeight);
    s.useTransparency = readSetting(store, settings::UseTransparency, preview) != 0;
    s.transparencyLevel = readSetting(store, settings::TransparencyLevel, preview);
    return s;
}

PopupLayout::Factors PopupLayout::factors() const
{
    platform::SystemInfo& system = services_.system;
    // The twips-per-pixel factors are single precision, as the screen reports them.
    Factors f;
    f.x = static_cast<float>(forms::twipsPerInch) / static_cast<float>(forms::usableDpi(system.logPixelsX()));
    f.y = static_cast<float>(forms::twipsPerInch) / static_cast<float>(forms::usableDpi(system.logPixelsY()));
    f.roundX = lang::roundHalfEven(f.x);
    f.roundY = lang::roundHalfEven(f.y);
    f.screenWidth = system.screenWidth() * static_cast<double>(f.x);
    f.screenHeight = system.screenHeight() * static_cast<double>(f.y);
    return f;
}

void PopupLayout::applyLooks(bool preview, const SizeSettings& sizes)
{
    style_.ApplyBackColor(preview);
    style_.ApplyFonts(preview);
    if (sizes.useTransparency)
        style_.SetTranslucent(popup_.hWnd(), sizes.transparencyLevel);
    else
        style_.SetOpaque(popup_.hWnd());
}

void PopupLayout::startOrStopCountdown()
{
    NotifierState& state = popup_.state();
    if (dismiss_ && !state.Pinned) {
        popup_.lblCountDown.setCaption(std::to_string(dismissTime_));
        state.SecondsLeft = dismissTime_;
        popup_.tmrCountDown.setEnabled(true);
    } else {
        popup_.lblCountDown.setCaption("");
        state.SecondsLeft = 0;
        popup_.tmrCountDown.setEnabled(false);
    }
}

void PopupLayout::putTexts()
{
    frmNewMail& p = popup_;
    p.btnAttach.setVisible(content_.attachmentCount >= 1);
    p.lblInbox.setCaption(content_.inboxSummary);
    p.lblSenderName.setCaption(content_.sender);
    p.lblRecipient.setCaption(content_.recipient);
    p.lblSubject.setCaption(content_.subject);
    p.lblReceived.setCaption(content_.received);
    p.lblSize.setCaption(kSizeIndent + content_.size);
    p.lblBody.setCaption(content_.body);
}

double PopupLayout::fitWidth(const SizeSettings& sizes, const Factors& f)
{
    frmNewMail& p = popup_;
    const double allowance = f.marginX(kSideAllowance);
    const double cap = kWidthCap * f.screenWidth;
    auto wrapAt = [&](double width) {
        p.lblSubject.setWidth(width - allowance);
        p.lblBody.setWidth(width - allowance);
    };

    double width = 0;
    if (sizes.fixedSize) {
        width = sizes.width * static_cast<double>(f.x);
        wrapAt(width);
    } else {
        width = sizes.minWidth * static_cast<double>(f.x);
        const struct {
            bool shown;
            const forms::Label& label;
        } oneLineRows[] = {{content_.ShowSenderName, p.lblSenderName},
                           {content_.ShowRecipient, p.lblRecipient},
                           {content_.ShowInboxSum, p.lblInbox}};
        for (const auto& row : oneLineRows)
            if (row.shown && row.label.Width() + allowance > width)
                width = row.label.Width() + allowance;
        if (width > cap)
            width = cap;

        wrapAt(width);
        // A wrapped label comes out wider than asked only for a word that cannot be broken: the
        // window widens to show it whole while that stays within the cap. The subject counts even
        // while its row is off.
        const struct {
            bool mayWiden;
            const forms::Label& label;
        } wrappedRows[] = {{true, p.lblSubject}, {content_.ShowMessageBody, p.lblBody}};
        for (const auto& row : wrappedRows) {
            const double needed = row.label.Width() + allowance;
            if (needed > width && needed < cap && row.mayWiden)
                width = needed;
            else if (needed > width)
                width = cap;
        }
    }

    wrapAt(width);
    p.DivLine.setPoints(p.DivLine.X1(), p.DivLine.Y1(), width - kDividerEnd, p.DivLine.Y2());
    p.lblSize.setLeft(width - p.lblSize.Width() - f.marginX(kSizeMargin));
    return width;
}

double PopupLayout::stackRows(const Factors& f)
{
    frmNewMail& p = popup_;
    double y = f.marginY(kTopMargin);
    // Tops stay on whole twips, so rows do not drift apart by fractions at odd DPIs.
    auto advance = [&](double by) { y = lang::roundHalfEven(y + by); };
    auto row = [&](forms::Label& label, bool shown, int gap) {
        label.setVisible(shown);
        if (!shown)
            return;
        label.setTop(y);
        advance(label.Height() + f.marginY(gap));
    };

    row(p.lblInbox, content_.ShowInboxSum, kRowGap);
    row(p.lblSenderName, content_.ShowSenderName, kRowGap);
    row(p.lblRecipient, content_.ShowRecipient, kRowGap);
    row(p.lblSubject, content_.ShowSubject, kSubjectGap);

    p.lblReceived.setVisible(content_.ShowReceivedSize);
    p.lblSize.setVisible(content_.ShowReceivedSize);
    if (content_.ShowReceivedSize) {
        p.lblReceived.setTop(y);
        p.lblSize.setTop(y);
        advance(p.lblReceived.Height() + f.marginY(kRowGap));
    }

    p.DivLine.setVisible(content_.ShowMessageBody);
    p.lblBody.setVisible(content_.ShowMessageBody);
    if (content_.ShowMessageBody) {
        p.DivLine.setPoints(p.DivLine.X1(), y, p.DivLine.X2(), y);
        advance(f.marginY(kBodyGap));
        p.lblBody.setTop(y);
        advance(p.lblBody.Height() + f.marginY(kBodyGap));
    }
    return y;
}

void PopupLayout::placeBands(double width, double height, const Factors& f)
{
    frmNewMail& p = popup_;
    p.btnClose.setLeft(width - kCloseMargin - p.btnClose.Width());
    p.lblCountDown.setLeft(p.btnClose.Left() - kCloseMargin - p.lblCountDown.Width());
    p.elBottom.move(p.elBottom.Left(), height - f.marginY(kBottomBand), width, p.elBottom.Height());
    for (forms::PictureBox* arrow : {&p.picBack, &p.picBackDis})
        arrow->setLeft(width / 2 - f.marginX(kBackArrowOffset));
    for (forms::PictureBox* arrow : {&p.picNext, &p.picNextDis})
        arrow->setLeft(width / 2 + f.marginX(kNextArrowOffset));
}

void PopupLayout::placeWindow(double width, double height, const SizeSettings& sizes, const Factors& f)
{
    // The full screen, not the work area: only the two distances keep the popup off the task bar.
    const double dx = sizes.spaceWidth * f.roundX;
    const double dy = sizes.spaceHeight * f.roundY;
    const double right = f.screenWidth - width - dx;
    const double bottom = f.screenHeight - height - dy;
    double left = right;
    double top = dy;
    switch (sizes.windowPosition) {
    case 0: left = right; top = bottom; break;   // bottom-right
    case 1: left = dx; top = bottom; break;      // bottom-left
    case 2: left = dx; top = dy; break;          // top-left
    default: break;                              // top-right
    }
    // The form's own bounds, so that its window follows.
    popup_.move(left, top, width, height);
}

void PopupLayout::LayoutPopup(bool preview)
{
    const settings::Settings& store = services_.settings;
    const SizeSettings sizes = readSizeSettings(preview);
    if (preview) {
        // The sample's buttons refer to no item: the slot now shown is given up, and shows the
        // summary alone if it is paged to again.
        NotifierState& state = popup_.state();
        const auto slot = static_cast<std::size_t>(state.CurrentSlot);
        if (slot < state.HistoryEntryID.size())
            state.HistoryEntryID[slot].clear();
        // The preview shows the page's unapplied rows until the next composition reads the
        // applied ones again; it never counts down.
        content_.readDisplaySettings(store, PopupContent::Source::Preview);
        composer_.composePreview(content_);
        dismiss_ = false;
    } else {
        dismiss_ = store.read(settings::Dismiss) != 0;
        dismissTime_ = store.read(settings::DismissTime);
    }

    applyLooks(preview, sizes);
    const Factors f = factors();
    startOrStopCountdown();
    putTexts();

    const double width = fitWidth(sizes, f);
    const double rowsEnd = stackRows(f);
    double height = 0;
    if (sizes.fixedSize)
        height = sizes.height * static_cast<double>(f.y);
    else
        height = std::min(rowsEnd + f.marginY(kBottomBand), kHeightCap * f.screenHeight);

    placeBands(width, height, f);
    placeWindow(width, height, sizes, f);

    // A shown item is watched for a few seconds in case a filter moves it into an ignored folder.
    NotifierState& state = popup_.state();
    state.SweepTicks = 5;
    popup_.tmrCheckIgnored.setEnabled(true);
    state.SummaryOnlyShown = false;
}

void PopupLayout::LayoutSummaryOnly()
{
    frmNewMail& p = popup_;
    const SizeSettings sizes = readSizeSettings(false);
    applyLooks(false, sizes);
    const Factors f = factors();
    startOrStopCountdown();

    if (content_.ShowInboxSum) {
        composer_.composeInboxSummary(content_);
        p.lblInbox.setCaption(content_.inboxSummary);
    }
    // lblInbox keeps its place and visibility from the last layout.
    const std::initializer_list<forms::Control*> itemRows = {&p.lblSenderName, &p.lblRecipient, &p.lblSubject,
                                                             &p.lblReceived,   &p.lblSize,      &p.DivLine,
                                                             &p.lblBody};
    for (forms::Control* control : itemRows)
        control->setVisible(false);

    const double width = (sizes.fixedSize ? sizes.width : sizes.minWidth) * static_cast<double>(f.x);
    const double height =
        sizes.fixedSize ? sizes.height * static_cast<double>(f.y) : f.marginY(kSummaryOnlyHeight);
    placeBands(width, height, f);
    placeWindow(width, height, sizes, f);

    NotifierState& state = p.state();
    state.SummaryOnlyShown = true;
    // Nothing to read here: a paced burst need not wait for the user.
    if (state.burstUnderWay())
        state.DelayCountdown = 1;
}

} // namespace qln
