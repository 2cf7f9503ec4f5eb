#pragma once
// Counts, for each top-level window by object name, how often it was shown
// and hidden and when it was first shown: a message box lives only while it
// is open, so its showing is counted as it happens.
#include <chrono>
#include <map>
#include <optional>

#include <QObject>
#include <QString>

namespace bladeway::testing::desktop {

class WindowEvents final : public QObject {
  public:
    struct Record {
        int shown = 0;
        int hidden = 0;
        std::optional<std::chrono::steady_clock::time_point> firstShown;
    };

    // Watches every window of the application while it lives.
    void Start();
    void Stop();
    Record Of(const QString& objectName) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::map<QString, Record> records_;
};

}  // namespace bladeway::testing::desktop
