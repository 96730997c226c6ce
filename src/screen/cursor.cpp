#include "screen/cursor.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "resource.h"
#include "tree/pathhistory.h"
#include <string.h>


static int SyncPerPage()
{
    PerPage = PageSize();
    return PerPage;
}

static int Rows()
{
    return Settings.disprow > 0 ? Settings.disprow : 1;
}

int PageCount()
{
    if (NoFiles || EntryCount <= 0)
        return 1;
    return (EntryCount - 1) / SyncPerPage() + 1;
}

int CurrentPage()
{
    if (NoFiles)
        return 1;
    return PageTop / SyncPerPage() + 1;
}

// Takes the highlight from PrevSlot to CursorSlot on the shown page.
static void MoveHighlight()
{
    if (g_mainWnd) {
        WindowFontDC dc(g_mainWnd);
        if (PrevSlot >= 0 && PrevSlot != CursorSlot && PageTop + PrevSlot < EntryCount)
            DrawEntry(dc, PrevSlot, PageTop + PrevSlot, false);
        DrawEntry(dc, CursorSlot, PageTop + CursorSlot, true);
    }
    PrevSlot = CursorSlot;
}

// The page, its highlight and the information block are drawn by the window's paint.
static void RepaintPage()
{
    if (g_mainWnd)
        RepaintGrid(g_mainWnd);
}

static void ShowTurnedPage()
{
    RepaintPage();
    PrevSlot = CursorSlot;
}

void MoveCursor(int delta, int pageKey)
{
    if (ScreenMode != 0)
        return;
    int per = SyncPerPage();
    int rows = Rows();
    int left = EntryCount - PageTop;            // entries from the top of the shown page on
    int onPage = left < per ? left : per;
    int t = CursorSlot + delta;

    if (Settings.curpage && !pageKey && (t < 0 || t >= per || t >= left)) {
        int dir = delta < 0 ? -1 : 1;
        int page = CurrentPage() + dir;
        if (page < 1 || page > PageCount())
            return;
        PageTop += per * dir;
        left = EntryCount - PageTop;
        if (delta == -1) {
            CursorSlot = (left < per ? left : per) - 1;
        } else if (delta == 1) {
            CursorSlot = 0;
        } else if (delta < 0) {
            while (CursorSlot + rows < per && CursorSlot + rows < left)
                CursorSlot += rows;
        } else {
            CursorSlot %= rows;
            if (CursorSlot >= left)
                CursorSlot = left - 1;
        }
        ShowTurnedPage();
        return;
    }

    if ((delta == 1 || delta == -1) && pageKey) {
        int page = CurrentPage() + delta;
        if (page < 1 || page > PageCount())
            return;
        PageTop += per * delta;
        CursorSlot = 0;
        PrevSlot = 0;
        ShowTurnedPage();
        return;
    }

    if (t < 0) {
        if (delta == -1) {
            t = onPage - 1;
        } else {
            t = CursorSlot;
            while (t + rows < per && t + rows < left)
                t += rows;
        }
    }
    if (t >= per || t >= left)
        t = delta == 1 ? 0 : CursorSlot % rows;
    if (t == CursorSlot)
        return;
    CursorSlot = t;
    MoveHighlight();
}

void GoToFirst()
{
    if (ScreenMode != 0)
        return;
    if (PageTop == 0 && CursorSlot == 0)
        return;
    CursorSlot = 0;
    PageTop = 0;
    PrevSlot = -1;
    ReloadRequest = 0;
    RepaintPage();
}

void GoToLast()
{
    if (ScreenMode != 0)
        return;
    int per = SyncPerPage();
    int top = (PageCount() - 1) * per;
    int slot = (EntryCount - 1) % per;
    if (slot < 0)
        slot = 0;
    if (top == PageTop && slot == CursorSlot)
        return;
    PageTop = top;
    CursorSlot = slot;
    PrevSlot = -1;
    ReloadRequest = 0;
    RepaintPage();
}

void AdvanceAfterMark(int mode)
{
    if (ScreenMode != 0 || mode == 0)
        return;
    int per = SyncPerPage();
    int n = PageTop + CursorSlot + 1;
    int top = 0, slot = 0;
    if (n < EntryCount) {
        top = (n / per) * per;
        slot = n % per;
    }
    if (top == PageTop) {
        CursorSlot = slot;
        MoveHighlight();
    } else if (mode == 1) {
        CursorSlot = 0;
        MoveHighlight();
    } else {
        PageTop = top;
        CursorSlot = slot;
        PrevSlot = -1;
        ShowTurnedPage();
    }
}

int MarkAdvanceMode(int ctrl)
{
    int swapped = Settings.cspace ? 1 : 0;
    return ctrl ? 2 - swapped : 1 + swapped;
}

void MarkAll(int commandId)
{
    if (ScreenMode != 0 || NoFiles)
        return;
    bool invert = commandId == IDM_SHIFT_END || commandId == IDM_INVERT_MARKS || commandId == IDM_SHIFT_HOME;
    LockFileTable();
    bool clear = false;
    if (!invert) {
        for (int p = 0; p < EntryCount && !clear; p++)
            clear = EntryAt(p)->mark != 0;
    }
    MarkedCount = 0;
    MarkedBytes = MarkedAllocated = 0;
    for (int p = 0; p < EntryCount; p++) {
        FileEntry *e = EntryAt(p);
        bool skipped = (e->EntryFlags & EF_VOLUME) || IsDotEntry(e);
        if (!skipped && (e->EntryFlags & EF_DIRECTORY)) {
            if (clear)
                e->mark = 0;
            else if (invert && Settings.dirmark)
                e->mark = e->mark ? 0 : 1;
        } else if (!skipped) {
            if (clear)
                e->mark = 0;
            else if (invert)
                e->mark = e->mark ? 0 : 1;
            else
                e->mark = 1;
        }
        // Entries left alone still count while marked, so the totals always match the marks.
        if (e->mark) {
            MarkedCount++;
            MarkedBytes += (double)EntrySize(e);
            MarkedAllocated += RoundToCluster(EntrySize(e));
        }
    }
    UnlockFileTable();
    if (g_mainWnd) {
        WindowFontDC dc(g_mainWnd);
        RedrawMarks(dc, PageTop);
    }
}

// The cursor entry keeps its place under the new column count.
static void KeepCursorEntry()
{
    int i = PageTop + CursorSlot;
    int per = SyncPerPage();
    PageTop = (i / per) * per;
    CursorSlot = i % per;
    PrevSlot = -1;
    RepaintPage();
}

static bool IsColumnCount(int n)
{
    return n == 1 || n == 2 || n == 3 || n == 5;
}

void SetColumns(int columns)
{
    if (ScreenMode != 0 || !IsColumnCount(columns))
        return;
    if (columns == Settings.dispmode)
        Settings.dispsubmode = (BYTE)((Settings.dispsubmode + 1) % 3);
    Settings.dispmode = (BYTE)columns;
    KeepCursorEntry();
}

void SetColumnsFromMenu(int value)
{
    if (IsColumnCount(value))
        Settings.dispmode = (BYTE)value;
    else if (value >= 16 && value <= 18)
        Settings.dispsubmode = (BYTE)(value - 16);
    else
        return;
    KeepCursorEntry();
}

int EnterDirectory(const char *name)
{
    CursorName[0] = '\0';
    if (strcmp(name, ".") == 0)
        return 0;
    if (strcmp(name, "..") == 0)
        return GoToParent();
    PushPathHistory(CurrentPath);
    size_t length = strlen(CurrentPath);
    bool separator = !EndsWithBackslash(CurrentPath);
    if (length + (separator ? 1 : 0) + strlen(name) >= PATH_BUFFER)
        return 0;
    strcpy(CursorName, "..");
    if (separator)
        strcat(CurrentPath, "\\");
    strcat(CurrentPath, name);
    return 1;
}

int GoToParent()
{
    CursorName[0] = '\0';
    PushPathHistory(CurrentPath);
    StripBackslash(CurrentPath);
    int last = -1;
    for (int i = 0; CurrentPath[i]; i += CharLength(CurrentPath + i))
        if (CurrentPath[i] == '\\')
            last = i;
    // A drive root has nothing above it.
    if (last < 0 || CurrentPath[last + 1] == '\0')
        return 0;
    FileMask[0] = '\0';
    strcpy(CursorName, CurrentPath + last + 1);
    if (last == 2 && CurrentPath[1] == ':')
        CurrentPath[3] = '\0';
    else
        CurrentPath[last] = '\0';
    return 1;
}

void ListChangedDirectory(int cursorSlot)
{
    PageTop = 0;
    CursorSlot = cursorSlot;
    PrevSlot = -1;
    ReloadRequest = 2;
    if (g_mainWnd)
        RepaintGrid(g_mainWnd);
    else
        ApplyReloadRequest();
}

void RememberCursorEntry()
{
    CursorName[0] = '\0';
    LockFileTable();
    if (!NoFiles && PageTop + CursorSlot < EntryCount)
        lstrcpynA(CursorName, LongNameAt(PageTop + CursorSlot), PATH_BUFFER);
    UnlockFileTable();
}

void FindEntryByName(const char *name)
{
    int size = PageSize();
    int position = FindPositionByName(name);
    PageTop = CursorSlot = 0;
    if (position >= 0) {
        PageTop = (position / size) * size;
        CursorSlot = position % size;
    }
}

void ApplyReloadRequest()
{
    int request = ReloadRequest;
    ReloadRequest = 0;
    if (request == 0 || ScreenMode != 0)
        return;
    if (request == 1 || request == 2)
        ReadDirectory(1);
    if (request == 1 || CursorName[0] == '\0') {
        CursorSlot = HasDotNames ? 1 : 0;
        if (EntryCount <= 1)
            CursorSlot = 0;
        return;
    }
    FindEntryByName(CursorName);
}
