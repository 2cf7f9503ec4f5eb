#pragma once
// What is wrong with a key data file that still loads: the loader takes any
// bytes as they come (a cut-off file shows its whole keys, random bytes show
// as keys of garbage), so a file that cannot be what Lockplan wrote is named
// here, in a worker's words, for the program to say once.
#include <optional>
#include <string>
#include <string_view>

namespace bladeway {

enum class KeyDataDamageKind {
    kEmpty,         // no bytes at all: no key
    kNotKeyData,    // mostly bytes no text file holds
    kNoKeyEnd,      // text, but no "!" ends a key: no key is shown
    kEndsInsideKey  // lines after the last "!": the last key is cut off and not shown
};

struct KeyDataDamage {
    KeyDataDamageKind kind;
    // "the file ends inside key 1,001 (3 lines after its last \"!\"): that key
    // and any after it are missing, the file may be cut off"
    std::string text;
    // A few words for the small place beside Process: "Cut at key 1,001".
    std::string label;
    std::string code;  // a word for tools: "empty", "not-key-data", "no-key-end", "ends-inside-key"
};

// None for a file whose every key block ends with "!" and its line end.
std::optional<KeyDataDamage> FindKeyDataDamage(std::string_view content);

}  // namespace bladeway
