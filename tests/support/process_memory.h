#pragma once
// How much memory the test process has used.
#include <cstddef>

namespace bladeway::testing {

// Peak resident memory of this process so far, in bytes.
std::size_t PeakMemory();

}  // namespace bladeway::testing
