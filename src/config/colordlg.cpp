#include "config/colordlg.h"
#include "config/settings.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include "color_ids.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char *const ColorLabels[COLOR_SLOT_COUNT] = {
    "背景", "外枠", "枠のﾀｲﾄﾙ・時計", "枠内ｲﾝﾌｫﾒｰｼｮﾝ", "枠内の数字・ﾌｧｲﾙ名等", "SYSTEM属性", "HIDDEN属性",
    "READ ONLY属性", "通常ﾌｧｲﾙ", "VOLUME LABEL", "ｻﾌﾞﾃﾞｨﾚｸﾄﾘ", "'.' ﾃﾞｨﾚｸﾄﾘ", "ﾏｰｸ", "Treeの表示色",
    "Viewの文字色", "Viewの背景色", "Viewの改行色", "ﾌｧﾝｸｼｮﾝ", "注目ﾌｧﾝｸｼｮﾝ",
};

static const int editIds[3] = {IDC_COLOR_RED, IDC_COLOR_GREEN, IDC_COLOR_BLUE};
static const int scrollIds[3] = {IDC_COLOR_RED_SCROLL, IDC_COLOR_GREEN_SCROLL, IDC_COLOR_BLUE_SCROLL};

static COLORREF working[COLOR_SLOT_COUNT], saved[COLOR_SLOT_COUNT];
static BYTE savedRealcol;
static bool applied, filling;
static RECT previewRect;

int ColorComponentFromText(const char *text)
{
    long value = strtol(text, NULL, 10);
    return value < 0 ? 0 : value > 255 ? 255 : (int)value;
}

static int Selected(HWND dialog)
{
    int row = (int)SendDlgItemMessageA(dialog, IDC_COLOR_LIST, LB_GETCURSEL, 0, 0);
    return row >= 0 && row < COLOR_SLOT_COUNT ? row : 0;
}

static int Component(COLORREF color, int part)
{
    return part == 0 ? GetRValue(color) : part == 1 ? GetGValue(color) : GetBValue(color);
}

static COLORREF WithComponent(COLORREF color, int part, int value)
{
    int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    (part == 0 ? r : part == 1 ? g : b) = value;
    return RGB(r, g, b);
}

static void Frame3d(HDC dc, const RECT *r, bool raised)
{
    OwnedObject shadow(dc, CreatePen(PS_SOLID, 1, GetSysColor(raised ? COLOR_BTNSHADOW : COLOR_3DHILIGHT)));
    MoveToEx(dc, r->left, r->bottom - 1, NULL);
    LineTo(dc, r->right - 1, r->bottom - 1);
    LineTo(dc, r->right - 1, r->top - 1);
    OwnedObject light(dc, CreatePen(PS_SOLID, 1, GetSysColor(raised ? COLOR_3DHILIGHT : COLOR_BTNSHADOW)));
    MoveToEx(dc, r->left, r->bottom - 1, NULL);
    LineTo(dc, r->left, r->top);
    LineTo(dc, r->right - 1, r->top);
}

// The left half shows the colour as a brush, the right half as the background of text.
static void DrawPreview(HWND dialog)
{
    WindowFontDC dc(dialog);
    COLORREF color = working[Selected(dialog)];
    {
        OwnedObject brush(dc, CreateSolidBrush(color));
        SelectedObject noPen(dc, GetStockObject(NULL_PEN));
        Rectangle(dc, previewRect.left, previewRect.top, previewRect.right + 1, previewRect.bottom + 1);
    }
    Frame3d(dc, &previewRect, false);
    HRGN right = CreateRectRgn((previewRect.left + previewRect.right) / 2, previewRect.top + 1, previewRect.right - 1,
                               previewRect.bottom - 1);
    SelectClipRgn(dc, right);
    SetBkColor(dc, color);
    SetBkMode(dc, OPAQUE);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    for (int y = previewRect.top; y < previewRect.bottom; y += metrics.tmHeight > 0 ? metrics.tmHeight : 12)
        TextOutA(dc, (previewRect.left + previewRect.right) / 2, y, "                    ", 20);
    SelectClipRgn(dc, NULL);
    DeleteObject(right);
}

static void ShowComponents(HWND dialog, int only)
{
    COLORREF color = working[Selected(dialog)];
    filling = true;
    for (int part = 0; part < 3; part++) {
        if (only >= 0 && part != only)
            continue;
        SetDlgItemInt(dialog, editIds[part], Component(color, part), FALSE);
        SetScrollPos(GetDlgItem(dialog, scrollIds[part]), SB_CTL, Component(color, part), TRUE);
    }
    filling = false;
}

static void OnColorInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    memcpy(working, Settings.colors, sizeof working);
    memcpy(saved, working, sizeof saved);
    savedRealcol = Settings.realcol;
    applied = false;
    HWND list = GetDlgItem(dialog, IDC_COLOR_LIST);
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        SendMessageA(list, LB_ADDSTRING, 0, i);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    GetControlRect(dialog, IDC_COLOR_PREVIEW, &previewRect);
    for (int part = 0; part < 3; part++) {
        SendDlgItemMessageA(dialog, editIds[part], EM_LIMITTEXT, 3, 0);
        SetScrollRange(GetDlgItem(dialog, scrollIds[part]), SB_CTL, 0, 255, FALSE);
    }
    CheckDlgButton(dialog, IDC_COLOR_REALCOL, Settings.realcol ? BST_CHECKED : BST_UNCHECKED);
    ShowComponents(dialog, -1);
}

static void OnDrawColorItem(const DRAWITEMSTRUCT *item)
{
    if (item->itemID == (UINT)-1 || item->itemData >= COLOR_SLOT_COUNT)
        return;
    COLORREF text = DrawListItemBackground(item);
    RECT swatch = {item->rcItem.left + 2, item->rcItem.top + 1, item->rcItem.left + 32, item->rcItem.bottom - 1};
    {
        OwnedObject brush(item->hDC, CreateSolidBrush(working[item->itemData]));
        SelectedObject noPen(item->hDC, GetStockObject(NULL_PEN));
        Rectangle(item->hDC, swatch.left, swatch.top, swatch.right + 1, swatch.bottom + 1);
    }
    Frame3d(item->hDC, &swatch, true);
    SetTextColor(item->hDC, text);
    SetBkMode(item->hDC, TRANSPARENT);
    const char *label = ColorLabels[item->itemData];
    TextOutA(item->hDC, item->rcItem.left + 36, item->rcItem.top + 1, label, (int)strlen(label));
}

static void OnComponentEdited(HWND dialog, int part)
{
    if (filling)
        return;
    char text[8];
    GetDlgItemTextA(dialog, editIds[part], text, sizeof text);
    int row = Selected(dialog);
    int value = ColorComponentFromText(text);
    working[row] = WithComponent(working[row], part, value);
    SetScrollPos(GetDlgItem(dialog, scrollIds[part]), SB_CTL, value, TRUE);
    DrawPreview(dialog);
    InvalidateRect(GetDlgItem(dialog, IDC_COLOR_LIST), NULL, FALSE);
}

static void OnScroll(HWND dialog, HWND bar, int code, int thumb)
{
    int part = -1;
    for (int i = 0; i < 3; i++)
        if (bar == GetDlgItem(dialog, scrollIds[i]))
            part = i;
    if (part < 0)
        return;
    int row = Selected(dialog);
    int value = Component(working[row], part), was = value;
    switch (code) {
    case SB_LINELEFT: value--; break;
    case SB_LINERIGHT: value++; break;
    case SB_PAGELEFT: value -= 16; break;
    case SB_PAGERIGHT: value += 16; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: value = thumb; break;
    }
    value = value < 0 ? 0 : value > 255 ? 255 : value;
    if (value == was)
        return;
    working[row] = WithComponent(working[row], part, value);
    ShowComponents(dialog, part);
    DrawPreview(dialog);
    InvalidateRect(GetDlgItem(dialog, IDC_COLOR_LIST), NULL, FALSE);
}

static void TakeColors(HWND dialog)
{
    Settings.realcol = IsDlgButtonChecked(dialog, IDC_COLOR_REALCOL) == BST_CHECKED ? 1 : 0;
    memcpy(Settings.colors, working, sizeof working);
}

static void OnColorCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_COLOR_LIST:
        if (notification == LBN_SELCHANGE) {
            ShowComponents(dialog, -1);
            DrawPreview(dialog);
        }
        break;
    case IDC_COLOR_RED:
    case IDC_COLOR_GREEN:
    case IDC_COLOR_BLUE:
        if (notification == EN_CHANGE)
            OnComponentEdited(dialog, id == IDC_COLOR_RED ? 0 : id == IDC_COLOR_GREEN ? 1 : 2);
        break;
    case IDC_COLOR_STANDARD:
        for (int i = 0; i < COLOR_SLOT_COUNT; i++)
            working[i] = RGB(ColorDefaults[i].r, ColorDefaults[i].g, ColorDefaults[i].b);
        ShowComponents(dialog, -1);
        DrawPreview(dialog);
        InvalidateRect(GetDlgItem(dialog, IDC_COLOR_LIST), NULL, TRUE);
        break;
    case IDC_COLOR_APPLY:
        applied = true;
        TakeColors(dialog);
        if (g_mainWnd)
            RepaintAll(g_mainWnd);
        break;
    case IDOK:
        TakeColors(dialog);
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        if (!applied) {
            EndDialog(dialog, 0);
            break;
        }
        Settings.realcol = savedRealcol;
        memcpy(working, saved, sizeof working);
        memcpy(Settings.colors, working, sizeof working);
        EndDialog(dialog, 1);
        break;
    }
}

static INT_PTR CALLBACK ColorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnColorInit(dialog);
        return TRUE;
    case WM_MEASUREITEM:
        ((MEASUREITEMSTRUCT *)lParam)->itemHeight = 16;
        return TRUE;
    case WM_DRAWITEM:
        OnDrawColorItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_PAINT:
        // The preview is drawn over the dialog after the dialog itself.
        DefWindowProcA(dialog, message, wParam, lParam);
        DrawPreview(dialog);
        return TRUE;
    case WM_HSCROLL:
        OnScroll(dialog, (HWND)lParam, LOWORD(wParam), (short)HIWORD(wParam));
        return TRUE;
    case WM_COMMAND:
        OnColorCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

int RunColorDialog(HWND owner)
{
    HINSTANCE instance = ResourceInstance();
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_COLORS), owner, ColorDialogProc, 0);
}

void ColorCommand(HWND hwnd)
{
    if (RunColorDialog(hwnd))
        RepaintAll(hwnd);
    SaveSettings();
}
