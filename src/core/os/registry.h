#pragma once

// A small registry in the manner of the Windows one: keys under a root, each
// holding named values of a type, opened with access rights, queried into the
// caller's buffer and closed again. Key and value names are matched without
// regard to letter case. The numbers of roots, rights and types are the ones
// Windows gives them, so a Windows build can put the real registry behind the
// same interface.

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;

// Read control and every key-specific right: what the About box asks for.
inline constexpr std::uint32_t kKeyAllRights = 0x2003F;
inline constexpr std::uint32_t kKeyReadRights = 0x20019;

enum RegistryValueType : std::uint32_t {
    kRegNone = 0,
    kRegString = 1,
    kRegExpandString = 2,
    kRegBinary = 3,
    kRegNumber32 = 4,  // little-endian 32-bit number
};

enum class RegistryResult {
    kSuccess,
    kNotFound,
    kAccessDenied,
    kMoreData,  // the value is larger than the buffer; nothing was copied
    kInvalidHandle,
};

using RegistryKey = std::uint32_t;

class Registry {
  public:
    virtual ~Registry() = default;

    // Opens `keyName` under `root` with the rights asked for.
    virtual RegistryResult OpenKey(std::uint32_t root, std::string_view keyName,
                                   std::uint32_t rights, RegistryKey& key) = 0;

    // Copies the value's bytes into `buffer` and reports its type and size.
    // `size` is the number of bytes copied, or on kMoreData the value's size.
    virtual RegistryResult QueryValue(RegistryKey key, std::string_view valueName,
                                      std::uint32_t& type, std::span<char> buffer,
                                      std::size_t& size) = 0;

    virtual RegistryResult CloseKey(RegistryKey key) = 0;
};

// A registry held in memory: the system's lookups on platforms without one,
// and every test.
class RegistryStore final : public Registry {
  public:
    // Adds the key (or changes the rights it grants when it exists).
    void AddKey(std::uint32_t root, std::string_view keyName,
                std::uint32_t grantedRights = kKeyAllRights);
    // Stores the value's bytes exactly; adds the key when missing.
    void SetValue(std::uint32_t root, std::string_view keyName, std::string_view valueName,
                  std::uint32_t type, std::string bytes);
    // A string value stored with its final zero byte, as Windows programs
    // usually store them.
    void SetString(std::uint32_t root, std::string_view keyName, std::string_view valueName,
                   std::string_view text);

    RegistryResult OpenKey(std::uint32_t root, std::string_view keyName, std::uint32_t rights,
                           RegistryKey& key) override;
    RegistryResult QueryValue(RegistryKey key, std::string_view valueName, std::uint32_t& type,
                              std::span<char> buffer, std::size_t& size) override;
    RegistryResult CloseKey(RegistryKey key) override;

    // Keys opened and not closed yet.
    std::size_t OpenKeyCount() const { return openKeys_.size(); }

  private:
    struct Value {
        std::uint32_t type = kRegNone;
        std::string bytes;
    };
    struct Key {
        std::uint32_t grantedRights = kKeyAllRights;
        std::map<std::string, Value> values;  // by upper-cased name
    };

    static std::string KeyId(std::uint32_t root, std::string_view keyName);

    std::map<std::string, Key> keys_;              // by KeyId
    std::map<RegistryKey, std::string> openKeys_;  // handle to KeyId
    RegistryKey nextHandle_ = 1;
};

}  // namespace bladeway
