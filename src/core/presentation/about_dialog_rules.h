#pragma once

// What the About box shows and how it finds the system information program.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bladeway/version.h"
#include "core/os/registry.h"
#include "core/presentation/program_title.h"
#include "core/storage/file_system.h"

namespace bladeway {

inline constexpr std::string_view kSystemInformationUnavailable =
    "System Information Is Unavailable At This Time";

// The program file looked for in the folder of "Shared Tools Location".
inline constexpr std::string_view kSystemInformationFileName = "MSINFO32.EXE";

std::string AboutCaption();  // "About Bladeway"
std::string VersionLine();   // "Version 2.2.0"

// "Windows " major "." minor, the minor with at least two digits ("Windows 5.01").
std::string WindowsVersionLine(std::uint32_t version);
// " DOS " major "." minor from the upper two bytes, the minor with at least two digits.
std::string DosVersionLine(std::uint32_t version);

struct ScreenPlace {
    std::int64_t left = 0;
    std::int64_t top = 0;
};

// The box centred on the screen (all values in twips): each coordinate the
// nearest whole twip (a half to the even neighbour), and 0 where the box is
// larger than the screen.
ScreenPlace CentredOnScreen(double screenWidth, double screenHeight, double boxWidth,
                            double boxHeight);

// The system information program's file name: the "PATH" value of the
// MSINFO key when there is one (whether or not that file exists); otherwise
// MSINFO32.EXE in the folder that "Shared Tools Location" names, if that file
// exists. Nothing when neither gives a program.
std::optional<std::string> SystemInformationProgram(Registry& registry,
                                                    const FileSystem& fileSystem);

}  // namespace bladeway
