#include "core/platform/file_names.h"

#include "core/platform/code_page.h"

#ifdef _WIN32
#include <windows.h>

#include "core/platform/win32_text.h"
#endif

namespace bladeway {

#ifdef _WIN32

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

#else

std::string FileNameOf(std::string_view name) {
    return DecodeWindows1252(name);
}

#endif

}  // namespace bladeway
