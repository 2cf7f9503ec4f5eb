#pragma once
// The Win32 API as the program's windows include it: <windows.h> first, then
// what needs it (the common controls, the message helpers).
// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>
// clang-format on
