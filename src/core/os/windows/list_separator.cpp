#include "core/os/list_separator.h"

#include <array>

#include "core/os/windows/win32_api.h"

namespace bladeway::native {

// The "List separator" of the user's region (Excel reads CSV files by it);
// anything but one plain character counts as the comma.
char ListSeparator() {
    std::array<wchar_t, 4> separator{};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SLIST, separator.data(),
                                         static_cast<int>(separator.size()));
    const wchar_t first = separator[0];
    const bool plain = length == 2 && first > L' ' && first < 0x7F && first != L'"';
    return plain ? static_cast<char>(first) : ',';
}

}  // namespace bladeway::native
