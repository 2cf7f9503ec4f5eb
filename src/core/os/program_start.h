#pragma once
// Starting another program beside this one: it runs on its own, is not
// waited for and outlives the caller.
#include <string>

namespace bladeway {

// Starts `program` (a path, or a bare name looked for along the program
// search path) without arguments and without waiting for it. False when it
// could not be started: an empty name, no such program, one that may not be
// run, or a system that refused to make the process.
bool StartDetachedProgram(const std::string& program);

}  // namespace bladeway
