#include "win32/kit/sheet_text.h"

#include "core/text/code_page.h"
#include "win32/kit/wide_text.h"

namespace bladeway::win32 {

std::wstring WideFromCellBytes(std::string_view bytes) {
    // Every byte decodes, so the UTF-8 is always valid.
    return Wide(DecodeWindows1252(bytes));
}

std::string CellBytesFromWide(std::wstring_view text) {
    return EncodeWindows1252(Utf8(text));
}

}  // namespace bladeway::win32
