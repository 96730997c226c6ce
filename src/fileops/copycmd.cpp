#include "fileops/copycmd.h"
#include "fileops/delete.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/diskspace.h"
#include "filelist/filetable.h"
#include "fileops/copy.h"
#include "fileops/copydlg.h"
#include "fileops/pump.h"
#include "screen/frame.h"
#include "screen/keybar.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include <stdio.h>
#include <string.h>

// What the loop needs of one listed entry, copied out of the locked table.
struct ListedEntry {
    DWORD flags;
    BYTE mark;
    FILETIME writeTime;
    unsigned long long size;
    char name[MAX_PATH];
};

static int cursorAfterMove;
static bool pageTurned, cursorPending;
static DWORD lastCursorDraw;

static void ReadListed(int position, ListedEntry *entry)
{
    LockFileTable();
    const FileEntry *e = EntryAt(position);
    entry->flags = e->EntryFlags;
    entry->mark = e->mark;
    entry->writeTime = e->writeTime;
    entry->size = EntrySize(e);
    lstrcpynA(entry->name, LongNameAt(position), sizeof entry->name);
    UnlockFileTable();
}

static void MarkProcessed(int position)
{
    LockFileTable();
    EntryAt(position)->mark = 2;
    UnlockFileTable();
    if (position == cursorAfterMove)
        cursorAfterMove++;
}

static void DrawCursorNow()
{
    cursorPending = false;
    lastCursorDraw = GetTickCount();
    if (!g_mainWnd)
        return;
    if (pageTurned) {
        pageTurned = false;
        RepaintGrid(g_mainWnd);
    } else {
        WindowFontDC dc(g_mainWnd);
        if (PrevSlot >= 0 && PrevSlot != CursorSlot && PageTop + PrevSlot < EntryCount)
            DrawEntry(dc, PrevSlot, PageTop + PrevSlot, false);
        DrawEntry(dc, CursorSlot, PageTop + CursorSlot, true);
    }
    PrevSlot = CursorSlot;
}

static void DrawPendingCursor()
{
    if (cursorPending)
        DrawCursorNow();
}

// Puts the cursor on position; the screen follows at most every PROGRESS_INTERVAL_MS.
static void PlaceCursor(int position)
{
    int perPage = PageSize() > 0 ? PageSize() : 1;
    int top = position / perPage * perPage;
    if (top != PageTop) {
        PageTop = top;
        PrevSlot = -1;
        pageTurned = true;
    }
    CursorSlot = position % perPage;
    cursorPending = true;
    if (GetTickCount() - lastCursorDraw >= PROGRESS_INTERVAL_MS)
        DrawCursorNow();
}

static void DrawPathLine()
{
    if (!g_mainWnd)
        return;
    WindowFontDC dc(g_mainWnd);
    DrawOperationDetails(dc, CurrentPath, NULL);
}

// How many bytes of prefix begin path, ASCII letters in either case (the file system does not
// tell them apart), a double-byte character only as a whole.
static size_t MatchedPrefix(const char *path, const char *prefix)
{
    size_t i = 0;
    while (prefix[i]) {
        int width = CharLength(prefix + i);
        if (width == 2) {
            if (path[i] != prefix[i] || path[i + 1] != prefix[i + 1])
                break;
        } else {
            char a = path[i], b = prefix[i];
            if (a >= 'a' && a <= 'z')
                a = (char)(a - 'a' + 'A');
            if (b >= 'a' && b <= 'z')
                b = (char)(b - 'a' + 'A');
            if (a != b)
                break;
        }
        i += width;
    }
    return i;
}

// Whether destination is directory itself or lies inside it.
static bool IsWithin(const char *destination, const char *directory)
{
    size_t length = strlen(directory);
    return MatchedPrefix(destination, directory) == length &&
           (destination[length] == '\0' || destination[length] == '\\');
}

// The path of the directory itself with links resolved, where the system can tell it (Windows
// Vista on; asked for by name so that the program still starts on older systems).
static bool ResolvedPath(const char *path, char *out, DWORD size)
{
    typedef DWORD(WINAPI * FinalPathProc)(HANDLE, LPSTR, DWORD, DWORD);
    static FinalPathProc finalPath =
        (FinalPathProc)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA");
    if (!finalPath)
        return false;
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    DWORD length = finalPath(handle, out, size, 0);
    CloseHandle(handle);
    return length > 0 && length < size;
}

// The destination, or a directory of its path, lies inside directory once links are resolved.
static bool ResolvedWithin(const char *destination, const char *directory)
{
    char inside[PATH_BUFFER * 2], outer[PATH_BUFFER * 2];
    return ResolvedPath(destination, inside, sizeof inside) && ResolvedPath(directory, outer, sizeof outer) &&
           IsWithin(inside, outer);
}

// The emptied source tree of a move to another drive: no questions, the copy already succeeded.
static void RemoveMovedTree(const char *directory)
{
    DeleteTree(directory);
}

// 1 go on with the next entry, 0 leave the loop.
static int CopyMoveDirectory(int position, const ListedEntry *entry)
{
    bool move = IsMoveCommand();
    char source[PATH_BUFFER];
    // The root's path ends in its backslash: "C:\NAME", never "C:\\NAME", which no
    // comparison with the destination would recognise.
    if (!JoinDestinationPath(CurrentPath, entry->name, source))
        return 0;
    char target[PATH_BUFFER];
    if (!JoinDestinationPath(CopyDestination, entry->name, target))
        return 0;
    // A destination reached through a link or another drive letter can still be the directory
    // itself or lie inside it: the copy would then go on copying its own copies.
    if (SameDirectory || IsWithin(CopyDestination, source) ||
        (PathKind(target) == PATH_KIND_DIRECTORY && SameFileObject(source, target)) ||
        ResolvedWithin(CopyDestination, source)) {
        FlushCopyProgress();
        MessageDialog(g_mainWnd, "ｻﾌﾞﾃﾞｨﾚｸﾄﾘは同じﾃﾞｨﾚｸﾄﾘにｺﾋﾟｰできません", move ? "Kelpo - Move" : "Kelpo - Copy", 48);
        return 0;
    }
    TreeIncomplete = 1;
    OverwriteFlag = ReplaceOnly = 0;
    // A directory of that name at the destination is merged into by the tree copy.
    if (move && OnCurrentDrive(CopyDestination) && PathKind(CopyDestination) == PATH_KIND_DIRECTORY &&
        PathKind(target) == PATH_KIND_NONE && CopyMoveFile(source, target, CopyDestination, 1))
        TreeIncomplete = 0;
    PumpMessages();
    if (AbortFlag)
        return 0;
    if (TreeIncomplete) {
        TreeIncomplete = 0;
        if (!CopyTree(source))
            return 0;
        PumpMessages();
        if (AbortFlag)
            return 0;
        if (move && TreeIncomplete == 0)
            RemoveMovedTree(source);
    }
    PumpMessages();
    if (AbortFlag)
        return 0;
    MarkProcessed(position);
    DrawPathLine();
    return 1;
}

static int CopyMoveListedFile(int position, const ListedEntry *entry)
{
    char destination[PATH_BUFFER], target[PATH_BUFFER], source[PATH_BUFFER];
    strcpy(destination, CopyDestination);
    if (!ResolveSameName(destination, entry->name, &entry->writeTime, entry->size, target))
        return 0;
    if (DestExists)
        return 1;
    if (!JoinDestinationPath(CurrentPath, entry->name, source))
        return 0;
    // "Overwrite" of the file by itself, seen through a link or another drive letter: it is there.
    if (OverwriteFlag && SameFileObject(source, target))
        return 1;
    if (!CopyMoveFile(source, target, CopyDestination, 0))
        return 0;
    MarkProcessed(position);
    return 1;
}

int CopyMoveLoop()
{
    StripBackslash(CurrentPath);
    StripBackslash(CopyDestination);
    // The listed directory in other letter case is still the listed directory: a move there
    // would merge a directory into itself and then delete it.
    SameDirectory = strlen(CurrentPath) == strlen(CopyDestination) && IsWithin(CopyDestination, CurrentPath);
    bool move = IsMoveCommand();
    if (move && SameDirectory) {
        MessageDialog(g_mainWnd, "同じﾃﾞｨﾚｸﾄﾘには移動できません", "Kelpo - Move", 48);
        return 0;
    }
    AllocateResultList();
    ProcessedCount = 0;
    SameNameMode = SAME_NAME_UNCHOSEN;
    if (OnCurrentDrive(CopyDestination))
        QueryDiskSpace(CopyDestination, &DestinationDisk);
    int start = PageTop + CursorSlot;
    cursorAfterMove = start;
    if (!move)
        RememberCursorEntry();
    ShowHourglass();
    AbortFlag = 0;
    BusyFlag = 1;
    ResetCopyProgress();
    PumpNow();
    pageTurned = cursorPending = false;
    lastCursorDraw = GetTickCount() - PROGRESS_INTERVAL_MS;
    PendingCursorDrawer = DrawPendingCursor;

    bool marked = (CopyMoveMode & COPYMOVE_MARKED) != 0;
    int first = marked ? 0 : start, last = marked ? EntryCount - 1 : start;
    for (int position = first; position <= last; position++) {
        PumpMessages();
        if (AbortFlag)
            break;
        ListedEntry entry;
        ReadListed(position, &entry);
        if (marked) {
            if (entry.mark == 0)
                continue;
            PlaceCursor(position);
        }
        int goOn = (entry.flags & EF_DIRECTORY) ? CopyMoveDirectory(position, &entry)
                                                : CopyMoveListedFile(position, &entry);
        if (!goOn)
            break;
    }
    FlushCopyProgress();
    PendingCursorDrawer = NULL;

    AbortFlag = 0;
    BusyFlag = 0;
    HideHourglass();
    if (move && EntryCount > 0) {
        int position = cursorAfterMove >= EntryCount ? start - 1 : cursorAfterMove;
        if (position < 0)
            position = 0;
        LockFileTable();
        lstrcpynA(CursorName, LongNameAt(position), PATH_BUFFER);
        UnlockFileTable();
    }
    return 1;
}

void ResultSummary(char *text)
{
    if (!(CopyMoveMode & COPYMOVE_MARKED) && ProcessedCount == 1)
        strcpy(text, "ファイルの");
    else
        sprintf(text, "%d個のファイルの", ProcessedCount);
    strcat(text, IsMoveCommand() ? "移動を" : "コピーを");
    strcat(text, "終了しました");
}

static void DrawKeyBarUnshifted(HWND hwnd)
{
    WindowFontDC dc(hwnd);
    DrawKeyBar(dc, false, -1);
}

void CopyMoveCommand(HWND hwnd, int move)
{
    CopyMoveMode = (move ? COPYMOVE_MOVE : 0) | (MarkedCount > 0 ? COPYMOVE_MARKED : 0);
    if (NoFiles || EntryCount == 0)
        return;
    if (!(CopyMoveMode & COPYMOVE_MARKED)) {
        ListedEntry entry;
        ReadListed(PageTop + CursorSlot, &entry);
        if (entry.flags & (EF_VOLUME | EF_DOT | EF_DOTDOT))
            return;
    }
    TreeAtOnce = IsShifted() && !FromFunctionKey;
    if (!CopyMoveDestDialog(hwnd)) {
        DrawKeyBarUnshifted(hwnd);
        return;
    }
    if (!CopyMoveLoop()) {
        DrawKeyBarUnshifted(hwnd);
        return;
    }
    if (ProcessedCount > 0) {
        char text[64];
        ResultSummary(text);
        ResultDialog(hwnd, text);
    }
    ReloadRequest = 2;
    RepaintGrid(hwnd);
    FreeResultList();
    DrawKeyBarUnshifted(hwnd);
}

void CopyCommand(HWND hwnd)
{
    CopyMoveCommand(hwnd, 0);
}

void MoveCommand(HWND hwnd)
{
    CopyMoveCommand(hwnd, 1);
}
