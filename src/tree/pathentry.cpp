// Path entry shared by Logdsk and the destination dialogs: the drive line, the drive-letter
// shorthand, the tree button; the Logdsk dialog 20020 and the Tree and Logdsk commands.
#include "tree/tree.h"
#include "tree/pathhistory.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/filedlg.h"
#include "ui/msgdlg.h"
#include "screen/repaint.h"
#include "screen/screendc.h"
#include "base/commands.h"
#include "tree_ids.h"
#include <stdio.h>
#include <string.h>

enum { TYPED_PATH_LIMIT = 512 };
static const char LOGDSK_CAPTION[] = "Kelpo - Logdsk";

void DriveLetters(char *buffer)
{
    DWORD present = GetLogicalDrives();
    for (int i = 0; i < TREE_DRIVE_COUNT; i++)
        buffer[i] = (present & (1u << i)) ? (char)('A' + i) : '\xA5';
    buffer[TREE_DRIVE_COUNT] = '\0';
}

// "." and ".." in a typed path name the directories they stand for, so that the listed
// directory typed as "C:\WORK\SUB\.." is C:\WORK itself (and is kept so in the history).
static void ResolveDotComponents(char *text)
{
    char full[PATH_BUFFER];
    DWORD length = GetFullPathNameA(text, sizeof full, full, NULL);
    if (length == 0 || length >= TYPED_PATH_LIMIT || full[1] != ':')
        return;
    strcpy(text, full);
}

void ExpandDriveEntry(char *text)
{
    if (strlen(text) >= 3 && text[2] == '\\') {
        if (text[1] == ':')
            ResolveDotComponents(text);
        return;
    }
    UpperAscii(text);
    if (text[0])
        text[1] = '\0';
    if (text[0] >= 'A' && text[0] <= 'Z')
        lstrcpynA(text, DriveLastPath[text[0] - 'A'], TYPED_PATH_LIMIT);
}

// treemode 1: the common Open dialog in the directory of path; the directory of whatever
// file the user picks or types becomes the path.
static int ChooseDirectoryByFile(HWND owner, char *path)
{
    char file[PATH_BUFFER];
    char start[PATH_BUFFER];
    snprintf(file, sizeof file, "%s*.*", path);
    lstrcpynA(start, path, sizeof start);
    if (!IsRootPath(start))
        StripBackslash(start);
    if (!RunFileDialog(owner, "Kelpo - Directory Tree", ALL_FILES_FILTER, start, file, 1023, false))
        return 0;
    char directory[PATH_BUFFER], name[PATH_BUFFER], extension[PATH_BUFFER];
    SplitPath(file, directory, name, extension);
    lstrcpynA(path, directory, PATH_BUFFER);
    return 1;
}

int OpenDirectoryTree(HWND owner, char *path)
{
    if (Settings.treemode == 1)
        return ChooseDirectoryByFile(owner, path);
    lstrcpynA(TreePath, path, PATH_BUFFER);
    if (!RunTreeDialog(owner))
        return 0;
    lstrcpynA(path, TreePath, PATH_BUFFER);
    return 1;
}

void InitPathEntry(HWND dialog)
{
    char letters[TREE_DRIVE_COUNT + 1], line[TREE_DRIVE_COUNT + 3];
    DriveLetters(letters);
    snprintf(line, sizeof line, "<%s>", letters);
    int height;
    {
        WindowFontDC screen(dialog);
        height = -(GetDeviceCaps(screen, LOGPIXELSY) * 10 / 72);
    }
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
    if (font)
        SendDlgItemMessageA(dialog, IDC_DRIVE_LINE, WM_SETFONT, (WPARAM)font, FALSE);
    SetDlgItemTextA(dialog, IDC_DRIVE_LINE, line);
    StripBackslash(CurrentPath);
    PushPathHistory(CurrentPath);
    SendDlgItemMessageA(dialog, IDC_PATH_COMBO, CB_LIMITTEXT, TYPED_PATH_LIMIT - 1, 0);
    FillPathCombo(dialog);
    SendDlgItemMessageA(dialog, IDC_PATH_COMBO, CB_SETCURSEL, 0, 0);
}

void ReleasePathEntry(HWND dialog)
{
    // Only the font made for the line: without one the line has the dialog's own.
    HFONT font = (HFONT)SendDlgItemMessageA(dialog, IDC_DRIVE_LINE, WM_GETFONT, 0, 0);
    if (!font || font == (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0))
        return;
    SendDlgItemMessageA(dialog, IDC_DRIVE_LINE, WM_SETFONT, 0, FALSE);
    DeleteObject(font);
}

// ---- Logdsk ----

static BYTE treeAtOnce;

static BOOL OnLogdskInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    InitPathEntry(dialog);
    if (treeAtOnce)
        PostMessageA(dialog, WM_COMMAND, IDC_TREE_BUTTON, 0);
    return TRUE;
}

static void OnLogdskOk(HWND dialog)
{
    char text[PATH_BUFFER];
    GetDlgItemTextA(dialog, IDC_PATH_COMBO, text, TYPED_PATH_LIMIT);
    ExpandDriveEntry(text);
    if (text[0] == '\0' || text[1] != ':') {
        MessageDialog(dialog, "正しいﾄﾞﾗｲﾌﾞ名を入力してください", LOGDSK_CAPTION, 48);
        return;
    }
    char shortPath[PATH_BUFFER];
    if (!ValidatePath(text, shortPath) || !SetCurrentDirectoryA(text)) {
        MessageDialog(dialog, "正しいﾃﾞｨﾚｸﾄﾘ名を入力してください", LOGDSK_CAPTION, 48);
        return;
    }
    lstrcpynA(CurrentPath, text, TYPED_PATH_LIMIT);
    PushPathHistory(CurrentPath);
    EndDialog(dialog, 1);
}

static void OnLogdskTree(HWND dialog)
{
    char path[PATH_BUFFER];
    GetDlgItemTextA(dialog, IDC_PATH_COMBO, path, TYPED_PATH_LIMIT);
    if (OpenDirectoryTree(dialog, path))
        SetDlgItemTextA(dialog, IDC_PATH_COMBO, path);
    else if (treeAtOnce)
        EndDialog(dialog, 0);
}

static INT_PTR CALLBACK LogdskDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnLogdskInit(dialog);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnLogdskOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_TREE_BUTTON:
            OnLogdskTree(dialog);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        ReleasePathEntry(dialog);
        break;
    }
    return FALSE;
}

int RunLogdskDialog(HWND owner, int openTreeAtOnce)
{
    treeAtOnce = openTreeAtOnce ? 1 : 0;
    HINSTANCE instance = ResourceInstance();
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LOGDSK), owner, LogdskDialogProc, 0) == 1 ? 1 : 0;
}

// ---- the commands ----

void LogdskCommand(HWND hwnd)
{
    if (!RunLogdskDialog(hwnd, IsShifted()))
        return;
    FileMask[0] = '\0';
    CursorSlot = -1;
    PrevSlot = -1;
    PageTop = 0;
    ReloadRequest = 1;
    RepaintAll(hwnd);
}

void TreeCommand(HWND hwnd)
{
    char chosen[PATH_BUFFER];
    lstrcpynA(chosen, CurrentPath, sizeof chosen);
    if (!OpenDirectoryTree(hwnd, chosen))
        return;
    // The tree may come from a cache older than a directory's removal: the listing stays.
    DWORD attributes = GetFileAttributesA(chosen);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        MessageDialog(hwnd, "正しいﾃﾞｨﾚｸﾄﾘ名を入力してください", "Kelpo - Directory Tree", 48);
        return;
    }
    lstrcpynA(CurrentPath, chosen, PATH_BUFFER);
    PageTop = 0;
    CursorSlot = 0;
    PrevSlot = -1;
    ReloadRequest = 1;
    RepaintAll(hwnd);
}
