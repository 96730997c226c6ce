#include "screensetup.h"
#include <string.h>
#include "base/globals.h"
#include "config/settings.h"
#include "screen/screen.h"
#include "tablebuilder.h"

COLORREF SlotRgb(int slot)
{
    return RGB(10 + slot * 11, 20 + slot * 7, 30 + slot * 5);
}

std::string Pad(const std::string &text, int width)
{
    return text + std::string(width - (int)text.size(), ' ');
}

std::string RPad(const std::string &text, int width)
{
    return std::string(width - (int)text.size(), ' ') + text;
}

std::string Grouped(unsigned long long number)
{
    std::string digits = std::to_string(number), text;
    for (size_t i = 0; i < digits.size(); i++) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

void PlainScreenSettings()
{
    Settings.dispmode = 2;
    Settings.dispsubmode = 1;
    Settings.disprow = 20;
    Settings.fontpoint = 12;
    Settings.charset = 128;
    Settings.weight = 400;
    Settings.italic = 0;
    Settings.namesmall = 0;
    Settings.lnamepos = 0;
    Settings.realcol = 0;
    Settings.realsize = 0;
    Settings.sideline = 1;
    Settings.toolbar = 0;
    Settings.secsw = Settings.timesw = Settings.weeksw = 1;
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        Settings.colors[i] = SlotRgb(i);
}

ScreenSurface::ScreenSurface()
{
    dc = CreateCompatibleDC(NULL);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = 80 * CellWidth;
    info.bmiHeader.biHeight = -40 * CellHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void *bits;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    oldBitmap = SelectObject(dc, bitmap);
    oldFont = SelectObject(dc, MainFont);
}

ScreenSurface::~ScreenSurface()
{
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

void ScreenSurface::Fill(COLORREF color)
{
    RECT all = {0, 0, 80 * CellWidth, 40 * CellHeight};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

void ScreenTest::SetUpTestSuite()
{
    ASSERT_TRUE(AllocateTables());
    strcpy(FontFaceName, "ＭＳ ゴシック");
    PlainScreenSettings();
    CreateScreenFonts();
}

void ScreenTest::TearDownTestSuite()
{
    DeleteScreenFonts();
    FreeTables();
}

void ScreenTest::SetUp()
{
    PlainScreenSettings();
    ComputeGeometry();
    ClearFileTable();
    ScreenRecordReset(Settings.disprow);
    surface = new ScreenSurface;
    dc = surface->dc;
}

void ScreenTest::TearDown()
{
    delete surface;
    surface = nullptr;
    dc = NULL;
}
