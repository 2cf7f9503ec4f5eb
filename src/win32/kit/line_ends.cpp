#include "win32/kit/line_ends.h"

namespace bladeway::win32 {

std::string WithCrLf(std::string_view text) {
    std::string shown;
    shown.reserve(text.size() + text.size() / 16);
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\n' && (at == 0 || text[at - 1] != '\r'))
            shown += '\r';
        shown += text[at];
    }
    return shown;
}

}  // namespace bladeway::win32
