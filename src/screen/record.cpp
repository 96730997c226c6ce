// The screen record: the byte and the colours of every cell as drawn, for tests and outside tools.
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include <string.h>

enum { CELL_SINGLE, CELL_LEAD, CELL_TRAIL };

struct RecordedCell {
    char byte;
    BYTE drawn;
    BYTE part;
    COLORREF fg, bg;
};

static RecordedCell record[SCREEN_MAX_LINES][SCREEN_COLUMNS];
static int recordLines;        // 0: rows + 9 of the current settings
static bool recordChanged = true;

int ScreenRecordLines()
{
    int lines = recordLines ? recordLines : Settings.disprow + 9;
    return lines < SCREEN_MAX_LINES ? lines : SCREEN_MAX_LINES;
}

void ScreenRecordReset(int rows)
{
    memset(record, 0, sizeof record);
    recordLines = rows + 9 < SCREEN_MAX_LINES ? rows + 9 : SCREEN_MAX_LINES;
    recordChanged = true;
}

static void BlankCell(RecordedCell *cell)
{
    memset(cell, 0, sizeof *cell);
}

// A double-byte character partly overwritten loses its other half, so the record never
// holds a lone lead or trail byte.
static void BreakPairAt(RecordedCell *row, int column)
{
    if (column < 0 || column >= SCREEN_COLUMNS)
        return;
    if (row[column].part == CELL_TRAIL && column > 0)
        BlankCell(&row[column - 1]);
    if (row[column].part == CELL_LEAD && column + 1 < SCREEN_COLUMNS)
        BlankCell(&row[column + 1]);
    BlankCell(&row[column]);
}

void RecordCellText(HDC dc, int x, int y, const char *text, int length)
{
    if (CellWidth <= 0 || CellHeight <= 0 || length <= 0)
        return;
    // Rounded to the nearest cell: the mark sign may stand one pixel left of its cell.
    int column = (x + CellWidth / 2) / CellWidth;
    int line = (y - TopOffset + CellHeight / 2) / CellHeight;
    if (x + CellWidth / 2 < 0 || y - TopOffset + CellHeight / 2 < 0 || line >= SCREEN_MAX_LINES)
        return;
    COLORREF fg = GetTextColor(dc), bg = GetBkColor(dc);
    RecordedCell *row = record[line];
    for (int i = 0; i < length && column + i < SCREEN_COLUMNS; i++)
        BreakPairAt(row, column + i);
    for (int i = 0; i < length; i++) {
        int c = column + i;
        if (c >= SCREEN_COLUMNS)
            break;
        bool pair = IsLeadByte((unsigned char)text[i]) && i + 1 < length && c + 1 < SCREEN_COLUMNS;
        row[c].byte = pair || !IsLeadByte((unsigned char)text[i]) ? text[i] : ' ';
        row[c].drawn = 1;
        row[c].part = pair ? CELL_LEAD : CELL_SINGLE;
        row[c].fg = fg;
        row[c].bg = bg;
        if (pair) {
            i++;
            row[c + 1].byte = text[i];
            row[c + 1].drawn = 1;
            row[c + 1].part = CELL_TRAIL;
            row[c + 1].fg = fg;
            row[c + 1].bg = bg;
        }
    }
    recordChanged = true;
}

void ScreenRecordErase(const RECT *pixels)
{
    if (CellWidth <= 0 || CellHeight <= 0)
        return;
    for (int line = 0; line < SCREEN_MAX_LINES; line++) {
        int y = LineY(line);
        if (y < pixels->top || y >= pixels->bottom)
            continue;
        for (int c = 0; c < SCREEN_COLUMNS; c++) {
            int x = CellX(c);
            if (x >= pixels->left && x < pixels->right && record[line][c].drawn) {
                BreakPairAt(record[line], c);
                recordChanged = true;
            }
        }
    }
}

std::string ScreenLineText(int line)
{
    std::string text(SCREEN_COLUMNS, ' ');
    if (line < 0 || line >= SCREEN_MAX_LINES)
        return text;
    for (int c = 0; c < SCREEN_COLUMNS; c++)
        if (record[line][c].drawn)
            text[c] = record[line][c].byte;
    return text;
}

bool ScreenCellColors(int line, int column, COLORREF *fg, COLORREF *bg)
{
    if (line < 0 || line >= SCREEN_MAX_LINES || column < 0 || column >= SCREEN_COLUMNS ||
        !record[line][column].drawn)
        return false;
    *fg = record[line][column].fg;
    *bg = record[line][column].bg;
    return true;
}


bool ScreenRecordChangedSinceDump()
{
    return recordChanged;
}

void ScreenRecordDumped()
{
    recordChanged = false;
}
