#pragma once
// The run windows' models give their controls as ControlText rows and
// their colours as Rgb; these turn them into what Qt shows.
#include <string>
#include <string_view>

#include <QColor>
#include <QPushButton>
#include <QString>

#include "core/presentation/control_text.h"
#include "qt_views/design_controls.h"

namespace bladeway {

inline QColor ViewColour(Rgb colour) {
    return {colour.red, colour.green, colour.blue};
}

// Sets the control's object name; gives the widget back.
template <typename Widget>
Widget* Named(Widget* widget, const ControlText& control) {
    widget->setObjectName(ViewText(control.objectName));
    return widget;
}

// A push button with the control's object name, caption and tip, left to the
// window's layout.
inline QPushButton* AddButtonFor(QWidget* parent, const ControlText& control) {
    QPushButton* button = AddButton(parent, control.objectName, ViewText(control.caption));
    if (!control.tip.empty())
        button->setToolTip(ViewText(control.tip));
    return button;
}

}  // namespace bladeway
