#include "fileops/workentry.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"

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
