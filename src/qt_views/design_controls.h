#pragma once
// Controls made the way every window of the program makes them: an object
// name by which tests and tools find them, a caption, and a place given in
// twips as the design layouts give it.
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include <QString>

class QPushButton;
class QWidget;

namespace bladeway {

// A push button with its object name and caption; placed when a size is
// given, otherwise left to the window's layout.
QPushButton* AddButton(QWidget* parent, std::string_view name, const QString& caption,
                       std::int64_t left = 0, std::int64_t top = 0, std::int64_t width = -1,
                       std::int64_t height = -1);

// A model's text (UTF-8; its captions and names are plain ASCII) as Qt shows it.
inline QString ViewText(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The title every window and message of the program carries
// (core/presentation/program_title.h), alone or before a window's own name
// ("Bladeway - Run Report").
QString ProgramTitle();
QString ProgramTitle(std::string_view window);

// Enter presses none of these buttons, also when one of them has the focus.
void MakeNotDefault(std::initializer_list<QPushButton*> buttons);

}  // namespace bladeway
