#pragma once
// The main window (Form1) as a Win32 window: so far a shell that places the
// key grid, the file list and the buttons where the main window model's
// table of controls puts them, scaled by the window's DPI. The buttons and
// the file list are not wired to the model yet.
#include <memory>
#include <string_view>
#include <vector>

#include "core/presentation/twips.h"
#include "win32/gdi.h"
#include "win32/key_grid.h"
#include "win32/window.h"
#include "win32/windows_api.h"

namespace bladeway::win32 {

class MainFrame final : public Window {
  public:
    MainFrame();
    ~MainFrame() override;

    KeyGrid& Grid() { return *grid_; }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    RECT PixelsOf(const TwipsRect& place) const;
    void CreateControls();
    void PlaceControls();
    void UpdateFont();

    int dpi_ = 96;
    Font font_;
    std::unique_ptr<KeyGrid> grid_;
    // The standard controls by their object names in the control table.
    std::vector<std::pair<std::string_view, HWND>> controls_;
};

}  // namespace bladeway::win32
