#include "qt_views/design_controls.h"

#include <QPushButton>

#include "core/presentation/program_title.h"
#include "qt_views/window_placement.h"

namespace bladeway {

QString ProgramTitle() {
    return QString::fromUtf8(kProgramTitle.data(), static_cast<qsizetype>(kProgramTitle.size()));
}

QString ProgramTitle(std::string_view window) {
    return QString::fromStdString(ProgramWindowTitle(window));
}

QPushButton* AddButton(QWidget* parent, std::string_view name, const QString& caption,
                       std::int64_t left, std::int64_t top, std::int64_t width,
                       std::int64_t height) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(ViewText(name));
    if (width >= 0 || height >= 0)
        PlaceControl(*button, left, top, width, height);
    return button;
}

void MakeNotDefault(std::initializer_list<QPushButton*> buttons) {
    for (QPushButton* button : buttons) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

}  // namespace bladeway
