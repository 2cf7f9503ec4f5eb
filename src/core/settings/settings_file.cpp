#include "core/settings/settings_file.h"

#include <cstdlib>

#include "core/settings/profile_file.h"

namespace bladeway {
namespace {

// The profile read goes through a buffer of this many characters, one of them
// for the closing NUL.
constexpr std::size_t kReadBufferSize = 80;
constexpr std::string_view kMissingMarker = "END.-";

}  // namespace

SettingsFile::SettingsFile(std::string path, FileSystem& fileSystem)
    : path_(std::move(path)), fileSystem_(&fileSystem) {}

std::string SettingsFile::ReadSetting(std::string_view section, std::string_view key) const {
    const auto file = fileSystem_->ReadWholeFile(path_, kSettingsReadLimit);
    if (!file)
        return {};
    std::string value =
        GetProfileString(file.value(), section, key).value_or(std::string(kMissingMarker));
    if (value.size() > kReadBufferSize - 1)
        value.resize(kReadBufferSize - 1);
    if (const auto nul = value.find('\0'); nul != std::string::npos)
        value.resize(nul);
    if (value == kMissingMarker)
        return {};
    return value;
}

Outcome SettingsFile::WriteSetting(std::string_view section, std::string_view key,
                                   std::string_view value) {
    std::string current;  // a missing file is written anew
    auto file = fileSystem_->ReadWholeFile(path_, kSettingsReadLimit);
    if (file)
        current = std::move(file.value());
    else if (!IsNoFile(file.errorKind()))
        return file.failure();
    auto updated = SetProfileString(current, section, key, value);
    if (!updated)
        return Failure{path_ + ": " + updated.error()};
    return fileSystem_->ReplaceFile(path_, updated.value());
}

std::int64_t SettingsFile::ReadPositionSetting(std::string_view section,
                                               std::string_view key) const {
    const auto file = fileSystem_->ReadWholeFile(path_, kSettingsReadLimit);
    if (!file)
        return 0;
    return std::llabs(GetProfileInt(file.value(), section, key, 0));
}

}  // namespace bladeway
