#pragma once

// The order in which lists of names (key data files, folders) are shown:
// letter case aside, as a file list on the desktop sorts them, then byte by
// byte so that the order is total. Names are UTF-8 as the system gives them.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace bladeway {

// The next character of UTF-8 text, moving `at` past it; a byte that starts
// no valid character stands for U+FFFD, as a screen shows it.
char32_t NextUtf8Character(std::string_view text, std::size_t& at);

// `names` in the order above; letter case is folded for ASCII, Latin-1 and
// the other letters of Windows-1252 (the letters a key data file's name can
// hold).
std::vector<std::string> SortedNames(std::vector<std::string> names);

}  // namespace bladeway
