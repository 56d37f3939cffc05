#pragma once
// A control's saved properties, by name (the PropertyBag that ActiveX hosts give ReadProperties
// and WriteProperties). Names compare without regard to case: stored form data may hold
// "maskcolor" where the control asks for "MaskColor".
//
// Writing follows the host's rule for defaults: a value equal to its default is not stored (and a
// stored one of that name goes), so that a bag holds only what differs. Reading gives the
// default when the name is missing, and otherwise converts the stored value the way VB's Variant
// conversions do:
//   to Boolean  numbers are True when not 0; text "True"/"False" (any case) or numeric text;
//   to Long     True is -1, False 0; fractions round halves to even; numeric text, "&H" hex too;
//   to Single   the same without rounding;
//   to String   True/False as "True"/"False", numbers in decimal;
// and throws platform::Failure "Type mismatch" (13) for anything else (text that is no number,
// a picture read as a number), or "Overflow" (6) for a number beyond 32 bits read as Long.
//
// Pictures are shared as they are (they never change). Fonts are copied in and out, as a stored
// font is: a font read back is a new object that no one else holds.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/forms/Picture.h"
#include "platform/forms/StdFont.h"

namespace forms {

class PropertyBag {
public:
    using Value = std::variant<bool, std::int32_t, double, std::string, PictureRef, FontRef>;

    // The raw store: what a form's saved data holds. A null font stores nothing.
    void set(std::string_view name, Value value);
    // The stored value, or nullptr.
    const Value* find(std::string_view name) const;
    bool contains(std::string_view name) const { return find(name) != nullptr; }
    void erase(std::string_view name);
    std::size_t size() const { return values_.size(); }
    // The stored names, each as it was last written.
    std::vector<std::string> names() const;

    bool readBool(std::string_view name, bool fallback) const;
    std::int32_t readLong(std::string_view name, std::int32_t fallback) const;
    double readSingle(std::string_view name, double fallback) const;
    std::string readString(std::string_view name, std::string_view fallback) const;
    PictureRef readPicture(std::string_view name, PictureRef fallback) const;
    // A copy of the stored font; `fallback` itself when none is stored.
    FontRef readFont(std::string_view name, FontRef fallback) const;

    void writeBool(std::string_view name, bool value, bool fallback);
    void writeLong(std::string_view name, std::int32_t value, std::int32_t fallback);
    void writeSingle(std::string_view name, double value, double fallback);
    void writeString(std::string_view name, std::string_view value, std::string_view fallback);
    // Pictures are equal when they are the same object, or both none.
    void writePicture(std::string_view name, const PictureRef& value, const PictureRef& fallback);
    // Fonts are equal when their attributes are.
    void writeFont(std::string_view name, const FontRef& value, const FontRef& fallback);

private:
    struct Entry {
        std::string name;
        Value value;
    };
    std::map<std::string, Entry> values_;  // by lower-case name
};

} // namespace forms
