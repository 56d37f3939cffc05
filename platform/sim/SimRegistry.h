#pragma once
// The simulated registry: an in-memory tree of keys per hive, each holding typed raw values.
//
// Key paths and value names are compared without regard to ASCII case and keep the spelling of
// their first creation. Any type code and any bytes can be stored, so tests can plant REG_BINARY,
// REG_EXPAND_SZ, 3-byte DWORDs or strings without a NUL.
//
// Fault operations (see Faults): "RegOpenKey", "RegCreateKey", "RegQueryValueEx", "RegSetValueEx".

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Registry.h"
#include "platform/sim/Faults.h"

namespace platform::sim {

struct RegValue {
    std::uint32_t type = regtype::None;
    std::vector<std::byte> data;

    // Convenience encodings, as the system itself stores them.
    static RegValue dword(std::uint32_t value);         // 4 bytes, low byte first
    static RegValue sz(std::string_view text);          // the bytes, without a terminating NUL
    std::optional<std::uint32_t> asDword() const;       // only for REG_DWORD of exactly 4 bytes
    std::optional<std::string> asText() const;          // only for REG_SZ: the bytes up to a NUL
    friend bool operator==(const RegValue&, const RegValue&) = default;
};

class SimRegistry final : public Registry {
public:
    SimRegistry();
    ~SimRegistry() override;

    // Registry
    std::unique_ptr<RegistryKey> openKey(Hive hive, std::string_view path) override;
    std::unique_ptr<RegistryKey> createKey(Hive hive, std::string_view path) override;

    // The world's own access (no faults, no notifications).
    void set(Hive hive, std::string_view path, std::string_view name, RegValue value);  // creates keys
    std::optional<RegValue> get(Hive hive, std::string_view path, std::string_view name) const;
    bool keyExists(Hive hive, std::string_view path) const;
    void deleteKey(Hive hive, std::string_view path);  // with its subkeys; a missing key is ignored
    void deleteValue(Hive hive, std::string_view path, std::string_view name);

    Faults& faults() { return faults_; }

    // Called after every value written through the seam (the system's own writes).
    std::function<void(Hive, const std::string& path, const std::string& name, const RegValue&)> on_write;

private:
    struct Value {
        std::string name;
        RegValue value;
    };
    struct Key {
        std::string path;                       // spelling of its creation
        std::map<std::string, Value> values;    // by folded name
    };
    class OpenKey;

    static std::string fold(std::string_view text);
    static std::string normalisePath(std::string_view path);
    Key* findKey(Hive hive, std::string_view path);
    const Key* findKey(Hive hive, std::string_view path) const;
    Key& makeKey(Hive hive, std::string_view path);

    std::map<std::pair<Hive, std::string>, Key> keys_;  // by hive and folded path; the hive root is ""
    Faults faults_;
};

} // namespace platform::sim
