#pragma once

// Windows only: the folders installers put programs in. A program there was
// installed for the machine, so its settings belong to each user
// (core/settings/settings_place.h), whoever may write the folder.

#include <string>
#include <string_view>
#include <vector>

namespace bladeway::win32 {

// The Program Files folders as the shell names them, in UTF-8: the 64-bit
// one and "Program Files (x86)". Empty when the system names none.
std::vector<std::string> ProgramFilesFolders();

// True when `path` is `folder` or lies below it. Whole folder names are
// compared, without regard to letter case as Windows compares file names;
// "/" and "\" are alike, a "\\?\" prefix and closing separators are ignored.
// So "C:\Program Filesystem" is not below "C:\Program Files". False when
// either is empty or not UTF-8.
bool IsInFolder(std::string_view path, std::string_view folder);

// The long form of an existing path ("C:\PROGRA~1\X" gives
// "C:\Program Files\X"); the path as given when it cannot be found.
std::string LongPathOf(std::string_view path);

}  // namespace bladeway::win32
