// The generate command: options, exit codes, the report for people and as
// JSON, the dry run, and the bundled example.
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
using Json = nlohmann::json;
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
        fs::create_directories(destination_.Path() / "SRG" / "P");
    }

    testing::TempFolder work_;
    testing::TempFolder templates_;
    testing::TempFolder destination_;
    std::string settings_;
};

TEST_F(GenerateCommandTest, WorkedExampleInBothModesWithTheReportForPeople) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    auto run = Generate({"--mode", "flat"}, KeyFile(kExampleKey));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadBytes(destination_.File("KEY1")), testing::kExampleFlatProgram);
    EXPECT_EQ(run.out,
              "column 1  KEY1  wrote " + destination_.File("KEY1") +
                  "  status ok\n1 key processed: 1 program written, 0 keys with problems\n");
    WriteTreeTemplate();
    run = Generate({"--mode", "tree", "--date", "12/31/01"}, KeyFile(kExampleKey));
    EXPECT_EQ(run.exitCode, 0) << run.err << run.out;
    EXPECT_EQ(ReadBytes(destination_.Path() / "SRG" / "K" / "EY1"), testing::kExampleTreeProgram);
    const std::string index = ReadBytes(destination_.File("INDICE.Prg"));
    ASSERT_EQ(index.size(), 82U);
    EXPECT_EQ(index.substr(0, 12) + index.substr(38, 8), "KEY1        12/31/01");
    EXPECT_NE(run.out.find("  index " + destination_.File("INDICE.Prg")), std::string::npos);
    EXPECT_EQ(Generate({"--mode", "flat"}, KeyFile("")).out,
              "0 keys processed: 0 programs written, 0 keys with problems\n");
}

TEST_F(GenerateCommandTest, KeysWithProblemsGiveExitCode1AndSayWhy) {
    auto run = Generate({"--mode", "flat"}, KeyFile(KeyBlock("NOPE", "P1")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "column 1  P1  not written: template " + templates_.File("NOPE") +
                           " not found  status GNF\n"
                           "1 key processed: 0 programs written, 1 key with problems\n");
    // An empty row 3 on the first key: the record still holds its initial NULs.
    run = Generate({"--mode", "flat"}, KeyFile("K\r\n\r\n\r\nP1\r\n!\r\n"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out,
              "column 1  (no program name)  not written: no template name  status GNF\n"
              "1 key processed: 0 programs written, 1 key with problems\n");
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
    // A file error is that key's problem; the run goes on.
    templates_.Write("MASTER", testing::kExampleTemplate);
    fs::create_directory(destination_.Path() / "P1");
    run =
        Generate({"--mode", "flat"}, KeyFile(KeyBlock("MASTER", "P1") + KeyBlock("MASTER", "P2")));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("column 1  P1  not written  status ok  error: cannot write"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("column 2  P2  wrote"), std::string::npos);
    EXPECT_NE(run.out.find("2 keys processed: 1 program written, 1 key with problems"),
              std::string::npos);
}

TEST_F(GenerateCommandTest, IndexMessageGoesToStderrEachTime) {
    WriteTreeTemplate();
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

TEST_F(GenerateCommandTest, DryRunWritesNothingAndSeesItsOwnWrites) {
    WriteTreeTemplate();
    fs::remove(templates_.File("INDICE.Prg"));
    auto run = Generate({"--mode", "tree", "--dry-run"},
                        KeyFile(std::string(kExampleKey) + KeyBlock("MASTER", "P1")));
    // The template index is missing: INF, and a real run would create it.
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.out.find("would write " + (destination_.Path() / "SRG" / "K" / "EY1").string()),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("(dry run: nothing was written)"), std::string::npos);
    EXPECT_FALSE(fs::exists(templates_.File("INDICE.Prg")));

    testing::WriteBytes(templates_.File("INDICE.Prg"), testing::RawIndexRecord("MASTER"));
    const std::string old = testing::RawIndexRecord("AAA");
    testing::WriteBytes(destination_.File("INDICE.Prg"), old);
    run = Generate({"--mode", "tree", "--dry-run", "--json"},
                   KeyFile(KeyBlock("MASTER", "P2") + KeyBlock("MASTER", "P1")));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const auto json = Json::parse(run.out);
    EXPECT_EQ(json["dryRun"], true);
    EXPECT_EQ(json["summary"]["written"], 2);
    EXPECT_EQ(json["keys"][1]["index"], destination_.File("INDICE.Prg"));
    EXPECT_EQ(ReadBytes(destination_.File("INDICE.Prg")), old);
    EXPECT_TRUE(fs::is_empty(destination_.Path() / "SRG" / "K"));
    EXPECT_TRUE(fs::is_empty(destination_.Path() / "SRG" / "P"));
}

TEST_F(GenerateCommandTest, JsonHoldsOneEntryPerKeyAndASummary) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    const auto run = Generate({"--mode", "flat", "--json"},
                              KeyFile(std::string(kExampleKey) + KeyBlock("NOPE", "P\xe9")));
    EXPECT_EQ(run.exitCode, 1);
    const Json expected{{"mode", "flat"},
                        {"dryRun", false},
                        {"keys",
                         {{{"column", 1},
                           {"template", "MASTER"},
                           {"program", "KEY1"},
                           {"templatePath", templates_.File("MASTER")},
                           {"templateFound", true},
                           {"output", destination_.File("KEY1")},
                           {"written", true},
                           {"index", nullptr},
                           {"status", ""},
                           {"errors", Json::array()}},
                          {{"column", 2},
                           {"template", "NOPE"},
                           {"program", "P\xc3\xa9"},  // shown as UTF-8
                           {"templatePath", templates_.File("NOPE")},
                           {"templateFound", false},
                           {"output", nullptr},
                           {"written", false},
                           {"index", nullptr},
                           {"status", "GNF"},
                           {"errors", Json::array()}}}},
                        {"summary", {{"processed", 2}, {"written", 1}, {"problems", 1}}}};
    EXPECT_EQ(Json::parse(run.out), expected);
}

TEST_F(GenerateCommandTest, KeysSelectsColumnsInColumnOrder) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    std::string keys;
    for (int i = 1; i <= 8; ++i)
        keys += KeyBlock("MASTER", "P" + std::to_string(i));
    const auto run = Generate({"--mode", "flat", "--json", "--keys", "7,2,5-6"}, KeyFile(keys));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<int> columns;
    const Json json = Json::parse(run.out);
    for (const auto& key : json["keys"])
        columns.push_back(key["column"]);
    EXPECT_EQ(columns, (std::vector<int>{2, 5, 6, 7}));
    for (int i = 1; i <= 8; ++i) {
        const bool selected = i == 2 || i == 5 || i == 6 || i == 7;
        EXPECT_EQ(fs::exists(destination_.File("P" + std::to_string(i))), selected) << i;
    }
}

TEST_F(GenerateCommandTest, UsageAndFileErrorsGiveOneLineAndExitCode2) {
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
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
    EXPECT_EQ(RunTool({"generate"}).exitCode, 2);
    const auto missingKeys = Generate({}, work_.File("gone.dat"));
    EXPECT_EQ(missingKeys.exitCode, 2);
    EXPECT_NE(missingKeys.err.find("gone.dat"), std::string::npos);
    EXPECT_EQ(Generate({}, work_.Path().string()).exitCode, 2);
    const auto missingSettings = RunTool({"generate", "--settings", work_.File("none.INI"),
                                          "--templates", "t", "--dest", "d", keys});
    EXPECT_EQ(missingSettings.exitCode, 2);
    EXPECT_NE(missingSettings.err.find("none.INI"), std::string::npos);
    EXPECT_TRUE(testing::IsOneLine(missingSettings.err));
    // Empty folders are refused rather than taken as the root.
    const auto noTemplates = RunTool({"generate", "--settings", settings_, "--mode", "flat", keys});
    EXPECT_EQ(noTemplates.exitCode, 2);
    EXPECT_NE(noTemplates.err.find("--templates"), std::string::npos);
    const auto noDest =
        RunTool({"generate", "--settings", settings_, "--templates", "t", "--mode", "flat", keys});
    EXPECT_EQ(noDest.exitCode, 2);
    EXPECT_NE(noDest.err.find("--dest"), std::string::npos);
}

TEST_F(GenerateCommandTest, FoldersAndTranslationFromTheSettingsFileUnlessGiven) {
    templates_.Write("T", "G00X0Y0Z0T1\r\n(C)\r\n");
    testing::WriteBytes(settings_, "[Paths]\r\nTemplate=" + templates_.Path().string() +
                                       "\r\nDestination=" + destination_.Path().string() +
                                       "\r\n[Preferences]\r\nTranslateXL= 1\r\nTranslateXH= 0\r\n");
    const std::string keys = KeyFile("K\r\n\r\nT\r\nP1\r\n0\r\nD\r\nX=4\r\nL=3\r\n!\r\n");
    for (const auto& [translate, program] : std::vector<std::pair<std::string, std::string>>{
             {"", "G00X4Y3Z0T1"}, {"xh", "G00X3Y4Z0T1"}, {"none", "G00X3Y0Z0T1"}}) {
        std::vector<std::string> args{"generate", "--settings", settings_, "--mode", "flat", keys};
        if (!translate.empty())
            args.insert(args.begin() + 5, {"--translate", translate});
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(ReadBytes(destination_.File("P1")), program + "\r\nG150(D) \r\n\r\n");
    }
    testing::WriteBytes(settings_, "[Paths]\r\nTemplate=/nowhere\r\nDestination=/nowhere\r\n");
    fs::remove(destination_.File("P1"));
    EXPECT_EQ(Generate({"--mode", "flat"}, keys).exitCode, 0);
    EXPECT_TRUE(fs::exists(destination_.File("P1")));
}

TEST_F(GenerateCommandTest, MirrorCharacterOption) {
    templates_.Write("T", "G00T1\r\n(C)\r\n");
    const std::string keys = KeyFile("K\r\n\r\nT\r\nP1\r\n2\r\nD\r\n!\r\n");
    // A character of the code page typed in UTF-8 is written as its Windows-1252 byte.
    for (const auto& [option, mirror] : std::vector<std::pair<std::string, std::string>>{
             {"!", "!!"}, {"", ""}, {"\xc2\xa7", "\xa7\xa7"}}) {
        ASSERT_EQ(Generate({"--mode", "flat", "--mirror-char", option}, keys).exitCode, 0);
        EXPECT_EQ(ReadBytes(destination_.File("P1")), "G00XYZT1\r\nG150(" + mirror + "D) \r\n\r\n");
    }
}

TEST(GenerateHelp, ListsEveryOption) {
    const auto run = RunTool({"generate", "--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--settings", "--templates", "--dest", "--mode", "--mirror-char",
                               "--translate", "--keys", "--date", "--dry-run", "--json", "KEYFILE"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

// The bundled example: templates in both layouts for every key of Harbor.dat,
// the first key's programs worked out by hand from the DZ120 template.
TEST(BundledExample, BothLayoutsMakeEveryProgramAndEntry) {
    const fs::path examples = testing::SourceDir() / "examples";
    testing::TempFolder work;
    testing::TempFolder flat;
    testing::TempFolder tree;
    fs::create_directories(tree.Path() / "SRG" / "P");
    for (const auto& [mode, destination] : {std::pair{"flat", &flat}, std::pair{"tree", &tree}}) {
        const auto run = RunTool({"generate", "--settings", work.Write("Bladeway.INI", ""),
                                  "--templates", (examples / "templates" / mode).string(), "--dest",
                                  destination->Path().string(), "--mode", mode, "--date",
                                  "07/04/24", (examples / "keys" / "Harbor.dat").string()});
        EXPECT_EQ(run.exitCode, 0) << run.out;
    }
    const std::string head =
        "G00X31.5Y8.25Z2T1M6\r\nG150(!GRAND MASTER [GM]) A0.75\r\n!B1.2C0.95D1.4E0.6F0\r\n";
    const std::string body =
        "G17G90G54\r\nM03S2400\r\nM08\r\nG00Z25.\r\nM09\r\nM05\r\nG28Z0\r\nM30\r\n\r\n";
    EXPECT_EQ(
        ReadBytes(flat.File("P1001")),
        head + "~R0=12.5|BLADE LENGTH\r\n~R1=-0.25|SHOULDER OFFSET\r\n~R2=3|CUT PASSES\r\n" + body);
    EXPECT_EQ(ReadBytes(tree.Path() / "SRG" / "P" / "1001"), head + body);
    const std::string index = ReadBytes(tree.File("INDICE.Prg"));
    ASSERT_EQ(index.size(), 12 * 82U);
    EXPECT_EQ(index.substr(0, 12) + index.substr(11 * 82, 12), "P1001       P3003       ");
    // The template index lists the templates of both layouts in name order.
    const std::string templates = ReadBytes(examples / "templates" / "tree" / "INDICE.Prg");
    ASSERT_EQ(templates.size(), 4 * 82U);
    const std::vector<std::string> names{"DZ120", "DZ125", "FL6P", "KB20M"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(templates.substr(i * 82, 12), (names[i] + std::string(12, ' ')).substr(0, 12));
        EXPECT_TRUE(fs::is_regular_file(examples / "templates" / "flat" / names[i])) << names[i];
        EXPECT_TRUE(fs::is_regular_file(examples / "templates" / "tree" / "SRG" /
                                        names[i].substr(0, 1) / names[i].substr(1)))
            << names[i];
    }
}

}  // namespace
}  // namespace bladeway
