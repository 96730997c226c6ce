// Unpack (U, and Enter on an .LZH or .ZIP file): the archive listing dialog for the cursor
// entry, or every marked archive extracted whole into one destination.
#pragma once
#include <windows.h>

// The archive kind of a short extension: 1 LZH, 2 ZIP, 0 neither.
int ArchiveKindOfExtension(const char *shortExt);
void UnpackCommand(HWND hwnd);
// The destination dialog: 1 with UnpackDestination set.
int RunUnpackDestination(HWND owner);
// The listing dialog for one archive (full path); 1 when members were extracted.
int RunUnpackListing(HWND owner, const char *archive, int kind);
// Opens an extracted member with the program associated with its type (tests replace it).
extern void (*OpenExtractedMember)(const char *path);
