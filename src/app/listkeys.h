// The list-mode commands reached from letters, command ids and keys.
#pragma once
#include <windows.h>

bool RunListLetter(HWND hwnd, char letter);
bool RunListCommand(HWND hwnd, int id);
bool RunListKey(HWND hwnd, UINT vk);
bool RunListKeyUp(HWND hwnd, UINT vk);
// Redraws the mark sign of the entry at slot (showing position) and the marked figures.
void RedrawMarkFigures(HWND hwnd, int slot, int position);
void RedrawKeyBar(HWND hwnd, bool shifted);
