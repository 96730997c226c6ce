// The two services of the application layer these commands need.
#pragma once
#include <windows.h>

bool ShiftHeld();                   // Shift or the right mouse button held, or a forced Shift
void RefreshMenuState(HWND hwnd);   // menu items that follow the screen mode
