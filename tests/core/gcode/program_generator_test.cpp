// The generator on real files: template found (or not) by flat or tree name,
// program written byte for byte, and file problems reported.
#include "core/gcode/program_generator.h"

#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/fault_file_system.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::ExampleKey;
using testing::ReadBytes;
using testing::TempFolder;

namespace fs = std::filesystem;

struct Folders {
    TempFolder templates;
    TempFolder destination;

    GeneratorSettings Settings(bool flat, std::string_view mirror = "!") const {
        templatesPath = templates.Path().string();
        destinationPath = destination.Path().string();
        return {templatesPath, destinationPath, mirror, flat};
    }
    mutable std::string templatesPath;
    mutable std::string destinationPath;
};

// Files below `folder`, relative, sorted; temporary files included.
std::vector<std::string> FilesBelow(const fs::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), folder).string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(GenerateProgram, WorkedExampleFlatModeByteForByte) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const GenerationResult result = GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_TRUE(result.written) << result.error;
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.outputPath, folders.destination.File("KEY1"));
    EXPECT_EQ(ReadBytes(folders.destination.File("KEY1")), testing::kExampleFlatProgram);
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_EQ(FilesBelow(folders.destination.Path()), std::vector<std::string>{"KEY1"});
}

TEST(GenerateProgram, WorkedExampleTreeModeByteForByte) {
    Folders folders;
    fs::create_directories(folders.templates.Path() / "SRG" / "M");
    fs::create_directories(folders.destination.Path() / "SRG" / "K");
    testing::WriteBytes(folders.templates.Path() / "SRG" / "M" / "ASTER",
                        testing::kExampleTemplate);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const GenerationResult result = GenerateProgram(record, folders.Settings(false), Disk());
    EXPECT_TRUE(result.written) << result.error;
    const fs::path output = folders.destination.Path() / "SRG" / "K" / "EY1";
    EXPECT_EQ(result.outputPath, output.string());
    EXPECT_EQ(ReadBytes(output), testing::kExampleTreeProgram);
}

TEST(GenerateProgram, TreeNamesWithExtensionAndFolder00) {
    Folders folders;
    fs::create_directories(folders.templates.Path() / "SRG" / "00");
    fs::create_directories(folders.destination.Path() / "SRG" / "A");
    testing::WriteBytes(folders.templates.Path() / "SRG" / "00" / "M", testing::kExampleTemplate);
    KeyRecord record = ExampleKey("M", "ABCDEFGHIJKL");
    const GenerationResult result = GenerateProgram(record, folders.Settings(false), Disk());
    ASSERT_TRUE(result.written) << result.error;
    EXPECT_EQ(ReadBytes(folders.destination.Path() / "SRG" / "A" / "BCDEFGHI.JKL"),
              testing::kExampleTreeProgram);
}

TEST(GenerateProgram, MissingTemplateSetsGnfAndWritesNothing) {
    Folders folders;
    KeyRecord record = ExampleKey("NOPE", "KEY1");
    const GenerationResult result = GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_FALSE(result.written);
    EXPECT_EQ(record.Status.View(), "GNF");
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.templatePath, folders.templates.File("NOPE"));
    EXPECT_TRUE(FilesBelow(folders.destination.Path()).empty());
    // The description keeps its parentheses: the generator stopped before it.
    EXPECT_EQ(record.Description.View().substr(0, 8), "KEY (A1)");
}

TEST(GenerateProgram, TemplateOfTheFlatNameIsNotFoundInTreeMode) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    GenerateProgram(record, folders.Settings(false), Disk());
    EXPECT_EQ(record.Status.View(), "GNF");
}

TEST(GenerateProgram, EmptyTemplateNameIsNotFoundInEitherMode) {
    Folders folders;
    for (const bool flat : {true, false}) {
        KeyRecord record;  // the initial record: 12 NULs
        GenerateProgram(record, folders.Settings(flat), Disk());
        EXPECT_EQ(record.Status.View(), "GNF") << flat;
        KeyRecord blank;
        blank.TemplateName = "";
        const auto result = GenerateProgram(blank, folders.Settings(flat), Disk());
        EXPECT_EQ(blank.Status.View(), "GNF") << flat;
        EXPECT_EQ(result.error, "") << flat;
    }
}

TEST(GenerateProgram, AFolderNamedLikeTheTemplateIsNotATemplate) {
    Folders folders;
    fs::create_directory(folders.templates.Path() / "MASTER");
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_EQ(record.Status.View(), "GNF");
}

TEST(GenerateProgram, GnfStaysButLaterKeysAreStillGenerated) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    KeyRecord record = ExampleKey("NOPE", "KEY1");
    GenerateProgram(record, folders.Settings(true), Disk());
    record.TemplateName = "MASTER";
    const auto result = GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_TRUE(result.written);
    EXPECT_EQ(record.Status.View(), "GNF");
}

TEST(GenerateProgram, ExistingProgramIsReplacedWhole) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    folders.destination.Write("KEY1", std::string(5000, 'x'));
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    ASSERT_TRUE(GenerateProgram(record, folders.Settings(true), Disk()).written);
    EXPECT_EQ(ReadBytes(folders.destination.File("KEY1")), testing::kExampleFlatProgram);
}

TEST(GenerateProgram, TemplateEndingWithLineEndGivesTwoLineEndsAtTheEnd) {
    Folders folders;
    folders.templates.Write("T", "G00X0Y0Z0T1\r\n(C)\r\n!\r\nM30\r\n");
    KeyRecord record;
    record.TemplateName = "T";
    record.ProgramName = "P";
    record.Description = "K";
    ASSERT_TRUE(GenerateProgram(record, folders.Settings(true), Disk()).written);
    EXPECT_EQ(ReadBytes(folders.destination.File("P")), "G00X0Y0Z0T1\r\nG150(K) \r\nM30\r\n\r\n");
}

TEST(GenerateProgram, FolderEndingWithSeparatorGivesTwoInARow) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    const std::string templates = folders.templates.WithSeparator();
    const std::string destination = folders.destination.WithSeparator();
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, {templates, destination, "!", true}, Disk());
    EXPECT_TRUE(result.written) << result.error;
    EXPECT_EQ(result.outputPath, destination + "/KEY1");
    EXPECT_EQ(ReadBytes(folders.destination.File("KEY1")), testing::kExampleFlatProgram);
}

TEST(GenerateProgram, MissingDestinationFolderIsReportedAndLeavesNoFile) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    const std::string missing = folders.destination.File("gone");
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result =
        GenerateProgram(record, {folders.templates.Path().string(), missing, "!", true}, Disk());
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("KEY1"), std::string::npos) << result.error;
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_FALSE(fs::exists(missing));
}

TEST(GenerateProgram, MissingTreeSubfolderIsReportedNotCreated) {
    Folders folders;
    fs::create_directories(folders.templates.Path() / "SRG" / "M");
    testing::WriteBytes(folders.templates.Path() / "SRG" / "M" / "ASTER",
                        testing::kExampleTemplate);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, folders.Settings(false), Disk());
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.empty());
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_TRUE(FilesBelow(folders.destination.Path()).empty());
    EXPECT_FALSE(fs::exists(folders.destination.Path() / "SRG"));
}

TEST(GenerateProgram, ProgramPathThatIsAFolderIsReported) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    fs::create_directory(folders.destination.Path() / "KEY1");
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("folder"), std::string::npos) << result.error;
    EXPECT_TRUE(fs::is_directory(folders.destination.Path() / "KEY1"));
}

TEST(GenerateProgram, ReadOnlyDestinationIsReportedAndLeavesTheOldProgram) {
    if (testing::RunningAsRoot())
        GTEST_SKIP() << "permissions do not bind root";
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    folders.destination.Write("KEY1", "old");
    fs::permissions(folders.destination.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.error.empty());
    EXPECT_EQ(ReadBytes(folders.destination.File("KEY1")), "old");
}

TEST(GenerateProgram, FullDiskIsReportedAndLeavesTheOldProgram) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    folders.destination.Write("KEY1", "old");
    testing::FaultFileSystem faults;
    faults.FailWrites(folders.destination.File("KEY1"));
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, folders.Settings(true), faults);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("No space"), std::string::npos);
    EXPECT_EQ(ReadBytes(folders.destination.File("KEY1")), "old");
}

TEST(GenerateProgram, UnreadableTemplateIsReportedWithoutStatus) {
    Folders folders;
    const std::string path = folders.templates.Write("MASTER", testing::kExampleTemplate);
    testing::FaultFileSystem faults;
    faults.FailReads(path);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, folders.Settings(true), faults);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("MASTER"), std::string::npos);
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_EQ(faults.WriteAttempts(), 0);
}

TEST(GenerateProgram, NamesThatWouldLeaveTheirFolderAreRefused) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    for (const std::string_view name : {"../KEY1", "..", ".", "A/B", "A\\B"}) {
        KeyRecord record = ExampleKey("MASTER", name);
        const auto result = GenerateProgram(record, folders.Settings(true), Disk());
        EXPECT_FALSE(result.written) << name;
        EXPECT_NE(result.error, "") << name;
    }
    // In tree mode a name whose parts would read "." or "..".
    fs::create_directories(folders.templates.Path() / "SRG" / "M");
    testing::WriteBytes(folders.templates.Path() / "SRG" / "M" / "ASTER",
                        testing::kExampleTemplate);
    for (const std::string_view name : {"A.", "..", ".X", "A/B"}) {
        KeyRecord record = ExampleKey("MASTER", name);
        const auto result = GenerateProgram(record, folders.Settings(false), Disk());
        EXPECT_FALSE(result.written) << name;
        EXPECT_NE(result.error, "") << name;
        EXPECT_TRUE(IsBlank(record.Status)) << name;
    }
    KeyRecord climbing = ExampleKey("../x/MASTER", "KEY1");
    const auto result = GenerateProgram(climbing, folders.Settings(true), Disk());
    EXPECT_EQ(climbing.Status.View(), "GNF");
    EXPECT_NE(result.error.find("template name"), std::string::npos);
    EXPECT_TRUE(FilesBelow(folders.destination.Path()).empty());
}

TEST(GenerateProgram, ProgramNameOfNulsIsRefused) {
    Folders folders;
    folders.templates.Write("MASTER", testing::kExampleTemplate);
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    record.ProgramName = KeyRecord{}.ProgramName;
    const auto result = GenerateProgram(record, folders.Settings(true), Disk());
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.error, "the key has no program name");
    EXPECT_TRUE(FilesBelow(folders.destination.Path()).empty());
}

TEST(NamedFilePath, FlatAndTreeNames) {
    EXPECT_EQ(NamedFilePath("/t", "  AB12  ", true), "/t/AB12");
    EXPECT_EQ(NamedFilePath("/t", "AB12", false), "/t/SRG/A/B12");
    EXPECT_EQ(NamedFilePath("/t", "A", false), "/t/SRG/00/A");
    EXPECT_EQ(NamedFilePath("/t", "", false), "");
    EXPECT_EQ(NamedFilePath("/t", "", true), "");
    EXPECT_EQ(NamedFilePath("/t", ".X", true), "/t/.X");
    EXPECT_EQ(NamedFilePath("/t", "ABCDEFGHI..", false), "/t/SRG/A/BCDEFGHI...");
}

}  // namespace
}  // namespace bladeway
