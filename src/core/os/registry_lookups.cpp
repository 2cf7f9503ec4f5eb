#include "core/os/registry_lookups.h"

#include <array>

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
