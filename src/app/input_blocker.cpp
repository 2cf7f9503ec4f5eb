#include "app/input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace bladeway {
namespace {

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

}  // namespace

InputBlocker::InputBlocker(QWidget& window) : window_(window) {
    qApp->installEventFilter(this);
}

InputBlocker::~InputBlocker() {
    qApp->removeEventFilter(this);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType() || !IsInput(event->type()))
        return false;
    if (static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    event->ignore();
    return true;
}

}  // namespace bladeway
