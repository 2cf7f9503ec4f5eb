#include "win32/views/before_run_window.h"

#include <array>

#include "core/os/tool_command.h"
#include "core/presentation/unbroken_text.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kClassName = L"BladewayBeforeRun";
constexpr std::array<ControlText, 2> kButtons{kBeforeRunProcess, kBeforeRunCancel};

std::string_view NameOf(BeforeRunButton button) {
    return button == BeforeRunButton::kProcessAnyway ? kBeforeRunProcess.objectName
                                                     : kBeforeRunCancel.objectName;
}

}  // namespace

void BeforeRunWindow::Ask(HWND owner, BeforeRunModel& model) {
    BeforeRunWindow window(model);
    // A window that cannot be made leaves the model's answer: Cancel.
    if (!window.CreateMessage(
            kClassName, kBeforeRunCaption, owner, IDI_WARNING,
            Wide(ShownUnbroken(SpansOnOwnLines(model.Text(), ToolCommand()), KeptWhole::kSpaces)),
            kButtons, NameOf(kBeforeRunDefault)))
        return;
    window.RunModal();
}

void BeforeRunWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED)
        return;
    if (id == ButtonId(kBeforeRunProcess.objectName))
        Answer(BeforeRunButton::kProcessAnyway);
    else if (id == ButtonId(kBeforeRunCancel.objectName) || id == IDCANCEL)
        Answer(BeforeRunButton::kCancel);
}

// Escape and the close box.
void BeforeRunWindow::OnClose() {
    Answer(kBeforeRunEscape);
}

void BeforeRunWindow::Answer(BeforeRunButton button) {
    model_.Answer(button);
    EndModal(button == BeforeRunButton::kProcessAnyway ? IDOK : IDCANCEL);
}

}  // namespace bladeway::win32
