#include "core/os/file_names.h"

#include <windows.h>

#include "core/os/windows/win32_text.h"
#include "core/text/code_page.h"

namespace bladeway {

std::string FileNameOf(std::string_view name) {
    constexpr UINT kWindows1252 = 1252;
    if (name.empty() || GetACP() == kWindows1252) {
        return DecodeWindows1252(name);
    }
    const int length = static_cast<int>(name.size());
    std::wstring wide(name.size(), L'\0');
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, name.data(), length, wide.data(), length);
    wide.resize(static_cast<std::size_t>(wideLength));
    return win32::Utf8FromWide(wide);
}

}  // namespace bladeway
