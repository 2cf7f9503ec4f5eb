#pragma once
// The program preview window (ProgramPreview), a view over
// ProgramPreviewModel (core/presentation/program_preview_model.h), which
// words the heading, the comparison with the destination's file and the
// index entry, gives the differing lines and the G-code highlighting, and
// places the window each time it opens. The window blocks no other; Escape
// closes it. The program shows read-only in a rich edit control, coloured
// from the model's ranges; the differing lines in a table above it, tinted
// on each side, the rows of context dimmed.
#include <vector>

#include "core/presentation/program_preview_model.h"
#include "win32/kit/gdi.h"
#include "win32/kit/laid_out_window.h"

namespace bladeway::win32 {

class ProgramPreviewWindow final : public LaidOutWindow, private ProgramPreviewView {
  public:
    // Shows `model` (the application's) from now on.
    ProgramPreviewWindow(HWND owner, ProgramPreviewModel& model);
    ~ProgramPreviewWindow() override;

    // Opens the window, placed by the model, when it is not open yet, and
    // gives the program text the focus.
    void Open();
    const ProgramPreviewModel& Model() const { return model_; }

  private:
    void Layout(int width, int height) override;
    void OnClose() override { model_.Escape(); }
    void OnDpiChanged() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LRESULT OnDifferencesDraw(NMLVCUSTOMDRAW& draw) const;
    void ShowText(const std::string& rtf);
    void ApplyFixedFont();

    // ProgramPreviewView
    void ShowPreviewContent(const ProgramPreviewContent& content) override;
    void Close() override { EndModal(IDCANCEL); }

    ProgramPreviewModel& model_;
    Font fixedFont_;
    std::vector<ComparedRowText> compared_;
    HWND heading_ = nullptr;
    HWND comparison_ = nullptr;
    HWND differences_ = nullptr;
    HWND more_ = nullptr;
    HWND indexEntry_ = nullptr;
    HWND text_ = nullptr;
};

}  // namespace bladeway::win32
