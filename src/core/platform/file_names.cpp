#include "core/platform/file_names.h"

#include "core/platform/code_page.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace bladeway {

#ifdef _WIN32

std::string FileNameOf(std::string_view windows1252Name) {
    constexpr UINT kWindows1252 = 1252;
    if (windows1252Name.empty() || GetACP() == kWindows1252)
        return std::string(windows1252Name);
    const int length = static_cast<int>(windows1252Name.size());
    std::wstring wide(windows1252Name.size(), L'\0');
    const int wideLength =
        MultiByteToWideChar(kWindows1252, 0, windows1252Name.data(), length, wide.data(), length);
    const int ansiLength =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, "?", nullptr);
    std::string ansi(static_cast<std::size_t>(ansiLength), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), ansiLength, "?", nullptr);
    return ansi;
}

#else

std::string FileNameOf(std::string_view windows1252Name) {
    return DecodeWindows1252(windows1252Name);
}

#endif

}  // namespace bladeway
