#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "screen/screen.h"
#include "screen/frame.h"
#include "screen/keybar.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/diskspace.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "support/testutil.h"
#include "support/screensetup.h"
#include "support/tablebuilder.h"

static std::string At(int line, int column, int length)
{
    return ScreenLineText(line).substr(column, length);
}

static COLORREF FgAt(int line, int column)
{
    COLORREF fg = 0, bg = 0;
    EXPECT_TRUE(ScreenCellColors(line, column, &fg, &bg)) << "line " << line << " column " << column;
    return fg;
}

static SYSTEMTIME Clock(int hour, int minute, int second)
{
    SYSTEMTIME st = {};
    st.wYear = 2026;
    st.wMonth = 12;
    st.wDay = 8;
    st.wDayOfWeek = 2;
    st.wHour = (WORD)hour;
    st.wMinute = (WORD)minute;
    st.wSecond = (WORD)second;
    return st;
}

static int announced;
static std::string announcedPath;
static void CountAnnouncement(const char *path)
{
    announced++;
    announcedPath = path;
}

class ScreenFrame : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        g_mainWnd = NULL;
        AnnouncedPath[0] = '\0';
        DirectoryChangeAnnouncer = NULL;
        memset(&CurrentDisk, 0, sizeof CurrentDisk);
        PageTop = 0;
    }
};

TEST_F(ScreenFrame, FrameBannerAndFixedLabels)
{
    Settings.weeksw = 0;
    DrawFrame(dc);
    EXPECT_EQ(At(0, 18, 22), " << Kelpo Ver.1.00 >> ");
    EXPECT_EQ(FgAt(0, 20), SlotRgb(CL_TITLE));
    EXPECT_EQ(At(1, 14, 6), "Total:");
    EXPECT_EQ(At(1, 36, 5), "Used:");
    EXPECT_EQ(At(1, 58, 5), "Free:");
    EXPECT_EQ(At(3, 2, 5), "Path=");
    EXPECT_EQ(At(4, 2, 5), "Info:");
    EXPECT_EQ(At(4, 58, 6), "Marked");
    EXPECT_EQ(At(5, 2, 5), "Name=");
    EXPECT_EQ(At(5, 58, 5), "Files");
    EXPECT_EQ(FgAt(5, 58), SlotRgb(CL_INFO));
    EXPECT_EQ(At(6, 36, 8), "  <  >  ");
    EXPECT_EQ(FgAt(6, 38), SlotRgb(CL_LINE));
    EXPECT_EQ(FgAt(6, 41), SlotRgb(CL_LINE));

    ScreenRecordReset(Settings.disprow);
    Settings.weeksw = 1;
    DrawFrame(dc);
    EXPECT_EQ(At(0, 16, 22), " << Kelpo Ver.1.00 >> ");

    // Exact colours: the same cells, each label on a block of the background colour.
    ScreenRecordReset(Settings.disprow);
    surface->Fill(RGB(255, 255, 255));
    Settings.realcol = 1;
    DrawFrame(dc);
    EXPECT_EQ(At(4, 58, 6), "Marked");
    EXPECT_EQ(At(1, 14, 6), "Total:");
    EXPECT_EQ(GetPixel(dc, CellX(58) + CellWidth - 1, LineY(4) + 1), SlotRgb(CL_BACK));
    Settings.realcol = 0;
}

// The frame in the bitmap: with the side lines it runs down both sides of the grid into the key bar's line.
static bool LineNear(HDC dc, int x, int y, COLORREF color)
{
    for (int dy = -1; dy <= 1; dy++)
        for (int dx = -1; dx <= 1; dx++)
            if (GetPixel(dc, x + dx, y + dy) == color)
                return true;
    return false;
}

TEST_F(ScreenFrame, FrameGeometryFollowsSideLineOption)
{
    COLORREF line = SlotRgb(CL_LINE);
    int rows = Settings.disprow;
    int left = 5 * CellWidth / 8, right = 634 * CellWidth / 8;
    for (int side = 0; side < 2; side++) {
        surface->Fill(RGB(0, 0, 0));
        Settings.sideline = (BYTE)side;
        DrawFrame(dc);
        SCOPED_TRACE(side ? "sideline on" : "sideline off");
        EXPECT_TRUE(LineNear(dc, 300, 104 * CellHeight / 16, line));        // under the header
        EXPECT_TRUE(LineNear(dc, 300, 40 * CellHeight / 16, line));         // under the boxes
        EXPECT_TRUE(LineNear(dc, 280 * CellWidth / 8, 24 * CellHeight / 16, line));   // a box separator
        EXPECT_FALSE(LineNear(dc, 280 * CellWidth / 8, 60 * CellHeight / 16, line));
        EXPECT_EQ(LineNear(dc, left, (rows * 16 + 60) * CellHeight / 16, line), side == 1);
        EXPECT_EQ(LineNear(dc, right, (rows * 16 + 128) * CellHeight / 16, line), side == 1);
        // The background block opens the bottom edge between cells 3 and 77.
        EXPECT_FALSE(LineNear(dc, 40 * CellWidth, (rows * 16 + 136) * CellHeight / 16, line));
        EXPECT_FALSE(LineNear(dc, left, (rows * 16 + 150) * CellHeight / 16, line));
    }
}

TEST_F(ScreenFrame, ClockColumnsForEveryOption)
{
    SYSTEMTIME t = Clock(12, 30, 15);
    ForgetClock();
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 50, 30), " 2026-12-08(TUE) PM 0:30:15   ");
    EXPECT_EQ(FgAt(0, 61), SlotRgb(CL_TITLE));

    Settings.secsw = Settings.timesw = Settings.weeksw = 0;
    ScreenRecordReset(Settings.disprow);
    ForgetClock();
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 55, 25), "      2026-12-08 12:30   ");
    EXPECT_EQ(ClockDateColumn(), 60);
    EXPECT_EQ(ClockTimeColumn(), 71);

    // 24-hour with seconds and weekday.
    Settings.secsw = Settings.weeksw = 1;
    ScreenRecordReset(Settings.disprow);
    ForgetClock();
    t = Clock(9, 5, 7);
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 52, 26), " 2026-12-08(TUE) 09:05:07 ");

    // 12-hour without seconds, no weekday: D = 53 + 5, T = 69.
    Settings.secsw = 0;
    Settings.timesw = 1;
    Settings.weeksw = 0;
    ScreenRecordReset(Settings.disprow);
    ForgetClock();
    t = Clock(0, 5, 0);
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 58, 22), " 2026-12-08 AM 0:05   ");
}

TEST_F(ScreenFrame, ClockDrawsOnlyChangedFieldsUntilForgotten)
{
    SYSTEMTIME t = Clock(23, 59, 58);
    ForgetClock();
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 50, 28), " 2026-12-08(TUE) PM11:59:58 ");
    ScreenRecordReset(Settings.disprow);
    t.wSecond = 59;
    DrawClockAt(dc, &t);
    EXPECT_EQ(ScreenLineText(0), std::string(74, ' ') + ":59   ");
    ScreenRecordReset(Settings.disprow);
    t = Clock(0, 0, 0);
    t.wDay = 9;
    t.wDayOfWeek = 3;
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 50, 28), "        -09(WED) AM 0:00:00 ");
    ScreenRecordReset(Settings.disprow);
    ForgetClock();
    DrawClockAt(dc, &t);
    EXPECT_EQ(At(0, 50, 28), " 2026-12-09(WED) AM 0:00:00 ");
}

TEST_F(ScreenFrame, PageLabelForms)
{
    strcpy(CurrentPath, "C:\\");
    Settings.dispmode = 3;        // 60 slots
    EntryCount = 150;
    DrawFrame(dc);
    PageTop = 60;
    DrawInfoBlock(dc, PageTop);
    EXPECT_EQ(At(1, 2, 10), "Page: 2/ 3");
    EXPECT_EQ(FgAt(1, 2), SlotRgb(CL_INFO));
    EXPECT_EQ(FgAt(1, 8), SlotRgb(CL_DATA));
    DrawInfoBlock(dc, 120);
    EXPECT_EQ(At(1, 2, 10), "Page: 3/ 3");

    Settings.dispmode = 1;        // 20 slots
    EntryCount = 6000;
    DrawInfoBlock(dc, 2000);
    EXPECT_EQ(At(1, 2, 10), "Pg:101/300");
    // Back to the short form: the label is drawn again because its form changed.
    EntryCount = 30;
    DrawInfoBlock(dc, 20);
    EXPECT_EQ(At(1, 2, 10), "Page: 2/ 2");

    // The label is drawn once per frame: drawn over, it comes back only after DrawFrame.
    DrawCells(dc, 2, 1, 0, 0, "XXXXX", 5);
    DrawInfoBlock(dc, 0);
    EXPECT_EQ(At(1, 2, 10), "XXXXX 1/ 2");
    DrawFrame(dc);
    DrawInfoBlock(dc, 0);
    EXPECT_EQ(At(1, 2, 10), "Page: 1/ 2");

    NoFiles = 1;
    EntryCount = 1;
    DrawInfoBlock(dc, 0);
    EXPECT_EQ(At(1, 2, 10), "Page: 1/ 1");
    EXPECT_EQ(At(5, 53, 5), "    0");
}

TEST_F(ScreenFrame, DiskFiguresAreExactAbove4GiB)
{
    strcpy(CurrentPath, "C:\\");
    const struct {
        unsigned long long total, free;
        const char *totalText, *usedText, *freeText;
    } cases[] = {
        {8000000000ULL, 6442450944ULL, "8,000,000,000", "1,557,549,056", "6,442,450,944"},
        // Too long with separators: the digits alone, never a number cut short.
        {2000398934016ULL, 1000000000000ULL, "2000398934016", "1000398934016", "1000000000000"},
    };
    for (const auto &c : cases) {
        CurrentDisk.totalBytes = c.total;
        CurrentDisk.freeBytes = c.free;
        DrawDiskFigures(dc);
        EXPECT_EQ(At(1, 20, 14), RPad(c.totalText, 14));
        EXPECT_EQ(At(1, 42, 14), RPad(c.usedText, 14));
        EXPECT_EQ(At(1, 64, 14), RPad(c.freeText, 14));
        EXPECT_EQ(FgAt(1, 70), SlotRgb(CL_DATA));
    }
}

TEST_F(ScreenFrame, FitFigureKeepsEveryDigitOrSaysItsUnit)
{
    char text[32];
    FitFigure(0, 14, text);
    EXPECT_STREQ(text, "             0");
    FitFigure(999999999, 11, text);
    EXPECT_STREQ(text, "999,999,999");
    FitFigure(4294967296ULL, 11, text);
    EXPECT_STREQ(text, " 4294967296");
    FitFigure(123456789012345ULL, 11, text);   // 120563270520K would be 13 cells
    EXPECT_STREQ(text, " 117737568M");
    FitFigure(18446744073709551615ULL, 14, text);
    EXPECT_STREQ(text, "  17179869183G");
}

TEST_F(ScreenFrame, PathLineTitleAndAnnouncement)
{
    TempDir temp;
    std::string dir = temp.MakeDir("Long Directory Name");
    strcpy(CurrentPath, (dir + "\\").c_str());
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 100, 100, NULL, NULL, NULL, NULL);
    ASSERT_TRUE(window != NULL);
    g_mainWnd = window;
    DirectoryChangeAnnouncer = CountAnnouncement;
    announced = 0;

    DrawInfoBlock(dc, 0);
    EXPECT_EQ(At(3, 7, 71), Pad(dir, 71));
    EXPECT_EQ(FgAt(3, 7), SlotRgb(CL_DATA));
    char caption[1100];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_EQ(std::string(caption), "Kelpo - " + dir + "\\");
    EXPECT_EQ(announced, 1);
    EXPECT_EQ(announcedPath, dir + "\\");
    DrawInfoBlock(dc, 0);
    EXPECT_EQ(announced, 1) << "the same directory is announced once";

    // The classic sub-mode shows the 8.3 form, lower-cased with namesmall.
    char shortForm[MAX_PATH];
    ASSERT_GT(GetShortPathNameA(dir.c_str(), shortForm, sizeof shortForm), 0u);
    Settings.dispsubmode = 0;
    DrawInfoBlock(dc, 0);
    EXPECT_EQ(At(3, 7, 71), Pad(shortForm, 71));
    EXPECT_NE(std::string(shortForm), dir);
    Settings.namesmall = 1;
    DrawInfoBlock(dc, 0);
    std::string lower = shortForm;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    EXPECT_EQ(At(3, 7, 71), Pad(lower, 71));

    // A root keeps its backslash; a path longer than 71 bytes is shortened to 71.
    Settings.dispsubmode = 1;
    strcpy(CurrentPath, "C:\\");
    DrawInfoBlock(dc, 0);
    EXPECT_EQ(At(3, 7, 4), "C:\\ ");
    EXPECT_EQ(announced, 2);
    std::string longPath = "C:\\" + std::string(40, 'a') + "\\" + std::string(40, 'b') + "\\tail";
    strcpy(CurrentPath, longPath.c_str());
    DrawInfoBlock(dc, 0);
    std::string shown = At(3, 7, 71);
    EXPECT_EQ(shown.substr(0, 3), "C:\\");
    EXPECT_EQ(shown.substr(71 - 5), "\\tail");
    g_mainWnd = NULL;
    DestroyWindow(window);
}

TEST_F(ScreenFrame, TotalsFollowRealSizeOption)
{
    strcpy(CurrentPath, "C:\\");
    EntryCount = 12;
    TotalBytes = 1234567;
    TotalAllocated = 1310720;
    MarkedCount = 3;
    MarkedBytes = 4321;
    MarkedAllocated = 12288;
    Settings.realsize = 1;
    DrawInfoBlock(dc, 0);
    DrawMarkedFigures(dc);
    EXPECT_EQ(At(5, 53, 25), "   12     " + RPad("1,234,567", 15));
    EXPECT_EQ(At(4, 53, 25), "    3     " + RPad("4,321", 15));
    EXPECT_EQ(FgAt(5, 70), SlotRgb(CL_TITLE));
    EXPECT_EQ(FgAt(4, 77), SlotRgb(CL_TITLE));
    EXPECT_EQ(FgAt(4, 57), SlotRgb(CL_DATA));
    Settings.realsize = 0;
    DrawInfoBlock(dc, 0);
    DrawMarkedFigures(dc);
    EXPECT_EQ(At(5, 64, 14), RPad("1,310,720", 14));
    EXPECT_EQ(At(4, 64, 14), RPad("12,288", 14));
    EXPECT_EQ(FgAt(5, 70), SlotRgb(CL_DATA));
    EXPECT_EQ(FgAt(4, 77), SlotRgb(CL_DATA));
}

TEST_F(ScreenFrame, EntryDetailsAndNameLine)
{
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    std::string name46 = std::string(42, 'n') + ".txt";
    std::string name47 = std::string(43, 'm') + ".txt";
    // 43 single bytes, then a double-byte character across bytes 44 and 45.
    std::string nameDbcs = std::string(43, 'k') + "漢字漢字.txt";
    AddFileEntry("readme.txt", EF_ARCHIVE | EF_READONLY, 1234567, t, "README.TXT");
    AddFileEntry("subdir", EF_DIRECTORY | EF_HIDDEN | EF_SYSTEM, 0, t, "SUBDIR");
    AddFileEntry(name46.c_str(), EF_ARCHIVE, 5ULL << 32, t, "NNNNNN~1.TXT");
    AddFileEntry(name47.c_str(), EF_ARCHIVE, 1, t, "MMMMMM~1.TXT");
    AddFileEntry(nameDbcs.c_str(), EF_ARCHIVE, 1, t, "KKKKKK~1.TXT");
    LockFileTable();
    DrawEntryDetails(dc, 0);
    EXPECT_EQ(At(4, 7, 46), "README.TXT     1,234,567 2024-03-05 14:07 R--A");
    EXPECT_EQ(FgAt(4, 7), SlotRgb(CL_DATA));
    EXPECT_EQ(FgAt(4, 49), SlotRgb(CL_NORMAL));
    EXPECT_EQ(At(5, 7, 46), Pad("readme.txt", 46));
    DrawEntryDetails(dc, 1);
    EXPECT_EQ(At(4, 7, 46), "SUBDIR             <DIR> 2024-03-05 14:07 -HS-");
    Settings.namesmall = 1;
    DrawEntryDetails(dc, 1);
    EXPECT_EQ(At(4, 20, 11), "      <dir>");
    DrawEntryDetails(dc, 2);
    EXPECT_EQ(At(4, 20, 11), "21474836480");
    EXPECT_EQ(At(5, 7, 46), name46);
    DrawEntryDetails(dc, 3);
    EXPECT_EQ(At(5, 7, 46), std::string(43, 'm') + "." + "…");
    DrawEntryDetails(dc, 4);
    EXPECT_EQ(At(5, 7, 46), std::string(43, 'k') + "…" + " ");
    UnlockFileTable();

    NoFiles = 1;
    EntryCount = 1;
    LockFileTable();
    DrawEntryDetails(dc, 0);
    UnlockFileTable();
    EXPECT_EQ(At(4, 7, 46), std::string(13, ' ') + std::string(12, ' ') + "----/--/-- --:--" + std::string(5, ' '));
}

TEST_F(ScreenFrame, OperationDetailsFromSearchRecord)
{
    WIN32_FIND_DATAA found = {};
    found.dwFileAttributes = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN;
    found.nFileSizeLow = 98765;
    found.ftLastWriteTime = LocalTime(2023, 11, 30, 8, 1, 2);
    strcpy(found.cFileName, "Report for the year.doc");
    strcpy(found.cAlternateFileName, "REPORT~1.DOC");
    DrawOperationDetails(dc, "D:\\work\\papers\\", &found);
    EXPECT_EQ(At(3, 7, 71), Pad("D:\\work\\papers", 71));
    EXPECT_EQ(At(4, 7, 46), "REPORT~1.DOC      98,765 2023-11-30  8:01 -H-A");
    EXPECT_EQ(At(5, 7, 46), Pad("Report for the year.doc", 46));
    found.cAlternateFileName[0] = '\0';
    strcpy(found.cFileName, "a.txt");
    DrawOperationDetails(dc, "D:\\", &found);
    EXPECT_EQ(At(4, 7, 12), "a.txt       ");
    EXPECT_EQ(At(3, 7, 4), "D:\\ ");
}

TEST_F(ScreenFrame, AltPanelListsCommandsOfEitherSet)
{
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 80 * CellWidth, 29 * CellHeight, NULL, NULL,
                                  NULL, NULL);
    ASSERT_TRUE(window != NULL);
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        ExtCommandTitle[i][0] = '\0';
        ExtCommandLine[i][0] = '\0';
    }
    strcpy(ExtCommandTitle[0], "Archive backup");
    strcpy(ExtCommandLine[0], "backup.exe $F");
    strcpy(ExtCommandLine[14], "notepad.exe $F");
    strcpy(ExtCommandTitle[26], "small a");
    strcpy(ExtCommandTitle[51], std::string(40, 'z').c_str());
    int top = 20 / 2 - 9 + 9;    // 20 rows
    DrawAltOverlay(window, 0, true);
    EXPECT_EQ(AltOverlay, 0);
    EXPECT_EQ(At(top + 1, 8, 32), "A:" + Pad("Archive backup", 30));
    EXPECT_EQ(FgAt(top + 1, 8), SlotRgb(CL_NORMAL));
    EXPECT_EQ(FgAt(top + 1, 10), SlotRgb(CL_DATA));
    EXPECT_EQ(At(top + 13, 8, 2), "M:");
    EXPECT_EQ(At(top + 2, 41, 32), "O:" + Pad("notepad.exe $F", 30));
    EXPECT_EQ(At(top + 13, 41, 2), "Z:");
    EXPECT_EQ(AltOverlayRect.left, 6 * CellWidth);
    EXPECT_EQ(AltOverlayRect.top, LineY(top) - CellHeight / 2);
    EXPECT_EQ(AltOverlayRect.right, (592 * CellWidth - CellWidth) / 8);
    DrawAltOverlay(window, 1, false);
    EXPECT_EQ(At(top + 1, 8, 32), "a:" + Pad("small a", 30));
    EXPECT_EQ(At(top + 13, 41, 32), "z:" + std::string(30, 'z'));
    CloseAltOverlay(window);
    EXPECT_EQ(AltOverlay, -1);

    // Few rows: the panel starts from the middle of the whole screen.
    Settings.disprow = 6;
    DrawAltOverlay(window, 0, true);
    EXPECT_EQ(AltOverlayRect.top, LineY(0) - CellHeight / 2);
    Settings.disprow = 10;
    DrawAltOverlay(window, 0, true);
    EXPECT_EQ(At(1, 8, 2), "A:");
    CloseAltOverlay(window);
    DestroyWindow(window);
}

// The whole list screen painted in a real window in the order of a full repaint.
static LRESULT CALLBACK PaintingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HGDIOBJ oldFont = SelectObject(dc, MainFont);
        DrawFrame(dc);
        DrawPage(dc, PageTop);
        ForgetClock();
        DrawClock(dc);
        DrawKeyBar(dc, false, -1);
        DrawInfoBlock(dc, PageTop);
        DrawEntry(dc, CursorSlot, PageTop + CursorSlot, true);
        DrawMarkedFigures(dc);
        SelectObject(dc, oldFont);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(ScreenFrame, WholeHeaderOfFullRepaintInWindow)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PaintingProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "FrameTestScreen";
    wc.hbrBackground = CreateSolidBrush(SlotRgb(CL_BACK));
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, "FrameTestScreen", "", WS_POPUP | WS_VISIBLE, 0, 0, 80 * CellWidth,
                                  29 * CellHeight, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(window != NULL);
    g_mainWnd = window;
    InstallHeaderDrawers();
    strcpy(CurrentPath, "D:\\data\\");
    CurrentDisk.totalBytes = 5368709120ULL;
    CurrentDisk.freeBytes = 1073741824ULL;
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    AddFileEntry(".", EF_DIRECTORY | EF_DOT, 0, t, ".");
    AddFileEntry("readme.txt", EF_ARCHIVE, 1500, t, "README.TXT");
    AddFileEntry("verylongname.txt", EF_ARCHIVE | EF_READONLY, 1048000, t, "VERYLO~1.TXT");
    TotalBytes = 1049500;
    TotalAllocated = 1052672;
    MarkedCount = 1;
    MarkedBytes = 1500;
    MarkedAllocated = 4096;
    LockFileTable();
    g_entries[1].mark = 1;
    UnlockFileTable();
    PageTop = 0;
    CursorSlot = 2;
    Settings.weeksw = 0;

    UpdateWindow(window);
    g_mainWnd = NULL;

    std::string line0 = ScreenLineText(0);
    EXPECT_EQ(line0.substr(0, 40), std::string(18, ' ') + " << Kelpo Ver.1.00 >> ");
    // " yyyy-mm-dd PMhh:mm:ss " from column 55.
    EXPECT_EQ(line0.substr(55, 1) + line0.substr(60, 1) + line0.substr(63, 1), " --");
    EXPECT_TRUE(line0.substr(66, 3) == " AM" || line0.substr(66, 3) == " PM") << line0;
    EXPECT_EQ(line0[71], ':');
    EXPECT_EQ(line0[74], ':');
    EXPECT_EQ(ScreenLineText(1), "  Page: 1/ 1  Total: 5,368,709,120  Used:  4,294,967,296  Free:  1,073,741,824  ");
    EXPECT_EQ(ScreenLineText(2), std::string(80, ' '));
    EXPECT_EQ(ScreenLineText(3), "  Path=" + Pad("D:\\data", 71) + "  ");
    EXPECT_EQ(ScreenLineText(4),
              "  Info:VERYLO~1.TXT   1,048,000 2024-03-05 14:07 R--A    1Marked         4,096  ");
    EXPECT_EQ(ScreenLineText(5), "  Name=" + Pad("verylongname.txt", 46) + "    3Files      1,052,672  ");
    EXPECT_EQ(ScreenLineText(6), std::string(38, ' ') + "<  >" + std::string(38, ' '));
    EXPECT_EQ(ScreenLineText(20 + 8),
              "   help  eXec  Copy  Delet   Renam Sort  Find  Tree    Logds Unpac top   botto  ");
    char caption[64];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "Kelpo - D:\\data\\");
    DestroyWindow(window);
    UnregisterClassA("FrameTestScreen", wc.hInstance);
    DeleteObject(wc.hbrBackground);
    EntryDetailsDrawer = NULL;
    MarkedFiguresDrawer = NULL;
}
