// The byte-text and number helpers every rule builds on, and the disk and
// the dry run: whole files in, atomic replacement out, and no litter or lost
// file when a write fails. Decimal formatting is checked through its users
// (FormatValueText, FormatAxisValue).
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <limits>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/gcode/local_date.h"
#include "core/os/folders.h"
#include "core/os/paths.h"
#include "core/os/system_text.h"
#include "core/os/tool_command.h"
#include "core/storage/background_stager.h"
#include "core/storage/batch_writer.h"
#include "core/storage/dry_run_file_system.h"
#include "core/storage/file_system.h"
#include "core/text/code_page.h"
#include "core/text/text.h"
#include "support/case_table.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ExpectEach;
using testing::ReadBytes;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Every piece ParseString hands out, with the position after it, until it
// reports the end (position 0).
std::vector<std::pair<std::string, std::int64_t>> AllPieces(std::string_view text, char delimiter,
                                                            std::int64_t position = 1) {
    std::vector<std::pair<std::string, std::int64_t>> pieces;
    while (position != 0) {
        const std::string_view piece = ParseString(position, text, delimiter);
        pieces.emplace_back(piece, position);
    }
    return pieces;
}
using Pieces = std::vector<std::pair<std::string, std::int64_t>>;

TEST(TextHelpers, ParseStringSearchTrimAndCase) {
    // After the last piece the position stands one beyond the end, not at 0.
    EXPECT_EQ(AllPieces("AB|CD", '|'), (Pieces{{"AB", 4}, {"CD", 6}, {"", 0}}));
    EXPECT_EQ(AllPieces("a!b!tail", '!'), (Pieces{{"a", 3}, {"b", 5}, {"tail", 9}, {"", 0}}));
    EXPECT_EQ(AllPieces("!!", '!'), (Pieces{{"", 2}, {"", 3}, {"", 0}}));
    EXPECT_EQ(AllPieces("abc", '!', 7), (Pieces{{"", 0}}));
    // Only code 32 counts as a space.
    ExpectEach(TrimSpaces, {{"  a b  ", "a b"}, {"\t a \t", "\t a \t"}});
    EXPECT_EQ(ToUpperAscii("harbor62\xe9z"), "HARBOR62\xe9Z");
    EXPECT_FALSE(EqualsIgnoringCase("\xe9", "\xc9"));
}

TEST(LeadingNumberValue, TakesTheLeadingNumberSkippingBlanksThenRounds) {
    // clang-format off
    ExpectEach<std::string_view, double>(LeadingNumberValue, {
        {"1 2 3abc", 123.0}, {"- 2.5", -2.5}, {"1.5E2x", 150.0}, {"1e", 1.0}, {"abc", 0.0}, {"1,5", 1.0}});
    // clang-format on
    // Halves go to the even neighbour; saturated; NaN is 0.
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    // clang-format off
    ExpectEach<double, std::int64_t>(RoundHalfEven, {
        {0.5, 0}, {1.5, 2}, {-1.5, -2}, {1e300, kMax}, {-1e300, kMin}, {std::numeric_limits<double>::quiet_NaN(), 0}});
    // clang-format on
    EXPECT_EQ(SaturateToInt16(-40000), -32768);
}

TEST(Windows1252, DecodesEncodesAndSurvivesARoundTrip) {
    EXPECT_EQ(DecodeWindows1252("Ni\xf1o \x80"), "Ni\xc3\xb1o \xe2\x82\xac");
    // Undefined bytes become controls of the same value.
    EXPECT_EQ(DecodeWindows1252("\x81"), "\xc2\x81");
    EXPECT_EQ(EncodeWindows1252("\xe4\xb8\xad"), "?");  // outside the code page
    EXPECT_EQ(EncodeWindows1252("\xff"), "?");          // not UTF-8 at all
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

// Strict going to the system, so that no file name is guessed at; lenient
// coming back, so that every name the system gives can be shown.
TEST(SystemText, Utf16BothWaysStrictInLenientOut) {
    const std::string text = "Schl\xC3\xBCssel \xE2\x82\xAC \xF0\x9F\x94\x91";
    EXPECT_EQ(Utf16FromUtf8(text), std::u16string(u"Schl\u00FCssel \u20AC \U0001F511"));
    EXPECT_EQ(Utf8FromUtf16(*Utf16FromUtf8(text)), text);
    EXPECT_EQ(Utf16FromUtf8(""), std::u16string());
    for (const char* bad : {"\xC3", "\xC0\xAF", "a\xFF"})
        EXPECT_EQ(Utf16FromUtf8(bad), std::nullopt) << bad;
    EXPECT_EQ(Utf8FromUtf16(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(Utf8FromUtf16(std::u16string(1, u'\xDC00')), "\xEF\xBF\xBD");
    const std::string reason = SystemErrorText(2);  // no such file, on both systems
    EXPECT_FALSE(reason.empty());
    EXPECT_NE(reason.back(), '\n');
}

TEST(MonthDayYear, FormatTodayAndValidation) {
    EXPECT_EQ(FormatMonthDayYear(1999, 1, 9), "01/09/99");
    EXPECT_EQ(FormatMonthDayYear(2100, 2, 1), "02/01/00");
    EXPECT_TRUE(IsMonthDayYear(TodayMonthDayYear())) << TodayMonthDayYear();
    // clang-format off
    ExpectEach<std::string_view, bool>(IsMonthDayYear, {
        {"02/29/00", true}, {"13/01/01", false}, {"04/31/01", false}, {"4/1/01", false}, {"04/01/2001", false}});
    // clang-format on
}

TEST(Paths, RunningProgramJoinsAndTheFolderOfAPath) {
    const std::string sep(1, kPathSeparator);
    EXPECT_EQ(std::filesystem::path(RunningProgramPath()).stem(), "platform_tests");
    EXPECT_EQ(JoinPath("tmp", "P1"), "tmp" + sep + "P1");
    EXPECT_EQ(JoinPath("tmp" + sep, "P1"), "tmp" + sep + sep + "P1");  // always one more
    EXPECT_EQ(JoinPathOnce("keys" + sep, "a.dat"), "keys" + sep + "a.dat");
    EXPECT_EQ(NativeSeparators("SRG\\01\\P1"), "SRG" + sep + "01" + sep + "P1");
    // The parent, or the current folder.
    // clang-format off
    ExpectEach<std::string, std::string>(FolderOf, {
        {"P1", "."}, {"d" + sep + "P1", "d"}, {"d" + sep + sep + "P1", "d"},
        {"d" + sep + "e" + sep, "d" + sep + "e"}, {sep + "P1", sep},
        {"SRG" + sep + "\xc3\x89" + sep + "T", "SRG" + sep + "\xc3\x89"}});
    ExpectEach<std::string, std::string>(FolderOfPath, {
        {"P1", ""}, {"d" + sep + "P1", "d" + sep}, {sep + "P1", sep},
        {"d" + sep + sep, "d" + sep + sep}});
    // clang-format on
#ifdef _WIN32
    EXPECT_EQ(FolderOfPath("C:P1"), "C:");  // P1 in the current folder of drive C
    EXPECT_EQ(FolderOf("C:P1"), ".");
    EXPECT_EQ(FolderOfPath("C:/cnc\\P1"), "C:/cnc\\");
    EXPECT_EQ(FolderOf("C:\\P1"), "C:\\");
    EXPECT_EQ(FolderOf("C:/cnc/P1"), "C:/cnc");
    EXPECT_EQ(FolderOf("\\\\cnc\\share\\P1"), "\\\\cnc\\share");
#endif
}

// The key skips normalising paths that are normal already; either way it
// must be what normalising gives.
TEST(Paths, SameFileKeyIsTheNormalSpelling) {
    for (const std::string path :
         {"dest/P1", "/dest/P1", "dest/./P1", "dest//P1", "dest/x/../P1", "./P1", "../P1", "P1",
          "dest/", "dest//", "/", "//dest", "dest/.", "dest/..", ".", "", "a\\b/./c"}) {
        EXPECT_EQ(SameFileKey(path), fs::path(path).lexically_normal().string()) << path;
    }
    EXPECT_EQ(SameFileKey(NativeSeparators("dest\\.\\P1")),
              SameFileKey(NativeSeparators("dest\\P1")));
    // Names stay UTF-8 through normalising, also on Windows.
    EXPECT_EQ(SameFileKey(NativeSeparators("SRG\\\xc3\x89\\.\\T\xc3\x89")),
              NativeSeparators("SRG\\\xc3\x89\\T\xc3\x89"));
}

TEST(Paths, SystemConfigFoldersAreXdgConfigDirsOrTheProgramsDefaultsFolder) {
    using Folders = std::vector<std::string>;
#ifdef _WIN32
    // The installer's defaults beside the program, whatever the variable says.
    const Folders besideProgram{FolderOfPath(RunningProgramPath()) + "defaults\\"};
    EXPECT_EQ(SystemConfigFolders("C:\\ProgramData"), besideProgram);
    EXPECT_EQ(SystemConfigFolders(""), besideProgram);
#else
    // clang-format off
    ExpectEach<std::string_view, Folders>(SystemConfigFolders, {
        {"", {"/etc/xdg/"}},
        {"/etc/xdg", {"/etc/xdg/"}},
        {"/opt/shop/xdg/:/etc/xdg", {"/opt/shop/xdg/", "/etc/xdg/"}},
        {"xdg::/a:./b:/b", {"/a/", "/b/"}},
        // Listed, but none that counts: not the default either.
        {"xdg", {}}, {":", {}}});
    // clang-format on
#endif
}

// A file dialog's last resort: the user's own folder as the system names
// it, else the current folder, never a relative or empty path.
TEST(Paths, TheHomeFolderIsTheUsersOwnOrTheCurrentFolder) {
    const bool windows = kPathSeparator == '\\';
    const char* const variable = windows ? "USERPROFILE" : "HOME";
    const std::string home = windows ? "C:\\Users\\Shop floor" : "/home/shop floor";
    {
        const testing::ScopedEnvironment set(variable, home);
        EXPECT_EQ(HomeFolder(), home);
    }
    const testing::ScopedEnvironment unset(variable, std::nullopt);
    EXPECT_EQ(HomeFolder(), CurrentFolder());
    EXPECT_FALSE(HomeFolder().empty());
}

// Advice names the command-line tool as a worker can type it: bare when the
// search path finds it, else by its path beside the program, else bare.
TEST(Paths, TheToolIsNamedAsTheWorkerCanTypeIt) {
    const bool windows = kPathSeparator == '\\';
    const std::string suffix = windows ? ".exe" : "";
    testing::TempFolder onPath;
    testing::TempFolder installed;
    const std::string program = installed.File("bladeway" + suffix);
    const std::string search = "nowhere" + std::string(windows ? ";" : ":") + onPath.File("");
    EXPECT_EQ(ToolCommandFor(program, search), "bladeway-cli");
    const std::string beside = installed.Write("bladeway-cli" + suffix, "");
    EXPECT_EQ(ToolCommandFor(program, search), beside);
    onPath.Write("bladeway-cli" + suffix, "");
    EXPECT_EQ(ToolCommandFor(program, search), "bladeway-cli");
    const std::string quote = windows ? "\"" : "'";
    EXPECT_EQ(ShellArgument("/a b"), quote + "/a b" + quote);
    EXPECT_EQ(ShellArgument("/ab"), "/ab");
}

// Names of the files in `folder`, temporary ones included.
Names FileNames(const fs::path& folder) {
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

#ifndef _WIN32
// The permission bits of a file; none when it cannot be read.
mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}
#endif

class FileSystemTest : public ::testing::Test {
  protected:
    testing::TempFolder folder_;
};

// A whole file up to its limit. The kind of a failed read tells a missing file
// (which a reader may take as empty) from one that is there but unreadable.
TEST_F(FileSystemTest, ReadsAWholeFileUpToItsLimitAndRefusesWhatIsNoFile) {
    const std::string bytes("A\r\n\0\xff!", 6);
    const std::string file = folder_.Write("k.dat", bytes);
    EXPECT_EQ(Disk().ReadWholeFile(file, 6).value(), bytes);
    EXPECT_EQ(Disk().ReadWholeFile(file, 5).errorKind(), FailureKind::kTooLarge);
    const auto missing = Disk().ReadWholeFile(folder_.File("none.dat"));
    ASSERT_FALSE(missing.ok());
    EXPECT_NE(missing.error().find("none.dat"), std::string::npos);
    EXPECT_EQ(missing.errorKind(), FailureKind::kNotFound);
    const std::string sep(1, kPathSeparator);
    for (const std::string& path : {folder_.File("none") + sep + "k.dat", file + sep + "k.dat"})
        EXPECT_EQ(Disk().ReadWholeFile(path).errorKind(), FailureKind::kNotFound) << path;
    EXPECT_EQ(Disk().ReadWholeFile(folder_.Path().string()).errorKind(), FailureKind::kIsFolder);
    EXPECT_TRUE(IsNoFile(FailureKind::kIsFolder) && IsNoFile(FailureKind::kNotFound) &&
                !IsNoFile(FailureKind::kTooLarge));
}

TEST_F(FileSystemTest, ExistsIsForFilesOnlyFolderExistsForFoldersOnly) {
    const std::string file = folder_.Write("k.dat", "A");
    for (const auto& [path, isFile, isFolder] :
         std::vector<std::tuple<std::string, bool, bool>>{{file, true, false},
                                                          {folder_.File("none.dat"), false, false},
                                                          {folder_.Path().string(), false, true},
                                                          {folder_.WithSeparator(), false, true},
                                                          {folder_.File("none"), false, false},
                                                          {"", false, false}}) {
        EXPECT_EQ(Disk().Exists(path), isFile) << path;
        EXPECT_EQ(Disk().FolderExists(path), isFolder) << path;
    }
    // CreateEmptyIfMissing never touches an existing file.
    ASSERT_TRUE(Disk().CreateEmptyIfMissing(file).ok());
    EXPECT_EQ(ReadBytes(file), "A");
}

// A folder in the way or a folder missing: the replace fails, names its file
// and leaves no temporary file behind.
TEST_F(FileSystemTest, AReplaceThatCannotBeDoneFailsCleanly) {
    ASSERT_TRUE(Disk().ReplaceFile(folder_.File("P1"), "first").ok());
    fs::create_directory(folder_.Path() / "sub");
    EXPECT_FALSE(Disk().ReplaceFile(folder_.File("sub"), "x").ok());
    const Outcome failed = Disk().ReplaceFile((folder_.Path() / "none" / "P2").string(), "x");
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().find("P2"), std::string::npos);
    EXPECT_EQ(FileNames(folder_.Path()), (Names{"P1", "sub"}));
}

// The four steps of a batch on the disk: a staged file stays invisible under
// a temporary name until it is moved, keeps the target's permissions, and
// a discarded one leaves nothing behind.
TEST_F(FileSystemTest, StagedFilesReachTheirTargetsOnlyWhenMoved) {
    const std::string kept = folder_.Write("P1", "old");
    ::chmod(kept.c_str(), 0640);
    fs::create_directory(folder_.Path() / "sub");
    const std::string fresh = folder_.File("sub/P2");
    const std::string dropped = folder_.File("P3");
    std::vector<StagedFile> staged;
    for (const auto& [path, bytes] : {std::pair{kept, "new"}, {fresh, "two"}, {dropped, "x"}}) {
        auto file = Disk().Stage(path, bytes);
        ASSERT_TRUE(file.ok()) << file.error();
        EXPECT_EQ(file.value().target, path);
        // A name the sweep of what killed runs left recognises.
        EXPECT_TRUE(native::IsTemporaryName(fs::path(file.value().temporary).filename().string()));
        EXPECT_EQ(fs::path(file.value().temporary).parent_path(), fs::path(path).parent_path());
        EXPECT_EQ(ReadBytes(file.value().temporary), bytes);
        staged.push_back(file.value());
    }
    EXPECT_EQ(ReadBytes(kept), "old");
    EXPECT_FALSE(Disk().Exists(fresh));
    ASSERT_TRUE(Disk().FlushStaged(staged).ok());
    Disk().Discard(staged[2]);
    for (std::size_t at = 0; at < 2; ++at)
        ASSERT_TRUE(Disk().MoveIntoPlace(staged[at]).ok());
    for (const char* folder : {"", "sub"})
        EXPECT_TRUE(Disk().FlushFolder((folder_.Path() / folder).string()).ok());
    EXPECT_EQ(ReadBytes(kept), "new");
    EXPECT_EQ(ReadBytes(fresh), "two");
#ifndef _WIN32
    EXPECT_EQ(ModeOf(kept), 0640U);
#endif
    EXPECT_EQ(FileNames(folder_.Path()), (Names{"P1", "sub"}));
    EXPECT_EQ(FileNames(folder_.Path() / "sub"), Names{"P2"});
    // What cannot be a step fails with the path it concerns.
    EXPECT_FALSE(Disk().Stage(folder_.File("sub"), "x").ok());
    const Outcome gone = Disk().FlushFolder(folder_.File("gone"));
    ASSERT_FALSE(gone.ok());
    EXPECT_NE(gone.error().find("gone"), std::string::npos);
    EXPECT_FALSE(Disk().MoveIntoPlace(staged[2]).ok());  // discarded
}

#ifndef _WIN32
// Modes the creation mask would narrow need setting after creation; the
// others are created as they stand. Either way the replacement has the
// replaced file's mode, and a new file what any new file gets.
TEST_F(FileSystemTest, ReplacementsKeepTheModeOfTheFileTheyReplace) {
    for (const mode_t mode : {0600U, 0640U, 0644U, 0664U, 0666U, 0700U, 0755U, 0777U, 0604U}) {
        const std::string path = folder_.File("P" + std::to_string(mode));
        ASSERT_TRUE(Disk().ReplaceFile(path, "old").ok());
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(Disk().ReplaceFile(path, "new").ok());
        EXPECT_EQ(ReadBytes(path), "new");
        EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const std::string fresh = folder_.File("fresh");
    ASSERT_TRUE(Disk().ReplaceFile(fresh, "new").ok());
    EXPECT_EQ(ModeOf(fresh), 0666U & ~mask);
}
#endif

// What killed runs left goes when a run next writes into the folder; other
// files, and temporaries of a run that may still be going, stay.
TEST_F(FileSystemTest, AFoldersFirstProgramRemovesTemporariesLeftADayAgo) {
    using namespace std::chrono_literals;
    // A temporary's name: a dot, the file's name, a dot, six letters or digits, ".bwtmp".
    // clang-format off
    for (const auto& [name, age] : {std::pair{".P1.Ab3xYz.bwtmp", 25h}, {".P2.a1b2c3.old.bwtmp", 48h},
                                    {".P.X.123456.bwtmp", 48h}, {".P3.Qw3rty.bwtmp", 23h},
                                    {".keep.bwtmp", 48h}, {".bwtmp", 48h}, {"P4.Ab3xYz.bwtmp", 48h},
                                    {".P5.Ab3xYz.bwtmp.txt", 48h}, {".P1.Ab3xY.bwtmp", 48h},
                                    {".P1Ab3xYz.bwtmp", 48h}, {"..Ab3xYz.bwtmp", 48h},
                                    {".P1.Ab3x-z.bwtmp", 48h}}) {
        // clang-format on
        const fs::path path = testing::Utf8Path(folder_.Write(name, "left"));
        fs::last_write_time(path, fs::file_time_type::clock::now() - age);
    }
    fs::create_directory(folder_.Path() / ".P6.Ab3xYz.bwtmp");
    const Names before = FileNames(folder_.Path());

    DryRunFileSystem dryRun;
    {
        BatchWriter batch(dryRun);
        ASSERT_TRUE(batch.ReplaceFile(folder_.File("P7"), "new").ok());
        (void)batch.Commit();
        EXPECT_EQ(batch.LeftOversRemoved(), 0U);
    }
    EXPECT_EQ(FileNames(folder_.Path()), before);  // a dry run changes nothing

    {
        BatchWriter batch(Disk());
        ASSERT_TRUE(batch.ReplaceFile(folder_.File("P7"), "new").ok());
        ASSERT_TRUE(batch.ReplaceFile(folder_.File("P8"), "new").ok());  // swept once
        for (const CommittedFile& file : batch.Commit())
            EXPECT_TRUE(file.inPlace) << file.error;
        EXPECT_EQ(batch.LeftOversRemoved(), 3U);
    }
    EXPECT_EQ(FileNames(folder_.Path()),
              (Names{"..Ab3xYz.bwtmp", ".P1.Ab3x-z.bwtmp", ".P1.Ab3xY.bwtmp", ".P1Ab3xYz.bwtmp",
                     ".P3.Qw3rty.bwtmp", ".P5.Ab3xYz.bwtmp.txt", ".P6.Ab3xYz.bwtmp", ".bwtmp",
                     ".keep.bwtmp", "P4.Ab3xYz.bwtmp", "P7", "P8"}));
}

// The disk's files are staged on the writer's own thread while the caller
// goes on: what could not be staged is said by Commit in its place among the
// others, and a read sees the last staging of the file that worked.
TEST_F(FileSystemTest, ABatchSaysAtCommitWhatItCouldNotStage) {
    const std::string first = folder_.File("P1");
    const std::string folder = folder_.File("P2");
    fs::create_directory(testing::Utf8Path(folder));
    BatchWriter batch(Disk());
    for (int round = 0; round < 2; ++round) {
        batch.SetOwner(0);
        (void)batch.ReplaceFile(first, "staged");
        batch.SetOwner(1);
        (void)batch.ReplaceFile(folder, "never");
        if (round == 0) {
            EXPECT_EQ(batch.Settle(), 1U);
            // A folder now stands where P1 goes: its second staging fails.
            fs::create_directory(testing::Utf8Path(first));
        }
    }
    EXPECT_EQ(batch.ReadWholeFile(first).value(), "staged");
    EXPECT_FALSE(batch.IsStaged(folder));
    EXPECT_EQ(batch.Settle(), 1U);
    fs::remove(testing::Utf8Path(first));
    const std::vector<CommittedFile> committed = batch.Commit();
    ASSERT_EQ(committed.size(), 4U);
    EXPECT_TRUE(committed[0].inPlace) << committed[0].error;
    for (std::size_t at = 1; at < committed.size(); ++at) {
        EXPECT_FALSE(committed[at].inPlace);
        EXPECT_EQ(committed[at].owner, at % 2);
        EXPECT_NE(committed[at].error.find("cannot write"), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(first), "staged");
}

// Staging steps that hold the first file staged on another thread than the
// test's until let go, and say which thread staged each; the names ending in
// "!" cannot be staged.
class HeldStaging final : public StagingSteps {
  public:
    Expected<StagedFile> Stage(const std::string& path, std::string_view /*bytes*/) override {
        std::unique_lock lock(mutex_);
        if (std::this_thread::get_id() != test_ && !workerSeen_) {
            workerSeen_ = true;
            letGo_.wait(lock, [this] { return !held_; });
        }
        stagers_.push_back(std::this_thread::get_id());
        if (path.ends_with("!"))
            return Failure{"cannot write " + path};
        return StagedFile{path, path + ".tmp"};
    }
    void LetGo() {
        const std::lock_guard lock(mutex_);
        held_ = false;
        letGo_.notify_all();
    }
    std::vector<std::thread::id> Stagers() {
        const std::lock_guard lock(mutex_);
        return stagers_;
    }
    Expected<std::string> ReadStaged(const StagedFile&, std::size_t) const override { return {""}; }
    Outcome FlushStaged(std::span<const StagedFile>) override { return {}; }
    Outcome MoveIntoPlace(const StagedFile&) override { return {}; }
    Outcome FlushFolder(const std::string&) override { return {}; }
    void Discard(const StagedFile&) override {}
    std::size_t RemoveLeftOverTemporaries(const std::string&) override { return 1; }
    bool StagesOnAnyThread() const override { return true; }

  private:
    std::mutex mutex_;
    std::condition_variable letGo_;
    const std::thread::id test_ = std::this_thread::get_id();
    bool workerSeen_ = false;
    bool held_ = true;
    std::vector<std::thread::id> stagers_;
};

// While its thread is held up, the caller stages what waits beyond a few
// files itself rather than pile them up; each outcome stays in its place.
TEST(BackgroundStager, ACallerAheadOfTheDiskStagesTheExcessAndTheOutcomesKeepTheirOrder) {
    HeldStaging steps;
    BackgroundStager stager(steps);
    const std::size_t count = BackgroundStager::kMostWaiting + 10;
    std::thread letGo;
    for (std::size_t at = 0; at < count; ++at) {
        stager.Stage("P" + std::to_string(at) + (at % 7 == 3 ? "!" : ""), "x", at == 0);
        if (at == count - 1)
            letGo = std::thread([&steps] { steps.LetGo(); });
    }
    const std::vector<std::thread::id> stagers = steps.Stagers();
    EXPECT_GE(std::count(stagers.begin(), stagers.end(), std::this_thread::get_id()), 9);
    const std::vector<BackgroundStager::Staged> staged = stager.Finish();
    letGo.join();
    ASSERT_EQ(staged.size(), count);
    for (std::size_t at = 0; at < count; ++at) {
        const std::string name = "P" + std::to_string(at);
        EXPECT_EQ(staged[at].leftOversRemoved, at == 0 ? 1U : 0U);
        if (at % 7 == 3)
            EXPECT_EQ(staged[at].file.error(), "cannot write " + name + "!");
        else
            EXPECT_EQ(staged[at].file.value().target, name);
    }
    EXPECT_TRUE(stager.Finish().empty());
}

TEST_F(FileSystemTest, ReplaceFileInAReadOnlyFolderKeepsTheOldContent) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows folders have no write permission bit; read-only files are "
                    "windows_files_test's";
#endif
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "root ignores folder permissions";
    const std::string path = folder_.Write("P1", "old");
    fs::permissions(folder_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(Disk().ReplaceFile(path, "new").ok());
    EXPECT_FALSE(DryRunFileSystem().ReplaceFile(folder_.File("P2"), "x").ok());
    fs::permissions(folder_.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadBytes(path), "old");
}

// A dry run beside an existing program P1 and a folder "sub": it refuses what
// the disk would, keeps its writes in memory and reads them over the disk.
TEST_F(FileSystemTest, ADryRunRefusesWhatTheDiskWouldAndReadsItsWritesFromMemory) {
    const std::string existing = folder_.Write("P1", "old");
    const std::string fresh = folder_.File("P2");
    const std::string index = folder_.File("INDICE.Prg");
    fs::create_directory(folder_.File("sub"));
    DryRunFileSystem dryRun;
    const Outcome missingFolder = dryRun.ReplaceFile(folder_.File("gone/P1"), "x");
    ASSERT_FALSE(missingFolder.ok());
    EXPECT_NE(missingFolder.error().find("gone/P1"), std::string::npos);
    EXPECT_FALSE(dryRun.ReplaceFile(folder_.File("sub"), "x").ok());
    EXPECT_FALSE(dryRun.ReplaceFile(existing + "/P1", "x").ok());  // a file in place of a folder
    EXPECT_TRUE(dryRun.WrittenPaths().empty());
    EXPECT_FALSE(dryRun.Exists(fresh));

    ASSERT_TRUE(dryRun.ReplaceFile(existing, "new").ok());
    ASSERT_TRUE(dryRun.ReplaceFile(fresh, "two").ok());
    ASSERT_TRUE(dryRun.CreateEmptyIfMissing(index).ok());
    ASSERT_TRUE(dryRun.CreateEmptyIfMissing(existing).ok());
    EXPECT_FALSE(dryRun.ReplaceFile(folder_.File("sub"), "x").ok()) << "once its folder is known";
    EXPECT_EQ(FileNames(folder_.Path()), (Names{"P1", "sub"}));
    EXPECT_EQ(ReadBytes(existing), "old");
    EXPECT_EQ(dryRun.WrittenPaths(), (Names{existing, fresh, index}));
    EXPECT_TRUE(dryRun.Exists(fresh));
    EXPECT_EQ(dryRun.ReadWholeFile(existing).value(), "new");
    EXPECT_EQ(dryRun.ReadWholeFile(index).value(), "");
    EXPECT_EQ(dryRun.ReadWholeFile(fresh).value(), "two");
}

}  // namespace
}  // namespace bladeway
