// The main window: its messages, the two repaint operations and the row count.
#pragma once
#include <windows.h>

extern BYTE ResizePending;
extern BYTE InCreate;

void RepaintGrid(HWND hwnd);
void RepaintAll(HWND hwnd);
void UpdateMenuState(HWND hwnd);   // menu items that follow ScreenMode (defined with the dispatch)
void ApplyRowCount(HWND hwnd);
void UpdateRowsMenu(HWND hwnd);
void StoreWindowRect(HWND hwnd);
void TimerTick(HWND hwnd);
