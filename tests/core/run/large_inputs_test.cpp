// Inputs far from any real one: files above their size limit are refused with
// a message before they are read, odd bytes load in bounded time and memory,
// and an index of a bad length is left exactly as it was.
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include "core/gcode/index_program.h"
#include "core/gcode/program_generator.h"
#include "core/keydata/key_data_file.h"
#include "support/index_bytes.h"
#include "support/temp_folder.h"

namespace bladeway {
namespace {

using testing::TempFolder;

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Writes `head`, then `pattern` `times` over, then `tail`, without holding the
// file in memory. An empty pattern makes the file `times` bytes long with a
// hole that reads as NUL bytes and costs no disk.
void WriteLarge(const std::string& path, std::string_view head, std::string_view pattern,
                std::size_t times, std::string_view tail = "") {
    std::ofstream file(path, std::ios::binary);
    file << head;
    for (std::size_t i = 0; i < times && !pattern.empty(); ++i)
        file << pattern;
    file << tail << std::flush;
    if (pattern.empty() && times > 0)
        std::filesystem::resize_file(path, times);
}

// Peak resident memory of this process so far.
std::size_t PeakMemory() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

TEST(LargeInputsTest, KeyDataFilesLoadInBoundedMemoryOrAreRefused) {
    const std::string line(kMiB, '7');
    const struct {
        const char* what;
        std::string_view head, pattern, tail;
        std::size_t times;
        int columns, rows, firstCell;  // columns -1: refused
    } cases[] = {
        {"far above the limit", "[KEY]\r\n", "", "", 1024 * kMiB, -1, 0, 0},
        {"one 100 MB line", "L=", "", "", 100 * kMiB, -1, 0, 0},
        {"one 48 MB line, then a block end", "", line, "\r\n!\r\n", 48, 1, 1, 48 << 20},
        {"only NUL bytes", "", "", "", 32 * kMiB, 0, 1, 0},
        // Each line end eats the next byte; the last "!" ends the file.
        {"CR without LF", "", "ab\rcd\r!\r", "", 100'000, 99'999, 2, 2},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        TempFolder folder;
        const std::string path = folder.File("keys.dat");
        WriteLarge(path, test.head, test.pattern, test.times, test.tail);
        const std::size_t before = PeakMemory();
        Sheet sheet;
        const Outcome loaded = LoadKeyDataFile(path, sheet);
        ASSERT_EQ(loaded.ok(), test.columns >= 0);
        if (!loaded) {
            EXPECT_NE(loaded.error().find("more than the limit of 67108864"), std::string::npos);
            EXPECT_EQ(sheet.ColumnCount(), Sheet::kInitialColumnCount);  // left as it was
            EXPECT_LT(PeakMemory(), before + kMiB);                      // nothing read
            continue;
        }
        EXPECT_EQ(sheet.ColumnCount(), test.columns);
        EXPECT_EQ(sheet.RowCount(), test.rows);
        EXPECT_EQ(sheet.CellText(1, 1).size(), static_cast<std::size_t>(test.firstCell));
#if !defined(__SANITIZE_ADDRESS__)  // its quarantine holds freed memory
        // The bytes once, 8 bytes per cell and 4 per column.
        const auto columns = static_cast<std::size_t>(test.columns + 1);
        EXPECT_LT(PeakMemory(), before + std::filesystem::file_size(path) +
                                    columns * (8 * static_cast<std::size_t>(test.rows) + 4) +
                                    4 * kMiB);
#endif
    }
}

// A key of `templateName` into a program P1.
KeyRecord Key(std::string_view templateName) {
    KeyRecord record;
    record.TemplateName = templateName;
    record.ProgramName = "P1";
    record.Status = "";  // blank: spaces
    return record;
}

TEST(LargeInputsTest, TemplateAboveTheLimitIsRefusedForItsKey) {
    TempFolder templates, destination;
    const std::string pathT = templates.Path().string(), pathD = destination.Path().string();
    WriteLarge(templates.File("HUGE"), "G00X0Y0Z0\r\n", "", 100 * kMiB);
    WriteLarge(templates.File("EDGE"), "", "", kTemplateFileLimit);  // the limit itself is fine
    KeyRecord huge = Key("HUGE"), edge = Key("EDGE");
    const GenerationResult refused = GenerateProgram(huge, {pathT, pathD, "", true}, Disk());
    EXPECT_TRUE(refused.templateFound && !refused.written && huge.Status.View() == "   ");
    EXPECT_NE(refused.error.find("more than the limit of 4194304 bytes"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(destination.File("P1")));
    EXPECT_TRUE(GenerateProgram(edge, {pathT, pathD, "", true}, Disk()).written);
}

// A bad length is covered with the index step's own tests.
TEST(LargeInputsTest, IndexAboveTheLimitIsReportedAndLeftAsItWas) {
    TempFolder templates, destination;
    const std::string pathT = templates.Path().string(), pathD = destination.Path().string();
    testing::WriteBytes(templates.File("INDICE.Prg"), testing::RawIndexRecord("DZ120"));
    WriteLarge(destination.File("INDICE.Prg"), "", "", kIndexFileLimit + 82);
    KeyRecord record = Key("DZ120");
    const IndexResult result = UpdateIndexProgram(record, {pathT, pathD, "12/06/26", {}}, Disk());
    EXPECT_EQ(record.Status.View(), "   ");
    EXPECT_TRUE(result.indexPath.empty());
    EXPECT_EQ(std::filesystem::file_size(destination.File("INDICE.Prg")), kIndexFileLimit + 82);
    ASSERT_EQ(result.errors.size(), 1U);
    EXPECT_NE(result.errors[0].find("more than the limit of 16777216"), std::string::npos);
}

}  // namespace
}  // namespace bladeway
