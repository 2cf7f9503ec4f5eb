// The native file calls on Linux and other POSIX systems.
#include "core/os/native_files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "core/os/paths.h"
#include "core/os/unix/fresh_status.h"
#include "core/os/unix/system_calls.h"
#include "core/os/whole_file_read.h"

namespace bladeway::native {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Flushes one file's contents; 0 or the error.
int FlushContents(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        return errno;
    }
#if defined(__APPLE__)
    const int result = ::fsync(file.get());
#else
    const int result = ::fdatasync(file.get());
#endif
    return result == 0 ? 0 : errno;
}

// One flush per file, spread over a few threads: each flush mostly waits for
// the disk, and a disk given several at once can merge them.
Outcome FlushEach(std::span<const StagedFile* const> files) {
    constexpr std::size_t kFilesPerThread = 32;
    constexpr std::size_t kMostThreads = 4;
    const std::size_t threads =
        std::clamp<std::size_t>(files.size() / kFilesPerThread, 1, kMostThreads);
    std::atomic<std::size_t> next{0};
    std::vector<int> errors(files.size(), 0);
    const auto work = [&] {
        for (std::size_t at = next++; at < files.size(); at = next++) {
            errors[at] = FlushContents(files[at]->temporary);
        }
    };
    std::vector<std::jthread> helpers;
    for (std::size_t n = 1; n < threads; ++n) {
        helpers.emplace_back(work);
    }
    work();
    helpers.clear();
    for (std::size_t at = 0; at < files.size(); ++at) {
        if (errors[at] != 0) {
            return SystemFailure("cannot flush", files[at]->target, errors[at]);
        }
    }
    return {};
}

// One flush of the whole file system holding `folder`; false when the system
// has no such call or it failed, so that each file is flushed instead.
bool FlushFileSystem([[maybe_unused]] const std::string& folder) {
#if defined(__linux__)
    FileDescriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return handle.get() >= 0 && ::syncfs(handle.get()) == 0;
#else
    return false;
#endif
}

// The file-creation mask, read once from the kernel's account of the process:
// umask() can only be read by setting it for a moment, which would race with
// other threads creating files. The program never changes its mask. Unknown
// where the system does not show it.
std::optional<mode_t> CreationMask() {
    static const std::optional<mode_t> mask = []() -> std::optional<mode_t> {
        constexpr std::size_t kStatusLimit = std::size_t{64} << 10;
        const auto status = ReadWholeFile("/proc/self/status", kStatusLimit);
        constexpr std::string_view kField = "\nUmask:";
        const std::size_t field = status ? status.value().find(kField) : std::string::npos;
        if (field == std::string::npos) {
            return std::nullopt;
        }
        const char* first = status.value().data() + field + kField.size();
        const char* last = status.value().data() + status.value().size();
        while (first != last && (*first == ' ' || *first == '\t')) {
            ++first;
        }
        unsigned value = 0;
        const auto [end, error] = std::from_chars(first, last, value, 8);
        if (error != std::errc{} || end == first || value > 0777) {
            return std::nullopt;
        }
        return static_cast<mode_t>(value);
    }();
    return mask;
}

// A new file of that name with the given permissions (less the creation
// mask), open for writing; a random part makes the name unique, and
// O_EXCL makes sure no other file is taken over.
int CreateUniqueFile(std::string& path, std::size_t randomAt, mode_t mode) {
    constexpr std::string_view kLetters = kTemporaryLettersBothCases;
    thread_local std::mt19937_64 random{std::random_device{}()};
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::uint64_t bits = random();
        for (std::size_t at = randomAt; at < randomAt + kTemporaryRandomLength; ++at) {
            path[at] = kLetters[bits % kLetters.size()];
            bits /= kLetters.size();
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;  // errno is EEXIST
}

}  // namespace

FileStatus StatusOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return {};
    }
    return FileStatus{true, S_ISDIR(info.st_mode), S_ISREG(info.st_mode),
                      static_cast<std::uint64_t>(info.st_size)};
}

Expected<std::string> ReadWholeFile(const std::string& path, std::size_t limit) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return SystemFailure("cannot open", path, errno);
    }
    // Its size as the file system has it now: a share's client may remember
    // an older one, and the read would stop there.
    FreshStatus info;
    if (!StatusNow(file.get(), info)) {
        return SystemFailure("cannot read", path, errno);
    }
    if (S_ISDIR(info.mode)) {
        return IsFolderFailure("cannot read", path);
    }
    if (!S_ISREG(info.mode)) {
        return Failure{"cannot read " + Quoted(path) + ": it is not a regular file"};
    }
    const auto readSome = [&file](char* buffer, std::size_t count) -> std::optional<std::size_t> {
        while (true) {
            const ssize_t got = ::read(file.get(), buffer, count);
            if (got >= 0) {
                return static_cast<std::size_t>(got);
            }
            if (errno != EINTR) {
                return std::nullopt;
            }
        }
    };
    return ReadToEnd(path, info.size, limit, readSome,
                     [&path] { return SystemFailure("cannot read", path, errno); });
}

Outcome CreateEmptyIfMissing(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno != EEXIST) {
            return SystemFailure("cannot create", path, errno);
        }
        // Something is there already; only a file will do.
        if (StatusOf(path).isFolder) {
            return IsFolderFailure("cannot create", path);
        }
        return {};
    }
    ::close(fd);
    return {};
}

Expected<StagedFile> Stage(const std::string& target, std::string_view bytes) {
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        return IsFolderFailure("cannot write", target);
    }
    // Beside the target, so that moving it into place is one atomic rename:
    // "folder/.NAME.XXXXXX.bwtmp".
    constexpr std::size_t kMaxNameInTemporary = 180;
    const std::size_t nameAt = FolderOfPath(target).size();  // 0 without a folder
    const std::string_view name =
        std::string_view(target).substr(nameAt).substr(0, kMaxNameInTemporary);
    std::string temporary;
    temporary.reserve(nameAt + name.size() + 2 + kTemporaryRandomLength + kTemporarySuffix.size());
    temporary.append(target, 0, nameAt).append(1, '.').append(name).append(1, '.');
    const std::size_t randomAt = temporary.size();
    temporary.append(kTemporaryRandomLength, 'X').append(kTemporarySuffix);

    // A new program gets what any new file gets; a replaced one keeps the
    // permissions of the file it replaces.
    const mode_t mode = exists ? (existing.st_mode & 07777) : 0666;
    FileDescriptor file(CreateUniqueFile(temporary, randomAt, mode));
    if (file.get() < 0) {
        return SystemFailure("cannot write", target, errno);
    }
    const std::optional<mode_t> mask = CreationMask();
    const bool modeAsCreated = !exists || (mask && (mode & 07000) == 0 && (mode & *mask) == 0);
    const bool written =
        WriteAll(file.get(), bytes) && (modeAsCreated || ::fchmod(file.get(), mode) == 0);
    const int writeError = errno;
    if (file.Close() != 0 || !written) {
        const int error = written ? errno : writeError;
        ::unlink(temporary.c_str());
        return SystemFailure("cannot write", target, error);
    }
    return StagedFile{target, std::move(temporary),
                      exists ? std::optional<std::uint64_t>(existing.st_size) : std::nullopt};
}

Outcome FlushStaged(std::span<const StagedFile> files) {
    // The staged files by the file system that holds them, asked once per
    // folder: a batch mostly goes to a few.
    std::map<dev_t, std::vector<const StagedFile*>> byDevice;
    std::map<std::string, dev_t> deviceOfFolder;
    for (const StagedFile& file : files) {
        const std::string folder = FolderOf(file.temporary);
        auto known = deviceOfFolder.find(folder);
        if (known == deviceOfFolder.end()) {
            struct stat info {};
            if (::stat(folder.c_str(), &info) != 0) {
                return SystemFailure("cannot flush", file.target, errno);
            }
            known = deviceOfFolder.emplace(folder, info.st_dev).first;
        }
        byDevice[known->second].push_back(&file);
    }
    for (const auto& [device, staged] : byDevice) {
        if (!FlushFileSystem(FolderOf(staged.front()->temporary))) {
            if (Outcome flushed = FlushEach(staged); !flushed) {
                return flushed;
            }
        }
    }
    return {};
}

Outcome MoveIntoPlace(const StagedFile& file) {
    if (::rename(file.temporary.c_str(), file.target.c_str()) != 0) {
        return SystemFailure("cannot replace", file.target, errno);
    }
    return {};
}

Outcome FlushFolder(const std::string& folder) {
    FileDescriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.get() < 0) {
        return SystemFailure("cannot flush the folder", folder, errno);
    }
    if (::fsync(handle.get()) != 0 && errno != EINVAL) {
        // EINVAL: a file system that keeps no folder entries to flush.
        return SystemFailure("cannot flush the folder", folder, errno);
    }
    return {};
}

Outcome HardLink(const std::string& existing, const std::string& link) {
    if (::link(existing.c_str(), link.c_str()) != 0) {
        return SystemFailure("cannot link", link, errno);
    }
    return {};
}

Outcome RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0) {
        return SystemFailure("cannot remove", path, errno);
    }
    return {};
}

Expected<bool> CreateFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) {
        return true;
    }
    if (errno == EEXIST) {
        if (StatusOf(path).isFolder) {
            return false;
        }
        return SystemFailure("cannot create the folder", path, ENOTDIR);
    }
    if (errno != ENOENT) {
        return SystemFailure("cannot create the folder", path, errno);
    }
    const std::string above = FolderOf(path);
    if (above == path || above == ".") {
        return SystemFailure("cannot create the folder", path, ENOENT);
    }
    if (auto made = CreateFolder(above); !made) {
        return made.failure();
    }
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) {
        return SystemFailure("cannot create the folder", path, errno);
    }
    return true;
}

// The entries' types come with their names, so that a folder of many files
// costs one call a file. An entry another program removed meanwhile counts as
// removed: two runs may trim the same old journal at once.
Outcome RemoveFolderTree(const std::string& path) {
    DIR* entries = ::opendir(path.c_str());
    if (entries == nullptr) {
        return errno == ENOENT ? Outcome{} : SystemFailure("cannot remove", path, errno);
    }
    const int folderFd = ::dirfd(entries);
    Outcome outcome;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = static_cast<const char*>(entry->d_name);
        if (name == "." || name == "..") {
            continue;
        }
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_UNKNOWN) {
            struct stat info {};
            isFolder = ::fstatat(folderFd, name.data(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                       S_ISDIR(info.st_mode);
        }
        const Outcome removed =
            isFolder ? RemoveFolderTree(path + "/" + std::string(name))
                     : (::unlinkat(folderFd, name.data(), 0) == 0 || errno == ENOENT
                            ? Outcome{}
                            : Outcome{SystemFailure("cannot remove", path + "/" + std::string(name),
                                                    errno)});
        if (!removed && outcome) {
            outcome = removed;
        }
    }
    ::closedir(entries);
    if (::rmdir(path.c_str()) != 0 && errno != ENOENT && outcome) {
        return SystemFailure("cannot remove", path, errno);
    }
    return outcome;
}

void Discard(const StagedFile& file) {
    ::unlink(file.temporary.c_str());
}

std::size_t RemoveLeftOverTemporaries(const std::string& folder, std::chrono::seconds minimumAge) {
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0) {
        return 0;
    }
    DIR* entries = ::fdopendir(folderFd);
    if (entries == nullptr) {
        ::close(folderFd);
        return 0;
    }
    const std::time_t cutOff = std::time(nullptr) - static_cast<std::time_t>(minimumAge.count());
    std::size_t removed = 0;
    while (const dirent* entry = ::readdir(entries)) {
        const char* const name = static_cast<const char*>(entry->d_name);
        if (!IsTemporaryName(name)) {
            continue;
        }
        struct stat info {};
        if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_mtime < cutOff && ::unlinkat(folderFd, name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(entries);  // closes folderFd too
    return removed;
}

}  // namespace bladeway::native
