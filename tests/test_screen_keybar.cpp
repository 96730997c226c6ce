#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "screen/screen.h"
#include "screen/keybar.h"
#include "config/settings.h"
#include "base/globals.h"
#include "support/screensetup.h"

class ScreenKeyBar : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        FileMask[0] = '\0';
    }
    std::string Bar(int keys, bool shifted, int lit)
    {
        Settings.fkeynum = (BYTE)keys;
        ScreenRecordReset(Settings.disprow);
        surface->Fill(RGB(0, 0, 0));
        DrawKeyBar(dc, shifted, lit);
        return ScreenLineText(Settings.disprow + 8);
    }
    // The cap colour under a cell: from the record and from the bitmap above the text.
    COLORREF CapAt(int column)
    {
        COLORREF fg = 0, bg = 0;
        EXPECT_TRUE(ScreenCellColors(Settings.disprow + 8, column, &fg, &bg)) << "column " << column;
        EXPECT_EQ(fg, SlotRgb(CL_BACK));
        COLORREF pixel = GetPixel(dc, CellX(column) + 1, LineY(Settings.disprow + 8) + 1);
        EXPECT_EQ(pixel, bg) << "column " << column;
        return bg;
    }
    // Every cell of every cap: cl_func2 for the picked-out letter and on the lit key, cl_func elsewhere.
    void ExpectCaps(int keys, bool shifted, int lit, const std::string &picked)
    {
        int width = keys == 10 ? 6 : 5;
        for (int i = 0; i < keys; i++) {
            int column = KeyCapColumn(keys, i);
            const char *label = KeyLabel(keys, shifted, i);
            for (int c = 0; c < width; c++) {
                bool hi = i == lit || c == PickedLetterIndex(label, width);
                EXPECT_EQ(CapAt(column + c), SlotRgb(hi ? CL_FUNC2 : CL_FUNC)) << "key " << i << " cell " << c;
            }
            if (picked[i] == ' ') {
                EXPECT_EQ(PickedLetterIndex(label, width), -1) << "key " << i;
            } else {
                ASSERT_GE(PickedLetterIndex(label, width), 0) << "key " << i;
                EXPECT_EQ(label[PickedLetterIndex(label, width)], picked[i]) << "key " << i;
            }
        }
        // The gaps between the caps are left untouched.
        EXPECT_EQ(GetPixel(dc, CellX(keys == 10 ? 38 : 26) + 2, LineY(Settings.disprow + 8) + 2), RGB(0, 0, 0));
    }
    // A whole bar without a lit key: its text and every cap.
    std::string ExpectBar(int keys, bool shifted, const std::string &text, const std::string &picked)
    {
        std::string bar = Bar(keys, shifted, -1);
        EXPECT_EQ(bar, text);
        ExpectCaps(keys, shifted, -1, picked);
        return bar;
    }
};

TEST_F(ScreenKeyBar, TenKeysPlainAndShifted)
{
    ExpectBar(10, false, "    Logdsk  eXec   Copy  Delete Rename     Sort   Find   Tree  Editor Unpack    ", "LXCDRSFTEU");
    std::string shifted =
        ExpectBar(10, true, "     Attr   Info   Move   rmDir  mKdir     sHell Refrsh  Quick  View   Pack     ", "AIMDKHRQVP");
    // F7 shifted reads "Refrsh" with its R picked out.
    EXPECT_EQ(shifted.substr(KeyCapColumn(10, 6), 6), "Refrsh");
    EXPECT_EQ(CapAt(KeyCapColumn(10, 6)), SlotRgb(CL_FUNC2));
}

TEST_F(ScreenKeyBar, TwelveKeysPlainAndShifted)
{
    ExpectBar(12, false, "   help  eXec  Copy  Delet   Renam Sort  Find  Tree    Logds Unpac top   botto  ", " XCDRSFTLU  ");
    ExpectBar(12, true, "   Attr  Info  Move  rmDir   mKdir sHell Refrs Edito   View  Pack  Quick        ", "AIMDKHREVPQ ");
}

TEST_F(ScreenKeyBar, LitKeyAndShiftedNumbers)
{
    std::string bar = Bar(12, false, 2);
    EXPECT_EQ(bar.substr(15, 5), "Copy ");
    ExpectCaps(12, false, 2, " XCDRSFTLU  ");
    // 14 with 12 keys: the shifted set with its third key lit.
    bar = Bar(12, false, 14);
    EXPECT_EQ(bar.substr(15, 5), "Move ");
    ExpectCaps(12, true, 2, "AIMDKHREVPQ ");
    // 13 with 10 keys: the shifted set with the fourth key lit.
    bar = Bar(10, false, 13);
    EXPECT_EQ(bar.substr(25, 6), " rmDir");
    ExpectCaps(10, true, 3, "AIMDKHRQVP");
    // The viewer's number lights View in the shifted set of either layout.
    bar = Bar(12, false, KEYBAR_LIT_VIEW);
    EXPECT_EQ(bar.substr(KeyCapColumn(12, 8), 5), "View ");
    ExpectCaps(12, true, 8, "AIMDKHREVPQ ");
    bar = Bar(10, false, KEYBAR_LIT_VIEW);
    EXPECT_EQ(bar.substr(KeyCapColumn(10, 8), 6), " View ");
    ExpectCaps(10, true, 8, "AIMDKHRQVP");
}

TEST_F(ScreenKeyBar, FindCapLitWhileMaskInForce)
{
    strcpy(FileMask, "*.TXT");
    Bar(12, false, -1);
    ExpectCaps(12, false, 6, " XCDRSFTLU  ");
    Bar(12, true, -1);
    ExpectCaps(12, true, -1, "AIMDKHREVPQ ");
    Bar(10, false, -1);
    ExpectCaps(10, false, 6, "LXCDRSFTEU");
    // A lit key of the caller's wins over the mask.
    Bar(10, false, 1);
    ExpectCaps(10, false, 1, "LXCDRSFTEU");
    strcpy(FileMask, "*.*");
    Bar(12, false, -1);
    ExpectCaps(12, false, -1, " XCDRSFTLU  ");
    FileMask[0] = '\0';
    Bar(12, false, -1);
    ExpectCaps(12, false, -1, " XCDRSFTLU  ");
}

TEST_F(ScreenKeyBar, CapPositions)
{
    const int ten[] = {4, 11, 18, 25, 32, 42, 49, 56, 63, 70};
    const int twelve[] = {3, 9, 15, 21, 29, 35, 41, 47, 55, 61, 67, 73};
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(KeyCapColumn(10, i), ten[i]);
    for (int i = 0; i < 12; i++)
        EXPECT_EQ(KeyCapColumn(12, i), twelve[i]);
    // The cap reaches two pixels below its line and stops one pixel short of the next cell.
    Bar(12, false, -1);
    int bottom = LineY(Settings.disprow + 9);
    EXPECT_EQ(GetPixel(dc, CellX(4), bottom + 1), SlotRgb(CL_FUNC));
    EXPECT_EQ(GetPixel(dc, CellX(4), bottom + 3), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, CellX(8) - 1, LineY(Settings.disprow + 8) + 2), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, CellX(8) - 2, LineY(Settings.disprow + 8) + 2), SlotRgb(CL_FUNC));
}

// With exact colours the caps and labels come out the same: the labels' background is the cap, not the screen.
TEST_F(ScreenKeyBar, ExactColourDrawingKeepsTheCaps)
{
    Settings.realcol = 1;
    std::string bar = Bar(10, true, 3);
    EXPECT_EQ(bar, "     Attr   Info   Move   rmDir  mKdir     sHell Refrsh  Quick  View   Pack     ");
    ExpectCaps(10, true, 3, "AIMDKHRQVP");
    Settings.realcol = 0;
}
