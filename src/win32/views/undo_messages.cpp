#include "win32/views/undo_messages.h"

#include "core/presentation/program_title.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {

bool AskYesOrNo(HWND owner, const std::string& question) {
    return MessageBoxW(owner, Wide(question).c_str(), Wide(kProgramTitle).c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void TellUndoOutcome(HWND owner, const std::string& text, bool complete) {
    const UINT icon = complete ? MB_ICONINFORMATION : MB_ICONWARNING;
    MessageBoxW(owner, Wide(text).c_str(), Wide(kProgramTitle).c_str(), MB_OK | icon);
}

}  // namespace bladeway::win32
