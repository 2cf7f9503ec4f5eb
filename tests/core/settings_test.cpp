// The settings file: profile text read and written byte-exact, the file on
// disk that is never lost or left half written, and the preference values
// with their trip through it.
#include <filesystem>
#include <tuple>
#include <utility>

#include <gtest/gtest.h>

#include "core/settings/preference_loading.h"
#include "core/settings/preference_saving.h"
#include "core/settings/preference_values.h"
#include "core/settings/profile_file.h"
#include "core/settings/setting_names.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_place.h"
#include "support/case_table.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using std::nullopt;
using testing::ReadBytes;

constexpr std::string_view kFile =
    "; Bladeway settings\r\n"
    "[Positions]\r\n"
    "MainHeight=507\r\n"
    "  MainTop = -60  \r\n"
    "\r\n"
    "[Paths]\r\n"
    "Source=\"C:\\Keys\\\"\r\n"
    "Template= 'T' \r\n"
    "Odd=\"half\r\n"
    "no equals sign here\r\n";

std::string Set(std::string_view file, std::string_view section, std::string_view key,
                std::string_view value) {
    auto result = SetProfileString(file, section, key, value);
    EXPECT_TRUE(result.ok()) << result.error();
    return result.ok() ? result.value() : std::string{};
}

TEST(ProfileRead, CaseBlanksQuotesAndWhatIsNotThere) {
    struct Row {
        std::string_view file, section, key;
        std::optional<std::string> value;
    };
    // Blanks and one pair of matching quotes are dropped; the first of
    // duplicate keys and sections wins.
    constexpr std::string_view kTwice = "[S]\nk=1\nk=2\n[S]\nk=3\nj=4\n";
    // clang-format off
    for (const Row& row : std::initializer_list<Row>{
             {kFile, "positions", "MAINHEIGHT", "507"}, {kFile, "Positions", "MainTop", "-60"},
             {kFile, "Paths", "Source", "C:\\Keys\\"}, {kFile, "Paths", "Template", "T"},
             {kFile, "Paths", "Odd", "\"half"}, {kTwice, "S", "k", "1"}, {kTwice, "S", "j", nullopt},
             {kFile, "Paths", "MainHeight", nullopt}, {"[S]\n;k=1\n", "S", ";k", nullopt},
             // A line without "=" is a key without a value: it reads as missing and
             // hides a later key of its name.
             {kFile, "Paths", "NO EQUALS SIGN HERE", nullopt},
             {"[Paths]\r\nSource\r\nSource=C:\\keys\r\n", "Paths", "Source", nullopt}})
        // clang-format on
        EXPECT_EQ(GetProfileString(row.file, row.section, row.key), row.value)
            << row.file << "|" << row.section << "|" << row.key;
}

TEST(ProfileInt, TakesTheLeadingWholeNumberSaturated) {
    EXPECT_EQ(GetProfileInt(kFile, "Positions", "MainTop", 0), -60);
    // clang-format off
    for (const auto& [value, number] : std::vector<std::pair<std::string, int>>{
             {"h=507.25\n", 507}, {"h=abc\n", 0}, {"", 9}, {"h=-99999999999\n", -2147483647 - 1}})
        // clang-format on
        EXPECT_EQ(GetProfileInt("[P]\n" + value, "P", "h", 9), number) << value;
}

TEST(ProfileWrite, ReplacesInPlaceOrAppendsKeepingEveryOtherByte) {
    std::string expected(kFile);
    expected.replace(expected.find("  MainTop = -60  "), 17, "MainTop=300");
    EXPECT_EQ(Set(kFile, "POSITIONS", "maintop", "300"), expected);
    expected = kFile;
    expected.insert(expected.find("\r\n\r\n[Paths]") + 2, "MainWidth=9000\r\n");
    EXPECT_EQ(Set(kFile, "Positions", "MainWidth", "9000"), expected);
    EXPECT_EQ(Set(kFile, "Preferences", "TranslateXL", " 1"),
              std::string(kFile) + "\r\n[Preferences]\r\nTranslateXL= 1\r\n");
    EXPECT_EQ(Set("[S]\nk=1", "S", "j", "2"), "[S]\nk=1\r\nj=2\r\n");
    EXPECT_EQ(Set("[S]\nk=1\nj=2\n", "S", "k", "5"), "[S]\nk=5\nj=2\n");  // LF kept
    EXPECT_EQ(Set("[S]\n k \nk=2\n", "S", "k", "5"), "[S]\nk=5\nk=2\n");  // the bare key first
}

TEST(ProfileWrite, RefusesWhatTheFormatCannotHoldAndReadsBackTheRest) {
    // clang-format off
    for (const auto& [section, key, value] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"S", "k", "a\r\nb=1"}, {"S", "k=x", "1"}, {"S]", "k", "1"}, {"S", ";k", "1"}})
        // clang-format on
        EXPECT_FALSE(SetProfileString("", section, key, value).ok()) << section << key << value;
    // What it can hold reads back as written.
    for (const std::string_view value : {"C:\\Keys\\", "a=b", ";y"})
        EXPECT_EQ(GetProfileString(Set("", "Paths", "Source", value), "Paths", "Source"), value);
}

class SettingsFileTest : public ::testing::Test {
  protected:
    SettingsFile WithContent(std::string_view content) {
        return SettingsFile(folder_.Write("Bladeway.INI", content));
    }
    testing::TempFolder folder_;
};

TEST_F(SettingsFileTest, AMissingFileReadsEmptyAndIsNotMadeAndPositionsAreAbsolute) {
    const SettingsFile missing(folder_.File("Bladeway.INI"));
    EXPECT_EQ(missing.ReadSetting("Paths", "Source"), "");
    EXPECT_EQ(missing.ReadPositionSetting("Positions", "MainHeight"), 0);
    EXPECT_FALSE(std::filesystem::exists(missing.Path()));
    // Positions are absolute leading whole numbers.
    const SettingsFile settings =
        WithContent("[positions]\r\nmaintop=-2147483648\r\nMainHeight=507.25\r\n");
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainTop"), 2147483648);
    EXPECT_EQ(settings.ReadPositionSetting("Positions", "MainHeight"), 507);
}

TEST_F(SettingsFileTest, AValueEndsAtANulOrAfter79CharactersAndTheEndMarkerReadsEmpty) {
    const std::string folder = "D:\\" + std::string(82, 'x');
    // The Source folder as read from a file that stores `value` for it.
    const auto source = [this](const std::string& value) {
        return WithContent("[Paths]\r\nSource=" + value + "\r\n").ReadSetting("Paths", "Source");
    };
    testing::ExpectEach<std::string, std::string>(
        source, {{"END.-", ""}, {folder, folder.substr(0, 79)}, {std::string("ab\0cd", 5), "ab"}});
}

TEST_F(SettingsFileTest, FailedWritesKeepTheFileAndLeaveNoTemporaryFile) {
    const std::string original = "[Paths]\r\nSource=C:\\Keys\r\n";
    SettingsFile settings = WithContent(original);
    EXPECT_FALSE(settings.WriteSetting("Paths", "Source", "two\r\nlines").ok());
    EXPECT_EQ(ReadBytes(settings.Path()), original);
    // An oversize file is neither read nor rewritten.
    std::filesystem::resize_file(settings.Path(), kSettingsReadLimit + 1);
    EXPECT_EQ(settings.ReadSetting("Paths", "Source"), "");
    EXPECT_FALSE(settings.WriteSetting("Paths", "Source", "y").ok());
    EXPECT_EQ(std::filesystem::file_size(settings.Path()), kSettingsReadLimit + 1);
}

// The two translate options, X&L to L&H first.
using OptionPair = std::pair<int, int>;
OptionPair Options(const PreferenceValues& values) {
    return {values.XLToLHOption(), values.XToHOption()};
}

// The values loaded from a settings file holding `content` ("" for no file).
PreferenceValues Loaded(const std::string& content) {
    testing::TempFolder folder;
    const SettingsFile settings(content.empty() ? folder.File("Bladeway.INI")
                                                : folder.Write("Bladeway.INI", content));
    PreferenceValues values;
    LoadPreferenceValues(settings, values);
    return values;
}

// Options take only 0, 1 or 2, and one turned on turns the other off; the
// mirror character keeps only its first character.
TEST(PreferenceValues, StartAndResetWithTheExclamationMarkAndXToHOn) {
    PreferenceValues values;
    EXPECT_EQ(values.MirrorCharacter(), "!");
    EXPECT_EQ(Options(values), OptionPair(0, 1));
    EXPECT_FALSE(values.SetXLToLHOption(4294967297LL));  // would wrap to 1 in 32 bits
    ASSERT_TRUE(values.SetXLToLHOption(1));
    EXPECT_EQ(Options(values), OptionPair(1, 0));
    ASSERT_TRUE(values.SetXToHOption(2));
    EXPECT_EQ(Options(values), OptionPair(0, 2));
    ASSERT_TRUE(values.SetXLToLHOption(1));
    values.SetMirrorCharacter("#*");
    EXPECT_EQ(values.MirrorCharacter(), "#");
    values.Reset();
    EXPECT_EQ(values.MirrorCharacter(), "!");
    EXPECT_EQ(Options(values), OptionPair(0, 1));
}

TEST(FlatTemplateMode, MarkerAnywhereInTheFolderInAnyCaseSelectsTreeMode) {
    EXPECT_FALSE(IsFlatTemplateMode("/opt/MyHarbor62Tools/bin/"));
    EXPECT_TRUE(IsFlatTemplateMode("/opt/harbor 62/"));
}

TEST(LoadPreferenceValues, OptionsForEachStoredCombinationAndFoldersAsStored) {
    // clang-format off
    for (const auto& [stored, options] : std::vector<std::pair<std::string, OptionPair>>{
             {"", {0, 0}}, {"TranslateXL= 1", {1, 0}}, {"TranslateXL= 1\r\nTranslateXH= 1", {0, 1}},
             {"TranslateXL= 7", {0, 0}}, {"TranslateXL=0.5\r\nTranslateXH=1.5", {0, 2}}}) {
        // clang-format on
        EXPECT_EQ(Options(Loaded("[Preferences]\r\n" + stored + "\r\n")), options) << stored;
    }
    // Folders as stored; the translate options hidden only for No.
    const PreferenceValues values =
        Loaded("[Paths]\r\nSource=/keys\r\nTemplate=/masters/\r\nDestination=END.-\r\n");
    EXPECT_EQ(values.sourceFolder, "/keys");
    EXPECT_EQ(values.templateFolder, "/masters/");
    EXPECT_EQ(values.destinationFolder, "");
    EXPECT_TRUE(values.TranslateOptionsVisible());
    EXPECT_FALSE(Loaded("[Preferences]\r\nTranslateVisible=No \r\n").TranslateOptionsVisible());
    EXPECT_TRUE(Loaded("[Preferences]\r\nTranslateVisible=NO!\r\n").TranslateOptionsVisible());
}

TEST(SavePreferenceValues, WritesTheFoldersThenTheOptionsWithASignPlaceAndLoadsBack) {
    testing::ExpectEach<int, std::string>(CheckValueText, {{0, " 0"}, {2, " 2"}, {-1, "-1"}});
    const testing::TempFolder folder;
    SettingsFile settings{folder.File("Bladeway.INI")};
    PreferenceValues saved;
    saved.sourceFolder = "/srv/keys/";
    saved.templateFolder = " masters ";  // kept exactly, blanks and all
    SavePreferenceValues(settings, saved);
    EXPECT_EQ(testing::ReadBytes(settings.Path()),
              "[Paths]\r\nSource=/srv/keys/\r\nTemplate= masters \r\nDestination=\r\n\r\n"
              "[Preferences]\r\nTranslateXL= 0\r\nTranslateXH= 1\r\n");
    saved.destinationFolder = "out";
    ASSERT_TRUE(saved.SetXLToLHOption(1));
    SavePreferenceValues(settings, saved);
    const PreferenceValues loaded = Loaded(ReadBytes(settings.Path()));
    EXPECT_EQ(loaded.sourceFolder, "/srv/keys/");
    EXPECT_EQ(loaded.templateFolder, "masters");
    EXPECT_EQ(loaded.destinationFolder, "out");
    EXPECT_EQ(Options(loaded), OptionPair(1, 0));
    EXPECT_EQ(saved.XLToLHOption(), 1);
}

TEST(ChooseSettingsPlace, BesideAWritableOrAlreadySetUpFolderElseInTheUserConfigFolder) {
    struct Row {
        ProgramFolderFacts facts;
        std::string settingsFile;
    };
    // clang-format off
#ifdef _WIN32
    const std::string appData = "C:\\Users\\J\xc3\xbcrgen\\AppData\\Roaming";
    for (const Row& row : std::vector<Row>{
             {{"C:\\bw\\", true, false, appData, ""}, "C:\\bw\\Bladeway.INI"},
             {{"\\\\cnc\\bw\\", false, true, appData, ""}, "\\\\cnc\\bw\\Bladeway.INI"},
             {{"C:\\Program Files\\Bladeway\\", false, false, appData, ""},
              appData + "\\bladeway\\Bladeway.INI"},
             // Installed in Program Files: the user's folder, even when the
             // folder may be written or holds a file (an administrator's, or Wine's).
             {{"C:\\Program Files\\Bladeway\\", true, true, appData, ""},
              appData + "\\bladeway\\Bladeway.INI"},
             {{"c:/program files (x86)/HARBOR62/", true, false, appData, ""},
              appData + "\\bladeway-tree\\Bladeway.INI"},
             {{"C:\\Program Filesystem\\bw\\", true, false, appData, ""},
              "C:\\Program Filesystem\\bw\\Bladeway.INI"},
             {{"C:\\bw\\", false, false, "\\\\cnc\\profiles\\", ""}, "\\\\cnc\\profiles\\bladeway\\Bladeway.INI"},
             {{"C:\\bw\\", false, false, "Roaming", ""}, "C:\\bw\\Bladeway.INI"},
             {{"C:\\bw\\", false, false, "", ""}, "C:\\bw\\Bladeway.INI"}}) {
#else
    for (const Row& row : std::vector<Row>{
             // A program run from its own folder: as always.
             {{"/home/u/bw/", true, false, "/x/cfg", "/home/u"}, "/home/u/bw/Bladeway.INI"},
             {{"/mnt/share/bw/", false, true, "", "/home/u"}, "/mnt/share/bw/Bladeway.INI"},
             // A folder the user cannot write: XDG_CONFIG_HOME, else ~/.config.
             {{"/opt/harbor62/bin/", false, false, "", "/home/u"}, "/home/u/.config/bladeway-tree/Bladeway.INI"},
             {{"/opt/bw/", false, false, "/x/cfg", "/home/u"}, "/x/cfg/bladeway/Bladeway.INI"},
             {{"/opt/bw/", false, false, "/x/cfg/", ""}, "/x/cfg/bladeway/Bladeway.INI"},
             {{"/opt/bw/", false, false, "relative", "/home/u/"}, "/home/u/.config/bladeway/Bladeway.INI"},
             // The system's program folders, even for root and with a file there.
             {{"/usr/bin/", true, true, "", "/root"}, "/root/.config/bladeway/Bladeway.INI"},
             {{"/usr/local/bin/", true, false, "", "/root"}, "/root/.config/bladeway/Bladeway.INI"},
             {{"/usrx/bin/", true, false, "", "/root"}, "/usrx/bin/Bladeway.INI"},
             // Nowhere else to go: beside the program, where writes then fail.
             {{"/opt/bw/", false, false, "", ""}, "/opt/bw/Bladeway.INI"},
             {{"/opt/bw/", false, false, "cfg", "home"}, "/opt/bw/Bladeway.INI"}}) {
#endif
        // clang-format on
        const SettingsPlace place = ChooseSettingsPlace(row.facts);
        EXPECT_EQ(place.settingsFile, row.settingsFile) << row.facts.appFolder;
        EXPECT_EQ(place.folder, FolderOfPath(row.settingsFile)) << row.facts.appFolder;
        EXPECT_EQ(place.besideProgram, place.folder == row.facts.appFolder);
        // The template mode always goes by the program's own folder.
        EXPECT_EQ(place.templateModeFolder, row.facts.appFolder);
    }
}

// An installed program's place in the user's folder, and system folders that
// may hold a default settings file.
class DefaultSettingsTest : public ::testing::Test {
  protected:
    DefaultSettingsTest() {
        place_.folder = user_.WithSeparator();
        place_.settingsFile = user_.File("Bladeway.INI");
        place_.besideProgram = false;
        for (const char* name : {"first", "second", "third"})
            folders_.push_back((system_.Path() / name).string());
    }
    // Writes the default settings file of system folder `index`.
    void WriteDefault(std::size_t index, std::string_view bytes) const {
        std::filesystem::create_directories(std::filesystem::path(folders_[index]) / "bladeway");
        testing::WriteBytes(DefaultSettingsFile(folders_[index]), bytes);
    }
    bool Start() const { return StartFromDefaultSettings(place_, folders_, Disk()); }

    testing::TempFolder user_, system_;
    std::vector<std::string> folders_;
    SettingsPlace place_;
};

constexpr std::string_view kDefaults = "[Positions]\r\nMainHeight=5175\r\n";

TEST_F(DefaultSettingsTest, TheFirstReadableDefaultIsCopiedByteForByteButNeverOverAUsersFile) {
    EXPECT_FALSE(StartFromDefaultSettings(place_, {}, Disk()));
    EXPECT_FALSE(Start());
    EXPECT_FALSE(std::filesystem::exists(place_.settingsFile));
    // A folder in the default file's place, then a file too large to be settings.
    std::filesystem::create_directories(DefaultSettingsFile(folders_[0]));
    WriteDefault(1, std::string(kSettingsReadLimit + 1, 'x'));
    WriteDefault(2, kDefaults);
    EXPECT_TRUE(Start());
    EXPECT_EQ(ReadBytes(place_.settingsFile), kDefaults);
    // A user's settings file is never touched, even an empty one.
    for (const std::string_view users : {"[Paths]\r\nSource=/k\r\n", ""}) {
        testing::WriteBytes(place_.settingsFile, users);
        EXPECT_FALSE(Start());
        EXPECT_EQ(ReadBytes(place_.settingsFile), users);
    }
}

TEST(LocateSettings, ProgramFolderAsItIsOrAPrivateUserFolderStartedFromTheSystemDefault) {
#ifdef _WIN32
    GTEST_SKIP() << "the XDG folders, owner-only permissions and default settings are POSIX; "
                    "Windows uses %APPDATA%";
#endif
    const testing::TempFolder program, config, system;
    std::filesystem::create_directories(system.Path() / "bladeway");
    testing::WriteBytes(system.File("bladeway/Bladeway.INI"), kDefaults);
    const testing::ScopedEnvironment xdg("XDG_CONFIG_HOME", (config.Path() / "cfg").string());
    // A relative folder is left out; the first absolute one that holds a default counts.
    const testing::ScopedEnvironment dirs(
        "XDG_CONFIG_DIRS", "bladeway:" + program.File("none") + ":" + system.Path().string());
    // Run from its own folder: nothing made or copied, beside it or for the user...
    EXPECT_EQ(LocateSettings(program.WithSeparator()).settingsFile, program.File("Bladeway.INI"));
    EXPECT_FALSE(std::filesystem::exists(program.File("Bladeway.INI")));
    EXPECT_FALSE(std::filesystem::exists(config.Path() / "cfg"));
    // ...unless its installer put defaults beside it.
    std::filesystem::create_directories(program.Path() / "defaults" / "bladeway");
    testing::WriteBytes(program.File("defaults/bladeway/Bladeway.INI"), kDefaults);
    EXPECT_EQ(ReadBytes(LocateSettings(program.WithSeparator()).settingsFile), kDefaults);
    // A folder no one can write in (whoever runs the test): one that is not there.
    const std::string installed = (program.Path() / "HARBOR62" / "bin").string() + "/";
    const SettingsPlace place = LocateSettings(installed);
    const auto folder = config.Path() / "cfg" / "bladeway-tree";
    EXPECT_EQ(place.settingsFile, (folder / "Bladeway.INI").string());
    EXPECT_FALSE(IsFlatTemplateMode(place.templateModeFolder));
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms::owner_all);
    // The first start copies the default; the copy is the user's from then on.
    SettingsFile settings(place.settingsFile);
    EXPECT_EQ(ReadBytes(settings.Path()), kDefaults);
    ASSERT_TRUE(settings.WriteSetting("Positions", "MainHeight", "9000"));
    EXPECT_EQ(SettingsFile(LocateSettings(installed).settingsFile)
                  .ReadPositionSetting("Positions", "MainHeight"),
              9000);
}

TEST(UnreadSettingReason, NamesTheSectionOrKeyNothingReadsMatchingWithoutCase) {
    // clang-format off
    for (const auto& [section, key, named] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"Paths", "Destination", ""}, {"paths", "SOURCE", ""}, {"Positions", "VarSubWidth", ""},
             {"Preferences", "TranslateVisible", ""}, {"Pahts", "Destination", "section [Pahts]"},
             {"Paths", "Destinaton", "key Destinaton in [Paths]"}, {"", "Source", "section []"},
             {"Positions", "TranslateXL", "key TranslateXL in [Positions]"}}) {
        // clang-format on
        const std::string reason = UnreadSettingReason(section, key);
        EXPECT_EQ(reason.empty(), named.empty()) << section << "/" << key << ": " << reason;
        EXPECT_NE(reason.find(named), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace bladeway
