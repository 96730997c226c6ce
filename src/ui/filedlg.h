// The common Open and Save dialogs, one set-up for every command that asks for a file.
#pragma once
#include <windows.h>

// The filter of every file: "全てのﾌｧｲﾙ" (*.*).
extern const char ALL_FILES_FILTER[];

// Shows the common Open dialog (save false: a typed name need not exist) or Save dialog
// (save true: asks before replacing a file), neither with the read-only box. filter: pairs
// of null-terminated strings ending in an empty one, the first pair chosen; directory: the
// folder shown first, NULL for the system's choice; file: in the name proposed, out the path
// chosen, fileSize bytes. Returns 1 when the user pressed OK.
int RunFileDialog(HWND owner, const char *caption, const char *filter, const char *directory, char *file,
                  DWORD fileSize, bool save);

// The same with the filter from the string table (its last character separates the parts:
// "Text|*.txt||"), starting in the directory of path. The Open dialog proposes the filter's
// first pattern, the Save dialog the name in path. path in/out (260+).
int OpenFileDialog(HWND owner, const char *caption, char *path, int filterId);
int SaveFileDialog(HWND owner, const char *caption, char *path, int filterId);
