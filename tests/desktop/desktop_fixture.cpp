#include "desktop/desktop_fixture.h"

#include <atomic>
#include <sstream>
#include <thread>
#include <vector>

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/app_environment.h"
#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "cli/cli.h"
#include "core/storage/writer_lock.h"
#include "support/cli_report.h"

namespace bladeway::testing::desktop {
namespace {

namespace fs = std::filesystem;

constexpr std::chrono::milliseconds kPoll{20};

std::unique_ptr<QApplication> application;
int argumentCount = 1;
char programName[] = "desktop_tests";
char* arguments[] = {programName, nullptr};

std::string Name(const QWidget& window) {
    return window.objectName().isEmpty() ? std::string(window.metaObject()->className())
                                         : window.objectName().toStdString();
}

std::string LastLine(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    if (end == std::string::npos)
        return {};
    const std::size_t start = text.rfind('\n', end);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

}  // namespace

QApplication& Application() {
    if (!application) {
        application = std::make_unique<QApplication>(argumentCount, arguments);
        // As the program does: only its main window ends it.
        QApplication::setQuitOnLastWindowClosed(false);
    }
    return *application;
}

void EndApplication() {
    application.reset();
}

DesktopTest::DesktopTest() = default;
DesktopTest::~DesktopTest() = default;

void DesktopTest::SetUp() {
    if (const std::string why = WhyNoDesktop(); !why.empty())
        GTEST_SKIP() << why;
    const ::testing::TestInfo& test = *::testing::UnitTest::GetInstance()->current_test_info();
    watchdog = std::make_unique<Watchdog>(std::string(test.test_suite_name()) + "." + test.name());
    Application();
    events.Start();
}

void DesktopTest::TearDown() {
    if (!watchdog)
        return;
    watchdog->Step("closing the test's windows", kDiskStepLimit);
    form_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    events.Stop();
    watchdog.reset();
}

void DesktopTest::MakeShop(Templates kind, const std::string& keys, bool withPlace) {
    watchdog->Step("writing the shop's files", kDiskStepLimit);
    kind_ = kind;
    program = folder.Path() / (TreeMode() ? "HARBOR62" : "flat-shop");
    templates = folder.Path() / "templates";
    keysFolder = folder.Path() / "keys";
    destination = folder.Path() / "out";
    fs::create_directories(program);
    fs::create_directories(keysFolder);
    fs::create_directories(destination / "SRG" / "P");
    fs::copy(SourceDir() / "examples" / "templates" / (TreeMode() ? "tree" : "flat"), templates,
             fs::copy_options::recursive);
    if (kind == Templates::kTreeDamagedIndex) {
        // Five bytes more than whole records: the index the run cannot use.
        WriteBytes(templates / "INDICE.Prg", ReadBytes(templates / "INDICE.Prg") + "xxxxx");
    }
    WriteBytes(keysFolder / "Keys.dat", keys);
    // The main window at 40,40 in pixels, 454 x 345 outside.
    std::string settings = "[Paths]\r\nSource=" + keysFolder.string() +
                           "\r\nTemplate=" + templates.string() +
                           "\r\nDestination=" + destination.string() +
                           "\r\n\r\n[Positions]\r\nMainHeight=5175\r\nMainWidth=6810\r\n";
    if (withPlace)
        settings += "MainTop=600\r\nMainLeft=600\r\n";
    WriteBytes(program / "Bladeway.INI", settings);
}

std::string DesktopTest::HarborKeys() {
    return ReadBytes(SourceDir() / "examples" / "keys" / "Harbor.dat");
}

DesktopTest::Reference DesktopTest::CliRun(const std::string& keys) {
    watchdog->Step("the command line's run over the same keys", kDiskStepLimit);
    const fs::path out = folder.Path() / ("reference-" + std::to_string(++references_));
    fs::create_directories(out / "SRG" / "P");
    std::vector<std::string> args = {"generate",
                                     "--settings",
                                     (program / "Bladeway.INI").string(),
                                     "--mode",
                                     TreeMode() ? "tree" : "flat",
                                     "--dest",
                                     out.string()};
    if (!keys.empty())
        args.insert(args.end(), {"--keys", keys});
    args.push_back((keysFolder / "Keys.dat").string());
    std::ostringstream output, errors;
    (void)RunCli(args, output, errors);
    return Reference{FilesBelow(out), LastLine(testing::WithoutUndoLine(output.str()))};
}

std::size_t DesktopTest::ProgramFiles() const {
    std::size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(destination)) {
        if (entry.is_regular_file() && entry.path().filename() != "INDICE.Prg" &&
            entry.path().extension() != kLockFileSuffix)
            ++count;
    }
    return count;
}

void DesktopTest::OpenMainWindow() {
    AppEnvironment environment = DesktopEnvironment();
    environment.programPath = (program / "bladeway").string();
    environment.showStartupAbout = nullptr;
    environment.endProgram = [this] { ++endRequests; };
    form_ = std::make_unique<MainWindow>(std::move(environment));
    form_->Load();
    form_->show();
}

void DesktopTest::AsUser(const std::function<void()>& script) {
    QEventLoop loop;
    std::atomic<bool> settled = false;
    std::atomic<bool> finished = false;
    std::thread user([&] {
        script();
        // A failed step may leave a window open that holds the loop below.
        watchdog->Step("the program's windows settling after the user's last step");
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        while (!settled) {
            watchdog->Seen(OnGui([this] { return Describe(); }));
            std::this_thread::sleep_for(kPoll);
        }
        finished = true;
    });
    loop.exec();
    settled = true;
    // The user's thread may be waiting for a look on this thread.
    while (!finished)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    user.join();
    watchdog->Step("checking what the run left", kDiskStepLimit);
}

void DesktopTest::WaitUntil(const std::string& step, const std::function<bool()>& holds,
                            std::chrono::milliseconds limit) {
    watchdog->Step(step, limit);
    watchdog->Seen(OnGui([this] { return Describe(); }));
    while (!OnGui(holds)) {
        watchdog->Seen(OnGui([this] { return Describe(); }));
        std::this_thread::sleep_for(kPoll);
    }
}

bool DesktopTest::Click(const std::string& what, const std::function<QWidget*()>& find,
                        std::optional<QPoint> at, int button) {
    struct Target {
        QPoint point;
        XWindow window = 0;
    };
    const Target target = OnGui([&] {
        Target found;
        if (QWidget* widget = find(); widget != nullptr && widget->isVisible()) {
            found.point = widget->mapToGlobal(at.value_or(widget->rect().center()));
            found.window = widget->window()->winId();
        }
        return found;
    });
    if (target.window == 0) {
        ADD_FAILURE() << what << " is not there; " << OnGui([this] { return Describe(); });
        return false;
    }
    if (!ShowsAt(target.window, target.point)) {
        ADD_FAILURE() << what << " at " << target.point.x() << "," << target.point.y()
                      << " lies under another window; " << OnGui([this] { return Describe(); });
        return false;
    }
    ClickAt(target.point, button);
    return true;
}

void DesktopTest::LoadKeysAndProcess(int keys) {
    WaitUntil("the main window shows with the focus",
              [this] { return form_->isVisible() && form_->isActiveWindow(); });
    const QPoint firstFile = OnGui([this] {
        return form_->FileList().visualRect(form_->FileList().model()->index(0, 0)).center();
    });
    ASSERT_TRUE(Click(
        "Keys.dat in the file list", [this] { return form_->FileList().viewport(); }, firstFile));
    // A large file takes a while to read into the grid.
    WaitUntil(
        "the keys in the grid",
        [this, keys] { return form_->Model().KeyCells().ColumnCount() == keys; }, kDiskStepLimit);
    ASSERT_TRUE(Click("Process", [this] { return &form_->ProcessButton(); }));
    // A damaged template index is named before the run.
    if (kind_ == Templates::kTreeDamagedIndex) {
        WaitOnTop("BeforeRun", "the check before the run");
        ASSERT_TRUE(Click("Process anyway", [] { return ButtonIn("BeforeRun", "ProcessAnyway"); }));
    }
}

void DesktopTest::WaitOnTop(const char* objectName, const std::string& what) {
    watchdog->Step(what + " stands on top, nothing covering it");
    for (;;) {
        struct Place {
            XWindow window = 0;
            std::vector<QPoint> points;
        };
        const Place place = OnGui([objectName] {
            Place found;
            if (QWidget* window = Shown(objectName)) {
                found.window = window->winId();
                const QRect inside = window->rect().adjusted(8, 8, -8, -8);
                for (const QPoint point : {inside.center(), inside.topLeft(), inside.topRight(),
                                           inside.bottomLeft(), inside.bottomRight()})
                    found.points.push_back(window->mapToGlobal(point));
            }
            return found;
        });
        bool seen = place.window != 0;
        for (const QPoint point : place.points)
            seen = seen && ShowsAt(place.window, point);
        if (seen)
            return;
        watchdog->Seen(OnGui([this] { return Describe(); }));
        std::this_thread::sleep_for(kPoll);
    }
}

void DesktopTest::AwaitReport() {
    // A stopped run still finishes its key and writes its index entries.
    WaitUntil(
        "the run ends and its report comes up",
        [this] { return !form_->RunGoingOn() && Shown("RunReport") != nullptr; }, kDiskStepLimit);
    EXPECT_EQ(WindowId("RunMessage"), 0U) << "an index message is still open";
    EXPECT_EQ(WindowId("RunProgress"), 0U) << "the progress dialog is still open";
    EXPECT_EQ(OnGui([] { return Shown("RunReport")->windowTitle().toStdString(); }),
              "Bladeway - Run Report");
    WaitOnTop("RunReport", "the run report");
}

std::string DesktopTest::Summary() {
    return OnGui([] {
        QWidget* report = Shown("RunReport");
        const auto* summary =
            report ? report->findChild<QLabel*>(QStringLiteral("Summary")) : nullptr;
        return summary ? summary->text().toStdString() : std::string("(no report)");
    });
}

XWindow DesktopTest::WindowId(const char* objectName) {
    return OnGui([objectName]() -> XWindow {
        QWidget* window = Shown(objectName);
        return window == nullptr ? 0 : window->winId();
    });
}

QWidget* DesktopTest::Shown(const char* objectName) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == QLatin1String(objectName))
            return window;
    }
    return nullptr;
}

QPushButton* DesktopTest::ButtonIn(const char* windowName, const char* buttonName) {
    QWidget* window = Shown(windowName);
    return window == nullptr ? nullptr : window->findChild<QPushButton*>(QLatin1String(buttonName));
}

std::string DesktopTest::Describe() const {
    std::string text = "windows shown:";
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        text += " " + Name(*window);
        if (window->objectName() == QLatin1String("RunProgress")) {
            const auto* label = window->findChild<QLabel*>(QStringLiteral("ProgressText"));
            const auto* cancel = window->findChild<QPushButton*>(QStringLiteral("Cancel"));
            text += " (\"" + (label ? label->text().toStdString() : "?") + "\" [" +
                    (cancel ? cancel->text().toStdString() : "?") + "])";
        }
    }
    const QWidget* active = QApplication::activeWindow();
    const QWidget* modal = QApplication::activeModalWidget();
    const WindowEvents::Record messages = events.Of(QStringLiteral("RunMessage"));
    text += "; with the focus: " + (active ? Name(*active) : std::string("none")) +
            "; modal: " + (modal ? Name(*modal) : std::string("none")) + "; index messages shown " +
            std::to_string(messages.shown) + ", closed " + std::to_string(messages.hidden) +
            "; run going on: " + (form_ && form_->RunGoingOn() ? "yes" : "no");
    return text;
}

}  // namespace bladeway::testing::desktop
