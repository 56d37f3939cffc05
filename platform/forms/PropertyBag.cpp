#include "platform/forms/PropertyBag.h"

#include <cmath>
#include <limits>
#include <optional>
#include <sstream>

#include "platform/Failure.h"
#include "platform/Lang.h"

namespace forms {

namespace {

[[noreturn]] void typeMismatch() { throw platform::Failure("Type mismatch", 13); }

// "&H1F", "&h8000000F&": VB's hexadecimal literal, taken as 32 bits.
std::optional<double> parseHex(std::string_view text)
{
    std::string_view t = text;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t'))
        t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t'))
        t.remove_suffix(1);
    if (t.size() < 3 || t[0] != '&' || (t[1] != 'H' && t[1] != 'h'))
        return std::nullopt;
    t.remove_prefix(2);
    if (t.back() == '&')
        t.remove_suffix(1);
    if (t.empty() || t.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : t) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return static_cast<double>(static_cast<std::int32_t>(value));
}

double numberOf(const PropertyBag::Value& value)
{
    if (const bool* b = std::get_if<bool>(&value))
        return *b ? -1.0 : 0.0;
    if (const std::int32_t* i = std::get_if<std::int32_t>(&value))
        return *i;
    if (const double* d = std::get_if<double>(&value))
        return *d;
    if (const std::string* s = std::get_if<std::string>(&value)) {
        if (std::optional<double> n = lang::parseNumeric(*s))
            return *n;
        if (std::optional<double> n = parseHex(*s))
            return *n;
    }
    typeMismatch();
}

std::string formatNumber(double value)
{
    std::ostringstream out;
    out.precision(std::numeric_limits<float>::digits10 + 1);
    out << value;
    return out.str();
}

} // namespace

void PropertyBag::set(std::string_view name, Value value)
{
    if (const FontRef* font = std::get_if<FontRef>(&value)) {
        if (!*font)
            return;
        value = cloneFont(**font);
    }
    values_[lang::lowerAscii(name)] = Entry{std::string(name), std::move(value)};
}

const PropertyBag::Value* PropertyBag::find(std::string_view name) const
{
    auto it = values_.find(lang::lowerAscii(name));
    return it == values_.end() ? nullptr : &it->second.value;
}

void PropertyBag::erase(std::string_view name) { values_.erase(lang::lowerAscii(name)); }

std::vector<std::string> PropertyBag::names() const
{
    std::vector<std::string> names;
    names.reserve(values_.size());
    for (const auto& [key, entry] : values_)
        names.push_back(entry.name);
    return names;
}

bool PropertyBag::readBool(std::string_view name, bool fallback) const
{
    const Value* value = find(name);
    if (!value)
        return fallback;
    if (const std::string* s = std::get_if<std::string>(value)) {
        if (lang::equalsNoCase(lang::trimBlanks(*s), "True"))
            return true;
        if (lang::equalsNoCase(lang::trimBlanks(*s), "False"))
            return false;
    }
    return numberOf(*value) != 0;
}

std::int32_t PropertyBag::readLong(std::string_view name, std::int32_t fallback) const
{
    const Value* value = find(name);
    if (!value)
        return fallback;
    if (const std::int32_t* i = std::get_if<std::int32_t>(value))
        return *i;
    const double number = numberOf(*value);
    if (!(number > -2147483648.5 && number < 2147483647.5))
        throw platform::Failure("Overflow", 6);
    return lang::roundHalfEven(number);
}

double PropertyBag::readSingle(std::string_view name, double fallback) const
{
    const Value* value = find(name);
    return value ? numberOf(*value) : fallback;
}

std::string PropertyBag::readString(std::string_view name, std::string_view fallback) const
{
    const Value* value = find(name);
    if (!value)
        return std::string(fallback);
    if (const std::string* s = std::get_if<std::string>(value))
        return *s;
    if (const bool* b = std::get_if<bool>(value))
        return *b ? "True" : "False";
    if (const std::int32_t* i = std::get_if<std::int32_t>(value))
        return std::to_string(*i);
    if (const double* d = std::get_if<double>(value))
        return formatNumber(*d);
    typeMismatch();
}

PictureRef PropertyBag::readPicture(std::string_view name, PictureRef fallback) const
{
    const Value* value = find(name);
    if (!value)
        return fallback;
    if (const PictureRef* picture = std::get_if<PictureRef>(value))
        return *picture;
    typeMismatch();
}

FontRef PropertyBag::readFont(std::string_view name, FontRef fallback) const
{
    const Value* value = find(name);
    if (!value)
        return fallback;
    if (const FontRef* font = std::get_if<FontRef>(value))
        return cloneFont(**font);
    typeMismatch();
}

void PropertyBag::writeBool(std::string_view name, bool value, bool fallback)
{
    if (value == fallback)
        erase(name);
    else
        set(name, value);
}

void PropertyBag::writeLong(std::string_view name, std::int32_t value, std::int32_t fallback)
{
    if (value == fallback)
        erase(name);
    else
        set(name, value);
}

void PropertyBag::writeSingle(std::string_view name, double value, double fallback)
{
    if (value == fallback)
        erase(name);
    else
        set(name, value);
}

void PropertyBag::writeString(std::string_view name, std::string_view value, std::string_view fallback)
{
    if (value == fallback)
        erase(name);
    else
        set(name, std::string(value));
}

void PropertyBag::writePicture(std::string_view name, const PictureRef& value, const PictureRef& fallback)
{
    if (value == fallback)
        erase(name);
    else
        set(name, value);
}

void PropertyBag::writeFont(std::string_view name, const FontRef& value, const FontRef& fallback)
{
    const bool same = value == fallback || (value && fallback && *value == *fallback);
    if (same || !value)
        erase(name);
    else
        set(name, value);
}

} // namespace forms
