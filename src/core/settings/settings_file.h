#pragma once
// The settings file beside the program and the operations through which every
// other part of the system reaches it. Nothing is cached: every read goes to
// the file and every write replaces it at once, atomically.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/storage/file_system.h"
#include "core/text/expected.h"

namespace bladeway {

inline constexpr std::string_view kSettingsFileName = "Bladeway.INI";
// Settings files larger than this are not settings files: they read as
// missing and are never rewritten.
inline constexpr std::size_t kSettingsReadLimit = std::size_t{4} << 20;

class SettingsFile {
  public:
    explicit SettingsFile(std::string path, FileSystem& fileSystem = Disk());

    const std::string& Path() const { return path_; }
    // The file system the settings are read through; the dialogs that edit
    // them ask it about folders too.
    const FileSystem& Files() const { return *fileSystem_; }

    // The key's value; empty text when the file or the key is missing, the
    // value is empty, or it is exactly "END.-". Values arrive cut to 79
    // characters and up to a first NUL.
    std::string ReadSetting(std::string_view section, std::string_view key) const;

    // Stores the value, creating the file when it is missing. The program
    // itself never looks at the outcome; the command-line tool reports it.
    Outcome WriteSetting(std::string_view section, std::string_view key, std::string_view value);

    // The leading whole number of the value as a non-negative number; 0 when
    // the file or key is missing or the value does not start with a number.
    std::int64_t ReadPositionSetting(std::string_view section, std::string_view key) const;

  private:
    std::string path_;
    FileSystem* fileSystem_;
};

}  // namespace bladeway
