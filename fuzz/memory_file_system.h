#pragma once
// A file system held in memory for the fuzz targets: a map from path to
// bytes, so that a run touches no disk and every write can be inspected.
#include <array>
#include <map>
#include <string>
#include <string_view>

#include "core/storage/file_system.h"

namespace bladeway::fuzzing {

class MemoryFileSystem final : public FileSystem {
  public:
    std::map<std::string, std::string> files;
    int writes = 0;

    bool Exists(const std::string& path) const override { return files.contains(path); }
    // A folder is there while a file lies below it.
    bool FolderExists(const std::string& path) const override {
        const std::string below = path + '/';
        const auto next = files.lower_bound(below);
        return next != files.end() && next->first.starts_with(below);
    }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        const auto found = files.find(path);
        if (found == files.end())
            return Failure{"cannot open '" + path + "': No such file or directory",
                           FailureKind::kNotFound};
        if (found->second.size() > limit)
            return Failure{"refused '" + path + "': larger than the limit", FailureKind::kTooLarge};
        return found->second;
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        ++writes;
        files[path] = std::string(bytes);
        return {};
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        files.try_emplace(path);
        return {};
    }
    StagingSteps* Staging() override { return nullptr; }  // each write is in place at once
    // No other program writes it.
    Expected<WriterLock> LockForWriting(const std::string& /*path*/,
                                        const LockWait& /*wait*/) override {
        return WriterLock{};
    }
};

// Splits fuzz input into NUL-separated fields; the last one takes the rest
// of the input, NULs included, and missing fields are empty.
template <std::size_t Count>
std::array<std::string_view, Count> SplitFields(std::string_view input) {
    std::array<std::string_view, Count> fields{};
    for (std::size_t i = 0; i + 1 < Count; ++i) {
        const std::size_t nul = input.find('\0');
        fields[i] = input.substr(0, nul);
        input = nul == std::string_view::npos ? std::string_view{} : input.substr(nul + 1);
    }
    fields[Count - 1] = input;
    return fields;
}

}  // namespace bladeway::fuzzing
