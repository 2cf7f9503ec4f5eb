#include <filesystem>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::RunTool;
using testing::TempFolder;

namespace fs = std::filesystem;

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
    testing::CliRun Generate(std::vector<std::string> args, const std::string& keyFile) {
        std::vector<std::string> all{"generate",
                                     "--settings",
                                     settings_,
                                     "--templates",
                                     templates_.Path().string(),
                                     "--dest",
                                     destination_.Path().string()};
        all.insert(all.end(), args.begin(), args.end());
        all.push_back(keyFile);
        return RunTool(all);
    }
    std::string KeyFile(std::string_view content) { return work_.Write("keys.dat", content); }

    void WriteTreeTemplate() {
        fs::create_directories(templates_.Path() / "SRG" / "M");
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
        testing::WriteBytes(templates_.File("INDICE.Prg"), testing::RawIndexRecord("MASTER"));
        fs::create_directories(destination_.Path() / "SRG" / "K");
    }

    bool DestinationIsEmpty() const { return fs::is_empty(destination_.Path()); }

    TempFolder work_;
    TempFolder templates_;
    TempFolder destination_;
    std::string settings_;
};

TEST_F(GenerateCommandTest, WorkedExampleFlatModeByteForByte) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto run = Generate({"--mode", "flat"}, KeyFile(kExampleKey));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(destination_.File("KEY1")), testing::kExampleFlatProgram);
    EXPECT_EQ(run.out,
              "column 1  KEY1  wrote " + destination_.File("KEY1") +
                  "  status ok\n1 key processed: 1 program written, 0 keys with problems\n");
}

TEST_F(GenerateCommandTest, WorkedExampleTreeModeByteForByteWithIndex) {
    WriteTreeTemplate();
    const auto run = Generate({"--mode", "tree", "--date", "12/31/01"}, KeyFile(kExampleKey));
    EXPECT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_EQ(ReadBytes(destination_.Path() / "SRG" / "K" / "EY1"), testing::kExampleTreeProgram);
    const std::string index = ReadBytes(destination_.File("INDICE.Prg"));
    ASSERT_EQ(index.size(), 82U);
    EXPECT_EQ(index.substr(0, 12), "KEY1        ");
    EXPECT_EQ(index.substr(38, 8), "12/31/01");
    EXPECT_NE(run.out.find("  index " + destination_.File("INDICE.Prg")), std::string::npos);
}

TEST_F(GenerateCommandTest, MissingTemplateGivesExitCode1AndSaysWhy) {
    const auto run = Generate({"--mode", "flat"}, KeyFile(KeyBlock("NOPE", "P1")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "column 1  P1  not written: template " + templates_.File("NOPE") +
                           " not found  status GNF\n"
                           "1 key processed: 0 programs written, 1 key with problems\n");
    EXPECT_TRUE(DestinationIsEmpty());
}

TEST_F(GenerateCommandTest, KeyWithoutTemplateNameSaysSo) {
    // An empty row 3 on the first key: the record still holds its initial NULs.
    const auto run = Generate({"--mode", "flat"}, KeyFile("K\r\n\r\n\r\nP1\r\n!\r\n"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "column 1  (no program name)  not written: no template name  status GNF\n"
              "1 key processed: 0 programs written, 1 key with problems\n");
}

TEST_F(GenerateCommandTest, FileErrorGivesExitCode1AndTheRunGoesOn) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    fs::create_directory(destination_.Path() / "P1");
    const auto run =
        Generate({"--mode", "flat"}, KeyFile(KeyBlock("MASTER", "P1") + KeyBlock("MASTER", "P2")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("column 1  P1  not written  status ok  error: cannot write"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("column 2  P2  wrote"), std::string::npos);
    EXPECT_NE(run.out.find("2 keys processed: 1 program written, 1 key with problems"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(destination_.File("P2")));
}

TEST_F(GenerateCommandTest, MissingTreeSubfolderIsAProblemOfThatKey) {
    WriteTreeTemplate();
    const auto run = Generate({"--mode", "tree"}, KeyFile(KeyBlock("MASTER", "P1")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("not written"), std::string::npos);
    EXPECT_NE(run.out.find("error: "), std::string::npos);
    EXPECT_FALSE(fs::exists(destination_.Path() / "SRG" / "P"));
}

TEST_F(GenerateCommandTest, DryRunWritesNothingAndReportsWhatWouldBeWritten) {
    WriteTreeTemplate();
    fs::remove(templates_.File("INDICE.Prg"));
    fs::create_directories(destination_.Path() / "SRG" / "P");
    const auto before = ReadBytes(templates_.Path() / "SRG" / "M" / "ASTER");
    const auto run = Generate({"--mode", "tree", "--dry-run"},
                              KeyFile(std::string(kExampleKey) + KeyBlock("MASTER", "P1")));
    // The template index is missing: INF, and a real run would create it.
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("would write " + (destination_.Path() / "SRG" / "K" / "EY1").string()),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("(dry run: nothing was written)"), std::string::npos);
    EXPECT_FALSE(fs::exists(templates_.File("INDICE.Prg")));
    EXPECT_TRUE(fs::is_empty(destination_.Path() / "SRG" / "K"));
    EXPECT_TRUE(fs::is_empty(destination_.Path() / "SRG" / "P"));
    EXPECT_EQ(ReadBytes(templates_.Path() / "SRG" / "M" / "ASTER"), before);
}

TEST_F(GenerateCommandTest, DryRunSeesItsOwnIndexUpdatesAndLeavesTheIndexAlone) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    const std::string old = testing::RawIndexRecord("AAA");
    testing::WriteBytes(destination_.File("INDICE.Prg"), old);
    const auto run = Generate({"--mode", "tree", "--dry-run", "--json"},
                              KeyFile(KeyBlock("MASTER", "P2") + KeyBlock("MASTER", "P1")));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["dryRun"], true);
    EXPECT_EQ(json["summary"]["written"], 2);
    EXPECT_EQ(json["keys"][1]["index"], destination_.File("INDICE.Prg"));
    EXPECT_EQ(ReadBytes(destination_.File("INDICE.Prg")), old);
    EXPECT_TRUE(fs::is_empty(destination_.Path() / "SRG" / "P"));
}

TEST_F(GenerateCommandTest, DryRunReportsAMissingDestinationFolder) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const std::string missing = destination_.File("gone");
    const auto run =
        RunTool({"generate", "--settings", settings_, "--templates", templates_.Path().string(),
                 "--dest", missing, "--mode", "flat", "--dry-run", KeyFile(kExampleKey)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("not written"), std::string::npos);
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(GenerateCommandTest, JsonHoldsOneEntryPerKeyAndASummary) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto run = Generate({"--mode", "flat", "--json"},
                              KeyFile(std::string(kExampleKey) + KeyBlock("NOPE", "P\xe9")));
    EXPECT_EQ(run.exitCode, 1);
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["mode"], "flat");
    EXPECT_EQ(json["dryRun"], false);
    ASSERT_EQ(json["keys"].size(), 2U);
    const auto& first = json["keys"][0];
    EXPECT_EQ(first["column"], 1);
    EXPECT_EQ(first["template"], "MASTER");
    EXPECT_EQ(first["program"], "KEY1");
    EXPECT_EQ(first["templatePath"], templates_.File("MASTER"));
    EXPECT_EQ(first["templateFound"], true);
    EXPECT_EQ(first["output"], destination_.File("KEY1"));
    EXPECT_EQ(first["written"], true);
    EXPECT_TRUE(first["index"].is_null());
    EXPECT_EQ(first["status"], "");
    EXPECT_TRUE(first["errors"].empty());
    const auto& second = json["keys"][1];
    EXPECT_EQ(second["program"], "P\xc3\xa9");  // Windows-1252 shown as UTF-8
    EXPECT_EQ(second["templateFound"], false);
    EXPECT_TRUE(second["output"].is_null());
    EXPECT_EQ(second["written"], false);
    EXPECT_EQ(second["status"], "GNF");
    EXPECT_EQ(json["summary"]["processed"], 2);
    EXPECT_EQ(json["summary"]["written"], 1);
    EXPECT_EQ(json["summary"]["problems"], 1);
}

TEST_F(GenerateCommandTest, KeysSelectsColumnsInColumnOrder) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    std::string keys;
    for (int i = 1; i <= 8; ++i)
        keys += KeyBlock("MASTER", "P" + std::to_string(i));
    const auto run = Generate({"--mode", "flat", "--json", "--keys", "7,2,5-6"}, KeyFile(keys));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    std::vector<int> columns;
    for (const auto& key : json["keys"])
        columns.push_back(key["column"]);
    EXPECT_EQ(columns, (std::vector<int>{2, 5, 6, 7}));
    for (int i = 1; i <= 8; ++i) {
        const bool selected = i == 2 || i == 5 || i == 6 || i == 7;
        EXPECT_EQ(fs::exists(destination_.File("P" + std::to_string(i))), selected) << i;
    }
}

TEST_F(GenerateCommandTest, UsageErrorsGiveOneLineAndExitCode2) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const std::string keys = KeyFile(KeyBlock("MASTER", "P1") + KeyBlock("MASTER", "P2"));
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--mode", "round"},
                                               {"--translate", "xy"},
                                               {"--keys", "0"},
                                               {"--keys", "3"},
                                               {"--keys", "2-1"},
                                               {"--keys", "1,,2"},
                                               {"--keys", "a"},
                                               {"--keys", ""},
                                               {"--date", "2024-07-04"},
                                               {"--date", "13/01/24"},
                                               {"--mirror-char", "ab"},
                                               {"--mirror-char", "\xe2\x9c\x93"},
                                               {"--bogus"}}) {
        const auto run = Generate(args, keys);
        EXPECT_EQ(run.exitCode, 2) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_TRUE(testing::IsOneLine(run.err)) << run.err;
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(DestinationIsEmpty());
    EXPECT_EQ(RunTool({"generate"}).exitCode, 2);
}

TEST_F(GenerateCommandTest, UnreadableKeyFileOrSettingsFileGivesExitCode2) {
    const auto missingKeys = Generate({}, work_.File("gone.dat"));
    EXPECT_EQ(missingKeys.exitCode, 2);
    EXPECT_NE(missingKeys.err.find("gone.dat"), std::string::npos);

    const auto folderKeys = Generate({}, work_.Path().string());
    EXPECT_EQ(folderKeys.exitCode, 2);

    const auto missingSettings = RunTool({"generate", "--settings", work_.File("none.INI"),
                                          "--templates", "t", "--dest", "d", KeyFile(kExampleKey)});
    EXPECT_EQ(missingSettings.exitCode, 2);
    EXPECT_NE(missingSettings.err.find("none.INI"), std::string::npos);
    EXPECT_TRUE(testing::IsOneLine(missingSettings.err));
}

TEST_F(GenerateCommandTest, EmptyFoldersAreRefusedRatherThanTheRoot) {
    const auto run =
        RunTool({"generate", "--settings", settings_, "--mode", "flat", KeyFile(kExampleKey)});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("--templates"), std::string::npos);
    const auto noDest = RunTool({"generate", "--settings", settings_, "--templates", "t", "--mode",
                                 "flat", KeyFile(kExampleKey)});
    EXPECT_EQ(noDest.exitCode, 2);
    EXPECT_NE(noDest.err.find("--dest"), std::string::npos);
}

TEST_F(GenerateCommandTest, FoldersAndTranslationComeFromTheSettingsFile) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)\r\n");
    testing::WriteBytes(settings_, "[Paths]\r\nTemplate=" + templates_.Path().string() +
                                       "\r\nDestination=" + destination_.Path().string() +
                                       "\r\n[Preferences]\r\nTranslateXL= 1\r\nTranslateXH= 0\r\n");
    const std::string keys = KeyFile("K\r\n\r\nT\r\nP1\r\n0\r\nD\r\nX=4\r\nL=3\r\n!\r\n");
    const auto run = RunTool({"generate", "--settings", settings_, "--mode", "flat", keys});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00X4Y3Z0T1\r\nG150(D) \r\n\r\n");

    const auto translated =
        RunTool({"generate", "--settings", settings_, "--mode", "flat", "--translate", "xh", keys});
    EXPECT_EQ(translated.exitCode, 0) << translated.err;
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00X3Y4Z0T1\r\nG150(D) \r\n\r\n");

    const auto none = RunTool(
        {"generate", "--settings", settings_, "--mode", "flat", "--translate", "none", keys});
    EXPECT_EQ(none.exitCode, 0) << none.err;
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00X3Y0Z0T1\r\nG150(D) \r\n\r\n");
}

TEST_F(GenerateCommandTest, CommandLineFoldersOverrideTheSettingsFile) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    testing::WriteBytes(settings_, "[Paths]\r\nTemplate=/nowhere\r\nDestination=/nowhere\r\n");
    const auto run = Generate({"--mode", "flat"}, KeyFile(kExampleKey));
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_TRUE(fs::exists(destination_.File("KEY1")));
}

TEST_F(GenerateCommandTest, MirrorCharacterOption) {
    templates_.Write("T", "G00T1\r\n(C)\r\n");
    const std::string keys = KeyFile("K\r\n\r\nT\r\nP1\r\n2\r\nD\r\n!\r\n");
    ASSERT_EQ(Generate({"--mode", "flat"}, keys).exitCode, 0);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00XYZT1\r\nG150(!!D) \r\n\r\n");
    ASSERT_EQ(Generate({"--mode", "flat", "--mirror-char", ""}, keys).exitCode, 0);
    EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00XYZT1\r\nG150(D) \r\n\r\n");
    // A character of the code page typed in UTF-8 is written as its Windows-1252 byte.
    ASSERT_EQ(Generate({"--mode", "flat", "--mirror-char", "\xc2\xa7"}, keys).exitCode, 0);
    EXPECT_EQ(ReadBytes(destination_.File("P1")),
              "G00XYZT1\r\nG150(\xa7\xa7"
              "D) \r\n\r\n");
}

TEST_F(GenerateCommandTest, IndexMessageGoesToStderrEachTime) {
    WriteTreeTemplate();
    fs::create_directories(destination_.Path() / "SRG" / "P");
    testing::WriteBytes(templates_.File("INDICE.Prg"), testing::RawIndexRecord("MASTER") + "x");
    const auto run =
        Generate({"--mode", "tree"}, KeyFile(KeyBlock("MASTER", "P1") + KeyBlock("MASTER", "P2")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "bladeway-cli: !!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!\n"
              "bladeway-cli: !!! PROBLEM DETECTED WITH INDICE.Prg FILE !!!\n");
    EXPECT_NE(run.out.find("status IFL"), std::string::npos);
    EXPECT_TRUE(fs::exists(destination_.Path() / "SRG" / "P" / "2"));
}

TEST_F(GenerateCommandTest, NoKeysIsNotAProblem) {
    const auto run = Generate({"--mode", "flat"}, KeyFile(""));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "0 keys processed: 0 programs written, 0 keys with problems\n");
}

TEST(GenerateHelp, ListsEveryOption) {
    const auto run = RunTool({"generate", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option :
         {"--settings", "--templates", "--dest", "--mode", "--mirror-char", "--translate", "--keys",
          "--date", "--dry-run", "--json", "KEYFILE"}) {
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    }
}

// The bundled example: templates in both layouts for every key of Harbor.dat.
class BundledExample : public ::testing::Test {
  protected:
    static fs::path Examples() { return testing::SourceDir() / "examples"; }
    TempFolder destination_;
};

TEST_F(BundledExample, FlatTemplatesMakeEveryProgram) {
    TempFolder work;
    const std::string settings = work.Write("Bladeway.INI", "");
    const auto flat = RunTool({"generate", "--settings", settings, "--templates",
                               (Examples() / "templates" / "flat").string(), "--dest",
                               destination_.Path().string(), "--mode", "flat",
                               (Examples() / "keys" / "Harbor.dat").string()});
    EXPECT_EQ(flat.exitCode, 0) << flat.out;
    // The first key, worked out by hand from the DZ120 template.
    EXPECT_EQ(ReadBytes(destination_.File("P1001")),
              "G00X31.5Y8.25Z2T1M6\r\n"
              "G150(!GRAND MASTER [GM]) A0.75\r\n"
              "!B1.2C0.95D1.4E0.6F0\r\n"
              "~R0=12.5|BLADE LENGTH\r\n"
              "~R1=-0.25|SHOULDER OFFSET\r\n"
              "~R2=3|CUT PASSES\r\n"
              "G17G90G54\r\nM03S2400\r\nM08\r\nG00Z25.\r\nM09\r\nM05\r\nG28Z0\r\nM30\r\n\r\n");
}

TEST_F(BundledExample, TreeTemplatesAndIndexMakeEveryProgramAndEntry) {
    TempFolder work;
    const std::string settings = work.Write("Bladeway.INI", "");
    fs::create_directories(destination_.Path() / "SRG" / "P");
    const auto tree = RunTool({"generate", "--settings", settings, "--templates",
                               (Examples() / "templates" / "tree").string(), "--dest",
                               destination_.Path().string(), "--mode", "tree", "--date", "07/04/24",
                               (Examples() / "keys" / "Harbor.dat").string()});
    EXPECT_EQ(tree.exitCode, 0) << tree.out;
    EXPECT_EQ(ReadBytes(destination_.Path() / "SRG" / "P" / "1001"),
              "G00X31.5Y8.25Z2T1M6\r\n"
              "G150(!GRAND MASTER [GM]) A0.75\r\n"
              "!B1.2C0.95D1.4E0.6F0\r\n"
              "G17G90G54\r\nM03S2400\r\nM08\r\nG00Z25.\r\nM09\r\nM05\r\nG28Z0\r\nM30\r\n\r\n");
    const std::string index = ReadBytes(destination_.File("INDICE.Prg"));
    ASSERT_EQ(index.size(), 12 * 82U);
    EXPECT_EQ(index.substr(0, 12), "P1001       ");
    EXPECT_EQ(index.substr(11 * 82, 12), "P3003       ");
}

TEST_F(BundledExample, TemplateIndexListsTheTemplatesInNameOrder) {
    const std::string index = ReadBytes(Examples() / "templates" / "tree" / "INDICE.Prg");
    ASSERT_EQ(index.size(), 4 * 82U);
    const std::vector<std::string> names{"DZ120       ", "DZ125       ", "FL6P        ",
                                         "KB20M       "};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(index.substr(i * 82, 12), names[i]);
        const std::string name = names[i].substr(0, names[i].find(' '));
        EXPECT_TRUE(fs::is_regular_file(Examples() / "templates" / "flat" / name)) << name;
        EXPECT_TRUE(fs::is_regular_file(Examples() / "templates" / "tree" / "SRG" /
                                        name.substr(0, 1) / name.substr(1)))
            << name;
    }
}

}  // namespace
}  // namespace bladeway
