// mKdir (K), new file (N) and Find (F): one name from a small dialog, then a re-read with the
// cursor on that name.
#pragma once
#include <windows.h>

void MakeDirectoryCommand(HWND hwnd);
// Creates an empty file at path; an existing one is truncated only after the question was
// answered with Yes. Returns 1 created, 0 left alone (No, or the message shown).
int CreateEmptyFile(HWND hwnd, const char *path);
void NewFileCommand(HWND hwnd);
void FindCommand(HWND hwnd);
// The accept step of the Find and find-and-mark dialogs: a mask names entries of the listed
// directory only, so one with a path ("\\", "/" or ":") is refused with a message (0).
int AcceptMask(HWND dialog, const char *mask);
// Find-and-mark ("*"): marks the entries that match pattern in the current directory,
// clearing every mark first; returns the number marked.
int MarkByPattern(const char *pattern);
void FindMarkCommand(HWND hwnd);
