// Process and the command-line code, under the comma locale QApplication takes
// from the environment, write what bladeway-cli wrote under "C" (locale_test.py
// prepares BLADEWAY_LOCALE_WORK: shop/, flat-templates/, reference/{flat,tree}).
#include <array>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <QTest>

#include "app/data_file_list.h"
#include "cli/cli.h"
#include "support/main_window_fixture.h"

namespace bladeway {
namespace {

namespace fs = std::filesystem;

// An empty copy of `reference`'s folders, as a destination must have them.
fs::path EmptyFoldersLike(const fs::path& reference, const fs::path& copy) {
    fs::create_directories(copy);
    for (const auto& entry : fs::recursive_directory_iterator(reference))
        if (entry.is_directory())
            fs::create_directories(copy / fs::relative(entry.path(), reference));
    return copy;
}

class LocaleTest : public testing::MainWindowTest {};

TEST_F(LocaleTest, ProcessUnderACommaLocaleWritesTheBytesOfTheCLocale) {
    // The process runs under the environment's locale, and C's printf follows it.
    ASSERT_STREQ(std::localeconv()->decimal_point, ",") << "run with LC_ALL=de_DE.UTF-8";
    std::array<char, 16> printed{};
    std::snprintf(printed.data(), printed.size(), "%.1f", 1.5);
    ASSERT_STREQ(printed.data(), "1,5");

    const char* workVariable = std::getenv("BLADEWAY_LOCALE_WORK");
    ASSERT_NE(workVariable, nullptr) << "run through tests/reliability/locale_test.py";
    const fs::path work = workVariable;
    for (const std::string mode : {"flat", "tree"}) {
        SCOPED_TRACE(mode);
        const fs::path reference = work / "reference" / mode;
        const fs::path programFolder =
            Subfolder(mode == "tree" ? "Harbor62" : "plain").toStdString();
        const fs::path destination = EmptyFoldersLike(reference, programFolder / "out");
        const fs::path templates =
            mode == "tree" ? work / "shop" / "templates" : work / "flat-templates";
        const std::string settings = (programFolder / "Bladeway.INI").string();
        testing::WriteBytes(settings, "[Paths]\r\nSource=" + (work / "shop").string() +
                                          "\r\nTemplate=" + templates.string() +
                                          "\r\nDestination=" + destination.string() + "\r\n");
        const auto form = Start(programFolder);
        Show(*form);
        DataFileList& list = form->FileList();
        ASSERT_EQ(list.count(), 1);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                          list.visualItemRect(list.item(0)).center());
        Process(*form);
        const auto expected = testing::FilesBelow(reference);
        ASSERT_GT(expected.size(), 100U);
        EXPECT_TRUE(testing::FilesBelow(destination) == expected) << "the desktop program differs";

        const fs::path cliDestination = EmptyFoldersLike(reference, programFolder / "cli");
        std::ostringstream out, err;
        const int exitCode = RunCli(
            {"generate", "--settings", settings, "--mode", mode, "--dest", cliDestination.string(),
             "--date", "03/14/25", (work / "shop" / "keys.dat").string()},
            out, err);
        EXPECT_EQ(exitCode, kExitOk) << err.str();
        EXPECT_TRUE(testing::FilesBelow(cliDestination) == expected)
            << "the command-line code differs";
    }
}

}  // namespace
}  // namespace bladeway
