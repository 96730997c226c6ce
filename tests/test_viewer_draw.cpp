// The viewer screen drawn through the screen primitives and read back from the screen
// record, and the reloads of its letters and Tab.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "base/globals.h"
#include "config/settings.h"
#include "screen/screen.h"
#include "screen/keybar.h"
#include "viewer/viewer.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "resource.h"

namespace {

COLORREF SlotRgb(int slot)
{
    return RGB(10 + slot * 11, 20 + slot * 7, 30 + slot * 5);
}

class ViewerScreen : public testing::Test {
protected:
    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ oldBitmap = NULL, oldFont = NULL;
    HWND window = NULL;
    TempDir temp;

    static void SetUpTestSuite()
    {
        ASSERT_TRUE(AllocateTables());
        strcpy(FontFaceName, "ＭＳ ゴシック");
        Settings.fontpoint = 12;
        Settings.charset = 128;
        Settings.weight = 400;
        CreateScreenFonts();
    }
    static void TearDownTestSuite()
    {
        DeleteScreenFonts();
        FreeTables();
    }
    void SetUp() override
    {
        Settings.disprow = 20;
        Settings.realcol = 0;
        Settings.toolbar = 0;
        Settings.fkeynum = 12;
        Settings.viewcr = 0;
        Settings.tab = 8;
        for (int i = 0; i < COLOR_SLOT_COUNT; i++)
            Settings.colors[i] = SlotRgb(i);
        ComputeGeometry();
        FileMask[0] = '\0';
        dc = CreateCompatibleDC(NULL);
        HDC screen = GetDC(NULL);
        bitmap = CreateCompatibleBitmap(screen, 80 * CellWidth, 40 * CellHeight);
        ReleaseDC(NULL, screen);
        oldBitmap = SelectObject(dc, bitmap);
        oldFont = SelectObject(dc, MainFont);
        ASSERT_TRUE(AllocateViewerBuffer());
        ScreenMode = 1;
        HexForm = 0;
        ViewerTop = 0;
        strcpy(ViewerHeaderName, "C:\\DOCS\\README.TXT");
    }
    void TearDown() override
    {
        FreeViewerBuffer();
        ScreenMode = 0;
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
        if (window)
            DestroyWindow(window);
    }
    void Fill(const std::string &content, int hex = 0)
    {
        ViewerConverter c;
        StartViewerConversion(&c, ViewerLines, VIEWER_CAPACITY, hex, Settings.tab);
        ConvertViewerBytes(&c, (const BYTE *)content.data(), (int)content.size());
        FinishViewerConversion(&c);
        ViewerLineCount = c.count;
        HexForm = hex;
    }
    void Paint()
    {
        ScreenRecordReset(Settings.disprow);
        PaintViewerScreen(dc);
    }
    // A plain window for the keys to draw on.
    void MakeWindow()
    {
        window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 80 * CellWidth, 29 * CellHeight, NULL, NULL,
                               GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(window != NULL);
        ScreenRecordReset(Settings.disprow);
    }
    std::string Line(int line) { return ScreenLineText(line); }
    COLORREF Fg(int line, int column)
    {
        COLORREF fg = 0, bg = 0;
        EXPECT_TRUE(ScreenCellColors(line, column, &fg, &bg)) << line << "," << column;
        return fg;
    }
    COLORREF Bg(int line, int column)
    {
        COLORREF fg = 0, bg = 0;
        EXPECT_TRUE(ScreenCellColors(line, column, &fg, &bg)) << line << "," << column;
        return bg;
    }
    static std::string Pad(const std::string &s) { return s + std::string(80 - s.size(), ' '); }
};

TEST_F(ViewerScreen, TextPage)
{
    std::string text = "ｶﾀｶﾅと漢字\r\n\tTab\r\n" + std::string(100, 'z') + "\nbell\x07 eof\x1A\r\n";
    for (int i = 0; i < 40; i++)
        text += "row " + std::to_string(i) + "\n";
    Fill(text);
    ASSERT_EQ(45, ViewerLineCount);
    Paint();
    std::string header = Line(0);
    EXPECT_EQ("File name: C:\\DOCS\\README.TXT", header.substr(0, 29));
    EXPECT_EQ("Line No:    1/   45", header.substr(61, 19));
    EXPECT_EQ(SlotRgb(CL_BACK), Fg(0, 0));
    EXPECT_EQ(SlotRgb(CL_INFO), Bg(0, 0));
    EXPECT_EQ(SlotRgb(CL_INFO), Bg(0, 28));
    EXPECT_EQ(SlotRgb(CL_VIEWCR), Fg(0, 61));
    EXPECT_EQ(SlotRgb(CL_VIEW), Fg(0, 69));
    EXPECT_EQ(SlotRgb(CL_VIEWBK), Bg(0, 69));
    // Line 1 stays empty in text form.
    COLORREF fg, bg;
    EXPECT_FALSE(ScreenCellColors(1, 0, &fg, &bg));

    EXPECT_EQ(Pad("ｶﾀｶﾅと漢字"), Line(2));
    EXPECT_EQ(Pad("        Tab"), Line(3));
    EXPECT_EQ(std::string(80, 'z'), Line(4));
    EXPECT_EQ(Pad(std::string(20, 'z')), Line(5));
    EXPECT_EQ(SlotRgb(CL_VIEW), Fg(2, 0));
    EXPECT_EQ(SlotRgb(CL_VIEWBK), Bg(2, 79));

    // Markers: the caret in the line-end colour, the letter in the text colour; the
    // end-of-file byte as the arrow of the symbol font on a block of the line-end colour.
    std::string marked = Line(6);
    EXPECT_EQ("bell^G eof", marked.substr(0, 10));
    EXPECT_EQ(SlotRgb(CL_VIEWCR), Fg(6, 4));
    EXPECT_EQ(SlotRgb(CL_VIEW), Fg(6, 5));
    EXPECT_EQ('\xAC', marked[10]);
    EXPECT_EQ(SlotRgb(CL_VIEWBK), Fg(6, 10));
    EXPECT_EQ(SlotRgb(CL_VIEWCR), Bg(6, 10));
    EXPECT_EQ(std::string(69, ' '), marked.substr(11));

    // 26 slots: lines 2 to 27; the key bar below them with View lit.
    EXPECT_EQ(Pad("row 20"), Line(27));
    std::string bar = Line(28);
    EXPECT_EQ("View ", bar.substr(KeyCapColumn(12, 8), 5));
    EXPECT_EQ(SlotRgb(CL_FUNC2), Bg(28, KeyCapColumn(12, 8) + 2));
    EXPECT_EQ("Attr ", bar.substr(KeyCapColumn(12, 0), 5));
}

TEST_F(ViewerScreen, LineEndMarksAndBlankSlots)
{
    Fill("ab\r\n" + std::string(100, 'q') + "\r\nlast");
    Settings.viewcr = 1;
    Paint();
    std::string first = Line(2);
    EXPECT_EQ("ab", first.substr(0, 2));
    EXPECT_EQ('\xBF', first[2]);
    EXPECT_EQ(SlotRgb(CL_VIEWCR), Fg(2, 2));
    EXPECT_EQ(SlotRgb(CL_VIEWBK), Bg(2, 2));
    // Only the second part of a wrapped line has the mark; the last line has none.
    EXPECT_EQ(std::string(80, 'q'), Line(3));
    EXPECT_EQ('\xBF', Line(4)[20]);
    EXPECT_EQ(Pad("last"), Line(5));
    // Slots past the end are blank in the viewer colours.
    EXPECT_EQ(std::string(80, ' '), Line(6));
    EXPECT_EQ(SlotRgb(CL_VIEWBK), Bg(27, 40));
    EXPECT_EQ("Line No:    1/    4", Line(0).substr(61, 19));

    Settings.viewcr = 0;
    Paint();
    EXPECT_EQ(Pad("ab"), Line(2));
}

TEST_F(ViewerScreen, HexPage)
{
    std::string data;
    for (int i = 0; i < 40; i++)
        data += (char)('0' + i);
    Fill(data, 1);
    Settings.viewcr = 1;
    Paint();
    EXPECT_EQ(ViewerHexHeader, Line(1));
    EXPECT_EQ(RGB(0, 0, 0), Fg(1, 5));
    EXPECT_EQ(RGB(0, 255, 0), Bg(1, 5));
    EXPECT_EQ(" 00000000 : 30 31 32 33 34 35 36 37  38 39 3A 3B 3C 3D 3E 3F   0123456789:;<=>? ", Line(2));
    EXPECT_EQ(Pad(" 00000020 : 50 51 52 53 54 55 56 57" + std::string(28, ' ') + "PQRSTUVW"), Line(4));
    EXPECT_EQ(std::string(80, ' '), Line(5));
    EXPECT_EQ("Line No:    1/    3", Line(0).substr(61, 19));
}

TEST_F(ViewerScreen, EmptyViewer)
{
    ViewerLineCount = 0;
    Paint();
    EXPECT_EQ("Line No:    1/    0", Line(0).substr(61, 19));
    for (int line = 2; line < 28; line++)
        EXPECT_EQ(std::string(80, ' '), Line(line)) << line;
}

TEST_F(ViewerScreen, TabWidthHexFormAndLineEndMarks)
{
    MakeWindow();
    strcpy(ViewerFilePath, temp.MakeFile("tabs.txt", "\tA\r\nx\tB\r\n" + std::string(30, 'n')).c_str());
    ASSERT_EQ(VIEWER_LOAD_DONE, LoadViewerText(NULL, -1));
    ASSERT_EQ("        A", std::string(ViewerLines[0].text));

    ViewerTop = 1;
    EXPECT_TRUE(ViewerLetter(window, '4'));
    EXPECT_EQ(4, Settings.tab);
    EXPECT_EQ(0, ViewerTop);
    EXPECT_EQ("    A", std::string(ViewerLines[0].text));
    EXPECT_EQ("x   B", std::string(ViewerLines[1].text));
    EXPECT_TRUE(ViewerLetter(window, '2'));
    EXPECT_EQ("x B", std::string(ViewerLines[1].text));

    EXPECT_TRUE(ViewerCommand(window, IDM_TAB, false));
    EXPECT_EQ(1, HexForm);
    EXPECT_EQ(3, ViewerLineCount);
    EXPECT_EQ(" 00000000 : 09 41 0D 0A", std::string(ViewerLines[0].text).substr(0, 23));
    // Tab widths are ignored in hex form.
    EXPECT_TRUE(ViewerLetter(window, '8'));
    EXPECT_EQ(2, Settings.tab);
    EXPECT_EQ(1, HexForm);
    EXPECT_TRUE(ViewerCommand(window, IDM_TAB, false));
    EXPECT_EQ(0, HexForm);
    EXPECT_EQ("  A", std::string(ViewerLines[0].text));

    EXPECT_TRUE(ViewerLetter(window, 'v'));
    EXPECT_EQ(1, Settings.viewcr);
    EXPECT_EQ('\xBF', Line(2)[3]);
    EXPECT_TRUE(ViewerLetter(window, 'V'));
    EXPECT_EQ(0, Settings.viewcr);
    EXPECT_EQ(' ', Line(2)[3]);
    EXPECT_FALSE(ViewerLetter(window, 'Q'));

    // The file is gone: the error is reported and the lines and the form stay.
    DeleteFileA(ViewerFilePath);
    DialogDriver driver;
    std::string caption;
    driver.Then([&](HWND dialog) {
        caption = ReadDialog(dialog).caption;
        PressButton(dialog, IDOK);
    });
    EXPECT_TRUE(ViewerCommand(window, IDM_TAB, false));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Error", caption);
    EXPECT_EQ(0, HexForm);
    EXPECT_EQ("  A", std::string(ViewerLines[0].text));
    driver.Then([&](HWND dialog) { PressButton(dialog, IDOK); });
    EXPECT_TRUE(ViewerLetter(window, '8'));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(2, Settings.tab);
}

}   // namespace
