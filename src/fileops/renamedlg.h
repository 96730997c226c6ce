// The rename dialog (20033): asks for a new name for oldName. Used by the Rename command and
// by copying under another name.
#pragma once
#include <windows.h>

// newName: 260 bytes. Returns 1 with the new name (at most 259 bytes, whole characters),
// 0 on Cancel.
int RenameDialog(HWND owner, const char *oldName, char *newName);
