#include "options/HotKeyName.h"

#include <optional>

namespace qln::options {

namespace {

constexpr const char* kNone = "None";

const char* modifierText(int mask)
{
    switch (mask & 7) {
    case 1: return "Shift";
    case 2: return "Ctrl";
    case 3: return "Shift + Ctrl";
    case 4: return "Alt";
    case 5: return "Shift + Alt";
    case 6: return "Ctrl + Alt";
    case 7: return "Shift + Ctrl + Alt";
    default: return nullptr;
    }
}

std::optional<std::string> keyText(int k)
{
    if ((k >= 48 && k <= 57) || (k >= 65 && k <= 90))
        return std::string(1, static_cast<char>(k));
    if (k >= 96 && k <= 105)
        return std::string("Num ").append(std::to_string(k - 96));
    if (k >= 112 && k <= 123)
        return std::string("F").append(std::to_string(k - 111));
    switch (k) {
    case 32: return "Space";
    case 106: return "*";
    case 107: return "+";
    case 109: return "-";
    case 111: return "/";
    case 33: return "PageUp";
    case 34: return "PageDown";
    case 35: return "End";
    case 36: return "Home";
    case 37: return "Left";
    case 38: return "Up";
    case 39: return "Right";
    case 40: return "Down";
    case 45: return "Insert";
    default: return std::nullopt;
    }
}

} // namespace

std::string HotKeyName(int keyCode, int mask)
{
    const char* modifiers = modifierText(mask);
    if (!modifiers)
        return kNone;
    const std::optional<std::string> key = keyText(keyCode);
    if (!key)
        return kNone;
    return std::string(modifiers) + " + " + *key;
}

} // namespace qln::options
