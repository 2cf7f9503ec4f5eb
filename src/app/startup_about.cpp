#include "app/startup_about.h"

#include "dialogs/about_box.h"

namespace bladeway {

void ShowStartupAbout(QWidget* parent) {
    ShowAboutBox(parent);
}

}  // namespace bladeway
