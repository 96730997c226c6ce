// QuickAccess (Q): up to 20 bookmarked directories in the registry, in order of last use.
#pragma once
#include <windows.h>

enum { QUICK_MAX = 20, QUICK_ITEM = 261 };

// The stored list: at most qcount and at most 20 entries, up to the first missing one.
int LoadQuickList(char (*list)[QUICK_ITEM]);
// Writes chosen first, then the others in list order, and qcount.
void SaveQuickList(char (*list)[QUICK_ITEM], int count, int chosen);
// Puts path first: an equal entry moves there, a new one pushes the oldest off a full list.
int RegisterQuickPath(char (*list)[QUICK_ITEM], int count, const char *path);
int DeleteQuickPath(char (*list)[QUICK_ITEM], int count, int index);

// The dialog; 1 when CurrentPath was changed.
int RunQuickAccess(HWND owner);
void QuickCommand(HWND hwnd);
