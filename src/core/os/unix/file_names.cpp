#include "core/os/file_names.h"

#include "core/text/code_page.h"

namespace bladeway {

std::string FileNameOf(std::string_view name) {
    return DecodeWindows1252(name);
}

}  // namespace bladeway
