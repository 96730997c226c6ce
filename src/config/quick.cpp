#include "config/quick.h"
#include "config/registry.h"
#include "config/settings.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/keybar.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include "base/commands.h"
#include "quick_ids.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char caption[] = "Kelpo - QuickAccess";

int LoadQuickList(char (*list)[QUICK_ITEM])
{
    int stored = RegReadWord("qcount", 0);
    int count = 0;
    for (; count < stored && count < QUICK_MAX; count++) {
        char name[16];
        snprintf(name, sizeof name, "quick%03d", count);
        RegReadString(name, " ", list[count], QUICK_ITEM);
        if (strcmp(list[count], " ") == 0 || list[count][0] == '\0')
            break;
    }
    return count;
}

void SaveQuickList(char (*list)[QUICK_ITEM], int count, int chosen)
{
    int written = 0;
    char name[16];
    if (chosen >= 0 && chosen < count) {
        snprintf(name, sizeof name, "quick%03d", written++);
        RegWriteString(name, list[chosen]);
    }
    for (int i = 0; i < count; i++) {
        if (i == chosen)
            continue;
        snprintf(name, sizeof name, "quick%03d", written++);
        RegWriteString(name, list[i]);
    }
    RegWriteWord("qcount", (WORD)written);
}

int RegisterQuickPath(char (*list)[QUICK_ITEM], int count, const char *path)
{
    char entry[QUICK_ITEM];
    lstrcpynA(entry, path, sizeof entry);
    int found = -1;
    for (int i = 0; i < count && found < 0; i++)
        if (strcmp(list[i], entry) == 0)
            found = i;
    int last = found >= 0 ? found : (count < QUICK_MAX ? count : QUICK_MAX - 1);
    memmove(list[1], list[0], (size_t)last * QUICK_ITEM);
    strcpy(list[0], entry);
    return found >= 0 || count == QUICK_MAX ? count : count + 1;
}

int DeleteQuickPath(char (*list)[QUICK_ITEM], int count, int index)
{
    if (index < 0 || index >= count)
        return count;
    memmove(list[index], list[index + 1], (size_t)(count - index - 1) * QUICK_ITEM);
    return count - 1;
}

// ---- the dialog ----

static char (*quickList)[QUICK_ITEM];
static int quickCount;
static HBRUSH listBrush;
static WNDPROC forwarded[4];
static const int forwardedIds[4] = {IDC_QUICK_REGISTER, IDC_QUICK_DELETE, IDOK, IDCANCEL};

static void Refill(HWND dialog, int select)
{
    HWND list = GetDlgItem(dialog, IDC_QUICK_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < quickCount; i++)
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)i);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    if (quickCount > 0)
        SendMessageA(list, LB_SETCURSEL, select < quickCount ? select : quickCount - 1, 0);
    InvalidateRect(list, NULL, TRUE);
    SetFocus(list);
}

static void RegisterCurrent(HWND dialog)
{
    char path[PATH_BUFFER];
    lstrcpynA(path, CurrentPath, sizeof path);
    StripBackslash(path);
    // Cut to the slot, the path would name some other directory, or none.
    if (strlen(path) >= QUICK_ITEM) {
        MessageDialog(dialog, "ﾊﾟｽが長すぎるため登録できません", caption, 48);
        SetFocus(GetDlgItem(dialog, IDC_QUICK_LIST));
        return;
    }
    quickCount = RegisterQuickPath(quickList, quickCount, path);
    Refill(dialog, 0);
}

static void DeleteSelected(HWND dialog)
{
    int selected = (int)SendDlgItemMessageA(dialog, IDC_QUICK_LIST, LB_GETCURSEL, 0, 0);
    if (selected < 0)
        return;
    quickCount = DeleteQuickPath(quickList, quickCount, selected);
    Refill(dialog, selected);
}

static void Choose(HWND dialog)
{
    int selected = (int)SendDlgItemMessageA(dialog, IDC_QUICK_LIST, LB_GETCURSEL, 0, 0);
    if (selected < 0 || selected >= quickCount) {
        RegWriteWord("qcount", 0);
        EndDialog(dialog, 0);
        return;
    }
    // A directory removed or renamed since it was registered would be listed as its nearest
    // parent with no entries: the dialog stays, so the entry can be deleted or another chosen.
    DWORD attributes = GetFileAttributesA(quickList[selected]);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        char text[QUICK_ITEM + 64];
        snprintf(text, sizeof text, "%s\nﾃﾞｨﾚｸﾄﾘが見つかりません", quickList[selected]);
        MessageDialog(dialog, text, caption, 48);
        SetFocus(GetDlgItem(dialog, IDC_QUICK_LIST));
        return;
    }
    lstrcpynA(CurrentPath, quickList[selected], PATH_BUFFER);
    SaveQuickList(quickList, quickCount, selected);
    EndDialog(dialog, 1);
}

static void OnQuickInit(HWND dialog)
{
    quickCount = LoadQuickList(quickList);
    CenterOnMainWindow(dialog);
    listBrush = CreateSolidBrush(SlotColor(CL_BACK));
    HWND list = GetDlgItem(dialog, IDC_QUICK_LIST);
    if (MainFont)
        SendMessageA(list, WM_SETFONT, (WPARAM)MainFont, FALSE);
    {
        WindowFontDC dc(list);
        SIZE size = {0, CellHeight};
        GetTextExtentPoint32A(dc, "Mj", 2, &size);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, size.cy > 0 ? size.cy : CellHeight);
    }
    for (int i = 0; i < 4; i++)
        forwarded[i] = SubclassControl(dialog, forwardedIds[i], AllKeyForwarder);
    Refill(dialog, 0);
    if (quickCount == 0)
        SetFocus(GetDlgItem(dialog, IDC_QUICK_REGISTER));
}

static void OnDrawQuickItem(const DRAWITEMSTRUCT *item)
{
    if (item->itemID == (UINT)-1)
        return;
    COLORREF back = SlotColor(CL_BACK), fore = SlotColor(CL_SUBDIR);
    bool focused = (item->itemState & ODS_FOCUS) != 0, selected = (item->itemState & ODS_SELECTED) != 0;
    {
        OwnedObject brush(item->hDC, CreateSolidBrush(focused ? fore : back));
        OwnedObject pen(item->hDC, CreatePen(PS_SOLID, 1, selected ? fore : back));
        Rectangle(item->hDC, item->rcItem.left, item->rcItem.top, item->rcItem.right, item->rcItem.bottom);
    }
    int index = (int)item->itemData;
    if (index < 0 || index >= quickCount)
        return;
    SetTextColor(item->hDC, focused ? back : fore);
    SetBkMode(item->hDC, TRANSPARENT);
    SelectedObject font(item->hDC, MainFont);
    TextOutA(item->hDC, item->rcItem.left + 2, item->rcItem.top, quickList[index], (int)strlen(quickList[index]));
}

static INT_PTR CALLBACK QuickDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnQuickInit(dialog);
        return FALSE;
    case WM_DRAWITEM:
        OnDrawQuickItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_CTLCOLORLISTBOX:
        return (INT_PTR)listBrush;
    case WM_VKEYTOITEM:
        if (LOWORD(wParam) == VK_INSERT) {
            RegisterCurrent(dialog);
            return -2;
        }
        if (LOWORD(wParam) == VK_DELETE) {
            DeleteSelected(dialog);
            return -2;
        }
        return -1;
    case WM_FORWARDED_KEY:
        // Insert and Delete work while a button has the focus too.
        if (wParam == WM_KEYDOWN && (lParam == VK_INSERT || lParam == VK_DELETE)) {
            if (lParam == VK_INSERT)
                RegisterCurrent(dialog);
            else
                DeleteSelected(dialog);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        }
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_QUICK_REGISTER:
            RegisterCurrent(dialog);
            return TRUE;
        case IDC_QUICK_DELETE:
            DeleteSelected(dialog);
            return TRUE;
        case IDC_QUICK_LIST:
            if (HIWORD(wParam) == LBN_DBLCLK)
                Choose(dialog);
            return TRUE;
        case IDOK:
            Choose(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        for (int i = 0; i < 4; i++)
            RestoreControl(dialog, forwardedIds[i], forwarded[i]);
        if (listBrush)
            DeleteObject(listBrush);
        listBrush = NULL;
        break;
    }
    return FALSE;
}

int RunQuickAccess(HWND owner)
{
    quickList = (char (*)[QUICK_ITEM])LocalAlloc(LPTR, QUICK_MAX * QUICK_ITEM);
    if (!quickList) {
        MessageDialog(owner, "ｸｲｯｸｱｸｾｽ用のﾒﾓﾘを確保できません", caption, 16);
        return 0;
    }
    HINSTANCE instance = ResourceInstance();
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_QUICK), owner, QuickDialogProc, 0);
    LocalFree(quickList);
    quickList = NULL;
    return result == 1;
}

void QuickCommand(HWND hwnd)
{
    if (ScreenMode != 0)
        return;
    if (RunQuickAccess(hwnd)) {
        PageTop = 0;
        CursorSlot = PrevSlot = -1;
        ReloadRequest = 1;
        RepaintGrid(hwnd);
    }
    WindowFontDC dc(hwnd);
    DrawKeyBar(dc, false, -1);
}
