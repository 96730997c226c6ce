#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "base/globals.h"
#include "screen/cursor.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "resource.h"

namespace {

class MainWindow : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeNumberedFiles("entry%02d.txt", 12, [](int) { return (size_t)1; });
        Start(temp.path);
    }
    int WindowHeight()
    {
        RECT window;
        GetWindowRect(g_mainWnd, &window);
        return window.bottom - window.top;
    }
    int ClientHeight()
    {
        RECT client;
        GetClientRect(g_mainWnd, &client);
        return client.bottom;
    }
    // Sizes the window to a height with the left button held, as a drag of its lower edge does.
    void DragTo(int height)
    {
        RECT window;
        GetWindowRect(g_mainWnd, &window);
        KelpoLeftButton(true);
        ASSERT_TRUE(GetAsyncKeyState(VK_LBUTTON) & 0x8000) << "the button is not held";
        SetWindowPos(g_mainWnd, NULL, 0, 0, window.right - window.left, height, SWP_NOMOVE | SWP_NOZORDER);
        KelpoPump();
    }
};

static void MakeFileByAnotherProgram(const std::string &path)
{
    std::string command = "cmd.exe /c echo made> \"" + path + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi));
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// While a command is busy, or a dialog of the window is open, a change is not listed (the
// marks the command is about to use stay); it is listed at the first tick afterwards.
TEST_F(MainWindow, FileMadeByAnotherProgramIsListedWithTheCursorKept)
{
    for (int i = 0; i < 5; i++)
        KelpoKey(VK_DOWN);
    std::string before = CursorEntry();
    int count = EntryCount;
    KelpoKey(VK_SPACE);
    KelpoKey(VK_UP);
    ASSERT_EQ(1, MarkedCount);
    BusyFlag = 1;
    MakeFileByAnotherProgram(temp.Full("aaa-new.txt"));
    EXPECT_FALSE(PumpUntil([&] { return EntryCount != count || MarkedCount != 1; }, 1500));
    BusyFlag = 0;
    EnableWindow(g_mainWnd, FALSE);
    EXPECT_FALSE(PumpUntil([&] { return EntryCount != count || MarkedCount != 1; }, 1500));
    EnableWindow(g_mainWnd, TRUE);
    ASSERT_TRUE(PumpUntil([&] { return EntryCount == count + 1; }, 10000)) << EntryCount;
    EXPECT_EQ(before, CursorEntry());
    EXPECT_NE(std::string::npos, KelpoScreen().find("aaa-new.txt")) << KelpoScreen();
}

// The listed directory removed by another program: its nearest remaining parent is listed with
// its entries, not an empty list under that parent's path.
TEST_F(MainWindow, RemovedDirectoryGivesWayToItsParent)
{
    temp.MakeDir("表");
    temp.MakeDir("表\\ソ");
    temp.MakeFile("表\\ソ\\inner.txt", "1");
    temp.MakeFile("表\\outer.txt", "1");
    KelpoStop();
    Start(temp.Full("表\\ソ"));
    ASSERT_EQ(temp.Full("表\\ソ\\"), std::string(CurrentPath));
    // Removed while watched, the directory goes when the watch lets go of it.
    RemoveTree(temp.Full("表\\ソ"));
    ASSERT_TRUE(PumpUntil([&] { return std::string(CurrentPath) == temp.Full("表\\"); }, 10000)) << CurrentPath;
    EXPECT_EQ(0, NoFiles);
    EXPECT_NE(std::string::npos, KelpoScreen().find("outer.txt")) << KelpoScreen();
    EXPECT_TRUE(KelpoScreenTruth());
}

TEST_F(MainWindow, ResizingSnapsToWholeLinesAndKeepsTheWidth)
{
    RECT client;
    GetClientRect(g_mainWnd, &client);
    EXPECT_EQ(80 * CellWidth, client.right);
    EXPECT_EQ((Settings.disprow + 9) * CellHeight + TopOffset, client.bottom);

    RECT window;
    GetWindowRect(g_mainWnd, &window);
    int frame = (window.bottom - window.top) - client.bottom;
    // Half a line more than 14 rows: the window snaps back to 14 rows.
    SetWindowPos(g_mainWnd, NULL, 0, 0, window.right - window.left + 37,
                 frame + (14 + 9) * CellHeight + CellHeight / 2 + TopOffset, SWP_NOMOVE | SWP_NOZORDER);
    KelpoPump();
    EXPECT_EQ(14, Settings.disprow);
    GetClientRect(g_mainWnd, &client);
    EXPECT_EQ((14 + 9) * CellHeight + TopOffset, client.bottom);
    EXPECT_EQ(80 * CellWidth, client.right);
    EXPECT_EQ(23u, (unsigned)KelpoScreen().size() / 81);

    // Far too low: six grid lines at least.
    SetWindowPos(g_mainWnd, NULL, 0, 0, window.right - window.left, frame + 3 * CellHeight,
                 SWP_NOMOVE | SWP_NOZORDER);
    KelpoPump();
    EXPECT_EQ(6, Settings.disprow);
    GetClientRect(g_mainWnd, &client);
    EXPECT_EQ((6 + 9) * CellHeight + TopOffset, client.bottom);
    // The key bar stands on the last line.
    EXPECT_NE(std::string::npos, KelpoLine(6 + 8).find("eXec")) << KelpoScreen();
}

// Sizing the window with the mouse button held: the window asks for at least 17 lines of
// height, the row count follows the size at once and the snap to whole lines waits for the release.
TEST_F(MainWindow, DragBelowSeventeenLinesStopsAtTheMinimum)
{
    MINMAXINFO info = {};
    SendMessageA(g_mainWnd, WM_GETMINMAXINFO, 0, (LPARAM)&info);
    EXPECT_EQ(17 * CellHeight, info.ptMinTrackSize.y);
    EXPECT_EQ(Settings.sx, info.ptMinTrackSize.x);
    EXPECT_EQ(Settings.sx, info.ptMaxTrackSize.x);

    int frame = WindowHeight() - ClientHeight();
    ASSERT_NO_FATAL_FAILURE(DragTo(5 * CellHeight));
    EXPECT_EQ(17 * CellHeight, WindowHeight());
    EXPECT_EQ(17 * CellHeight - frame, ClientHeight());
    int rows = (ClientHeight() - TopOffset) / CellHeight - 9;
    if (rows < 6)
        rows = 6;
    EXPECT_EQ(rows, Settings.disprow);
    EXPECT_EQ(1, ResizePending);

    KelpoLeftButton(false);
    int snapped = (rows + 9) * CellHeight + TopOffset;
    EXPECT_TRUE(PumpUntil([&] { return ClientHeight() == snapped; }, 10000)) << ClientHeight();
    EXPECT_EQ(0, ResizePending);
    EXPECT_EQ(rows, Settings.disprow);
    EXPECT_GE(WindowHeight(), 17 * CellHeight);
    EXPECT_NE(std::string::npos, KelpoLine(rows + 8).find("eXec")) << KelpoScreen();
    EXPECT_TRUE(KelpoScreenTruth());
}

TEST_F(MainWindow, DragResizeKeepsTheCursorOnItsEntry)
{
    KelpoKey(VK_F12);   // the last entry: on another page once the rows are fewer
    std::string before = CursorEntry();
    int last = Position();
    ASSERT_EQ(EntryCount - 1, last);

    // Half a line more than 6 rows, and no less than the window's minimum.
    int height = WindowHeight() - ClientHeight() + (6 + 9) * CellHeight + CellHeight / 2 + TopOffset;
    ASSERT_NO_FATAL_FAILURE(DragTo(height > 17 * CellHeight ? height : 17 * CellHeight));
    int rows = Settings.disprow;
    EXPECT_EQ(1, ResizePending);
    EXPECT_EQ(before, CursorEntry()) << "nothing moves while the button is held";

    KelpoLeftButton(false);
    EXPECT_TRUE(PumpUntil([] { return ResizePending == 0; }, 10000));
    EXPECT_EQ((rows + 9) * CellHeight + TopOffset, ClientHeight());
    EXPECT_EQ(before, CursorEntry()) << "the cursor left its entry when the drag ended";
    EXPECT_EQ(last / PageSize() * PageSize(), PageTop);
    EXPECT_TRUE(KelpoScreenTruth());
}

TEST_F(MainWindow, RowsMenuChecksTheRowCount)
{
    HMENU menu = GetMenu(g_mainWnd);
    SendMessageA(g_mainWnd, WM_COMMAND, IDM_ROWS_25, 0);
    KelpoPump();
    EXPECT_EQ(25, Settings.disprow);
    EXPECT_EQ((UINT)MF_CHECKED, GetMenuState(menu, 10269, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(0u, GetMenuState(menu, 10268, MF_BYCOMMAND) & MF_CHECKED);
    char text[64];
    GetMenuStringA(menu, 10271, text, sizeof text, MF_BYCOMMAND);
    EXPECT_STREQ("設定(&C)...\t25行", text);
    RECT client;
    GetClientRect(g_mainWnd, &client);
    EXPECT_EQ((25 + 9) * CellHeight + TopOffset, client.bottom);
}

} // namespace
