#pragma once
// What a Windows user expects of the keyboard where Qt's own widgets do
// otherwise: Return and Enter press the push button that has the focus
// (outside a dialog Qt only takes Space), a table gives Tab and Shift+Tab
// to the window (arrows move within it), Shift+F10 opens a widget's context
// menu as the Menu key does, and a key starts a cell's editor only when it
// types something (Space does not blank a cell).
class QAbstractItemView;
class QPushButton;
class QWidget;

namespace bladeway {

// Return and Enter on `button`, while it has the focus, click it.
void PressOnReturn(QPushButton& button);

// Tab and Shift+Tab leave `view` for the window's next or previous control.
void TabLeavesTable(QAbstractItemView& view);

// Shift+F10 on `widget` (whose context menu policy is ActionsContextMenu)
// opens its actions as a menu at its current item, or its middle.
void ShiftF10OpensContextMenu(QAbstractItemView& widget);

// Space on `view`'s current cell does not open its editor.
void SpaceKeepsCell(QAbstractItemView& view);

}  // namespace bladeway
