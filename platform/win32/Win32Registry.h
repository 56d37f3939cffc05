#pragma once
// The registry over advapi32, with the wide calls.
//
// Implements: Registry and RegistryKey for HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE. Keys are
// opened and created with the access RegOpenKey and RegCreateKey give (MAXIMUM_ALLOWED), so a key
// opened for reading can be written where the user may write. Text values (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) are UTF-16 in the registry and UTF-8 at the seam: sizes and bytes are those of the
// UTF-8 form, terminating and embedded NULs included exactly as stored; a REG_SZ written through
// the seam holds no terminating NUL. Other types pass their bytes unchanged.
//
// Keys opened for reading stay open between openKey calls: each open and close is a round trip to
// the kernel (under Wine, to the wine server), and the notifier reads its settings key every
// second, one value per open. openKey of a path it has open hands out the same handle, unchecked;
// the key's first call finds out whether the key has been deleted since (ERROR_KEY_DELETED), and
// then opens the path anew: a key deleted and made again is read anew, and one deleted for good
// fails that first call as RegOpenKeyEx fails (a key deleted just after opening fails its calls
// too). From its first call on, a key is bound to what it found: deleted afterwards, it fails every
// call, as any open key does. A handful of paths are kept, the latest.
// Does not: delete keys or values (the system never does), enumerate, or reach other hives.

#include <memory>

#include "platform/Registry.h"

namespace platform::win32 {

class Win32Registry final : public Registry {
public:
    Win32Registry();
    ~Win32Registry() override;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;

    std::unique_ptr<RegistryKey> openKey(Hive hive, std::string_view path) override;
    std::unique_ptr<RegistryKey> createKey(Hive hive, std::string_view path) override;

    class OpenKeys;  // the keys kept open (Win32Registry.cpp)

private:
    std::shared_ptr<OpenKeys> open_;
};

} // namespace platform::win32
