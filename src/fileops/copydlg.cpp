#include "fileops/copydlg.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "fileops/copy.h"
#include "fileops/copy_ids.h"
#include "fileops/renamedlg.h"
#include "screen/screendc.h"
#include "tree/pathhistory.h"
#include "tree/tree.h"
#include "ui/msgdlg.h"
#include "tree_ids.h"
#include <stdio.h>
#include <string.h>

int (*AskOtherName)(HWND owner, const char *oldName, char *newName) = RenameDialog;

static const char *CommandCaption()
{
    return (CopyMoveMode & 15) ? "Kelpo - Move" : "Kelpo - Copy";
}

// ---- destination dialog 20009 ----

// The destination dialog's path entry is set up by the tree's, with the same control ids.
static_assert(IDC_DEST_DRIVES == IDC_DRIVE_LINE && IDC_DEST_COMBO == IDC_PATH_COMBO, "path entry ids");

void DestinationHeader(const char *cursorName, char *text)
{
    bool move = (CopyMoveMode & COPYMOVE_MOVE) != 0;
    if (CopyMoveMode & COPYMOVE_MARKED) {
        strcpy(text, move ? "ﾏｰｸされたﾌｧｲﾙを移動します" : "ﾏｰｸされたﾌｧｲﾙをｺﾋﾟｰします");
        return;
    }
    char name[32];
    if (strlen(cursorName) >= 22) {
        TruncateBytes(cursorName, name, 20);
        strcat(name, "…");
    } else {
        strcpy(name, cursorName);
    }
    snprintf(text, 80, "%s%s", name, move ? " を移動します" : " をｺﾋﾟｰします");
}

static void RefuseDestination(HWND dialog)
{
    char caption[64];
    GetWindowTextA(dialog, caption, sizeof caption);
    MessageDialog(dialog, "正しいﾃﾞｨﾚｸﾄﾘ名を入力してください", caption, 48);
}

// Whether path is an existing directory; the process's current directory is left as it was.
static bool CanBeMadeCurrent(const char *path)
{
    char saved[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof saved, saved);
    if (!SetCurrentDirectoryA(path))
        return false;
    if (length && length < sizeof saved)
        SetCurrentDirectoryA(saved);
    return true;
}

int AcceptDestination(char *text)
{
    ExpandDriveEntry(text);
    if (text[0] == '\0' || text[1] != ':')
        return 0;
    if (!CanBeMadeCurrent(text) && !CreateDirectoryA(text, NULL))
        return 0;
    if (!ValidatePath(text, NULL))
        return 0;
    StripBackslash(text);
    return 1;
}

static void OnDestinationInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    SetWindowTextA(dialog, CommandCaption());

    char header[80] = "";
    if (!(CopyMoveMode & COPYMOVE_MARKED) && !NoFiles && EntryCount > 0) {
        LockFileTable();
        int position = PageTop + CursorSlot;
        DestinationHeader(position < EntryCount ? LongNameAt(position) : "", header);
        UnlockFileTable();
    } else {
        DestinationHeader("", header);
    }
    SetDlgItemTextA(dialog, IDC_DEST_HEADER, header);
    SetDlgItemTextA(dialog, IDC_DEST_PROMPT, (CopyMoveMode & COPYMOVE_MOVE) ? "移動先のﾃﾞｨﾚｸﾄﾘ名を入力してください"
                                                                             : "ｺﾋﾟｰ先のﾃﾞｨﾚｸﾄﾘ名を入力してください");

    InitPathEntry(dialog);

    if (TreeAtOnce)
        PostMessageA(dialog, WM_COMMAND, IDC_DEST_TREE, 0);
}

static void OnDestinationOk(HWND dialog)
{
    char text[PATH_BUFFER];
    GetDlgItemTextA(dialog, IDC_DEST_COMBO, text, 512);
    if (!AcceptDestination(text)) {
        RefuseDestination(dialog);
        return;
    }
    strcpy(CopyDestination, text);
    PushPathHistory(text);
    EndDialog(dialog, 1);
}

static void OnDestinationTree(HWND dialog)
{
    char path[PATH_BUFFER];
    GetDlgItemTextA(dialog, IDC_DEST_COMBO, path, 512);
    if (OpenDirectoryTree(dialog, path))
        SetDlgItemTextA(dialog, IDC_DEST_COMBO, path);
    else if (TreeAtOnce)
        EndDialog(dialog, 0);
}

static INT_PTR CALLBACK DestinationDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnDestinationInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnDestinationOk(dialog);
            return TRUE;
        case IDC_DEST_TREE:
            OnDestinationTree(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        ReleasePathEntry(dialog);
        break;
    }
    return FALSE;
}

int CopyMoveDestDialog(HWND owner)
{
    return DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_COPY_DEST), owner, DestinationDialogProc, 0) == 1;
}

// ---- same-name dialog 20012 ----

static const int sameNameButtons[4] = {IDC_SAME_NAME_NEWER, IDC_SAME_NAME_RENAME, IDC_SAME_NAME_OVERWRITE,
                                       IDC_SAME_NAME_SKIP};

static void OnSameNameInit(HWND dialog, const char *name)
{
    CenterOnMainWindow(dialog);
    SetWindowTextA(dialog, CommandCaption());
    SetDlgItemTextA(dialog, IDC_SAME_NAME_FILE, name);
    SetDlgItemTextA(dialog, IDC_SAME_NAME_PROMPT,
                    (CopyMoveMode & COPYMOVE_MOVE) ? "移動条件を選んで下さい" : "コピー条件を選んで下さい");
    int checked = IDC_SAME_NAME_NEWER;
    if (SameDirectory) {
        checked = IDC_SAME_NAME_RENAME;
        for (int id : sameNameButtons)
            if (id != IDC_SAME_NAME_RENAME)
                EnableWindow(GetDlgItem(dialog, id), FALSE);
    }
    CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, checked);
    TabStopOnCheckedRadio(GetDlgItem(dialog, checked));
    SetFocus(GetDlgItem(dialog, checked));
}

static INT_PTR CALLBACK SameNameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnSameNameInit(dialog, (const char *)lParam);
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            TabStopOnCheckedRadio((HWND)lParam);
        switch (LOWORD(wParam)) {
        case IDOK:
            for (int k = 0; k < 4; k++)
                if (IsDlgButtonChecked(dialog, sameNameButtons[k]) == BST_CHECKED)
                    SameNameMode = (BYTE)k;
            EndDialog(dialog, SameNameMode < 4 ? 1 : 0);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int SameNameDialog(HWND owner, const char *name)
{
    return DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_SAME_NAME), owner, SameNameDialogProc,
                           (LPARAM)name) == 1;
}

// ---- result dialog 20034 ----

// Item data: a slot of the result list, or with no list a display position whose mark is 2.
static bool listFromSlots;

static void ItemText(LPARAM data, char *text)
{
    if (listFromSlots) {
        ResultSlotText((int)data, text);
        return;
    }
    text[0] = '\0';
    LockFileTable();
    int position = (int)data;
    if (position >= 0 && position < EntryCount) {
        snprintf(text, RESULT_SLOT_BYTES, "%s%s", LongNameAt(position),
                 (EntryAt(position)->EntryFlags & EF_DIRECTORY) ? "\\" : "");
    }
    UnlockFileTable();
}

static void OnResultInit(HWND dialog, const char *text)
{
    CenterOnMainWindow(dialog);
    SetDlgItemTextA(dialog, IDC_RESULT_TEXT, text);
    HWND list = GetDlgItem(dialog, IDC_RESULT_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    listFromSlots = ResultList != NULL;
    if (listFromSlots) {
        int stored = ResultSlotsStored();
        for (int slot = 0; slot < stored; slot++)
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)slot);
    } else if (!NoFiles) {
        LockFileTable();
        int added = 0;
        for (int position = 0; position < EntryCount && added < RESULT_MAX_SLOTS; position++)
            if (EntryAt(position)->mark == 2) {
                SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)position);
                added++;
            }
        UnlockFileTable();
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

static void OnResultMeasure(HWND dialog, MEASUREITEMSTRUCT *measure)
{
    WindowFontDC dc(dialog);
    SelectedObject font(dc, (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    measure->itemHeight = metrics.tmHeight;
}

static void OnResultDraw(const DRAWITEMSTRUCT *item)
{
    if (item->itemID == (UINT)-1)
        return;
    COLORREF color = DrawListItemBackground(item);
    char text[RESULT_SLOT_BYTES];
    ItemText((LPARAM)item->itemData, text);
    COLORREF oldColor = SetTextColor(item->hDC, color);
    int oldMode = SetBkMode(item->hDC, TRANSPARENT);
    TextOutA(item->hDC, item->rcItem.left, item->rcItem.top, text, (int)strlen(text));
    SetBkMode(item->hDC, oldMode);
    SetTextColor(item->hDC, oldColor);
}

static INT_PTR CALLBACK ResultDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnResultInit(dialog, (const char *)lParam);
        return TRUE;
    case WM_MEASUREITEM:
        OnResultMeasure(dialog, (MEASUREITEMSTRUCT *)lParam);
        return TRUE;
    case WM_DRAWITEM:
        OnResultDraw((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ResultDialog(HWND owner, const char *text)
{
    DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_COPY_RESULT), owner, ResultDialogProc, (LPARAM)text);
}
