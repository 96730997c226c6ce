// Commands the main window carries out itself: the exit question, the name case, the root,
// drive change, choosing a directory with the Open dialog, Explorer, the control panel, and
// the Alt+letter keys of the external commands.
#pragma once
#include <windows.h>

void EscapeCommand(HWND hwnd);
int ExitDialog(HWND owner);                     // 1: quit
void NameCaseCommand(HWND hwnd);
void RootCommand(HWND hwnd);
void DriveChangeCommand(HWND hwnd, int drive);  // 0 = A:
void ChooseDirectoryCommand(HWND hwnd);
void ExplorerCommand(HWND hwnd);
void ControlPanelCommand(HWND hwnd);
void AltLetterCommand(HWND hwnd, int commandId); // accelerator ids of Alt+A … Alt+Z
