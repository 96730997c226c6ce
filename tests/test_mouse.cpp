// The mouse: the hit test from cells to grid slots and key caps in every display mode, and
// clicks, right clicks and double clicks on the real window.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "screen/cursor.h"
#include "app/mouse.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/keybar.h"
#include "screen/screen.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

struct ModeCase {
    int dispmode, submode;
    int gaps[12];           // grid cells (column - 2) that hit nothing, ended by -1
    int firstCells[5];      // the first grid cell of each grid column
};
const ModeCase modes[] = {
    {1, 0, {-1}, {0}},
    {2, 1, {37, 38, -1}, {0, 39}},
    {3, 0, {22, 23, 24, 25, 26, 49, 50, 51, 52, 53, -1}, {0, 27, 54}},
    {3, 1, {24, 25, 50, 51, -1}, {0, 26, 52}},
    {3, 2, {24, 25, 50, 51, -1}, {0, 26, 52}},
    {5, 0, {12, 15, 28, 31, 44, 47, 60, 63, -1}, {0, 16, 32, 48, 64}},
    {5, 1, {14, 15, 29, 30, 44, 45, 59, 60, 74, 75, -1}, {0, 16, 31, 46, 61}},
    {5, 2, {15, 30, 45, 60, 75, -1}, {0, 16, 31, 46, 61}},
};

class HitTestTable : public testing::Test {
protected:
    SettingsRecord saved;
    void SetUp() override { saved = Settings; Settings.disprow = 20; }
    void TearDown() override { Settings = saved; }
};

TEST_F(HitTestTable, GridCellsGapsAndDrawnSlotsAgree)
{
    for (const ModeCase &m : modes) {
        Settings.dispmode = (BYTE)m.dispmode;
        Settings.dispsubmode = (BYTE)m.submode;
        SCOPED_TRACE(testing::Message() << "dispmode " << m.dispmode << " sub-mode " << m.submode);
        int slot = -1, command = 0;
        for (int i = 0; m.gaps[i] >= 0; i++)
            EXPECT_EQ(HIT_NOTHING, HitTestCell(m.gaps[i] + 2, 7, false, &slot, &command)) << "gap " << m.gaps[i];
        for (int k = 0; k < m.dispmode; k++) {
            ASSERT_EQ(HIT_SLOT, HitTestCell(m.firstCells[k] + 2, 9, false, &slot, &command));
            EXPECT_EQ(2 + 20 * k, slot);
            if (k > 0) {
                // The cell before a column's first one belongs to the gap or the column before.
                int before = -1;
                int r = HitTestCell(m.firstCells[k] + 1, 9, false, &before, &command);
                EXPECT_TRUE(r == HIT_NOTHING || before == 2 + 20 * (k - 1));
            }
            // Where the grid draws the slot, a click finds it.
            SlotPlace place;
            ASSERT_TRUE(SlotPlaceOf(20 * k + 5, &place));
            ASSERT_EQ(HIT_SLOT, HitTestCell(place.x, place.line, false, &slot, &command));
            EXPECT_EQ(20 * k + 5, slot);
        }
        EXPECT_EQ(HIT_NOTHING, HitTestCell(1, 8, false, &slot, &command));
        EXPECT_EQ(HIT_NOTHING, HitTestCell(78, 8, false, &slot, &command));
        EXPECT_EQ(HIT_NOTHING, HitTestCell(10, 6, false, &slot, &command));
        EXPECT_EQ(HIT_NOTHING, HitTestCell(10, 27, false, &slot, &command));   // the status line
    }
}

TEST_F(HitTestTable, KeyCapsGiveTheirLettersOrCommands)
{
    struct Cap {
        int fkeynum, column;
        bool shifted;
        int letter, command;
    } caps[] = {
        {12, 3, false, 0, IDM_HELP},  {12, 9, false, 'X', 0},   {12, 16, false, 'C', 0},
        {12, 57, false, 'L', 0},      {12, 67, false, 0, IDM_GOTO_FIRST}, {12, 77, false, 0, IDM_GOTO_END},
        {12, 16, true, 'M', 0},       {12, 22, true, 'D', 0},   {12, 69, true, 'Q', 0},
        {12, 75, true, 0, 0},         {12, 8, false, 0, 0},     {10, 4, false, 'L', 0},
        {10, 19, false, 'C', 0},      {10, 19, true, 'M', 0},   {10, 32, true, 'K', 0},
        {10, 75, true, 'P', 0},       {10, 38, false, 0, 0},
    };
    for (const Cap &c : caps) {
        Settings.fkeynum = (BYTE)c.fkeynum;
        int slot = -1, command = -1;
        int result = HitTestCell(c.column, 28, c.shifted, &slot, &command);
        EXPECT_EQ(c.letter, result) << c.fkeynum << " keys, column " << c.column << (c.shifted ? " shifted" : "");
        EXPECT_EQ(c.command, command) << c.fkeynum << " keys, column " << c.column;
    }
}

class WindowMouse : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeNumberedFiles("file%02d.txt", 30, [](int i) { return (size_t)(100 + i); });
        temp.MakeDir("folder");
        temp.MakeFile("folder\\inside.txt", "i");
    }
    static LPARAM At(int column, int line)
    {
        return MAKELPARAM(column * CellWidth + CellWidth / 2, line * CellHeight + TopOffset + CellHeight / 2);
    }
    static LPARAM AtSlot(int slot)
    {
        SlotPlace place;
        SlotPlaceOf(slot, &place);
        return At(place.x + 1, place.line);
    }
    // The right button's state follows its messages, as the system keeps it for a real mouse.
    // A right click on an entry leaves the key bar as it is while the button is held, where a
    // repaint would show the shifted caps: such steps are checked once the button is up.
    static void Send(UINT message, WPARAM keys, LPARAM position, bool check = true)
    {
        BYTE state[256];
        GetKeyboardState(state);
        state[VK_RBUTTON] = (keys & MK_RBUTTON) ? 0x80 : 0;
        SetKeyboardState(state);
        SendMessageA(g_mainWnd, message, keys, position);
        KelpoPump();
        if (check) {
            EXPECT_TRUE(KelpoScreenTruth()) << "after mouse message " << message;
        }
    }
    static std::string NameAt(int position)
    {
        LockFileTable();
        std::string name = LongNameAt(position);
        UnlockFileTable();
        return name;
    }
};

TEST_F(WindowMouse, ClicksMoveMarkOpenAndRunKeyCaps)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    // A click moves the cursor; a click after the last entry leaves it.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, AtSlot(25));
    EXPECT_EQ(25, CursorSlot);
    Send(WM_LBUTTONUP, 0, AtSlot(25));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, AtSlot(39));
    EXPECT_EQ(25, CursorSlot);
    // A right click marks the entry under it, not the cursor entry; ".." is never marked.
    Send(WM_RBUTTONDOWN, MK_RBUTTON, AtSlot(10), false);
    Send(WM_RBUTTONUP, 0, AtSlot(10));
    EXPECT_EQ(25, CursorSlot);
    EXPECT_EQ(1, MarkedCount);
    LockFileTable();
    EXPECT_EQ(1, EntryAt(10)->mark);
    double bytes = (double)EntrySize(EntryAt(10));
    UnlockFileTable();
    EXPECT_EQ(bytes, MarkedBytes);
    std::string marked = KelpoLine(4).substr(53, 5);
    EXPECT_EQ("    1", marked);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, AtSlot(1), false);
    Send(WM_RBUTTONUP, 0, AtSlot(1));
    EXPECT_EQ(1, MarkedCount);
    // The right button on the key bar shows the shifted caps until it is released.
    Send(WM_RBUTTONDOWN, MK_RBUTTON, At(16, Settings.disprow + 8));
    EXPECT_NE(std::string::npos, KelpoLine(Settings.disprow + 8).find("Move")) << KelpoScreen();
    Send(WM_RBUTTONUP, 0, At(16, Settings.disprow + 8));
    EXPECT_NE(std::string::npos, KelpoLine(Settings.disprow + 8).find("Copy")) << KelpoScreen();
    // The key caps top and bottom (12 keys) send their commands.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(77, Settings.disprow + 8));
    EXPECT_EQ(EntryCount - 1, PageTop + CursorSlot);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(67, Settings.disprow + 8));
    EXPECT_EQ(0, PageTop + CursorSlot);
    // A double click on a directory lists it.
    int folder = FindPositionByName("folder");
    ASSERT_GE(folder, 0);
    ASSERT_LT(folder, PageSize());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, AtSlot(folder));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, AtSlot(folder));
    EXPECT_EQ(temp.Full("folder") + "\\", std::string(CurrentPath));
    EXPECT_GE(FindPositionByName("inside.txt"), 0);
}

TEST_F(WindowMouse, PageIndicatorLineTurnsPages)
{
    for (int i = 30; i < 60; i++) {
        char name[32];
        snprintf(name, sizeof name, "file%02d.txt", i);
        temp.MakeFile(name, "p");
    }
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    ASSERT_EQ(40, PageSize());
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 6));   // left half on page 1: nothing
    EXPECT_EQ(0, PageTop);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(60, 6));
    EXPECT_EQ(40, PageTop);
    EXPECT_EQ("Page: 2/ 2", KelpoLine(1).substr(2, 10));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10, 6));
    EXPECT_EQ(0, PageTop);
    // A click on a gap between the grid columns does nothing.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, AtSlot(3));
    int before = CursorSlot;
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2 + 37, 9));
    EXPECT_EQ(before, CursorSlot);
}

}   // namespace
