// What commands of every folder ask of the main window: the two repaints, the row count and the
// menu items that follow it and the screen mode.
#pragma once
#include <windows.h>

// Both carry out a pending ReloadRequest first.
void RepaintGrid(HWND hwnd);
void RepaintAll(HWND hwnd);
// A new Settings.disprow: window size, geometry, screen record, Rows menu, cursor on the first slot.
void ApplyRowCount(HWND hwnd);
void UpdateRowsMenu(HWND hwnd);
// The menus greyed while the viewer is open.
void UpdateMenuState(HWND hwnd);
