#include "fileops/workentry.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include <stdio.h>
#include <string.h>

void ShowWorkingEntry(HDC dc, int position)
{
    int per = PageSize();
    PerPage = per;
    int top = position / per * per;
    CursorSlot = position % per;
    if (top != PageTop) {
        PageTop = top;
        PrevSlot = -1;
        if (g_mainWnd)
            RepaintGrid(g_mainWnd);
    }
    if (dc) {
        if (PrevSlot >= 0 && PrevSlot != CursorSlot && PageTop + PrevSlot < EntryCount)
            DrawEntry(dc, PrevSlot, PageTop + PrevSlot, false);
        DrawEntry(dc, CursorSlot, position, true);
    }
    PrevSlot = CursorSlot;
}

void LongNameCopy(int position, char *name)
{
    name[0] = '\0';
    LockFileTable();
    if (!NoFiles && position >= 0 && position < EntryCount)
        lstrcpynA(name, LongNameAt(position), PATH_BUFFER);
    UnlockFileTable();
}

void EnterCurrentPath(char *base)
{
    char path[PATH_BUFFER];
    lstrcpynA(path, CurrentPath, sizeof path);
    StripBackslash(path);
    SetCurrentDirectoryA(path);
    if (base)
        lstrcpynA(base, path, PATH_BUFFER);
}

void CreatedEntryName(const char *base, const char *typed, char *name)
{
    lstrcpynA(name, typed, PATH_BUFFER);
    char plain[PATH_BUFFER];
    lstrcpynA(plain, typed, sizeof plain);
    if (EndsWithBackslash(plain))
        plain[strlen(plain) - 1] = '\0';
    for (const char *p = plain; *p; p += CharLength(p))
        if (*p == '\\' || *p == '/' || *p == ':' || *p == '*' || *p == '?')
            return;
    char path[PATH_BUFFER * 2];
    snprintf(path, sizeof path, "%s%s%s", base, EndsWithBackslash(base) ? "" : "\\", plain);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    FindClose(search);
    lstrcpynA(name, found.cFileName, PATH_BUFFER);
}
