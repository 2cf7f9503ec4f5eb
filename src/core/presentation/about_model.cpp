#include "core/presentation/about_model.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "bladeway/version.h"
#include "core/os/os_version.h"
#include "core/os/paths.h"
#include "core/os/program_start.h"
#include "core/os/registry_lookups.h"
#include "core/os/system_registry.h"
#include "core/text/text.h"

namespace bladeway {
namespace {

// The number with at least two digits, as the pattern "00" formats it.
std::string TwoDigits(unsigned number) {
    std::string text = std::to_string(number);
    if (text.size() < 2)
        text.insert(0, 2 - text.size(), '0');
    return text;
}

}  // namespace

std::optional<std::string> SystemInformationProgram(Registry& registry,
                                                    const FileSystem& fileSystem) {
    std::string program;
    if (GetKeyValue(registry, kHkeyLocalMachine, kMsinfoKey, kMsinfoPathValue, program)) {
        return program;
    }
    std::string folder;
    if (GetKeyValue(registry, kHkeyLocalMachine, kSharedToolsLocationKey, kSharedToolsMsinfoValue,
                    folder)) {
        std::string file = JoinPath(folder, kSystemInformationFileName);
        if (fileSystem.Exists(file))
            return file;
    }
    return std::nullopt;
}

std::string AboutCaption() {
    return "About " + std::string(kProgramTitle);
}

std::string VersionLine() {
    return "Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

std::string WindowsVersionLine(std::uint32_t version) {
    const OsVersionParts parts = UnpackVersion(version);
    return "Windows " + std::to_string(parts.major) + "." + TwoDigits(parts.minor);
}

std::string DosVersionLine(std::uint32_t version) {
    const OsVersionParts parts = UnpackVersion(version);
    return " DOS " + std::to_string(parts.secondMajor) + "." + TwoDigits(parts.secondMinor);
}

ScreenPlace CentredOnScreen(double screenWidth, double screenHeight, double boxWidth,
                            double boxHeight) {
    return ScreenPlace{
        .left = std::max<std::int64_t>(0, RoundHalfEven((screenWidth - boxWidth) / 2)),
        .top = std::max<std::int64_t>(0, RoundHalfEven((screenHeight - boxHeight) / 2)),
    };
}

AboutSystem AboutSystem::Running() {
    return AboutSystem{.osVersion = GetVersion(), .startProgram = StartDetachedProgram};
}

AboutModel::AboutModel(AboutSystem system) : system_(std::move(system)) {}

ScreenPlace AboutModel::PlaceOnScreen(std::int64_t screenWidth, std::int64_t screenHeight,
                                      std::int64_t outerWidth, std::int64_t outerHeight) {
    return CentredOnScreen(static_cast<double>(screenWidth), static_cast<double>(screenHeight),
                           static_cast<double>(outerWidth), static_cast<double>(outerHeight));
}

void AboutModel::StartSystemInformation() {
    std::optional<std::string> program;
    if (system_.registry != nullptr) {
        program = SystemInformationProgram(*system_.registry, *system_.fileSystem);
    } else {
        const std::unique_ptr<Registry> registry = SystemRegistry();
        program = SystemInformationProgram(*registry, *system_.fileSystem);
    }
    if (program && system_.startProgram && system_.startProgram(*program))
        return;
    if (view_ != nullptr)
        view_->ShowMessage(kProgramTitle, kSystemInformationUnavailable);
}

}  // namespace bladeway
