// The Preferences dialog over its model and the folder browse dialog it
// opens, driven with window messages: typing, the missing-folder sign, OK,
// Cancel and the close box as the settings file sees them, and a folder or
// a drive chosen in the browse dialog filling the field.
#include "win32/views/preferences_dialog.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/os/folders.h"
#include "core/presentation/missing_folder.h"
#include "core/settings/preference_loading.h"
#include "core/settings/preference_values.h"
#include "core/settings/settings_file.h"
#include "core/settings/settings_keys.h"
#include "support/temp_folder.h"
#include "win32/kit/dpi.h"
#include "win32/kit/wide_text.h"
#include "win32/kit/windows_api.h"
#include "win32/support/main_frame_start.h"
#include "win32/support/when_shown.h"
#include "win32/views/folder_browse_dialog.h"

namespace bladeway::win32 {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Replaces the field's text key by key, as the user types it.
void Type(HWND field, std::string_view text) {
    SetFocus(field);
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_CHAR, VK_BACK, 0);
    testing::TypeChars(field, Wide(text));
}

// The place of a row's label in the folder list.
RECT LabelOf(HWND list, HTREEITEM item) {
    RECT label{};
    std::memcpy(&label, &item, sizeof item);  // TVM_GETITEMRECT takes the row in the rectangle
    SendMessageW(list, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label));
    return label;
}

// The folder list scrolled until the row's label is in sight (below the
// open folder's, and right of a narrow list for a deep folder); its place.
RECT LabelInSight(HWND list, HTREEITEM item) {
    SendMessageW(list, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT client{};
    GetClientRect(list, &client);
    for (int step = 0; step < 100; ++step) {
        const RECT label = LabelOf(list, item);
        if (label.right <= client.right || label.left <= 0)
            break;
        SendMessageW(list, WM_HSCROLL, SB_LINERIGHT, 0);
        if (LabelOf(list, item).left == label.left)
            break;
    }
    return LabelOf(list, item);
}

void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
}

class Win32PreferencesDialogTest : public ::testing::Test {
  protected:
    Win32PreferencesDialogTest() {
        fs::create_directories(folder.Path() / "keys");
        fs::create_directories(folder.Path() / "masters" / "deep" / "deeper");
        bladeway::testing::WriteBytes(settings.Path(), "[Paths]\r\nSource=" + keys +
                                                           "\r\nTemplate=" + gone +
                                                           "\r\nDestination=" + keys + "\r\n");
        LoadPreferenceValues(settings, values);
        pref = std::make_unique<PreferencesDialog>(model, nullptr);
    }

    // A folder below the masters folder, in the system's separators.
    std::string InMasters(std::string_view below) const {
        return masters + "\\" + std::string(below);
    }

    std::string Stored(std::string_view section, std::string_view key) const {
        return SettingsFile(settings.Path()).ReadSetting(section, key);
    }

    bladeway::testing::TempFolder folder;
    const std::string keys = folder.File("keys");
    const std::string masters = folder.File("masters");
    const std::string gone = folder.File("gone");
    SettingsFile settings{folder.File("Bladeway.INI")};
    PreferenceValues values;
    std::vector<std::string> confirmed;
    PreferencesModel model{settings, values,
                           [this](const std::string& source) { confirmed.push_back(source); }};
    std::unique_ptr<PreferencesDialog> pref;
};

TEST_F(Win32PreferencesDialogTest, TypingShowsOrHidesTheMissingFolderSignAndOkKeepsTheFolders) {
    const HWND sourceSign = pref->MissingFolderSign(FolderField::kSource);
    const HWND templateSign = pref->MissingFolderSign(FolderField::kTemplate);
    RECT place{};
    testing::WhenShown shown(L"Preferences", [&](HWND dialog) {
        // Tab goes the model's way, from the first field, which has the focus.
        EXPECT_EQ(GetFocus(), pref->Control(PreferencesModel::kTabOrder.front()));
        for (std::size_t at = 1; at < PreferencesModel::kTabOrder.size(); ++at) {
            EXPECT_EQ(GetNextDlgTabItem(dialog, pref->Control(PreferencesModel::kTabOrder[at - 1]),
                                        FALSE),
                      pref->Control(PreferencesModel::kTabOrder[at]))
                << PreferencesModel::kTabOrder[at];
        }
        const HWND field = pref->Control("TmpPath");
        EXPECT_EQ(WindowTextUtf8(field), gone);
        EXPECT_EQ(IsWindowVisible(sourceSign), FALSE);
        EXPECT_NE(IsWindowVisible(templateSign), FALSE);
        EXPECT_EQ(pref->TipOf(templateSign), MissingFolderWarning(Disk(), gone, "").value_or(""));

        Type(field, masters);
        EXPECT_EQ(IsWindowVisible(templateSign), FALSE);
        Type(field, gone);
        EXPECT_NE(IsWindowVisible(templateSign), FALSE);
        Type(field, masters);
        // The translate options as the model sets them after a click.
        Click(pref->Control("TransXL"));
        EXPECT_EQ(SendMessageW(pref->Control("TransXL"), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageW(pref->Control("TransXH"), BM_GETCHECK, 0, 0),
                  values.XToHOption() == 1 ? BST_CHECKED : BST_UNCHECKED);
        // Enter presses no button.
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(pref->IsRunningModal());
        GetWindowRect(dialog, &place);
        Click(pref->Control("BtnOK"));
    });
    EXPECT_EQ(pref->Open(StoredWindowPlace{}), IDOK);
    EXPECT_TRUE(shown.Done());
    EXPECT_EQ(Stored(settings_keys::kPaths, settings_keys::kTemplate), masters);
    EXPECT_EQ(Stored(settings_keys::kPaths, settings_keys::kSource), keys);
    const int dpi = DpiOf(pref->Handle());
    EXPECT_EQ(Stored(settings_keys::kPositions, "PrefTop"),
              std::to_string(PixelsToTwips(place.top, dpi)));
    EXPECT_EQ(Stored(settings_keys::kPositions, "PrefLeft"),
              std::to_string(PixelsToTwips(place.left, dpi)));
    EXPECT_EQ(confirmed, std::vector<std::string>{keys});
}

// A path longer than its field shows its end, the folder it names.
TEST_F(Win32PreferencesDialogTest, ALongPathShowsItsEnd) {
    const std::string deep = keys + "\\" + std::string(200, 'd');
    bladeway::testing::WriteBytes(settings.Path(), "[Paths]\r\nDestination=" + deep + "\r\n");
    LRESULT firstShown = 0;
    LRESULT lastAt = 0;
    RECT client{};
    testing::WhenShown shown(L"Preferences", [&](HWND) {
        const HWND field = pref->Control("DestPath");
        firstShown = SendMessageW(field, EM_CHARFROMPOS, 0, MAKELPARAM(2, 2));
        lastAt = SendMessageW(field, EM_POSFROMCHAR, deep.size() - 1, 0);
        GetClientRect(field, &client);
        Click(pref->Control("BtnCan"));
    });
    EXPECT_EQ(pref->Open(StoredWindowPlace{}), IDCANCEL);
    EXPECT_GT(LOWORD(firstShown), 0);
    EXPECT_LT(static_cast<short>(LOWORD(lastAt)), client.right);
}

TEST_F(Win32PreferencesDialogTest, CancelKeepsNothingTheCloseBoxKeepsThePlaceAndResetsTheValues) {
    const std::string before = bladeway::testing::ReadBytes(settings.Path());
    for (const bool byCloseBox : {false, true}) {
        SCOPED_TRACE(byCloseBox ? "close box" : "Cancel");
        HWND mirror = nullptr;
        testing::WhenShown shown(L"Preferences", [&](HWND dialog) {
            mirror = pref->Control("MirChar");
            Type(pref->Control("DestPath"), masters);
            Type(mirror, "#");
            if (byCloseBox)
                PostMessageW(dialog, WM_CLOSE, 0, 0);
            else
                Click(pref->Control("BtnCan"));
        });
        EXPECT_EQ(pref->Open(StoredWindowPlace{}), IDCANCEL);
        EXPECT_TRUE(shown.Done());
        EXPECT_TRUE(confirmed.empty());
        // What each does to the values: PreferencesModelTest.
        if (!byCloseBox) {
            EXPECT_EQ(bladeway::testing::ReadBytes(settings.Path()), before);
            EXPECT_EQ(values.MirrorCharacter(), "#");  // typing reached the values
        } else {
            EXPECT_FALSE(Stored(settings_keys::kPositions, "PrefTop").empty());
            EXPECT_EQ(WindowTextUtf8(mirror), PreferenceValues{}.MirrorCharacter());
        }
    }
}

TEST_F(Win32PreferencesDialogTest, AFolderOrADriveChosenInTheBrowseDialogFillsTheField) {
    const std::vector<std::string> roots = FolderRoots();
    ASSERT_GE(roots.size(), 2U) << "the Wine prefix has drives C: and Z:";
    std::string pickedRoot;
    testing::WhenShown shown(L"Preferences", L"BladewayPreferences", [&](HWND) {
        const HWND field = pref->Control("TmpPath");
        const HWND browse = pref->Control("BtnBr2");
        Type(field, masters);
        {
            // A folder opened by a double-click, one inside it by Enter, then OK.
            testing::WhenShown chooser(L"Preferences", L"BladewayFolderBrowse", [&](HWND) {
                const HWND list = pref->BrowseDialog()->Control("Dir1");
                const HWND path = pref->BrowseDialog()->Control("Path");
                EXPECT_EQ(GetFocus(), list);
                EXPECT_EQ(WindowTextUtf8(path), masters);
                const HTREEITEM open = TreeView_GetSelection(list);
                const HTREEITEM deep = TreeView_GetChild(list, open);
                // A failure closes the dialog all the same: no test may hang.
                const HWND cancel = pref->BrowseDialog()->Control("BtnCan");
                if (deep == nullptr) {
                    ADD_FAILURE() << "no folder listed inside the open one";
                    return Click(cancel);
                }
                const RECT row = LabelInSight(list, deep);
                POINT point{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
                const LPARAM at = MAKELPARAM(point.x, point.y);
                ClientToScreen(list, &point);
                SetCursorPos(point.x, point.y);
                PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
                PostMessageW(list, WM_LBUTTONUP, 0, at);
                PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
                PostMessageW(list, WM_LBUTTONUP, 0, at);
                // The folder opens once the list's own handling is over.
                EXPECT_TRUE(testing::ServeUntil(
                    [&] { return WindowTextUtf8(path) == InMasters("deep"); }, {}, 5s))
                    << WindowTextUtf8(path);
                const HTREEITEM deeper = TreeView_GetChild(list, TreeView_GetSelection(list));
                if (deeper == nullptr) {
                    ADD_FAILURE() << "the double-click opened no folder with one inside";
                    return Click(cancel);
                }
                TreeView_SelectItem(list, deeper);
                EXPECT_EQ(pref->BrowseDialog()->HighlightedFolder(), InMasters("deep\\deeper"));
                // Through the dialog's loop, as keys come.
                SetFocus(list);
                PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
                PostMessageW(pref->BrowseDialog()->Control("BtnOK"), BM_CLICK, 0, 0);
            });
            Click(browse);
            EXPECT_TRUE(chooser.Done());
        }
        EXPECT_EQ(WindowTextUtf8(field), InMasters("deep\\deeper"));
        EXPECT_EQ(values.templateFolder, InMasters("deep\\deeper"));
        {
            // Another drive, then OK.
            testing::WhenShown chooser(L"Preferences", L"BladewayFolderBrowse", [&](HWND) {
                const HWND drives = pref->BrowseDialog()->Control("Drive1");
                EXPECT_EQ(SendMessageW(drives, CB_GETCOUNT, 0, 0),
                          static_cast<LRESULT>(roots.size()));
                const int picked = SendMessageW(drives, CB_GETCURSEL, 0, 0) == 0 ? 1 : 0;
                pickedRoot = roots[static_cast<std::size_t>(picked)];
                SendMessageW(drives, CB_SETCURSEL, static_cast<WPARAM>(picked), 0);
                testing::Notify(drives, CBN_SELCHANGE);
                EXPECT_EQ(WindowTextUtf8(pref->BrowseDialog()->Control("Path")), pickedRoot);
                Click(pref->BrowseDialog()->Control("BtnOK"));
            });
            Click(browse);
            EXPECT_TRUE(chooser.Done());
        }
        EXPECT_EQ(WindowTextUtf8(field), pickedRoot);
        {
            // The close box: the browse dialog goes, and the folders come
            // back from the settings file, as after any use that hands none over.
            testing::WhenShown chooser(L"Preferences", L"BladewayFolderBrowse",
                                       [](HWND browser) { PostMessageW(browser, WM_CLOSE, 0, 0); });
            EXPECT_NE(pref->BrowseDialog(), nullptr);
            Click(browse);
            EXPECT_TRUE(chooser.Done());
            EXPECT_EQ(pref->BrowseDialog(), nullptr);
        }
        EXPECT_EQ(WindowTextUtf8(field), gone);
        Click(pref->Control("BtnCan"));
    });
    EXPECT_EQ(pref->Open(StoredWindowPlace{}), IDCANCEL);
    EXPECT_TRUE(shown.Done());
}

}  // namespace
}  // namespace bladeway::win32
