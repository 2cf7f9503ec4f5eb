#include "support/process_memory.h"

#ifdef _WIN32
#include <windows.h>
// After <windows.h>, which it needs.
#include <psapi.h>
#else
#include <sys/resource.h>
#endif

namespace bladeway::testing {

std::size_t PeakMemory() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
#endif
}

}  // namespace bladeway::testing
