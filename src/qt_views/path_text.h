#pragma once
// Folder texts cross between the preference values (bytes, as the settings
// file holds them) and the screen. A folder is a file-system name, so it is
// kept in the file system's own 8-bit encoding (UTF-8 on Linux), unlike key
// data, which is Windows-1252 whatever the platform.
#include <string>
#include <string_view>

#include <QString>

namespace bladeway {

QString FolderToText(std::string_view bytes);
std::string FolderToBytes(const QString& text);

}  // namespace bladeway
