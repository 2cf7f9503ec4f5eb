// The folders of the machine on Windows: the drives are the roots.
#include "core/os/folders.h"

#include <cstdlib>
#include <memory>

#include "core/os/paths.h"
#include "core/os/windows/system_calls.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The folders (`folders`) or the files of `folder`; "." and ".." left out.
template <typename Entry>
Expected<std::vector<Entry>> ListEntries(const std::string& folder, bool folders) {
    const auto pattern = win32::WideFromUtf8(JoinPathOnce(folder, "*"));
    if (!pattern)
        return native::NotUtf8("cannot list", folder);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileExW(
        pattern->c_str(), FindExInfoBasic, &found,
        folders ? FindExSearchLimitToDirectories : FindExSearchNameMatch, nullptr, 0);
    std::vector<Entry> listed;
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // The root of an empty drive has not even "." and "..".
        if (error == ERROR_FILE_NOT_FOUND)
            return listed;
        return native::SystemFailure("cannot list", folder, error);
    }
    // Closed on every way out, a failed allocation included.
    const std::unique_ptr<void, decltype(&::FindClose)> closer(search, &::FindClose);
    do {
        const std::wstring_view name = static_cast<const wchar_t*>(found.cFileName);
        const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A device name such as "CON" is no file of the folder.
        const bool isDevice = (found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0;
        if (name == L"." || name == L".." || isFolder != folders || isDevice)
            continue;
        listed.push_back(Entry{win32::Utf8FromWide(name),
                               (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0});
    } while (::FindNextFileW(search, &found) != 0);
    return listed;
}

}  // namespace

Expected<std::vector<SubfolderEntry>> ListSubfolders(const std::string& folder) {
    return ListEntries<SubfolderEntry>(folder, true);
}

Expected<std::vector<FileEntry>> ListFiles(const std::string& folder) {
    return ListEntries<FileEntry>(folder, false);
}

std::vector<std::string> FolderRoots() {
    // "A:\", NUL, "C:\", NUL, ..., NUL.
    const DWORD length = ::GetLogicalDriveStringsW(0, nullptr);
    if (length == 0)
        return {};
    std::wstring drives(length, L'\0');
    const DWORD written = ::GetLogicalDriveStringsW(length, drives.data());
    if (written == 0 || written >= length)
        return {};
    std::vector<std::string> roots;
    std::size_t start = 0;
    while (start < written) {
        const std::size_t end = drives.find(L'\0', start);
        if (end == start || end == std::wstring::npos)
            break;
        roots.push_back(win32::Utf8FromWide(std::wstring_view(drives).substr(start, end - start)));
        start = end + 1;
    }
    return roots;
}

std::string HomeFolder() {
    // The wide form: the narrow one is in the ANSI code page, which cannot
    // hold every user name.
    const wchar_t* const home = ::_wgetenv(L"USERPROFILE");
    return home != nullptr && *home != L'\0' ? win32::Utf8FromWide(home) : CurrentFolder();
}

std::string CurrentFolder() {
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0)
        return {};
    std::wstring folder(length, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(length, folder.data());
    if (written == 0 || written >= length)
        return {};
    folder.resize(written);
    return win32::Utf8FromWide(folder);
}

std::string AbsolutePath(const std::string& path) {
    if (IsAbsolute(path))
        return path;
    const auto wide = win32::WideFromUtf8(path);
    if (!wide || wide->empty())
        return path;
    const DWORD length = ::GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return path;
    std::wstring full(length, L'\0');
    const DWORD written = ::GetFullPathNameW(wide->c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length)
        return path;
    full.resize(written);
    return win32::Utf8FromWide(full);
}

std::string PathRoot(std::string_view absolutePath) {
    if (absolutePath.size() >= 3 && absolutePath[1] == ':' && IsSeparator(absolutePath[2]))
        return std::string(absolutePath.substr(0, 2)) + "\\";
    if (absolutePath.size() > 2 && IsSeparator(absolutePath[0]) && IsSeparator(absolutePath[1])) {
        // "\\server\share\": the server and the share are the root.
        std::string root = "\\\\";
        std::size_t at = 2;
        for (int part = 0; part < 2; ++part) {
            while (at < absolutePath.size() && IsSeparator(absolutePath[at]))
                ++at;
            const std::size_t start = at;
            while (at < absolutePath.size() && !IsSeparator(absolutePath[at]))
                ++at;
            if (at == start)
                return {};
            root.append(absolutePath.substr(start, at - start)).push_back('\\');
        }
        return root;
    }
    return {};
}

bool SameFolderSpelling(std::string_view a, std::string_view b) {
    return EqualsIgnoringCase(a, b);
}

}  // namespace bladeway
