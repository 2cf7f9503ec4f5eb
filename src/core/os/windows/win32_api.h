#pragma once

// Windows only: <windows.h> as the program's own files include it. Some of
// its names are macros that would rename the program's functions of the
// same name (FileSystem::ReplaceFile would become ReplaceFileW).
#include <windows.h>

#undef ReplaceFile
