// The colour dialog: the 19 screen colours with a preview, applied at once with 更新.
#pragma once
#include <windows.h>

extern const char *const ColorLabels[19];
// A component typed into a field: a missing or bad number is 0, limited to 0-255.
int ColorComponentFromText(const char *text);
int RunColorDialog(HWND owner);     // 1 when Settings took new colours (OK, or 更新 then Cancel)
void ColorCommand(HWND hwnd);
