#include "core/os/registry.h"

#include <cstring>

#include "core/text/text.h"

namespace bladeway {

std::string RegistryStore::KeyId(std::uint32_t root, std::string_view keyName) {
    return std::to_string(root) + ":" + ToUpperAscii(keyName);
}

void RegistryStore::AddKey(std::uint32_t root, std::string_view keyName,
                           std::uint32_t grantedRights) {
    keys_[KeyId(root, keyName)].grantedRights = grantedRights;
}

void RegistryStore::SetValue(std::uint32_t root, std::string_view keyName,
                             std::string_view valueName, std::uint32_t type, std::string bytes) {
    keys_[KeyId(root, keyName)].values[ToUpperAscii(valueName)] = Value{type, std::move(bytes)};
}

void RegistryStore::SetString(std::uint32_t root, std::string_view keyName,
                              std::string_view valueName, std::string_view text) {
    std::string bytes(text);
    bytes.push_back('\0');
    SetValue(root, keyName, valueName, kRegString, std::move(bytes));
}

RegistryResult RegistryStore::OpenKey(std::uint32_t root, std::string_view keyName,
                                      std::uint32_t rights, RegistryKey& key) {
    const std::string id = KeyId(root, keyName);
    const auto found = keys_.find(id);
    if (found == keys_.end())
        return RegistryResult::kNotFound;
    if ((rights & ~found->second.grantedRights) != 0)
        return RegistryResult::kAccessDenied;
    key = nextHandle_++;
    openKeys_.emplace(key, id);
    return RegistryResult::kSuccess;
}

RegistryResult RegistryStore::QueryValue(RegistryKey key, std::string_view valueName,
                                         std::uint32_t& type, std::span<char> buffer,
                                         std::size_t& size) {
    const auto open = openKeys_.find(key);
    if (open == openKeys_.end())
        return RegistryResult::kInvalidHandle;
    const auto& values = keys_.at(open->second).values;
    const auto found = values.find(ToUpperAscii(valueName));
    if (found == values.end())
        return RegistryResult::kNotFound;
    const Value& value = found->second;
    type = value.type;
    size = value.bytes.size();
    if (value.bytes.size() > buffer.size())
        return RegistryResult::kMoreData;
    std::memcpy(buffer.data(), value.bytes.data(), value.bytes.size());
    return RegistryResult::kSuccess;
}

RegistryResult RegistryStore::CloseKey(RegistryKey key) {
    return openKeys_.erase(key) == 1 ? RegistryResult::kSuccess : RegistryResult::kInvalidHandle;
}

}  // namespace bladeway
