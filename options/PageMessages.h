#pragma once
// What every part of the options page shares: the title of its message boxes, the maker's
// support address, and the way a part shows a message (a stop icon and an OK button, owned by the
// page, waiting for the user).

#include <functional>
#include <string>

namespace qln::options {

inline constexpr const char* kPageTitle = "Quellin Options";
inline constexpr const char* kSupportAddress = "support@quellin.example";

using PageMessage = std::function<void(const std::string& text)>;

} // namespace qln::options
