#pragma once
// The wording of a failed file operation that both systems' files and the
// file systems held in memory share: "cannot read 'PATH': it is a folder".
// The system's own reasons are worded in each system's system_calls.h.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/expected.h"

namespace bladeway::native {

inline std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// `what` ("cannot read") refused because the path names a folder.
inline Failure IsFolderFailure(std::string_view what, const std::string& path) {
    return Failure{std::string(what) + " " + Quoted(path) + ": it is a folder",
                   FailureKind::kIsFolder};
}

// The refusal of a file of `size` bytes, more than `limit`.
inline Failure TooLargeFailure(const std::string& path, std::uint64_t size, std::size_t limit) {
    return Failure{"refused " + Quoted(path) + ": " + std::to_string(size) +
                       " bytes is more than the limit of " + std::to_string(limit) + " bytes",
                   FailureKind::kTooLarge};
}

}  // namespace bladeway::native
