#include "core/os/windows/program_files.h"

#include <optional>

#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

// The known folders' identifiers are defined here, once, rather than taken
// from a library that MinGW and the Windows SDK name differently.
#include <initguid.h>
#include <knownfolders.h>
#include <shlobj.h>

namespace bladeway::win32 {
namespace {

constexpr std::wstring_view kLongFormPrefix = L"\\\\?\\";

// `path` with "\" for every separator, without a "\\?\" prefix or closing
// separators; nothing when it is not UTF-8.
std::optional<std::wstring> ComparablePath(std::string_view path) {
    auto wide = WideFromUtf8(path);
    if (!wide)
        return std::nullopt;
    for (wchar_t& c : *wide) {
        if (c == L'/')
            c = L'\\';
    }
    if (wide->starts_with(kLongFormPrefix))
        wide->erase(0, kLongFormPrefix.size());
    while (!wide->empty() && wide->back() == L'\\')
        wide->pop_back();
    return wide;
}

std::string KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    std::string folder;
    if (::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) >= 0)  // succeeded
        folder = Utf8FromWide(path);
    ::CoTaskMemFree(path);  // also when the call failed
    return folder;
}

}  // namespace

std::vector<std::string> ProgramFilesFolders() {
    std::vector<std::string> folders;
    for (const KNOWNFOLDERID* id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86}) {
        std::string folder = KnownFolder(*id);
        if (!folder.empty())
            folders.push_back(std::move(folder));
    }
    return folders;
}

bool IsInFolder(std::string_view path, std::string_view folder) {
    const auto below = ComparablePath(path);
    const auto above = ComparablePath(folder);
    if (!below || !above || above->empty() || below->size() < above->size())
        return false;
    if (below->size() > above->size() && (*below)[above->size()] != L'\\')
        return false;
    const int length = static_cast<int>(above->size());
    return ::CompareStringOrdinal(below->data(), length, above->data(), length, TRUE) == CSTR_EQUAL;
}

std::string LongPathOf(std::string_view path) {
    const auto wide = WideFromUtf8(path);
    if (!wide || wide->empty())
        return std::string(path);
    std::wstring longPath(wide->size() + MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            ::GetLongPathNameW(wide->c_str(), longPath.data(), static_cast<DWORD>(longPath.size()));
        if (length == 0)
            return std::string(path);
        if (length < longPath.size()) {
            longPath.resize(length);
            return Utf8FromWide(longPath);
        }
        longPath.resize(length);  // the size it needs, with its closing null
    }
    return std::string(path);
}

}  // namespace bladeway::win32
