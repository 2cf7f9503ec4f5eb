#include "win32/views/undo_messages.h"

#include <array>

#include "core/os/tool_command.h"
#include "core/presentation/program_title.h"
#include "core/presentation/unbroken_text.h"
#include "win32/kit/clipboard.h"
#include "win32/kit/message_window.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {
namespace {

constexpr const wchar_t* kOutcomeClassName = L"BladewayUndoOutcome";
constexpr ControlText kOk{"OK", "OK"};
constexpr std::array<ControlText, 2> kOutcomeButtons{kOk, kUndoOutcomeCopy};

// An outcome longer than a message box holds: Copy all lines leaves the
// window open, OK, Escape and the close box close it.
class UndoOutcomeWindow final : public MessageWindow {
  public:
    explicit UndoOutcomeWindow(const UndoOutcome& outcome) : outcome_(outcome) {}

    void Show(HWND owner) {
        if (!CreateMessage(kOutcomeClassName, kProgramTitle, owner,
                           outcome_.complete ? IDI_INFORMATION : IDI_WARNING,
                           Wide(ShownUnbroken(SpansOnOwnLines(outcome_.text, ToolCommand()),
                                              KeptWhole::kSpaces)),
                           kOutcomeButtons, kOk.objectName)) {
            // No window: the box says what it can.
            MessageBoxW(owner, Wide(outcome_.text).c_str(), Wide(kProgramTitle).c_str(), MB_OK);
            return;
        }
        RunModal();
    }

  private:
    void OnCommand(int id, int code) override {
        if (code != BN_CLICKED)
            return;
        if (id == ButtonId(kUndoOutcomeCopy.objectName))
            PutTextOnClipboard(Handle(), outcome_.whole);
        else if (id == ButtonId(kOk.objectName) || id == IDOK || id == IDCANCEL)
            EndModal(IDOK);
    }
    void OnClose() override { EndModal(IDOK); }

    const UndoOutcome& outcome_;
};

}  // namespace

bool AskYesOrNo(HWND owner, const std::string& question) {
    return MessageBoxW(owner, Wide(question).c_str(), Wide(kProgramTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// A message box copies its text with Ctrl+C.
void TellUndoOutcome(HWND owner, const UndoOutcome& outcome) {
    if (outcome.whole != outcome.text) {
        UndoOutcomeWindow(outcome).Show(owner);
        return;
    }
    const UINT icon = outcome.complete ? MB_ICONINFORMATION : MB_ICONWARNING;
    MessageBoxW(owner, Wide(outcome.text).c_str(), Wide(kProgramTitle).c_str(), MB_OK | icon);
}

}  // namespace bladeway::win32
