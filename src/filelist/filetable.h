// The FileTable: the listing of the current directory.
#pragma once
#include <windows.h>

enum EntryFlag : DWORD {
    EF_DIRECTORY = 0x0001,
    EF_READONLY = 0x0010,
    EF_HIDDEN = 0x0020,
    EF_SYSTEM = 0x0040,
    EF_DOTDOT = 0x0100,     // the entry ".."
    EF_DOT = 0x0200,        // the entry "."
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

// "." or "..": no entry to act on. Told by the name itself, since on a volume without 8.3 names
// ".git" is its own short name.
inline bool IsDotEntry(const FileEntry *e)
{
    return (e->EntryFlags & (EF_DOT | EF_DOTDOT)) != 0;
}
static_assert(sizeof(FileEntry) == 68, "FileEntry keeps its 68-byte layout");

// The whole size: files of 4 GiB and more count, sort and add up by their true size.
inline unsigned long long EntrySize(const FileEntry *entry)
{
    return ((unsigned long long)entry->sizeHigh << 32) | entry->sizeLow;
}

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
// Display position of the entry with this long name, or -1. The table must not be locked.
int FindPositionByName(const char *name);
// Flips the mark of the entry at position and keeps the marked totals; refused for the volume
// label, "." and ".." names and, unless dirmark is on, directories.
void ToggleMark(int position);
void MakeSortKey(const char *longName, char *key);
double RoundToCluster(unsigned long long size);
// Shows a line of progress while a long read sorts ("" clears it); none while it is null.
extern void (*ProgressNotice)(const char *text);
FileEntry *EntryAt(int position);          // table must be locked
const char *LongNameAt(int position);      // table must be locked
