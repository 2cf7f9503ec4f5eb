// The native file calls on Windows: wide-character Win32 calls on the UTF-16
// form of each name, errors in the system's own words.

#include "core/os/native_files.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/os/paths.h"
#include "core/os/whole_file_read.h"
#include "core/os/windows/system_calls.h"
#include "core/os/windows/win32_api.h"
#include "core/os/windows/win32_text.h"

namespace bladeway::native {
namespace {

// Virus scanners, indexers and the machine's control software open files for
// a moment without sharing them; such a refusal passes if tried again soon.
bool IsPassingRefusal(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A move over a file that is open without delete sharing is refused as
// "access denied", not as a sharing violation; that passes like one once
// the file is let go. (Staging refused what no retry would pass: a
// read-only target, a folder that may not be written.)
bool IsPassingMoveRefusal(DWORD error) {
    return IsPassingRefusal(error) || error == ERROR_ACCESS_DENIED;
}

constexpr int kAttempts = 20;
constexpr DWORD kPauseMilliseconds = 50;  // about a second in all

// Runs `call` (true on success) until it succeeds, fails for a lasting
// reason (one `passing` does not know), or the attempts are spent; the last
// error on failure.
template <typename Call>
std::optional<DWORD> WithRetries(Call call, bool (*passing)(DWORD) = IsPassingRefusal) {
    for (int attempt = 1;; ++attempt) {
        if (call()) {
            return std::nullopt;
        }
        const DWORD error = ::GetLastError();
        if (!passing(error) || attempt == kAttempts) {
            return error;
        }
        ::Sleep(kPauseMilliseconds);
    }
}

HANDLE OpenWithRetries(const std::wstring& path, DWORD access, DWORD disposition, DWORD flags) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    const auto error = WithRetries([&] {
        handle = ::CreateFileW(path.c_str(), access,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               disposition, flags, nullptr);
        return handle != INVALID_HANDLE_VALUE;
    });
    if (error) {
        ::SetLastError(*error);
    }
    return handle;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    while (!bytes.empty()) {
        const auto size = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD written = 0;
        if (::WriteFile(file, bytes.data(), size, &written, nullptr) == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// Reads up to `size` bytes; false on a read error.
bool ReadSome(HANDLE file, char* data, std::size_t size, std::size_t& got) {
    constexpr std::size_t kChunk = std::size_t{1} << 30;
    DWORD read = 0;
    const bool ok =
        ::ReadFile(file, data, static_cast<DWORD>(std::min(size, kChunk)), &read, nullptr) != 0;
    got = read;
    return ok;
}

// The random part of a temporary name: only its uniqueness matters, which
// CREATE_NEW checks. One case, as names ignore case here.
std::string RandomLetters() {
    static std::mutex mutex;
    static std::mt19937_64 generator{std::random_device{}() ^ ::GetCurrentProcessId()};
    constexpr std::string_view kLetters = kTemporaryLettersOneCase;
    const std::lock_guard lock(mutex);
    std::string letters(kTemporaryRandomLength, 'a');
    for (char& letter : letters) {
        letter = kLetters[generator() % kLetters.size()];
    }
    return letters;
}

// What a replacement keeps of the old file's attributes.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// NtFlushBuffersFileEx (Windows 8 on): with FLUSH_FLAGS_FILE_DATA_ONLY it
// writes a file's data out to the device without the flush of the device's
// own cache that FlushFileBuffers adds. A batch of files so written is
// durable after one such flush for the whole volume, as git's batch mode
// makes its objects durable (compat/win32/flush.c).
struct IoStatus {
    void* statusOrPointer;
    ULONG_PTR information;
};
using FlushBuffersFileExCall = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, IoStatus*);
constexpr ULONG kFlushFileDataOnly = 1;

FlushBuffersFileExCall FlushBuffersFileEx() {
    static const FlushBuffersFileExCall call = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        const FARPROC address =
            ntdll != nullptr ? ::GetProcAddress(ntdll, "NtFlushBuffersFileEx") : nullptr;
        FlushBuffersFileExCall found = nullptr;
        static_assert(sizeof(found) == sizeof(address));
        std::memcpy(&found, &address, sizeof(address));
        return found;
    }();
    return call;
}

// Makes the data of a file just written reach the device before its handle
// closes, so that it need not be opened again to be flushed: the data alone
// where the system offers that (FlushStaged then flushes each volume's
// cache once), else the whole file (where the call is missing, as before
// Windows 8 and under Wine, or refused, as by some network file systems).
bool WriteOutData(HANDLE file) {
    if (const FlushBuffersFileExCall flush = FlushBuffersFileEx(); flush != nullptr) {
        IoStatus status{};
        if (flush(file, kFlushFileDataOnly, nullptr, 0, &status) >= 0)  // NT_SUCCESS
            return true;
    }
    return ::FlushFileBuffers(file) != 0;
}

// The volume a path lies on ("C:\", "\\server\share\"); the path itself
// when the system cannot tell.
std::wstring VolumeOf(const std::wstring& path) {
    std::wstring volume(MAX_PATH + 1, L'\0');
    if (::GetVolumePathNameW(path.c_str(), volume.data(), static_cast<DWORD>(volume.size())) == 0)
        return path;
    volume.resize(std::wcslen(volume.c_str()));
    return volume;
}

// An entry another program removed meanwhile counts as removed: two runs may
// trim the same old journal at once.
bool IsGone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Removes a file, read-only or not, unless another program removed it first.
Outcome RemoveTreeFile(const std::wstring& wide, const std::string& path, DWORD attributes) {
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetFileAttributesW(wide.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    }
    const auto error = WithRetries([&] { return ::DeleteFileW(wide.c_str()) != 0; });
    if (error && !IsGone(*error)) {
        return SystemFailure("cannot remove", path, *error);
    }
    return {};
}

// Removes what the folder holds, then the folder. A link to a folder is
// removed as a link: what it points to is not this tree's.
Outcome RemoveTree(const std::wstring& wide, const std::string& path) {
    Outcome outcome;
    const auto keepFirst = [&outcome](Outcome removed) {
        if (!removed && outcome) {
            outcome = std::move(removed);
        }
    };
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileExW((wide + L"\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        if (const DWORD error = ::GetLastError(); !IsGone(error)) {
            keepFirst(SystemFailure("cannot remove", path, error));
        }
    } else {
        const std::unique_ptr<void, decltype(&::FindClose)> closer(search, &::FindClose);
        do {
            const std::wstring_view name = static_cast<const wchar_t*>(found.cFileName);
            if (name == L"." || name == L"..") {
                continue;
            }
            const std::wstring entry = wide + L"\\" + std::wstring(name);
            const std::string entryPath = path + "\\" + win32::Utf8FromWide(name);
            const DWORD attributes = found.dwFileAttributes;
            if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                keepFirst(RemoveTreeFile(entry, entryPath, attributes));
            } else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                if (::RemoveDirectoryW(entry.c_str()) == 0) {
                    if (const DWORD error = ::GetLastError(); !IsGone(error)) {
                        keepFirst(SystemFailure("cannot remove", entryPath, error));
                    }
                }
            } else {
                keepFirst(RemoveTree(entry, entryPath));
            }
        } while (::FindNextFileW(search, &found) != 0);
    }
    const auto error = WithRetries([&] { return ::RemoveDirectoryW(wide.c_str()) != 0; });
    if (error && !IsGone(*error)) {
        keepFirst(SystemFailure("cannot remove", path, *error));
    }
    return outcome;
}

}  // namespace

FileStatus StatusOf(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !wide ||
        ::GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data) == 0) {
        return {};
    }
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const bool device = (data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0;
    return FileStatus{
        .exists = true,
        .isFolder = folder,
        .isRegularFile = !folder && !device,
        .size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow,
    };
}

Expected<std::string> ReadWholeFile(const std::string& path, std::size_t limit) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide) {
        return NotUtf8("cannot open", path);
    }
    // CreateFileW refuses folders with "access denied"; say what it is.
    if (const FileStatus status = StatusOf(path); status.isFolder) {
        return IsFolderFailure("cannot read", path);
    }
    const Handle file(OpenWithRetries(*wide, GENERIC_READ, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN));
    if (!file.valid()) {
        return SystemFailure("cannot open", path, ::GetLastError());
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
        return Failure{"cannot read " + Quoted(path) + ": it is not a regular file"};
    }
    LARGE_INTEGER fileSize{};
    if (::GetFileSizeEx(file.get(), &fileSize) == 0) {
        return SystemFailure("cannot read", path, ::GetLastError());
    }
    const auto readSome = [&file](char* buffer, std::size_t count) -> std::optional<std::size_t> {
        std::size_t got = 0;
        if (!ReadSome(file.get(), buffer, count, got)) {
            return std::nullopt;
        }
        return got;
    };
    return ReadToEnd(path, static_cast<std::uint64_t>(fileSize.QuadPart), limit, readSome,
                     [&path] { return SystemFailure("cannot read", path, ::GetLastError()); });
}

Outcome CreateEmptyIfMissing(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide) {
        return NotUtf8("cannot create", path);
    }
    const Handle file(OpenWithRetries(*wide, GENERIC_WRITE, CREATE_NEW, FILE_ATTRIBUTE_NORMAL));
    if (file.valid()) {
        return {};
    }
    const DWORD error = ::GetLastError();
    // Something is there already; only a file will do.
    const FileStatus status = StatusOf(path);
    if (status.isFolder) {
        return IsFolderFailure("cannot create", path);
    }
    if (status.exists) {
        return {};
    }
    return SystemFailure("cannot create", path, error);
}

Expected<StagedFile> Stage(const std::string& target, std::string_view bytes) {
    const auto wideTarget = win32::WideFromUtf8(target);
    if (!wideTarget) {
        return NotUtf8("cannot write", target);
    }
    WIN32_FILE_ATTRIBUTE_DATA existing{};
    const DWORD attributes =
        ::GetFileAttributesExW(wideTarget->c_str(), GetFileExInfoStandard, &existing) != 0
            ? existing.dwFileAttributes
            : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return IsFolderFailure("cannot write", target);
        }
        // Windows refuses to replace it; say so before anything is written.
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return Failure{"cannot write " + Quoted(target) + ": the file is read-only",
                           FailureKind::kDenied};
        }
    }

    // The temporary file lives beside the target so that the move is atomic.
    constexpr std::size_t kMaxNameInTemporary = 180;
    const std::string folder = FolderOfPath(target);
    const std::string name = target.substr(folder.size());
    // Cut on a character's first byte, so that the name stays UTF-8.
    std::size_t kept = std::min(name.size(), kMaxNameInTemporary);
    while (kept < name.size() && kept > 0 &&
           (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80) {
        --kept;
    }
    const std::string prefix = folder + "." + name.substr(0, kept) + ".";
    constexpr int kNameAttempts = 100;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        StagedFile staged{target, prefix + RandomLetters() + std::string(kTemporarySuffix)};
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            staged.replacedSize =
                static_cast<std::uint64_t>(existing.nFileSizeHigh) << 32 | existing.nFileSizeLow;
        }
        const auto wide = win32::WideFromUtf8(staged.temporary);
        Handle file(::CreateFileW(wide->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) {
                continue;
            }
            // A scanner that opened the new file at once without sharing it,
            // or Wine taking it for another file of the same number (a FUSE
            // share that passes on its host's inode numbers, reused at once):
            // the name is given up, with what the refused creation left.
            if (IsPassingRefusal(error) && attempt + 1 < kNameAttempts) {
                Discard(staged);
                continue;
            }
            return SystemFailure("cannot write", target, error);
        }
        const bool written = WriteAll(file.get(), bytes) && WriteOutData(file.get());
        const DWORD writeError = ::GetLastError();
        const bool closed = file.Close();
        // The old file's attributes, which the move over it does not bring.
        const bool marked = attributes == INVALID_FILE_ATTRIBUTES ||
                            (attributes & kKeptAttributes) == 0 ||
                            ::SetFileAttributesW(wide->c_str(), attributes & kKeptAttributes) != 0;
        if (!written || !closed || !marked) {
            const DWORD error = written ? ::GetLastError() : writeError;
            Discard(staged);
            return SystemFailure("cannot write", target, error);
        }
        return staged;
    }
    return Failure{"cannot write " + Quoted(target) + ": no free temporary name beside it"};
}

// Each staged file's data reached the device as it was written (Stage);
// what is left is the device's cache, which one flush of any file on the
// volume empties (there is no flush of a whole volume for ordinary users).
// Where the data went out whole, file by file, nothing is left.
Outcome FlushStaged(std::span<const StagedFile> files) {
    if (FlushBuffersFileEx() == nullptr) {
        return {};
    }
    std::vector<std::wstring> flushedVolumes;
    for (const StagedFile& staged : files) {
        const auto wide = win32::WideFromUtf8(staged.temporary);
        if (!wide) {
            return NotUtf8("cannot write", staged.target);
        }
        std::wstring volume = VolumeOf(*wide);
        if (std::find(flushedVolumes.begin(), flushedVolumes.end(), volume) !=
            flushedVolumes.end()) {
            continue;
        }
        const Handle file(
            OpenWithRetries(*wide, GENERIC_WRITE, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
        if (!file.valid() || ::FlushFileBuffers(file.get()) == 0) {
            return SystemFailure("cannot write", staged.target, ::GetLastError());
        }
        flushedVolumes.push_back(std::move(volume));
    }
    return {};
}

// A plain move over the target, as git and SQLite replace their files: the
// new file has the folder's inherited permissions, as the old one had unless
// someone set its own (which, like its creation time, ReplaceFileW would
// keep at the cost of several more calls per file: more than half of a run's
// time under Wine).
Outcome MoveIntoPlace(const StagedFile& file) {
    const auto target = win32::WideFromUtf8(file.target);
    const auto temporary = win32::WideFromUtf8(file.temporary);
    if (!target || !temporary) {
        return NotUtf8("cannot replace", file.target);
    }
    const std::optional<DWORD> error = WithRetries(
        [&] {
            return ::MoveFileExW(temporary->c_str(), target->c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        },
        IsPassingMoveRefusal);
    if (error) {
        return SystemFailure("cannot replace", file.target, *error);
    }
    return {};
}

// NTFS journals its folder entries, and the moves were written through; the
// flush of the folder itself is taken where the file system offers it.
Outcome FlushFolder(const std::string& folder) {
    const auto wide = win32::WideFromUtf8(folder.empty() ? std::string(".") : folder);
    if (!wide) {
        return NotUtf8("cannot flush folder", folder);
    }
    const Handle handle(::CreateFileW(wide->c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle.valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED) {
            return {};  // only administrators may open folders for writing
        }
        return SystemFailure("cannot flush folder", folder, error);
    }
    if (::FlushFileBuffers(handle.get()) == 0) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_FUNCTION ||
            error == ERROR_INVALID_HANDLE || error == ERROR_NOT_SUPPORTED) {
            return {};
        }
        return SystemFailure("cannot flush folder", folder, error);
    }
    return {};
}

Outcome HardLink(const std::string& existing, const std::string& link) {
    const auto wideExisting = win32::WideFromUtf8(existing);
    const auto wideLink = win32::WideFromUtf8(link);
    if (!wideExisting || !wideLink) {
        return NotUtf8("cannot link", link);
    }
    if (::CreateHardLinkW(wideLink->c_str(), wideExisting->c_str(), nullptr) == 0) {
        return SystemFailure("cannot link", link, ::GetLastError());
    }
    return {};
}

Outcome RemoveFile(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide) {
        return NotUtf8("cannot remove", path);
    }
    if (const auto error = WithRetries([&] { return ::DeleteFileW(wide->c_str()) != 0; })) {
        return SystemFailure("cannot remove", path, *error);
    }
    return {};
}

Expected<bool> CreateFolder(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide) {
        return NotUtf8("cannot create the folder", path);
    }
    if (::CreateDirectoryW(wide->c_str(), nullptr) != 0) {
        return true;
    }
    DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        if (StatusOf(path).isFolder) {
            return false;
        }
        return SystemFailure("cannot create the folder", path, ERROR_DIRECTORY);
    }
    if (error != ERROR_PATH_NOT_FOUND) {
        return SystemFailure("cannot create the folder", path, error);
    }
    const std::string above = FolderOf(path);
    if (above == path || above == ".") {
        return SystemFailure("cannot create the folder", path, error);
    }
    if (auto made = CreateFolder(above); !made) {
        return made.failure();
    }
    if (::CreateDirectoryW(wide->c_str(), nullptr) == 0 &&
        (error = ::GetLastError()) != ERROR_ALREADY_EXISTS) {
        return SystemFailure("cannot create the folder", path, error);
    }
    return true;
}

Outcome RemoveFolderTree(const std::string& path) {
    const auto wide = win32::WideFromUtf8(path);
    if (!wide) {
        return NotUtf8("cannot remove", path);
    }
    return RemoveTree(*wide, path);
}

void Discard(const StagedFile& file) {
    if (const auto wide = win32::WideFromUtf8(file.temporary)) {
        static_cast<void>(WithRetries([&] { return ::DeleteFileW(wide->c_str()) != 0; }));
    }
}

std::size_t RemoveLeftOverTemporaries(const std::string& folder, std::chrono::seconds minimumAge) {
    const auto wideFolder = win32::WideFromUtf8(folder);
    if (!wideFolder) {
        return 0;
    }
    std::wstring prefix = *wideFolder;
    if (!prefix.empty() && prefix.back() != L'\\' && prefix.back() != L'/') {
        prefix.push_back(L'\\');
    }
    WIN32_FIND_DATAW entry{};
    HANDLE search = ::FindFirstFileExW((prefix + L"*").c_str(), FindExInfoBasic, &entry,
                                       FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    // File times count 100 ns steps.
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    const std::uint64_t age = static_cast<std::uint64_t>(minimumAge.count()) * 10'000'000U;
    const std::uint64_t cutOff = ticks(now) > age ? ticks(now) - age : 0;
    std::size_t removed = 0;
    do {
        const std::wstring_view name = static_cast<const wchar_t*>(entry.cFileName);
        const bool isFile = (entry.dwFileAttributes &
                             (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
        if (isFile && ticks(entry.ftLastWriteTime) < cutOff &&
            IsTemporaryName(win32::Utf8FromWide(name)) &&
            ::DeleteFileW((prefix + std::wstring(name)).c_str()) != 0) {
            ++removed;
        }
    } while (::FindNextFileW(search, &entry) != 0);
    ::FindClose(search);
    return removed;
}

}  // namespace bladeway::native
