#include "core/os/large_memory.h"

#include <cstdint>
#include <sys/mman.h>

namespace bladeway {

void AdviseLargeBuffer(void* data, std::size_t bytes) {
// Systems without huge pages have no MADV_HUGEPAGE: the advice is left out.
#ifdef MADV_HUGEPAGE
    if (data == nullptr || bytes < kLargeBufferSize) {
        return;
    }
    // Only whole huge pages inside the buffer can be advised.
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + bytes) & ~(kHugePage - 1);
    if (first < last) {
        (void)::madvise(static_cast<char*>(data) + (first - begin), last - first, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)bytes;
#endif
}

}  // namespace bladeway
