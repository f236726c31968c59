// Windows only: the console control handler, visible so that it can be
// tested as a function (Ctrl+Break cannot be raised on demand).
#pragma once

#include <windows.h>

BOOL WINAPI ConsoleCtrlHandler(DWORD controlType);
