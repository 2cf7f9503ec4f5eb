#include "core/presentation/key_data_file_list.h"

#include <algorithm>
#include <cstdint>

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::string_view kKeyDataExtension = ".dat";

// The next character of UTF-8 text as a code point; a byte that starts no
// valid sequence stands for itself.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at);
    std::size_t length = 1;
    char32_t value = first;
    if (first >= 0xC2 && first <= 0xDF) {
        length = 2;
        value = first & 0x1Fu;
    } else if (first >= 0xE0 && first <= 0xEF) {
        length = 3;
        value = first & 0x0Fu;
    } else if (first >= 0xF0 && first <= 0xF4) {
        length = 4;
        value = first & 0x07u;
    }
    if (length > 1 && at + length <= text.size()) {
        bool valid = true;
        for (std::size_t i = 1; i < length && valid; ++i) {
            valid = (byte(at + i) & 0xC0u) == 0x80u;
            value = (value << 6) | (byte(at + i) & 0x3Fu);
        }
        if (valid) {
            at += length;
            return value;
        }
    }
    ++at;
    return first;
}

// The lower-case letter of an upper-case Windows-1252 letter; any other
// character as it is.
char32_t LowerCase(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return c + 0x20;
    switch (c) {
        case 0x160:  // S caron
        case 0x152:  // ligature OE
        case 0x17D:  // Z caron
            return c + 1;
        case 0x178:  // Y diaeresis
            return 0xFF;
        default:
            return c;
    }
}

std::u32string SortKey(std::string_view name) {
    std::u32string key;
    for (std::size_t at = 0; at < name.size();)
        key.push_back(LowerCase(NextCodePoint(name, at)));
    return key;
}

}  // namespace

bool IsKeyDataFileName(std::string_view name) {
    return name.size() >= kKeyDataExtension.size() &&
           EqualsIgnoringCase(name.substr(name.size() - kKeyDataExtension.size()),
                              kKeyDataExtension);
}

std::vector<std::string> KeyDataFileNames(std::vector<std::string> fileNames) {
    std::erase_if(fileNames, [](const std::string& name) { return !IsKeyDataFileName(name); });
    std::vector<std::pair<std::u32string, std::string>> keyed;
    keyed.reserve(fileNames.size());
    for (std::string& name : fileNames)
        keyed.emplace_back(SortKey(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    std::vector<std::string> names;
    names.reserve(keyed.size());
    for (auto& [key, name] : keyed)
        names.push_back(std::move(name));
    return names;
}

bool CanListFolder(const FileSystem& fileSystem, const std::string& folder) {
    return !folder.empty() && fileSystem.FolderExists(folder);
}

}  // namespace bladeway
