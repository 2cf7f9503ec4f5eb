#pragma once
// Template and program names come from key data files as Windows-1252 text,
// and stay so in every file the system writes. The file system names its
// files in its own encoding: UTF-8 on Linux, the ANSI code page on Windows.
// A name becomes a file name here, at the one place paths are built from
// names, so that the file on disk carries the name as people read it.
#include <string>
#include <string_view>

namespace bladeway {

// The file-system form of a Windows-1252 name (or relative path): UTF-8 on
// Linux; on Windows the same characters in the ANSI code page, where a
// character it lacks becomes "?".
std::string FileNameOf(std::string_view windows1252Name);

}  // namespace bladeway
