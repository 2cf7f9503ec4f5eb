#include "desktop/x_display.h"

#include <cstdio>
#include <cstdlib>
#include <regex>
#include <sstream>

namespace bladeway::testing::desktop {
namespace {

std::string Hex(XWindow window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", window);
    return text;
}

// The number after `label` in a tool's output, such as xdotool's "WINDOW=" or
// xwininfo's "Absolute upper-left X:  41"; -1 when there is none.
long Number(const std::string& output, const std::string& label) {
    std::smatch match;
    return std::regex_search(output, match, std::regex(label + "\\s*(-?[0-9]+)"))
               ? std::stol(match[1])
               : -1;
}

// Runs a command line of fixed words and numbers; its output, and whether it
// exited with 0.
struct ToolResult {
    bool ok = false;
    std::string output;
};

ToolResult Tool(const std::string& command) {
    ToolResult result;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, read);
    const int status = ::pclose(pipe);
    result.ok = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

}  // namespace

std::string WhyNoDesktop() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return "no DISPLAY: the desktop tests need an X server with a window manager";
    for (const char* tool : {"xdotool", "wmctrl", "xwininfo"}) {
        if (!Tool(std::string("command -v ") + tool).ok)
            return std::string(tool) + " is not installed";
    }
    if (!Tool("xdotool getdisplaygeometry").ok)
        return std::string("the display ") + display + " does not answer";
    if (!Tool("wmctrl -m").ok)
        return std::string("no window manager runs on ") + display;
    return {};
}

void ClickAt(QPoint screen, int button) {
    // The pause lets the toolkit see the pointer arrive before the press.
    Tool("xdotool mousemove " + std::to_string(screen.x()) + " " + std::to_string(screen.y()) +
         " sleep 0.05 click " + std::to_string(button));
}

void PressKeys(const std::string& keys) {
    Tool("xdotool key " + keys);
}

void PressCloseBox(XWindow window) {
    Tool("wmctrl -i -c " + Hex(window));
}

bool ShowsAt(XWindow window, QPoint screen) {
    const ToolResult pointer = Tool("xdotool mousemove " + std::to_string(screen.x()) + " " +
                                    std::to_string(screen.y()) + " getmouselocation --shell");
    const long top = Number(pointer.output, "(?:^|\\n)WINDOW=");
    if (!pointer.ok || top <= 0)
        return false;
    if (static_cast<XWindow>(top) == window)
        return true;
    // xdotool names the window manager's frame there; the client is inside it.
    const ToolResult tree = Tool("xwininfo -tree -id " + std::to_string(top));
    return tree.ok && std::regex_search(tree.output, std::regex("\\s" + Hex(window) + "\\s"));
}

XWindow ActiveWindow() {
    const ToolResult active = Tool("xdotool getactivewindow");
    return active.ok ? std::strtoul(active.output.c_str(), nullptr, 10) : 0;
}

std::vector<XWindow> VisibleWindowsOf(pid_t pid, const std::string& titlePattern) {
    const ToolResult found = Tool("xdotool search --all --onlyvisible --pid " +
                                  std::to_string(pid) + " --name '" + titlePattern + "'");
    std::vector<XWindow> windows;
    std::istringstream lines(found.output);
    for (XWindow window = 0; lines >> window;)
        windows.push_back(window);
    return windows;
}

QPoint ScreenPoint(XWindow window, QPoint inside) {
    const std::string info = Tool("xwininfo -id " + std::to_string(window)).output;
    return QPoint(static_cast<int>(Number(info, "Absolute upper-left X:")),
                  static_cast<int>(Number(info, "Absolute upper-left Y:"))) +
           inside;
}

void SaveScreen(const std::string& path) {
    Tool("timeout 10 import -window root '" + path + "'");
}

}  // namespace bladeway::testing::desktop
