#include "shared/mdlRegistry.h"

#include <array>
#include <vector>

#include "platform/Failure.h"
#include "platform/Utf8.h"

namespace qln {

namespace {

// GetUserName is offered this many characters, its terminating NUL included.
constexpr std::size_t kUserNameBuffer = 255;

} // namespace

std::string mdlRegistry::ReadSettingString(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                                           std::string_view defaultText) const
{
    const std::string fallback(defaultText);
    return platform::valueOr(fallback, [&]() -> std::string {
        const auto key = registry_.openKey(hive, keyPath);
        const auto info = key->queryValueInfo(valueName);
        if (info.type != platform::regtype::Sz)
            return fallback;
        std::vector<std::byte> buffer(info.size, std::byte{' '});
        // The value may have changed since the size was asked for: a longer one fails the read
        // (the default then), a shorter one counts only the bytes actually copied.
        const auto read = key->queryValue(valueName, buffer);
        if (read.type != platform::regtype::Sz)
            return fallback;
        std::string text(reinterpret_cast<const char*>(buffer.data()), read.size);
        if (const auto nul = text.find('\0'); nul != std::string::npos)
            text.resize(nul);
        // Strings are UTF-8; bytes that are not (another program's value, a hand edit) are
        // replaced rather than passed on.
        utf8::sanitizeInPlace(text);
        return text;
    });
}

std::int32_t mdlRegistry::ReadSettingDword(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                                           std::int32_t defaultValue) const
{
    return platform::valueOr(defaultValue, [&]() -> std::int32_t {
        const auto key = registry_.openKey(hive, keyPath);
        // A shorter REG_DWORD fills only the low bytes and reads zero-extended; a longer one does
        // not fit and fails the read.
        std::array<std::byte, 4> buffer{};
        const auto read = key->queryValue(valueName, buffer);
        if (read.type != platform::regtype::Dword)
            return defaultValue;
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; --i)
            value = (value << 8) | std::to_integer<std::uint32_t>(buffer[static_cast<std::size_t>(i)]);
        return static_cast<std::int32_t>(value);
    });
}

void mdlRegistry::WriteSettingString(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                                     std::string_view text) const
{
    platform::ignoreFailure([&] {
        const auto key = registry_.createKey(hive, keyPath);
        key->setValue(valueName, platform::regtype::Sz, std::as_bytes(std::span(text.data(), text.size())));
    });
}

void mdlRegistry::WriteSettingDword(platform::Hive hive, std::string_view keyPath, std::string_view valueName,
                                    std::int32_t value) const
{
    platform::ignoreFailure([&] {
        const auto key = registry_.createKey(hive, keyPath);
        const auto bits = static_cast<std::uint32_t>(value);
        std::array<std::byte, 4> data{};
        for (std::size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<std::byte>((bits >> (8 * i)) & 0xFFu);
        key->setValue(valueName, platform::regtype::Dword, data);
    });
}

std::string mdlRegistry::GetWindowsUserName() const
{
    static const std::string fallback = "Default";
    return platform::valueOr(fallback, [&]() -> std::string {
        std::string name = utf8::sanitize(system_.userName());
        if (utf8::count(name) >= kUserNameBuffer)
            return fallback;  // GetUserName refuses a buffer too small for the name and its NUL
        return name;
    });
}

void mdlRegistry::MakeFolder(std::string_view path) const
{
    platform::ignoreFailure([&] { files_.createFolder(path); });
}

} // namespace qln
