// The function-key bar on the last screen line: key caps with the command names in the
// 10-key or the 12-key layout, plain or shifted.
#pragma once
#include <windows.h>

enum { KEYBAR_LIT_VIEW = 18 };      // the shifted set with the 9th key lit, as the viewer shows it

int KeyBarKeys();                   // 10 or 12, from fkeynum
int KeyCapWidth(int keys);          // 6 or 5 cells
int KeyCapColumn(int keys, int index);
const char *KeyLabel(int keys, bool shifted, int index);
int PickedLetterIndex(const char *label, int width);   // -1: no letter picked out
bool ShiftSetHeld();                // Shift or the right mouse button held
bool MaskInForce();                 // a file mask other than empty and "*.*"
// litKey -1 none; from the key count on it selects the shifted set; KEYBAR_LIT_VIEW see above.
void DrawKeyBar(HDC dc, bool shifted, int litKey);
// The plain (unshifted) bar drawn at once into window hwnd: after a dialog that was left with
// Shift held, the bar must not keep showing the shifted set.
void RedrawPlainKeyBar(HWND hwnd);
