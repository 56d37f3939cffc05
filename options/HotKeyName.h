#pragma once
// The name the hot-key box shows for a key code and a modifier mask (1 Shift, 2 Ctrl, 4 Alt):
// "Shift + Ctrl + F10", "Alt + Num 5". Without a modifier, or for a key outside the named ones
// (letters, digits, the numeric pad, F1 to F12, Space, the pad's operators, the navigation keys),
// the name is "None".

#include <string>

namespace qln::options {

std::string HotKeyName(int keyCode, int mask);

} // namespace qln::options
