#pragma once
// The About box frmAbout without widgets: the program's title and version,
// the version numbers the operating system reports, where each control
// goes, where the box goes on the screen, and the System Info button, which
// starts the system information program or says that there is none. The
// start-up shows the box modally before anything else; any front end shows
// it from this model.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/os/registry.h"
#include "core/presentation/program_title.h"
#include "core/presentation/twips.h"
#include "core/storage/file_system.h"

namespace bladeway {

inline constexpr std::string_view kSystemInformationUnavailable =
    "System Information Is Unavailable At This Time";
inline constexpr std::string_view kAboutDescription =
    "G-code programs for CNC key cutting from Lockplan key data.";
inline constexpr std::string_view kAboutOkCaption = "OK";
// "&" marks the letter that presses the button with Alt.
inline constexpr std::string_view kAboutSystemInfoCaption = "&System Info...";
// The program file looked for in the folder of "Shared Tools Location".
inline constexpr std::string_view kSystemInformationFileName = "MSINFO32.EXE";

// The system information program's file name: the "PATH" value of the
// MSINFO key when there is one (whether or not that file exists); otherwise
// MSINFO32.EXE in the folder that "Shared Tools Location" names, if that file
// exists. Nothing when neither gives a program.
std::optional<std::string> SystemInformationProgram(Registry& registry,
                                                    const FileSystem& fileSystem);

// The title's size, in points.
inline constexpr int kAboutTitlePointSize = 18;

inline constexpr TwipsRect kAboutClientSize{0, 0, 5730, 3555};

// The controls by role, under the names the table, the views and their tests
// know them by.
inline constexpr std::string_view kAboutIconName = "picIcon";
inline constexpr std::string_view kAboutTitleName = "lblTitle";
inline constexpr std::string_view kAboutVersionName = "lblVersion";
inline constexpr std::string_view kAboutDescriptionName = "lblDescription";
inline constexpr std::string_view kAboutSystemVersionName = "WinVerLabel";
inline constexpr std::string_view kAboutSecondVersionName = "DosVerLabel";
inline constexpr std::string_view kAboutDisclaimerName = "lblDisclaimer";
inline constexpr std::string_view kAboutOkName = "cmdOK";
inline constexpr std::string_view kAboutSystemInfoName = "cmdSysInfo";

// The controls in their design places. The picture holds the program's
// icon; lblDescription and lblDisclaimer wrap their words; cmdOK is the
// default button and comes before cmdSysInfo in the tab order.
inline constexpr std::array<ControlPlace, 9> kAboutControls{{
    {kAboutIconName, {240, 240, 540, 540}},
    {kAboutTitleName, {1050, 240, 1725, 480}},
    {kAboutVersionName, {1050, 780, 3885, 225}},
    {kAboutDescriptionName, {3120, 120, 2205, 930}},
    {kAboutSystemVersionName, {240, 1920, 1815, 255}},
    {kAboutSecondVersionName, {240, 2160, 1815, 255}},
    {kAboutDisclaimerName, {255, 2625, 3870, 825}},
    {kAboutOkName, {4245, 2520, 1260, 345}},
    {kAboutSystemInfoName, {4260, 3120, 1245, 345}},
}};

// The etched line above the buttons: a grey line one pixel high from
// (greyLeft, greyTop) and a white one two pixels high from (whiteLeft,
// whiteTop), both to `right`; in twips.
struct EtchedLine {
    std::int64_t greyLeft = 90;
    std::int64_t greyTop = 2445;
    std::int64_t whiteLeft = 105;
    std::int64_t whiteTop = 2460;
    std::int64_t right = 5654;
};
inline constexpr EtchedLine kAboutEtchedLine{};

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

// What the box needs from its window.
class AboutView {
  public:
    virtual ~AboutView() = default;
    // A message with an OK button only, over the box, until the user closes it.
    virtual void ShowMessage(std::string_view title, std::string_view text) = 0;
};

// What the box takes from the system, replaceable in tests.
struct AboutSystem {
    std::uint32_t osVersion = 0;
    // The registry to read; none: the system's registry as it is at the click.
    Registry* registry = nullptr;
    const FileSystem* fileSystem = &Disk();
    // Starts the program without waiting; false when it could not be started.
    std::function<bool(const std::string&)> startProgram = {};

    // The running system's version and registry, the disk and a real process.
    static AboutSystem Running();
};

class AboutModel {
  public:
    explicit AboutModel(AboutSystem system = AboutSystem::Running());

    // The window that shows the box; none until it is made.
    void SetView(AboutView* view) { view_ = view; }

    // The texts the box shows, as bytes.
    static std::string Caption() { return AboutCaption(); }
    static std::string_view Title() { return kProgramTitle; }
    static std::string Version() { return VersionLine(); }
    std::string WindowsVersion() const { return WindowsVersionLine(system_.osVersion); }
    std::string DosVersion() const { return DosVersionLine(system_.osVersion); }
    static std::string_view Description() { return kAboutDescription; }
    // Empty: the box has no disclaimer.
    static std::string_view Disclaimer() { return {}; }

    static std::span<const ControlPlace> Controls() { return kAboutControls; }
    static TwipsRect ClientSize() { return kAboutClientSize; }

    // Where the box's outer top-left corner goes, from the top-left corner
    // of a screen of this size; the box's outer size includes its frame.
    static ScreenPlace PlaceOnScreen(std::int64_t screenWidth, std::int64_t screenHeight,
                                     std::int64_t outerWidth, std::int64_t outerHeight);

    // The System Info button: starts the system information program, or
    // says through the view that there is none.
    void StartSystemInformation();

  private:
    AboutSystem system_;
    AboutView* view_ = nullptr;
};

}  // namespace bladeway
