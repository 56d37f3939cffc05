#pragma once
// The registry module of both programs: the four operations through which every setting is read
// and written, and the two helpers the sender lists need (user name, folder creation).
//
// No operation reports failure: a missing key, a missing value, a value of another type or a
// denied access reads as the default; a failed write is lost.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"

namespace qln {

class mdlRegistry {
public:
    mdlRegistry(platform::Registry& registry, platform::SystemInfo& system, platform::FileSystem& files)
        : registry_(registry), system_(system), files_(files) {}

    // The stored REG_SZ text, cut at its first NUL; the default for anything else.
    std::string ReadSettingString(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                                  std::string_view defaultText = {}) const;
    // The stored REG_DWORD (read into a 4-byte buffer); the default for anything else.
    std::int32_t ReadSettingDword(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                                  std::int32_t defaultValue = 0) const;
    // REG_SZ, exactly the text's bytes without a terminating NUL; creates missing keys.
    void WriteSettingString(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                            std::string_view text) const;
    // REG_DWORD, 4 bytes, low byte first; creates missing keys.
    void WriteSettingDword(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                           std::int32_t value) const;

    // The logged-on user's name as a 255-character buffer would hold it; "Default" when the
    // system cannot tell or the name does not fit.
    std::string GetWindowsUserName() const;
    // Creates one folder; every failure (including that it exists) is ignored.
    void MakeFolder(std::string_view path) const;

    platform::FileSystem& files() const { return files_; }
    platform::SystemInfo& system() const { return system_; }

private:
    platform::Registry& registry_;
    platform::SystemInfo& system_;
    platform::FileSystem& files_;
};

} // namespace qln
