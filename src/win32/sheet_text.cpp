#include "win32/sheet_text.h"

#include "core/os/windows/win32_text.h"
#include "core/text/code_page.h"

namespace bladeway::win32 {

std::wstring WideFromCellBytes(std::string_view bytes) {
    // Every byte decodes, so the UTF-8 is always valid.
    return WideFromUtf8(DecodeWindows1252(bytes)).value_or(std::wstring());
}

std::string CellBytesFromWide(std::wstring_view text) {
    return EncodeWindows1252(Utf8FromWide(text));
}

}  // namespace bladeway::win32
