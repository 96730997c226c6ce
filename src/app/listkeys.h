// The list-mode commands reached from letters, command ids and keys.
#pragma once
#include <windows.h>

bool RunListLetter(HWND hwnd, char letter);
bool RunListCommand(HWND hwnd, int id);
bool RunListKey(HWND hwnd, UINT vk);
bool RunListKeyUp(HWND hwnd, UINT vk);
