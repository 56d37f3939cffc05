#include "platform/Locale.h"

#include <cstdlib>

namespace platform {

const Locale::Formats Locale::kKnown[] = {
    // The first entry is the fallback.
    {"en-US", "M/d/yyyy", "h:mm:ss tt", "AM", "PM"},
    {"en-GB", "dd/MM/yyyy", "HH:mm:ss", "AM", "PM"},
    {"de-DE", "dd.MM.yyyy", "HH:mm:ss", "", ""},
};

namespace {

bool sameLocaleName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    auto fold = [](char c) {
        if (c == '_')
            return '-';
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

// The number in at least `width` digits, zero-padded; a minus sign goes in front of the padding.
std::string padded(long long value, std::size_t width)
{
    std::string digits = std::to_string(std::llabs(value));
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return value < 0 ? "-" + digits : digits;
}

} // namespace

Locale Locale::fromName(std::string_view name)
{
    for (const Formats& formats : kKnown) {
        if (sameLocaleName(formats.name, name))
            return Locale(formats);
    }
    return Locale(kKnown[0]);
}

std::string Locale::shortDate(DateTime moment) const { return format(formats_->shortDate, moment); }

std::string Locale::longTime(DateTime moment) const { return format(formats_->longTime, moment); }

std::string Locale::dateTimeText(DateTime moment) const
{
    const CivilTime t = moment.civil();
    if (t.hour == 0 && t.minute == 0 && t.second == 0)
        return shortDate(moment);
    return shortDate(moment) + " " + longTime(moment);
}

std::string Locale::format(std::string_view pattern, DateTime moment) const
{
    const CivilTime t = moment.civil();
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char letter = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == letter)
            ++run;
        switch (letter) {
        case 'd':
            out += padded(t.day, run);
            break;
        case 'M':
            out += padded(t.month, run);
            break;
        case 'y':
            // "yy" is the year within its century; longer runs give the whole year.
            out += run <= 2 ? padded(t.year % 100, run) : padded(t.year, run);
            break;
        case 'h':
            out += padded(t.hour % 12 == 0 ? 12 : t.hour % 12, run);
            break;
        case 'H':
            out += padded(t.hour, run);
            break;
        case 'm':
            out += padded(t.minute, run);
            break;
        case 's':
            out += padded(t.second, run);
            break;
        case 't':
            out += t.hour < 12 ? formats_->am : formats_->pm;
            break;
        default:
            out.append(run, letter);
            break;
        }
        i += run;
    }
    return out;
}

} // namespace platform
