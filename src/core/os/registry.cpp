#include "core/os/registry.h"

#include <array>
#include <cstring>

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::size_t kValueBufferSize = 1024;

// The decimal text of a 32-bit number given as up to four little-endian
// bytes; bytes not given (a final zero already dropped) count as zero.
std::string NumberText(std::string_view bytes) {
    std::uint32_t number = 0;
    for (std::size_t i = 0; i < bytes.size() && i < 4; ++i) {
        number |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return std::to_string(number);
}

// Closes the key whatever way the look-up leaves.
class OpenKeyGuard {
  public:
    OpenKeyGuard(Registry& registry, RegistryKey key) : registry_(registry), key_(key) {}
    OpenKeyGuard(const OpenKeyGuard&) = delete;
    OpenKeyGuard& operator=(const OpenKeyGuard&) = delete;
    OpenKeyGuard(OpenKeyGuard&&) = delete;
    OpenKeyGuard& operator=(OpenKeyGuard&&) = delete;
    ~OpenKeyGuard() { (void)registry_.CloseKey(key_); }

  private:
    Registry& registry_;
    RegistryKey key_;
};

}  // namespace

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

bool GetKeyValue(Registry& registry, std::uint32_t keyRoot, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal) {
    RegistryKey key = 0;
    if (registry.OpenKey(keyRoot, keyName, kKeyAllRights, key) != RegistryResult::kSuccess) {
        keyVal.clear();
        return false;
    }
    const OpenKeyGuard closeOnLeaving(registry, key);

    std::array<char, kValueBufferSize> buffer{};
    std::uint32_t type = kRegNone;
    std::size_t size = buffer.size();
    if (registry.QueryValue(key, subKeyRef, type, buffer, size) != RegistryResult::kSuccess ||
        size > buffer.size()) {
        keyVal.clear();
        return false;
    }
    std::string_view bytes(buffer.data(), size);
    if (!bytes.empty() && bytes.back() == '\0')
        bytes.remove_suffix(1);

    if (type == kRegString) {
        keyVal.assign(bytes);
    } else if (type == kRegNumber32) {
        keyVal = NumberText(bytes);
    }
    return true;
}

}  // namespace bladeway
