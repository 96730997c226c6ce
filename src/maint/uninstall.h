// The entry in the system's list of removable programs, and the uninstall run (" /u") that
// removes the program's registry keys, its tree cache files and its distribution files.
#pragma once
#include <windows.h>

extern const char UninstallDisplayName[];
extern const char UninstallKeyPath[];       // under HKEY_LOCAL_MACHINE

// Writes DisplayName and UninstallString unless the same DisplayName is there already.
// Returns false when the key cannot be created; callers ignore it.
bool RegisterForUninstall(const char *programDir);

// A file whose first bytes are the tree cache signature with its terminating zero.
bool IsTreeCacheFile(const char *path);

// The three stages of the uninstall dialog, each best effort.
void RemoveRegistryKeys();
void RemoveTreeCacheFiles(const char *programDir);
void RemoveDistributionFiles(const char *programDir);

// The uninstall run: refuses while copies other than this one run (copies counts them all,
// this one included), asks, and runs the dialog. Returns 1 when the removal ran.
int RunUninstall(HWND owner, int copies);
