#pragma once
// Where a template or program lies in tree mode: below an "SRG" folder, in a
// subfolder named by the name's first character, the next eight characters as
// the file name and the rest as the extension.
#include <string>
#include <string_view>

namespace bladeway {

// The tree name of `name` (trimmed of spaces first), written with "\" as the
// file formats write paths: "SRG\00\A" for names of 0 or 1 characters,
// "SRG\A\B12" up to 9, "SRG\A\BCDEFGHI.JKL" for 10 to 12.
std::string TreeName(std::string_view name);

}  // namespace bladeway
