// Cell geometry, the colour slots and the two screen fonts.
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"

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

