#include "app/keyboard_use.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>

namespace bladeway {
namespace {

// Runs `handle` on the key presses of one widget; true from it eats the key.
class KeyFilter final : public QObject {
  public:
    using Handle = bool (*)(QObject& target, const QKeyEvent& key);
    KeyFilter(QObject& target, Handle handle) : QObject(&target), handle_(handle) {
        target.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        return handle_(*target, static_cast<const QKeyEvent&>(*event));
    }

  private:
    Handle handle_;
};

bool IsPlain(const QKeyEvent& key) {
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

void PressOnReturn(QPushButton& button) {
    new KeyFilter(button, [](QObject& target, const QKeyEvent& key) {
        if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) || !IsPlain(key))
            return false;
        static_cast<QPushButton&>(target).animateClick();
        return true;
    });
}

void TabLeavesTable(QAbstractItemView& view) {
    view.setTabKeyNavigation(false);
}

void ShiftF10OpensContextMenu(QAbstractItemView& widget) {
    auto* shortcut = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), &widget);
    shortcut->setContext(Qt::WidgetShortcut);
    QObject::connect(shortcut, &QShortcut::activated, &widget, [&widget] {
        const QModelIndex current = widget.currentIndex();
        const QRect place = current.isValid() ? widget.visualRect(current) : QRect();
        const QPoint at = place.isValid() && widget.viewport()->rect().intersects(place)
                              ? place.center()
                              : widget.viewport()->rect().center();
        QMenu::exec(widget.actions(), widget.viewport()->mapToGlobal(at), nullptr, &widget);
    });
}

void SpaceKeepsCell(QAbstractItemView& view) {
    new KeyFilter(view, [](QObject&, const QKeyEvent& key) {
        return key.key() == Qt::Key_Space && IsPlain(key);
    });
}

}  // namespace bladeway
