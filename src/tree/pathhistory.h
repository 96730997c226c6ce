// The history of listed directories: PATH_HISTORY_COUNT entries, index 0 the most recent,
// the count kept in Settings.historyCount.
#pragma once
#include <windows.h>

// Strips a trailing backslash from path itself (not from a drive root), then puts it first;
// an equal entry further down is removed, and the oldest entry falls off a full history.
void PushPathHistory(char *path);

// Adds every history entry, most recent first, to the combo box IDC_PATH_COMBO (10173) of dialog.
void FillPathCombo(HWND dialog);
