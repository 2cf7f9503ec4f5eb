#pragma once

#include <QIcon>

namespace bladeway {

// The program's icon: the application's window icon when one is set,
// otherwise a key drawn in the program's colours.
QIcon ProgramIcon();

}  // namespace bladeway
