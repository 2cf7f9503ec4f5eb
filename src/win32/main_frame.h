#pragma once
// The main window (Form1) as a Win32 window, a view over the main window
// model: it places the key grid, the file list and the buttons where the
// model's table of controls puts them, scaled by the window's DPI, and
// forwards the file choice, the resizes, Exit and the close box to the model.
// It shows the About box at the start-up and opens Preferences; the other
// windows the model opens from here (the substitution table, the run, the
// preview, the report) are not there yet.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/presentation/main_window_model.h"
#include "core/presentation/twips.h"
#include "win32/gdi.h"
#include "win32/key_grid.h"
#include "win32/preferences_dialog.h"
#include "win32/window.h"
#include "win32/windows_api.h"

namespace bladeway::win32 {

class MainFrame final : public Window, private MainWindowView {
  public:
    // `programPath`: the running program, whose folder holds the settings;
    // `today`: today's date as "MM/DD/YY".
    MainFrame(std::string programPath, FileSystem& fileSystem, std::function<std::string()> today);
    ~MainFrame() override;

    // The start-up: the stored place, the settings, the file list; the grid
    // then follows the window's size.
    void Load();

    KeyGrid& Grid() { return *grid_; }
    // The standard control named `objectName` in the control table.
    HWND Control(std::string_view objectName) const;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    RECT PixelsOf(const TwipsRect& place) const;
    std::int64_t TwipsOf(int pixels) const;
    void CreateControls();
    void PlaceControls();
    void UpdateFont();
    // The resize rule for the window's size now.
    void FollowSize();
    void OnCommand(int id, int code);
    void RefreshFileList();

    // MainWindowView
    void ShowStartupAbout() override;
    void PlaceWindow(const StoredWindowPlace& place) override;
    void PreferencesLoaded() override;
    void ShowFileListFolder(const std::string& folder) override;
    void LoadKeyDataFile(const std::string& folder, const std::string& name) override;
    void PlaceGrid(const TwipsRect& place) override;
    void OpenPreferences(const StoredWindowPlace& place) override;
    void OpenSubstitutionTable(const std::string& tablePath) override;
    void EndProgram() override;
    void RunStarting() override;
    void ShowRunReport(const RunReport& report, const std::string& destinationFolder) override;
    void CloseAfterRun() override;
    void ShowLastRunReport() override;
    void ShowPreview(const ProgramPreviewContent& preview) override;
    void SelectGridBlocks(std::span<const GridRange> blocks, GridCell current) override;

    MainWindowModel model_;
    int dpi_ = 96;
    Font font_;
    std::unique_ptr<KeyGrid> grid_;
    // Where the resize rule put the grid last (its design place at first).
    TwipsRect gridPlace_;
    // The standard controls by their object names in the control table.
    std::vector<std::pair<std::string_view, HWND>> controls_;
    // The file list's folder (the file system's bytes) and the names it shows.
    std::string folder_;
    std::vector<std::string> fileNames_;
    // The Preferences dialog, from the start-up on (hidden but for its use).
    std::unique_ptr<PreferencesDialog> preferences_;
};

}  // namespace bladeway::win32
