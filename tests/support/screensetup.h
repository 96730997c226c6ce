// Drawing the text screen without the main window: the tables and fonts a test suite draws
// with, the settings every drawing test starts from, and a bitmap to draw on.
#pragma once
#include <windows.h>
#include <string>
#include <gtest/gtest.h>

// A colour of its own for every colour slot, so that a drawn colour names its slot.
COLORREF SlotRgb(int slot);
// The text left-aligned (Pad) or right-aligned (RPad) in width cells.
std::string Pad(const std::string &text, int width);
std::string RPad(const std::string &text, int width);
// A number with its thousands set off by commas: "4,096".
std::string Grouped(unsigned long long number);

// The settings of a plain screen: 2 columns in sub-mode 1, 20 rows, a 12-point regular font,
// side lines, no tool bar, the options that change the drawing off, SlotRgb colours.
void PlainScreenSettings();

// A 32-bit bitmap of 80 x 40 cells in a memory context, the main font selected.
struct ScreenSurface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap, oldFont;
    ScreenSurface();
    ~ScreenSurface();
    ScreenSurface(const ScreenSurface &) = delete;
    ScreenSurface &operator=(const ScreenSurface &) = delete;
    void Fill(COLORREF color);
};

// Tables and screen fonts for the whole suite; for each test plain settings, the geometry,
// an empty file table, a fresh screen record and a surface whose context is dc.
class ScreenTest : public testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;
    ScreenSurface *surface = nullptr;
    HDC dc = NULL;
};
