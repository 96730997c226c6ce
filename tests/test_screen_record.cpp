#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "screen/screen.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "base/globals.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "support/testutil.h"
#include "support/screensetup.h"
#include "support/tablebuilder.h"

// The program's own colours on a dark blue background.
static void RecordSettings()
{
    PlainScreenSettings();
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        Settings.colors[i] = RGB(ColorDefaults[i].r, ColorDefaults[i].g, ColorDefaults[i].b);
    Settings.colors[CL_BACK] = RGB(0, 0, 96);
}

class ScreenRecord : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        RecordSettings();
    }
};

TEST_F(ScreenRecord, CellsHoldBytesAndColours)
{
    DrawCells(dc, 10, 3, RGB(1, 2, 3), RGB(4, 5, 6), "abc表x", 6);
    std::string line = ScreenLineText(3);
    EXPECT_EQ(std::string(10, ' ') + "abc表x" + std::string(64, ' '), line);
    COLORREF fg, bg;
    for (int c = 10; c < 16; c++) {
        ASSERT_TRUE(ScreenCellColors(3, c, &fg, &bg));
        EXPECT_EQ(RGB(1, 2, 3), fg);
        EXPECT_EQ(RGB(4, 5, 6), bg);
    }
    EXPECT_FALSE(ScreenCellColors(3, 9, &fg, &bg));
    EXPECT_FALSE(ScreenCellColors(3, 16, &fg, &bg));
    // Overwriting one half of a double-byte character blanks the other half.
    DrawCells(dc, 14, 3, RGB(7, 7, 7), RGB(8, 8, 8), "Z", 1);
    EXPECT_EQ("abc Zx", ScreenLineText(3).substr(10, 6));
    EXPECT_FALSE(ScreenCellColors(3, 13, &fg, &bg));
    DrawCells(dc, 11, 3, RGB(7, 7, 7), RGB(8, 8, 8), "ソ", 2);
    DrawCells(dc, 11, 3, RGB(7, 7, 7), RGB(8, 8, 8), "Q", 1);
    EXPECT_EQ("aQ  Zx", ScreenLineText(3).substr(10, 6));
    EXPECT_TRUE(IsWholeCharacters(ScreenLineText(3).c_str()));
    // Text past the 80th cell is not recorded; a character that would straddle it is left out.
    DrawCells(dc, 78, 4, RGB(1, 1, 1), RGB(2, 2, 2), "x表", 3);
    EXPECT_EQ("x ", ScreenLineText(4).substr(78));
    // Erasing a pixel rectangle blanks the cells inside it.
    RECT r = {CellX(10), LineY(3), CellX(12), LineY(4)};
    ScreenRecordErase(&r);
    EXPECT_EQ("     Zx", ScreenLineText(3).substr(9, 7));
    EXPECT_FALSE(ScreenCellColors(3, 10, &fg, &bg));
    // A reset forgets everything.
    ScreenRecordReset(20);
    EXPECT_EQ(std::string(80, ' '), ScreenLineText(3));
    EXPECT_FALSE(ScreenCellColors(3, 14, &fg, &bg));
}

TEST_F(ScreenRecord, TopOffsetShiftsLinesNotCells)
{
    Settings.toolbar = 7;
    ComputeGeometry();
    DrawCells(dc, 5, 2, RGB(1, 1, 1), RGB(0, 0, 0), "ok", 2);
    EXPECT_EQ(LineY(2), 2 * CellHeight + 7);
    EXPECT_EQ("ok", ScreenLineText(2).substr(5, 2));
    Settings.toolbar = 0;
    ComputeGeometry();
}

TEST_F(ScreenRecord, StatusLineIsCutAndPadded)
{
    std::string longText(100, 'x');
    longText[75] = 'E';
    StatusLine(dc, longText.c_str());
    std::string line = ScreenLineText(27);
    EXPECT_EQ("  " + std::string(75, 'x') + "E  ", line);
    COLORREF fg, bg;
    ASSERT_TRUE(ScreenCellColors(27, 2, &fg, &bg));
    EXPECT_EQ(Settings.colors[CL_DATA], fg);
    EXPECT_EQ(Settings.colors[CL_BACK], bg);
    ASSERT_TRUE(ScreenCellColors(27, 77, &fg, &bg));
    EXPECT_FALSE(ScreenCellColors(27, 78, &fg, &bg));
    StatusLine(dc, NULL);
    EXPECT_EQ(std::string(80, ' '), ScreenLineText(27));
    ASSERT_TRUE(ScreenCellColors(27, 77, &fg, &bg));
    StatusLine(dc, "");
    EXPECT_EQ(std::string(80, ' '), ScreenLineText(27));
    // A double-byte character across the 76th byte is left out whole.
    std::string japanese = std::string(75, 'y') + "表示";
    StatusLine(dc, japanese.c_str());
    EXPECT_EQ("  " + std::string(75, 'y') + "   ", ScreenLineText(27));
    // Without a device context (and no main window) the line is still drawn and recorded.
    StatusLine(NULL, "並び替えています...");
    EXPECT_EQ("  並び替えています...", ScreenLineText(27).substr(0, 21));
}

TEST_F(ScreenRecord, DumpFileIsWrittenOnlyAfterChanges)
{
    TempDir dir;
    std::string path = dir.Full("screen.txt");
    SetEnvironmentVariableA("KELPO_SCREEN_DUMP", path.c_str());
    DrawCells(dc, 0, 0, RGB(255, 255, 0), RGB(0, 0, 96), "Kelpo 表", 8);
    DrawCells(dc, 2, 28, RGB(1, 2, 3), RGB(0, 0, 96), "F1", 2);
    FlushScreenDump();
    std::string text = ReadAll(path);
    ASSERT_EQ(29u * 82u, text.size());
    EXPECT_EQ("Kelpo 表" + std::string(72, ' ') + "\r\n", text.substr(0, 82));
    EXPECT_EQ(std::string(80, ' ') + "\r\n", text.substr(82, 82));
    EXPECT_EQ("  F1" + std::string(76, ' ') + "\r\n", text.substr(28 * 82));
    std::string colors = ReadAll(path + ".color");
    ASSERT_EQ(29u * (80u * 14u - 1u + 2u), colors.size());
    EXPECT_EQ("FFFF00/000060 FFFF00/000060", colors.substr(0, 27));
    EXPECT_EQ(" ------/------ ", colors.substr(8 * 14 - 1, 15));
    size_t last = 28 * (80 * 14 + 1);
    EXPECT_EQ("------/------ ------/------ 010203/000060 010203/000060 ------", colors.substr(last, 62));

    // Nothing changed: the file is not written again.
    DeleteFileA(path.c_str());
    FlushScreenDump();
    EXPECT_EQ("<missing>", ReadAll(path));
    DrawCells(dc, 0, 1, RGB(1, 1, 1), RGB(0, 0, 0), "!", 1);
    FlushScreenDump();
    EXPECT_EQ("!", ReadAll(path).substr(82, 1));
    EXPECT_EQ("<missing>", ReadAll(path + ".new"));

    // Without the variable nothing is written.
    SetEnvironmentVariableA("KELPO_SCREEN_DUMP", NULL);
    DeleteFileA(path.c_str());
    DrawCells(dc, 0, 1, RGB(1, 1, 1), RGB(0, 0, 0), "?", 1);
    FlushScreenDump();
    EXPECT_EQ("<missing>", ReadAll(path));
}

TEST_F(ScreenRecord, ExactColourDrawingFillsTheBackground)
{
    RECT all = {0, 0, 80 * CellWidth, 40 * CellHeight};
    HBRUSH other = CreateSolidBrush(RGB(200, 10, 10));
    FillRect(dc, &all, other);
    DeleteObject(other);
    Settings.realcol = 1;
    COLORREF back = Settings.colors[CL_BACK];
    // On the screen background: a brush-filled box, then transparent text.
    DrawCells(dc, 4, 2, RGB(255, 255, 255), back, "  ", 2);
    for (int x = CellX(4); x < CellX(6); x++)
        for (int y = LineY(2); y < LineY(3); y++)
            ASSERT_EQ(back, GetPixel(dc, x, y)) << x << "," << y;
    EXPECT_EQ(RGB(200, 10, 10), GetPixel(dc, CellX(6) + 1, LineY(2)));
    EXPECT_NE(TRANSPARENT, GetBkMode(dc));   // the previous mode is restored
    // Off the background (the cursor bar): opaque text in the current background colour.
    DrawCells(dc, 10, 2, RGB(0, 0, 96), RGB(0, 255, 255), "  ", 2);
    EXPECT_EQ(RGB(0, 255, 255), GetPixel(dc, CellX(10), LineY(2)));
    // In the viewer the viewer background is the screen background.
    ScreenMode = 1;
    Settings.colors[CL_VIEWBK] = RGB(0, 80, 0);
    DrawCells(dc, 20, 2, RGB(255, 255, 255), RGB(0, 80, 0), "  ", 2);
    EXPECT_EQ(RGB(0, 80, 0), GetPixel(dc, CellX(20), LineY(2)));
    ScreenMode = 0;
    Settings.realcol = 0;
    COLORREF fg, bg;
    ASSERT_TRUE(ScreenCellColors(2, 10, &fg, &bg));
    EXPECT_EQ(RGB(0, 255, 255), bg);
    ASSERT_TRUE(ScreenCellColors(2, 4, &fg, &bg));
    EXPECT_EQ(back, bg);
}

// The grid in a real window, painted from its own paint handler.
static void FillDemoTable()
{
    static const struct {
        DWORD flags;
        const char *shortName, *longName;
        DWORD size;
    } demo[] = {
        {EF_DIRECTORY | EF_DOT, ".", ".", 0},
        {EF_DIRECTORY | EF_DOTDOT, "..", "..", 0},
        {EF_DIRECTORY, "DOCS", "Documents", 0},
        {EF_DIRECTORY | EF_HIDDEN, "HIDDEN~1", "Hidden Dir", 0},
        {EF_ARCHIVE, "README.TXT", "readme.txt", 1500},
        {EF_READONLY | EF_ARCHIVE, "VERYLO~1.TXT", "verylongname.txt", 1048000},
        {EF_SYSTEM | EF_HIDDEN, "IO.SYS", "IO.SYS", 40566},
        {EF_ARCHIVE, "日本語~1.TXT", "日本語の長いファイル名です.txt", 123456},
        {EF_ARCHIVE, "BIG.DAT", "big.dat", 1000000000},
        {0, "OLD.BIN", "old.bin", 77},
    };
    ClearFileTable();
    int n = 0;
    for (const auto &d : demo) {
        FILETIME written = n == 9 ? LocalTime(1979, 5, 1, 0, 0, 0) : LocalTime(2024, 3, 5, 14, 7, 9);
        AddFileEntry(d.longName, d.flags, d.size, written, d.shortName);
        n++;
    }
    for (int i = 0; i < 24; i++) {
        char longName[32], shortName[16];
        snprintf(longName, sizeof longName, "photo_%03d.jpg", i);
        snprintf(shortName, sizeof shortName, "PHOTO_%02d.JPG", i);
        AddFileEntry(longName, EF_ARCHIVE, 1000ull * i * i, LocalTime(2023, 1 + i % 12, 1 + i, i, i, i), shortName);
    }
    LockFileTable();
    g_entries[5].mark = 1;
    UnlockFileTable();
    MarkedCount = 1;
}

static LRESULT CALLBACK GridWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        HBRUSH back = CreateSolidBrush(Settings.colors[CL_BACK]);
        FillRect(dc, &ps.rcPaint, back);
        DeleteObject(back);
        ScreenRecordErase(&ps.rcPaint);
        HGDIOBJ oldFont = SelectObject(dc, MainFont);
        DrawPage(dc, 0);
        DrawEntry(dc, 4, 4, true);
        StatusLine(dc, "2列 拡張1");
        SelectObject(dc, oldFont);
        EndPaint(window, &ps);
        FlushScreenDump();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(ScreenRecord, GridInARealWindow)
{
    FillDemoTable();
    Settings.realcol = 1;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = GridWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "KelpoScreenTest";
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    RegisterClassA(&wc);
    int width, height;
    ComputeWindowSize(&width, &height);
    HMENU menu = CreateMenu();   // the window size counts one menu bar
    AppendMenuA(menu, MF_STRING, 1, "ﾌｧｲﾙ(&F)");
    HWND window = CreateWindowExA(0x300, "KelpoScreenTest", "Kelpo - screen test", 0xCF0000, 0, 0, width, height,
                                  NULL, menu, wc.hInstance, NULL);
    ASSERT_NE((HWND)NULL, window);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(80 * CellWidth, client.right);
    EXPECT_EQ(29 * CellHeight, client.bottom);
    // KELPO_SCREEN_HOLD_MS keeps the window up so that it can be photographed.
    const char *hold = getenv("KELPO_SCREEN_HOLD_MS");
    DWORD until = GetTickCount() + (hold ? (DWORD)atoi(hold) : 200);
    MSG msg;
    while ((int)(until - GetTickCount()) > 0) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
    EXPECT_EQ("readme.txt        1500 24-03-05 14:07", ScreenLineText(11).substr(2, 37));
    EXPECT_EQ("*verylongn….txt   1.0M 24-03-05 14:07", ScreenLineText(12).substr(1, 38));
    EXPECT_EQ("photo_013.jpg   169000 23-02-14 13:13", ScreenLineText(10).substr(41, 37));
    EXPECT_EQ("  2列 拡張1", ScreenLineText(27).substr(0, 11));
    COLORREF fg, bg;
    ASSERT_TRUE(ScreenCellColors(11, 2, &fg, &bg));
    EXPECT_EQ(Settings.colors[CL_NORMAL], bg);   // the cursor bar
    // What the window shows matches the record: the cursor bar's background on screen.
    HDC dc = GetDC(window);
    EXPECT_EQ(Settings.colors[CL_NORMAL], GetPixel(dc, CellX(12) + 1, LineY(11) + 1));
    EXPECT_EQ(Settings.colors[CL_BACK], GetPixel(dc, CellX(0) + 1, LineY(11) + 1));
    ReleaseDC(window, dc);
    DestroyWindow(window);
    Settings.realcol = 0;
}
