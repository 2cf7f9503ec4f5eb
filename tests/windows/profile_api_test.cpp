// The settings store against the Windows profile functions themselves:
// random settings files are read through GetPrivateProfileStringA and
// through the store's rules, and written through WritePrivateProfileStringA
// and through the store. Windows rewrites a file in its own form when it
// writes, so writes are compared by what Windows then reads from both files:
// the sections, each section's keys in their order, and every value.
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>
#include <windows.h>
// windows.h names its own GetProfileString (the win.ini one) by a macro.
#undef GetProfileString

#include <gtest/gtest.h>

#include "core/settings/profile_file.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

// The names and values a shop's file holds, and the odd forms the rules must settle.
const std::vector<std::string> kSections = {"Paths", "paths", "Positions", "Preferences"};
const std::vector<std::string> kKeys = {"Source", "source", "Template", "MainTop", "Odd"};
const std::vector<std::string> kValues = {"C:\\keys", " spaced ", "\"quoted\"", "'q'",
                                          "",         "a=b",      "12",         "\"half"};

class RandomIni {
  public:
    explicit RandomIni(std::uint32_t seed) : random_(seed) {}

    std::string File() {
        std::string file;
        const std::size_t lines = Pick(18) + 1;
        for (std::size_t i = 0; i < lines; ++i)
            file += Line() + (Pick(6) == 0 ? "\n" : "\r\n");
        return file;
    }
    const std::string& Section() { return kSections[Pick(kSections.size())]; }
    const std::string& Key() { return kKeys[Pick(kKeys.size())]; }
    const std::string& Value() { return kValues[Pick(kValues.size())]; }

  private:
    std::size_t Pick(std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random_);
    }
    std::string Line() {
        switch (Pick(9)) {
            case 0:
                return "[" + Section() + "]";
            case 1:
                return "  [" + Section() + "] after";  // blanks before, text after "]"
            case 2:
                return "; " + Key() + "=comment";
            case 3:
                return "";
            case 4:
                return Key();  // no "=": a key with an empty value
            default:
                return (Pick(3) == 0 ? " " + Key() + " " : Key()) + "=" + Value();
        }
    }
    std::mt19937 random_;
};

constexpr char kMissing[] = "\x7f(missing)";

std::optional<std::string> WindowsRead(const std::string& path, const std::string& section,
                                       const std::string& key) {
    char value[4096];
    GetPrivateProfileStringA(section.c_str(), key.c_str(), kMissing, value, sizeof value,
                             path.c_str());
    return std::string(value) == kMissing ? std::nullopt : std::optional<std::string>(value);
}

// A double-NUL-terminated list as Windows returns it, one entry each.
std::vector<std::string> Entries(const char* list) {
    std::vector<std::string> entries;
    for (const char* at = list; *at != '\0'; at += entries.back().size() + 1)
        entries.emplace_back(at);
    return entries;
}

// What Windows reads from a file: its sections, each with its keys in their
// order and their values.
std::vector<std::string> WindowsView(const std::string& path) {
    static char buffer[65536];
    std::vector<std::string> view;
    buffer[0] = buffer[1] = '\0';
    GetPrivateProfileSectionNamesA(buffer, sizeof buffer, path.c_str());
    for (const std::string& section : Entries(buffer)) {
        view.push_back("[" + section + "]");
        static char keys[65536];
        keys[0] = keys[1] = '\0';
        GetPrivateProfileStringA(section.c_str(), nullptr, "", keys, sizeof keys, path.c_str());
        for (const std::string& key : Entries(keys))
            view.push_back(key + "=" + WindowsRead(path, section, key).value_or(kMissing));
    }
    return view;
}

class ProfileApiTest : public ::testing::Test {
  protected:
    // A new name each time: Windows keeps recently read files in memory.
    std::string NewPath() { return folder_.File("s" + std::to_string(++files_) + ".ini"); }

    testing::TempFolder folder_;
    int files_ = 0;
};

TEST_F(ProfileApiTest, ReadsAndWritesAgreeWithWindowsOnRandomFiles) {
    for (std::uint32_t seed = 1; seed <= 400; ++seed) {
        RandomIni random(seed);
        std::string ours = random.File();
        const std::string theirs = NewPath();
        testing::WriteBytes(theirs, ours);
        for (const std::string& section : kSections) {
            for (const std::string& key : kKeys) {
                ASSERT_EQ(GetProfileString(ours, section, key), WindowsRead(theirs, section, key))
                    << "seed " << seed << ", [" << section << "] " << key << " in:\n"
                    << ours;
            }
        }
        for (std::uint32_t write = 0; write <= seed % 3; ++write) {
            const std::string section = random.Section();
            const std::string key = random.Key();
            const std::string value = random.Value();
            WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), theirs.c_str());
            auto written = SetProfileString(ours, section, key, value);
            ASSERT_TRUE(written.ok()) << written.error();
            ours = written.value();
        }
        const std::string oursPath = NewPath();
        testing::WriteBytes(oursPath, ours);
        ASSERT_EQ(WindowsView(oursPath), WindowsView(theirs)) << "seed " << seed << ":\n" << ours;
    }
}

}  // namespace
}  // namespace bladeway
