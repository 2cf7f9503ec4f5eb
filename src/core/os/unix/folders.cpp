// The folders of the machine on Linux and other POSIX systems.
#include "core/os/folders.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "core/os/native_files.h"
#include "core/os/paths.h"
#include "core/os/unix/folder_roots.h"
#include "core/os/unix/system_calls.h"

namespace bladeway {
namespace {

// True when `folder` is `root` or lies inside it (both clean absolute paths).
bool LiesIn(std::string_view folder, std::string_view root) {
    return folder == root ||
           (folder.size() > root.size() && folder.starts_with(root) && folder[root.size()] == '/');
}

void AddRoot(std::vector<std::string>& roots, std::string root) {
    if (std::find(roots.begin(), roots.end(), root) == roots.end())
        roots.push_back(std::move(root));
}

// A mounted volume that answers: an unreachable or stale mount is left out.
bool IsReadyVolume(const std::string& mountPoint) {
    struct statvfs info {};
    return ::statvfs(mountPoint.c_str(), &info) == 0;
}

// The entries of `folder` of the type `wanted` (DT_DIR or DT_REG), a link
// counted as what it leads to; "." and ".." left out.
template <typename Entry>
Expected<std::vector<Entry>> ListEntries(const std::string& folder, unsigned char wanted) {
    DIR* entries = ::opendir(folder.c_str());
    if (entries == nullptr)
        return native::SystemFailure("cannot list", folder, errno);
    std::vector<Entry> listed;
    const int folderFd = ::dirfd(entries);
    const mode_t wantedMode = wanted == DT_DIR ? S_IFDIR : S_IFREG;
    while (const dirent* entry = ::readdir(entries)) {
        const char* const rawName = static_cast<const char*>(entry->d_name);
        const std::string_view name = rawName;
        if (name == "." || name == "..")
            continue;
        bool isWanted = entry->d_type == wanted;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isWanted = ::fstatat(folderFd, rawName, &info, 0) == 0 &&
                       (info.st_mode & S_IFMT) == wantedMode;
        }
        if (isWanted)
            listed.push_back(Entry{std::string(name), name.starts_with('.')});
    }
    ::closedir(entries);
    return listed;
}

}  // namespace

std::vector<std::string> FolderRootsOf(std::string_view home,
                                       const std::vector<std::string>& mountPoints) {
    std::vector<std::string> roots{"/"};
    if (IsAbsolute(home))
        AddRoot(roots, CleanAbsolutePath(home));
    for (const std::string& mountPoint : mountPoints) {
        std::string clean = CleanAbsolutePath(mountPoint);
        const bool onVolumeFolder =
            std::any_of(kVolumeFolders.begin(), kVolumeFolders.end(),
                        [&clean](std::string_view volumes) { return LiesIn(clean, volumes); });
        if (onVolumeFolder)
            AddRoot(roots, std::move(clean));
    }
    return roots;
}

std::vector<std::string> MountPointsOf(std::string_view mountTable) {
    std::vector<std::string> mountPoints;
    std::size_t lineStart = 0;
    while (lineStart < mountTable.size()) {
        const std::size_t lineEnd = std::min(mountTable.find('\n', lineStart), mountTable.size());
        const std::string_view line = mountTable.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        const std::size_t first = line.find(' ');
        if (first == std::string_view::npos)
            continue;
        const std::size_t second = std::min(line.find(' ', first + 1), line.size());
        const std::string_view field = line.substr(first + 1, second - first - 1);
        std::string mountPoint;
        for (std::size_t at = 0; at < field.size(); ++at) {
            const auto isOctal = [&](std::size_t i) {
                return i < field.size() && field[i] >= '0' && field[i] <= '7';
            };
            if (field[at] == '\\' && isOctal(at + 1) && isOctal(at + 2) && isOctal(at + 3)) {
                mountPoint.push_back(static_cast<char>(((field[at + 1] - '0') << 6) |
                                                       ((field[at + 2] - '0') << 3) |
                                                       (field[at + 3] - '0')));
                at += 3;
            } else {
                mountPoint.push_back(field[at]);
            }
        }
        if (!mountPoint.empty())
            mountPoints.push_back(std::move(mountPoint));
    }
    return mountPoints;
}

std::vector<std::string> FolderRoots() {
    constexpr std::size_t kMountTableLimit = std::size_t{16} << 20;
    const auto table = native::ReadWholeFile("/proc/self/mounts", kMountTableLimit);
    std::vector<std::string> ready;
    if (table) {
        for (std::string& mountPoint : MountPointsOf(table.value())) {
            if (IsReadyVolume(mountPoint))
                ready.push_back(std::move(mountPoint));
        }
    }
    return FolderRootsOf(UserFoldersOfEnvironment().home, ready);
}

Expected<std::vector<SubfolderEntry>> ListSubfolders(const std::string& folder) {
    return ListEntries<SubfolderEntry>(folder, DT_DIR);
}

Expected<std::vector<FileEntry>> ListFiles(const std::string& folder) {
    return ListEntries<FileEntry>(folder, DT_REG);
}

std::string HomeFolder() {
    std::string home = UserFoldersOfEnvironment().home;
    return IsAbsolute(home) ? home : CurrentFolder();
}

std::string CurrentFolder() {
    std::string buffer(256, '\0');
    while (buffer.size() <= (std::size_t{1} << 20)) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

std::string AbsolutePath(const std::string& path) {
    if (IsAbsolute(path))
        return path;
    const std::string current = CurrentFolder();
    return current.empty() ? path : JoinPathOnce(current, path);
}

std::string PathRoot(std::string_view absolutePath) {
    return absolutePath.starts_with('/') ? "/" : "";
}

bool SameFolderSpelling(std::string_view a, std::string_view b) {
    return a == b;
}

}  // namespace bladeway
