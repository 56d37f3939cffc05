#pragma once
// Seam: the registry. Raw typed values (type code and bytes) under a hive and a key path.
//
// Key paths and value names are compared without regard to case, as Windows does. A key is open
// for as long as its RegistryKey object lives; destroying it closes the key.
// Every call may throw platform::Failure (missing key or value, denied access, a value larger than
// the buffer offered).
//
// Text: key paths, value names and the data of string values are UTF-8 here. The Windows
// implementation uses the wide calls and converts at this edge: a REG_SZ's UTF-8 bytes become
// UTF-16 on writing (still without a terminating NUL in the stored count) and come back as UTF-8
// on reading, so text in any script survives. Callers replace bytes that are not UTF-8 (a value
// another program wrote) with U+FFFD.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class Hive { CurrentUser, LocalMachine };

namespace regtype {
inline constexpr std::uint32_t None = 0;
inline constexpr std::uint32_t Sz = 1;        // REG_SZ
inline constexpr std::uint32_t ExpandSz = 2;  // REG_EXPAND_SZ
inline constexpr std::uint32_t Binary = 3;    // REG_BINARY
inline constexpr std::uint32_t Dword = 4;     // REG_DWORD
inline constexpr std::uint32_t MultiSz = 7;   // REG_MULTI_SZ
inline constexpr std::uint32_t Qword = 11;    // REG_QWORD
} // namespace regtype

// What a query without data reports: the value's type code and its data size in bytes.
struct RegValueInfo {
    std::uint32_t type = regtype::None;
    std::size_t size = 0;
};

// What a read reports: the type code and how many bytes were copied into the caller's buffer.
struct RegRead {
    std::uint32_t type = regtype::None;
    std::size_t size = 0;
};

class RegistryKey {
public:
    virtual ~RegistryKey() = default;

    // RegQueryValueEx with no buffer: type and size. Throws when the value is missing or denied.
    virtual RegValueInfo queryValueInfo(std::string_view name) = 0;

    // RegQueryValueEx into a caller's buffer. Throws when the value is missing, denied, or when
    // its data does not fit the buffer (ERROR_MORE_DATA); the buffer's content is then unspecified.
    virtual RegRead queryValue(std::string_view name, std::span<std::byte> buffer) = 0;

    // RegSetValueEx: stores exactly these bytes under this type code.
    virtual void setValue(std::string_view name, std::uint32_t type, std::span<const std::byte> data) = 0;
};

class Registry {
public:
    virtual ~Registry() = default;

    // RegOpenKey: an existing key, for reading. Throws when it is missing or denied.
    virtual std::unique_ptr<RegistryKey> openKey(Hive hive, std::string_view path) = 0;

    // RegCreateKey: the key, created with any missing parent keys. Throws when denied.
    virtual std::unique_ptr<RegistryKey> createKey(Hive hive, std::string_view path) = 0;
};

} // namespace platform
