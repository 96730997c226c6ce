// The text screen: 80 cells wide, rows + 9 lines high, drawn in one fixed-pitch font.
// Every text goes through CellText (PutCellText or the plain text call), which also keeps
// the screen record: the byte and the colours of every cell, for tests and outside tools.
#pragma once
#include <windows.h>
#include <string>

struct FileEntry;

enum {
    SCREEN_COLUMNS = 80,
    SCREEN_MAX_LINES = 512,
    GRID_TOP_LINE = 7,
};

extern int CellWidth;
extern int CellHeight;
extern int TopOffset;
extern RECT GridRect;
extern HFONT MainFont;
extern HFONT SymbolFont;

COLORREF SlotColor(int slot);
int CellX(int column);
int LineY(int line);

// Fonts and geometry.
void CreateScreenFonts();
void DeleteScreenFonts();
void ComputeGeometry();                        // GridRect from the row count
void ComputeWindowSize(int *width, int *height);   // also stores sx and sy

// The text primitives. Both record what they draw.
void PutCellText(HDC dc, int x, int y, const char *text, int length);
void PlainCellText(HDC dc, int x, int y, const char *text, int length);
void CellText(HDC dc, int x, int y, const char *text, int length);   // chosen by realcol
void DrawCells(HDC dc, int column, int line, COLORREF fg, COLORREF bg, const char *text, int length);
void StatusLine(HDC dc, const char *text);     // dc NULL: the main window's own context
// Text at a cell in the colour of slot on the screen background.
void SlotText(HDC dc, int column, int line, int slot, const char *text);

// The screen record.
void ScreenRecordReset(int rows);
void ScreenRecordErase(const RECT *pixels);    // cells whose top-left corner lies inside become blank
std::string ScreenLineText(int line);          // 80 bytes, never-drawn cells blank
bool ScreenCellColors(int line, int column, COLORREF *fg, COLORREF *bg);   // false: never drawn
int ScreenRecordLines();                       // lines the record holds: rows + 9
void RecordCellText(HDC dc, int x, int y, const char *text, int length);   // at pixel x, y
bool ScreenRecordChangedSinceDump();
void ScreenRecordDumped();
void FlushScreenDump();                        // to the file named by KELPO_SCREEN_DUMP, if set

// Number and time formatting.
const char *FormatFileTime(const FILETIME *time);
void FormatLongName(char *destination, const char *longName, int width);
void PadSize(char *nameAndResult, const char *exactSize, const char *shortSize, int width);
void GroupThousands(const char *source, char *destination);
void FormatCount(DWORD value, char *destination);
char *MultiplyToDecimal(DWORD a, DWORD b, char *destination);   // destination: at least 21 bytes

// The file grid. A page holds dispmode columns of disprow entries.
int PageSize();
struct SlotPlace {
    int x, line, width, mark;
};
bool SlotPlaceOf(int slot, SlotPlace *place);  // false for a slot outside the page or no layout
void FormatSizes(const struct FileEntry *entry, char *exact, char *shortSize);
void FormatSlotText(int slot, int position, char *text);   // exactly the slot's width; table locked
void EntryColors(int position, bool cursor, COLORREF *fg, COLORREF *bg);   // table locked
void DrawEntry(HDC dc, int slot, int position, bool cursor);
void DrawPage(HDC dc, int pageTop);
void DrawMarkSign(HDC dc, int slot, int position);
void RedrawMarks(HDC dc, int pageTop);

// Drawn by the information block when it exists: the cursor entry's details and the marked figures.
extern void (*EntryDetailsDrawer)(HDC dc, int position);
extern void (*MarkedFiguresDrawer)(HDC dc);
