// Starting other programs: the external commands (Alt+letter), the editor, eXec, the command
// interpreter and the external viewer, with their small input dialogs and the shared history.
#pragma once
#include <windows.h>
#include <stddef.h>
#include "extcmd/macro.h"

enum { EDITOR_COMMAND = 1024, SHELL_TEXT = 1024 };

// Expands and runs external command index (0-25 Alt+A…Z, 26-51 the second set). starter is
// the window brought to the foreground afterwards when the line has $K.
void RunExtCommand(HWND starter, int index);

// The editor on the cursor entry. ask shows the command line for editing first. viewerFirstLine
// is the first line the viewer shows, or -1 when the command does not come from its text display.
void RunEditor(HWND owner, int ask, int viewerFirstLine);
int EditorLineNumber(int firstShownLine, int disprow);
// The editor's command line for a file: "$L" takes the line, "$F" the full path (quoted when it
// holds a blank), appended when there is no "$F". *mustAsk is set for the "." and ".." entries.
// False when the line does not fit in size bytes.
bool BuildEditorCommand(const char *editor, const char *currentPath, const char *longName, bool dotEntry, int line,
                        char *out, size_t size, bool *mustAsk);

// 'E': the editor on the cursor entry, its command line shown first.
void EditorCommand(HWND hwnd);
// 'X' (asks for options unless Shift is held) and 'Z' (starts at once) on the cursor entry.
void ExecCommand(HWND hwnd);
void ExecAtOnceCommand(HWND hwnd);
// 'H': a command through the interpreter named by COMSPEC.
void ShellCommand(HWND hwnd);
// The configured external viewer on the cursor entry; false when none is configured.
bool OpenExternalViewer(HWND hwnd);

// The values of the macros for the cursor entry and CurrentPath, in buffers of PATH_BUFFER bytes.
struct MacroValueBuffers {
    char name[1024], shortName[1024], path[1024], shortPath[1024], dir[1024], shortDir[1024];
};
void FillMacroValues(const char *currentPath, const char *longName, const char *shortName, MacroValueBuffers *buffers,
                     MacroValues *values);
// The short (8.3) form of a listed name: shortName unless it is only the long name cut short.
void EntryShortName(const char *currentPath, const char *longName, const char *shortName, char *out);

// One of the input dialogs 20011, 20014, 20038 on text (size bytes). caret -1 puts the caret
// at the end, 0 at the start. Returns 1 on OK with the edited text, 0 on Cancel.
enum { INPUT_HISTORY = 1, INPUT_INSERT_NAME = 2 };
int CommandInputDialog(HWND owner, int templateId, const char *caption, char *text, size_t size, int editLimit,
                       int caret, int flags);

// The common Open dialog on path (PATH_BUFFER bytes, in and out) listing every file; it starts
// in the directory part of path. 1 when a file was chosen. (The settings' file dialogs sit
// above this folder, so the external command editor has its own.)
int BrowseAllFiles(HWND owner, const char *caption, char *path);

// The ExtCommand editor dialog 20006; 1 on OK. ExtCommandEditorCommand: the menu command.
int RunExtCommandEditor(HWND owner);
void ExtCommandEditorCommand(HWND hwnd);
