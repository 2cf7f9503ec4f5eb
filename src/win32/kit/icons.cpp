#include "win32/kit/icons.h"

namespace bladeway::win32 {

Icon ProgramIcon(int width, int height) {
    return Icon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr),
                                              MAKEINTRESOURCEW(kProgramIconResource), IMAGE_ICON,
                                              width, height, LR_DEFAULTCOLOR)));
}

// A copy of the shared system icon, drawn afresh at this size where the
// system has it in several.
Icon WarningIcon(int size) {
    const HICON shared = LoadIconW(nullptr, IDI_WARNING);
    HANDLE copy = CopyImage(shared, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE);
    if (copy == nullptr)
        copy = CopyImage(shared, IMAGE_ICON, size, size, 0);
    return Icon(static_cast<HICON>(copy));
}

}  // namespace bladeway::win32
