#include "qt_views/program_icon.h"

#include <array>

// The resource lives in a static library: it must be registered by hand.
static void InitBladewayResources() {
    Q_INIT_RESOURCE(bladeway);
}

namespace bladeway {

QIcon ProgramIcon() {
    InitBladewayResources();
    QIcon icon;
    for (const int size : std::array{16, 32, 48, 64, 256}) {
        icon.addFile(QStringLiteral(":/bladeway/bladeway-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace bladeway
