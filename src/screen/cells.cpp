// The text primitives: every text of the screen goes through them and into the screen record.
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "screen/screendc.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

void PutCellText(HDC dc, int x, int y, const char *text, int length)
{
    COLORREF background = SlotColor(ScreenMode ? CL_VIEWBK : CL_BACK);
    if (GetBkColor(dc) == background) {
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, text, length, &extent);
        OwnedObject brush(dc, CreateSolidBrush(background));
        SelectedObject noPen(dc, GetStockObject(NULL_PEN));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        Rectangle(dc, x, y, x + extent.cx + 1, y + extent.cy + 1);
        TextOutA(dc, x, y, text, length);
        SetBkMode(dc, oldMode);
    } else {
        TextOutA(dc, x, y, text, length);
    }
    RecordCellText(dc, x, y, text, length);
}

void PlainCellText(HDC dc, int x, int y, const char *text, int length)
{
    TextOutA(dc, x, y, text, length);
    RecordCellText(dc, x, y, text, length);
}

void CellText(HDC dc, int x, int y, const char *text, int length)
{
    if (Settings.realcol)
        PutCellText(dc, x, y, text, length);
    else
        PlainCellText(dc, x, y, text, length);
}

void DrawCells(HDC dc, int column, int line, COLORREF fg, COLORREF bg, const char *text, int length)
{
    SetTextColor(dc, fg);
    SetBkColor(dc, bg);
    CellText(dc, CellX(column), LineY(line), text, length);
}

void StatusLine(HDC dc, const char *text)
{
    char cut[80], line[80];
    // Cut between whole characters so that no half of a double-byte character is drawn.
    TruncateBytes(text && text[0] ? text : " ", cut, 76);
    snprintf(line, sizeof line, "%-76.76s", cut);
    if (dc) {
        DrawCells(dc, 2, Settings.disprow + 7, SlotColor(CL_DATA), SlotColor(CL_BACK), line, 76);
    } else if (g_mainWnd) {
        WindowFontDC own(g_mainWnd);
        DrawCells(own, 2, Settings.disprow + 7, SlotColor(CL_DATA), SlotColor(CL_BACK), line, 76);
    } else {
        // No window: the line still reaches the screen record.
        HDC memory = CreateCompatibleDC(NULL);
        {
            SelectedObject font(memory, MainFont);
            DrawCells(memory, 2, Settings.disprow + 7, SlotColor(CL_DATA), SlotColor(CL_BACK), line, 76);
        }
        DeleteDC(memory);
    }
}
