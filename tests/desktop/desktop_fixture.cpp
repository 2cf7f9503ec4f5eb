#include "desktop/desktop_fixture.h"

#include <algorithm>
#include <atomic>
#include <sstream>
#include <thread>
#include <vector>

#include <QByteArray>
#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/app_environment.h"
#include "app/data_file_list.h"
#include "app/key_grid_model.h"
#include "app/main_window.h"
#include "cli/cli.h"

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

// The summary of the command line's report: its last line but the one that
// names the run kept for undo, which the desktop program's report leaves out.
std::string SummaryLine(const std::string& text) {
    std::istringstream lines(text);
    std::string line, summary;
    while (std::getline(lines, line))
        summary = line.empty() || line.starts_with("Kept for undo as run ") ? summary : line;
    return summary;
}

}  // namespace

bool WindowEvents::eventFilter(QObject* watched, QEvent* event) {
    const bool show = event->type() == QEvent::Show;
    if ((show || event->type() == QEvent::Hide) && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow() && !event->spontaneous()) {
        Record& record = records_[watched->objectName()];
        ++(show ? record.shown : record.hidden);
        if (show && !record.firstShown)
            record.firstShown = std::chrono::steady_clock::now();
    }
    return false;
}

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
    std::vector<std::string> args{
        "generate",   "--mode",     TreeMode() ? "tree" : "flat",       "--dest",
        out.string(), "--settings", (program / "Bladeway.INI").string()};
    if (!keys.empty())
        args.insert(args.end(), {"--keys", keys});
    args.push_back((keysFolder / "Keys.dat").string());
    std::ostringstream output, errors;
    (void)RunCli(args, output, errors);
    return Reference{FilesBelow(out), SummaryLine(output.str())};
}

void DesktopTest::OpenMainWindow() {
    AppEnvironment environment = DesktopEnvironment();
    environment.programPath = (program / "bladeway").string();
    environment.showStartupAbout = nullptr;
    environment.endProgram = [] {};  // the test program ends the application itself
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
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        Await("the program's windows settling after the user's last step",
              [&] { return settled.load(); });
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

void DesktopTest::Await(const std::string& step, const std::function<bool()>& done,
                        std::chrono::milliseconds limit) {
    watchdog->Step(step, limit);
    while (!done()) {
        watchdog->Seen(OnGui([this] { return Describe(); }));
        std::this_thread::sleep_for(kPoll);
    }
}

void DesktopTest::WaitUntil(const std::string& step, const std::function<bool()>& holds,
                            std::chrono::milliseconds limit) {
    Await(
        step, [&] { return OnGui(holds); }, limit);
}

bool DesktopTest::Click(const std::string& what, const std::function<QWidget*()>& find,
                        std::optional<QPoint> at, int button) {
    const auto [window, point] = OnGui([&] {
        QWidget* widget = find();
        return widget != nullptr && widget->isVisible()
                   ? std::pair(widget->window()->winId(),
                               widget->mapToGlobal(at.value_or(widget->rect().center())))
                   : std::pair(WId{0}, QPoint());
    });
    if (window == 0 || !ShowsAt(window, point)) {
        ADD_FAILURE() << what << (window == 0 ? " is not there; " : " lies under another window; ")
                      << OnGui([this] { return Describe(); });
        return false;
    }
    ClickAt(point, button);
    return true;
}

void DesktopTest::LoadKeysAndProcess(int keys) {
    WaitUntil("the main window shows with the focus",
              [this] { return form_->isVisible() && form_->isActiveWindow(); });
    // The window manager may still move the window it has just framed, and a
    // click Qt places before it hears of the move misses the file's row.
    const XWindow main = OnGui([this] { return form_->winId(); });
    Await("the main window where Qt places it", [this, main] {
        return OnGui([this] { return form_->mapToGlobal(QPoint(0, 0)); }) ==
               ScreenPoint(main, QPoint(0, 0));
    });
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
    Await(what + " stands on top, nothing covering it", [this, objectName] {
        // The window's middle and corners, on the screen.
        std::vector<QPoint> points;
        const XWindow id = OnGui([objectName, &points]() -> XWindow {
            QWidget* window = Shown(objectName);
            if (window == nullptr)
                return 0;
            const QRect inside = window->rect().adjusted(8, 8, -8, -8);
            for (const QPoint point : {inside.center(), inside.topLeft(), inside.topRight(),
                                       inside.bottomLeft(), inside.bottomRight()})
                points.push_back(window->mapToGlobal(point));
            return window->winId();
        });
        return id != 0 && std::all_of(points.begin(), points.end(),
                                      [id](QPoint point) { return ShowsAt(id, point); });
    });
}

void DesktopTest::AwaitReport() {
    // A stopped run still finishes its key and writes its index entries.
    WaitUntil(
        "the run ends and its report comes up",
        [this] { return !form_->RunGoingOn() && Shown("RunReport") != nullptr; }, kDiskStepLimit);
    EXPECT_EQ(WindowId("RunMessage"), 0U) << "an index message is still open";
    EXPECT_EQ(WindowId("RunProgress"), 0U) << "the progress dialog is still open";
    WaitOnTop("RunReport", "the run report");
}

std::string DesktopTest::LabelText(const char* windowName, const char* labelName) {
    return OnGui([windowName, labelName] {
        QWidget* window = Shown(windowName);
        const auto* label = window ? window->findChild<QLabel*>(QLatin1String(labelName)) : nullptr;
        return label ? label->text().toStdString() : "(no " + std::string(windowName) + ")";
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
            const auto* cancel = window->findChild<QPushButton*>(QStringLiteral("Cancel"));
            text += " (\"" + LabelText("RunProgress", "ProgressText") + "\" [" +
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

// The main of the desktop tests: GoogleTest with the QApplication on the xcb
// platform, made by the first test that runs (so that listing the tests needs
// no display) and ended before the program ends.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // These tests are about the window system: never the offscreen platform.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb"));
    const int result = RUN_ALL_TESTS();
    bladeway::testing::desktop::EndApplication();
    return result;
}
