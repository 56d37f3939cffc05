#include "options/OptionChecks.h"

#include <cmath>

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace qln::options {

namespace {

constexpr std::int32_t kTypeMismatch = 13;
constexpr std::int32_t kOverflow = 6;

} // namespace

std::int32_t WholeNumber(std::string_view text)
{
    const std::optional<double> value = lang::parseNumeric(text);
    if (!value)
        throw platform::Failure("Type mismatch", kTypeMismatch);
    // Anything that rounds beyond 32 bits overflows; -2147483648.5 still rounds to the minimum.
    if (!(*value >= -2147483648.5 && *value < 2147483647.5))
        throw platform::Failure("Overflow", kOverflow);
    return lang::roundHalfEven(*value);
}

std::optional<std::int32_t> TryWholeNumber(std::string_view text)
{
    using Result = std::optional<std::int32_t>;
    return platform::valueOr(Result{}, [&] { return Result(WholeNumber(text)); });
}

OptionChecks::OptionChecks(Fields fields, PageMessage message) : fields_(fields), message_(std::move(message)) {}

void OptionChecks::wireLostFocus()
{
    fields_.txtDismissTime.LostFocus = [this] { checkDismissTime(); };
    fields_.txtMsgBody.LostFocus = [this] { checkMsgBody(); };
    fields_.txtFixedWidth.LostFocus = [this] { checkFixedWidth(); };
    fields_.txtFixedHeight.LostFocus = [this] { checkFixedHeight(); };
}

void OptionChecks::checkAll()
{
    checkDismissTime();
    checkMultMsgDelay();
    checkDelayAgainstDismissTime();
    checkMsgBody();
    checkFixedWidth();
    checkFixedHeight();
}

void OptionChecks::reset(forms::TextBox& box, const char* message, const char* text)
{
    platform::ignoreFailure([&] { message_(message); });
    box.setText(text);
}

void OptionChecks::checkDismissTime()
{
    if (!lang::isNumeric(fields_.txtDismissTime.Text()))
        reset(fields_.txtDismissTime, checks::kDismissTimeNotNumber, checks::kDismissTimeReset);
}

void OptionChecks::checkMultMsgDelay()
{
    if (!lang::isNumeric(fields_.txtMultMsgDelay.Text()))
        reset(fields_.txtMultMsgDelay, checks::kDelayNotNumber, checks::kDelayReset);
}

void OptionChecks::checkDelayAgainstDismissTime()
{
    const std::optional<double> delay = lang::parseNumeric(fields_.txtMultMsgDelay.Text());
    const std::optional<double> dismiss = lang::parseNumeric(fields_.txtDismissTime.Text());
    // Rules 1 and 2 ran first, so both are numbers; an equal whole part is accepted.
    if (!delay || !dismiss || std::floor(*delay) <= std::floor(*dismiss))
        return;
    platform::ignoreFailure([&] { message_(checks::kDelayAboveDismiss); });
    fields_.txtMultMsgDelay.setText(checks::kDelayReset);
    fields_.txtDismissTime.setText(checks::kDismissTimeReset);
}

void OptionChecks::checkMsgBody()
{
    if (!lang::isNumeric(fields_.txtMsgBody.Text()))
        reset(fields_.txtMsgBody, checks::kBodyNotNumber, checks::kBodyReset);
}

void OptionChecks::checkAtLeast(forms::TextBox& box, double minimum, const char* notNumber, const char* tooSmall,
                                const char* resetText)
{
    const std::optional<double> value = lang::parseNumeric(box.Text());
    if (!value)
        reset(box, notNumber, resetText);
    else if (*value < minimum)
        reset(box, tooSmall, resetText);
}

void OptionChecks::checkFixedWidth()
{
    checkAtLeast(fields_.txtFixedWidth, checks::kMinWidth, checks::kWidthNotNumber, checks::kWidthTooSmall,
                 checks::kWidthReset);
}

void OptionChecks::checkFixedHeight()
{
    checkAtLeast(fields_.txtFixedHeight, checks::kMinHeight, checks::kHeightNotNumber, checks::kHeightTooSmall,
                 checks::kHeightReset);
}

} // namespace qln::options
