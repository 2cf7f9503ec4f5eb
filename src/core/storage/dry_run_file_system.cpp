#include "core/storage/dry_run_file_system.h"

#include "core/os/file_failures.h"
#include "core/os/native_files.h"

namespace bladeway {

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
        return native::TooLargeFailure(path, kept->second.size(), limit);
    }
    return kept->second;
}

Outcome DryRunFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    if (Outcome writable = native::CheckWritable(path, "cannot write", &writableFolders_);
        !writable) {
        return writable;
    }
    Keep(path, bytes);
    return {};
}

Outcome DryRunFileSystem::CreateEmptyIfMissing(const std::string& path) {
    if (Exists(path)) {
        return {};
    }
    if (Outcome writable = native::CheckWritable(path, "cannot create", &writableFolders_);
        !writable) {
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
