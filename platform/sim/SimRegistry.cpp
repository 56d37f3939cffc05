#include "platform/sim/SimRegistry.h"

#include <algorithm>
#include <cstring>

#include "platform/Failure.h"

namespace platform::sim {

// ---- RegValue -------------------------------------------------------------------------------

RegValue RegValue::dword(std::uint32_t value)
{
    RegValue v;
    v.type = regtype::Dword;
    for (int i = 0; i < 4; ++i)
        v.data.push_back(static_cast<std::byte>((value >> (8 * i)) & 0xFFu));
    return v;
}

RegValue RegValue::sz(std::string_view text)
{
    RegValue v;
    v.type = regtype::Sz;
    v.data.resize(text.size());
    if (!text.empty())
        std::memcpy(v.data.data(), text.data(), text.size());
    return v;
}

std::optional<std::uint32_t> RegValue::asDword() const
{
    if (type != regtype::Dword || data.size() != 4)
        return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | std::to_integer<std::uint32_t>(data[static_cast<std::size_t>(i)]);
    return value;
}

std::optional<std::string> RegValue::asText() const
{
    if (type != regtype::Sz)
        return std::nullopt;
    std::string text(reinterpret_cast<const char*>(data.data()), data.size());
    if (const auto nul = text.find('\0'); nul != std::string::npos)
        text.resize(nul);
    return text;
}

// ---- An open key ----------------------------------------------------------------------------

// Holds the key by name, not by pointer: the world may delete the key while the system has it
// open, and then every call fails as on Windows (ERROR_KEY_DELETED).
class SimRegistry::OpenKey final : public RegistryKey {
public:
    OpenKey(SimRegistry& registry, Hive hive, std::string path)
        : registry_(registry), hive_(hive), path_(std::move(path))
    {
    }

    RegValueInfo queryValueInfo(std::string_view name) override
    {
        registry_.faults_.check("RegQueryValueEx");
        const RegValue& v = find(name);
        return {v.type, v.data.size()};
    }

    RegRead queryValue(std::string_view name, std::span<std::byte> buffer) override
    {
        registry_.faults_.check("RegQueryValueEx");
        const RegValue& v = find(name);
        if (v.data.size() > buffer.size())
            throw Failure("RegQueryValueEx: more data than the buffer holds");
        std::copy(v.data.begin(), v.data.end(), buffer.begin());
        return {v.type, v.data.size()};
    }

    void setValue(std::string_view name, std::uint32_t type, std::span<const std::byte> data) override
    {
        registry_.faults_.check("RegSetValueEx");
        Key& key = existingKey();
        RegValue value{type, std::vector<std::byte>(data.begin(), data.end())};
        auto& slot = key.values[fold(name)];
        if (slot.name.empty())
            slot.name = std::string(name);
        slot.value = value;
        if (registry_.on_write)
            registry_.on_write(hive_, key.path, slot.name, value);
    }

private:
    Key& existingKey()
    {
        Key* key = registry_.findKey(hive_, path_);
        if (!key)
            throw Failure("registry key was deleted");
        return *key;
    }

    const RegValue& find(std::string_view name)
    {
        const Key& key = existingKey();
        const auto it = key.values.find(fold(name));
        if (it == key.values.end())
            throw Failure("RegQueryValueEx: value not found");
        return it->second.value;
    }

    SimRegistry& registry_;
    Hive hive_;
    std::string path_;
};

// ---- SimRegistry ----------------------------------------------------------------------------

SimRegistry::SimRegistry()
{
    for (Hive hive : {Hive::CurrentUser, Hive::LocalMachine})
        keys_[{hive, ""}] = Key{};
}

SimRegistry::~SimRegistry() = default;

std::string SimRegistry::fold(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string SimRegistry::normalisePath(std::string_view path)
{
    // Empty components (a leading, trailing or doubled backslash) are dropped.
    std::string out;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            if (!out.empty())
                out += '\\';
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

SimRegistry::Key* SimRegistry::findKey(Hive hive, std::string_view path)
{
    const auto it = keys_.find({hive, fold(normalisePath(path))});
    return it == keys_.end() ? nullptr : &it->second;
}

const SimRegistry::Key* SimRegistry::findKey(Hive hive, std::string_view path) const
{
    const auto it = keys_.find({hive, fold(normalisePath(path))});
    return it == keys_.end() ? nullptr : &it->second;
}

SimRegistry::Key& SimRegistry::makeKey(Hive hive, std::string_view path)
{
    const std::string spelled = normalisePath(path);
    Key* key = &keys_[{hive, ""}];
    std::size_t at = 0;
    while (at < spelled.size()) {
        std::size_t end = spelled.find('\\', at);
        if (end == std::string::npos)
            end = spelled.size();
        const std::string prefix = spelled.substr(0, end);
        auto [it, inserted] = keys_.try_emplace({hive, fold(prefix)});
        if (inserted)
            it->second.path = prefix;
        key = &it->second;
        at = end + 1;
    }
    return *key;
}

std::unique_ptr<RegistryKey> SimRegistry::openKey(Hive hive, std::string_view path)
{
    faults_.check("RegOpenKey");
    if (!findKey(hive, path))
        throw Failure("RegOpenKey: key not found");
    return std::make_unique<OpenKey>(*this, hive, normalisePath(path));
}

std::unique_ptr<RegistryKey> SimRegistry::createKey(Hive hive, std::string_view path)
{
    faults_.check("RegCreateKey");
    makeKey(hive, path);
    return std::make_unique<OpenKey>(*this, hive, normalisePath(path));
}

void SimRegistry::set(Hive hive, std::string_view path, std::string_view name, RegValue value)
{
    auto& slot = makeKey(hive, path).values[fold(name)];
    if (slot.name.empty())
        slot.name = std::string(name);
    slot.value = std::move(value);
}

std::optional<RegValue> SimRegistry::get(Hive hive, std::string_view path, std::string_view name) const
{
    const Key* key = findKey(hive, path);
    if (!key)
        return std::nullopt;
    const auto it = key->values.find(fold(name));
    if (it == key->values.end())
        return std::nullopt;
    return it->second.value;
}

bool SimRegistry::keyExists(Hive hive, std::string_view path) const { return findKey(hive, path) != nullptr; }

void SimRegistry::deleteKey(Hive hive, std::string_view path)
{
    const std::string folded = fold(normalisePath(path));
    if (folded.empty()) {
        // The hive itself stays; it is emptied.
        std::erase_if(keys_, [&](const auto& entry) { return entry.first.first == hive; });
        keys_[{hive, ""}] = Key{};
        return;
    }
    const std::string below = folded + '\\';
    std::erase_if(keys_, [&](const auto& entry) {
        const auto& [keyHive, keyPath] = entry.first;
        return keyHive == hive && (keyPath == folded || keyPath.starts_with(below));
    });
}

void SimRegistry::deleteValue(Hive hive, std::string_view path, std::string_view name)
{
    if (Key* key = findKey(hive, path))
        key->values.erase(fold(name));
}

} // namespace platform::sim
