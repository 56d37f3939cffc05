#pragma once
// The user's date and time formats, as Windows' default conversion of a date to text uses them
// (VB's CStr of a Date): the short date, a blank, the long time. A moment at exactly midnight
// gives the date alone.
//
// Known locales:
//   en-US  "M/d/yyyy h:mm:ss tt"   1/5/2026 9:00:00 AM
//   en-GB  "dd/MM/yyyy HH:mm:ss"   05/01/2026 09:00:00
//   de-DE  "dd.MM.yyyy HH:mm:ss"   05.01.2026 09:00:00
// Names compare without regard to case, and "en_US" is taken for "en-US". Any other name, the
// empty one included, falls back to en-US: the formats a Windows installation starts with.

#include <string>
#include <string_view>

#include "platform/DateTime.h"

namespace platform {

class Locale {
public:
    // The formats of the named locale; an unknown name gives en-US's.
    static Locale fromName(std::string_view name);

    // The name of the formats in use ("en-US" also when an unknown name fell back to it).
    std::string_view name() const { return formats_->name; }

    std::string shortDate(DateTime moment) const;
    std::string longTime(DateTime moment) const;
    // The default conversion of a date-time to text.
    std::string dateTimeText(DateTime moment) const;

private:
    struct Formats {
        std::string_view name;
        std::string_view shortDate;  // pattern letters: d, M, y, h (12-hour), H (24-hour), m, s, tt
        std::string_view longTime;
        std::string_view am;
        std::string_view pm;
    };
    static const Formats kKnown[];

    explicit Locale(const Formats& formats) : formats_(&formats) {}
    std::string format(std::string_view pattern, DateTime moment) const;

    const Formats* formats_;
};

} // namespace platform
