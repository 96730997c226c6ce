// The tree dialog 20037: drive list, tree of the shown drive, path of the selected directory,
// the first files of that directory and a status line.
#include "tree/tree.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "base/commands.h"
#include "ui/msgdlg.h"
#include "tree_ids.h"
#include "resource.h"
#include <stdio.h>
#include <string.h>

namespace {

struct FilePreview {
    char name[260];
    DWORD attributes;
};

enum { TREE_INDENT = 16, NO_DRIVE = -1 };

int shownDrive = NO_DRIVE;
FilePreview previewFiles[TREE_FILE_PREVIEW];
int previewCount;
char previewPath[PATH_BUFFER];
int widestRow;
int widestDriveName;
int pathFieldChars;
HFONT pathFont;
HBRUSH backBrush;
HICON driveIcons[5];
WNDPROC treeListProcedure;

const ControlAdjust adjustTable[8] = {
    {IDC_TREE_DRIVES, ADJUST_WIDEN},
    {IDC_TREE_REFRESH, ADJUST_MOVE_RIGHT},
    {IDC_TREE_PATH, ADJUST_WIDEN},
    {IDC_TREE_LIST, ADJUST_WIDEN | ADJUST_HEIGHTEN},
    {IDC_TREE_FILES, ADJUST_MOVE_RIGHT | ADJUST_HEIGHTEN},
    {IDC_TREE_STATUS, ADJUST_MOVE_DOWN | ADJUST_WIDEN},
    {IDOK, ADJUST_MOVE_RIGHT | ADJUST_MOVE_DOWN},
    {IDCANCEL, ADJUST_MOVE_RIGHT | ADJUST_MOVE_DOWN},
};

HFONT ListFont()
{
    return MainFont ? MainFont : (HFONT)GetStockObject(SYSTEM_FIXED_FONT);
}

HFONT CreatePathFont()
{
    WindowFontDC screen(NULL);
    int height = -(GetDeviceCaps(screen, LOGPIXELSY) * 10 / 72);
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, FIXED_PITCH,
                       "ＭＳ ゴシック");
}

SIZE TextSize(HDC dc, HFONT font, const char *text)
{
    SelectedObject selected(dc, font);
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    return size;
}

// Cuts the last count components off path ("X:\a\b" less 2 is "X:"), stepping over
// double-byte characters whose second byte is a backslash.
void RemoveComponents(char *path, int count)
{
    for (; count > 0; count--) {
        char *last = NULL;
        for (char *p = path; *p; p += CharLength(p))
            if (*p == '\\')
                last = p;
        if (!last)
            return;
        *last = '\0';
    }
}

void AppendName(char *path, const char *name)
{
    AppendBackslash(path);
    size_t used = strlen(path);
    lstrcpynA(path + used, name, (int)(PATH_BUFFER - used));
}

// The full path of node index: the drive root, its ancestors and its own name.
void NodePath(int index, char *path)
{
    snprintf(path, PATH_BUFFER, "%c:\\", DriveRecords[shownDrive].name[0]);
    if (index <= 0)
        return;
    int depth = TreeNodes[index].depth;
    const char *ancestors[TREE_MAX_NODES];
    int found = 0;
    int wanted = depth - 1;
    for (int j = index - 1; j >= 0 && wanted >= 1; j--)
        if (TreeNodes[j].depth == wanted) {
            ancestors[found++] = TreeNodes[j].name;
            wanted--;
        }
    while (found > 0)
        AppendName(path, ancestors[--found]);
    AppendName(path, TreeNodes[index].name);
}

COLORREF AttributeColor(DWORD attributes, int plainSlot)
{
    if (attributes & FILE_ATTRIBUTE_SYSTEM)
        return SlotColor(CL_SYSTEM);
    if (attributes & FILE_ATTRIBUTE_HIDDEN)
        return SlotColor(CL_HIDDEN);
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return SlotColor(CL_RDONLY);
    return SlotColor(plainSlot);
}

void ItemText(HDC dc, int x, int y, COLORREF color, const char *text)
{
    SelectedObject font(dc, ListFont());
    SetTextColor(dc, color);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, x, y, text, (int)strlen(text));
    SetBkMode(dc, oldMode);
}

void ShowSelectedPath(HWND dialog)
{
    char shown[PATH_BUFFER];
    int width = pathFieldChars - 2;
    if (width > 0 && (int)strlen(TreePath) > pathFieldChars)
        ShortenPath(TreePath, shown, width);
    else
        lstrcpynA(shown, TreePath, sizeof shown);
    SetDlgItemTextA(dialog, IDC_TREE_PATH, shown);
}

void FillFileList(HWND dialog, bool force);

void DrawTreeItem(HWND dialog, const DRAWITEMSTRUCT *item)
{
    if (!TreeNodes || shownDrive == NO_DRIVE || (int)item->itemID < 0 || item->itemData >= (ULONG_PTR)TreeNodeCount)
        return;
    int index = (int)item->itemData;
    const TreeNode *node = &TreeNodes[index];
    RECT r = item->rcItem;
    COLORREF back = SlotColor(CL_BACK);
    COLORREF text = index == 0 ? SlotColor(CL_SUBDIR) : AttributeColor(node->attributes, CL_SUBDIR);
    COLORREF frame = back, fill = back, line = SlotColor(CL_TREE);
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    bool focus = (item->itemState & ODS_FOCUS) != 0;
    if (selected)
        frame = text;
    if (selected && focus) {
        fill = frame;
        text = line = back;
    }
    HDC dc = item->hDC;
    {
        OwnedObject brush(dc, CreateSolidBrush(fill));
        if (frame == fill) {
            PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
        } else {
            OwnedObject pen(dc, CreatePen(PS_SOLID, 1, frame));
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
    }
    {
        OwnedObject pen(dc, CreatePen(PS_SOLID, 1, line));
        for (int k = 0; k < 32; k++)
            if (node->lineMask & (1u << k)) {
                MoveToEx(dc, r.left + TREE_INDENT * k + 4, r.top, NULL);
                LineTo(dc, r.left + TREE_INDENT * k + 4, r.bottom);
            }
        if (node->depth > 0) {
            int x = r.left + TREE_INDENT * node->depth - 12, middle = (r.top + r.bottom) / 2;
            MoveToEx(dc, x, r.top, NULL);
            LineTo(dc, x, middle);
            LineTo(dc, x + 10, middle);
        }
    }
    ItemText(dc, r.left + TREE_INDENT * node->depth, r.top, text, node->name);
    if (selected) {
        NodePath(index, TreePath);
        ShowSelectedPath(dialog);
        if (focus && !IsShifted())
            FillFileList(dialog, false);
    }
}

void DrawFileItem(const DRAWITEMSTRUCT *item)
{
    if ((int)item->itemID < 0 || item->itemData >= (ULONG_PTR)previewCount)
        return;
    const FilePreview *file = &previewFiles[item->itemData];
    HDC dc = item->hDC;
    const RECT &r = item->rcItem;
    {
        OwnedObject brush(dc, CreateSolidBrush(SlotColor(CL_BACK)));
        PatBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, PATCOPY);
    }
    COLORREF color = AttributeColor(file->attributes, file->attributes & FILE_ATTRIBUTE_DIRECTORY ? CL_SUBDIR : CL_NORMAL);
    ItemText(dc, item->rcItem.left, item->rcItem.top, color, file->name);
}

void DrawDriveItem(const DRAWITEMSTRUCT *item)
{
    COLORREF color = DrawListItemBackground(item);
    if ((int)item->itemID < 0 || item->itemData >= (ULONG_PTR)DriveRecordCount)
        return;
    const DriveRecord *drive = &DriveRecords[item->itemData];
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    int height = r.bottom - r.top;
    HICON icon = drive->kind >= 0 && drive->kind < 5 ? driveIcons[drive->kind] : NULL;
    if (icon)
        DrawIconEx(dc, r.left + 4, r.top + (height - 16) / 2, icon, 16, 16, 0, NULL, DI_NORMAL);
    SelectedObject font(dc, pathFont);
    SIZE size = TextSize(dc, pathFont, "Mj");
    int y = r.top + (height - size.cy) / 2;
    SetTextColor(dc, color);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, r.left + 32, y, drive->name, (int)strlen(drive->name));
    char details[160] = "";
    if (drive->label[0])
        snprintf(details, sizeof details, "[%s]", drive->label);
    if (drive->networkName[0]) {
        size_t used = strlen(details);
        snprintf(details + used, sizeof details - used, "%s%s", used ? " " : "", drive->networkName);
    }
    TextOutA(dc, r.left + 32 + widestDriveName, y, details, (int)strlen(details));
    SetBkMode(dc, oldMode);
}

void FillFileList(HWND dialog, bool force)
{
    if (!force && strcmp(TreePath, previewPath) == 0)
        return;
    lstrcpynA(previewPath, TreePath, sizeof previewPath);
    HWND list = GetDlgItem(dialog, IDC_TREE_FILES);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    previewCount = 0;
    char pattern[PATH_BUFFER + 8];
    lstrcpynA(pattern, previewPath, PATH_BUFFER);
    AppendBackslash(pattern);
    strcat(pattern, "*.*");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            lstrcpynA(previewFiles[previewCount].name, found.cFileName, sizeof previewFiles[0].name);
            previewFiles[previewCount].attributes = found.dwFileAttributes;
            previewCount++;
        } while (previewCount < TREE_FILE_PREVIEW && FindNextFileA(search, &found));
        FindClose(search);
    }
    if (previewCount == 0) {
        strcpy(previewFiles[0].name, "No File");
        previewFiles[0].attributes = FILE_ATTRIBUTE_DIRECTORY;
        previewCount = 1;
    }
    for (int i = 0; i < previewCount; i++)
        SendMessageA(list, LB_ADDSTRING, 0, i);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
}

void ShowTreeStatus(HWND dialog, int drive)
{
    if (drive < 0 || drive >= DriveRecordCount)
        return;
    char status[128];
    if (TreeNodeCount == 1)
        snprintf(status, sizeof status, "1 directory  %s File System", DriveRecords[drive].fileSystem);
    else
        snprintf(status, sizeof status, "%d directories  %s File System", TreeNodeCount, DriveRecords[drive].fileSystem);
    SetDlgItemTextA(dialog, IDC_TREE_STATUS, status);
}

void FillTreeList(HWND dialog, int drive)
{
    HWND list = GetDlgItem(dialog, IDC_TREE_LIST);
    char target[PATH_BUFFER];
    lstrcpynA(target, CurrentPath, sizeof target);
    StripBackslash(target);
    char letter = UpperDriveLetter(target[0]);
    bool searching = target[1] == ':' && letter == DriveRecords[drive].name[0];
    if (searching)
        target[0] = letter;
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    char running[PATH_BUFFER];
    snprintf(running, sizeof running, "%c:\\", DriveRecords[drive].name[0]);
    int select = 0;
    widestRow = 0;
    {
        WindowFontDC window(list);
        for (int i = 0; i < TreeNodeCount; i++) {
            SendMessageA(list, LB_ADDSTRING, 0, i);
            if (searching && i > 0) {
                int p = TreeNodes[i - 1].depth, q = TreeNodes[i].depth;
                if (p - q >= 0)
                    RemoveComponents(running, p - q + 1);
                AppendName(running, TreeNodes[i].name);
            }
            if (searching && strcmp(running, target) == 0) {
                select = i;
                searching = false;
            }
            int width = TreeNodes[i].depth * TREE_INDENT + TextSize(window, ListFont(), TreeNodes[i].name).cx + 4;
            if (width > widestRow)
                widestRow = width;
        }
    }
    SendMessageA(list, LB_SETHORIZONTALEXTENT, widestRow, 0);
    RECT client;
    GetClientRect(list, &client);
    int itemHeight = (int)SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
    int visible = itemHeight > 0 ? (client.bottom - client.top) / itemHeight : 1;
    int top = select - visible / 2;
    if (top < 0)
        top = 0;
    if (top + visible > TreeNodeCount - 1)
        top = TreeNodeCount - visible > 0 ? TreeNodeCount - visible : 0;
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    SendMessageA(list, LB_SETTOPINDEX, top, 0);
    SendMessageA(list, LB_SETCURSEL, select, 0);
    SetDlgItemTextA(dialog, IDC_TREE_PATH, "");
    InvalidateRect(list, NULL, TRUE);
    SetFocus(list);
}

void ShowDrive(HWND dialog, int drive, int force)
{
    ShowHourglass();
    LoadOrScanDrive(dialog, drive, force);
    FillTreeList(dialog, drive);
    ShowTreeStatus(dialog, drive);
    HideHourglass();
}

// A key-up of Shift refreshes the file list that moving with Shift held left alone.
LRESULT CALLBACK TreeListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYUP && wParam == VK_SHIFT)
        FillFileList(GetParent(list), true);
    return CallWindowProcA(treeListProcedure, list, message, wParam, lParam);
}

BOOL OnInitDialog(HWND dialog)
{
    StretchDialogToMain(dialog, 8, adjustTable, CellHeight, TopOffset);
    PlaceAtGridRow(dialog, CellHeight, TopOffset);
    backBrush = CreateSolidBrush(SlotColor(CL_BACK));
    previewPath[0] = '\0';
    previewCount = 0;
    shownDrive = NO_DRIVE;
    if (!AllocateTreeTable()) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    pathFont = CreatePathFont();
    HINSTANCE instance = ResourceInstance();
    for (int k = 0; k < 5; k++)
        driveIcons[k] = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_DRIVE_REMOVABLE + k), IMAGE_ICON, 16, 16, 0);

    BuildDriveRecords(dialog);
    HWND drives = GetDlgItem(dialog, IDC_TREE_DRIVES);
    {
        WindowFontDC window(drives);
        HFONT font = (HFONT)SendMessageA(drives, WM_GETFONT, 0, 0);
        widestDriveName = TextSize(window, font, "X:").cx + 12;
    }
    char letter = UpperDriveLetter(CurrentPath[0]);
    for (int i = 0; i < DriveRecordCount; i++) {
        SendMessageA(drives, CB_ADDSTRING, 0, i);
        if (DriveRecords[i].name[0] == letter)
            shownDrive = i;
    }
    if (shownDrive == NO_DRIVE && DriveRecordCount > 0)
        shownDrive = 0;
    SendMessageA(drives, CB_SETCURSEL, shownDrive, 0);

    SendDlgItemMessageA(dialog, IDC_TREE_LIST, WM_SETFONT, (WPARAM)ListFont(), FALSE);
    SendDlgItemMessageA(dialog, IDC_TREE_FILES, WM_SETFONT, (WPARAM)ListFont(), FALSE);
    SendDlgItemMessageA(dialog, IDC_TREE_PATH, WM_SETFONT, (WPARAM)pathFont, FALSE);
    SetDlgItemTextA(dialog, IDC_TREE_PATH, " ");
    {
        HWND field = GetDlgItem(dialog, IDC_TREE_PATH);
        WindowFontDC window(field);
        RECT client;
        GetClientRect(field, &client);
        int zero = TextSize(window, pathFont, "0").cx;
        pathFieldChars = zero > 0 ? (client.right - client.left - 4) / zero : 0;
    }
    {
        WindowFontDC window(dialog);
        int height = TextSize(window, ListFont(), "Mj").cy;
        SendDlgItemMessageA(dialog, IDC_TREE_LIST, LB_SETITEMHEIGHT, 0, height);
        SendDlgItemMessageA(dialog, IDC_TREE_FILES, LB_SETITEMHEIGHT, 0, height);
    }
    treeListProcedure = (WNDPROC)SetWindowLongPtrA(GetDlgItem(dialog, IDC_TREE_LIST), GWLP_WNDPROC,
                                                   (LONG_PTR)TreeListProc);
    if (shownDrive != NO_DRIVE)
        PostMessageA(dialog, WM_COMMAND, IDM_TREE_LOAD, 0);
    return TRUE;
}

void OnMeasureItem(MEASUREITEMSTRUCT *measure)
{
    // The drive list's rows hold a 16-pixel icon.
    if (measure->CtlID == IDC_TREE_DRIVES && measure->itemHeight < 18)
        measure->itemHeight = 18;
}

void EndTree(HWND dialog, int result)
{
    if (Settings.treesave && shownDrive != NO_DRIVE)
        SaveTreeCache(dialog, shownDrive);
    EndDialog(dialog, result);
}

void OnDriveChanged(HWND dialog)
{
    if (Settings.treesave && shownDrive != NO_DRIVE)
        SaveTreeCache(dialog, shownDrive);
    int selection = (int)SendDlgItemMessageA(dialog, IDC_TREE_DRIVES, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return;
    shownDrive = (int)SendDlgItemMessageA(dialog, IDC_TREE_DRIVES, CB_GETITEMDATA, selection, 0);
    ShowDrive(dialog, shownDrive, 0);
}

void OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDM_TREE_LOAD:
        if (shownDrive != NO_DRIVE)
            ShowDrive(dialog, shownDrive, 0);
        break;
    case IDC_TREE_DRIVES:
        if (code == CBN_SELCHANGE)
            OnDriveChanged(dialog);
        break;
    case IDC_TREE_REFRESH:
        if (shownDrive != NO_DRIVE)
            ShowDrive(dialog, shownDrive, 1);
        break;
    case IDC_TREE_LIST:
        if (code == LBN_DBLCLK)
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        break;
    case IDOK:
        EndTree(dialog, 1);
        break;
    case IDCANCEL:
        EndTree(dialog, 0);
        break;
    }
}

void OnDestroy(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_TREE_LIST);
    if (list && treeListProcedure)
        SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)treeListProcedure);
    treeListProcedure = NULL;
    FreeTreeTable();
    if (pathFont)
        DeleteObject(pathFont);
    if (backBrush)
        DeleteObject(backBrush);
    pathFont = NULL;
    backBrush = NULL;
    shownDrive = NO_DRIVE;
}

INT_PTR CALLBACK TreeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog);
    case WM_MEASUREITEM:
        OnMeasureItem((MEASUREITEMSTRUCT *)lParam);
        return TRUE;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *item = (const DRAWITEMSTRUCT *)lParam;
        if (item->CtlID == IDC_TREE_LIST)
            DrawTreeItem(dialog, item);
        else if (item->CtlID == IDC_TREE_FILES)
            DrawFileItem(item);
        else if (item->CtlID == IDC_TREE_DRIVES)
            DrawDriveItem(item);
        return TRUE;
    }
    case WM_CTLCOLORLISTBOX: {
        int id = GetDlgCtrlID((HWND)lParam);
        if ((id == IDC_TREE_LIST || id == IDC_TREE_FILES) && backBrush)
            return (INT_PTR)backBrush;
        break;
    }
    case WM_KEYUP:
        if (wParam == VK_SHIFT)
            FillFileList(dialog, true);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_DESTROY:
        OnDestroy(dialog);
        break;
    }
    return FALSE;
}

} // namespace

int RunTreeDialog(HWND owner)
{
    HINSTANCE instance = ResourceInstance();
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_TREE), owner, TreeDialogProc, 0) == 1 ? 1 : 0;
}
