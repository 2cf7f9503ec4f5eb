#pragma once
// Template and program names come from key data files as single-byte text,
// and stay so in every file the system writes. Paths inside the program are
// UTF-8 on every system (the Windows file calls take them as UTF-16). A name
// becomes a file name here, at the one place paths are built from names, so
// that the file on disk carries the name as people read it.
#include <string>
#include <string_view>

namespace bladeway {

// The UTF-8 file name of a name (or relative path) from a key data file. On
// Windows the bytes are read in the system's ANSI code page, so that the file
// has the name the ANSI file calls of the shop's other programs give it;
// elsewhere, and where that code page is Windows-1252, as Windows-1252.
std::string FileNameOf(std::string_view name);

}  // namespace bladeway
