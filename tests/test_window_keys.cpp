#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "base/globals.h"
#include "app/mainwnd.h"
#include "app/cursor.h"
#include "app/dispatch.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/dialogdriver.h"

namespace {

// Drives the real window with keys through the accelerator table, as the keyboard does.
class WindowKeys : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
        for (int i = 0; i < 45; i++) {
            char name[32];
            snprintf(name, sizeof name, "file%02d.txt", i);
            temp.MakeFile(name, std::string(i * 10, 'x'));
        }
        temp.MakeDir("subdir");
        temp.MakeFile("subdir\\inner.txt", "in");
        ASSERT_TRUE(KelpoStart("Kelpo.EXE " + temp.path));
    }
    void TearDown() override
    {
        KelpoStop();
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
    }
    std::string CursorEntry()
    {
        LockFileTable();
        std::string name = LongNameAt(PageTop + CursorSlot);
        UnlockFileTable();
        return name;
    }
    int Position() { return PageTop + CursorSlot; }
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
    KelpoKey(VK_F11);
    while (CursorEntry() != "file00.txt" && Position() < EntryCount - 1)
        KelpoKey(VK_DOWN);
    ASSERT_EQ("file00.txt", CursorEntry());
    int at = Position();
    KelpoKey(VK_SPACE);
    EXPECT_EQ(1, MarkedCount);
    EXPECT_EQ(at + 1, Position());
    KelpoKey(VK_SPACE);
    EXPECT_EQ(2, MarkedCount);
    EXPECT_EQ(10.0, MarkedBytes);   // file00 (0 bytes) and file01 (10 bytes)
    // The marked figures on the information block follow.
    EXPECT_NE(std::string::npos, KelpoScreen().find("Marked")) << KelpoScreen();
    KelpoKey('W', KEY_CTRL);   // something is marked: clear all
    EXPECT_EQ(0, MarkedCount);
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
    int sub = Settings.dispsubmode;
    KelpoType("1");   // the shown count again cycles the sub-mode
    EXPECT_NE(sub, Settings.dispsubmode);
    HMENU menu = GetMenu(g_mainWnd);
    EXPECT_EQ((UINT)MF_CHECKED, GetMenuState(menu, 10242, MF_BYCOMMAND) & MF_CHECKED);
    SendMessageA(g_mainWnd, WM_COMMAND, 10244, 0);   // "3列"
    EXPECT_EQ(3, Settings.dispmode);
    EXPECT_EQ((UINT)MF_CHECKED, GetMenuState(menu, 10244, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(0u, GetMenuState(menu, 10242, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(WindowKeys, EnterAndBackspaceWalkTheTree)
{
    KelpoKey(VK_F11);
    while (CursorEntry() != "subdir" && Position() < EntryCount - 1)
        KelpoKey(VK_DOWN);
    ASSERT_EQ("subdir", CursorEntry());
    KelpoKey(VK_RETURN);
    EXPECT_EQ(temp.path + "\\subdir\\", std::string(CurrentPath));
    EXPECT_NE(std::string::npos, KelpoScreen().find("inner.txt")) << KelpoScreen();
    KelpoKey(VK_BACK);
    EXPECT_EQ(temp.path + "\\", std::string(CurrentPath));
    EXPECT_EQ("subdir", CursorEntry());   // back on the directory we came from
}

TEST_F(WindowKeys, LowerCaseLettersActAsCapitalsAndShiftRRefreshes)
{
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
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    SendMessageA(g_mainWnd, WM_COMMAND, 10143, 0);
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
