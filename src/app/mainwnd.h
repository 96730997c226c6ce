#pragma once
#include <windows.h>

extern BYTE ResizePending;
extern BYTE InCreate;
extern int ScreenMode;        // 0 file list, 1 viewer

void RepaintGrid(HWND hwnd);
void RepaintAll(HWND hwnd);
