#include "core/os/whole_file_read.h"

#include <algorithm>

#include "core/os/file_failures.h"
#include "core/os/large_memory.h"

namespace bladeway::native {

Expected<std::string> ReadToEnd(const std::string& path, std::uint64_t size, std::size_t limit,
                                const ReadSomeBytes& readSome,
                                const std::function<Failure()>& readFailure) {
    if (size > limit) {
        return TooLargeFailure(path, size, limit);
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(size));
    AdviseLargeBuffer(content.data(), static_cast<std::size_t>(size));
    content.resize(static_cast<std::size_t>(size));
    std::size_t filled = 0;
    while (true) {
        if (filled == content.size()) {
            // Full as the size said: one probe tells whether the file grew
            // meanwhile, without growing the buffer for nothing.
            char probe = 0;
            const std::optional<std::size_t> extra = readSome(&probe, 1);
            if (!extra) {
                return readFailure();
            }
            if (*extra == 0) {
                break;
            }
            if (content.size() >= limit) {
                return Failure{"refused '" + path + "': it grew past the limit of " +
                                   std::to_string(limit) + " bytes",
                               FailureKind::kTooLarge};
            }
            content.resize(std::min(limit, std::max<std::size_t>(content.size() * 2, 4096)));
            content[filled++] = probe;
            continue;
        }
        const std::optional<std::size_t> got =
            readSome(content.data() + filled, content.size() - filled);
        if (!got) {
            return readFailure();
        }
        if (*got == 0) {
            break;
        }
        filled += *got;
    }
    content.resize(filled);
    return content;
}

}  // namespace bladeway::native
