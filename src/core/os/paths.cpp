#include "core/os/paths.h"

#include <algorithm>
#include <filesystem>

// RunningProgramPath and the others that differ are each system's own:
// unix/paths.cpp, windows/paths.cpp.

namespace bladeway {
namespace {

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

std::string FolderOf(const std::string& path) {
    // By the separators alone: std::filesystem would take the bytes for the
    // ANSI code page on Windows, where the program's names are UTF-8.
    const auto isSeparator = [](char c) {
        return c == '/' || (kPathSeparator != '/' && c == kPathSeparator);
    };
    std::size_t nameAt = path.size();
    while (nameAt > 0 && !isSeparator(path[nameAt - 1])) {
        --nameAt;
    }
    if (nameAt == 0) {
        return ".";
    }
    std::size_t folderEnd = nameAt;
    while (folderEnd > 0 && isSeparator(path[folderEnd - 1])) {
        --folderEnd;
    }
    const bool isDrive = kPathSeparator == '\\' && folderEnd == 2 && path[1] == ':';
    if (folderEnd == 0 || isDrive) {
        return path.substr(0, folderEnd + 1);  // the root keeps its separator
    }
    return path.substr(0, folderEnd);
}

}  // namespace bladeway
