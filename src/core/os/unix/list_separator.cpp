#include "core/os/list_separator.h"

namespace bladeway::native {

// Spreadsheets here read the comma whatever the locale; LibreOffice asks.
char ListSeparator() {
    return ',';
}

}  // namespace bladeway::native
