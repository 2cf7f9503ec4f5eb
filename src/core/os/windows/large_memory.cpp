#include "core/os/large_memory.h"

namespace bladeway {

// Windows gives large pages only to programs holding the right to lock
// memory, and only for memory asked for as such: the advice is left out.
void AdviseLargeBuffer(void* /*data*/, std::size_t /*bytes*/) {}

}  // namespace bladeway
