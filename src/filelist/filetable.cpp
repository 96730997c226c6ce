#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/diskspace.h"
#include "filelist/sort.h"
#include "filelist/watch.h"
#include <string.h>
#include <stdio.h>

FileEntry *g_entries;
char *g_namePool;
char *g_baseNamePool;

int EntryCount;
BYTE NoFiles;
BYTE HasDotNames;
double TotalBytes, TotalAllocated;
int MarkedCount;
double MarkedBytes, MarkedAllocated;
DWORD ClusterBytes;
int ReloadRequest;
DWORD NamePoolUsed;
DWORD VolumeSerial, VolumeMaxComponent, VolumeFlags;

static const char placeholderName[] = "ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ";
static int lockDepth;

// Nested brackets are counted so that a helper called inside a locked section keeps the views valid.
void LockFileTable()
{
    if (lockDepth++ == 0) {
        g_entries = (FileEntry *)GlobalLock(g_fileEntryBlock);
        g_namePool = (char *)GlobalLock(g_namePoolBlock);
        g_baseNamePool = (char *)GlobalLock(g_baseNamePoolBlock);
    }
}

void UnlockFileTable()
{
    if (lockDepth > 0 && --lockDepth == 0) {
        GlobalUnlock(g_fileEntryBlock);
        GlobalUnlock(g_namePoolBlock);
        GlobalUnlock(g_baseNamePoolBlock);
        g_entries = NULL;
        g_namePool = NULL;
        g_baseNamePool = NULL;
    }
}

FileEntry *EntryAt(int position)
{
    return &g_entries[OrderIndex[position]];
}

const char *LongNameAt(int position)
{
    return g_namePool + EntryAt(position)->nameOffset;
}

void ResetOrderIndex()
{
    for (int i = 0; i < MAX_ENTRIES; i++)
        OrderIndex[i] = (WORD)i;
}

double RoundToCluster(unsigned long long size)
{
    if (ClusterBytes == 0 || size % ClusterBytes == 0)
        return (double)size;
    return ((double)(size / ClusterBytes) + 1.0) * ClusterBytes;
}

// The key is the upper-cased long name without its last extension; a dot at index 0 or 1
// does not split, and a dot that is the second byte of a double-byte character is no dot.
void MakeSortKey(const char *longName, char *key)
{
    strcpy(key, longName);
    int dot = -1;
    for (int i = 0; key[i]; i += CharLength(key + i))
        if (key[i] == '.')
            dot = i;
    if (dot >= 2)
        key[dot] = '\0';
    UpperAscii(key);
}

static void MakePlaceholder(int record)
{
    FileEntry *e = &g_entries[record];
    memset(e, 0, sizeof *e);
    strcpy(e->shortName, placeholderName);
    strcpy(g_namePool, placeholderName);
    strcpy(g_baseNamePool, placeholderName);
    EntryCount = 1;
    NoFiles = 1;
}

static void StartWatchingCurrent()
{
    StartWatching(CurrentPath);
}

void (*ProgressNotice)(const char *text);

static void SortWithNotice(int showProgress)
{
    bool notice = showProgress && EntryCount >= 500 && ProgressNotice;
    if (notice) {
        char text[64];
        snprintf(text, sizeof text, "%d個のﾌｧｲﾙを並び替えています...", EntryCount);
        ProgressNotice(text);
    }
    SortEntries();
    if (notice)
        ProgressNotice("");
}

void ReadDirectory(int showProgress)
{
    StopWatching();
    ResetOrderIndex();
    EntryCount = 0;
    MarkedCount = 0;
    MarkedBytes = MarkedAllocated = TotalBytes = TotalAllocated = 0;
    NoFiles = 0;
    LockFileTable();

    DWORD cluster = 0;
    bool diskOk = CurrentPath[0] &&
                  QueryCurrentDisk(CurrentPath, &cluster);
    if (diskOk)
        ClusterBytes = cluster;
    // A directory removed or renamed since leaves its longest existing part, which is listed at
    // once rather than shown as empty under that part's name.
    bool pathOk = diskOk && (ValidatePath(CurrentPath, NULL) || (CurrentPath[0] && ValidatePath(CurrentPath, NULL)));
    if (!pathOk) {
        MakePlaceholder(0);
        UnlockFileTable();
        StartWatchingCurrent();
        return;
    }

    StripBackslash(CurrentPath);
    int drive = (CurrentPath[0] & 0xDF) - 'A';
    if (drive >= 0 && drive < 26)
        lstrcpynA(DriveLastPath[drive], CurrentPath, 512);
    AppendBackslash(CurrentPath);
    if (strcmp(FileMask, "*.*") == 0)
        FileMask[0] = '\0';
    char pattern[PATH_BUFFER + PATH_BUFFER];
    snprintf(pattern, sizeof pattern, "%s%s", CurrentPath, FileMask[0] ? FileMask : "*.*");

    NamePoolUsed = 0;
    if (strlen(CurrentPath) == 3 && FileMask[0] == '\0') {
        VolumeName[0] = FileSystemName[0] = '\0';
        if (GetVolumeInformationA(CurrentPath, VolumeName, 255, &VolumeSerial, &VolumeMaxComponent,
                                  &VolumeFlags, FileSystemName, 255)) {
            if (VolumeName[0]) {
                FileEntry *e = &g_entries[0];
                memset(e, 0, sizeof *e);
                e->EntryFlags = EF_VOLUME;
                strcpy(g_namePool, VolumeName);
                strcpy(g_baseNamePool, VolumeName);
                TruncateBytes(VolumeName, e->shortName, 12);
                NamePoolUsed = (DWORD)strlen(VolumeName) + 1;
                EntryCount = 1;
            }
        } else {
            // The root cannot be asked: show the Windows directory from the next reload on.
            GetWindowsDirectoryA(CurrentPath, PATH_BUFFER);
            AppendBackslash(CurrentPath);
        }
    }

    HasDotNames = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            size_t nameLen = strlen(fd.cFileName);
            DWORD n = NamePoolUsed + (DWORD)nameLen + 1;
            if (n >= NAME_POOL_FILL_LIMIT)
                break;
            FileEntry *e = &g_entries[OrderIndex[EntryCount]];
            e->nameOffset = NamePoolUsed;
            memcpy(g_namePool + NamePoolUsed, fd.cFileName, nameLen + 1);
            NamePoolUsed = n;
            e->creationTime = fd.ftCreationTime;
            e->accessTime = fd.ftLastAccessTime;
            e->writeTime = fd.ftLastWriteTime;
            e->sizeHigh = fd.nFileSizeHigh;
            e->sizeLow = fd.nFileSizeLow;
            // A long primary name without an alternate name is cut to the field, between characters.
            TruncateBytes(fd.cAlternateFileName[0] ? fd.cAlternateFileName : fd.cFileName, e->shortName,
                          sizeof e->shortName - 1);
            e->EntryFlags = ((fd.dwFileAttributes & 7) << 4) |
                            ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? (DWORD)EF_DIRECTORY : 0u) |
                            ((fd.dwFileAttributes & FILE_ATTRIBUTE_ARCHIVE) ? (DWORD)EF_ARCHIVE : 0u);
            MakeSortKey(fd.cFileName, g_baseNamePool + e->nameOffset);
            e->mark = 0;
            char ext[16];
            ShortExtension(e->shortName, ext);
            TruncateBytes(ext, e->shortExt, sizeof e->shortExt - 1);
            UpperAscii(e->shortExt);
            if (strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0) {
                e->EntryFlags |= fd.cFileName[1] == '\0' ? EF_DOT : EF_DOTDOT;
                HasDotNames = 1;
            }
            TotalBytes += (double)EntrySize(e);
            TotalAllocated += RoundToCluster(EntrySize(e));
            if (++EntryCount >= MAX_ENTRIES)
                break;
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }

    if (EntryCount > 0 && Settings.namesmall) {
        for (int i = 0; i < EntryCount; i++)
            CharLowerA(g_entries[i].shortName);
    }
    NoFiles = 0;
    if (EntryCount == 0) {
        MakePlaceholder(OrderIndex[0]);
    } else if (Settings.presort) {
        SortWithNotice(showProgress);
    }
    UnlockFileTable();
    StartWatchingCurrent();
}

int FindPositionByName(const char *name)
{
    int found = -1;
    LockFileTable();
    for (int p = 0; p < EntryCount && found < 0; p++)
        if (strcmp(LongNameAt(p), name) == 0)
            found = p;
    UnlockFileTable();
    return found;
}

void ToggleMark(int position)
{
    if (NoFiles)
        return;
    LockFileTable();
    if (position >= 0 && position < EntryCount) {
        FileEntry *e = EntryAt(position);
        bool refused = (e->EntryFlags & EF_VOLUME) || IsDotEntry(e) ||
                       ((e->EntryFlags & EF_DIRECTORY) && !Settings.dirmark);
        if (!refused) {
            int sign = e->mark ? -1 : 1;
            e->mark = e->mark ? 0 : 1;
            MarkedCount += sign;
            MarkedBytes += sign * (double)EntrySize(e);
            MarkedAllocated += sign * RoundToCluster(EntrySize(e));
        }
    }
    UnlockFileTable();
}
