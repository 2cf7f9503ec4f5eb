#pragma once
// A main window started in a temporary program folder, with the world around
// it recorded: file accesses, the About box, the end of the program, messages.
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDir>
#include <QGuiApplication>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

#include "app/app_environment.h"
#include "app/form1.h"
#include "core/platform/file_system.h"
#include "support/temp_folder.h"

namespace bladeway::testing {

// The disk, with every access noted as "exists PATH", "read PATH", "write
// PATH" or "create PATH" in a log the test shares.
class LoggingFileSystem final : public FileSystem {
  public:
    explicit LoggingFileSystem(std::vector<std::string>& log) : log_(log) {}
    bool Exists(const std::string& path) const override {
        log_.push_back("exists " + path);
        return Disk().Exists(path);
    }
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override {
        log_.push_back("read " + path);
        return Disk().ReadWholeFile(path, limit);
    }
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override {
        log_.push_back("write " + path);
        if (onReplace)
            onReplace();
        return Disk().ReplaceFile(path, bytes);
    }
    Outcome CreateEmptyIfMissing(const std::string& path) override {
        log_.push_back("create " + path);
        return Disk().CreateEmptyIfMissing(path);
    }
    std::function<void()> onReplace;  // called before each replacement, when set

  private:
    std::vector<std::string>& log_;
};

class Form1Test : public ::testing::Test {
  protected:
    // The program file lies in `programFolder` (by default the temp folder).
    AppEnvironment Environment(const std::filesystem::path& programFolder = {}) {
        AppEnvironment environment;
        environment.programPath =
            ((programFolder.empty() ? folder.Path() : programFolder) / "bladeway").string();
        environment.fileSystem = &fileSystem;
        environment.showStartupAbout = [this](QWidget*) {
            aboutAfter = events.size();
            aboutSawWindow =
                starting != nullptr &&
                (starting->isVisible() || starting->LoadComplete() ||
                 !starting->AppFolder().empty() || starting->PreferencesDialog() != nullptr);
            events.emplace_back("about");
        };
        environment.endProgram = [this] { ++endCount; };
        environment.showMessage = [this](QWidget*, const QString& message) {
            messages.append(message);
            busyPointerMessages += QGuiApplication::overrideCursor() != nullptr ? 1 : 0;
        };
        environment.today = [] { return std::string("03/14/25"); };
        return environment;
    }
    // Makes the window and runs its start-up; the window is not shown.
    std::unique_ptr<Form1> Start(const std::filesystem::path& programFolder = {}) {
        auto form = std::make_unique<Form1>(Environment(programFolder));
        starting = form.get();
        form->Load();
        starting = nullptr;
        return form;
    }
    // Shows the window and waits until it is on the screen, its frame known.
    static void Show(Form1& form) {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(20);  // the frame arrives with the first events after showing
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
    std::vector<std::string> events;
    LoggingFileSystem fileSystem{events};
    int endCount = 0;
    QStringList messages;
    int busyPointerMessages = 0;
    // What the About box hook saw: how many file accesses came before it,
    // and whether the window had done anything of its start-up yet.
    std::size_t aboutAfter = ~std::size_t{0};
    bool aboutSawWindow = true;
    Form1* starting = nullptr;
};

}  // namespace bladeway::testing
