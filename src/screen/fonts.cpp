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

static SIZE MakeScreenFonts()
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
    SIZE extent = {0, 0};
    if (!MainFont || !GetTextExtentPoint32A(screen, "亜", 2, &extent))
        extent.cx = extent.cy = 0;
    SelectObject(screen, old);
    ReleaseDC(NULL, screen);
    return extent;
}

// No font, or one far smaller than asked for: the system could not make that size.
static bool MeasureFailed(const SIZE &extent)
{
    HDC screen = GetDC(NULL);
    int asked = GetDeviceCaps(screen, LOGPIXELSY) * Settings.fontpoint / 72;
    ReleaseDC(NULL, screen);
    return extent.cx < 2 || extent.cy < 1 || extent.cy < asked / 2;
}

// The default size stands in for one the system cannot make a font of (a damaged setting).
void CreateScreenFonts()
{
    SIZE extent = MakeScreenFonts();
    if (MeasureFailed(extent) && Settings.fontpoint != DEFAULT_FONT_POINT) {
        Settings.fontpoint = DEFAULT_FONT_POINT;
        extent = MakeScreenFonts();
    }
    if (MeasureFailed(extent))
        extent.cx = extent.cy = 16;
    CellWidth = extent.cx / 2;
    CellHeight = extent.cy;
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

