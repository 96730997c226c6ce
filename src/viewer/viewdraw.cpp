// Drawing the viewer screen: the header with the file name and line number, the hex
// header, the text slots and the function-key bar with View lit.
#include "viewer/viewer.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/keybar.h"
#include "screen/screendc.h"
#include <stdio.h>
#include <string.h>

enum {
    HEADER_LINE = 0,
    HEX_HEADER_LINE = 1,
    FIRST_TEXT_LINE = 2,
    LINE_NUMBER_LABEL_COLUMN = 61,
    LINE_NUMBER_COLUMN = 69,
    FILE_NAME_COLUMN = 11,
    SYMBOL_LEFT_ARROW = 0xAC,
    SYMBOL_RETURN_ARROW = 0xBF,
};

static const COLORREF HEX_HEADER_TEXT = RGB(0, 0, 0);
static const COLORREF HEX_HEADER_BACK = RGB(0, 255, 0);

int ViewerPageLines()
{
    return Settings.disprow + 6;
}

int ViewerLargestTop()
{
    int top = ViewerLineCount - ViewerPageLines();
    return top > 0 ? top : 0;
}

// One character of the symbol font over a cell that a blank has cleared first.
static void DrawSymbol(HDC dc, int column, int line, COLORREF fg, COLORREF bg, BYTE symbol)
{
    DrawCells(dc, column, line, fg, bg, " ", 1);
    if (!SymbolFont)
        return;
    SelectedObject font(dc, SymbolFont);
    char text[1] = {(char)symbol};
    DrawCells(dc, column, line, fg, bg, text, 1);
}

// A line with markers goes cell by cell: the caret and the end-of-file arrow have colours of their own.
static void DrawMarkedLine(HDC dc, const ViewerLine *record, int line)
{
    COLORREF view = SlotColor(CL_VIEW), back = SlotColor(CL_VIEWBK), mark = SlotColor(CL_VIEWCR);
    int end = (int)strnlen(record->text, VIEWER_COLUMNS);
    for (int column = 0; column < VIEWER_COLUMNS;) {
        BYTE b = column < end ? (BYTE)record->text[column] : ' ';
        if (b == VIEWER_MARKER) {
            DrawCells(dc, column, line, mark, back, "^", 1);
            column++;
        } else if (b == VIEWER_EOF_BYTE) {
            DrawSymbol(dc, column, line, back, mark, SYMBOL_LEFT_ARROW);
            column++;
        } else if (IsLeadByte(b) && column + 1 < end) {
            DrawCells(dc, column, line, view, back, record->text + column, 2);
            column += 2;
        } else {
            char text[1] = {(char)b};
            DrawCells(dc, column, line, view, back, text, 1);
            column++;
        }
    }
}

void DrawViewerLine(HDC dc, int slot, int top)
{
    int line = FIRST_TEXT_LINE + slot;
    int r = top + slot;
    const ViewerLine *record = ViewerLines && r >= 0 && r < ViewerLineCount ? &ViewerLines[r] : NULL;
    if (record && (record->flags & VIEWER_MARKERS)) {
        DrawMarkedLine(dc, record, line);
    } else {
        char text[VIEWER_COLUMNS + 1];
        snprintf(text, sizeof text, "%-80.80s", record ? record->text : " ");
        DrawCells(dc, 0, line, SlotColor(CL_VIEW), SlotColor(CL_VIEWBK), text, VIEWER_COLUMNS);
    }
    if (record && Settings.viewcr && !HexForm && (record->flags & VIEWER_LINE_END) &&
        record->length < VIEWER_COLUMNS)
        DrawSymbol(dc, record->length, line, SlotColor(CL_VIEWCR), SlotColor(CL_VIEWBK), SYMBOL_RETURN_ARROW);
}

void DrawViewerBody(HDC dc)
{
    if (HexForm)
        DrawCells(dc, 0, HEX_HEADER_LINE, HEX_HEADER_TEXT, HEX_HEADER_BACK, ViewerHexHeader,
                  (int)strlen(ViewerHexHeader));
    int slots = ViewerPageLines();
    for (int slot = 0; slot < slots; slot++)
        DrawViewerLine(dc, slot, ViewerTop);
}

void DrawLineNumber(HDC dc)
{
    DrawCells(dc, LINE_NUMBER_LABEL_COLUMN, HEADER_LINE, SlotColor(CL_VIEWCR), SlotColor(CL_VIEWBK), "Line No:", 8);
    char text[32];
    int length = snprintf(text, sizeof text, "%5d/%5d", ViewerTop + 1, ViewerLineCount);
    DrawCells(dc, LINE_NUMBER_COLUMN, HEADER_LINE, SlotColor(CL_VIEW), SlotColor(CL_VIEWBK), text, length);
}

void DrawViewerHeader(HDC dc)
{
    COLORREF text = SlotColor(CL_BACK), back = SlotColor(CL_INFO);
    DrawCells(dc, 0, HEADER_LINE, text, back, "File name: ", FILE_NAME_COLUMN);
    int length = (int)strlen(ViewerHeaderName);
    if (length > 0)
        DrawCells(dc, FILE_NAME_COLUMN, HEADER_LINE, text, back, ViewerHeaderName, length);
}

void PaintViewerScreen(HDC dc)
{
    DrawViewerHeader(dc);
    DrawLineNumber(dc);
    DrawKeyBar(dc, true, KEYBAR_LIT_VIEW);
    DrawViewerBody(dc);
}

// The text area is drawn anew rather than moved on the screen, so that the screen record
// follows every cell exactly.
void DrawViewerPage(HWND hwnd)
{
    WindowFontDC dc(hwnd);
    if (!dc)
        return;
    DrawLineNumber(dc);
    DrawViewerBody(dc);
}
