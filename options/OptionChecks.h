#pragma once
// The checks of the page's numeric text boxes. A bad value is never refused: the user is told
// and the box gets its default back, as an ordinary change of its text (so the page becomes
// dirty). Four boxes check themselves when they lose the focus; Apply runs every rule, in order,
// before it saves, and then saves whatever the boxes hold.
//
// Numeric means what lang::parseNumeric accepts. The delay rule compares whole parts, rounded
// down; saving rounds halves to even (WholeNumber).

#include <cstdint>
#include <optional>
#include <string_view>

#include "options/PageMessages.h"
#include "platform/forms/TextBox.h"

namespace qln::options {

namespace checks {
// The messages, exactly as the user sees them.
inline constexpr const char* kDismissTimeNotNumber = "Dismiss after must be a number of seconds!  Resetting to 90.";
inline constexpr const char* kDelayNotNumber =
    "Multiple message delay must be a number of seconds!  Resetting to 4.";
inline constexpr const char* kDelayAboveDismiss =
    "Multiple message delay must be less than auto-dismiss time!  Resetting to default values.";
inline constexpr const char* kBodyNotNumber = "Number of characters must be a number! Resetting to 150.";
inline constexpr const char* kWidthNotNumber = "Fixed notifier width size must be a number! Resetting to 200.";
inline constexpr const char* kWidthTooSmall =
    "Fixed notifier width size must be 200 pixels or larger! Resetting to 200.";
inline constexpr const char* kHeightNotNumber = "Fixed notifier height size must be a number! Resetting to 75.";
inline constexpr const char* kHeightTooSmall =
    "Fixed notifier height size must be 75 pixels or larger! Resetting to 75.";

// The texts the boxes are reset to.
inline constexpr const char* kDismissTimeReset = "90";
inline constexpr const char* kDelayReset = "4";
inline constexpr const char* kBodyReset = "150";
inline constexpr const char* kWidthReset = "200";
inline constexpr const char* kHeightReset = "75";

inline constexpr double kMinWidth = 200;
inline constexpr double kMinHeight = 75;
} // namespace checks

// The whole number a text stands for, rounded halves to even, as it is stored. Throws
// platform::Failure 13 (type mismatch) for text that is not numeric and 6 (overflow) beyond 32 bits.
std::int32_t WholeNumber(std::string_view text);
// The same, or nullopt where WholeNumber would fail.
std::optional<std::int32_t> TryWholeNumber(std::string_view text);

class OptionChecks {
public:
    struct Fields {
        forms::TextBox& txtDismissTime;
        forms::TextBox& txtMultMsgDelay;
        forms::TextBox& txtMsgBody;
        forms::TextBox& txtFixedWidth;
        forms::TextBox& txtFixedHeight;
    };

    OptionChecks(Fields fields, PageMessage message);

    // The checks of the four boxes that check themselves, run as each loses the focus.
    void wireLostFocus();

    // Every rule in Apply's order.
    void checkAll();

    // One box each: rule 1; rule 2; rule 3; rule 4; rules 5 and 6; rules 7 and 8.
    void checkDismissTime();
    void checkMultMsgDelay();
    void checkDelayAgainstDismissTime();
    void checkMsgBody();
    void checkFixedWidth();
    void checkFixedHeight();

private:
    // Tells the user and puts the default back. A message box the desktop cannot show is lost,
    // but the box is reset all the same: a bad value must not reach the store.
    void reset(forms::TextBox& box, const char* message, const char* text);
    void checkAtLeast(forms::TextBox& box, double minimum, const char* notNumber, const char* tooSmall,
                      const char* resetText);

    Fields fields_;
    PageMessage message_;
};

} // namespace qln::options
