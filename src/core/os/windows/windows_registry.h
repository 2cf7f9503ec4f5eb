#pragma once

// Windows only: the system's registry behind the Registry interface, through
// RegOpenKeyExW, RegQueryValueExW and RegCloseKey. Names go to the system as
// UTF-16; string values come back as UTF-8 (with the final zero byte when the
// value holds one), other values as their bytes.

#include <map>

#include "core/os/registry.h"

namespace bladeway {

class WindowsRegistry final : public Registry {
  public:
    WindowsRegistry() = default;
    WindowsRegistry(const WindowsRegistry&) = delete;
    WindowsRegistry& operator=(const WindowsRegistry&) = delete;
    ~WindowsRegistry() override;

    RegistryResult OpenKey(std::uint32_t root, std::string_view keyName, std::uint32_t rights,
                           RegistryKey& key) override;
    RegistryResult QueryValue(RegistryKey key, std::string_view valueName, std::uint32_t& type,
                              std::span<char> buffer, std::size_t& size) override;
    RegistryResult CloseKey(RegistryKey key) override;

    std::size_t OpenKeyCount() const { return openKeys_.size(); }

  private:
    std::map<RegistryKey, void*> openKeys_;  // handle to the system's HKEY
    RegistryKey nextHandle_ = 1;
};

}  // namespace bladeway
