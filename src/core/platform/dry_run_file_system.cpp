#include "core/platform/dry_run_file_system.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include "core/platform/native_files.h"
#include "core/platform/win32_text.h"
#else
#include <unistd.h>
#endif

namespace bladeway {
namespace {

struct PathKind {
    bool exists = false;
    bool isFolder = false;
};

PathKind KindOf(const std::filesystem::path& path) {
#ifdef _WIN32
    const native::FileStatus status = native::StatusOf(win32::Utf8FromPath(path));
    return {status.exists, status.isFolder};
#else
    std::error_code error;
    return {std::filesystem::exists(path, error), std::filesystem::is_directory(path, error)};
#endif
}

// Why writing `path` on the disk would fail; nothing when it would not.
Outcome CheckWritable(const std::string& path, std::string_view what) {
    const auto fail = [&](const std::string& reason) {
        return Outcome{Failure{std::string(what) + " '" + path + "': " + reason}};
    };
#ifdef _WIN32
    // std::filesystem would read the name in the ANSI code page.
    if (!win32::WideFromUtf8(path)) {
        return fail("the name is not valid UTF-8");
    }
    const std::filesystem::path target = win32::PathFromUtf8(path);
#else
    const std::filesystem::path target(path);
#endif
    if (KindOf(target).isFolder) {
        return fail("it is a folder");
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (const PathKind kind = KindOf(folder); !kind.isFolder) {
        return fail(std::strerror(kind.exists ? ENOTDIR : ENOENT));
    }
#ifndef _WIN32
    // Windows grants writing through access lists that no cheap call tells;
    // there the real write reports a refusal.
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return fail(std::strerror(errno));
    }
#endif
    return {};
}

}  // namespace

bool DryRunFileSystem::Exists(const std::string& path) const {
    return files_.contains(path) || base_.Exists(path);
}

bool DryRunFileSystem::FolderExists(const std::string& path) const {
    return base_.FolderExists(path);
}

Expected<std::string> DryRunFileSystem::ReadWholeFile(const std::string& path,
                                                      std::size_t limit) const {
    const auto kept = files_.find(path);
    if (kept == files_.end()) {
        return base_.ReadWholeFile(path, limit);
    }
    if (kept->second.size() > limit) {
        return Failure{"refused '" + path + "': " + std::to_string(kept->second.size()) +
                       " bytes is more than the limit of " + std::to_string(limit) + " bytes"};
    }
    return kept->second;
}

Outcome DryRunFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    if (Outcome writable = CheckWritable(path, "cannot write"); !writable) {
        return writable;
    }
    Keep(path, bytes);
    return {};
}

Outcome DryRunFileSystem::CreateEmptyIfMissing(const std::string& path) {
    if (Exists(path)) {
        return {};
    }
    if (Outcome writable = CheckWritable(path, "cannot create"); !writable) {
        return writable;
    }
    Keep(path, {});
    return {};
}

void DryRunFileSystem::Keep(const std::string& path, std::string_view bytes) {
    if (files_.insert_or_assign(path, std::string(bytes)).second) {
        order_.push_back(path);
    }
}

}  // namespace bladeway
