#pragma once
// The About box's look-ups in the registry: one value as text, and where the
// system information program is.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/os/registry.h"
#include "core/storage/file_system.h"

namespace bladeway {

// The program file looked for in the folder of "Shared Tools Location".
inline constexpr std::string_view kSystemInformationFileName = "MSINFO32.EXE";

// The text of value `subKeyRef` of key `keyName` under `keyRoot`; the key is
// opened with kKeyAllRights. False, with `keyVal` emptied, when the key cannot
// be opened or the value is missing or larger than 1024 bytes. A final zero
// byte of the value is dropped. A string value gives its bytes, a 32-bit
// number its decimal text; any other type leaves `keyVal` as passed in. The
// key is closed on every path.
bool GetKeyValue(Registry& registry, std::uint32_t keyRoot, std::string_view keyName,
                 std::string_view subKeyRef, std::string& keyVal);

// The system information program's file name: the "PATH" value of the
// MSINFO key when there is one (whether or not that file exists); otherwise
// MSINFO32.EXE in the folder that "Shared Tools Location" names, if that file
// exists. Nothing when neither gives a program.
std::optional<std::string> SystemInformationProgram(Registry& registry,
                                                    const FileSystem& fileSystem);

}  // namespace bladeway
