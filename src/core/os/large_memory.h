#pragma once
// Large buffers (a loaded key data file and its cell table run to tens of
// megabytes) asked to be backed by huge pages where the system offers them,
// so that filling them takes one page fault per 2 MB instead of one per
// 4 KB. Only advice: without huge pages nothing changes.
#include <cstddef>

namespace bladeway {

// Buffers smaller than this are left alone.
inline constexpr std::size_t kLargeBufferSize = std::size_t{4} << 20;

// Advises the system to back [data, data + bytes) with huge pages; call it
// after reserving and before the first write.
void AdviseLargeBuffer(void* data, std::size_t bytes);

}  // namespace bladeway
