#include "app/form1_fixture.h"

#include <filesystem>

#include <QDir>
#include <QGuiApplication>
#include <QTest>

#include "support/qt_helpers.h"

namespace bladeway::testing {

bool RecordingFileSystem::Exists(const std::string& path) const {
    log_.push_back("exists " + path);
    return Disk().Exists(path);
}

Expected<std::string> RecordingFileSystem::ReadWholeFile(const std::string& path,
                                                         std::size_t limit) const {
    log_.push_back("read " + path);
    return Disk().ReadWholeFile(path, limit);
}

Outcome RecordingFileSystem::ReplaceFile(const std::string& path, std::string_view bytes) {
    log_.push_back("write " + path);
    if (onReplace) {
        onReplace();
    }
    return Disk().ReplaceFile(path, bytes);
}

Outcome RecordingFileSystem::CreateEmptyIfMissing(const std::string& path) {
    log_.push_back("create " + path);
    return Disk().CreateEmptyIfMissing(path);
}

AppEnvironment Form1Test::Environment(const std::filesystem::path& programFolder) {
    AppEnvironment environment;
    const std::filesystem::path where = programFolder.empty() ? folder.Path() : programFolder;
    environment.programPath = (where / "bladeway").string();
    environment.fileSystem = &fileSystem;
    environment.showStartupAbout = [this](QWidget* /*parent*/) {
        about.shown = true;
        about.eventsBefore = events.size();
        if (starting != nullptr) {
            about.windowVisible = starting->isVisible();
            about.loadComplete = starting->LoadComplete();
            about.appFolder = starting->AppFolder();
            about.preferencesExist = starting->PreferencesDialog() != nullptr;
        }
        events.emplace_back("about");
    };
    environment.endProgram = [this] { ++endCount; };
    environment.showMessage = [this](QWidget* /*parent*/, const QString& message) {
        messages.append(message);
        if (QGuiApplication::overrideCursor() != nullptr)
            ++messagesOverBusyPointer;
    };
    environment.today = [] { return std::string("03/14/25"); };
    return environment;
}

std::unique_ptr<Form1> Form1Test::Start(const std::filesystem::path& programFolder) {
    auto form = std::make_unique<Form1>(Environment(programFolder));
    starting = form.get();
    form->Load();
    starting = nullptr;
    return form;
}

void Form1Test::Show(Form1& form) {
    form.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::qWait(20);  // the frame arrives with the first events after showing
}

void Form1Test::WriteSettings(std::string_view text) const {
    WriteBytes(SettingsPath(), text);
}

std::string Form1Test::ReadSettings() const {
    return ReadBytes(SettingsPath());
}

QString Form1Test::Subfolder(const std::string& name) const {
    std::filesystem::create_directories(folder.Path() / name);
    return QDir::cleanPath(QString::fromStdString((folder.Path() / name).string()));
}

QString Form1Test::ExampleKeysFolder(const std::string& folderName) const {
    const QString keys = Subfolder(folderName);
    std::filesystem::copy_file(SourceDir() / "examples" / "keys" / "Harbor.dat",
                               folder.Path() / folderName / "Harbor.dat");
    return keys;
}

}  // namespace bladeway::testing
