#pragma once
// The read loop of a whole file, the same on every platform: each system
// opens the file, says its size and reads some bytes; this reads to the end
// within the limit, also when the file grows or shrinks meanwhile.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/text/expected.h"

namespace bladeway::native {

// Reads up to `count` bytes into `buffer`: how many were read (0 at the
// end), or nothing on an error, which `readFailure` then words.
using ReadSomeBytes = std::function<std::optional<std::size_t>(char* buffer, std::size_t count)>;

// The whole content of the open file at `path`, which the system says holds
// `size` bytes; refused beyond `limit`.
Expected<std::string> ReadToEnd(const std::string& path, std::uint64_t size, std::size_t limit,
                                const ReadSomeBytes& readSome,
                                const std::function<Failure()>& readFailure);

}  // namespace bladeway::native
