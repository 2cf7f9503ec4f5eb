#include "support/qt_helpers.h"

#include <memory>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace bladeway::testing {
namespace {

constexpr int kPollMs = 5;
constexpr int kGiveUpMs = 5000;

void Poll(const QString& objectName, const std::shared_ptr<std::function<void(QWidget&)>>& action,
          int remainingMs) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal->objectName() == objectName && modal->isVisible()) {
        (*action)(*modal);
        // An action that failed before closing its dialog would leave the
        // test waiting in exec() for ever: close what is still open later.
        QTimer::singleShot(kGiveUpMs, modal, [modal, objectName] {
            if (!modal->isVisible())
                return;
            ADD_FAILURE() << "modal window " << objectName.toStdString() << " stayed open";
            QMetaObject::invokeMethod(modal, "reject");
            modal->hide();
        });
        return;
    }
    if (remainingMs <= 0) {
        ADD_FAILURE() << "no modal window " << objectName.toStdString() << " was shown";
        return;
    }
    QTimer::singleShot(kPollMs, [objectName, action, remainingMs] {
        Poll(objectName, action, remainingMs - kPollMs);
    });
}

}  // namespace

void WhenModalShown(const QString& objectName, std::function<void(QWidget&)> action) {
    auto shared = std::make_shared<std::function<void(QWidget&)>>(std::move(action));
    QTimer::singleShot(0, [objectName, shared] { Poll(objectName, shared, kGiveUpMs); });
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    return QTest::qWaitFor(done, timeoutMs);
}

int RunModal(QDialog& dialog, std::function<void(QWidget&)> action) {
    WhenModalShown(dialog.objectName(), std::move(action));
    return dialog.exec();
}

void TypeInto(QLineEdit& field, const QString& text) {
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_Delete);
    QTest::keyClicks(&field, text);
}

void ClickItem(QAbstractItemView& view, const QModelIndex& index, Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, view.visualRect(index).center());
}

void ClickHeading(QHeaderView& header, int section, Qt::KeyboardModifiers modifiers) {
    const int along = header.sectionViewportPosition(section) + header.sectionSize(section) / 2;
    const QPoint at = header.orientation() == Qt::Horizontal ? QPoint(along, header.height() / 2)
                                                             : QPoint(header.width() / 2, along);
    QTest::mouseClick(header.viewport(), Qt::LeftButton, modifiers, at);
}

QPushButton& ButtonNamed(const QWidget& window, const char* objectName) {
    auto* button = window.findChild<QPushButton*>(QLatin1String(objectName));
    if (button == nullptr)
        ADD_FAILURE() << "no button " << objectName;
    return *button;
}

}  // namespace bladeway::testing
