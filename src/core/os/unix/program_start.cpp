#include "core/os/program_start.h"

#include <array>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/os/system_registry.h"
#include "core/os/unix/system_calls.h"

namespace bladeway {
namespace {

// The program as a path: as given when it holds a slash, else the first
// runnable file of that name along PATH.
std::string ProgramPath(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return program;
    const char* searchPath = std::getenv("PATH");
    const std::array<std::string_view, 1> names{program};
    return FindInstalledProgram(names, ProgramFolders(searchPath != nullptr ? searchPath : ""));
}

// In the child: starts the grandchild that runs the program and leaves at
// once, so that the program is nobody's child here and never a zombie. An
// exec that fails writes its error to `report`; one that succeeds closes it.
// Only calls that are safe between fork and exec.
[[noreturn]] void StartGrandchild(const std::array<char*, 2>& argv, int report) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild == 0) {
        ::execv(argv[0], argv.data());
        const int error = errno;
        (void)::write(report, &error, sizeof(error));
        ::_exit(127);
    }
    if (grandchild < 0) {
        const int error = errno;
        (void)::write(report, &error, sizeof(error));
    }
    ::_exit(0);
}

}  // namespace

bool StartDetachedProgram(const std::string& program) {
    if (program.empty())
        return false;
    std::string path = ProgramPath(program);
    if (path.empty() || !IsRunnableProgram(path))
        return false;
    // Made before the fork: the child may only make system calls.
    const std::array<char*, 2> argv{path.data(), nullptr};
    std::array<int, 2> pipeEnds{};
    if (::pipe2(pipeEnds.data(), O_CLOEXEC) != 0)
        return false;
    native::FileDescriptor readEnd(pipeEnds[0]);
    native::FileDescriptor writeEnd(pipeEnds[1]);
    const pid_t child = ::fork();
    if (child == 0)
        StartGrandchild(argv, writeEnd.get());
    if (child < 0)
        return false;
    writeEnd.Close();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // Nothing to read: the exec succeeded and closed the pipe.
    int error = 0;
    ssize_t got = 0;
    do {
        got = ::read(readEnd.get(), &error, sizeof(error));
    } while (got < 0 && errno == EINTR);
    return got == 0;
}

}  // namespace bladeway
