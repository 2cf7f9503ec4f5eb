#include "core/platform/dry_run_file_system.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace bladeway {
namespace {

// Why writing `path` on the disk would fail; nothing when it would not.
Outcome CheckWritable(const std::string& path, std::string_view what) {
    const std::filesystem::path target(path);
    std::error_code error;
    const auto fail = [&](const std::string& reason) {
        return Outcome{Failure{std::string(what) + " '" + path + "': " + reason}};
    };
    if (std::filesystem::is_directory(target, error)) {
        return fail("it is a folder");
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(folder, error)) {
        return fail(std::strerror(std::filesystem::exists(folder, error) ? ENOTDIR : ENOENT));
    }
    if (::access(folder.c_str(), W_OK | X_OK) != 0) {
        return fail(std::strerror(errno));
    }
    return {};
}

}  // namespace

bool DryRunFileSystem::Exists(const std::string& path) const {
    return files_.contains(path) || base_.Exists(path);
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
