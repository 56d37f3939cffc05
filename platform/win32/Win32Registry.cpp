#include "platform/win32/Win32Registry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <list>
#include <mutex>
#include <string>
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

// An open key handle, closed when its last user lets go of it.
struct Handle {
    explicit Handle(HKEY key) : key(key) {}
    ~Handle() { RegCloseKey(key); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HKEY key;
};

std::shared_ptr<Handle> openPath(Hive hive, const std::wstring& path)
{
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExW(rootOf(hive), path.c_str(), 0, MAXIMUM_ALLOWED, &key);
    if (status != ERROR_SUCCESS)
        throw win32Failure("RegOpenKeyExW", static_cast<std::uint32_t>(status));
    return std::make_shared<Handle>(key);
}

} // namespace

// The keys opened for reading, by hive and path exactly as asked for (a path spelt otherwise is
// opened on its own); the most recently used first. Shared by the registry and its keys, which may
// outlive it, and guarded: a DLL's registry may be used from more than one thread.
class Win32Registry::OpenKeys {
public:
    std::shared_ptr<Handle> find(Hive hive, const std::wstring& path)
    {
        const std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->hive == hive && it->path == path) {
                entries_.splice(entries_.begin(), entries_, it);
                return it->handle;
            }
        }
        return nullptr;
    }

    void keep(Hive hive, const std::wstring& path, std::shared_ptr<Handle> handle)
    {
        const std::lock_guard lock(mutex_);
        std::erase_if(entries_, [&](const Entry& e) { return e.hive == hive && e.path == path; });
        entries_.push_front({hive, path, std::move(handle)});
        if (entries_.size() > kKept)
            entries_.pop_back();
    }

    // Forgets `handle` for the path, unless another key has replaced it meanwhile.
    void forget(Hive hive, const std::wstring& path, const std::shared_ptr<Handle>& handle)
    {
        const std::lock_guard lock(mutex_);
        std::erase_if(entries_, [&](const Entry& e) { return e.hive == hive && e.path == path && e.handle == handle; });
    }

private:
    static constexpr std::size_t kKept = 8;
    struct Entry {
        Hive hive;
        std::wstring path;
        std::shared_ptr<Handle> handle;
    };
    std::mutex mutex_;
    std::list<Entry> entries_;
};

namespace {

class Win32Key final : public RegistryKey {
public:
    // A key just opened or created.
    explicit Win32Key(std::shared_ptr<Handle> handle) : handle_(std::move(handle)) {}
    // A key handed out from the ones kept open: its first call checks it is still there.
    Win32Key(std::shared_ptr<Handle> handle, std::shared_ptr<Win32Registry::OpenKeys> open, Hive hive,
             std::wstring path)
        : handle_(std::move(handle)), open_(std::move(open)), hive_(hive), path_(std::move(path))
    {
    }
    Win32Key(const Win32Key&) = delete;
    Win32Key& operator=(const Win32Key&) = delete;

    RegValueInfo queryValueInfo(std::string_view name) override
    {
        const Stored value = read(name);
        return {value.type, value.data.size()};
    }

    RegRead queryValue(std::string_view name, std::span<std::byte> buffer) override
    {
        const Stored value = read(name);
        if (value.data.size() > buffer.size())
            throw win32Failure("RegQueryValueExW", ERROR_MORE_DATA);
        std::copy(value.data.begin(), value.data.end(), buffer.begin());
        return {value.type, value.data.size()};
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
        const LSTATUS status = call([&] {
            return RegSetValueExW(handle_->key, wideName.c_str(), 0, type, size ? bytes : nullptr,
                                  static_cast<DWORD>(size));
        });
        if (status != ERROR_SUCCESS)
            throw win32Failure("RegSetValueExW", static_cast<std::uint32_t>(status));
    }

private:
    struct Stored {
        std::uint32_t type = REG_NONE;
        std::vector<std::byte> data;
    };

    // Makes one call on the key. A kept handle's first call that finds the key deleted since it
    // was opened opens the path again and makes the call once more on that.
    template <class Attempt>
    LSTATUS call(Attempt attempt)
    {
        if (!open_)
            return attempt();
        const std::shared_ptr<Win32Registry::OpenKeys> open = std::move(open_);
        const LSTATUS status = attempt();
        if (status != ERROR_KEY_DELETED)
            return status;
        open->forget(hive_, path_, handle_);
        handle_ = openPath(hive_, path_);
        open->keep(hive_, path_, handle_);
        return attempt();
    }

    // The whole value in its seam form, in one call where it fits a first buffer. Should the value
    // grow between the calls that follow (another program may write it at any time), the read is
    // repeated with the size it now reports.
    Stored read(std::string_view name)
    {
        const std::wstring wideName = toWide(name);
        Stored value;
        value.data.resize(256);
        DWORD type = REG_NONE;
        DWORD got = 0;
        auto attempt = [&] {
            got = static_cast<DWORD>(value.data.size());
            return RegQueryValueExW(handle_->key, wideName.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(value.data.data()), &got);
        };
        LSTATUS status = call(attempt);
        while (status == ERROR_MORE_DATA) {
            // Never a null buffer: with one the call only reports the size, even of a value that grew.
            value.data.resize(std::max<DWORD>(got, 1));
            status = attempt();
        }
        if (status != ERROR_SUCCESS)
            throw win32Failure("RegQueryValueExW", static_cast<std::uint32_t>(status));
        value.data.resize(got);
        value.type = type;
        value.data = toSeam(type, std::move(value.data));
        return value;
    }

    std::shared_ptr<Handle> handle_;
    // Set until the first call of a key handed out from the kept ones.
    std::shared_ptr<Win32Registry::OpenKeys> open_;
    Hive hive_ = Hive::CurrentUser;
    std::wstring path_;
};

} // namespace

Win32Registry::Win32Registry() : open_(std::make_shared<OpenKeys>()) {}

Win32Registry::~Win32Registry() = default;

std::unique_ptr<RegistryKey> Win32Registry::openKey(Hive hive, std::string_view path)
{
    std::wstring widePath = toWide(path);
    if (std::shared_ptr<Handle> kept = open_->find(hive, widePath))
        return std::make_unique<Win32Key>(std::move(kept), open_, hive, std::move(widePath));
    std::shared_ptr<Handle> handle = openPath(hive, widePath);
    open_->keep(hive, widePath, handle);
    return std::make_unique<Win32Key>(std::move(handle));
}

std::unique_ptr<RegistryKey> Win32Registry::createKey(Hive hive, std::string_view path)
{
    HKEY key = nullptr;
    const LSTATUS status = RegCreateKeyExW(rootOf(hive), toWide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           MAXIMUM_ALLOWED, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw win32Failure("RegCreateKeyExW", static_cast<std::uint32_t>(status));
    return std::make_unique<Win32Key>(std::make_shared<Handle>(key));
}

} // namespace platform::win32
