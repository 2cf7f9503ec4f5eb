#include "app/variable_table.h"

namespace bladeway {

// SEAM: not connected yet. The substitution table editor (VarSub) plugs in
// here: create it on first use with `owner` as parent, place it at `top` and
// `left` with SetOuterTop / SetOuterLeft, then show it modally.
void OpenVariableTable(QWidget& /*owner*/, SettingsFile& /*settings*/,
                       const std::string& /*appFolder*/, std::int64_t /*top*/,
                       std::int64_t /*left*/) {}

}  // namespace bladeway
