// The other running copies of the program: the Window menu that lists them by directory, the
// notices sent to them when this copy changes its directory or closes, and starting a new copy.
#pragma once
#include <windows.h>

enum { OTHER_WINDOWS_MAX = 9 };

// The main windows of the other copies as EnumWindows reported them last (never this one).
extern HWND OtherWindows[OTHER_WINDOWS_MAX];
extern int OtherWindowCount;

BOOL CALLBACK CollectOtherWindows(HWND window, LPARAM);
BOOL CALLBACK CountCopies(HWND window, LPARAM count);   // count: int *, this copy included
// Rebuilds the copy items of the Window menu; sender and code are those of a received notice
// (a copy that is closing is left out), or 0 and 0. Returns the number of other copies.
int RebuildWindowMenu(HWND sender, int code);
// The menu item of another copy: "&n" and the directory from its title "Kelpo - DIR", cut at
// 40 bytes between whole characters.
void CopyItemText(int number, const char *title, char *item, size_t size);
void NotifyOtherWindows(int code);      // IDM_COPY_CHANGED or IDM_COPY_CLOSING
void BringCopyToFront(int commandId);   // IDM_WINDOW_FIRST ... IDM_WINDOW_LAST
void StartNewCopy();
// Given to the information block: tells the other copies that this one shows another directory.
void AnnounceDirectory(const char *path);
