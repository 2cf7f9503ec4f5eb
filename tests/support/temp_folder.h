#pragma once
// Test helpers shared by every test: a temporary folder that removes itself,
// whole-file reads and writes, and the source tree's bundled examples.
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace bladeway::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder's path with a trailing separator, as folder settings may hold it.
    std::string WithSeparator() const;
    // Full path of `name` inside the folder; names and paths are UTF-8.
    std::string File(std::string_view name) const;
    // Writes `bytes` to `name` inside the folder and returns its full path.
    std::string Write(std::string_view name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

// Paths from and to the program's UTF-8 names: on Windows a narrow
// std::filesystem name is in the ANSI code page, not UTF-8.
std::filesystem::path Utf8Path(std::string_view utf8);
std::string Utf8(const std::filesystem::path& path);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
// Every file below `folder`, by its path relative to it, with its bytes.
std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder);
// What tells two such sets apart, for a failure message: each path missing
// from `actual`, extra in it, or with other bytes ("missing SRG/P/3001").
std::string DifferingFiles(const std::map<std::string, std::string>& actual,
                           const std::map<std::string, std::string>& expected);

// The source tree, from the environment CTest gives the tests.
std::filesystem::path SourceDir();

// True when the process may ignore file permissions, so read-only tests
// cannot work.
bool RunningAsRoot();

}  // namespace bladeway::testing
