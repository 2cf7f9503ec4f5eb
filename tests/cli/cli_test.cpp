// The command-line tool: options, exit codes, the reports for people and as
// JSON, the dry run, messages on stderr, and the bundled example. Program
// bytes and index contents are checked where they are made, not here.
#include "cli/cli.h"

#include <filesystem>
#include <sstream>
#include <tuple>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bladeway/version.h"
#include "core/text/text.h"
#include "support/index_bytes.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using Json = nlohmann::json;
using Args = std::vector<std::string>;
namespace fs = std::filesystem;

struct CliRun {
    int exitCode = 0;
    std::string out, err;
};

CliRun RunTool(const Args& args) {
    std::ostringstream out, err;
    const int code = RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

bool IsOneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The worked example's key as a key data file holds it.
constexpr std::string_view kExampleKey =
    "[KEY]\r\nK1\r\n\r\nMASTER\r\nKEY1\r\n1\r\nKEY (A1)\r\n"
    "L=1.25\r\nS=0.5\r\nD=4.75\r\nV3=14\r\nR7=2\r\n!\r\n";

std::string KeyBlock(std::string_view templateName, std::string_view program) {
    return "K\r\n\r\n" + std::string(templateName) + "\r\n" + std::string(program) +
           "\r\n1\r\nD\r\nL=1\r\n!\r\n";
}

class GenerateCommandTest : public ::testing::Test {
  protected:
    GenerateCommandTest() { settings_ = work_.Write("Bladeway.INI", ""); }

    // Runs generate with the folders of this test and `args` before KEYFILE.
    Args All(const Args& args, const std::string& keyFile) const {
        // clang-format off
        Args all{"generate", "--settings", settings_, "--templates", templates_.Path().string(),
                 "--dest", destination_.Path().string()};
        // clang-format on
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(keyFile);
        return all;
    }
    CliRun Generate(const Args& args, const std::string& keyFile) {
        return RunTool(All(args, keyFile));
    }
    std::string KeyFile(std::string_view content) { return work_.Write("keys.dat", content); }
    void WriteTreeTemplate() {
        fs::create_directories(templates_.Path() / "SRG" / "M");
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
        testing::WriteBytes(templates_.File("INDICE.Prg"), testing::RawIndexRecord("MASTER"));
        fs::create_directories(destination_.Path() / "SRG" / "K");
        fs::create_directories(destination_.Path() / "SRG" / "P");
    }

    // The ID of the newest run kept for undo.
    static std::string NewestRun() { return RunTool({"runs", "list"}).out.substr(0, 19); }

    testing::TempFolder work_, templates_, destination_;
    std::string settings_;
    // The runs' journals go to a folder of the test's own (Linux, Windows).
    testing::ScopedEnvironment stateHome_{"XDG_STATE_HOME", work_.File("state")};
    testing::ScopedEnvironment localAppData_{"LOCALAPPDATA", work_.File("state")};
};

// The report for people, kept for undo; runs lists, shows and undoes the run.
TEST_F(GenerateCommandTest, AWrittenKeyIsReportedAndKeptForUndoThatRunsUndoes) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto run = Generate({"--mode", "flat"}, KeyFile(kExampleKey));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string id = NewestRun();
    EXPECT_EQ(run.out, "column A  KEY1  wrote " + destination_.File("KEY1") +
                           "  status ok\n1 key processed: 1 program written, 0 keys with "
                           "problems\nKept for undo as run " +
                           id + ": bladeway-cli runs undo " + id + "\n");
    EXPECT_TRUE(Has(RunTool({"runs", "show", id.substr(0, 17)}).out,
                    "created  " + destination_.File("KEY1")));
    EXPECT_EQ(RunTool({"runs", "undo", "--dry-run"}).exitCode, 0);
    EXPECT_TRUE(fs::exists(destination_.File("KEY1")));
    const auto undo = RunTool({"runs", "undo"});
    EXPECT_EQ(undo.exitCode, 0) << undo.out;
    EXPECT_EQ(undo.out.substr(0, undo.out.find('\n', 35)),
              "Undo of run " + id + "\nRemoved 1 file the run created")
        << undo.out;
    EXPECT_FALSE(fs::exists(destination_.File("KEY1")));
    const Json runs = Json::parse(RunTool({"runs", "list", "--json"}).out);
    ASSERT_EQ(runs.size(), 2U);
    EXPECT_EQ(runs[0]["undoes"], id);
    EXPECT_EQ(runs[1]["undoneBy"], runs[0]["id"]);
    const auto unknown = RunTool({"runs", "undo", "1999"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err, "bladeway-cli: no kept run has the ID '1999'\n");
}

TEST_F(GenerateCommandTest, AKeyWithAProblemIsReportedWithExitCodeOne) {
    const auto run = Generate({"--mode", "flat"}, KeyFile(KeyBlock("NOPE", "P1")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "column A  P1  not written: template " + templates_.File("NOPE") +
                           " not found  status GNF\n"
                           "1 key processed: 0 programs written, 1 key with problems\n");
}

TEST_F(GenerateCommandTest, DryRunWritesNothing) {
    WriteTreeTemplate();
    fs::remove(templates_.File("INDICE.Prg"));
    auto run = Generate({"--mode", "tree", "--dry-run"},
                        KeyFile(std::string(kExampleKey) + KeyBlock("MASTER", "P1")));
    // The template index is missing: INF, and a real run would create it.
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.out, "would write " + (destination_.Path() / "SRG" / "K" / "EY1").string()))
        << run.out;
    EXPECT_FALSE(fs::exists(templates_.File("INDICE.Prg")));
}

// A flat dry run with JSON of one key that can be written and one that cannot.
TEST_F(GenerateCommandTest, DryRunJsonSaysWhatWouldBeWrittenAndThatNothingWas) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto run = Generate({"--mode", "flat", "--dry-run", "--json"},
                              KeyFile(std::string(kExampleKey) + KeyBlock("NOPE", "P2")));
    const Json json = Json::parse(run.out, nullptr, false);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(json["dryRun"], true);
    for (const auto& [key, wouldWrite] : {std::pair{0U, true}, std::pair{1U, false}}) {
        EXPECT_EQ(json["keys"][key]["wouldWrite"], wouldWrite);
        EXPECT_EQ(json["keys"][key]["written"], false);
    }
    EXPECT_EQ(json["keys"][0]["output"], destination_.File("KEY1"));
    EXPECT_EQ(json["summary"], (Json{{"processed", 2},
                                     {"written", 0},
                                     {"wouldWrite", 1},
                                     {"problems", 1},
                                     {"notIndexed", 0},
                                     {"temporariesRemoved", 0}}));
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

// On stderr once per key that met it, and in the JSON with that key.
TEST_F(GenerateCommandTest, TheIndexMessageGoesToStderrAndJsonForTheKeysThatMetIt) {
    WriteTreeTemplate();
    testing::WriteBytes(templates_.File("INDICE.Prg"), testing::RawIndexRecord("MASTER") + "x");
    // The first key's program name is refused before the index is read.
    const std::string keys =
        KeyFile(KeyBlock("MASTER", "../P1") + KeyBlock("MASTER", "P2") + KeyBlock("MASTER", "P3"));
    const auto text = Generate({"--mode", "tree"}, keys);
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_EQ(text.err,
              "bladeway-cli: !!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!\n"
              "bladeway-cli: !!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!\n");
    const auto run = Generate({"--mode", "tree", "--json"}, keys);
    EXPECT_EQ(run.exitCode, 1);
    const Json json = Json::parse(run.out);
    EXPECT_EQ(json["keys"][0]["messages"], Json::array());
    EXPECT_EQ(json["keys"][1]["messages"],
              Json::array({"!!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!"}));
    EXPECT_EQ(json["keys"][1]["status"], "IFL");
}

// A damaged destination index is left alone without a message or a status
// (the report's words: ProcessingRunTest): the run still ends with 1, since
// the control will not find the programs.
TEST_F(GenerateCommandTest, AProgramLeftOutOfTheIndexEndsWithOneAndSaysWhy) {
    WriteTreeTemplate();
    testing::WriteBytes(destination_.File("INDICE.Prg"), std::string(100, 'x'));
    const auto text = Generate({"--mode", "tree"}, KeyFile(kExampleKey));
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_TRUE(Has(text.out, ", 1 program not entered in INDICE.Prg\n")) << text.out;
    const auto json = Generate({"--mode", "tree", "--json"}, KeyFile(kExampleKey));
    EXPECT_EQ(json.exitCode, 1);
    const Json document = Json::parse(json.out);
    const Json& outcome = document["keys"][0]["indexOutcome"];
    EXPECT_EQ(outcome["result"], "destinationIndexDamaged");
    EXPECT_EQ(outcome["path"], destination_.File("INDICE.Prg"));
    EXPECT_EQ(outcome["size"], 100);
    EXPECT_EQ(outcome["bytesPastLastRecord"], 18);
    EXPECT_EQ(document["keys"][0]["index"], nullptr);
    EXPECT_EQ(document["summary"]["notIndexed"], 1);
}

TEST_F(GenerateCommandTest, JsonHoldsOneEntryPerKeyAndASummary) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto run = Generate({"--mode", "flat", "--json"},
                              KeyFile(std::string(kExampleKey) + KeyBlock("NOPE", "P\xe9")));
    EXPECT_EQ(run.exitCode, 1);
    // clang-format off
    const auto key = [](int column, const char* letters, const char* templateName, const char* program,
                        const std::string& templatePath, bool found, const Json& output, const char* status,
                        const Json& fromEarlierKeys) {
        return Json{{"column", column}, {"columnLetters", letters}, {"template", templateName}, {"program", program},
                    {"templatePath", templatePath}, {"templateFound", found}, {"output", output},
                    {"written", found}, {"index", nullptr},
                    {"indexOutcome", {{"result", "noIndex"}, {"text", "no index (flat mode)"}}},
                    {"status", status}, {"statusFromColumn", nullptr}, {"fromEarlierKeys", fromEarlierKeys},
                    {"atInitialValues", Json::array()}, {"errors", Json::array()}, {"messages", Json::array()}};
    };
    const Json expected{{"mode", "flat"}, {"dryRun", false}, {"keyFileDamage", nullptr}, {"journal", NewestRun()}, {"journalProblem", nullptr},
        {"keys", {key(1, "A", "MASTER", "KEY1", templates_.File("MASTER"), true, destination_.File("KEY1"), "",
                      Json::array()),
                  // The program name shown as UTF-8; the second key's cells give no D, S, R3
                  // or R7, which the first key's stay in the record.
                  key(2, "B", "NOPE", "P\xc3\xa9", templates_.File("NOPE"), false, nullptr, "GNF",
                      {"D", "S", "R3", "R7"})}},
        {"otherWriters", Json::array()},
        {"summary", {{"processed", 2}, {"written", 1}, {"problems", 1}, {"notIndexed", 0},
                     {"temporariesRemoved", 0}}}};
    // clang-format on
    EXPECT_EQ(Json::parse(run.out), expected);
}

// Eight keys P1 to P8, each with its own program.
class GenerateKeysTest : public GenerateCommandTest {
  protected:
    GenerateKeysTest() {
        templates_.Write("MASTER", testing::kExampleTemplate);
        std::string keys;
        for (int i = 1; i <= 8; ++i)
            keys += KeyBlock("MASTER", "P" + std::to_string(i));
        keyFile_ = KeyFile(keys);
    }
    // The columns a run with `--keys list` processed, as its report lists them.
    std::vector<int> ColumnsProcessed(const std::string& list) {
        const auto run = Generate({"--mode", "flat", "--json", "--keys", list}, keyFile_);
        EXPECT_EQ(run.exitCode, 0) << list << ": " << run.err;
        std::vector<int> columns;
        const Json report = Json::parse(run.out, nullptr, false);
        if (!report.is_object())
            return columns;
        for (const auto& key : report.at("keys"))
            columns.push_back(key["column"]);
        return columns;
    }

    std::string keyFile_;
};

// Numbers and the grid's letters in any case, mixed.
TEST_F(GenerateKeysTest, SelectsColumnsInColumnOrderAndWritesOnlyTheirPrograms) {
    EXPECT_EQ(ColumnsProcessed("7,2,5-6"), (std::vector<int>{2, 5, 6, 7}));
    for (int i = 1; i <= 8; ++i)
        EXPECT_EQ(fs::exists(destination_.File("P" + std::to_string(i))),
                  i == 2 || (i > 4 && i < 8));
    for (const auto& [list, columns] : std::vector<std::pair<std::string, std::vector<int>>>{
             {"1,C-E", {1, 3, 4, 5}}, {"b-c, h", {2, 3, 8}}, {"2-d,G-8", {2, 3, 4, 7, 8}}}) {
        EXPECT_EQ(ColumnsProcessed(list), columns) << list;
    }
}

TEST_F(GenerateCommandTest, UsageAndFileErrorsGiveOneLineAndExitCode2) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const std::string keys = KeyFile(KeyBlock("MASTER", "P1") + KeyBlock("MASTER", "P2"));
    const std::string noSettings = work_.File("none.INI");
    // Each row: the arguments, and a name the message must hold. Empty folders
    // are refused rather than taken as the root.
    // clang-format off
    for (const auto& [args, named] : std::vector<std::pair<Args, std::string>>{
             {All({"--mode", "round"}, keys), ""}, {All({"--translate", "xy"}, keys), ""},
             {All({"--keys", "3"}, keys), "column 3 (C)"}, {All({"--keys", "2-1"}, keys), "'2-1' runs backwards"},
             {All({"--keys", "C"}, keys), "column 3 (C)"}, {All({"--keys", "a,B-A"}, keys), "'B-A' runs backwards"},
             {All({"--keys", "B3"}, keys), "'B3'"}, {All({"--keys", "\xc3\x84"}, keys), "grid's letters"},
             {All({"--keys", "A-"}, keys), "'A-'"}, {All({"--keys", "A,,B"}, keys), "key column"},
             {All({"--date", "13/01/24"}, keys), ""}, {All({"--mirror-char", "\xe2\x9c\x93"}, keys), ""},
             {All({}, work_.File("gone.dat")), "gone.dat"}, {All({}, work_.Path().string()), ""},
             {{"generate", "--settings", noSettings, "--templates", "t", "--dest", "d", keys}, "none.INI"},
             {{"generate", "--settings", settings_, "--mode", "flat", keys}, "--templates"}}) {
        // clang-format on
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << args[args.size() - 2] << " " << args.back();
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
        EXPECT_TRUE(Has(run.err, named)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

// The folders and options come from the settings file unless given.
class GenerateFromSettingsTest : public GenerateCommandTest {
  protected:
    GenerateFromSettingsTest() {
        templates_.Write("T", "G00X0Y0Z0T1\r\n(C)\r\n");
        testing::WriteBytes(settings_,
                            "[Paths]\r\nTemplate=" + templates_.Path().string() +
                                "\r\nDestination=" + destination_.Path().string() +
                                "\r\n[Preferences]\r\nTranslateXL= 1\r\nTranslateXH= 0\r\n");
    }
    // The program made with `options` and no folders given.
    std::string ProgramMadeWith(const Args& options) {
        Args args{"generate", "--settings", settings_, "--mode", "flat"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(KeyFile("K\r\n\r\nT\r\nP1\r\n2\r\nD\r\nX=4\r\nL=3\r\n!\r\n"));
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        return ReadBytes(destination_.File("P1"));
    }
};

TEST_F(GenerateFromSettingsTest, FoldersAndOptionsNotGivenComeFromItOptionsGivenOverrideIt) {
    EXPECT_EQ(ProgramMadeWith({}), "G00X4Y3Z0T1\r\nG150(!!D) \r\n\r\n");
    EXPECT_EQ(ProgramMadeWith({"--translate", "none", "--mirror-char", ""}),
              "G00X3Y0Z0T1\r\nG150(D) \r\n\r\n");
}

TEST_F(GenerateFromSettingsTest, TranslateTakesItsValuesInAnyLetterCase) {
    const std::string none = ProgramMadeWith({"--translate", "none"});
    for (const std::string value : {"xl", "xh"}) {
        const std::string translated = ProgramMadeWith({"--translate", value});
        ASSERT_NE(translated, none) << value;
        EXPECT_EQ(ProgramMadeWith({"--translate", ToUpperAscii(value)}), translated) << value;
    }
}

// A character of the code page typed in UTF-8 is written as its Windows-1252 byte.
TEST_F(GenerateFromSettingsTest, AMirrorCharacterInUtf8IsWrittenAsItsCodePageByte) {
    EXPECT_EQ(ProgramMadeWith({"--mirror-char", "\xc2\xa7"}),
              "G00X4Y3Z0T1\r\nG150(\xa7\xa7"
              "D) \r\n\r\n");
}

// The bundled example: templates in both layouts for every key of Harbor.dat,
// the index entries dated as --date says.
TEST(BundledExample, BothLayoutsMakeEveryProgramAndEntry) {
    const fs::path examples = testing::SourceDir() / "examples";
    testing::TempFolder work, flat, tree;
    fs::create_directories(tree.Path() / "SRG" / "P");
    for (const auto& [mode, destination] : {std::pair{"flat", &flat}, std::pair{"tree", &tree}}) {
        const auto run = RunTool({"generate", "--settings", work.Write("Bladeway.INI", ""),
                                  "--templates", (examples / "templates" / mode).string(), "--dest",
                                  destination->Path().string(), "--mode", mode, "--date",
                                  "07/04/24", (examples / "keys" / "Harbor.dat").string()});
        EXPECT_EQ(run.exitCode, 0) << run.out;
    }
    EXPECT_EQ(ReadBytes(flat.File("P1001")).substr(0, 19), "G00X31.5Y8.25Z2T1M6");
    EXPECT_TRUE(fs::exists(tree.Path() / "SRG" / "P" / "1001"));
    const std::string index = ReadBytes(tree.File("INDICE.Prg"));
    EXPECT_EQ(index.size(), 12 * 82U);
    EXPECT_EQ(index.substr(38, 8), "07/04/24");
}

// The index doctor: an INDICE.Prg shown, checked and repaired.
class IndexCommandTest : public ::testing::Test {
  protected:
    // A record of `name` dated 01/15/24 with X 1.25, Y 31.5, Z -0.5.
    static std::string Entry(std::string_view name) {
        std::string record = testing::WithBytes(testing::RawIndexRecord(name), 38, "01/15/24");
        std::string description = "KEY " + std::string(name);
        description.resize(25, ' ');
        record = testing::WithBytes(record, 13, description);
        record = testing::WithBytes(record, 54, testing::kFloat1_25);
        record = testing::WithBytes(record, 58, testing::kFloat31_5);
        return testing::WithBytes(record, 62, testing::kFloatMinus0_5);
    }
    std::string Index(const std::string& bytes) const { return folder_.Write("INDICE.Prg", bytes); }

    testing::TempFolder folder_;
};

TEST_F(IndexCommandTest, ShowPrintsEachRecordAndWhatLiesPastTheLast) {
    const std::string path = Index(Entry("P1001") + Entry("P1002") + "12345");
    const auto run = RunTool({"index", "show", path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, path +
                           ": 2 records, 169 bytes\n"
                           "#     Name          Description                Date      X           "
                           "Y           Z\n"
                           "1     P1001         KEY P1001                  01/15/24  1.25        "
                           "31.5        -0.5\n"
                           "2     P1002         KEY P1002                  01/15/24  1.25        "
                           "31.5        -0.5\n"
                           "5 bytes past record 2: 31 32 33 34 35\n");
    const auto raw = RunTool({"index", "show", "--raw", path});
    // Offset 12 first ('a' + 12), then 46 to 53, then 66 to 81.
    EXPECT_TRUE(Has(raw.out, "-0.5        " + std::string("6D") + " | ")) << raw.out;
    const Json json = Json::parse(RunTool({"index", "show", "--json", path}).out);
    EXPECT_EQ(json["records"][1]["name"], "P1002");
    EXPECT_EQ(json["records"][1]["x"], 1.25);
    EXPECT_EQ(json["bytesPastLastRecord"], 5);
    EXPECT_EQ(json["pastLastRecord"], "31 32 33 34 35");
}

TEST_F(IndexCommandTest, CheckExitsZeroForAUsableIndexOneForADamagedOneTwoForAnUnreadableOne) {
    const std::string good = folder_.Write("good.Prg", Entry("A") + Entry("B"));
    const std::string damaged = folder_.Write("bad.Prg", Entry("B") + Entry("A"));
    auto run = RunTool({"index", "check", good});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, good + ": a run can use it (164 bytes, 2 whole records)\n");
    // What the check says of a damaged file: IndexCheckTest.
    run = RunTool({"index", "check", good, damaged});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Has(run.out, "bladeway-cli index repair " + damaged + "\n")) << run.out;
    run = RunTool({"index", "check", damaged, folder_.File("missing.Prg")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    const Json json = Json::parse(RunTool({"index", "check", "--json", good, damaged}).out);
    EXPECT_EQ(json[0]["usable"], true);
    EXPECT_EQ(json[1]["usable"], false);
    EXPECT_EQ(json[1]["findings"][0]["record"], 2);
    EXPECT_EQ(json[1]["findings"][0]["blocksRun"], true);
}

TEST_F(IndexCommandTest, RepairKeepsTheOldFileBesideTheRepairedOne) {
    const std::string before = Entry("C") + Entry("A") + Entry("a") + "12345";
    const std::string path = Index(before);
    const auto dry = RunTool({"index", "repair", "--dry-run", path});
    EXPECT_EQ(dry.exitCode, 0) << dry.err;
    EXPECT_TRUE(Has(dry.out, path + ": would drop 5 bytes past the last whole record\n"));
    EXPECT_TRUE(Has(dry.out, path + ": would drop record 3 (a): an earlier record has its name"));
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_FALSE(fs::exists(path + ".bak"));

    const auto run = RunTool({"index", "repair", path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Has(run.out, path + ": repaired; the old file is kept as " + path + ".bak\n"));
    EXPECT_EQ(ReadBytes(path), Entry("A") + Entry("C"));
    EXPECT_EQ(ReadBytes(path + ".bak"), before);
    EXPECT_EQ(RunTool({"index", "check", path}).exitCode, 0);
    // A second repair finds nothing to do and keeps the backup of the first.
    const auto again = RunTool({"index", "repair", path});
    EXPECT_EQ(again.out, path + ": nothing to repair, a run can use it as it is\n");
    EXPECT_EQ(ReadBytes(path + ".bak"), before);
}

TEST_F(IndexCommandTest, RepairRefusesAFileThatIsNoIndexAndLeavesIt) {
    const std::string notAnIndex(3 * 82 + 7, '\x01');
    const std::string path = Index(notAnIndex);
    const auto run = RunTool({"index", "repair", path});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "bladeway-cli: " + path +
                           " only 0 of 3 records have a printable name: it does not read as an "
                           "index; left as it is\n");
    EXPECT_EQ(ReadBytes(path), notAnIndex);
    EXPECT_FALSE(fs::exists(path + ".bak"));
}

TEST(SheetCommand, PrintsCountsAndNonEmptyCellsForPeopleOrAsJson) {
    testing::TempFolder folder;
    auto run = RunTool({"sheet", folder.Write("k.dat", "K1\r\n\r\nSRG1\r\n!\r\nK2\r\n!\r\n")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Columns: 2\nRows: 3\nColumn 1\n  1: K1\n  3: SRG1\nColumn 2\n  1: K2\n");
    EXPECT_EQ(run.err, "");
    // Cells decoded from Windows-1252, undefined bytes as controls.
    run = RunTool({"sheet", "--json", folder.Write("k.dat", "Ni\xf1o \x80\r\n \x81 \r\n!\r\n")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto cell = [](int row, const char* text) {
        return Json{{"column", 1}, {"row", row}, {"text", text}};
    };
    // clang-format off
    EXPECT_EQ(Json::parse(run.out), (Json{{"columns", 1}, {"rows", 2}, {"damage", nullptr},
                                          {"cells", {cell(1, "Ni\xc3\xb1o \xe2\x82\xac"), cell(2, " \xc2\x81 ")}}}));
    // clang-format on
    // A file cut off inside a key loads as ever, and says so once.
    const std::string cut = folder.Write("cut.dat", "K1\r\n!\r\nK2\r\nA=1");
    run = RunTool({"sheet", "--json", cut});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "bladeway-cli: warning: " + cut +
                           ": the file ends inside key 2 (2 lines after its last \"!\"): that "
                           "key and any after it are missing, the file may be cut off\n");
    EXPECT_EQ(Json::parse(run.out)["damage"]["code"], "ends-inside-key");
    run = RunTool({"sheet", folder.File("gone.dat")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneLine(run.err) && Has(run.err, "gone.dat")) << run.err;
}

// Set then get go through the settings file; a failed set and a missing file
// exit with 2 and leave the file as it was.
TEST(ConfigCommand, SetThenGetGoesThroughTheSettingsFileAndAFailureExitsWithTwo) {
    testing::TempFolder folder;
    const std::string ini = folder.File("Bladeway.INI");
    auto run = RunTool({"config", "--settings", ini, "set", "Paths", "Destination", "/srv/mill"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(ini), "[Paths]\r\nDestination=/srv/mill\r\n");
    run = RunTool({"config", "--settings", ini, "get", "paths", "DESTINATION"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "/srv/mill\n");
    run = RunTool({"config", "--settings", ini, "set", "Paths", "Source", "a\nb"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    EXPECT_EQ(ReadBytes(ini), "[Paths]\r\nDestination=/srv/mill\r\n");
    run = RunTool({"config", "--settings", folder.File("none.INI"), "get", "P", "K"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(Has(run.err, "none.INI"));
}

TEST(ConfigCommand, SetWarnsOfNamesNothingReadsAndStoresThemAllTheSame) {
    testing::TempFolder folder;
    const std::string ini = folder.File("Bladeway.INI");
    // clang-format off
    for (const auto& [section, key, warned] : std::vector<std::tuple<std::string, std::string, std::string>>{
             {"Pahts", "Destinaton", "[Pahts]"}, {"Paths", "Destinaton", "Destinaton in [Paths]"},
             {"PATHS", "destination", ""}}) {
        // clang-format on
        const auto run = RunTool({"config", "set", section, key, "/srv", "--settings", ini});
        EXPECT_EQ(run.exitCode, 0);
        if (warned.empty()) {
            EXPECT_EQ(run.err, "");
        } else {
            EXPECT_TRUE(IsOneLine(run.err)) << run.err;
            EXPECT_TRUE(Has(run.err, "warning: ")) << run.err;
            EXPECT_TRUE(Has(run.err, warned)) << run.err;
        }
        EXPECT_EQ(RunTool({"config", "get", section, key, "--settings", ini}).out, "/srv\n");
    }
}

TEST(CommandLine, SettingsGoesBeforeOrAfterEveryCommandWord) {
    testing::TempFolder folder;
    const std::string ini = folder.Write("Bladeway.INI", "[Paths]\r\nSource=/k\r\n");
    const Args get{"Paths", "Source"};
    const auto settings = [&ini](Args args, std::size_t at) {
        args.insert(args.begin() + static_cast<std::ptrdiff_t>(at), {"--settings", ini});
        return args;
    };
    for (std::size_t at = 0; at <= 4; ++at) {
        const auto run = RunTool(settings({"config", "get", "Paths", "Source"}, at));
        EXPECT_EQ(run.out, "/k\n") << at << run.err;
    }
    for (const std::size_t at : {0U, 2U})
        EXPECT_EQ(RunTool(settings({"config", "path"}, at)).out, ini + "\n") << at;
    const std::string keys = folder.Write("k.dat", "K1\r\n!\r\n");
    for (const std::size_t at : {0U, 1U, 2U})
        EXPECT_EQ(RunTool(settings({"sheet", keys}, at)).exitCode, 0) << at;
    // generate reads the folders from the settings file named either way.
    testing::TempFolder templates, destination;
    templates.Write("T", "G00X0Y0Z0T1\r\n(C)\r\n");
    testing::WriteBytes(ini, "[Paths]\r\nTemplate=" + templates.Path().string() +
                                 "\r\nDestination=" + destination.Path().string() + "\r\n");
    const std::string key = folder.Write("t.dat", KeyBlock("T", "P1"));
    for (const std::size_t at : {0U, 1U, 4U}) {
        fs::remove(destination.File("P1"));
        const auto run = RunTool(settings({"generate", "--mode", "flat", key}, at));
        EXPECT_EQ(run.exitCode, 0) << at << run.err;
        EXPECT_TRUE(fs::exists(destination.File("P1"))) << at;
    }
}

TEST(CommandLine, UnknownCommandsAndOptionsAreNamedOneLineExitCode2) {
    testing::TempFolder folder;
    const std::string keys = folder.Write("k.dat", "K1\r\n!\r\n");
    // clang-format off
    for (const auto& [args, named] : std::vector<std::pair<Args, std::string>>{
             {{}, "sheet, config, generate, index or runs"}, {{"frobnicate"}, "unknown command 'frobnicate'"},
             {{"index"}, "show, check or repair"}, {{"index", "show"}, "FILE"},
             {{"--frob"}, "unknown option '--frob'"},
             {{"generate", "--frob", keys}, "unknown option '--frob' for generate"},
             {{"config", "get", "S", "K", "-x"}, "unknown option '-x' for config get"},
             {{"config"}, "get, set or path"}, {{"config", "frob"}, "unknown command 'config frob'"},
             {{"sheet", keys, "more.dat"}, "unexpected argument 'more.dat'"},
             {{"config", "get", "S"}, "KEY"}, {{"generate", "--mode", "round", keys}, "--mode"}}) {
        // clang-format on
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << named;
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
        EXPECT_TRUE(Has(run.err, named)) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(CommandLine, HelpAndVersionExitWithZeroAfterAnyCommandWord) {
    for (const Args& args : std::vector<Args>{
             {"--version"}, {"generate", "--version"}, {"config", "get", "--version"}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "bladeway-cli " + std::string(kVersion) + "\n");
    }
    for (const auto& [args, words] : std::vector<std::pair<Args, Args>>{
             {{"--help"}, {"sheet", "config", "--settings"}},
             {{"generate", "--help"}, {"--dry-run", "--settings"}}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0);
        for (const std::string& word : words)
            EXPECT_TRUE(Has(run.out, word)) << word << " not in " << run.out;
    }
}

}  // namespace
}  // namespace bladeway
