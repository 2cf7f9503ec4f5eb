#pragma once
// One registry value as text, as the About box reads it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/os/registry.h"

namespace bladeway {

// The text of value `subKeyRef` of key `keyName` under `keyRoot`; the key is
// opened with kKeyAllRights. False, with `keyVal` emptied, when the key cannot
// be opened or the value is missing or larger than 1024 bytes. A final zero
// byte of the value is dropped. A string value gives its bytes, a 32-bit
// number its decimal text; any other type leaves `keyVal` as passed in. The
// key is closed on every path.
bool GetKeyValue(Registry& registry, std::uint32_t keyRoot, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal);

}  // namespace bladeway
