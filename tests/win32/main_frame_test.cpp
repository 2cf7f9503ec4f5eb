// The Win32 main window over its model, in process: the start-up from a
// settings file in a temporary program folder, the file list, the choice of
// a file, the resize rule and the close box, driven with window messages.
#include "win32/views/main_frame.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/keydata/key_data_file.h"
#include "core/presentation/main_window_model.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_keys.h"
#include "support/temp_folder.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/dpi.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"

namespace bladeway::win32 {
namespace {

namespace fs = std::filesystem;

class Win32MainFrameTest : public ::testing::Test {
  protected:
    std::string Stored(std::string_view section, std::string_view key) const {
        return SettingsFile(folder.File("Bladeway.INI")).ReadSetting(section, key);
    }

    static std::vector<std::wstring> ListedFiles(HWND list) {
        std::vector<std::wstring> names(
            static_cast<std::size_t>(SendMessageW(list, LB_GETCOUNT, 0, 0)));
        for (std::size_t row = 0; row < names.size(); ++row) {
            wchar_t name[MAX_PATH] = {};
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(name));
            names[row] = name;
        }
        return names;
    }

    bladeway::testing::TempFolder folder;
};

TEST_F(Win32MainFrameTest, ListsTheSourceFoldersKeyDataFilesAndShowsTheChosenOnesKeys) {
    const fs::path keys = folder.Path() / "keys";
    fs::create_directories(keys / "folder.dat");
    fs::copy_file(bladeway::testing::SourceDir() / "examples" / "keys" / "Harbor.dat",
                  keys / "b.DAT");
    bladeway::testing::WriteBytes(keys / "a.dat", "");
    bladeway::testing::WriteBytes(keys / "Zed.dat", "");
    bladeway::testing::WriteBytes(keys / "old.dat", "");
    SetFileAttributesW((keys / "old.dat").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const auto frame = testing::StartMainFrame(
        folder.Path(), "[Paths]\r\nSource=" + bladeway::testing::Utf8(keys) + "\r\n");
    ShowWindow(frame->Handle(), SW_SHOWNA);  // notices wait for a shown window

    const HWND list = frame->Control("File1");
    EXPECT_EQ(ListedFiles(list), (std::vector<std::wstring>{L"a.dat", L"b.DAT", L"Zed.dat"}));

    testing::ChooseFile(*frame, 1);
    Sheet expected;
    ASSERT_TRUE(LoadKeyDataFile(bladeway::testing::Utf8(keys), "b.DAT", expected));
    const Sheet& shown = frame->Grid().GetSheet();
    EXPECT_EQ(shown.ColumnCount(), expected.ColumnCount());
    for (int row = 1; row <= 8; ++row)
        EXPECT_EQ(shown.CellText(1, row), expected.CellText(1, row)) << row;
    EXPECT_FALSE(expected.CellText(1, 1).empty());
    EXPECT_EQ(frame->NoticeText(), "");

    EXPECT_FALSE(IsWindowVisible(frame->KeyFileWarning()));
    EXPECT_EQ(frame->TipOf(list), "Lockplan Data file selection box.");

    // An empty file loads, is named beside the list, above Process for as
    // long as it is loaded, and marked in the title.
    testing::ChooseFile(*frame, 2);
    const std::string empty = "Zed.dat: the file is empty: it holds no key.";
    EXPECT_EQ(frame->NoticeText(), empty);
    EXPECT_TRUE(IsWindowVisible(frame->KeyFileWarning()));
    EXPECT_EQ(testing::TextOf(frame->KeyFileWarning()), L"Empty file");
    EXPECT_EQ(frame->TipOf(frame->KeyFileWarning()), empty);
    EXPECT_TRUE(
        testing::TextOf(frame->Handle()).starts_with(L"Bladeway - Zed.dat (damaged) - flat mode"));
    testing::ChooseFile(*frame, 1);
    EXPECT_FALSE(IsWindowVisible(frame->KeyFileWarning()));
    testing::ChooseFile(*frame, 2);

    // The list is read again when the window becomes active.
    fs::remove(keys / "a.dat");
    SendMessageW(frame->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(ListedFiles(list), (std::vector<std::wstring>{L"b.DAT", L"Zed.dat"}));
}

TEST_F(Win32MainFrameTest, PreferencesOpensAtItsStoredPlaceAndItsOkListsTheSourceFolder) {
    const fs::path keys = folder.Path() / "keys";
    fs::create_directories(keys);
    bladeway::testing::WriteBytes(keys / "a.dat", "");
    const auto frame =
        testing::StartMainFrame(folder.Path(), "[Positions]\r\nPrefTop=1200\r\nPrefLeft=2400\r\n");
    // The start-up's notice of the empty source waits until the window shows.
    EXPECT_EQ(frame->NoticeText(), "");
    ShowWindow(frame->Handle(), SW_SHOWNA);
    for (MSG message{}; PeekMessageW(&message, frame->Handle(), 0, 0, PM_REMOVE) != FALSE;)
        DispatchMessageW(&message);
    EXPECT_TRUE(frame->NoticeText().starts_with(
        "Source Path is empty: the list shows the key data files of "));
    const int dpi = DpiOf(frame->Handle());
    RECT place{};
    testing::WhenShown shown(L"Preferences", [&](HWND dialog) {
        GetWindowRect(dialog, &place);
        // SrcPath, the second control of the table.
        SetWindowTextW(GetDlgItem(dialog, kFirstDialogControlId + 1), keys.c_str());
        EXPECT_TRUE(testing::ClickButton(dialog, L"OK"));
    });
    const HWND button = frame->Control("Prf");
    EXPECT_NE(IsWindowEnabled(button), FALSE);
    testing::Notify(button, BN_CLICKED);
    EXPECT_TRUE(shown.Done());
    EXPECT_EQ(place.top, TwipsToPixels(1200, dpi));
    EXPECT_EQ(place.left, TwipsToPixels(2400, dpi));
    EXPECT_EQ(ListedFiles(frame->Control("File1")), std::vector<std::wstring>{L"a.dat"});
    EXPECT_EQ(Stored(settings_keys::kPaths, settings_keys::kSource), bladeway::testing::Utf8(keys));
}

TEST_F(Win32MainFrameTest, OpensAtTheStoredPlaceTheGridFollowsTheSizeAndTheCloseBoxStoresIt) {
    const auto frame = testing::StartMainFrame(
        folder.Path(),
        "[Positions]\r\nMainTop=1500\r\nMainLeft=3000\r\nMainHeight=6000\r\nMainWidth=9000\r\n");
    const HWND hwnd = frame->Handle();
    const int dpi = DpiOf(hwnd);
    EXPECT_EQ(testing::EdgesOf(testing::WindowRectOf(hwnd)),
              testing::EdgesOf(PixelRectOf({3000, 1500, 9000, 6000}, dpi)));

    // Larger by the user: the grid takes what the rule gives it.
    const RECT before = testing::PlaceOf(frame->Grid().Handle());
    const int height = TwipsToPixels(7500, dpi);
    const int width = TwipsToPixels(10500, dpi);
    SetWindowPos(hwnd, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    const auto twips = [dpi](LONG pixels) { return PixelsToTwips(pixels, dpi); };
    const TwipsRect rule =
        MainWindowGridPlace(twips(height), twips(width), twips(before.bottom - before.top),
                            twips(before.right - before.left));
    const RECT grid = testing::PlaceOf(frame->Grid().Handle());
    EXPECT_EQ(testing::EdgesOf(grid), testing::EdgesOf(PixelRectOf(rule, dpi)));
    EXPECT_GT(grid.bottom - grid.top, before.bottom - before.top);
    const auto stored = [this](std::string_view key) {
        return Stored(settings_keys::kPositions, key);
    };
    EXPECT_EQ(stored("MainHeight"), std::to_string(twips(height)));
    EXPECT_EQ(stored("MainWidth"), std::to_string(twips(width)));

    SetWindowPos(hwnd, nullptr, TwipsToPixels(2100, dpi), TwipsToPixels(1200, dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(stored("MainLeft"), std::to_string(twips(TwipsToPixels(2100, dpi))));
    EXPECT_EQ(stored("MainTop"), std::to_string(twips(TwipsToPixels(1200, dpi))));
}

}  // namespace
}  // namespace bladeway::win32
