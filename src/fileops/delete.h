// Deleting files and directory trees: the Delete (D) and rmDir (Shift+D) commands, the
// attribute handling around every deletion, and the tree deletion a move across drives uses.
#pragma once
#include <windows.h>

// 1: ask before deleting a read-only, hidden or system file. The commands set it to 1 for
// their length and "以降を全てOK(&A)" clears it; outside them it is 0, so that DeleteTree
// called by another command (a move to another drive) asks nothing.
extern BYTE DeleteConfirm;

// Reads the attributes of path; when read-only, hidden or system is set and confirm is 1,
// asks with the attribute confirmation (allowAll offers "以降を全てOK(&A)"). Then saves the
// attributes and clears them (a directory keeps only the directory attribute).
// Returns 1 to go on, 0 when the user cancelled (the attributes are untouched).
int ClearForDelete(const char *path, int confirm, int allowAll);
// Puts back the attributes the last ClearForDelete saved, once.
void RestoreClearedAttributes(const char *path);

// The steps of the tree deletion: delete one file (1 go on, 0 stop the walk), remove a
// directory whose walk was complete (always 1). Failures are reported here, once.
int DeleteOneFile(const char *path, const char *name);
int RemoveDirAfter(const char *directory, int complete);
// Deletes directory with everything in it. Returns 1 when the walk was complete, 0 when it
// stopped (a failure already reported, a Cancel or Esc).
int DeleteTree(const char *directory);

// "NAME を削除します" with a long name cut to 20 bytes and an ellipsis (into PATH_BUFFER bytes).
void DeleteQuestion(const char *name, char *text);
// "Read only / Hidden / System ですが" for the bits that are set.
void AttributeWords(DWORD attributes, char *words);

// Dialog 20010: 1 delete, 0 cancel. Return confirms only with retdel.
int DeleteConfirmDialog(HWND owner, const char *text);
// Dialog 20039 for path with its attributes: 1 delete, 0 cancel; "以降を全てOK(&A)" also
// clears DeleteConfirm. It is offered when allowAll is 1 or more than one entry is marked.
int AttributeConfirmDialog(HWND owner, const char *path, DWORD attributes, int allowAll);

void DeleteCommand(HWND hwnd);       // D
void RemoveDirCommand(HWND hwnd);    // Shift+D
void DeleteOrRemoveDir(HWND hwnd);   // the letter D: one of the two by Shift
