#include "core/os/folders.h"

#include <vector>

#include "core/os/paths.h"

// The calls that differ are each system's own: unix/folders.cpp,
// windows/folders.cpp.

namespace bladeway {

std::string CleanAbsolutePath(std::string_view absolutePath) {
    const std::string root = PathRoot(absolutePath);
    if (root.empty())
        return std::string(absolutePath);
    const auto isSeparator = [](char c) {
        return c == '/' || (kPathSeparator != '/' && c == kPathSeparator);
    };
    // The root's length in the path as written: its separators may be doubled
    // or of the other kind, but it holds as many parts.
    std::size_t rootParts = 0;
    for (std::size_t i = 0; i < root.size(); ++i) {
        if (isSeparator(root[i]) && (i == 0 || !isSeparator(root[i - 1])))
            ++rootParts;
    }
    std::size_t at = 0;
    while (rootParts > 0 && at < absolutePath.size()) {
        if (isSeparator(absolutePath[at])) {
            while (at < absolutePath.size() && isSeparator(absolutePath[at]))
                ++at;
            --rootParts;
        } else {
            ++at;
        }
    }
    std::vector<std::string_view> parts;
    while (at < absolutePath.size()) {
        std::size_t end = at;
        while (end < absolutePath.size() && !isSeparator(absolutePath[end]))
            ++end;
        const std::string_view part = absolutePath.substr(at, end - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = end + 1;
    }
    std::string clean = root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            clean.push_back(kPathSeparator);
        clean.append(parts[i]);
    }
    return clean;
}

}  // namespace bladeway
