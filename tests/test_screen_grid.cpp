#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "screen/screen.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "support/testutil.h"
#include "support/screensetup.h"
#include "support/tablebuilder.h"

static void ScreenSettings(int columns, int submode)
{
    PlainScreenSettings();
    Settings.dispmode = (BYTE)columns;
    Settings.dispsubmode = (BYTE)submode;
}

// The known directory: ".", a plain file, a read-only file with a long name, a hidden directory.
static void KnownDirectory()
{
    ClearFileTable();
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    AddFileEntry(".", EF_DIRECTORY | EF_DOT, 0, t, ".");
    AddFileEntry("readme.txt", EF_ARCHIVE, 1500, t, "README.TXT");
    AddFileEntry("verylongname.txt", EF_READONLY | EF_ARCHIVE, 1048000, t, "VERYLO~1.TXT");
    AddFileEntry("Hidden Dir", EF_DIRECTORY | EF_HIDDEN, 0, t, "HIDDEN~1");
}

class ScreenGrid : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        KnownDirectory();
    }
    // Draws the page from a fresh record and checks one slot's text and colours.
    void ExpectSlot(int slot, const std::string &text, int colorSlot, bool cursor = false)
    {
        SlotPlace place;
        ASSERT_TRUE(SlotPlaceOf(slot, &place));
        ASSERT_EQ((int)text.size(), place.width) << "[" << text << "]";
        EXPECT_EQ(text, ScreenLineText(place.line).substr(place.x, place.width)) << "slot " << slot;
        COLORREF fg = 0, bg = 0;
        COLORREF wantFg = cursor ? SlotRgb(CL_BACK) : SlotRgb(colorSlot);
        COLORREF wantBg = cursor ? SlotRgb(colorSlot) : SlotRgb(CL_BACK);
        for (int c = place.x; c < place.x + place.width; c++) {
            ASSERT_TRUE(ScreenCellColors(place.line, c, &fg, &bg)) << "slot " << slot << " cell " << c;
            EXPECT_EQ(wantFg, fg) << "slot " << slot << " cell " << c;
            EXPECT_EQ(wantBg, bg) << "slot " << slot << " cell " << c;
        }
        ASSERT_TRUE(ScreenCellColors(place.line, place.mark, &fg, &bg));
        EXPECT_EQ(SlotRgb(CL_MARK), fg);
        EXPECT_EQ(SlotRgb(CL_BACK), bg);
    }
};

TEST_F(ScreenGrid, FontsGiveTheCellSize)
{
    ASSERT_NE((HFONT)NULL, MainFont);
    ASSERT_NE((HFONT)NULL, SymbolFont);
    SIZE extent;
    GetTextExtentPoint32A(dc, "亜", 2, &extent);
    EXPECT_EQ(extent.cx / 2, CellWidth);
    EXPECT_EQ(extent.cy, CellHeight);
    GetTextExtentPoint32A(dc, "A", 1, &extent);
    EXPECT_EQ(CellWidth, extent.cx);   // fixed pitch: a single-byte character takes one cell
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    LOGFONTA main = {}, symbol = {};
    ASSERT_TRUE(GetObjectA(MainFont, sizeof main, &main));
    EXPECT_EQ(-(dpi * 12) / 72, main.lfHeight);
    EXPECT_EQ(400, main.lfWeight);
    EXPECT_EQ(0, main.lfItalic);
    EXPECT_EQ(128, main.lfCharSet);
    EXPECT_EQ(FIXED_PITCH, main.lfPitchAndFamily);
    EXPECT_STREQ("ＭＳ ゴシック", main.lfFaceName);
    ASSERT_TRUE(GetObjectA(SymbolFont, sizeof symbol, &symbol));
    EXPECT_EQ(dpi * -8 / 72, symbol.lfHeight);
    EXPECT_EQ(SYMBOL_CHARSET, symbol.lfCharSet);
    EXPECT_STREQ("Symbol", symbol.lfFaceName);
    // Made again from changed settings; the cell follows the new size.
    int oldWidth = CellWidth;
    SelectObject(dc, surface->oldFont);   // a font still selected somewhere could not be deleted
    Settings.fontpoint = 9;
    Settings.italic = 1;
    CreateScreenFonts();
    ASSERT_TRUE(GetObjectA(MainFont, sizeof main, &main));
    EXPECT_EQ(-(dpi * 9) / 72, main.lfHeight);
    EXPECT_EQ(1, main.lfItalic);
    EXPECT_LT(CellWidth, oldWidth);
    Settings.fontpoint = 12;
    Settings.italic = 0;
    CreateScreenFonts();
    SelectObject(dc, MainFont);
    EXPECT_EQ(oldWidth, CellWidth);
    Settings.toolbar = 5;
    int width, height;
    ComputeWindowSize(&width, &height);
    EXPECT_EQ(5, TopOffset);
    EXPECT_EQ(CellX(1), GridRect.left);
    EXPECT_EQ(7 * CellHeight + 5, GridRect.top);
    EXPECT_EQ(78 * CellWidth, GridRect.right);
    EXPECT_EQ(28 * CellHeight + 5, GridRect.bottom);
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, TRUE, WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE);
    EXPECT_EQ(80 * CellWidth + frame.right - frame.left, width);
    EXPECT_EQ(29 * CellHeight + 5 + frame.bottom - frame.top, height);
    EXPECT_EQ(width, Settings.sx);
    EXPECT_EQ(height, Settings.sy);
    Settings.toolbar = 0;
    ComputeGeometry();
}

struct Combination {
    int columns, submode;
    std::string slots[4];
};

// Fields of the known directory: short base, short extension, exact and short sizes, date, attributes.
static const std::string D19 = "2024-03-05 14:07:08", D17 = "24-03-05 14:07:08", D14 = "24-03-05 14:07";

static std::vector<Combination> Combinations()
{
    return {
        {1, 0,
         {Pad(".", 8) + Pad("", 4) + " " + RPad("<DIR>", 9) + " " + D19 + " ---- " + Pad(".", 28),
          Pad("README", 8) + ".TXT " + RPad("1500", 9) + " " + D19 + " ---A " + Pad("readme.txt", 28),
          Pad("VERYLO~1", 8) + ".TXT " + RPad("1048000", 9) + " " + D19 + " R--A " + Pad("verylongname.txt", 28),
          Pad("HIDDEN~1", 8) + Pad("", 4) + " " + RPad("<DIR>", 9) + " " + D19 + " -H-- " + Pad("Hidden Dir", 28)}},
        {1, 1,
         {Pad(".", 12) + " " + RPad("<DIR>", 6) + " " + D17 + " " + Pad(".", 38),
          "README  .TXT " + RPad("1500", 6) + " " + D17 + " " + Pad("readme.txt", 38),
          "VERYLO~1.TXT " + RPad("1.0M", 6) + " " + D17 + " " + Pad("verylongname.txt", 38),
          Pad("HIDDEN~1", 12) + " " + RPad("<DIR>", 6) + " " + D17 + " " + Pad("Hidden Dir", 38)}},
        {1, 2,
         {Pad(".", 49) + " " + RPad("<DIR>", 11) + " " + D14,
          Pad("readme.txt", 49) + " " + RPad("1,500", 11) + " " + D14,
          Pad("verylongname.txt", 49) + " " + RPad("1,048,000", 11) + " " + D14,
          Pad("Hidden Dir", 49) + " " + RPad("<DIR>", 11) + " " + D14}},
        {2, 0,
         {Pad(".", 12) + " " + RPad("<DIR>", 9) + " " + D14, "README  .TXT " + RPad("1500", 9) + " " + D14,
          "VERYLO~1.TXT " + RPad("1048000", 9) + " " + D14, Pad("HIDDEN~1", 12) + " " + RPad("<DIR>", 9) + " " + D14}},
        {2, 1,
         {". " + RPad("<DIR>", 20) + " " + D14, "readme.txt " + RPad("1500", 11) + " " + D14,
          "verylongn….txt " + RPad("1.0M", 6) + " " + D14, "Hidden Dir " + RPad("<DIR>", 11) + " " + D14}},
        {2, 2,
         {". " + RPad("<DIR>", 35), "readme.txt " + RPad("1500", 26), "verylongname.txt " + RPad("1048000", 20),
          "Hidden Dir " + RPad("<DIR>", 26)}},
        {3, 0,
         {Pad(".", 12) + " " + RPad("<DIR>", 9), "README  .TXT " + RPad("1500", 9), "VERYLO~1.TXT " + RPad("1048000", 9),
          Pad("HIDDEN~1", 12) + " " + RPad("<DIR>", 9)}},
        {3, 1,
         {". " + RPad("<DIR>", 22), "readme.txt " + RPad("1500", 13), "verylongname.txt " + RPad("1048000", 7),
          "Hidden Dir " + RPad("<DIR>", 13)}},
        {3, 2, {Pad(".", 24), Pad("readme.txt", 24), Pad("verylongname.txt", 24), Pad("Hidden Dir", 24)}},
        {5, 0, {Pad(".", 12), "README  .TXT", "VERYLO~1.TXT", Pad("HIDDEN~1", 12)}},
        {5, 1, {Pad(".", 13), Pad("readme.txt", 13), "verylon….txt", Pad("Hidden Dir", 13)}},
        {5, 2, {Pad(".", 14), Pad("readme.txt", 14), "verylong….txt", Pad("Hidden Dir", 14)}},
    };
}

TEST_F(ScreenGrid, EveryColumnCountAndSubModeDrawsTheLayout)
{
    const int colors[4] = {CL_OWNDIR, CL_NORMAL, CL_RDONLY, CL_HIDDEN};
    for (const Combination &c : Combinations()) {
        SCOPED_TRACE(testing::Message() << c.columns << " columns, sub-mode " << c.submode);
        ScreenSettings(c.columns, c.submode);
        ScreenRecordReset(20);
        DrawPage(dc, 0);
        for (int s = 0; s < 4; s++)
            ExpectSlot(s, c.slots[s], colors[s]);
        // Nothing beyond the last entry is drawn: the rest of the grid is the erased background.
        for (int line = 11; line < 27; line++)
            EXPECT_EQ(std::string(80, ' '), ScreenLineText(line)) << line;
        for (int line = 7; line < 11; line++) {
            SlotPlace place;
            SlotPlaceOf(line - 7, &place);
            COLORREF fg, bg;
            EXPECT_FALSE(ScreenCellColors(line, place.x + place.width, &fg, &bg));
            EXPECT_FALSE(ScreenCellColors(line, place.mark - 1, &fg, &bg));
        }
        // The cursor bar: the same text in reverse.
        DrawEntry(dc, 2, 2, true);
        ExpectSlot(2, c.slots[2], CL_RDONLY, true);
        DrawEntry(dc, 2, 2, false);
        ExpectSlot(2, c.slots[2], CL_RDONLY);
    }
}

TEST_F(ScreenGrid, SlotsFillColumnsTopDown)
{
    struct {
        int columns, submode, slot, x, line, width, mark;
    } cases[] = {
        {2, 1, 25, 41, 12, 37, 40}, {2, 0, 19, 2, 26, 37, 1},   {1, 0, 19, 2, 26, 76, 1},
        {3, 0, 45, 56, 12, 22, 55}, {3, 2, 59, 54, 26, 24, 53}, {5, 0, 99, 66, 26, 12, 65},
        {5, 1, 80, 63, 7, 13, 62},  {5, 2, 21, 18, 8, 14, 17},
    };
    for (const auto &c : cases) {
        ScreenSettings(c.columns, c.submode);
        SlotPlace place;
        ASSERT_TRUE(SlotPlaceOf(c.slot, &place)) << c.columns << "/" << c.slot;
        EXPECT_EQ(c.x, place.x) << c.columns << "/" << c.submode << " slot " << c.slot;
        EXPECT_EQ(c.line, place.line) << c.columns << "/" << c.submode << " slot " << c.slot;
        EXPECT_EQ(c.width, place.width) << c.columns << "/" << c.submode << " slot " << c.slot;
        EXPECT_EQ(c.mark, place.mark) << c.columns << "/" << c.submode << " slot " << c.slot;
    }
    ScreenSettings(2, 1);
    SlotPlace place;
    EXPECT_FALSE(SlotPlaceOf(40, &place));
    EXPECT_FALSE(SlotPlaceOf(-1, &place));
    ScreenSettings(4, 1);
    EXPECT_FALSE(SlotPlaceOf(0, &place));

    // Position 25 of a page drawn in 2 columns of 20 rows, marked.
    ScreenSettings(2, 1);
    ClearFileTable();
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    char shortName[16], longName[32];
    for (int i = 0; i < 30; i++) {
        snprintf(shortName, sizeof shortName, "F%02d.TXT", i);
        snprintf(longName, sizeof longName, "file%02d.txt", i);
        AddFileEntry(longName, 0, i, t, shortName);
    }
    LockFileTable();
    EntryAt(25)->mark = 1;
    UnlockFileTable();
    MarkedCount = 1;
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    std::string line12 = ScreenLineText(12);
    EXPECT_EQ("file25.txt " + RPad("25", 11) + " " + D14, line12.substr(41, 37));
    EXPECT_EQ('*', line12[40]);
    EXPECT_EQ(' ', line12[1]);
    EXPECT_EQ("file05.txt", line12.substr(2, 10));
    // A later page starts from its own top.
    ScreenRecordReset(20);
    DrawPage(dc, 20);
    EXPECT_EQ("file29.txt", ScreenLineText(16).substr(2, 10));
    EXPECT_EQ(std::string(80, ' '), ScreenLineText(17));
    EXPECT_EQ(' ', ScreenLineText(12)[40]);
}

TEST_F(ScreenGrid, MarkSignsFollowTheMarks)
{
    ScreenSettings(2, 1);
    LockFileTable();
    EntryAt(1)->mark = 1;
    EntryAt(2)->mark = 2;
    UnlockFileTable();
    MarkedCount = 0;   // mark bytes without a marked count show no sign
    ScreenRecordReset(20);
    RedrawMarks(dc, 0);
    EXPECT_EQ(' ', ScreenLineText(8)[1]);
    MarkedCount = 2;
    static int figuresDrawn;
    figuresDrawn = 0;
    MarkedFiguresDrawer = [](HDC) { figuresDrawn++; };
    RedrawMarks(dc, 0);
    MarkedFiguresDrawer = NULL;
    EXPECT_EQ(1, figuresDrawn);
    EXPECT_EQ(' ', ScreenLineText(7)[1]);
    EXPECT_EQ('*', ScreenLineText(8)[1]);
    EXPECT_EQ('*', ScreenLineText(9)[1]);
    EXPECT_EQ(' ', ScreenLineText(10)[1]);
    EXPECT_EQ(' ', ScreenLineText(26)[40]);   // every slot of the page, entry or not
    COLORREF fg, bg;
    ASSERT_TRUE(ScreenCellColors(8, 1, &fg, &bg));
    EXPECT_EQ(SlotRgb(CL_MARK), fg);
    EXPECT_EQ(SlotRgb(CL_BACK), bg);
    // With a font weight other than 400 the sign stands one pixel left of its cell, still in it.
    Settings.weight = 700;
    ScreenRecordReset(20);
    DrawMarkSign(dc, 1, 1);
    EXPECT_EQ('*', ScreenLineText(8)[1]);
    EXPECT_EQ(' ', ScreenLineText(8)[0]);
}

TEST_F(ScreenGrid, SizeEdgeCasesInEveryField)
{
    ClearFileTable();
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    AddFileEntry("billion.dat", 0, 1000000000, t, "BILLION.DAT");
    AddFileEntry("max.dat", 0, 4294967295ULL, t, "MAX.DAT");
    AddFileEntry("six.dat", 0, 999999, t, "SIX.DAT");
    struct {
        int columns, submode, position, offset, length;
        const char *expected;
    } cases[] = {
        // A size too wide for its field shows the short size rather than a cut number.
        {1, 0, 0, 13, 9, "   953.7M"},
        {1, 0, 1, 13, 9, "     4.0G"},
        {1, 0, 2, 13, 9, "   999999"},
        {1, 1, 0, 13, 6, "953.7M"},
        {1, 1, 2, 13, 6, "999999"},
        {1, 2, 0, 50, 11, "     953.7M"},
        {1, 2, 1, 50, 11, "       4.0G"},
        {1, 2, 2, 50, 11, "    999,999"},
        {2, 0, 0, 13, 9, "   953.7M"},
        {3, 0, 1, 13, 9, "     4.0G"},
        {2, 1, 0, 12, 10, "1000000000"},
        {3, 1, 1, 13, 11, " 4294967295"},
    };
    for (const auto &c : cases) {
        ScreenSettings(c.columns, c.submode);
        char text[1024];
        LockFileTable();
        FormatSlotText(c.position, c.position, text);
        UnlockFileTable();
        EXPECT_EQ(c.expected, std::string(text).substr(c.offset, c.length))
            << c.columns << "/" << c.submode << " [" << text << "]";
    }
}

TEST_F(ScreenGrid, DatesBefore1980AndDotNames)
{
    ClearFileTable();
    AddFileEntry("..", EF_DIRECTORY | EF_DOTDOT, 0, LocalTime(1979, 6, 1, 12, 0, 0), "..");
    AddFileEntry(".profile", EF_ARCHIVE, 12, LocalTime(1975, 1, 1, 0, 0, 0), ".PROFILE");
    ScreenSettings(1, 0);
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ(Pad("..", 12) + " " + RPad("<DIR>", 9) + " 0000-00-00  0:00:00 ---- " + Pad("..", 28),
              ScreenLineText(7).substr(2, 76));
    EXPECT_EQ(Pad(".PROFILE", 12) + " " + RPad("12", 9) + " 0000-00-00  0:00:00 ---A " + Pad(".profile", 28),
              ScreenLineText(8).substr(2, 76));
    ScreenSettings(2, 0);
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ(Pad("..", 12) + " " + RPad("<DIR>", 9) + " 00-00-00  0:00", ScreenLineText(7).substr(2, 37));
    ScreenSettings(1, 1);
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ(" 00-00-00  0:00:00 ", ScreenLineText(8).substr(21, 19));
    // ".." is a directory, not the own directory.
    COLORREF fg, bg;
    ASSERT_TRUE(ScreenCellColors(7, 2, &fg, &bg));
    EXPECT_EQ(SlotRgb(CL_SUBDIR), fg);
}

TEST_F(ScreenGrid, ColourPrecedence)
{
    ClearFileTable();
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    AddFileEntry("a", 0, 1, t, "A");
    AddFileEntry("LABEL", EF_VOLUME, 0, t, "LABEL");
    AddFileEntry("d", EF_DIRECTORY, 0, t, "D");
    AddFileEntry("dr", EF_DIRECTORY | EF_READONLY, 0, t, "DR");
    AddFileEntry("drh", EF_DIRECTORY | EF_READONLY | EF_HIDDEN, 0, t, "DRH");
    AddFileEntry("drhs", EF_DIRECTORY | EF_READONLY | EF_HIDDEN | EF_SYSTEM, 0, t, "DRHS");
    AddFileEntry(".", EF_DIRECTORY | EF_HIDDEN | EF_SYSTEM | EF_DOT, 0, t, ".");
    AddFileEntry("b", EF_ARCHIVE, 1, t, "B");
    const int expected[] = {CL_NORMAL, CL_VOLUME, CL_SUBDIR, CL_RDONLY, CL_HIDDEN, CL_SYSTEM, CL_OWNDIR, CL_NORMAL};
    ScreenSettings(3, 2);
    LockFileTable();
    for (int p = 0; p < EntryCount; p++) {
        COLORREF fg, bg;
        EntryColors(p, false, &fg, &bg);
        EXPECT_EQ(SlotRgb(expected[p]), fg) << p;
        EXPECT_EQ(SlotRgb(CL_BACK), bg) << p;
        EntryColors(p, true, &fg, &bg);
        EXPECT_EQ(SlotRgb(CL_BACK), fg) << p;
        EXPECT_EQ(SlotRgb(expected[p]), bg) << p;
    }
    UnlockFileTable();
    // The volume label shows its word in every size field.
    ScreenSettings(1, 2);
    char text[1024];
    LockFileTable();
    FormatSlotText(1, 1, text);
    UnlockFileTable();
    EXPECT_EQ("      <VOL>", std::string(text).substr(50, 11));
}

TEST_F(ScreenGrid, PlaceholderPageShowsOnlyItsText)
{
    ClearFileTable();
    AddFileEntry("ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ", EF_VOLUME, 0, FILETIME{0, 0}, "ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ");
    NoFiles = 1;
    for (const Combination &c : Combinations()) {
        SCOPED_TRACE(testing::Message() << c.columns << " columns, sub-mode " << c.submode);
        ScreenSettings(c.columns, c.submode);
        ScreenRecordReset(20);
        DrawPage(dc, 0);
        DrawEntry(dc, 0, 0, true);
        SlotPlace place;
        SlotPlaceOf(0, &place);
        ExpectSlot(0, Pad("ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ", place.width), CL_DATA);
        EXPECT_EQ(std::string(80, ' '), ScreenLineText(8));
        EXPECT_EQ(std::string(80 - place.x - place.width, ' '), ScreenLineText(7).substr(place.x + place.width));
    }
}

TEST_F(ScreenGrid, LongNamePositionOption)
{
    ScreenSettings(5, 1);
    Settings.lnamepos = 1;
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ("readme  .txt ", ScreenLineText(8).substr(3, 13));
    EXPECT_EQ("verylon….txt", ScreenLineText(9).substr(3, 13));
    EXPECT_EQ(".            ", ScreenLineText(7).substr(3, 13));
    ScreenSettings(2, 1);
    Settings.lnamepos = 1;
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ("readme  .txt " + RPad("1500", 9) + " " + D14, ScreenLineText(8).substr(2, 37));
}

TEST_F(ScreenGrid, ShiftJisNamesAreCutWhole)
{
    ClearFileTable();
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    AddFileEntry("日本語の長いファイル名がここにあります.txt", 0, 2048, t, "日本語~1.TXT");
    AddFileEntry("ソソソソソソソソソソソソソソソソソソソソソソソソソソソソ", 0, 10, t, "ｿｿｿ~1");
    AddFileEntry("aあいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ", 0, 10, t, "A~1");
    for (const Combination &c : Combinations()) {
        SCOPED_TRACE(testing::Message() << c.columns << " columns, sub-mode " << c.submode);
        ScreenSettings(c.columns, c.submode);
        ScreenRecordReset(20);
        DrawPage(dc, 0);
        for (int s = 0; s < 3; s++) {
            SlotPlace place;
            SlotPlaceOf(s, &place);
            std::string slot = ScreenLineText(place.line).substr(place.x, place.width);
            EXPECT_TRUE(IsWholeCharacters(slot.c_str())) << slot;
            char text[1024];
            LockFileTable();
            FormatSlotText(s, s, text);
            UnlockFileTable();
            EXPECT_EQ(std::string(text), slot);
        }
    }
    ScreenSettings(2, 1);
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ("日本語の….txt " + RPad("2048", 7) + " " + D14, ScreenLineText(7).substr(2, 37));
    EXPECT_EQ("ソソソソソソ… " + RPad("10", 7) + " " + D14, ScreenLineText(8).substr(2, 37));
    EXPECT_EQ("aあいうえおか… " + RPad("10", 6) + " " + D14, ScreenLineText(9).substr(2, 37));
    ScreenSettings(5, 2);
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ("日本語の….txt", ScreenLineText(7).substr(3, 14));
    EXPECT_EQ("aあいうえお… ", ScreenLineText(9).substr(3, 14));
    ScreenSettings(2, 0);
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ("日本語~1.TXT", ScreenLineText(7).substr(2, 12));
    EXPECT_EQ("ｿｿｿ~1       ", ScreenLineText(8).substr(2, 12));
    // A short name that is a primary name of more than 8 bytes keeps whole characters.
    ClearFileTable();
    AddFileEntry("aソソソソソ", 0, 10, t, "aソソソソソ");
    ScreenRecordReset(20);
    DrawPage(dc, 0);
    EXPECT_EQ("aソソソ     ", ScreenLineText(7).substr(2, 12));
}

TEST_F(ScreenGrid, CursorDetailsAreDrawnForRealEntriesOnly)
{
    static int detailsFor;
    detailsFor = -1;
    EntryDetailsDrawer = [](HDC, int position) { detailsFor = position; };
    ScreenSettings(2, 1);
    DrawEntry(dc, 1, 1, true);
    EXPECT_EQ(1, detailsFor);
    detailsFor = -1;
    DrawEntry(dc, 3, 3, false);
    EXPECT_EQ(-1, detailsFor);
    DrawEntry(dc, 10, 10, true);   // past the last entry: an empty slot
    EXPECT_EQ(-1, detailsFor);
    EXPECT_EQ(std::string(37, ' '), ScreenLineText(17).substr(2, 37));
    COLORREF fg, bg;
    ASSERT_TRUE(ScreenCellColors(17, 2, &fg, &bg));
    EXPECT_EQ(SlotRgb(CL_DATA), fg);
    EXPECT_EQ(SlotRgb(CL_BACK), bg);
    ScreenRecordReset(20);
    DrawEntry(dc, 1, -1, true);
    DrawEntry(dc, 40, 1, true);
    EXPECT_EQ(-1, detailsFor);
    EXPECT_EQ(std::string(80, ' '), ScreenLineText(8));
    EntryDetailsDrawer = NULL;
}
