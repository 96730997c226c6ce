// What the commands over marked entries share: the cursor moved onto the entry being worked
// on, names of entries, and the current directory.
#pragma once
#include <windows.h>

// Puts the cursor on the entry at display position: turns the page when needed (repainting
// the grid), draws the previous cursor entry plain and this one highlighted on dc (a context
// of the main window with the main font).
void ShowWorkingEntry(HDC dc, int position);

// Copies the long name at display position into name (PATH_BUFFER bytes); "" when out of range.
void LongNameCopy(int position, char *name);

// The process's current directory becomes CurrentPath without its trailing backslash; base
// (PATH_BUFFER bytes, may be null) receives that path.
void EnterCurrentPath(char *base);

// The name the system gave the entry made in directory base from a typed name (trailing blanks,
// dots and backslash dropped, an existing entry's own letter case), so that the cursor lands on
// it; the typed text when that holds a path or no such entry is found.
void CreatedEntryName(const char *base, const char *typed, char *name);
