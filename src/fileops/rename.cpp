#include "fileops/rename.h"
#include "fileops/renamedlg.h"
#include "fileops/inputdlg.h"
#include "fileops/workentry.h"
#include "screen/screendc.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"
#include <stdio.h>
#include <string.h>

int CaseRenameDialog(HWND owner, int *upper)
{
    int lower = 0;
    if (!ChoiceDialog(owner, IDD_CASE_RENAME, IDC_CASE_UPPER, IDC_CASE_LOWER, &lower))
        return 0;
    *upper = !lower;
    return 1;
}

static bool SameIgnoringCase(const char *a, const char *b)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, -1, b, -1) == CSTR_EQUAL;
}

// Some file systems take a change of letter case alone as a rename onto the same file and
// leave the name as it was: such a change goes through a free temporary name.
BOOL RenameEntry(const char *name, const char *newName)
{
    if (strcmp(name, newName) == 0 || !SameIgnoringCase(name, newName))
        return MoveFileA(name, newName);
    char temporary[PATH_BUFFER];
    for (int i = 0; i < 100; i++) {
        snprintf(temporary, sizeof temporary, "%s.kelpo%02d", name, i);
        if (GetFileAttributesA(temporary) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    if (!MoveFileA(name, temporary))
        return FALSE;
    if (MoveFileA(temporary, newName))
        return TRUE;
    DWORD error = GetLastError();
    MoveFileA(temporary, name);
    SetLastError(error);
    return FALSE;
}

static void RenameOne(HWND hwnd, int position)
{
    char name[PATH_BUFFER], newName[260];
    LockFileTable();
    const FileEntry *entry = EntryAt(position);
    bool refused = IsDotEntry(entry);
    bool volume = (entry->EntryFlags & EF_VOLUME) != 0;
    lstrcpynA(name, LongNameAt(position), sizeof name);
    UnlockFileTable();
    if (refused || !RenameDialog(hwnd, name, newName))
        return;
    char base[PATH_BUFFER];
    EnterCurrentPath(base);
    lstrcpynA(CursorName, newName, PATH_BUFFER);
    if (volume) {
        char root[4] = {base[0], ':', '\\', '\0'};
        if (!SetVolumeLabelA(root, newName)) {
            ShowLastError(hwnd, "SetVolumeLabel", newName, NULL);
            lstrcpynA(CursorName, name, PATH_BUFFER);
        }
    } else if (!newName[0]) {
        lstrcpynA(CursorName, name, PATH_BUFFER);
    } else if (!RenameEntry(name, newName)) {
        ShowLastError(hwnd, "MoveFile(rename)", name, newName);
        lstrcpynA(CursorName, name, PATH_BUFFER);
    } else {
        CreatedEntryName(base, newName, CursorName);
    }
    ReloadRequest = 2;
    RepaintAll(hwnd);
}

static void RenameMarkedCase(HWND hwnd)
{
    int upper = 1;
    int cursor = PageTop + CursorSlot;
    RememberCursorEntry();
    if (CaseRenameDialog(hwnd, &upper)) {
        EnterCurrentPath(NULL);
        ShowHourglass();
        WindowFontDC dc(hwnd);
        for (int position = 0; position < EntryCount; position++) {
            char name[PATH_BUFFER], newName[PATH_BUFFER];
            LockFileTable();
            BYTE mark = EntryAt(position)->mark;
            UnlockFileTable();
            if (!mark)
                continue;
            ShowWorkingEntry(dc, position);
            LongNameCopy(position, name);
            strcpy(newName, name);
            if (upper)
                UpperAscii(newName);
            else
                LowerAscii(newName);
            if (strcmp(name, newName) != 0 && !RenameEntry(name, newName)) {
                ShowLastError(hwnd, "MoveFile(rename)", name, newName);
                break;
            }
            if (position == cursor)
                lstrcpynA(CursorName, newName, PATH_BUFFER);
        }
        HideHourglass();
    }
    ReloadRequest = 2;
    RepaintAll(hwnd);
}

void RenameCommand(HWND hwnd)
{
    if (NoFiles)
        return;
    int position = PageTop + CursorSlot;
    if (MarkedCount > 0)
        RenameMarkedCase(hwnd);
    else if (position < EntryCount)
        RenameOne(hwnd, position);
}
