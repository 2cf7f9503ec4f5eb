// The sheet and config commands, and arguments no command takes.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::IsOneLine;
using testing::ReadBytes;
using testing::RunTool;

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
        return nlohmann::json{{"column", 1}, {"row", row}, {"text", text}};
    };
    EXPECT_EQ(
        nlohmann::json::parse(run.out),
        (nlohmann::json{{"columns", 1},
                        {"rows", 2},
                        {"cells", {cell(1, "Ni\xc3\xb1o \xe2\x82\xac"), cell(2, " \xc2\x81 ")}}}));
}

TEST(SheetCommand, MissingFileOrFolderIsOneLineWithExitCode2) {
    testing::TempFolder folder;
    const auto run = RunTool({"sheet", folder.File("gone.dat")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    EXPECT_NE(run.err.find("gone.dat"), std::string::npos);
    const auto onFolder = RunTool({"sheet", folder.Path().string()});
    EXPECT_EQ(onFolder.exitCode, 2);
    EXPECT_TRUE(IsOneLine(onFolder.err)) << onFolder.err;
}

TEST(ConfigCommand, SetThenGetGoesThroughTheSettingsFile) {
    testing::TempFolder folder;
    const std::string ini = folder.File("Bladeway.INI");
    auto run = RunTool({"config", "--settings", ini, "set", "Paths", "Destination", "/srv/mill"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(ini), "[Paths]\r\nDestination=/srv/mill\r\n");
    run = RunTool({"config", "--settings", ini, "get", "paths", "DESTINATION"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "/srv/mill\n");
    // A missing key or the end marker prints an empty line.
    testing::WriteBytes(ini, "[Paths]\r\nSource=END.-\r\n");
    for (const char* key : {"Source", "Template"}) {
        run = RunTool({"config", "--settings", ini, "get", "Paths", key});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "\n");
    }
}

TEST(ConfigCommand, FailuresExitWith2AndKeepTheFile) {
    testing::TempFolder folder;
    const std::string ini = folder.Write("Bladeway.INI", "[Paths]\r\nSource=x\r\n");
    auto run = RunTool({"config", "--settings", ini, "set", "Paths", "Source", "a\nb"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    EXPECT_EQ(ReadBytes(ini), "[Paths]\r\nSource=x\r\n");
    run = RunTool({"config", "--settings", folder.File("none.INI"), "get", "P", "K"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    EXPECT_NE(run.err.find("none.INI"), std::string::npos);
    const std::string inMissing = (folder.Path() / "missing" / "Bladeway.INI").string();
    run = RunTool({"config", "--settings", inMissing, "set", "Paths", "Source", "x"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Bladeway.INI"), std::string::npos);
}

TEST(CommandLine, BadArgumentsGiveOneLineAndExitCode2HelpExitsWithZero) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"sheet"},
                                               {"sheet", "--bogus", "x.dat"},
                                               {"config", "get", "S"}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << args.size();
        EXPECT_TRUE(IsOneLine(run.err)) << run.err;
    }
    const auto run = RunTool({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("sheet"), std::string::npos);
    EXPECT_NE(run.out.find("config"), std::string::npos);
}

}  // namespace
}  // namespace bladeway
