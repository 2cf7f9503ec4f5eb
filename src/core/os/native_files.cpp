#include "core/os/native_files.h"

#include <algorithm>

namespace bladeway::native {

// The same on every system, so here rather than once per system folder.
bool IsTemporaryName(std::string_view fileName) {
    if (!fileName.starts_with('.') || !fileName.ends_with(kTemporarySuffix)) {
        return false;
    }
    fileName.remove_suffix(kTemporarySuffix.size());
    if (fileName.ends_with(".old")) {
        fileName.remove_suffix(4);
    }
    // "." NAME "." XXXXXX, with a name of at least one character.
    if (fileName.size() < 1 + 1 + 1 + kTemporaryRandomLength ||
        fileName[fileName.size() - kTemporaryRandomLength - 1] != '.') {
        return false;
    }
    const std::string_view random = fileName.substr(fileName.size() - kTemporaryRandomLength);
    return std::all_of(random.begin(), random.end(), [](char c) {
        return kTemporaryLettersBothCases.find(c) != std::string_view::npos;
    });
}

}  // namespace bladeway::native
