// What the commands over marked entries share: a device context of the main window for the
// length of the command, and the cursor moved onto the entry being worked on.
#pragma once
#include <windows.h>

// The main window's device context with the main font and the data colours; dc is null when
// there is no main window. Released when the guard leaves scope.
struct WorkDC {
    HDC dc = NULL;
    HGDIOBJ oldFont = NULL;
    WorkDC();
    ~WorkDC();
    WorkDC(const WorkDC &) = delete;
    WorkDC &operator=(const WorkDC &) = delete;
};

// Puts the cursor on the entry at display position: turns the page when needed (repainting
// the grid), draws the previous cursor entry plain and this one highlighted.
void ShowWorkingEntry(HDC dc, int position);

// Copies the long name at display position into name (PATH_BUFFER bytes); "" when out of range.
void LongNameCopy(int position, char *name);

// The process's current directory becomes CurrentPath without its trailing backslash; base
// (PATH_BUFFER bytes, may be null) receives that path.
void EnterCurrentPath(char *base);
