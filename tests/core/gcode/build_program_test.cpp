// The program text the generator makes of a template and a key, the pieces
// it is made with (template lines, address values, tree names), and the
// generator on real files: template found or not, file problems reported.
// Names reaching outside their folder are checked with the reliability tests.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "core/gcode/address_value.h"
#include "core/gcode/master_template.h"
#include "core/gcode/program_generator.h"
#include "core/gcode/tree_name.h"
#include "core/os/paths.h"
#include "support/case_table.h"
#include "support/fault_file_system.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace bladeway {
namespace {

using testing::ExampleKey;
using testing::ExpectEach;
namespace fs = std::filesystem;

TEST(BuildProgram, TableOfTemplatesAndKeys) {
    struct Row {
        std::string_view master;
        void (*setUp)(KeyRecord&);
        std::string expected;
        bool flat = true;
        std::string_view mirror = "!";
    };
    const auto none = [](KeyRecord&) {};
    const std::vector<Row> rows{
        // Position line: the key's L, H, S or the template's values, else the
        // letter alone; a value reads up to the next capital letter.
        {"G00X1.5Y-2Z3T4M6\r\n(C)\r\n", none, "G00X1.5Y-2Z3T4M6\r\nG150(K) \r\n"},
        {"G00X1.5Y-2Z3T4M6\r\n(C)\r\n", [](KeyRecord& r) { r.H = "7.25"; },
         "G00X1.5Y7.25Z3T4M6\r\nG150(K) \r\n"},
        {"G00X1Z2T1\r\n(C)\r\n", none, "G00X1YZ2T1\r\nG150(K) \r\n"},
        {"00 X1Z2T1\r\n(C)\r\n", none, "00 X1Y00 Z2T1\r\nG150(K) \r\n"},
        // Without a T the whole line follows the words.
        {"G00X1Y2Z3M6\r\n(C)\r\n", [](KeyRecord& r) { r.L = "9"; },
         "G00X9Y2Z3G00X1Y2Z3M6\r\nG150(K) \r\n"},
        // Tree mode rewrites the key's axis values as short numbers only.
        {"G00X0Y0Z0T1\r\n(C)\r\n",
         [](KeyRecord& r) { r.L = "2.500", r.H = "-0.25", r.S = "0.500"; },
         "G00X2.5Y-.25Z.5T1\r\nG150(K) \r\n", false},
        {"G00X0.50Y0Z5T1\r\n(C)\r\n", none, "G00X0.50Y0Z5T1\r\nG150(K) \r\n", false},
        // Mirror text: the character once per count, only for 1 or 2; a
        // blank mirror character writes nothing.
        {"G00T1\r\n(C)\r\n", [](KeyRecord& r) { r.MirrorCount = 2; }, "G00XYZT1\r\nG150(!!K) \r\n"},
        {"G00T1\r\n(C)\r\n", [](KeyRecord& r) { r.MirrorCount = 3; }, "G00XYZT1\r\nG150(K) \r\n"},
        {"G00T1\r\n(C)\r\n", [](KeyRecord& r) { r.MirrorCount = 1; }, "G00XYZT1\r\nG150(K) \r\n",
         true, " "},
        // Cycle words: A on the second line, B to I in fixed order on a "!"
        // line only when there is one; D and E are looked up under J and K.
        {"G00T1\r\n(C)B1\r\n", none, "G00XYZT1\r\nG150(K) \r\n!B1\r\n"},
        {"G00T1\r\n(C)B1\r\n", [](KeyRecord& r) { r.A = "0.75"; },
         "G00XYZT1\r\nG150(K) A0.75\r\n!B1\r\n"},
        {"G00T1\r\n(C)A1\r\n!\r\nM30", [](KeyRecord& r) { r.G = "0.5"; },
         "G00XYZT1\r\nG150(K) A1\r\n!G0.5\r\nM30"},
        {"G00T1\r\n(C)I1G2E3D4C5A6\r\n!\r\nM30", [](KeyRecord& r) { r.F = "9", r.B = "8"; },
         "G00XYZT1\r\nG150(K) A6\r\n!B8C5D4E3F9G2I1\r\nM30"},
        {"G00T1\r\n(C)J7K8\r\n", none, "G00XYZT1\r\nG150(K) \r\n!D7E8\r\n"},
        {"G00T1\r\n(C)A1\r\n!D1\r\n", none, "G00XYZT1\r\nG150(K) A1\r\n!D1\r\n"},
        {"G00T1\r\n(BIG A)B1\r\n", none, "G00XYZT1\r\nG150(K) \r\n!B1\r\n"},  // not a word
        // Key values of cycle words go out unchanged in both modes.
        {"G00T1\r\n(C)A1B1\r\n", [](KeyRecord& r) { r.A = "0.500", r.B = "1.5mm"; },
         "G00XYZT1\r\nG150(K) A0.500\r\n!B1.5mm\r\n"},
        {"G00T1\r\n(C)A1B1\r\n", [](KeyRecord& r) { r.A = "0.500", r.B = "1.5mm"; },
         "G00XYZT1\r\nG150(K) A0.500\r\n!B1.5mm\r\n", false},
        // Variable lines in index order from the key or the template; only
        // the key's when the template has none; none at all in tree mode.
        {"G00T1\r\n(C)\r\n!\r\n~R10=1|TEN\r\n~R2=3|TWO\r\nM30\r\n",
         [](KeyRecord& r) { r.R[0] = "5", r.R[10] = "2.125", r.R[99] = "1"; },
         "G00XYZT1\r\nG150(K) \r\n~R0=5|\r\n~R2=3|TWO\r\n~R10=2.125|TEN\r\n~R99=1|\r\nM30\r\n"},
        {"G00T1\r\n(C)\r\n!\r\nG01\r\nM30\r\n", [](KeyRecord& r) { r.R[4] = "1"; },
         "G00XYZT1\r\nG150(K) \r\n~R4=1|\r\nG01\r\nM30\r\n"},
        {"G00T1\r\n(C)\r\n!\r\n~R1=0.25|DEPTH\r\nM30\r\n", [](KeyRecord& r) { r.R[4] = "1"; },
         "G00XYZT1\r\nG150(K) \r\nM30\r\n", false},
        {"G00T1\r\n(C)\r\n!\r\n(\xe9t\xe9)\r\n",
         [](KeyRecord& r) { r.Description = "T\xdcR \xa7"; },
         "G00XYZT1\r\nG150(T\xdcR \xa7) \r\n(\xe9t\xe9)\r\n"},
        // A description never set keeps its NULs.
        {"G00T1\r\n(C)A2\r\n", [](KeyRecord& r) { r.Description = KeyRecord{}.Description; },
         "G00XYZT1\r\nG150(" + std::string(25, '\0') + ") A2\r\n"},
        // Without ")" the whole line is searched: the "A" and "E" of MASTER are found.
        {"G00T1\r\nMASTER A5\r\n", none, "G00XYZT1\r\nG150(K) A\r\n!E\r\n"},
    };
    for (const Row& row : rows) {
        KeyRecord record;
        record.Description = "K";
        row.setUp(record);
        EXPECT_EQ(BuildProgram(ReadMasterTemplate(row.master), record, row.mirror, row.flat),
                  row.expected)
            << row.master;
    }
}

// A template as "position|cycle|[index:definition|comment]...|body".
std::string Parsed(std::string_view text) {
    const MasterTemplate parsed = ReadMasterTemplate(text);
    std::string summary =
        std::string(parsed.positionLine) + "|" + std::string(parsed.cycleLine) + "|";
    for (std::size_t i = 0; i < parsed.variables.size(); ++i) {
        const auto& variable = parsed.variables[i];
        if (variable.defined) {
            summary += "[" + std::to_string(i) + ":" + std::string(variable.definition) + "|" +
                       std::string(variable.comment) + "]";
        }
    }
    return summary + "|" + std::string(parsed.body);
}

TEST(ReadMasterTemplate, TableOfTemplates) {
    // clang-format off
    ExpectEach(Parsed, {
        {testing::kExampleTemplate,
         "G00X0Y0Z5T1M6|(MASTER)A1.5B2C.25D1E3F100G2I.5|[1:1=0.25|DEPTH][3:3=12|STEPS]|M30\r\n"},
        // Lines are trimmed of spaces; a line 3 without "!" is dropped.
        {"  G00X1T1  \r\n (C)A1 \r\n  ! B2 \r\n ~R2=5 | NOTE \r\nM30", "G00X1T1|(C)A1 B2|[2:2=5|NOTE]|M30"},
        {"G00T1\r\n(C)A1\r\n!B2\r\nG01X5\r\nM30\r\n", "G00T1|(C)A1B2||G01X5\r\nM30\r\n"},
        {"G00T1\r\n(C)A1\r\n!\r\nN10~R1=0.25|DEPTH\r\nM30\r\n", "G00T1|(C)A1|[1:1=0.25|DEPTH]|M30\r\n"},
        // The index is the leading number rounded half to even, 0 without one;
        // the later line wins; indices outside the table are skipped.
        {"G00T1\r\n(C)\r\n!\r\n~R 1 2=5|A\r\n~R2.5=6|B\r\n~R3.5=7|C\r\n~R=8|D\r\nM30\r\n",
         "G00T1|(C)|[0:=8|D][2:2.5=6|B][4:3.5=7|C][12: 1 2=5|A]|M30\r\n"},
        {"G00T1\r\n(C)\r\n!\r\n~R3=1|FIRST\r\n~R3=2|SECOND\r\nM30\r\n", "G00T1|(C)|[3:3=2|SECOND]|M30\r\n"},
        {"G00T1\r\n(C)\r\n!\r\n~R150=1|X\r\n~R-1=2|Y\r\n~R99=3|Z\r\nM30\r\n", "G00T1|(C)|[99:99=3|Z]|M30\r\n"},
        // The section ends at the first line without a marker before its bar;
        // a line without a bar takes its name part from the following lines.
        {"G00T1\r\n(C)\r\n!\r\n~R1=1|A\r\nG01 (X|Y~R2)\r\n~R3=1|C\r\n",
         "G00T1|(C)|[1:1=1|A]|G01 (X|Y~R2)\r\n~R3=1|C\r\n"},
        {"G00T1\r\n(C)\r\n!\r\n~R1=0.25\r\nG01|NOTE\r\nM30\r\n", "G00T1|(C)|[1:1=0.25\r\nG01|NOTE]|M30\r\n"},
        {"G00T1\r\n(C)\r\n!\r\n~R1=0.25\r\nM30\r\n", "G00T1|(C)|[1:1=0.25\r\nM30\r\n|]|"},
        {"G00T1\r\n(C)\r\n!\r\n~R1=2|", "G00T1|(C)|[1:1=2|]|"},
        // Short templates read missing lines as empty.
        {"G00X1T1M6", "G00X1T1M6|||"}, {"G00X1T1M6\r\n(C)A1\r\n", "G00X1T1M6|(C)A1||"}, {"", "|||"}});
    // clang-format on
}

TEST(ReadAddressValue, RunsUpToTheNextCapitalOrAt) {
    // "[" (91) lies past "Z", "?" (63) before "@"; start 1 reads what stands
    // before the first capital.
    using Row = std::pair<std::pair<std::string_view, int>, std::string_view>;
    // clang-format off
    for (const auto& [input, expected] : std::vector<Row>{
             {{"X0.25Y1", 2}, "0.25"}, {{"G00X0Y0Z5T1M6", 9}, "5"}, {{"A1@B2", 2}, "1"},
             {{"A1[B2", 2}, "1["}, {{"A1?B2", 2}, "1?"}, {{"X-1.5 e+2 mmY3", 2}, "-1.5 e+2 mm"},
             {{"A1.5", 6}, ""}, {{"AB", 2}, ""}, {{"00X1", 1}, "00"}, {{"G00X1", 1}, ""}})
        // clang-format on
        EXPECT_EQ(ReadAddressValue(input.first, input.second), expected) << input.first;
}

TEST(FormatAxisValue, FlatKeepsTheTextTreeWritesTheShortestNumberInAnyLocale) {
    EXPECT_EQ(FormatAxisValue("0.500", true), "0.500");
    EXPECT_EQ(FormatAxisValue("1.5mm", true), "1.5mm");
    // clang-format off
    ExpectEach([](std::string_view value) { return FormatAxisValue(value, false); }, {
        {"0.5", ".5"}, {"0.500", ".5"}, {"-0.25", "-.25"}, {"2.500", "2.5"}, {"3.000", "3"},
        {"31.5", "31.5"}, {"123456.789012345678", "123456.789012346"}, {"abc", "0"},
        {"x1", "0"}, {"  12.5mm", "12.5"}, {"-.75", "-.75"}, {"-0", "0"}, {"3.125", "3.125"},
        {"1e20", "1E+20"}, {"1e-7", "1E-07"}});
    // clang-format on
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        EXPECT_EQ(FormatAxisValue("1.25", false), "1.25");
        std::setlocale(LC_ALL, "C");
    }
}

TEST(TreeName, SubfolderFromTheFirstCharacterExtensionFromTheTenthBelowTheFolder) {
    // Trimmed of spaces only: the 12 NULs of a new record make a 12-character name.
    const std::string nul(1, '\0');
    // clang-format off
    ExpectEach<std::string>(TreeName, {
        {"", "SRG\\00\\"}, {"A", "SRG\\00\\A"}, {"  A  ", "SRG\\00\\A"}, {"AB", "SRG\\A\\B"},
        {"AB12        ", "SRG\\A\\B12"}, {"ABCDEFGHI", "SRG\\A\\BCDEFGHI"},
        {"ABCDEFGHIJ", "SRG\\A\\BCDEFGHI.J"}, {"ABCDEFGHIJKL", "SRG\\A\\BCDEFGHI.JKL"},
        {std::string(12, '\0'), "SRG\\" + nul + "\\" + std::string(8, '\0') + "." + std::string(3, '\0')}});
    // The path below the folder: a flat name trimmed, none for an empty name.
    for (const auto& [name, flat, path] : std::vector<std::tuple<std::string_view, bool, std::string_view>>{
             {"  AB12  ", true, "t\\AB12"}, {"AB12", false, "t\\SRG\\A\\B12"}, {"A", false, "t\\SRG\\00\\A"},
             {"", false, ""}, {"", true, ""}, {".X", true, "t\\.X"},
             {"ABCDEFGHI..", false, "t\\SRG\\A\\BCDEFGHI..."}})
        // clang-format on
        EXPECT_EQ(NamedFilePath("t", name, flat), NativeSeparators(path)) << name;
}

class GenerateProgramTest : public ::testing::Test {
  protected:
    // MASTER is a flat template only, TREE a tree template only.
    GenerateProgramTest() {
        templates_.Write("MASTER", testing::kExampleTemplate);
        fs::create_directories(templates_.Path() / "SRG" / "T");
        testing::WriteBytes(templates_.Path() / "SRG" / "T" / "REE", testing::kExampleTemplate);
        fs::create_directory(templates_.Path() / "FOLDER");
    }
    GenerationResult Generate(KeyRecord& record, bool flat, FileSystem& fileSystem = Disk()) {
        return GenerateProgram(record, {templatesPath_, destinationPath_, "!", flat}, fileSystem);
    }

    testing::TempFolder templates_, destination_;
    const std::string templatesPath_ = templates_.Path().string();
    const std::string destinationPath_ = destination_.Path().string();
};

TEST_F(GenerateProgramTest, TemplateNotFoundSetsGnfAndWritesNothing) {
    // A record never given a template name holds 12 NULs.
    // clang-format off
    for (const auto& [name, flat] : std::vector<std::pair<std::string, bool>>{
             {"NOPE", true}, {"", false}, {std::string(12, '\0'), true}, {std::string(12, '\0'), false},
             {"FOLDER", true}, {"FOLDER", false}, {"MASTER", false}, {"TREE", true}}) {
        // clang-format on
        KeyRecord record = ExampleKey(name, "KEY1");
        const GenerationResult result = Generate(record, flat);
        EXPECT_FALSE(result.written) << name << flat;
        EXPECT_FALSE(result.templateFound) << name << flat;
        EXPECT_EQ(result.error, "") << name << flat;
        EXPECT_EQ(record.Status.View(), "GNF") << name << flat;
        // The description keeps its parentheses: the generator stopped before it.
        EXPECT_EQ(record.Description.View().substr(0, 8), "KEY (A1)");
    }
    KeyRecord missing = ExampleKey("NOPE", "KEY1");
    EXPECT_EQ(Generate(missing, true).templatePath, templates_.File("NOPE"));
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(GenerateProgramTest, FolderEndingWithSeparatorGivesTwoInARowAndTheOldProgramGoes) {
    destination_.Write("KEY1", std::string(5000, 'x'));
    const std::string destination = destination_.WithSeparator();
    KeyRecord record = ExampleKey();
    const auto result =
        GenerateProgram(record, {templates_.WithSeparator(), destination, "!", true}, Disk());
    EXPECT_TRUE(result.written) << result.error;
    EXPECT_EQ(result.outputPath, destination + kPathSeparator + "KEY1");
    EXPECT_EQ(testing::ReadBytes(destination_.File("KEY1")), testing::kExampleFlatProgram);
    // The record keeps the description as the program brackets it.
    EXPECT_EQ(record.Description.View(), "KEY [A1]                 ");
}

TEST_F(GenerateProgramTest, FileProblemsAreErrorsWithoutStatus) {
    testing::FaultFileSystem faults;
    faults.FailReads(templates_.File("MASTER"));
    KeyRecord unreadable = ExampleKey("MASTER", "KEY1");
    const GenerationResult result = Generate(unreadable, true, faults);
    EXPECT_FALSE(result.written);
    EXPECT_NE(result.error.find("MASTER"), std::string::npos);
    EXPECT_TRUE(IsBlank(unreadable.Status));
    EXPECT_EQ(faults.WriteAttempts(), 0);
    KeyRecord nuls = ExampleKey("MASTER", "KEY1");
    nuls.ProgramName = KeyRecord{}.ProgramName;
    EXPECT_EQ(Generate(nuls, true).error, "the key has no program name");
    EXPECT_TRUE(fs::is_empty(destination_.Path()));
}

TEST_F(GenerateProgramTest, AccentedNamesFindAndWriteUtf8FilesWithTheBytesUnchanged) {
    // Templates named as a person would name them on Linux.
    const std::string master = "G00X0Y0Z0T1\r\n(C)\r\n!\r\n(\xe9t\xe9)\r\n";
    using testing::Utf8Path;
    testing::WriteBytes(templates_.Path() / Utf8Path("M\xc3\x84STER"), master);
    fs::create_directories(templates_.Path() / "SRG" / Utf8Path("\xc3\x89"));
    testing::WriteBytes(templates_.Path() / "SRG" / Utf8Path("\xc3\x89") / Utf8Path("T\xc3\xa9"),
                        master);
    for (const auto& [templateName, program, flat, written] :
         std::vector<std::tuple<std::string, std::string, bool, fs::path>>{
             {"M\xc4STER", "CL\xc9", true, Utf8Path("CL\xc3\x89")},
             {"\xc9T\xe9", "\xc9P\xe9", false,
              "SRG" / Utf8Path("\xc3\x89") / Utf8Path("P\xc3\xa9")}}) {
        fs::create_directories(destination_.Path() / written.parent_path());
        KeyRecord record = ExampleKey(templateName, program);
        record.Description = "D\xe9";
        const GenerationResult result = Generate(record, flat);
        ASSERT_TRUE(result.written) << result.error;
        EXPECT_EQ(result.outputPath, testing::Utf8(destination_.Path() / written));
        // The program's own bytes stay Windows-1252.
        const std::string bytes = testing::ReadBytes(destination_.Path() / written);
        EXPECT_NE(bytes.find("(!D\xe9)"), std::string::npos) << bytes;
        EXPECT_NE(bytes.find("(\xe9t\xe9)\r\n"), std::string::npos) << bytes;
    }
}

}  // namespace
}  // namespace bladeway
