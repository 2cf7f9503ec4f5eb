#include "support/qt_helpers.h"

#include <memory>

#include <QApplication>
#include <QDeadlineTimer>
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
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(kPollMs);
    }
    return true;
}

}  // namespace bladeway::testing
