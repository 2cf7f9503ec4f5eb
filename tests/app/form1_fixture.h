#pragma once
// A main window started in a temporary program folder, with the world around
// it recorded: file accesses, the About box, the end of the program, messages.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "app/app_environment.h"
#include "app/form1.h"
#include "core/platform/file_system.h"
#include "support/temp_folder.h"

namespace bladeway::testing {

// The disk, with every access noted as "exists PATH", "read PATH" or
// "write PATH" in a log the test shares.
class RecordingFileSystem final : public FileSystem {
  public:
    explicit RecordingFileSystem(std::vector<std::string>& log) : log_(log) {}

    bool Exists(const std::string& path) const override;
    Expected<std::string> ReadWholeFile(const std::string& path,
                                        std::size_t limit = kDefaultReadLimit) const override;
    Outcome ReplaceFile(const std::string& path, std::string_view bytes) override;
    Outcome CreateEmptyIfMissing(const std::string& path) override;

    // Called before each replacement, when set.
    std::function<void()> onReplace;

  private:
    std::vector<std::string>& log_;
};

class Form1Test : public ::testing::Test {
  protected:
    // The program file lies in `programFolder` (by default the temp folder).
    AppEnvironment Environment(const std::filesystem::path& programFolder = {});
    // Makes the window and runs its start-up; the window is not shown.
    std::unique_ptr<Form1> Start(const std::filesystem::path& programFolder = {});
    // Shows the window and waits until it is on the screen, its frame known.
    static void Show(Form1& form);

    std::string SettingsPath() const { return folder.File("Bladeway.INI"); }
    void WriteSettings(std::string_view text) const;
    std::string ReadSettings() const;
    // A folder inside the temp folder, made on first use.
    QString Subfolder(const std::string& name) const;
    // The example key data file copied into `folderName`, which it returns.
    QString ExampleKeysFolder(const std::string& folderName = "keys") const;

    TempFolder folder;
    std::vector<std::string> events;
    RecordingFileSystem fileSystem{events};
    int endCount = 0;
    QStringList messages;
    int messagesOverBusyPointer = 0;
    // Filled by the About box hook with what the start-up had done by then.
    struct AboutMoment {
        bool shown = false;
        bool windowVisible = false;
        bool loadComplete = false;
        std::string appFolder;
        bool preferencesExist = false;
        std::size_t eventsBefore = 0;
    } about;
    Form1* starting = nullptr;
};

}  // namespace bladeway::testing
