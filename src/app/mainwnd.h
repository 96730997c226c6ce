// The main window: its messages, its placement and its clock.
#pragma once
#include <windows.h>

extern BYTE ResizePending;
extern BYTE InCreate;

void StoreWindowRect(HWND hwnd);
void TimerTick(HWND hwnd);
// Whether a window of this width placed at x, y shows enough of its caption on the desktop.
bool StoredPlaceIsVisible(int x, int y, int width, const RECT &desktop);
