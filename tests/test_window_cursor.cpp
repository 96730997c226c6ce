#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

const int FILES = 45;   // with subdir, "." and "..": 48 entries, pages of 40 and 8

// The cursor keys of the real window, with the highlight read back from the screen record.
class WindowCursor : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        MakeNumberedListing(FILES);
    }
    void Start(const std::string &path)
    {
        ASSERT_NO_FATAL_FAILURE(KelpoWindowTest::Start(path));
        ASSERT_EQ(2, Settings.dispmode);
        ASSERT_EQ(20, Settings.disprow);
    }
    // The slots of the page drawn on a background other than the screen's.
    std::vector<int> HighlightedSlots()
    {
        std::vector<int> slots;
        for (int s = 0; s < PageSize(); s++) {
            SlotPlace place;
            COLORREF fg, bg;
            if (SlotPlaceOf(s, &place) && ScreenCellColors(place.line, place.x, &fg, &bg) &&
                bg != SlotColor(CL_BACK))
                slots.push_back(s);
        }
        return slots;
    }
    void ExpectCursorAt(int top, int slot)
    {
        EXPECT_EQ(top, PageTop);
        EXPECT_EQ(slot, CursorSlot);
        EXPECT_EQ(std::vector<int>{slot}, HighlightedSlots()) << KelpoScreen();
        EXPECT_EQ(slot, PrevSlot);
    }
};

TEST_F(WindowCursor, WrappingWithAndWithoutCurpage)
{
    Start(temp.path);
    ASSERT_EQ(FILES + 3, EntryCount);
    Settings.curpage = 0;
    KelpoKey(VK_F11);
    KelpoKey(VK_UP);
    ExpectCursorAt(0, 39);
    KelpoKey(VK_DOWN);
    ExpectCursorAt(0, 0);
    KelpoKey(VK_LEFT);
    ExpectCursorAt(0, 20);
    KelpoKey(VK_RIGHT);
    ExpectCursorAt(0, 0);

    Settings.curpage = 1;
    KelpoKey(VK_UP);   // the very first entry: nothing before it
    ExpectCursorAt(0, 0);
    KelpoKey(VK_LEFT);
    ExpectCursorAt(0, 0);
    for (int i = 0; i < 39; i++)
        KelpoKey(VK_DOWN);
    ExpectCursorAt(0, 39);
    KelpoKey(VK_DOWN);   // across the page edge
    ExpectCursorAt(40, 0);
    KelpoKey(VK_UP);
    ExpectCursorAt(0, 39);
    // Right from the last column onto the last page, which is shorter than the cursor's row.
    KelpoKey(VK_RIGHT);
    ExpectCursorAt(40, 7);
    KelpoKey(VK_DOWN);   // the very last entry
    ExpectCursorAt(40, 7);
    KelpoKey(VK_LEFT);   // same row, last column of the page before
    ExpectCursorAt(0, 27);
}

TEST_F(WindowCursor, ShiftAndPageKeysTurnPages)
{
    Start(temp.path);
    for (int curpage = 0; curpage <= 1; curpage++) {
        Settings.curpage = (BYTE)curpage;
        KelpoKey(VK_F11);
        KelpoKey(VK_PRIOR);   // page 1: nothing before it
        ExpectCursorAt(0, 0);
        KelpoKey(VK_DOWN, KEY_SHIFT);
        ExpectCursorAt(40, 0);
        KelpoKey(VK_DOWN, KEY_SHIFT);
        ExpectCursorAt(40, 0);
        KelpoKey(VK_DOWN);
        KelpoKey(VK_UP, KEY_SHIFT);
        ExpectCursorAt(0, 0);
    }
}

TEST_F(WindowCursor, SpaceOnTheLastEntryFollowsCspace)
{
    Start(temp.path);
    Settings.cspace = 0;
    KelpoKey(VK_F12);
    ASSERT_EQ(EntryCount - 1, Position());
    LockFileTable();
    int markable = (EntryAt(Position())->EntryFlags & EF_DIRECTORY) ? 0 : 1;
    UnlockFileTable();
    KelpoKey(VK_SPACE);
    EXPECT_EQ(markable, MarkedCount);
    ExpectCursorAt(40, 0);

    Settings.cspace = 1;
    KelpoKey(VK_F12);
    KelpoKey(VK_SPACE);
    EXPECT_EQ(0, MarkedCount);
    ExpectCursorAt(0, 0);
    // Ctrl+Space with cspace 1 stays on the shown page.
    KelpoKey(VK_F12);
    KelpoKey(VK_SPACE, KEY_CTRL);
    EXPECT_EQ(markable, MarkedCount);
    ExpectCursorAt(40, 0);
}

TEST_F(WindowCursor, HomeAndShiftEndWithDirmark)
{
    Start(temp.path);
    for (int dirmark = 0; dirmark <= 1; dirmark++) {
        Settings.dirmark = (BYTE)dirmark;
        KelpoKey(VK_HOME);   // nothing marked: every file, no directory
        EXPECT_EQ(FILES, MarkedCount);
        double bytes = 0;
        for (int i = 0; i < FILES; i++)
            bytes += i * 10;
        EXPECT_DOUBLE_EQ(bytes, MarkedBytes);
        KelpoKey(VK_HOME);
        EXPECT_EQ(0, MarkedCount);
        EXPECT_DOUBLE_EQ(0, MarkedBytes);
        KelpoKey(VK_END, KEY_SHIFT);   // invert: the directories too when dirmark is set
        EXPECT_EQ(FILES + dirmark, MarkedCount);
        KelpoKey(VK_HOME);
        EXPECT_EQ(0, MarkedCount);
    }
}

TEST_F(WindowCursor, TypedDigitOfTheShownColumnsCyclesTheSubMode)
{
    Start(temp.path);
    GoTo("file30.txt");
    int sub = Settings.dispsubmode;
    KelpoType("2");
    EXPECT_EQ(2, Settings.dispmode);
    EXPECT_EQ((sub + 1) % 3, Settings.dispsubmode);
    EXPECT_EQ("file30.txt", CursorEntry());
    ExpectCursorAt(PageTop, CursorSlot);
    KelpoType("5");
    EXPECT_EQ("file30.txt", CursorEntry());
    EXPECT_EQ(std::vector<int>{CursorSlot}, HighlightedSlots());
}

TEST_F(WindowCursor, EnterLandsOnDotDotAndBackspaceReturns)
{
    temp.MakeDir("A");
    temp.MakeDir("A\\B");
    temp.MakeFile("A\\B\\x.txt", "x");
    Start(temp.Full("A\\B"));
    KelpoKey(VK_BACK);
    EXPECT_EQ(temp.Full("A") + "\\", std::string(CurrentPath));
    EXPECT_EQ("B", CursorEntry());
    ExpectCursorAt(0, CursorSlot);
    KelpoKey(VK_RETURN);
    EXPECT_EQ(temp.Full("A\\B") + "\\", std::string(CurrentPath));
    EXPECT_EQ("..", CursorEntry());
    ExpectCursorAt(0, CursorSlot);
}

TEST_F(WindowCursor, BackspaceInADriveRootDoesNothing)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    std::string root(windows, 3);
    Start(root);
    int count = EntryCount;
    KelpoKey(VK_DOWN);
    int at = Position();
    KelpoKey(VK_BACK);
    EXPECT_EQ(root, std::string(CurrentPath));
    EXPECT_EQ(count, EntryCount);
    EXPECT_EQ(at, Position());
}

}  // namespace
