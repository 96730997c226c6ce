#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "base/globals.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "screen/cursor.h"
#include "app/dispatch.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "support/dialogdriver.h"
#include "support/screensetup.h"
#include "screen/screen.h"
#include "screen/frame.h"
#include "resource.h"

namespace {

// Drives the real window with keys through the accelerator table, as the keyboard does.
class WindowKeys : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        MakeNumberedListing(45);
        Start(temp.path);
    }
    // The marked count and bytes of the information block, and the listing's bytes below them.
    std::string MarkedCountField() { return KelpoLine(4).substr(53, 5); }
    std::string MarkedBytesField() { return KelpoLine(4).substr(64, 14); }
    std::string TotalBytesField() { return KelpoLine(5).substr(64, 14); }
    COLORREF FieldColor(int line)
    {
        COLORREF fg = 0, bg = 0;
        EXPECT_TRUE(ScreenCellColors(line, 77, &fg, &bg));
        return fg;
    }
};

TEST_F(WindowKeys, ArrowsAndPageKeysMoveTheCursor)
{
    ASSERT_EQ(2, Settings.dispmode);
    ASSERT_EQ(20, Settings.disprow);
    int start = Position();
    KelpoKey(VK_DOWN);
    EXPECT_EQ(start + 1, Position());
    KelpoKey(VK_RIGHT);   // one column: disprow entries on
    EXPECT_EQ(start + 21, Position());
    KelpoKey(VK_NEXT);
    EXPECT_EQ(40, PageTop);
    KelpoKey('T', KEY_CTRL);   // Ctrl+T: first entry
    EXPECT_EQ(0, Position());
    KelpoKey('B', KEY_CTRL);   // Ctrl+B: last entry
    EXPECT_EQ(EntryCount - 1, Position());
    KelpoKey(VK_F11);          // 12-key layout: F11 first, F12 last
    EXPECT_EQ(0, Position());
    KelpoKey(VK_F12);
    EXPECT_EQ(EntryCount - 1, Position());
    KelpoKey('E', KEY_CTRL);   // Ctrl+E moves like the up arrow
    EXPECT_EQ(EntryCount - 2, Position());
}

TEST_F(WindowKeys, SpaceMarksAndAdvancesAndCtrlWMarksAll)
{
    ASSERT_NO_FATAL_FAILURE(GoTo("file00.txt"));
    int at = Position();
    KelpoKey(VK_SPACE);
    EXPECT_EQ(1, MarkedCount);
    EXPECT_EQ(at + 1, Position());
    KelpoKey(VK_SPACE);
    EXPECT_EQ(2, MarkedCount);
    EXPECT_EQ(10.0, MarkedBytes);   // file00 (0 bytes) and file01 (10 bytes)
    // The marked figures on the information block follow: the count, and the bytes the two
    // take on the disk (realsize is off): nothing for the empty file, one cluster for the other.
    ASSERT_GT(ClusterBytes, 10u);
    EXPECT_EQ("    2", MarkedCountField()) << KelpoScreen();
    EXPECT_EQ(RPad(Grouped(ClusterBytes), 14), MarkedBytesField()) << KelpoScreen();
    KelpoKey('W', KEY_CTRL);   // something is marked: clear all
    EXPECT_EQ(0, MarkedCount);
    EXPECT_EQ("    0", MarkedCountField());
    EXPECT_EQ(RPad("0", 14), MarkedBytesField());
    KelpoKey('W', KEY_CTRL);   // nothing marked: mark all files (directories stay unmarked)
    EXPECT_EQ(45, MarkedCount);
    KelpoKey('W', KEY_CTRL | KEY_SHIFT);   // invert
    EXPECT_EQ(0, MarkedCount);
}

TEST_F(WindowKeys, DigitsAndMenuChangeTheColumns)
{
    KelpoType("5");
    EXPECT_EQ(5, Settings.dispmode);
    KelpoType("1");
    EXPECT_EQ(1, Settings.dispmode);
    // The shown count again steps the sub-mode on, round through all three; the long name of
    // an entry moves in its slot (48 cells in, 38, then first) and the View menu checks the mode.
    HMENU menu = GetMenu(g_mainWnd);
    const int longNameAt[3] = {48, 38, 0};
    int position = FindPositionByName("file01.txt");
    ASSERT_GE(position, 0);
    ASSERT_LT(position, PageSize());
    for (int step = 1; step <= 3; step++) {
        int sub = Settings.dispsubmode;
        KelpoType("1");
        SCOPED_TRACE(testing::Message() << "from sub-mode " << sub);
        int expected = (sub + 1) % 3;
        EXPECT_EQ(expected, Settings.dispsubmode);
        EXPECT_EQ(1, Settings.dispmode);
        for (int mode = 0; mode < 3; mode++)
            EXPECT_EQ(mode == expected ? (UINT)MF_CHECKED : 0u,
                      GetMenuState(menu, IDM_SUBMODE_CLASSIC + mode, MF_BYCOMMAND) & MF_CHECKED);
        SlotPlace place;
        ASSERT_TRUE(SlotPlaceOf(position - PageTop, &place));
        EXPECT_EQ("file01.txt ", KelpoLine(place.line).substr(place.x + longNameAt[expected], 11)) << KelpoScreen();
    }
    EXPECT_EQ((UINT)MF_CHECKED, GetMenuState(menu, IDM_COLUMNS_1, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageA(g_mainWnd, WM_COMMAND, IDM_COLUMNS_3, 0);   // "3列"
    EXPECT_EQ(3, Settings.dispmode);
    EXPECT_EQ((UINT)MF_CHECKED, GetMenuState(menu, IDM_COLUMNS_3, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(0u, GetMenuState(menu, IDM_COLUMNS_1, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(WindowKeys, EnterAndBackspaceWalkTheTree)
{
    ASSERT_NO_FATAL_FAILURE(GoTo("subdir"));
    KelpoKey(VK_RETURN);
    EXPECT_EQ(temp.path + "\\subdir\\", std::string(CurrentPath));
    EXPECT_NE(std::string::npos, KelpoScreen().find("inner.txt")) << KelpoScreen();
    KelpoKey(VK_BACK);
    EXPECT_EQ(temp.path + "\\", std::string(CurrentPath));
    EXPECT_EQ("subdir", CursorEntry());   // back on the directory we came from
}

TEST_F(WindowKeys, LowerCaseLettersActAsCapitalsAndShiftRRefreshes)
{
    // A typed "g" (no Shift: the character is lower-case) is the G command: short names in
    // lower case; a typed "G" switches them back to capitals. The cursor details show them.
    ASSERT_NO_FATAL_FAILURE(GoTo("file05.txt"));
    KelpoType("g");
    EXPECT_EQ(1, Settings.namesmall);
    EXPECT_EQ("file05.txt  ", KelpoLine(4).substr(7, 12)) << KelpoScreen();
    KelpoType("G");
    EXPECT_EQ(0, Settings.namesmall);
    EXPECT_EQ("FILE05.TXT  ", KelpoLine(4).substr(7, 12)) << KelpoScreen();
    KelpoType("g");
    EXPECT_EQ(1, Settings.namesmall);
    EXPECT_EQ("file05.txt  ", KelpoLine(4).substr(7, 12)) << KelpoScreen();

    temp.MakeFile("zz-late.txt", "late");
    EXPECT_EQ(std::string::npos, KelpoScreen().find("zz-late.txt"));
    KelpoType("R");   // typed Shift+R: refresh
    int count = EntryCount;
    KelpoPump();
    EXPECT_EQ(49, count);   // ".", "..", 45 files, subdir, the new file
    temp.MakeFile("zz-later.txt", "later");
    KelpoKey(VK_F7, KEY_SHIFT);   // Shift+F7 refreshes in the 12-key layout
    KelpoPump();
    EXPECT_EQ(50, EntryCount);
}

TEST_F(WindowKeys, CtrlLettersMoveLikeTheArrows)
{
    KelpoKey(VK_F11);
    KelpoKey('X', KEY_CTRL);
    EXPECT_EQ(1, Position());
    KelpoKey('D', KEY_CTRL);
    EXPECT_EQ(21, Position());
    KelpoKey('S', KEY_CTRL);
    EXPECT_EQ(1, Position());
    KelpoKey('E', KEY_CTRL);
    EXPECT_EQ(0, Position());
}

TEST_F(WindowKeys, SlashSwitchesBetweenRealAndAllocatedSizes)
{
    ASSERT_EQ(0, Settings.realsize);
    ASSERT_GT(ClusterBytes, 20u);
    ASSERT_NO_FATAL_FAILURE(GoTo("file01.txt"));
    KelpoKey(VK_SPACE);
    KelpoKey(VK_SPACE);   // file01 and file02: 10 and 20 bytes, a cluster each on the disk
    ASSERT_EQ(2, MarkedCount);
    unsigned long long real = 0, allocated = 0;
    LockFileTable();
    for (int p = 0; p < EntryCount; p++) {
        unsigned long long size = EntrySize(EntryAt(p));
        real += size;
        allocated += (size + ClusterBytes - 1) / ClusterBytes * ClusterBytes;
    }
    UnlockFileTable();
    ASSERT_EQ(9900u, real);   // 0 + 10 + ... + 440 bytes in the files, nothing in the directories

    EXPECT_EQ(RPad(Grouped(2ull * ClusterBytes), 14), MarkedBytesField()) << KelpoScreen();
    EXPECT_EQ(RPad(Grouped(allocated), 14), TotalBytesField());
    EXPECT_EQ(SlotColor(CL_DATA), FieldColor(4));
    KelpoType("/");
    EXPECT_EQ(1, Settings.realsize);
    EXPECT_EQ(RPad("30", 14), MarkedBytesField()) << KelpoScreen();
    EXPECT_EQ(RPad("9,900", 14), TotalBytesField());
    EXPECT_EQ(SlotColor(CL_TITLE), FieldColor(4));
    EXPECT_EQ(SlotColor(CL_TITLE), FieldColor(5));
    EXPECT_EQ("    2", MarkedCountField());
    KelpoType("/");
    EXPECT_EQ(0, Settings.realsize);
    EXPECT_EQ(RPad(Grouped(2ull * ClusterBytes), 14), MarkedBytesField()) << KelpoScreen();
    EXPECT_EQ(RPad(Grouped(allocated), 14), TotalBytesField());
    EXPECT_EQ(SlotColor(CL_DATA), FieldColor(5));
}

TEST_F(WindowKeys, ShiftRedrawsTheKeyBar)
{
    const int bar = Settings.disprow + 8;
    const std::string plain = "   help  eXec  Copy  Delet   Renam Sort  Find  Tree    Logds Unpac top   botto  ";
    const std::string shifted = "   Attr  Info  Move  rmDir   mKdir sHell Refrs Edito   View  Pack  Quick        ";
    EXPECT_EQ(plain, KelpoLine(bar));
    KelpoHoldKey(VK_SHIFT, true);
    EXPECT_EQ(shifted, KelpoLine(bar));
    EXPECT_TRUE(KelpoScreenTruth());   // a repaint while Shift is held draws the same bar
    KelpoHoldKey(VK_SHIFT, false);
    EXPECT_EQ(plain, KelpoLine(bar));
    EXPECT_TRUE(KelpoScreenTruth());
}

// Counts the menu bar's activations instead of entering its modal loop.
WNDPROC kelpoProc;
int menuActivations;
LRESULT CALLBACK CountMenuActivation(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) {
        menuActivations++;
        return 0;
    }
    return CallWindowProcA(kelpoProc, hwnd, msg, wParam, lParam);
}

TEST_F(WindowKeys, AltShowsThePanelAndAltenableDecidesTheMenuBar)
{
    kelpoProc = (WNDPROC)SetWindowLongPtrA(g_mainWnd, GWLP_WNDPROC, (LONG_PTR)CountMenuActivation);
    const int top = Settings.disprow / 2;   // the panel's first line of commands
    // altenable 1 first: the system's menu key state starts out clean.
    for (int altenable = 1; altenable >= 0; altenable--) {
        SCOPED_TRACE(testing::Message() << "altenable " << altenable);
        Settings.altenable = (BYTE)altenable;
        menuActivations = 0;
        KelpoHoldKey(VK_MENU, true);
        EXPECT_EQ(0, AltOverlay);
        EXPECT_EQ("A:", KelpoLine(top + 1).substr(8, 2)) << KelpoScreen();
        EXPECT_EQ("Z:", KelpoLine(top + 13).substr(41, 2)) << KelpoScreen();
        KelpoHoldKey(VK_MENU, false);
        EXPECT_EQ(-1, AltOverlay);
        EXPECT_NE("A:", KelpoLine(top + 1).substr(8, 2));
        EXPECT_TRUE(KelpoScreenTruth());
        EXPECT_EQ(altenable, menuActivations) << "the Alt key-up reaches the system only with altenable 1";
    }
    SetWindowLongPtrA(g_mainWnd, GWLP_WNDPROC, (LONG_PTR)kelpoProc);
}

TEST_F(WindowKeys, TenKeyLayoutLeavesF11AndF12Alone)
{
    Settings.fkeynum = 10;
    RepaintAll(g_mainWnd);          // as the option dialog does after a change
    KelpoKey(VK_DOWN);
    KelpoKey(VK_DOWN);
    int at = Position();
    KelpoKey(VK_F11);
    EXPECT_EQ(at, Position());
    KelpoKey(VK_F12);
    EXPECT_EQ(at, Position());
    temp.MakeFile("zz-new.txt", "n");
    KelpoKey(VK_F7, KEY_SHIFT);   // Shift+F7 is Refrsh in this layout too
    KelpoPump();
    EXPECT_EQ(49, EntryCount);
}

TEST_F(WindowKeys, VersionBoxShowsIconNameAndVersion)
{
    DialogDriver driver;
    driver.Then([](HWND dialog) { PressButton(dialog, IDOK); });
    SendMessageA(g_mainWnd, WM_COMMAND, IDM_VERSION, 0);
    ASSERT_EQ(1u, driver.seen.size());
    const SeenDialog &seen = driver.seen[0];
    bool hasIcon = false, hasName = false, hasVersion = false;
    for (const SeenControl &c : seen.controls) {
        hasIcon |= c.className == "Static" && (c.style & 0x1F) == SS_ICON;
        hasName |= c.text == "Kelpo";
        hasVersion |= c.text == "Version 1.00";
    }
    EXPECT_TRUE(hasIcon);
    EXPECT_TRUE(hasName);
    EXPECT_TRUE(hasVersion);
    ASSERT_EQ(1u, seen.Buttons().size());
    EXPECT_EQ("OK", seen.Buttons()[0].text);
}

TEST(FunctionKeyRows, LettersOfBothLayouts)
{
    EXPECT_EQ(' ', FunctionKeyLetter(12, 0, 0));
    EXPECT_EQ('X', FunctionKeyLetter(12, 0, 1));
    EXPECT_EQ('L', FunctionKeyLetter(12, 0, 8));
    EXPECT_EQ('R', FunctionKeyLetter(12, 0, 12 + 6));
    EXPECT_EQ(' ', FunctionKeyLetter(12, 0, 23));   // Shift+F12: nothing
    EXPECT_EQ('L', FunctionKeyLetter(10, 0, 0));
    EXPECT_EQ('R', FunctionKeyLetter(10, 0, 10 + 6));
    EXPECT_EQ('P', FunctionKeyLetter(10, 0, 19));
    EXPECT_EQ(' ', FunctionKeyLetter(10, 1, 2));     // viewer: no letters
}

} // namespace
