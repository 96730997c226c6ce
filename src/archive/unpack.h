// Unpack (U, and Enter on an .LZH or .ZIP file): the archive listing dialog for the cursor
// entry, or every marked archive extracted whole into one destination.
#pragma once
#include <windows.h>
#include <stddef.h>

struct MemberRecord;

// The archive kind of a short extension: 1 LZH, 2 ZIP, 0 neither.
int ArchiveKindOfExtension(const char *shortExt);
void UnpackCommand(HWND hwnd);
// The destination dialog: 1 with UnpackDestination set.
int RunUnpackDestination(HWND owner);
// The listing dialog for one archive (full path); 1 when members were extracted.
int RunUnpackListing(HWND owner, const char *archive, int kind);
// Opens an extracted member with the program associated with its type (tests replace it).
extern void (*OpenExtractedMember)(const char *path);

// The destination combo box id (the path history) of the unpack and pack dialogs: the text with
// a drive entry expanded, into destination (513 bytes) and the path history; false after the
// drive message (titled title) when it names no drive.
bool ReadDestinationCombo(HWND dialog, int id, const char *title, char *destination);
// The tree button beside it: a directory chosen in the tree replaces the text.
void BrowseDestinationCombo(HWND dialog, int id);

// ---- window-free ----
enum { UNPACK_NO_RESPONSE_FILE = -1, MEMBER_DETAILS_BUFFER = 160 };
// The columns after a member's name in the listing: sizes, ratio, date, time, attribute,
// method, CRC (four hexadecimal digits for LZH, eight for ZIP).
void FormatMemberDetails(int library, const MemberRecord *m, char *details, size_t size);
// A private temporary directory (prefix KLP) for viewed members and the response file.
bool CreateUnpackTemporary(char *directory, size_t size);
// Removes it with everything in it; asks nothing.
void RemoveUnpackTemporary(const char *directory);
// Extracts the members of archive whose mark is set (every one when marks is NULL) into
// destination through "$UNPACK.LST" written in temporary and deleted afterwards; with every
// member marked the whole archive is extracted, also what the listing could not show. The library's
// result (0 success), or UNPACK_NO_RESPONSE_FILE when the response file could not be written.
int ExtractMembers(HWND owner, int library, const char *archive, const char *destination, const char *temporary,
                   const MemberRecord *records, const BYTE *marks, int count);
