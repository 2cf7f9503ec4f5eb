// The generator on real files: template found (or not) by flat or tree name,
// program written byte for byte, and file problems reported.
#include "core/gcode/program_generator.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/fault_file_system.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::ExampleKey;
using testing::ReadBytes;
namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class GenerateProgramTest : public ::testing::Test {
  protected:
    GenerationResult Generate(KeyRecord& record, bool flat, FileSystem& fileSystem = Disk()) {
        templatesPath_ = templates_.Path().string();
        destinationPath_ = destination_.Path().string();
        return GenerateProgram(record, {templatesPath_, destinationPath_, "!", flat}, fileSystem);
    }
    void WriteTreeTemplate() {
        fs::create_directories(templates_.Path() / "SRG" / "M");
        testing::WriteBytes(templates_.Path() / "SRG" / "M" / "ASTER", testing::kExampleTemplate);
    }
    // Files below the destination, relative, sorted; temporary files included.
    Names Written() const {
        Names files;
        for (const auto& entry : fs::recursive_directory_iterator(destination_.Path())) {
            if (entry.is_regular_file())
                files.push_back(fs::relative(entry.path(), destination_.Path()).string());
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    testing::TempFolder templates_;
    testing::TempFolder destination_;
    std::string templatesPath_;
    std::string destinationPath_;
};

TEST_F(GenerateProgramTest, TemplateNotFoundSetsGnfWhichStaysWhileLaterKeysAreWritten) {
    templates_.Write("MASTER", testing::kExampleTemplate);  // a flat name only
    fs::create_directory(templates_.Path() / "FOLDER");
    KeyRecord missing = ExampleKey("NOPE", "KEY1");
    const GenerationResult result = Generate(missing, true);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(result.error, "");
    EXPECT_EQ(result.templatePath, templates_.File("NOPE"));
    EXPECT_EQ(missing.Status.View(), "GNF");
    // The description keeps its parentheses: the generator stopped before it.
    EXPECT_EQ(missing.Description.View().substr(0, 8), "KEY (A1)");
    for (const bool flat : {true, false}) {
        KeyRecord initial;  // 12 NULs
        KeyRecord blank = ExampleKey("", "KEY1");
        KeyRecord folder = ExampleKey("FOLDER", "KEY1");
        KeyRecord flatName = ExampleKey("MASTER", "KEY1");
        for (KeyRecord* record : {&initial, &blank, &folder, &flatName}) {
            if (record == &flatName && flat)
                continue;
            EXPECT_EQ(Generate(*record, flat).error, "") << flat;
            EXPECT_EQ(record->Status.View(), "GNF") << flat << record->TemplateName.View();
        }
    }
    EXPECT_TRUE(Written().empty());
    missing.TemplateName = "MASTER";
    EXPECT_TRUE(Generate(missing, true).written);
    EXPECT_EQ(missing.Status.View(), "GNF");
}

TEST_F(GenerateProgramTest, FolderEndingWithSeparatorGivesTwoInARowAndTheOldProgramGoes) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    destination_.Write("KEY1", std::string(5000, 'x'));
    const std::string templates = templates_.WithSeparator();
    const std::string destination = destination_.WithSeparator();
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const auto result = GenerateProgram(record, {templates, destination, "!", true}, Disk());
    EXPECT_TRUE(result.written) << result.error;
    EXPECT_EQ(result.outputPath, destination + "/KEY1");
    EXPECT_EQ(ReadBytes(destination_.File("KEY1")), testing::kExampleFlatProgram);
}

TEST_F(GenerateProgramTest, UnreadableTemplateIsReportedWithoutStatusAndWritesNothing) {
    testing::FaultFileSystem faults;
    faults.FailReads(templates_.Write("MASTER", testing::kExampleTemplate));
    KeyRecord record = ExampleKey("MASTER", "KEY1");
    const GenerationResult result = Generate(record, true, faults);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("MASTER"), std::string::npos);
    EXPECT_TRUE(IsBlank(record.Status));
    EXPECT_EQ(faults.WriteAttempts(), 0);
}

TEST_F(GenerateProgramTest, NamesThatWouldLeaveTheirFolderAreRefused) {
    templates_.Write("MASTER", testing::kExampleTemplate);
    WriteTreeTemplate();
    for (const auto& [name, flat] :
         std::vector<std::pair<std::string_view, bool>>{{"../KEY1", true},
                                                        {"..", true},
                                                        {".", true},
                                                        {"A/B", true},
                                                        {"A\\B", true},
                                                        {"A.", false},
                                                        {"..", false},
                                                        {".X", false},
                                                        {"A/B", false}}) {
        KeyRecord record = ExampleKey("MASTER", name);
        const auto result = Generate(record, flat);
        EXPECT_FALSE(result.written) << name;
        EXPECT_NE(result.error, "") << name;
        EXPECT_TRUE(IsBlank(record.Status)) << name;
    }
    KeyRecord nuls = ExampleKey("MASTER", "KEY1");
    nuls.ProgramName = KeyRecord{}.ProgramName;
    EXPECT_EQ(Generate(nuls, true).error, "the key has no program name");
    KeyRecord climbing = ExampleKey("../x/MASTER", "KEY1");
    EXPECT_NE(Generate(climbing, true).error.find("template name"), std::string::npos);
    EXPECT_EQ(climbing.Status.View(), "GNF");
    EXPECT_TRUE(Written().empty());
}

TEST(NamedFilePath, FlatAndTreeNames) {
    for (const auto& [name, flat, path] :
         std::vector<std::tuple<std::string_view, bool, std::string_view>>{
             {"  AB12  ", true, "/t/AB12"},
             {"AB12", false, "/t/SRG/A/B12"},
             {"A", false, "/t/SRG/00/A"},
             {"", false, ""},
             {"", true, ""},
             {".X", true, "/t/.X"},
             {"ABCDEFGHI..", false, "/t/SRG/A/BCDEFGHI..."}}) {
        EXPECT_EQ(NamedFilePath("/t", name, flat), path) << name;
    }
}

}  // namespace
}  // namespace bladeway
