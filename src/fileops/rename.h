// Rename (R): the cursor entry through the rename dialog, the volume label entry sets the
// drive's label, and with marks the letter case of every marked name.
#pragma once
#include <windows.h>

// Dialog 20032: 1 with *upper (1 upper case, 0 lower case), 0 on Cancel.
int CaseRenameDialog(HWND owner, int *upper);
// Renames name to newName in the current directory. A change of letter case only goes
// through a temporary name where the file system does not take it in one step.
BOOL RenameEntry(const char *name, const char *newName);

void RenameCommand(HWND hwnd);
