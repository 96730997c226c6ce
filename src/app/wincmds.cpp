#include "app/wincmds.h"
#include "app/dispatch.h"
#include "extcmd/extcmd_ids.h"
#include "extcmd/launch.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "config/cfgfile.h"
#include "config/settings.h"
#include "ui/filedlg.h"
#include "config_ids.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/frame.h"
#include "ui/msgdlg.h"
#include "resource.h"
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

// --- Exit question -------------------------------------------------------------------------

static const int exitButtons[2] = {IDOK, IDCANCEL};
static WNDPROC exitPrevious[2];

static void EndExitDialog(HWND dialog, int result)
{
    for (int i = 0; i < 2; i++)
        RestoreControl(dialog, exitButtons[i], exitPrevious[i]);
    EndDialog(dialog, result);
}

static INT_PTR CALLBACK ExitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnMainWindow(dialog);
        for (int i = 0; i < 2; i++)
            exitPrevious[i] = SubclassControl(dialog, exitButtons[i], AllKeyForwarder);
        return TRUE;
    case WM_FORWARDED_KEY:
        if (wParam == WM_KEYDOWN && (lParam == 'Y' || lParam == 'N')) {
            EndExitDialog(dialog, lParam == 'Y' ? 1 : 0);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndExitDialog(dialog, LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int ExitDialog(HWND owner)
{
    return DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_EXIT), owner, ExitDialogProc, 0) == 1 ? 1 : 0;
}

void EscapeCommand(HWND hwnd)
{
    if (ScreenMode != 0) {
        ScreenMode = 0;
        UpdateMenuState(hwnd);
        RepaintAll(hwnd);
        return;
    }
    if (ExitDialog(hwnd) == 1)
        DestroyWindow(hwnd);
}

// --- Listing commands ----------------------------------------------------------------------

// The short names follow namesmall at once, without a re-read; only ASCII letters change case.
void NameCaseCommand(HWND hwnd)
{
    Settings.namesmall = !Settings.namesmall;
    LockFileTable();
    for (int i = 0; i < EntryCount && !NoFiles; i++) {
        FileEntry *e = EntryAt(i);
        if (e->EntryFlags & EF_VOLUME)
            continue;
        if (Settings.namesmall)
            LowerAscii(e->shortName);
        else
            UpperAscii(e->shortName);
    }
    UnlockFileTable();
    ReloadRequest = 0;
    RepaintGrid(hwnd);
}

void RootCommand(HWND hwnd)
{
    if (CurrentPath[0] && CurrentPath[1] == ':')
        CurrentPath[3] = '\0';
    PageTop = 0;
    PrevSlot = -1;
    CursorSlot = 0;
    ReloadRequest = 1;
    RepaintGrid(hwnd);
}

// List mode only: the viewer keeps showing its file, and the list would not follow.
void DriveChangeCommand(HWND hwnd, int drive)
{
    if (ScreenMode != 0 || drive < 0 || drive >= 26)
        return;
    char path[PATH_BUFFER];
    lstrcpynA(path, DriveLastPath[drive], sizeof path);
    if (!ValidatePath(path, NULL))
        return;
    StripBackslash(path);
    if (!SetCurrentDirectoryA(path)) {
        char current[PATH_BUFFER], text[64];
        lstrcpynA(current, CurrentPath, sizeof current);
        StripBackslash(current);
        SetCurrentDirectoryA(current);
        snprintf(text, sizeof text, "%c:ﾄﾞﾗｲﾌﾞに移動できません", 'A' + drive);
        MessageDialog(hwnd, text, "Kelpo - DriveChange", 48);
        return;
    }
    strcpy(CurrentPath, path);
    CursorSlot = 0;
    PageTop = 0;
    PrevSlot = -1;
    ReloadRequest = 1;
    RepaintAll(hwnd);
}

void ChooseDirectoryCommand(HWND hwnd)
{
    if (ScreenMode != 0)
        return;
    char path[PATH_BUFFER];
    lstrcpynA(path, CurrentPath, sizeof path);
    AppendBackslash(path);
    if (!OpenFileDialog(hwnd, "Kelpo - Logdsk", path, IDS_FILTER_ALL))
        return;
    char directory[PATH_BUFFER];
    SplitPath(path, directory, NULL, NULL);
    if (!directory[0])
        return;
    FileMask[0] = '\0';
    strcpy(CurrentPath, directory);
    PageTop = 0;
    PrevSlot = CursorSlot = -1;
    ReloadRequest = 1;
    ScreenMode = 0;
    RepaintGrid(hwnd);
}

// --- Other programs ------------------------------------------------------------------------

void ExplorerCommand(HWND hwnd)
{
    if (WinVersion < 400)
        return;
    char path[PATH_BUFFER], parameters[PATH_BUFFER + 32];
    lstrcpynA(path, CurrentPath, sizeof path);
    StripBackslash(path);
    snprintf(parameters, sizeof parameters, "/e,/n,/idlist,\"%s\"", path);
    ShellExecuteA(hwnd, NULL, "Explorer.exe", parameters, path, SW_SHOWNORMAL);
}

void ControlPanelCommand(HWND)
{
    char path[512 + 16];
    UINT n = GetWindowsDirectoryA(path, 512);
    if (n == 0 || n >= 512)
        path[0] = '\0';
    AppendBackslash(path, sizeof path);
    strcat(path, "CONTROL.EXE");
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        n = GetSystemDirectoryA(path, 512);
        if (n == 0 || n >= 512)
            path[0] = '\0';
        AppendBackslash(path, sizeof path);
        strcat(path, "CONTROL.EXE");
    }
    WinExec(path, SW_SHOWNORMAL);
}

void AltLetterCommand(HWND hwnd, int commandId)
{
    int index = commandId - IDM_EXTCMD_FIRST;
    if (index < 0 || index >= 26)
        return;
    if (AltOverlay == 1)
        index += 26;
    if (AltOverlay >= 0)
        CloseAltOverlay(hwnd);
    RunExtCommand(hwnd, index);
}
