#include <gtest/gtest.h>

#include "cli/cli_runner.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::ReadBytes;
using testing::RunTool;
using testing::TempFolder;

TEST(ConfigCommand, SetThenGetGoesThroughTheSettingsFile) {
    TempFolder folder;
    const std::string ini = folder.File("Bladeway.INI");
    auto run =
        RunTool({"config", "--settings", ini, "set", "Paths", "Destination", "/srv/millrun"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadBytes(ini), "[Paths]\r\nDestination=/srv/millrun\r\n");

    run = RunTool({"config", "--settings", ini, "get", "paths", "DESTINATION"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "/srv/millrun\n");
}

TEST(ConfigCommand, GetPrintsAnEmptyLineForAMissingKey) {
    TempFolder folder;
    const std::string ini = folder.Write("Bladeway.INI", "[Paths]\r\nSource=END.-\r\n");
    for (const char* key : {"Source", "Template"}) {
        const auto run = RunTool({"config", "--settings", ini, "get", "Paths", key});
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, "\n");
    }
}

TEST(ConfigCommand, GetFromAMissingFileNamesItWithExitCode2) {
    TempFolder folder;
    const auto run = RunTool({"config", "--settings", folder.File("none.INI"), "get", "P", "K"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(testing::IsOneLine(run.err)) << run.err;
    EXPECT_NE(run.err.find("none.INI"), std::string::npos);
}

TEST(ConfigCommand, RefusedValueKeepsTheFileAndExitsWith2) {
    TempFolder folder;
    const std::string ini = folder.Write("Bladeway.INI", "[Paths]\r\nSource=x\r\n");
    const auto run = RunTool({"config", "--settings", ini, "set", "Paths", "Source", "a\nb"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(testing::IsOneLine(run.err)) << run.err;
    EXPECT_EQ(ReadBytes(ini), "[Paths]\r\nSource=x\r\n");
}

TEST(ConfigCommand, UnwritableFolderExitsWith2) {
    TempFolder folder;
    const std::string ini = (folder.Path() / "missing" / "Bladeway.INI").string();
    const auto run = RunTool({"config", "--settings", ini, "set", "Paths", "Source", "x"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("Bladeway.INI"), std::string::npos);
}

}  // namespace
}  // namespace bladeway
