#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "app/mainwnd.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

int CellWidth = 8;
int CellHeight = 16;
int TopOffset;
RECT GridRect;
HFONT MainFont;
HFONT SymbolFont;

COLORREF SlotColor(int slot)
{
    return Settings.colors[slot];
}

int CellX(int column)
{
    return column * CellWidth;
}

int LineY(int line)
{
    return line * CellHeight + TopOffset;
}

// ---- fonts and geometry ----

void DeleteScreenFonts()
{
    if (MainFont)
        DeleteObject(MainFont);
    if (SymbolFont)
        DeleteObject(SymbolFont);
    MainFont = NULL;
    SymbolFont = NULL;
}

void CreateScreenFonts()
{
    DeleteScreenFonts();
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    const char *face = FontFaceName ? FontFaceName : "";
    MainFont = CreateFontA(-(dpi * Settings.fontpoint) / 72, 0, 0, 0, Settings.weight, Settings.italic, 0, 0,
                           Settings.charset, 0, 0, 0, FIXED_PITCH, face);
    SymbolFont = CreateFontA(dpi * ((Settings.fontpoint * 2) / -3) / 72, 0, 0, 0, 0, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0,
                             FIXED_PITCH, "Symbol");
    HGDIOBJ old = SelectObject(screen, MainFont);
    SIZE extent = {16, 16};
    GetTextExtentPoint32A(screen, "亜", 2, &extent);
    SelectObject(screen, old);
    ReleaseDC(NULL, screen);
    CellWidth = extent.cx / 2 > 0 ? extent.cx / 2 : 1;
    CellHeight = extent.cy > 0 ? extent.cy : 1;
    ComputeGeometry();
}

void ComputeGeometry()
{
    TopOffset = Settings.toolbar;
    int rows = Settings.disprow;
    SetRect(&GridRect, CellX(1), LineY(GRID_TOP_LINE), CellX(78), LineY(rows + 8));
}

void ComputeWindowSize(int *width, int *height)
{
    ComputeGeometry();
    RECT r = {0, 0, SCREEN_COLUMNS * CellWidth, (Settings.disprow + 9) * CellHeight + TopOffset};
    AdjustWindowRectEx(&r, 0xCF0000, TRUE, 0x300);
    Settings.sx = r.right - r.left;
    Settings.sy = r.bottom - r.top;
    if (width)
        *width = Settings.sx;
    if (height)
        *height = Settings.sy;
}

// ---- the screen record ----

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
static char lastDumpName[MAX_PATH];

static int RecordLineCount()
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

static void RecordText(HDC dc, int x, int y, const char *text, int length)
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

static bool WriteWholeFile(const char *path, const std::string &content)
{
    char temporary[MAX_PATH + 8];
    snprintf(temporary, sizeof temporary, "%s.new", path);
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, content.data(), (DWORD)content.size(), &written, NULL);
    CloseHandle(file);
    // Replaced in one step, so a reader never sees a half-written screen.
    if (!ok || written != content.size() || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

static void ColorField(char *out, const RecordedCell &cell)
{
    if (!cell.drawn) {
        strcpy(out, "------/------");
        return;
    }
    snprintf(out, 14, "%02X%02X%02X/%02X%02X%02X", GetRValue(cell.fg), GetGValue(cell.fg), GetBValue(cell.fg),
             GetRValue(cell.bg), GetGValue(cell.bg), GetBValue(cell.bg));
}

void FlushScreenDump()
{
    char name[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KELPO_SCREEN_DUMP", name, sizeof name);
    if (length == 0 || length >= sizeof name)
        return;
    if (!recordChanged && strcmp(name, lastDumpName) == 0)
        return;
    int lines = RecordLineCount();
    std::string text, colors;
    text.reserve(lines * (SCREEN_COLUMNS + 2));
    colors.reserve(lines * SCREEN_COLUMNS * 14 + 2);
    for (int line = 0; line < lines; line++) {
        text += ScreenLineText(line);
        text += "\r\n";
        for (int c = 0; c < SCREEN_COLUMNS; c++) {
            char field[16];
            ColorField(field, record[line][c]);
            if (c)
                colors += ' ';
            colors += field;
        }
        colors += "\r\n";
    }
    char colorName[MAX_PATH + 8];
    snprintf(colorName, sizeof colorName, "%s.color", name);
    bool ok = WriteWholeFile(colorName, colors);
    ok = WriteWholeFile(name, text) && ok;
    if (ok) {
        recordChanged = false;
        strcpy(lastDumpName, name);
    }
}

// ---- the text primitives ----

void PutCellText(HDC dc, int x, int y, const char *text, int length)
{
    COLORREF background = SlotColor(ScreenMode ? CL_VIEWBK : CL_BACK);
    if (GetBkColor(dc) == background) {
        SIZE extent = {0, 0};
        GetTextExtentPoint32A(dc, text, length, &extent);
        HBRUSH brush = CreateSolidBrush(background);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        int oldMode = SetBkMode(dc, TRANSPARENT);
        Rectangle(dc, x, y, x + extent.cx + 1, y + extent.cy + 1);
        TextOutA(dc, x, y, text, length);
        SetBkMode(dc, oldMode);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    } else {
        TextOutA(dc, x, y, text, length);
    }
    RecordText(dc, x, y, text, length);
}

void PlainCellText(HDC dc, int x, int y, const char *text, int length)
{
    TextOutA(dc, x, y, text, length);
    RecordText(dc, x, y, text, length);
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
    HDC own = NULL;
    HWND window = g_mainWnd;
    HGDIOBJ oldFont = NULL;
    if (!dc) {
        own = window ? GetDC(window) : CreateCompatibleDC(NULL);
        dc = own;
        if (MainFont)
            oldFont = SelectObject(dc, MainFont);
    }
    COLORREF oldFg = GetTextColor(dc), oldBg = GetBkColor(dc);
    DrawCells(dc, 2, Settings.disprow + 7, SlotColor(CL_DATA), SlotColor(CL_BACK), line, 76);
    if (own) {
        SetTextColor(dc, oldFg);
        SetBkColor(dc, oldBg);
        if (oldFont)
            SelectObject(dc, oldFont);
        if (window)
            ReleaseDC(window, own);
        else
            DeleteDC(own);
    }
}
