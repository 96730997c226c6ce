// The mouse: a click moves the cursor, a right click marks, a double click opens, a click on
// a key cap runs its command, a click on the page indicator line turns the page.
#pragma once
#include <windows.h>

enum { HIT_NOTHING = 0, HIT_SLOT = 1 };

// The grid slot, key-cap letter or command under a cell: HIT_NOTHING, HIT_SLOT (slot written),
// or a command letter. A cap that sends a command id (12 keys: help, top, bottom) writes it to
// command and gives HIT_NOTHING. Pure: reads only the settings.
int HitTestCell(int column, int line, bool shifted, int *slot, int *command);
// The same from client pixels; a cap's command id is posted to window.
int HitTest(HWND window, int x, int y, bool shifted, int *slot);

void OnLeftButtonDown(HWND hwnd, WPARAM keys, LPARAM position);
void OnLeftDoubleClick(HWND hwnd, WPARAM keys, LPARAM position);
void OnRightButtonDown(HWND hwnd, WPARAM keys, LPARAM position);
void OnRightButtonUp(HWND hwnd);
