#pragma once
// The rule behind FolderRoots on Linux, from its parts, so that it can be
// checked without the machine's own mounts.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

// The folders under which removable and hand-mounted volumes are mounted.
inline constexpr std::array<std::string_view, 3> kVolumeFolders{"/media", "/mnt", "/run/media"};

// "/", then `home` when it is absolute, then those of `mountPoints` that lie
// in one of the volume folders (or are one), each cleaned, each once.
std::vector<std::string> FolderRootsOf(std::string_view home,
                                       const std::vector<std::string>& mountPoints);

// The mount points of a mount table in the form of /proc/self/mounts (the
// second field of each line, its octal escapes such as "\040" undone).
std::vector<std::string> MountPointsOf(std::string_view mountTable);

}  // namespace bladeway
