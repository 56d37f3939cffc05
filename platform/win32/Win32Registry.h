#pragma once
// The registry over advapi32, with the wide calls.
//
// Implements: Registry and RegistryKey for HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE. Keys are
// opened and created with the access RegOpenKey and RegCreateKey give (MAXIMUM_ALLOWED), so a key
// opened for reading can be written where the user may write. Text values (REG_SZ, REG_EXPAND_SZ,
// REG_MULTI_SZ) are UTF-16 in the registry and UTF-8 at the seam: sizes and bytes are those of the
// UTF-8 form, terminating and embedded NULs included exactly as stored; a REG_SZ written through
// the seam holds no terminating NUL. Other types pass their bytes unchanged.
// Does not: delete keys or values (the system never does), enumerate, or reach other hives.

#include "platform/Registry.h"

namespace platform::win32 {

class Win32Registry final : public Registry {
public:
    std::unique_ptr<RegistryKey> openKey(Hive hive, std::string_view path) override;
    std::unique_ptr<RegistryKey> createKey(Hive hive, std::string_view path) override;
};

} // namespace platform::win32
