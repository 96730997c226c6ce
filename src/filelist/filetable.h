// The FileTable: the listing of the current directory.
#pragma once
#include <windows.h>

enum EntryFlag : DWORD {
    EF_DIRECTORY = 0x0001,
    EF_READONLY = 0x0010,
    EF_HIDDEN = 0x0020,
    EF_SYSTEM = 0x0040,
    EF_DOTDOT = 0x0100,     // short name begins with "." and has more characters
    EF_DOT = 0x0200,        // short name is exactly "."
    EF_VOLUME = 0x0400,
    EF_ARCHIVE = 0x8000,
    EF_SORTCLASS_MASK = 0x0FFF,
};

#pragma pack(push, 1)
struct FileEntry {
    DWORD EntryFlags;
    FILETIME creationTime;
    FILETIME accessTime;
    FILETIME writeTime;
    DWORD sizeHigh;
    DWORD sizeLow;
    DWORD nameOffset;
    char shortName[14];
    char shortExt[5];
    BYTE mark;
    BYTE reserved[8];       // pads the record to its table stride of 68 bytes
};
#pragma pack(pop)
static_assert(sizeof(FileEntry) == 68, "FileEntry keeps its 68-byte layout");

// Locked views of the three movable blocks, valid between LockFileTable and UnlockFileTable.
extern FileEntry *g_entries;
extern char *g_namePool;
extern char *g_baseNamePool;

extern int EntryCount;
extern BYTE NoFiles;
extern BYTE HasDotNames;
extern double TotalBytes, TotalAllocated;
extern int MarkedCount;
extern double MarkedBytes, MarkedAllocated;
extern DWORD ClusterBytes;
extern int ReloadRequest;
extern DWORD NamePoolUsed;

void LockFileTable();
void UnlockFileTable();
void ReadDirectory(int showProgress);
void ResetOrderIndex();
void FindEntryByName(const char *name);
void RememberCursorEntry();                // CursorName := the cursor entry's long name
void ApplyReloadRequest();
void ToggleMark(int advanceMode);
void MakeSortKey(const char *longName, char *key);
double RoundToCluster(DWORD size);
FileEntry *EntryAt(int position);          // table must be locked
const char *LongNameAt(int position);      // table must be locked
