#pragma once
// The key grid's context menu: its entries in the order both desktop programs
// show them, each with the name a test or a tool finds it by. A view builds
// its menu from kGridMenu and hands the entry chosen to
// MainWindowModel::GridMenuChosen; the recent runs' submenu lists
// RecentRunsMenu (run_undo_model.h) afresh each time it opens.
#include <array>
#include <string_view>

#include "core/presentation/run_undo_model.h"

namespace bladeway {

enum class GridMenuCommand {
    PreviewProgram,
    ShowRunReport,
    RecentRuns,  // a submenu: its entries undo a run
};

struct GridMenuEntry {
    GridMenuCommand command;
    std::string_view objectName;
    std::string_view caption;
    // The entry's shortcut while the main window is active, Ctrl with this
    // letter, shown after the caption as menus show one; 0: none.
    char controlKey = 0;
    std::string_view shortcutText = {};
};

inline constexpr std::array kGridMenu{
    GridMenuEntry{GridMenuCommand::PreviewProgram, "PreviewProgram", "Preview program", 'P',
                  "Ctrl+P"},
    GridMenuEntry{GridMenuCommand::ShowRunReport, "ShowRunReport", "Show run report"},
    GridMenuEntry{GridMenuCommand::RecentRuns, kRecentRunsMenuName, kRecentRunsMenuCaption},
};

}  // namespace bladeway
