// The dialogs of Copy and Move: destination, same name, result; and the question for another name.
#pragma once
#include <windows.h>

// Dialog 20009: 1 with CopyDestination set, 0 cancelled.
int CopyMoveDestDialog(HWND owner);
// Dialog 20012 showing name: 1 with the choice in SameNameMode, 0 cancelled.
int SameNameDialog(HWND owner, const char *name);
// Dialog 20034 with the summary text and the result list (or, without one, the processed entries).
void ResultDialog(HWND owner, const char *text);
// Asks for another target name (newName: 260 bytes). 1 entered, 0 cancelled.
extern int (*AskOtherName)(HWND owner, const char *oldName, char *newName);

// The header line of the destination dialog for CopyMoveMode (text: 80 bytes).
void DestinationHeader(const char *cursorName, char *text);
// OK of the destination dialog: checks (and creates one level of) the typed directory.
// 1 accepted, text the destination; 0 refused.
int AcceptDestination(char *text);
