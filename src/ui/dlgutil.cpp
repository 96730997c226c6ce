#include "ui/msgdlg.h"
#include "filelist/pathutil.h"
#include "base/commands.h"
#include <string.h>

static const char PREVIOUS_PROCEDURE[] = "KelpoPreviousProc";
static HCURSOR replacedCursor;

HINSTANCE ResourceInstance()
{
    return g_instance ? g_instance : GetModuleHandleA(NULL);
}

static void MainRect(RECT *rect)
{
    if (!g_mainWnd || !GetWindowRect(g_mainWnd, rect))
        SystemParametersInfoA(SPI_GETWORKAREA, 0, rect, 0);
}

static int CenteredX(const RECT &main, int width)
{
    return main.left + (main.right - main.left) / 2 - width / 2;
}

void CenterOnMainWindow(HWND dialog)
{
    RECT main, own;
    MainRect(&main);
    GetWindowRect(dialog, &own);
    int w = own.right - own.left, h = own.bottom - own.top;
    MoveWindow(dialog, CenteredX(main, w), main.top + (main.bottom - main.top) / 2 - h / 2, w, h, TRUE);
}

void PlaceAtGridRow(HWND dialog, int cellHeight, int topOffset)
{
    if (!g_mainWnd) {
        CenterOnMainWindow(dialog);
        return;
    }
    RECT main, own;
    MainRect(&main);
    GetWindowRect(dialog, &own);
    int w = own.right - own.left, h = own.bottom - own.top;
    POINT top = {0, (int)(cellHeight * 0.5) + 6 * cellHeight + topOffset};
    ClientToScreen(g_mainWnd, &top);
    MoveWindow(dialog, CenteredX(main, w), top.y, w, h, TRUE);
}

void StretchDialogToMain(HWND dialog, int count, const ControlAdjust *table, int cellHeight, int topOffset)
{
    RECT main, own;
    MainRect(&main);
    GetWindowRect(dialog, &own);
    int w = own.right - own.left, h = own.bottom - own.top;
    int dx = main.right - w - main.left - 16;
    int dy = main.bottom - 10 * cellHeight - topOffset - h - main.top;
    if (dx < 0)
        dx = 0;
    if (dy < 0)
        dy = 0;
    if (dx == 0 && dy == 0)
        return;
    SetWindowPos(dialog, NULL, 0, 0, w + dx, h + dy, SWP_NOMOVE | SWP_NOZORDER);
    for (int i = 0; i < count; i++) {
        HWND control = GetDlgItem(dialog, table[i].id);
        if (!control)
            continue;
        RECT r;
        GetControlRect(dialog, table[i].id, &r);
        int flags = table[i].flags;
        int x = r.left + (flags & ADJUST_MOVE_RIGHT ? dx : 0);
        int y = r.top + (flags & ADJUST_MOVE_DOWN ? dy : 0);
        int cw = r.right - r.left + (flags & ADJUST_WIDEN ? dx : 0);
        int ch = r.bottom - r.top + (flags & ADJUST_HEIGHTEN ? dy : 0);
        MoveWindow(control, x, y, cw, ch, FALSE);
    }
}

void GetControlRect(HWND dialog, int id, RECT *rect)
{
    SetRectEmpty(rect);
    HWND control = GetDlgItem(dialog, id);
    if (!control || !GetWindowRect(control, rect))
        return;
    MapWindowPoints(NULL, dialog, (POINT *)rect, 2);
}

WNDPROC SubclassControl(HWND dialog, int id, WNDPROC procedure)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control)
        return NULL;
    WNDPROC previous = (WNDPROC)GetPropA(control, PREVIOUS_PROCEDURE);
    if (previous) {
        // Already ours: change the forwarder, keep the original procedure.
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)procedure);
        return previous;
    }
    previous = (WNDPROC)SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)procedure);
    SetPropA(control, PREVIOUS_PROCEDURE, (HANDLE)previous);
    return previous;
}

void RestoreControl(HWND dialog, int id, WNDPROC procedure)
{
    HWND control = GetDlgItem(dialog, id);
    if (!control || !procedure)
        return;
    SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)procedure);
    RemovePropA(control, PREVIOUS_PROCEDURE);
}

static LRESULT ForwardKey(HWND control, UINT message, WPARAM wParam, LPARAM lParam, bool forwarded)
{
    WNDPROC previous = (WNDPROC)GetPropA(control, PREVIOUS_PROCEDURE);
    if (message == WM_KEYDOWN && forwarded && SendMessageA(GetParent(control), WM_FORWARDED_KEY, WM_KEYDOWN, wParam))
        return 0;
    if (message == WM_NCDESTROY) {
        RemovePropA(control, PREVIOUS_PROCEDURE);
        if (previous)
            SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)previous);
    }
    if (!previous)
        return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(previous, control, message, wParam, lParam);
}

LRESULT CALLBACK ArrowKeyForwarder(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ForwardKey(control, message, wParam, lParam, wParam == VK_UP || wParam == VK_DOWN);
}

LRESULT CALLBACK ArrowInsertKeyForwarder(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ForwardKey(control, message, wParam, lParam, wParam == VK_UP || wParam == VK_DOWN || wParam == VK_INSERT);
}

LRESULT CALLBACK AllKeyForwarder(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ForwardKey(control, message, wParam, lParam, true);
}

static bool IsRadioButton(HWND control)
{
    char name[16] = "";
    GetClassNameA(control, name, sizeof name);
    DWORD type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiA(name, "Button") == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

void TabStopOnCheckedRadio(HWND radio)
{
    if (!radio || !IsRadioButton(radio))
        return;
    HWND first = radio;
    while (!(GetWindowLongA(first, GWL_STYLE) & WS_GROUP)) {
        HWND before = GetWindow(first, GW_HWNDPREV);
        if (!before || !IsRadioButton(before))
            break;
        first = before;
    }
    HWND stop = first;
    for (HWND button = first; button && IsRadioButton(button); button = GetWindow(button, GW_HWNDNEXT)) {
        if (button != first && (GetWindowLongA(button, GWL_STYLE) & WS_GROUP))
            break;
        if (SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
            stop = button;
    }
    for (HWND button = first; button && IsRadioButton(button); button = GetWindow(button, GW_HWNDNEXT)) {
        LONG style = GetWindowLongA(button, GWL_STYLE);
        if (button != first && (style & WS_GROUP))
            break;
        SetWindowLongA(button, GWL_STYLE, button == stop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

void SetEditTextCaret(HWND dialog, int id, const char *text, int position)
{
    HWND edit = GetDlgItem(dialog, id);
    if (!edit)
        return;
    SetWindowTextA(edit, text);
    int at = position < 0 ? GetWindowTextLengthA(edit) : position;
    SendMessageA(edit, EM_SETSEL, at, at);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
}

// The text is copied first: it may be one of the history's own entries.
void PushHistory(char (*history)[INPUT_HISTORY_ITEM], const char *text)
{
    char item[INPUT_HISTORY_ITEM];
    TruncateBytes(text ? text : "", item, INPUT_HISTORY_ITEM - 1);
    if (!item[0])
        return;
    for (int i = 0; i < INPUT_HISTORY_COUNT && history[i][0]; i++) {
        if (strcmp(history[i], item) == 0) {
            if (i < INPUT_HISTORY_COUNT - 1)
                memmove(history[i], history[i + 1], (size_t)(INPUT_HISTORY_COUNT - 1 - i) * INPUT_HISTORY_ITEM);
            break;
        }
    }
    memmove(history[1], history[0], (size_t)(INPUT_HISTORY_COUNT - 1) * INPUT_HISTORY_ITEM);
    strcpy(history[0], item);
}

static void ShowHistoryEntry(HWND dialog, int id, char (*history)[INPUT_HISTORY_ITEM], int *at, int next, char *edited,
                             int editedSize)
{
    if (*at < 0)
        GetDlgItemTextA(dialog, id, edited, editedSize);
    *at = next;
    SetEditTextCaret(dialog, id, next < 0 ? edited : history[next], -1);
}

void WalkInputHistory(HWND dialog, int id, char (*history)[INPUT_HISTORY_ITEM], UINT vk, int *at, char *edited,
                      int editedSize)
{
    if (vk == VK_DOWN) {
        int next = *at + 1;
        if (next < INPUT_HISTORY_COUNT && history[next][0])
            ShowHistoryEntry(dialog, id, history, at, next, edited, editedSize);
    } else if (vk == VK_UP && *at >= 0) {
        ShowHistoryEntry(dialog, id, history, at, *at - 1, edited, editedSize);
    }
}

COLORREF DrawListItemBackground(const DRAWITEMSTRUCT *item)
{
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    HDC dc = item->hDC;
    RECT r = item->rcItem;
    HBRUSH brush = CreateSolidBrush(GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    FillRect(dc, &r, brush);
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    if (item->itemState & ODS_FOCUS) {
        HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
        int oldRop = SetROP2(dc, R2_XORPEN);
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        SetROP2(dc, oldRop);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    return GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
}

void ShowHourglass()
{
    replacedCursor = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    ShowCursor(TRUE);
}

void HideHourglass()
{
    ShowCursor(FALSE);
    SetCursor(replacedCursor);
}
