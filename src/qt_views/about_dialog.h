#pragma once

// The About box frmAbout: a Qt window over AboutModel, which holds its texts,
// the places of its controls, where it goes on the screen and what the System
// Info button does. The start-up shows it modally before anything else.

#include <functional>

#include <QDialog>
#include <QRect>

#include "core/presentation/about_model.h"

class QLabel;
class QPushButton;

namespace bladeway {

// A message box with an OK button only.
void ShowProgramMessage(QWidget* parent, const QString& title, const QString& text);

// How the box says things: a message box, replaceable in tests.
using ShowMessageFunction = std::function<void(QWidget*, const QString&, const QString&)>;

class AboutDialog final : public QDialog, private AboutView {
    Q_OBJECT

  public:
    // Over `model`, which outlives the box.
    explicit AboutDialog(AboutModel& model, QWidget* parent = nullptr,
                         ShowMessageFunction showMessage = ShowProgramMessage);
    ~AboutDialog() override;

    // Places the box in the middle of `screen` (pixels), never left of or
    // above its top-left corner.
    void CentreOnScreen(const QRect& screen);

    // The System Info button: starts the system information program, or
    // says that there is none.
    void StartSystemInformation() { model_.StartSystemInformation(); }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void ShowMessage(std::string_view title, std::string_view text) override;

    AboutModel& model_;
    ShowMessageFunction showMessage_;
};

// The start-up's step: shows the About box over `model` modally and returns
// once the user has closed it.
void ShowAboutDialog(AboutModel& model, QWidget* parent = nullptr);

}  // namespace bladeway
