#pragma once

// Who this process is, as a writer's claim names it for people and for
// other programs on the same computer, and whether a process named so has
// ended. Implemented once per system (unix/process_identity.cpp,
// windows/process_identity.cpp).

#include <cstdint>
#include <string>

namespace bladeway::native {

struct ProcessIdentity {
    std::string computer;  // the computer's name, as its users know it
    // What tells this computer's processes apart from every other's: two
    // processes with the same `system` see the same process numbers. Empty
    // when the system cannot tell, so that no other process is ever taken
    // for one of this computer.
    std::string system;
    // This start of the system: a process of an earlier start has ended.
    // Empty when the system cannot tell.
    std::string boot;
    std::uint64_t process = 0;  // the process number
    // When the process started, in the system's own units: a later process
    // that gets the same number has another start.
    std::uint64_t started = 0;
};

// This process, read once.
const ProcessIdentity& ThisProcess();

// True when the process `process` that started at `started` on this system
// (the same `system` and `boot`) has ended. False when it runs or when the
// system cannot tell.
bool ProcessHasEnded(std::uint64_t process, std::uint64_t started);

}  // namespace bladeway::native
