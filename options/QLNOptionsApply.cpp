// QLNOptions: Apply, which checks the fields and writes every value, and the Preview request,
// which writes the display values as they stand into their preview twins.

#include "options/QLNOptions.h"

#include <cmath>
#include <optional>
#include <vector>

#include "platform/Failure.h"
#include "platform/Lang.h"
#include "shared/Settings.h"

namespace qln {

namespace {

namespace S = settings;

std::int32_t transparencyLevel(int position) { return lang::roundHalfEven(position * 4.7 + 20); }

std::int32_t isPressed(const flair::FlairButton& button) { return button.State() == flair::enmButtonStatePressed; }

std::vector<std::string> rows(const forms::ListBox& list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list.ListCount(); ++i)
        out.push_back(list.List(i));
    return out;
}

} // namespace

// A failing step of Apply is reported and Apply goes on with the next one.
template <class Step>
void QLNOptions::applyStep(Step&& step)
{
    try {
        std::forward<Step>(step)();
    } catch (const platform::Failure& failure) {
        ShowMessage("Error in PropertyPage_Apply.    Err# " + std::to_string(failure.number()) +
                    " and Err Description: " + failure.what());
    }
}

void QLNOptions::Apply()
{
    dirty_ = false;
    // A rule that resets a box changes its text, which marks the page dirty again.
    applyStep([&] { checks_->checkDismissTime(); });
    applyStep([&] { checks_->checkMultMsgDelay(); });
    applyStep([&] { checks_->checkDelayAgainstDismissTime(); });
    applyStep([&] { checks_->checkMsgBody(); });
    applyStep([&] { checks_->checkFixedWidth(); });
    applyStep([&] { checks_->checkFixedHeight(); });
    saveAll();
}

void QLNOptions::saveAll()
{
    const S::Settings& store = services_.settings;
    const auto put = [&](const auto& value, const auto& from) { applyStep([&] { store.write(value, from()); }); };
    const auto checkBox = [&](const S::DwordValue& value, const forms::CheckBox& box) {
        put(value, [&] { return box.Value(); });
    };
    const auto wholeNumber = [&](const S::DwordValue& value, const forms::TextBox& box) {
        put(value, [&] { return options::WholeNumber(box.Text()); });
    };

    checkBox(S::Dismiss, chkAutoDis);
    wholeNumber(S::DismissTime, txtDismissTime);
    checkBox(S::MultMsgDelay, chkMultMsgDelay);
    wholeNumber(S::MultMsgDelayTime, txtMultMsgDelay);
    applyStep([&] {
        // Raised when the delay's whole part differs from the one loaded, and also when the
        // number stored differs (4.9 over a loaded 4 stores 5): the notifier must not keep a
        // delay that is no longer the stored one.
        const std::string& delay = txtMultMsgDelay.Text();
        const std::optional<double> value = lang::parseNumeric(delay);
        const std::optional<std::int32_t> stored = options::TryWholeNumber(delay);
        const bool wholePartDiffers = value && std::floor(*value) != static_cast<double>(loadedMultMsgDelayTime_);
        const bool storedDiffers = stored && *stored != loadedMultMsgDelayTime_;
        if (wholePartDiffers || storedDiffers)
            store.write(S::MultMsgDelayTimeChanged, 1);
    });
    put(S::SwitchTo, [&] { return std::string(optSwitch.Value() ? "Switch" : optBoth.Value() ? "Both" : "Open"); });
    put(S::WinState, [&] { return std::string(optNormal.Value() ? "Normal" : "Max"); });
    checkBox(S::IsEnabled, chkIsEnabled);
    checkBox(S::MarkRead, chkMarkRead);
    checkBox(S::NotifyReports, chkNotifyReports);
    checkBox(S::ShowInboxSum, chkShowInboxSum);
    checkBox(S::ShowSenderName, chkShowSenderName);
    checkBox(S::ShowRecipient, chkShowRecipient);
    checkBox(S::ShowSubject, chkShowSubject);
    checkBox(S::ShowReceivedSize, chkShowReceivedSize);
    checkBox(S::ShowMessageBody, chkMsgBody);
    wholeNumber(S::BodyAmount, txtMsgBody);
    put(S::BackColor, [&] { return static_cast<std::int32_t>(cpkBackColor.Color()); });
    checkBox(S::UseTransparency, chkUseTransparency);
    put(S::TransparencyLevel, [&] { return transparencyLevel(sliTransparencyLevel.Value()); });
    put(S::WinRate, [&] { return sliRate.Value(); });
    put(S::WinAppear, [&] { return std::string(optNone.Value() ? "None" : optFade.Value() ? "Fade" : "Slide"); });
    checkBox(S::UseSetFormSize, chkFixedWindow);
    wholeNumber(S::SetFormWidth, txtFixedWidth);
    wholeNumber(S::SetFormHeight, txtFixedHeight);
    put(S::ListMode, [&] { return isPressed(chkBList) ? 1 : isPressed(chkWList) ? 2 : 0; });

    applyStep([&] { services_.lists.SaveBList(rows(lstBList)); });
    applyStep([&] { services_.lists.SaveWList(rows(lstWList)); });

    applyStep([&] { folders_.save(store); });

    checkBox(S::Autodismiss3rdPartySpam, chkAutoDis3rd);
    put(S::UserFontName, [&] { return fontDialog_.FontName(); });
    put(S::UserFontSize, [&] { return lang::roundHalfEven(fontDialog_.FontSize()); });
    put(S::UserFontColor, [&] { return static_cast<std::int32_t>(fontDialog_.Color()); });
    put(S::HKkDismiss, [&] { return std::int32_t{hotKeyCode_}; });
    put(S::HKmDismiss, [&] { return std::int32_t{hotKeyMask_}; });
    put(S::HKChanged, [] { return 1; });
    put(S::SpaceWidth, [&] { return spaceWidth_; });
    put(S::SpaceHeight, [&] { return spaceHeight_; });
    put(S::WindowPosition, [&] { return windowPosition_; });

    checkBox(S::MinToTray, chkOutlookMinToTray);
    checkBox(S::AddressBarWidth, chkOutlookHideAddressBar);
}

void QLNOptions::btnPreview_Click()
{
    const S::Settings& store = services_.settings;
    const auto twin = [&](const S::DwordValue& value, std::int32_t number) {
        store.write(S::previewTwin(value), number);
    };
    const auto twinText = [&](const S::StringValue& value, const std::string& text) {
        store.write(S::previewTwin(value), text);
    };
    // A box that does not hold a storable whole number at this moment (not a number at all, or
    // one too large; its own check runs only when it loses the focus) previews the default it
    // would be reset to; the box itself is left as typed.
    const auto number = [](const forms::TextBox& box, const char* reset) {
        return options::TryWholeNumber(box.Text()).value_or(options::WholeNumber(reset));
    };

    twin(S::ShowInboxSum, chkShowInboxSum.Value());
    twin(S::ShowSenderName, chkShowSenderName.Value());
    twin(S::ShowRecipient, chkShowRecipient.Value());
    twin(S::ShowSubject, chkShowSubject.Value());
    twin(S::ShowReceivedSize, chkShowReceivedSize.Value());
    twin(S::ShowMessageBody, chkMsgBody.Value());
    twin(S::BodyAmount, number(txtMsgBody, options::checks::kBodyReset));
    twin(S::BackColor, static_cast<std::int32_t>(cpkBackColor.Color()));
    twin(S::UseTransparency, chkUseTransparency.Value());
    twin(S::TransparencyLevel, transparencyLevel(sliTransparencyLevel.Value()));
    twin(S::WinRate, sliRate.Value());
    twinText(S::WinAppear, optNone.Value() ? "None" : optFade.Value() ? "Fade" : "Slide");
    twin(S::UseSetFormSize, chkFixedWindow.Value());
    twin(S::SetFormWidth, number(txtFixedWidth, options::checks::kWidthReset));
    twin(S::SetFormHeight, number(txtFixedHeight, options::checks::kHeightReset));
    twinText(S::UserFontName, fontDialog_.FontName());
    twin(S::UserFontSize, lang::roundHalfEven(fontDialog_.FontSize()));
    twin(S::UserFontColor, static_cast<std::int32_t>(fontDialog_.Color()));
    twin(S::SpaceWidth, spaceWidth_);
    twin(S::SpaceHeight, spaceHeight_);
    twin(S::WindowPosition, windowPosition_);
    store.write(S::Preview, 1);
}

} // namespace qln
