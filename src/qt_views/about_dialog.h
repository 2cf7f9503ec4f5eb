#pragma once

// The About box frmAbout: the program's title and version, the version
// numbers the operating system reports, and a button that starts the system
// information program. The start-up shows it modally before anything else.

#include <cstdint>
#include <functional>

#include <QDialog>
#include <QRect>

#include "core/os/registry.h"
#include "core/storage/file_system.h"

class QLabel;
class QPushButton;

namespace bladeway {

// Starts the program as a separate process without waiting; false when it
// could not be started.
bool StartProgramDetached(const QString& program);
// A message box with an OK button only.
void ShowProgramMessage(QWidget* parent, const QString& title, const QString& text);

// What the box takes from the system, replaceable in tests.
struct AboutDialogServices {
    std::uint32_t osVersion = 0;
    // The registry to read; none: the system's registry as it is at the click.
    Registry* registry = nullptr;
    const FileSystem* fileSystem = &Disk();
    std::function<bool(const QString&)> startProgram = StartProgramDetached;
    std::function<void(QWidget*, const QString&, const QString&)> showMessage = ShowProgramMessage;

    // The running system's version and registry, the disk, a real process and
    // a real message box.
    static AboutDialogServices System();
};

class AboutDialog final : public QDialog {
    Q_OBJECT

  public:
    explicit AboutDialog(QWidget* parent = nullptr,
                         AboutDialogServices services = AboutDialogServices::System());

    // Places the box in the middle of `screen` (pixels), never left of or
    // above its top-left corner.
    void CentreOnScreen(const QRect& screen);

    // The System Info button: starts the system information program, or
    // says that there is none.
    void StartSystemInformation();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    AboutDialogServices services_;
    QLabel* titleLabel_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* descriptionLabel_ = nullptr;
    QLabel* systemVersionLabel_ = nullptr;
    QLabel* secondVersionLabel_ = nullptr;
    QLabel* disclaimerLabel_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* systemInfoButton_ = nullptr;
};

// The start-up's step: shows the About box modally and returns once the user
// has closed it.
void ShowAboutDialog(QWidget* parent = nullptr);

}  // namespace bladeway
