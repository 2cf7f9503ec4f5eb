#pragma once
// A main window started in a temporary program folder, with the world around
// it recorded: file accesses, the About box, the end of the program, messages.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

#include "app/app_environment.h"
#include "app/main_window.h"
#include "core/presentation/before_run_model.h"
#include "qt_views/window_placement.h"
#include "support/recording_file_system.h"
#include "support/temp_folder.h"

namespace bladeway::testing {

class MainWindowTest : public ::testing::Test {
  protected:
    // The program file lies in `programFolder` (by default the temp folder).
    AppEnvironment Environment(const std::filesystem::path& programFolder = {}) {
        AppEnvironment environment;
        environment.programPath =
            ((programFolder.empty() ? folder.Path() : programFolder) / "bladeway").string();
        environment.fileSystem = &fileSystem;
        environment.showStartupAbout = [this](AboutModel&, QWidget*) {
            aboutAfter = fileSystem.Log().size();
            aboutSawWindow =
                starting != nullptr &&
                (starting->isVisible() || starting->LoadComplete() ||
                 !starting->AppFolder().empty() || starting->PreferencesEditor() != nullptr);
        };
        environment.endProgram = [this] { ++endCount; };
        environment.showMessage = [this](QWidget*, const QString& message) {
            messages.append(message);
            busyPointerMessages += QGuiApplication::overrideCursor() != nullptr ? 1 : 0;
        };
        // The run's messages are answered OK.
        environment.showRunMessage = [this](QWidget*, const QString& message,
                                            const std::function<void(bool)>& answered) {
            messages.append(message);
            busyPointerMessages += QGuiApplication::overrideCursor() != nullptr ? 1 : 0;
            answered(false);
            return static_cast<QWidget*>(nullptr);
        };
        environment.askBeforeRun = [](QWidget*, BeforeRunModel& check) {
            check.Answer(BeforeRunButton::kProcessAnyway);
        };
        environment.today = [] { return std::string("03/14/25"); };
        return environment;
    }
    // Makes the window and runs its start-up; the window is not shown.
    std::unique_ptr<MainWindow> Start(const std::filesystem::path& programFolder = {}) {
        auto form = std::make_unique<MainWindow>(Environment(programFolder));
        starting = form.get();
        form->Load();
        starting = nullptr;
        return form;
    }
    // Presses Process and waits until the run has ended.
    static void Process(MainWindow& form) {
        QSignalSpy finished(&form, &MainWindow::RunFinished);
        QTest::mouseClick(&form.ProcessButton(), Qt::LeftButton);
        EXPECT_TRUE(finished.count() == 1 || finished.wait(60000)) << "the run did not end";
    }
    static void Show(MainWindow& form) {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        // The frame arrives with the first events after showing.
        EXPECT_TRUE(QTest::qWaitFor([&form] { return HasFrame(form); }));
    }
    long SettingsReads() const {
        return std::count(fileSystem.Log().begin(), fileSystem.Log().end(),
                          "read " + SettingsPath());
    }
    std::string SettingsPath() const { return folder.File("Bladeway.INI"); }
    void WriteSettings(std::string_view text) const { WriteBytes(SettingsPath(), text); }
    std::string ReadSettings() const { return ReadBytes(SettingsPath()); }
    // A folder inside the temp folder, made on first use.
    QString Subfolder(const std::string& name) const {
        std::filesystem::create_directories(folder.Path() / name);
        return QDir::cleanPath(QString::fromStdString((folder.Path() / name).string()));
    }
    // The example key data file copied into `name`, which it returns.
    QString ExampleKeysFolder(const std::string& name = "keys") const {
        const QString keys = Subfolder(name);
        std::filesystem::copy_file(SourceDir() / "examples" / "keys" / "Harbor.dat",
                                   folder.Path() / name / "Harbor.dat");
        return keys;
    }

    TempFolder folder;
    RecordingFileSystem fileSystem;
    int endCount = 0;
    QStringList messages;
    int busyPointerMessages = 0;
    // How many file accesses came before the About box, and whether the
    // window had done anything of its start-up by then.
    std::size_t aboutAfter = ~std::size_t{0};
    bool aboutSawWindow = true;
    MainWindow* starting = nullptr;
};

}  // namespace bladeway::testing
