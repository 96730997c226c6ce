// The main window: its messages, its placement and its clock.
#pragma once
#include <windows.h>

extern BYTE ResizePending;
extern BYTE InCreate;

void StoreWindowRect(HWND hwnd);
void TimerTick(HWND hwnd);
