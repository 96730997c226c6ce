#include "fileops/mkdir.h"
#include "fileops/inputdlg.h"
#include "fileops/workentry.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "fileops/fileops_ids.h"
#include <string.h>

static void ClearMarks()
{
    LockFileTable();
    for (int i = 0; i < EntryCount; i++)
        g_entries[i].mark = 0;
    UnlockFileTable();
    MarkedCount = 0;
    MarkedBytes = MarkedAllocated = 0;
}

// The first markable entry in display order with exactly this long name.
static FileEntry *EntryNamed(const char *name)
{
    for (int position = 0; position < EntryCount; position++) {
        FileEntry *entry = EntryAt(position);
        if (!IsDotEntry(entry) && !(entry->EntryFlags & EF_VOLUME) && strcmp(LongNameAt(position), name) == 0)
            return entry;
    }
    return NULL;
}

int MarkByPattern(const char *pattern)
{
    ClearMarks();
    if (NoFiles || !pattern[0])
        return 0;
    EnterCurrentPath(NULL);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    LockFileTable();
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !Settings.dirmark)
            continue;
        FileEntry *entry = EntryNamed(found.cFileName);
        if (!entry || entry->mark)
            continue;
        entry->mark = 1;
        MarkedCount++;
        MarkedBytes += (double)EntrySize(entry);
        MarkedAllocated += RoundToCluster(EntrySize(entry));
    } while (FindNextFileA(search, &found));
    UnlockFileTable();
    FindClose(search);
    return MarkedCount;
}

void FindMarkCommand(HWND hwnd)
{
    char pattern[260];
    NameInput input = {IDD_FIND, "Kelpo - Find Mark", "", -1, NULL, pattern, sizeof pattern, AcceptMask};
    if (NameInputDialog(hwnd, &input)) {
        RememberCursorEntry();
        MarkByPattern(pattern);
    }
    RepaintAll(hwnd);
}
