#include "fileops/delete.h"
#include "fileops/copy.h"
#include "fileops/pump.h"
#include "fileops/workentry.h"
#include "screen/screendc.h"
#include "base/globals.h"
#include "base/commands.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "ui/msgdlg.h"
#include <stdio.h>
#include <string.h>

BYTE DeleteConfirm;

static const DWORD NO_SAVED_ATTRIBUTES = 0xFFFFFFFF;
static const DWORD ASKED_ATTRIBUTES = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
static DWORD savedAttributes = NO_SAVED_ATTRIBUTES;
// The last directory of the running tree deletion that could not be removed: its parents,
// which cannot be emptied because of it, are not reported again.
static char leftBehind[PATH_BUFFER];

int ClearForDelete(const char *path, int confirm, int allowAll)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return 1;
    if ((attributes & ASKED_ATTRIBUTES) && confirm &&
        !AttributeConfirmDialog(g_mainWnd, path, attributes, allowAll))
        return 0;
    savedAttributes = attributes;
    SetFileAttributesA(path, (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL);
    return 1;
}

void RestoreClearedAttributes(const char *path)
{
    if (savedAttributes == NO_SAVED_ATTRIBUTES)
        return;
    SetFileAttributesA(path, savedAttributes);
    savedAttributes = NO_SAVED_ATTRIBUTES;
}

void DeleteQuestion(const char *name, char *text)
{
    char shown[PATH_BUFFER];
    if (strlen(name) >= 22) {
        TruncateBytes(name, shown, 20);
        strcat(shown, "…");
    } else {
        lstrcpynA(shown, name, sizeof shown);
    }
    snprintf(text, PATH_BUFFER, "%s を削除します", shown);
}

void AttributeWords(DWORD attributes, char *words)
{
    static const struct {
        DWORD bit;
        const char *word;
    } names[3] = {{FILE_ATTRIBUTE_READONLY, "Read only"}, {FILE_ATTRIBUTE_HIDDEN, "Hidden"},
                  {FILE_ATTRIBUTE_SYSTEM, "System"}};
    words[0] = '\0';
    for (const auto &name : names) {
        if (!(attributes & name.bit))
            continue;
        if (words[0])
            strcat(words, " / ");
        strcat(words, name.word);
    }
    strcat(words, " ですが");
}

static void ShowDeleting(const char *path)
{
    char shown[PATH_BUFFER], text[PATH_BUFFER + 32];
    if (strlen(path) >= 59) {
        TruncateBytes(path, shown, 56);
        strcat(shown, "…");
    } else {
        lstrcpynA(shown, path, sizeof shown);
    }
    snprintf(text, sizeof text, "%s を削除しています", shown);
    StatusLine(NULL, text);
}

// Reports the failure of operation with the error code it left, after the attributes of path
// (cleared for the attempt) are put back.
static void ReportAndRestore(const char *operation, const char *path)
{
    DWORD error = GetLastError();
    RestoreClearedAttributes(path);
    SetLastError(error);
    ShowLastError(g_mainWnd, operation, path, NULL);
}

int DeleteOneFile(const char *path, const char *)
{
    ShowDeleting(path);
    if (!ClearForDelete(path, DeleteConfirm, 1))
        return 0;
    if (DeleteFileA(path))
        return 1;
    ReportAndRestore("DeleteFile", path);
    return 0;
}

static bool InsideLeftBehind(const char *directory)
{
    size_t length = strlen(directory);
    return leftBehind[0] && strncmp(leftBehind, directory, length) == 0 && leftBehind[length] == '\\';
}

int RemoveDirAfter(const char *directory, int complete)
{
    if (complete) {
        ClearForDelete(directory, 0, 0);
        ShowDeleting(directory);
        if (!RemoveDirectoryA(directory)) {
            DWORD error = GetLastError();
            if (error == ERROR_DIR_NOT_EMPTY && InsideLeftBehind(directory))
                RestoreClearedAttributes(directory);
            else
                ReportAndRestore("RemoveDirectory", directory);
            lstrcpynA(leftBehind, directory, sizeof leftBehind);
        }
    }
    StatusLine(NULL, "");
    return 1;
}

int DeleteTree(const char *directory)
{
    EnterCurrentPath(NULL);
    leftBehind[0] = '\0';
    return WalkTree(directory, NULL, DeleteOneFile, RemoveDirAfter);
}

struct DeleteTarget {
    char name[PATH_BUFFER];
    bool directory;
    BYTE mark;
};

static void ReadTarget(int position, DeleteTarget *target)
{
    LockFileTable();
    const FileEntry *entry = EntryAt(position);
    lstrcpynA(target->name, LongNameAt(position), PATH_BUFFER);
    target->directory = (entry->EntryFlags & EF_DIRECTORY) != 0;
    target->mark = entry->mark;
    UnlockFileTable();
}

static bool IsDeletableFile(int position)
{
    LockFileTable();
    const FileEntry *entry = EntryAt(position);
    bool deletable = !NoFiles && !(entry->EntryFlags & (EF_DIRECTORY | EF_VOLUME)) && !IsDotEntry(entry);
    UnlockFileTable();
    return deletable;
}

// Deletes one entry of the Delete command; returns false when it is still there. What is left
// of it gets its own attributes back, also a directory whose tree was cleared but not removed.
static bool DeleteEntry(HWND hwnd, const DeleteTarget &target)
{
    char path[PATH_BUFFER * 2];
    snprintf(path, sizeof path, "%s%s", CurrentPath, target.name);
    DWORD before = GetFileAttributesA(path);
    if (!ClearForDelete(path, DeleteConfirm, 1))
        return false;
    BOOL done = target.directory ? DeleteTree(path) : DeleteFileA(path);
    DWORD error = GetLastError();
    bool gone = GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
    if (!gone && before != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path, before);
    // A tree deletion has reported its own failure where it happened.
    if (!done && !target.directory && !AbortFlag) {
        SetLastError(error);
        ShowLastError(hwnd, "DeleteFile", path, NULL);
    }
    return gone;
}

void DeleteCommand(HWND hwnd)
{
    if (NoFiles)
        return;
    int start = PageTop + CursorSlot;
    bool marked = MarkedCount > 0;
    char text[PATH_BUFFER];
    if (marked) {
        strcpy(text, "ﾏｰｸされたﾌｧｲﾙを削除します");
    } else {
        if (start >= EntryCount || !IsDeletableFile(start))
            return;
        char name[PATH_BUFFER];
        LongNameCopy(start, name);
        DeleteQuestion(name, text);
    }
    if (!DeleteConfirmDialog(hwnd, text))
        return;

    WindowFontDC dc(hwnd);
    AppendBackslash(CurrentPath);
    ShowHourglass();
    BusyFlag = 1;
    AbortFlag = 0;
    DeleteConfirm = 1;
    int after = start;
    bool cursorEntryLeft = false;
    for (int position = marked ? 0 : start; position < EntryCount; position++) {
        PumpMessages();
        if (AbortFlag)
            break;
        DeleteTarget target;
        ReadTarget(position, &target);
        if (marked) {
            if (!target.mark)
                continue;
            ShowWorkingEntry(dc, position);
        }
        if (position == after)
            after++;
        bool gone = DeleteEntry(hwnd, target);
        if (!marked) {
            cursorEntryLeft = !gone;
            break;
        }
    }
    HideHourglass();
    BusyFlag = 0;
    AbortFlag = 0;
    DeleteConfirm = 0;
    int cursor = after;
    if (cursorEntryLeft)
        cursor = start;
    else if (cursor >= EntryCount)
        cursor = start - 1 < 0 ? 0 : start - 1;
    LongNameCopy(cursor, CursorName);
    ReloadRequest = 2;
    RepaintAll(hwnd);
}

void RemoveDirCommand(HWND hwnd)
{
    if (NoFiles)
        return;
    int position = PageTop + CursorSlot;
    if (position >= EntryCount)
        return;
    LockFileTable();
    const FileEntry *entry = EntryAt(position);
    bool removable = (entry->EntryFlags & EF_DIRECTORY) && !IsDotEntry(entry);
    UnlockFileTable();
    if (!removable)
        return;
    char name[PATH_BUFFER], text[PATH_BUFFER];
    LongNameCopy(position, name);
    DeleteQuestion(name, text);
    int next = position + 1 < EntryCount ? position + 1 : position - 1;
    LongNameCopy(next < 0 ? 0 : next, CursorName);
    if (!DeleteConfirmDialog(hwnd, text))
        return;

    char base[PATH_BUFFER], path[PATH_BUFFER * 2];
    EnterCurrentPath(base);
    AppendBackslash(base);
    snprintf(path, sizeof path, "%s%s", base, name);
    {
        WindowFontDC dc(hwnd);
        ShowHourglass();
        DeleteConfirm = 1;
        BusyFlag = 1;
        AbortFlag = 0;
        DeleteTree(path);
        AbortFlag = 0;
        BusyFlag = 0;
        DeleteConfirm = 0;
        HideHourglass();
    }
    // What could not be removed stays under the cursor.
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        lstrcpynA(CursorName, name, PATH_BUFFER);
    ReloadRequest = 2;
    RepaintAll(hwnd);
}

void DeleteOrRemoveDir(HWND hwnd)
{
    if (IsShifted())
        RemoveDirCommand(hwnd);
    else
        DeleteCommand(hwnd);
}
