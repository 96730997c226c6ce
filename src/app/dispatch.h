// How keys, command letters, accelerators and menu commands reach their commands.
#pragma once
#include <windows.h>
#include "screen/frame.h"

#include "base/globals.h"
#include "base/commands.h"

void FunctionKeyToLetter(HWND hwnd, UINT vk);
char FunctionKeyLetter(int fkeynum, int screenMode, int index);   // ' ' = none
bool DispatchInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void UpdateMenuState(HWND hwnd);
void UpdateViewMenu(HWND hwnd);

// The paint sequence of the list screen and the pieces the timer redraws.
void PaintListScreen(HWND hwnd, HDC dc);
void DrawTitleAndClock(HWND hwnd);
void DrawDiskFiguresNow(HWND hwnd);
