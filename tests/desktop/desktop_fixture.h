#pragma once
// The fixture of the in-process desktop tests: the application on the X
// server, a shop in a temporary folder (program folder, settings, templates,
// key data, destination), the real main window with the real message boxes
// and disk, and the user: a script on a thread of its own that looks at the
// windows through the user-interface thread and acts through the X server,
// while the test's own thread runs the event loop as the program's does.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>

#include <QApplication>
#include <QMetaObject>
#include <QPoint>
#include <QString>
#include <QThread>
#include <gtest/gtest.h>

#include "desktop/watchdog.h"
#include "desktop/x_display.h"
#include "support/temp_folder.h"

class QPushButton;
class QWidget;

namespace bladeway {
class MainWindow;
}

namespace bladeway::testing::desktop {

// The QApplication of the test program, on the xcb platform; made on first use.
QApplication& Application();
// Ends it, before the program ends.
void EndApplication();

// Counts, for each top-level window by object name, how often it was shown
// and hidden and when it was first shown: a message box lives only while it
// is open, so its showing is counted as it happens.
class WindowEvents final : public QObject {
  public:
    struct Record {
        int shown = 0;
        int hidden = 0;
        std::optional<std::chrono::steady_clock::time_point> firstShown;
    };

    // Watches every window of the application from Start to Stop.
    void Start() { QCoreApplication::instance()->installEventFilter(this); }
    void Stop() { QCoreApplication::instance()->removeEventFilter(this); }
    Record Of(const QString& objectName) const {
        const auto found = records_.find(objectName);
        return found == records_.end() ? Record{} : found->second;
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::map<QString, Record> records_;
};

// A parameter of a test over the ways of doing one thing: the way, and its
// name for the test's name and its messages.
template <typename Way>
struct Named {
    Way way;
    const char* name;
};
template <typename Way>
void PrintTo(const Named<Way>& named, std::ostream* out) {
    *out << named.name;
}
inline constexpr auto kByName = [](const auto& info) { return std::string(info.param.name); };

// Skips the test when there is no desktop to run on, and gives every test a
// watchdog.
class DesktopTest : public ::testing::Test {
  protected:
    DesktopTest();
    ~DesktopTest() override;
    void SetUp() override;
    void TearDown() override;

    enum class Templates { kTree, kTreeDamagedIndex, kFlat };
    // The program folder (its name holds HARBOR62 in tree mode) with its
    // Bladeway.INI, a copy of the example templates, the key data file
    // Keys.dat and an empty destination with SRG/P. `withPlace` stores the
    // main window's place as well as its size.
    void MakeShop(Templates kind, const std::string& keys, bool withPlace = true);
    bool TreeMode() const { return kind_ != Templates::kFlat; }
    static std::string HarborKeys();

    // What `bladeway-cli generate` writes for the shop (over `keys`, such as
    // "1-3", or every key) into a destination of its own.
    struct Reference {
        std::map<std::string, std::string> files;
        std::string summary;  // its last line
    };
    Reference CliRun(const std::string& keys = {});
    // The files the run wrote, by their path in the destination.
    std::map<std::string, std::string> Written() const { return FilesBelow(destination); }
    // How many files the destination holds besides its INDICE.Prg.
    std::size_t ProgramFiles() const {
        const auto files = Written();
        return files.size() - files.count("INDICE.Prg");
    }

    // The real main window in the shop's program folder, shown.
    void OpenMainWindow();

    // Runs `script` as the user on a thread of its own, while this thread runs
    // the event loop, until the script ends.
    void AsUser(const std::function<void()>& script);

    // --- For the user's script -------------------------------------------
    // Runs `look` on the user-interface thread and returns what it returns.
    template <typename Look>
    static auto OnGui(Look look) -> std::invoke_result_t<Look> {
        using Result = std::invoke_result_t<Look>;
        if (QThread::currentThread() == qApp->thread())
            return look();
        if constexpr (std::is_void_v<Result>) {
            QMetaObject::invokeMethod(qApp, look, Qt::BlockingQueuedConnection);
        } else {
            std::optional<Result> result;
            QMetaObject::invokeMethod(
                qApp, [&] { result.emplace(look()); }, Qt::BlockingQueuedConnection);
            return std::move(*result);
        }
    }
    // Waits until `holds` (run on the user-interface thread) is true; the
    // watchdog ends the test when that takes longer than `limit`, showing what
    // Describe saw last.
    void WaitUntil(const std::string& step, const std::function<bool()>& holds,
                   std::chrono::milliseconds limit = kStepLimit);
    // Clicks the middle of the widget `find` gives (on the user-interface
    // thread), or `at` inside it, through the X server; a failure when the
    // widget is not there or another window covers that point.
    bool Click(const std::string& what, const std::function<QWidget*()>& find,
               std::optional<QPoint> at = std::nullopt, int button = 1);
    // With the main window up and focused: clicks Keys.dat in the file list,
    // waits for its `keys` in the grid, and clicks Process (and "Process
    // anyway" where the shop's damaged index is named before the run).
    void LoadKeysAndProcess(int keys);
    // Waits until every part of the shown window `objectName` can be seen:
    // no other window covers its middle or its corners.
    void WaitOnTop(const char* objectName, const std::string& what);
    // Waits for the run's end and its report, which must come up on top.
    void AwaitReport();
    // The text of the label `labelName` in the shown window `windowName`, read
    // on the user-interface thread; "(no windowName)" when it is not there.
    static std::string LabelText(const char* windowName, const char* labelName);
    // The report's summary line.
    static std::string Summary() { return LabelText("RunReport", "Summary"); }
    // The X window of a shown window of the program.
    XWindow WindowId(const char* objectName);
    // The window and controls of the program as the user sees them.
    virtual std::string Describe() const;

    // On the user-interface thread: the shown top-level window of that
    // object name, a button in it, the main window.
    static QWidget* Shown(const char* objectName);
    static QPushButton* ButtonIn(const char* windowName, const char* buttonName);
    MainWindow& Form() const { return *form_; }

    TempFolder folder;
    std::filesystem::path program, templates, keysFolder, destination;
    std::unique_ptr<Watchdog> watchdog;
    WindowEvents events;  // counts shown and hidden windows; user-interface thread only

  private:
    // WaitUntil, with `done` run on the calling thread.
    void Await(const std::string& step, const std::function<bool()>& done,
               std::chrono::milliseconds limit = kStepLimit);

    Templates kind_ = Templates::kTree;
    std::unique_ptr<MainWindow> form_;
    int references_ = 0;
};

}  // namespace bladeway::testing::desktop
