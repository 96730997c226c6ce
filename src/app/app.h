#pragma once
#include <windows.h>

int KelpoMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);

// Start-up pieces, callable by the window tests.
bool RegisterMainClass(HINSTANCE instance);
// Steps 2-10 of start-up; fullCommandLine NULL means the process command line.
bool StartProgram(HINSTANCE instance, const char *commandLine, const char *fullCommandLine);
HWND CreateMainWindow(int cmdShow);
void ShutdownProgram();                                             // releases after the loop
void ParseCommandLine(const char *commandLine, char *startDirectory);
// The start directory as a full path of an existing directory ("d" and "D:" are drive roots,
// other relative paths are taken from the current directory); false when there is none.
bool AcceptStartDirectory(char *path);
void Load3dControls();
void Unload3dControls();
void ShowHelp();
void ShowVersionBox(HWND owner);
extern bool HelpOpened;      // the help window is closed at exit only when this program opened it
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

extern const char MainClassName[];
extern int g_failAllocationAt;
