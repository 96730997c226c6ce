// Pack (P): the marked entries, or the cursor entry, into an LZH archive through UNLHA32.DLL.
#pragma once
#include <windows.h>

// The archive name as it will be written: an empty extension becomes ".LZH" (".lzh" when the
// name has a lower-case letter). False when the name carries another extension; fixed then
// holds the name with the extension replaced the same way.
bool FixPackArchiveName(const char *typed, char *fixed, size_t size);
// The dialog: 1 with name (PATH_BUFFER bytes), destination and packmode set.
int RunPackDialog(HWND owner, char *name, char *destination);
void PackCommand(HWND hwnd);
