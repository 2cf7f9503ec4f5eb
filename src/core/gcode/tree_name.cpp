#include "core/gcode/tree_name.h"

#include "core/text/text.h"

namespace bladeway {
namespace {

constexpr std::size_t kFileNameLength = 8;

}  // namespace

std::string TreeName(std::string_view name) {
    name = TrimSpaces(name);
    std::string tree = "SRG\\";
    if (name.size() <= 1) {
        return tree.append("00\\").append(name);
    }
    tree.append(1, name.front()).append(1, '\\');
    const std::string_view rest = name.substr(1);
    tree.append(rest.substr(0, kFileNameLength));
    if (rest.size() > kFileNameLength) {
        tree.append(1, '.').append(rest.substr(kFileNameLength));
    }
    return tree;
}

}  // namespace bladeway
