#include "extcmd/launch.h"
#include "extcmd/extcmd_ids.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

enum { HELP_BUFFER = 2048, TITLE_LIMIT = 30, COMMAND_LIMIT = 500, DIRECTORY_LIMIT = 260 };

// The fields in the order Enter and the arrow keys walk through them.
static const int fields[3] = {IDC_EXT_TITLE, IDC_EXT_COMMAND, IDC_EXT_DIR};

// The editor's state while it is open (it is modal and opened from one place at a time).
static struct {
    int current;
    bool guard;                 // set while the dialog itself changes the list or the fields
    int fullHeight, shortHeight;
    bool helpShown;
    HFONT helpFont;
    WNDPROC previous[3];
} editor;

// A window's device context for one measurement, released at the end of the scope.
class ClientDC {
public:
    explicit ClientDC(HWND window) : window(window), dc(GetDC(window)) {}
    ~ClientDC() { ReleaseDC(window, dc); }
    operator HDC() const { return dc; }
    ClientDC(const ClientDC &) = delete;
    ClientDC &operator=(const ClientDC &) = delete;

private:
    HWND window;
    HDC dc;
};

static HWND List(HWND dialog)
{
    return GetDlgItem(dialog, IDC_EXT_LIST);
}

static char EntryLetter(int index)
{
    return (char)(index < 26 ? 'A' + index : 'a' + index - 26);
}

static void ShowEntry(HWND dialog, int index)
{
    char letter[4];
    snprintf(letter, sizeof letter, "%c", EntryLetter(index));
    bool guard = editor.guard;
    editor.guard = true;
    SetDlgItemTextA(dialog, IDC_EXT_LETTER, letter);
    SetDlgItemTextA(dialog, IDC_EXT_TITLE, ExtCommandTitle[index]);
    SetDlgItemTextA(dialog, IDC_EXT_COMMAND, ExtCommandLine[index]);
    SetDlgItemTextA(dialog, IDC_EXT_DIR, ExtCommandDir[index]);
    editor.guard = guard;
}

static void SelectRow(HWND dialog, int index)
{
    bool guard = editor.guard;
    editor.guard = true;
    HWND list = List(dialog);
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, (LPARAM)&item);
    SendMessageA(list, LVM_ENSUREVISIBLE, index, FALSE);
    editor.guard = guard;
}

// Stores the fields in the current entry when they differ from it; selectRow -1 selects nothing.
static void CommitFields(HWND dialog, int selectRow)
{
    int i = editor.current;
    char command[EXTCMD_LINE], title[EXTCMD_TITLE], dir[EXTCMD_DIR];
    GetDlgItemTextA(dialog, IDC_EXT_COMMAND, command, COMMAND_LIMIT + 1);
    GetDlgItemTextA(dialog, IDC_EXT_TITLE, title, TITLE_LIMIT + 1);
    GetDlgItemTextA(dialog, IDC_EXT_DIR, dir, DIRECTORY_LIMIT + 1);
    if (!strcmp(command, ExtCommandLine[i]) && !strcmp(title, ExtCommandTitle[i]) && !strcmp(dir, ExtCommandDir[i]))
        return;
    HWND list = List(dialog);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    strcpy(ExtCommandLine[i], command);
    strcpy(ExtCommandTitle[i], title);
    strcpy(ExtCommandDir[i], dir);
    if (selectRow >= 0)
        SelectRow(dialog, selectRow);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
}

static void MakeCurrent(HWND dialog, int index)
{
    editor.current = index;
    SelectRow(dialog, index);
    ShowEntry(dialog, index);
}

static void LoadHelpText(char *text)
{
    char piece[HELP_BUFFER];
    size_t used = 0;
    HINSTANCE instance = ResourceInstance();
    for (int id = IDS_MACRO_HELP_FIRST; id <= IDS_MACRO_HELP_LAST; id++) {
        int n = LoadStringA(instance, id, piece, sizeof piece);
        for (int k = 0; k < n && used + 3 < HELP_BUFFER; k++) {
            if (piece[k] == '\n')
                text[used++] = '\r';
            text[used++] = piece[k];
        }
    }
    text[used] = '\0';
}

static void SetUpHelp(HWND dialog)
{
    RECT window, help;
    GetWindowRect(dialog, &window);
    GetWindowRect(GetDlgItem(dialog, IDC_EXT_HELP), &help);
    editor.fullHeight = window.bottom - window.top;
    editor.shortHeight = help.top - window.top;
    editor.helpShown = false;
    SetWindowPos(dialog, NULL, 0, 0, window.right - window.left, editor.shortHeight, SWP_NOMOVE | SWP_NOZORDER);

    int height = -(GetDeviceCaps(ClientDC(dialog), LOGPIXELSY) * 10) / 72;
    editor.helpFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, "ＭＳ ゴシック");
    SendDlgItemMessageA(dialog, IDC_EXT_HELP, WM_SETFONT, (WPARAM)editor.helpFont, FALSE);
    char text[HELP_BUFFER];
    LoadHelpText(text);
    SetDlgItemTextA(dialog, IDC_EXT_HELP, text);
}

static void ToggleHelp(HWND dialog)
{
    editor.helpShown = !editor.helpShown;
    RECT window;
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, NULL, 0, 0, window.right - window.left,
                 editor.helpShown ? editor.fullHeight : editor.shortHeight, SWP_NOMOVE | SWP_NOZORDER);
    EnableWindow(GetDlgItem(dialog, IDC_EXT_HELP), editor.helpShown);
}

static void FillList(HWND dialog)
{
    static const char *const headings[4] = {"文字", "ﾀｲﾄﾙ", "ｺﾏﾝﾄﾞ", "作業ﾃﾞｨﾚｸﾄﾘ"};
    static const int blanks[4] = {2, 8, 16, 12};
    HWND list = List(dialog);
    SIZE blank = {8, 16};
    {
        ClientDC dc(list);
        SelectedObject font(dc, (HFONT)SendMessageA(list, WM_GETFONT, 0, 0));
        GetTextExtentPoint32A(dc, "\x81\x40", 2, &blank);
    }
    for (int c = 0; c < 4; c++) {
        LVCOLUMNA column;
        memset(&column, 0, sizeof column);
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = (char *)headings[c];
        column.cx = blanks[c] * blank.cx + blank.cx / 2;
        column.iSubItem = c;
        SendMessageA(list, LVM_INSERTCOLUMNA, c, (LPARAM)&column);
    }
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = (char *)"";
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    }
}

static BOOL OnInitDialog(HWND dialog)
{
    editor.guard = true;
    editor.current = 0;
    SetUpHelp(dialog);
    CenterOnMainWindow(dialog);
    LoadExtCommands();
    for (int f = 0; f < 3; f++)
        editor.previous[f] = SubclassControl(dialog, fields[f], ArrowKeyForwarder);
    FillList(dialog);
    SelectRow(dialog, 0);
    SendDlgItemMessageA(dialog, IDC_EXT_TITLE, EM_LIMITTEXT, TITLE_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_EXT_COMMAND, EM_LIMITTEXT, COMMAND_LIMIT, 0);
    SendDlgItemMessageA(dialog, IDC_EXT_DIR, EM_LIMITTEXT, DIRECTORY_LIMIT, 0);
    ShowEntry(dialog, 0);
    editor.guard = false;
    return TRUE;
}

static void DrawCell(HDC dc, const RECT &row, int left, int width, const char *text)
{
    RECT clip = {left + 4, row.top, left + width - 4, row.bottom};
    if (clip.right > clip.left)
        ExtTextOutA(dc, clip.left, row.top, ETO_CLIPPED, &clip, text, (UINT)strlen(text), NULL);
}

static void OnDrawItem(HWND dialog, const DRAWITEMSTRUCT *item)
{
    int i = (int)item->itemID;
    if (i < 0 || i >= EXTCMD_COUNT)
        return;
    HDC dc = item->hDC;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    COLORREF back = selected ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255);
    HBRUSH brush = CreateSolidBrush(back);
    FillRect(dc, &item->rcItem, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
    HWND list = List(dialog);
    int left = item->rcItem.left;
    int widths[4];
    for (int c = 0; c < 4; c++)
        widths[c] = (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, c, 0);
    char letter[2] = {EntryLetter(i), '\0'};
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, letter, 1, &size);
    int x = left + (widths[0] - size.cx) / 2;
    TextOutA(dc, x, item->rcItem.top, letter, 1);
    TextOutA(dc, x + 1, item->rcItem.top, letter, 1);
    const char *texts[3] = {ExtCommandTitle[i], ExtCommandLine[i], ExtCommandDir[i]};
    left += widths[0];
    for (int c = 1; c < 4; c++) {
        DrawCell(dc, item->rcItem, left, widths[c], texts[c - 1]);
        left += widths[c];
    }
}

static void OnItemChanged(HWND dialog, const NMLISTVIEW *change)
{
    bool nowSelected = (change->uNewState & LVIS_SELECTED) && !(change->uOldState & LVIS_SELECTED);
    int i = change->iItem;
    if (!nowSelected || editor.guard || i < 0 || i >= EXTCMD_COUNT || i == editor.current)
        return;
    CommitFields(dialog, i);
    editor.current = i;
    ShowEntry(dialog, i);
}

static int FieldIndex(HWND dialog, HWND control)
{
    for (int f = 0; f < 3; f++)
        if (control && control == GetDlgItem(dialog, fields[f]))
            return f;
    return -1;
}

static bool OnForwardedKey(HWND dialog, UINT vk)
{
    if (vk != VK_UP && vk != VK_DOWN)
        return false;
    if (IsShifted()) {
        CommitFields(dialog, -1);
        int next = editor.current + (vk == VK_UP ? -1 : 1);
        if (next >= 0 && next < EXTCMD_COUNT)
            MakeCurrent(dialog, next);
        return true;
    }
    int f = FieldIndex(dialog, GetFocus());
    if (f < 0)
        return false;
    f = (f + (vk == VK_DOWN ? 1 : 2)) % 3;
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, fields[f]), TRUE);
    return true;
}

static void Browse(HWND dialog)
{
    CommitFields(dialog, -1);
    char path[PATH_BUFFER];
    lstrcpynA(path, CurrentPath, sizeof path - 4);
    StripBackslash(path);
    strcat(path, "\\*.*");
    if (!BrowseAllFiles(dialog, "Kelpo - 外部ｺﾏﾝﾄﾞの参照", path))
        return;
    char command[EXTCMD_LINE];
    TruncateBytes(path, command, COMMAND_LIMIT);
    SetDlgItemTextA(dialog, IDC_EXT_COMMAND, command);
    CommitFields(dialog, -1);
}

static void CloseEditor(HWND dialog, int result)
{
    for (int f = 0; f < 3; f++)
        RestoreControl(dialog, fields[f], editor.previous[f]);
    EndDialog(dialog, result);
}

static void OnOk(HWND dialog)
{
    CommitFields(dialog, -1);
    HWND focus = GetFocus();
    int f = FieldIndex(dialog, focus);
    if (f >= 0 || focus == List(dialog)) {
        int next = f >= 0 ? (f + 1) % 3 : 0;
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, fields[next]), TRUE);
        return;
    }
    SaveExtCommands();
    CloseEditor(dialog, 1);
}

static INT_PTR CALLBACK ExtCommandEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_DRAWITEM:
        if (wParam == IDC_EXT_LIST) {
            OnDrawItem(dialog, (const DRAWITEMSTRUCT *)lParam);
            return TRUE;
        }
        break;
    case WM_NOTIFY: {
        const NMHDR *header = (const NMHDR *)lParam;
        if (header->idFrom == IDC_EXT_LIST && header->code == LVN_ITEMCHANGED)
            OnItemChanged(dialog, (const NMLISTVIEW *)lParam);
        break;
    }
    case WM_FORWARDED_KEY:
        if (wParam == WM_KEYDOWN) {
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnForwardedKey(dialog, (UINT)lParam));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_EXT_RUN:
            CommitFields(dialog, -1);
            RunExtCommand(dialog, editor.current);
            return TRUE;
        case IDC_EXT_BROWSE:
            Browse(dialog);
            return TRUE;
        case IDC_EXT_HELP_TOGGLE:
            ToggleHelp(dialog);
            return TRUE;
        case IDOK:
            OnOk(dialog);
            return TRUE;
        case IDCANCEL:
            LoadExtCommands();
            CloseEditor(dialog, 0);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        if (editor.helpFont) {
            DeleteObject(editor.helpFont);
            editor.helpFont = NULL;
        }
        break;
    }
    return FALSE;
}

void ExtCommandEditorCommand(HWND hwnd)
{
    RunExtCommandEditor(hwnd);
}

int RunExtCommandEditor(HWND owner)
{
    InitCommonControls();
    HINSTANCE instance = ResourceInstance();
    INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_EXTCMD_EDITOR), owner, ExtCommandEditorProc, 0);
    return result == 1 ? 1 : 0;
}
