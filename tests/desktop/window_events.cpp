#include "desktop/window_events.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace bladeway::testing::desktop {

void WindowEvents::Start() {
    QCoreApplication::instance()->installEventFilter(this);
}

void WindowEvents::Stop() {
    QCoreApplication::instance()->removeEventFilter(this);
}

WindowEvents::Record WindowEvents::Of(const QString& objectName) const {
    const auto found = records_.find(objectName);
    return found == records_.end() ? Record{} : found->second;
}

bool WindowEvents::eventFilter(QObject* watched, QEvent* event) {
    const bool show = event->type() == QEvent::Show;
    if (!show && event->type() != QEvent::Hide)
        return false;
    if (!watched->isWidgetType() || !static_cast<QWidget*>(watched)->isWindow() ||
        event->spontaneous())
        return false;
    Record& record = records_[watched->objectName()];
    if (show) {
        ++record.shown;
        if (!record.firstShown)
            record.firstShown = std::chrono::steady_clock::now();
    } else {
        ++record.hidden;
    }
    return false;
}

}  // namespace bladeway::testing::desktop
