#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "cli/cli_runner.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::RunTool;
using testing::TempFolder;

TEST(SheetCommand, PrintsCountsAndNonEmptyCellsForPeople) {
    TempFolder folder;
    const std::string path = folder.Write("k.dat", "K1\r\n\r\nSRG1\r\n!\r\nK2\r\n!\r\n");
    const auto run = RunTool({"sheet", path});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out,
              "Columns: 2\nRows: 3\n"
              "Column 1\n  1: K1\n  3: SRG1\n"
              "Column 2\n  1: K2\n");
    EXPECT_EQ(run.err, "");
}

TEST(SheetCommand, JsonHoldsCountsAndCellsDecodedFromWindows1252) {
    TempFolder folder;
    const std::string path = folder.Write("k.dat", "Ni\xf1o \x80\r\n \x81 \r\n!\r\n");
    const auto run = RunTool({"sheet", "--json", path});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["columns"], 1);
    EXPECT_EQ(json["rows"], 2);
    ASSERT_EQ(json["cells"].size(), 2U);
    EXPECT_EQ(json["cells"][0]["column"], 1);
    EXPECT_EQ(json["cells"][0]["row"], 1);
    EXPECT_EQ(json["cells"][0]["text"], "Ni\xc3\xb1o \xe2\x82\xac");
    EXPECT_EQ(json["cells"][1]["text"], " \xc2\x81 ");
}

TEST(SheetCommand, BundledExampleLoads) {
    const auto path = testing::SourceDir() / "examples" / "keys" / "Harbor.dat";
    const auto run = RunTool({"sheet", "--json", path.string()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["columns"], 12);
}

TEST(SheetCommand, MissingFileIsOneLineNamingItWithExitCode2) {
    TempFolder folder;
    const auto run = RunTool({"sheet", folder.File("gone.dat")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(testing::IsOneLine(run.err)) << run.err;
    EXPECT_NE(run.err.find("gone.dat"), std::string::npos);
}

TEST(SheetCommand, FolderInPlaceOfAFileIsRefused) {
    TempFolder folder;
    const auto run = RunTool({"sheet", folder.Path().string()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(testing::IsOneLine(run.err)) << run.err;
}

TEST(CommandLine, BadArgumentsGiveOneLineAndExitCode2) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"sheet"},
                                               {"sheet", "--bogus", "x.dat"},
                                               {"config", "get", "S"}}) {
        const auto run = RunTool(args);
        EXPECT_EQ(run.exitCode, 2) << args.size();
        EXPECT_TRUE(testing::IsOneLine(run.err)) << run.err;
    }
}

TEST(CommandLine, HelpExitsWithZero) {
    const auto run = RunTool({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("sheet"), std::string::npos);
    EXPECT_NE(run.out.find("config"), std::string::npos);
}

}  // namespace
}  // namespace bladeway
