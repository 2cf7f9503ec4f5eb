#include "win32/kit/clipboard.h"

#include <cstring>
#include <string>

#include "win32/kit/line_ends.h"
#include "win32/kit/owned_handle.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {

void PutTextOnClipboard(HWND owner, std::string_view text) {
    const std::wstring wide = Wide(WithCrLf(text));
    if (OpenClipboard(owner) == FALSE)
        return;
    EmptyClipboard();
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    // The clipboard owns the memory once it took it.
    if (GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes)); memory) {
        if (void* target = GlobalLock(memory.Get()); target != nullptr) {
            std::memcpy(target, wide.c_str(), bytes);
            GlobalUnlock(memory.Get());
            if (SetClipboardData(CF_UNICODETEXT, memory.Get()) != nullptr)
                (void)memory.Release();
        }
    }
    CloseClipboard();
}

}  // namespace bladeway::win32
