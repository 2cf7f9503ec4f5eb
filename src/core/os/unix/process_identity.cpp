// Who this process is on Linux and other POSIX systems.
#include "core/os/process_identity.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <optional>
#include <string_view>
#include <sys/types.h>
#include <unistd.h>

#include "core/os/native_files.h"
#include "core/text/text.h"

namespace bladeway::native {
namespace {

constexpr std::size_t kSmallFileLimit = std::size_t{4} << 10;

std::string FirstLineOf(const std::string& path) {
    const auto content = ReadWholeFile(path, kSmallFileLimit);
    if (!content)
        return {};
    const std::string& text = content.value();
    return std::string(TrimSpaces(std::string_view(text).substr(0, text.find('\n'))));
}

// Field 22 of /proc/PID/stat, the start in clock ticks since the boot. The
// command's name (field 2) is in parentheses and may hold spaces, so the
// fields are counted from its closing one.
std::optional<std::uint64_t> StartOf(const std::string& process) {
    const auto stat = ReadWholeFile("/proc/" + process + "/stat", kSmallFileLimit);
    if (!stat)
        return std::nullopt;
    const std::string& text = stat.value();
    std::size_t at = text.rfind(')');
    constexpr int kFieldsAfterName = 20;  // fields 3 to 22
    for (int field = 0; field < kFieldsAfterName && at != std::string::npos; ++field)
        at = text.find(' ', at + 1);
    if (at == std::string::npos)
        return std::nullopt;
    std::uint64_t start = 0;
    const auto [end, error] =
        std::from_chars(text.data() + at + 1, text.data() + text.size(), start);
    if (error != std::errc{})
        return std::nullopt;
    return start;
}

// The machine's lasting identity, and the process numbers' name space: a
// container on the same machine numbers its processes apart.
std::string SystemOfThisProcess() {
    std::string machine = FirstLineOf("/etc/machine-id");
    if (machine.empty())
        machine = FirstLineOf("/var/lib/dbus/machine-id");
    std::array<char, 64> space{};
    const ssize_t length = ::readlink("/proc/self/ns/pid", space.data(), space.size() - 1);
    if (machine.empty() || length <= 0)
        return {};
    return "linux:" + machine + ":" + std::string(space.data(), static_cast<std::size_t>(length));
}

ProcessIdentity Read() {
    ProcessIdentity identity;
    std::array<char, 256> name{};
    if (::gethostname(name.data(), name.size() - 1) == 0)
        identity.computer = name.data();
    identity.system = SystemOfThisProcess();
    identity.boot = FirstLineOf("/proc/sys/kernel/random/boot_id");
    identity.process = static_cast<std::uint64_t>(::getpid());
    identity.started = StartOf("self").value_or(0);
    return identity;
}

}  // namespace

const ProcessIdentity& ThisProcess() {
    static const ProcessIdentity identity = Read();
    return identity;
}

bool ProcessHasEnded(std::uint64_t process, std::uint64_t started) {
    const auto number = static_cast<pid_t>(process);
    if (number <= 0 || static_cast<std::uint64_t>(number) != process)
        return false;
    if (::kill(number, 0) != 0)
        return errno == ESRCH;
    // A process has that number: the same one only if it started then.
    const auto start = StartOf(std::to_string(process));
    return start && started != 0 && *start != started;
}

}  // namespace bladeway::native
