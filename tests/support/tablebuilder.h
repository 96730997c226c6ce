// Fills the FileTable the way ReadDirectory does, without a directory on disk: records in
// reading order, long names in the name pool with their sort keys, short names with their
// extensions, whole 64-bit sizes and the listing's totals. Header only, so that the
// benchmarks can fill their tables with it too.
#pragma once
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"

// The stored (UTC) time of a date and time on the local clock.
inline FILETIME LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    SYSTEMTIME st = {};
    st.wYear = (WORD)year;
    st.wMonth = (WORD)month;
    st.wDay = (WORD)day;
    st.wHour = (WORD)hour;
    st.wMinute = (WORD)minute;
    st.wSecond = (WORD)second;
    FILETIME local, utc;
    SystemTimeToFileTime(&st, &local);
    LocalFileTimeToFileTime(&local, &utc);
    return utc;
}

inline FILETIME FileTimeOf(ULONGLONG ticks)
{
    FILETIME t;
    t.dwHighDateTime = (DWORD)(ticks >> 32);
    t.dwLowDateTime = (DWORD)ticks;
    return t;
}

// An empty listing: no records, marks or totals, the order index in reading order.
inline void ClearFileTable()
{
    LockFileTable();
    memset(g_entries, 0, sizeof(FileEntry) * MAX_ENTRIES);
    UnlockFileTable();
    ResetOrderIndex();
    EntryCount = 0;
    NoFiles = 0;
    HasDotNames = 0;
    NamePoolUsed = 0;
    MarkedCount = 0;
    MarkedBytes = MarkedAllocated = TotalBytes = TotalAllocated = 0;
}

// Appends one record as the directory reading stores it and returns its number. Without a
// short name the long name cut to the short name's field stands for it (as for a name that
// has no alternate form); the flags are taken as given, dot classes included.
inline int AddFileEntry(const char *longName, DWORD flags = 0, unsigned long long size = 0,
                        FILETIME written = FILETIME(), const char *shortName = nullptr)
{
    LockFileTable();
    int record = EntryCount++;
    OrderIndex[record] = (WORD)record;
    FileEntry *e = &g_entries[record];
    memset(e, 0, sizeof *e);
    e->EntryFlags = flags;
    e->writeTime = written;
    e->sizeLow = (DWORD)size;
    e->sizeHigh = (DWORD)(size >> 32);
    e->nameOffset = NamePoolUsed;
    strcpy(g_namePool + NamePoolUsed, longName);
    MakeSortKey(longName, g_baseNamePool + NamePoolUsed);
    NamePoolUsed += (DWORD)strlen(longName) + 1;
    TruncateBytes(shortName ? shortName : longName, e->shortName, sizeof e->shortName - 1);
    char ext[16];
    ShortExtension(e->shortName, ext);
    TruncateBytes(ext, e->shortExt, sizeof e->shortExt - 1);
    UpperAscii(e->shortExt);
    if (flags & (EF_DOT | EF_DOTDOT))
        HasDotNames = 1;
    TotalBytes += (double)size;
    TotalAllocated += RoundToCluster(size);
    UnlockFileTable();
    return record;
}

// The long names in display order.
inline std::vector<std::string> ListedNames()
{
    std::vector<std::string> names;
    LockFileTable();
    for (int p = 0; p < EntryCount; p++)
        names.push_back(LongNameAt(p));
    UnlockFileTable();
    return names;
}

// The long name of the entry under the cursor.
inline std::string CursorEntryName()
{
    LockFileTable();
    std::string name = LongNameAt(PageTop + CursorSlot);
    UnlockFileTable();
    return name;
}
