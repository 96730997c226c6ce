#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "base/globals.h"
#include "app/cursor.h"
#include "app/mainwnd.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "support/testutil.h"
#include "support/window.h"

namespace {

class MainWindow : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
        for (int i = 0; i < 12; i++) {
            char name[32];
            snprintf(name, sizeof name, "entry%02d.txt", i);
            temp.MakeFile(name, "x");
        }
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
    // Lets the window's timer run for up to the given time, until the condition holds.
    template <class F> bool PumpUntil(F condition, DWORD milliseconds)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < milliseconds) {
            KelpoPump();
            if (condition())
                return true;
            Sleep(20);
        }
        return condition();
    }
};

TEST_F(MainWindow, FileMadeByAnotherProgramIsListedWithTheCursorKept)
{
    for (int i = 0; i < 5; i++)
        KelpoKey(VK_DOWN);
    std::string before = CursorEntry();
    int count = EntryCount;
    std::string command = "cmd.exe /c echo made> \"" + temp.Full("aaa-new.txt") + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi));
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ASSERT_TRUE(PumpUntil([&] { return EntryCount == count + 1; }, 2500)) << EntryCount;
    EXPECT_EQ(before, CursorEntry());
    EXPECT_NE(std::string::npos, KelpoScreen().find("aaa-new.txt")) << KelpoScreen();
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

TEST_F(MainWindow, RowsMenuChecksTheRowCount)
{
    HMENU menu = GetMenu(g_mainWnd);
    SendMessageA(g_mainWnd, WM_COMMAND, 10269, 0);   // 25 rows
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
