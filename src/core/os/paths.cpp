#include "core/os/paths.h"

#include <algorithm>
#include <filesystem>

// RunningProgramPath and the others that differ are each system's own:
// unix/paths.cpp, windows/paths.cpp.

namespace bladeway {
namespace {

// What separates folders in a path: '/' everywhere, and the system's own.
constexpr std::string_view kSeparators = kPathSeparator == '/' ? "/" : "/\\";

// True when lexical normalisation would give the path back unchanged: no "."
// or ".." part, no doubled separator, only the platform's own separator.
// Nearly every path a run meets is such a path, and checking is far cheaper
// than normalising.
bool IsAlreadyNormal(std::string_view path) {
    if (path.empty() || (kPathSeparator != '/' && path.find('/') != std::string_view::npos)) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find(kPathSeparator, start);
        const std::string_view part = path.substr(start, end - start);
        if (part == "." || part == "..") {
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
        if (part.empty() && start != 0) {
            return false;
        }
        start = end + 1;
    }
}

}  // namespace

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append(1, kPathSeparator).append(name);
    return path;
}

std::string JoinPathOnce(std::string_view folder, std::string_view name) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        return std::string(folder).append(name);
    }
    return JoinPath(folder, name);
}

std::string NativeSeparators(std::string_view path) {
    std::string native(path);
    std::replace(native.begin(), native.end(), '\\', kPathSeparator);
    return native;
}

std::string SameFileKey(const std::string& path) {
    if (IsAlreadyNormal(path)) {
        return path;
    }
    // Through UTF-8 paths, so that Windows does not read the bytes in its
    // ANSI code page; bytes that are not UTF-8 there stay as they are.
    try {
        const std::u8string normal = std::filesystem::path(std::u8string(path.begin(), path.end()))
                                         .lexically_normal()
                                         .u8string();
        return {normal.begin(), normal.end()};
    } catch (const std::exception&) {
        return path;
    }
}

std::string FolderOfPath(std::string_view path) {
    const std::size_t last = path.find_last_of(kSeparators);
    std::size_t nameAt = last == std::string_view::npos ? 0 : last + 1;
    // "C:P1" is P1 in the current folder of drive C: "C:" is its folder part.
    if (nameAt == 0 && kPathSeparator == '\\' && path.size() >= 2 && path[1] == ':') {
        nameAt = 2;
    }
    return std::string(path.substr(0, nameAt));
}

std::string FolderOf(const std::string& path) {
    const std::string folder = FolderOfPath(path);
    if (folder.empty() || folder.back() == ':') {
        return ".";  // a bare name, or one on a drive ("C:P1"): the current folder
    }
    std::size_t folderEnd = folder.size();
    while (folderEnd > 0 && kSeparators.find(folder[folderEnd - 1]) != std::string_view::npos) {
        --folderEnd;
    }
    const bool isDrive = kPathSeparator == '\\' && folderEnd == 2 && folder[1] == ':';
    if (folderEnd == 0 || isDrive) {
        return folder.substr(0, folderEnd + 1);  // the root keeps its separator
    }
    return folder.substr(0, folderEnd);
}

}  // namespace bladeway
