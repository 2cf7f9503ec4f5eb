#pragma once
// Helpers for the GUI tests: acting on a modal dialog from inside its own
// event loop, and doing what a user does with the mouse and keyboard.
#include <functional>

#include <QModelIndex>
#include <QString>

class QAbstractItemView;
class QDialog;
class QHeaderView;
class QLineEdit;
class QPushButton;
class QWidget;

namespace bladeway::testing {

// Once a modal window named `objectName` is shown, runs `action` on it (from
// inside its exec()). Gives up after a few seconds, so a test that fails to
// open the dialog does not hang.
void WhenModalShown(const QString& objectName, std::function<void(QWidget&)> action);

// Runs `dialog` modally with `action` inside it; returns its result.
int RunModal(QDialog& dialog, std::function<void(QWidget&)> action);

// Lets queued events run until `done` holds, at most `timeoutMs`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 3000);

// Replaces a field's text as the user does, by typing.
void TypeInto(QLineEdit& field, const QString& text);

// A click on the middle of an item of a list, tree or table.
void ClickItem(QAbstractItemView& view, const QModelIndex& index,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A click on a section of a grid's column or row headings, counted from 0.
void ClickHeading(QHeaderView& header, int section,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The push button of that object name inside `window`.
QPushButton& ButtonNamed(const QWidget& window, const char* objectName);

}  // namespace bladeway::testing
