#pragma once
// The check of one INDICE.Prg (IndexCheck), a view over IndexCheckModel
// (core/presentation/index_check_model.h): the findings, read-only in a
// fixed-width font, Repair and Close; Escape closes it too.
#include "core/presentation/index_check_model.h"
#include "win32/kit/gdi.h"
#include "win32/kit/laid_out_window.h"

namespace bladeway::win32 {

class IndexCheckWindow final : public LaidOutWindow, private IndexCheckView {
  public:
    // Shows `model` (the application's) from now on.
    IndexCheckWindow(HWND owner, IndexCheckModel& model);
    ~IndexCheckWindow() override;

    IndexCheckModel& Model() { return model_; }

  private:
    void Layout(int width, int height) override;
    void OnCommand(int id, int code) override;
    void OnClose() override { model_.Close(); }
    void OnDpiChanged() override;
    void FitLongestLine();

    // IndexCheckView
    void ShowFindings(const std::string& text) override;
    void EnableRepair(bool enabled) override;
    bool ConfirmRepair(const std::string& question) override;
    void Close() override { EndModal(IDCANCEL); }

    IndexCheckModel& model_;
    Font fixedFont_;
    HWND findings_ = nullptr;
    HWND repair_ = nullptr;
    HWND close_ = nullptr;
};

}  // namespace bladeway::win32
