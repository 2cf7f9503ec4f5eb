#pragma once
// The About box (frmAbout) as a Win32 window over AboutModel, which holds
// its texts, the places of its controls, where it goes on the screen and
// what System Info does. The start-up shows it modally before anything else.
#include "core/presentation/about_model.h"
#include "win32/kit/dialog_window.h"
#include "win32/kit/gdi.h"
#include "win32/kit/icons.h"

namespace bladeway::win32 {

class AboutBox final : public DialogWindow, private AboutView {
  public:
    // Over `owner` and `model`, which outlives the box, placed on the
    // primary screen as the model says.
    AboutBox(HWND owner, AboutModel& model);
    ~AboutBox() override;

    // Places the box on a screen of these edges (pixels) by the model's rule.
    void PlaceOnScreen(const RECT& screen);

  private:
    void OnCommand(int id, int code) override;
    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowMessage(std::string_view title, std::string_view text) override;
    void UpdateTitleFont();
    void UpdateIcon();
    void PaintEtchedLine(HDC dc) const;

    AboutModel& model_;
    Font titleFont_;
    Icon icon_;
};

// The start-up's step: shows the About box over `owner` and `model` and
// returns once the user has closed it.
void ShowAboutBox(HWND owner, AboutModel& model);

}  // namespace bladeway::win32
