#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <windows.h>

#include "platform/win32/Wide.h"
#include "platform/win32/Win32Failure.h"

namespace platform::win32 {

namespace {

HKEY rootOf(Hive hive) { return hive == Hive::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

bool isText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// What the seam sees of stored data: UTF-8 for text, the bytes themselves otherwise. Text data of an
// odd length (written as bytes by some other program) loses its last half character.
std::vector<std::byte> toSeam(DWORD type, std::vector<std::byte> stored)
{
    if (!isText(type))
        return stored;
    std::wstring wide(stored.size() / sizeof(wchar_t), L'\0');
    if (!wide.empty())
        std::memcpy(wide.data(), stored.data(), wide.size() * sizeof(wchar_t));
    const std::string utf8 = toUtf8(wide);
    const auto* first = reinterpret_cast<const std::byte*>(utf8.data());
    return {first, first + utf8.size()};
}

class Win32Key final : public RegistryKey {
public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    RegValueInfo queryValueInfo(std::string_view name) override
    {
        const auto [type, data] = read(name);
        return {type, data.size()};
    }

    RegRead queryValue(std::string_view name, std::span<std::byte> buffer) override
    {
        const auto [type, data] = read(name);
        if (data.size() > buffer.size())
            throw win32Failure("RegQueryValueExW", ERROR_MORE_DATA);
        std::copy(data.begin(), data.end(), buffer.begin());
        return {type, data.size()};
    }

    void setValue(std::string_view name, std::uint32_t type, std::span<const std::byte> data) override
    {
        const std::wstring wideName = toWide(name);
        std::wstring text;
        const BYTE* bytes = reinterpret_cast<const BYTE*>(data.data());
        std::size_t size = data.size();
        if (isText(type)) {
            text = toWide(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
            size = text.size() * sizeof(wchar_t);
            // RegSetValueExW counts a terminating NUL the caller left out when one follows the data
            // in memory, as it always does in a wstring. Something else must follow, or the value
            // would not hold exactly the bytes written.
            text.push_back(L'?');
            bytes = reinterpret_cast<const BYTE*>(text.data());
        }
        if (size > MAXDWORD)
            throw win32Failure("RegSetValueExW", ERROR_INVALID_PARAMETER);
        const LSTATUS status =
            RegSetValueExW(key_, wideName.c_str(), 0, type, size ? bytes : nullptr, static_cast<DWORD>(size));
        if (status != ERROR_SUCCESS)
            throw win32Failure("RegSetValueExW", static_cast<std::uint32_t>(status));
    }

private:
    struct Stored {
        std::uint32_t type;
        std::vector<std::byte> data;
    };

    // The whole value in its seam form. The size is asked first and the read repeated should the
    // value grow in between (another program may write it at any time).
    Stored read(std::string_view name)
    {
        const std::wstring wideName = toWide(name);
        DWORD type = REG_NONE;
        DWORD size = 0;
        LSTATUS status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size);
        std::vector<std::byte> data;
        while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
            // Never a null buffer: with one the call only reports the size, even of a value that grew.
            data.resize(std::max<DWORD>(size, 1));
            DWORD got = size;
            status = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &got);
            if (status == ERROR_SUCCESS) {
                data.resize(got);
                return {type, toSeam(type, std::move(data))};
            }
            size = got;
        }
        throw win32Failure("RegQueryValueExW", static_cast<std::uint32_t>(status));
    }

    HKEY key_;
};

} // namespace

std::unique_ptr<RegistryKey> Win32Registry::openKey(Hive hive, std::string_view path)
{
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(rootOf(hive), toWide(path).c_str(), 0, MAXIMUM_ALLOWED, &key);
    if (status != ERROR_SUCCESS)
        throw win32Failure("RegOpenKeyExW", static_cast<std::uint32_t>(status));
    return std::make_unique<Win32Key>(key);
}

std::unique_ptr<RegistryKey> Win32Registry::createKey(Hive hive, std::string_view path)
{
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyExW(rootOf(hive), toWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           MAXIMUM_ALLOWED, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw win32Failure("RegCreateKeyExW", static_cast<std::uint32_t>(status));
    return std::make_unique<Win32Key>(key);
}

} // namespace platform::win32
