#include "support/temp_folder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <random>
#else
#include <unistd.h>
#endif

#include "core/journal/journal_trimming.h"

namespace bladeway::testing {

TempFolder::TempFolder() {
#ifdef _WIN32
    // No mkdtemp: a random name, taken only if create_directory made it.
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        auto candidate = std::filesystem::temp_directory_path() /
                         ("bladeway-test-" + std::to_string(random() % 1000000000U));
        if (std::filesystem::create_directory(candidate))
            path_ = std::move(candidate);
    }
    if (path_.empty())
        throw std::runtime_error("no temporary folder");
#else
    std::string pattern =
        (std::filesystem::temp_directory_path() / "bladeway-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
#endif
}

TempFolder::~TempFolder() {
    // A run's removal of old journals may still go on inside the folder.
    WaitForJournalTrims();
    std::error_code ignored;
    // Tests may leave read-only folders behind; open them up before removing.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::WithSeparator() const {
    return path_.string() + static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string TempFolder::File(std::string_view name) const {
    return Utf8(path_ / Utf8Path(name));
}

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
    WriteBytes(path_ / Utf8Path(name), bytes);
    return File(name);
}

std::filesystem::path Utf8Path(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return std::move(bytes).str();
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::map<std::string, std::string> FilesBelow(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), folder).string()] =
                ReadBytes(entry.path());
    return files;
}

std::string DifferingFiles(const std::map<std::string, std::string>& actual,
                           const std::map<std::string, std::string>& expected) {
    std::string differences;
    for (const auto& [path, bytes] : expected) {
        const auto found = actual.find(path);
        if (found == actual.end())
            differences += "missing " + path + "\n";
        else if (found->second != bytes)
            differences += "other bytes " + path + "\n";
    }
    for (const auto& [path, bytes] : actual) {
        if (!expected.contains(path))
            differences += "extra " + path + "\n";
    }
    return differences;
}

std::filesystem::path SourceDir() {
    const char* dir = std::getenv("BLADEWAY_SOURCE_DIR");
    return dir != nullptr ? std::filesystem::path(dir) : std::filesystem::current_path();
}

bool RunningAsRoot() {
#ifdef _WIN32
    return false;  // Windows has no such user; its read-only tests are its own
#else
    return ::geteuid() == 0;
#endif
}

}  // namespace bladeway::testing
