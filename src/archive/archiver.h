// The archiver libraries UNLHA32.DLL (LZH) and UNZIP32.DLL (ZIP), loaded by name at run
// time. Every entry is looked up at each call; a missing library or entry gives a fixed
// result. ZIP members are enumerated from the library's "-l --i" text listing.
#pragma once
#include <windows.h>
#include <stddef.h>

enum ArchiverLibrary { ARC_LZH, ARC_ZIP, ARC_LIBRARY_COUNT };

enum {
    MEMBER_NAME_BYTES = 513,
    ZIP_LIST_BUFFER = 65536,
    ZIP_LIST_BUFFER_MAX = 64 * 1024 * 1024,   // a longer listing is retried up to this size
    ZIP_LINE_TAIL = 67,                        // the fixed columns after the name and its blank
};

#pragma pack(push, 1)
// The member description as the libraries fill it: 558 bytes.
struct MemberRecord {
    DWORD originalSize;
    DWORD compressedSize;
    DWORD crc;
    UINT flag;
    UINT osType;
    WORD ratio;                 // tenths of a percent
    WORD date;                  // MS-DOS date
    WORD time;                  // MS-DOS time
    char name[MEMBER_NAME_BYTES];
    char reserved[3];
    char attribute[8];          // "D" or "A", then 'S', 'H', 'R' or '-'
    char method[8];
};
#pragma pack(pop)
static_assert(sizeof(MemberRecord) == 558, "member record layout");

// The file names loaded (tests point them at missing files).
extern const char *ArchiverFileName[ARC_LIBRARY_COUNT];
// Set from the result of loading; the commands load again on demand.
extern bool ArchiverAvailable[ARC_LIBRARY_COUNT];

int LoadArchiver(int library);          // 1 loaded, 0 not
void UnloadArchiver(int library);
int ReloadArchiver(int library);
void LoadArchivers();                   // at start-up: both, availability recorded
void FreeArchivers();                   // at exit: LZH first, then ZIP

WORD ArcGetVersion(int library);
BOOL ArcGetRunning(int library);
BOOL ArcSetBackGroundMode(int library, BOOL mode);
int ArcCommand(int library, HWND owner, const char *command, char *output, DWORD size);
BOOL ArcCheckArchive(int library, const char *path, int mode);
int ArcGetFileCount(int library, const char *path);
BOOL ArcConfigDialog(int library, HWND owner, char *buffer, int mode);
// The enumeration handle: the LZH library's archive handle, or the ZIP listing.
HANDLE ArcOpenArchive(int library, HWND owner, const char *path, DWORD mode);
int ArcCloseArchive(int library, HANDLE archive);
int ArcFindFirst(int library, HANDLE archive, const char *wildcard, MemberRecord *record);
int ArcFindNext(int library, HANDLE archive, MemberRecord *record);
// False when an open ZIP listing still lacks members even in the largest buffer.
bool ZipListingComplete(HANDLE archive);

// "UNLHA32 V1.00" / "UNZIP32 V1.00" into text (at least 16 bytes).
void FormatArchiverVersion(int library, char *text);
// "Unlha32 Error=8005" / "Unzip32 Error=8005" into text (at least 32 bytes).
void FormatArchiverError(int library, int code, char *text);

// ---- the ZIP listing, window-free ----
// The whole "-l --i" listing of archive, terminated, in a buffer from malloc (free it), or
// NULL when the library fails. A listing the library had to cut is asked for again with
// a larger buffer; *complete tells whether the text lists every member.
char *ZipList(const char *archive, bool *complete);
// The member count of a listing: the line after the second line that starts with '-'.
int ZipListCount(const char *text);
// Reads the line at *position (its start and length without the line feed) and moves
// *position past it; false at the end of the text (no further line feed).
bool ZipReadLine(const char **position, const char **start, size_t *length);
// One member line into record; false when it is too short for the fixed columns.
bool ParseZipMemberLine(const char *line, size_t length, MemberRecord *record);
