// The viewer in the real window: opened with V and Enter, paged and scrolled with every key,
// switched to hex and to other tab widths, closed with Esc and Enter. The window test library
// compares the pixels with a full repaint after every key.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "viewer/viewer.h"
#include "ui/msgdlg.h"
#include "filelist/pathutil.h"
#include "screen/screendc.h"
#include <stdlib.h>
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

class WindowViewer : public KelpoWindowTest {
protected:
    std::string big;
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        std::string sjis = "ｶﾀｶﾅ\tと表示\\ソ\r\n";   // 0x5C second bytes: 表 and ソ
        for (int i = 1; i < 60; i++)
            sjis += "行" + std::to_string(i) + "\tﾃﾞｰﾀ\t値\r\n";
        temp.MakeFile("a_sjis.txt", sjis);
        temp.MakeFile("b_lf.txt", "first\nsecond\n\tthird\n");
        temp.MakeFile("c_cr.txt", "one\rtwo\rthree");
        for (int i = 0; i < 30000; i++) {
            char line[16];
            snprintf(line, sizeof line, "line%05d\r\n", i);
            big += line;
        }
        temp.MakeFile("d_big.txt", big);
        temp.MakeFile("e_empty.txt", "");
        std::string binary;
        for (int i = 0; i < 256; i++)
            binary += (char)i;
        temp.MakeFile("f_data.bin", binary);
        temp.MakeDir("sub");
    }
    static std::string Pad(const std::string &s) { return s + std::string(80 - s.size(), ' '); }
    std::string Slot(int slot) { return KelpoLine(2 + slot); }
    std::string LineNumber() { return KelpoLine(0).substr(61, 19); }
    static std::string Number(int top, int count)
    {
        char text[32];
        snprintf(text, sizeof text, "Line No:%5d/%5d", top, count);
        return text;
    }
    bool MenusGreyed()
    {
        HMENU menu = GetMenu(g_mainWnd);
        bool grey = (GetMenuState(menu, 1, MF_BYPOSITION) & MF_GRAYED) != 0;
        EXPECT_EQ(grey, (GetMenuState(menu, 4, MF_BYPOSITION) & MF_GRAYED) != 0);
        EXPECT_FALSE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED);
        EXPECT_FALSE(GetMenuState(menu, 5, MF_BYPOSITION) & MF_GRAYED);
        return grey;
    }
};

TEST_F(WindowViewer, ShiftJisTextPagedWithEveryKey)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    ASSERT_EQ(20, Settings.disprow);
    GoTo("a_sjis.txt");
    KelpoKey(VK_RETURN);
    ASSERT_EQ(1, ScreenMode);
    EXPECT_TRUE(MenusGreyed());
    EXPECT_EQ("File name: ", KelpoLine(0).substr(0, 11));
    char header[64];
    ShortenPath(ViewerFilePath, header, 48);
    EXPECT_EQ(header, KelpoLine(0).substr(11, strlen(header)));
    EXPECT_EQ(Number(1, 60), LineNumber());
    EXPECT_EQ(Pad("ｶﾀｶﾅ    と表示\\ソ"), Slot(0));
    EXPECT_EQ(Pad("行1     ﾃﾞｰﾀ    値"), Slot(1));
    EXPECT_EQ(Pad("行25    ﾃﾞｰﾀ    値"), Slot(25));
    EXPECT_EQ("View ", KelpoLine(28).substr(55, 5));

    const struct {
        UINT vk;
        int modifiers;
        int top;
    } steps[] = {
        {VK_DOWN, 0, 1},          {VK_DOWN, KEY_SHIFT, 6},   {VK_UP, 0, 5},          {VK_UP, KEY_SHIFT, 0},
        {VK_UP, 0, 0},            {VK_NEXT, 0, 26},          {VK_NEXT, 0, 34},       {VK_DOWN, 0, 34},
        {VK_PRIOR, 0, 8},         {VK_RIGHT, 0, 21},         {VK_LEFT, 0, 8},        {VK_RIGHT, KEY_SHIFT, 34},
        {VK_LEFT, KEY_SHIFT, 0},  {VK_NEXT, KEY_SHIFT, 34},  {VK_PRIOR, KEY_SHIFT, 0}, {'X', KEY_CTRL, 1},
        {'C', KEY_CTRL, 6},       {'E', KEY_CTRL, 5},        {'R', KEY_CTRL, 0},     {'D', KEY_CTRL, 13},
        {'S', KEY_CTRL, 0},       {'B', KEY_CTRL, 34},       {'T', KEY_CTRL, 0},     {VK_END, KEY_SHIFT, 34},
        {VK_HOME, 0, 0},          {VK_HOME, KEY_SHIFT, 34},  {VK_F11, 0, 0},         {VK_F12, 0, 34},
        {VK_END, 0, 34},          {VK_INSERT, 0, 34},        {'W', KEY_CTRL, 0},     {VK_DOWN, 0, 1},
        {'W', KEY_CTRL | KEY_SHIFT, 0},
    };
    for (const auto &step : steps) {
        KelpoKey(step.vk, step.modifiers);
        ASSERT_EQ(step.top, ViewerTop) << "key " << step.vk << " modifiers " << step.modifiers;
        EXPECT_EQ(Number(step.top + 1, 60), LineNumber());
        std::string expected = step.top == 0 ? "ｶﾀｶﾅ    と表示\\ソ" : "行" + std::to_string(step.top) + "     ﾃﾞｰﾀ    値";
        if (step.top >= 10)
            expected = "行" + std::to_string(step.top) + "    ﾃﾞｰﾀ    値";
        EXPECT_EQ(Pad(expected), Slot(0)) << "key " << step.vk;
    }
    KelpoType("<");
    EXPECT_EQ(0, ViewerTop);
    KelpoType(">");
    EXPECT_EQ(34, ViewerTop);
    EXPECT_EQ(Pad("行59    ﾃﾞｰﾀ    値"), Slot(25));

    // Tab widths re-wrap the text from its first line.
    KelpoType("4");
    EXPECT_EQ(0, ViewerTop);
    EXPECT_EQ(Pad("ｶﾀｶﾅ    と表示\\ソ"), Slot(0));
    EXPECT_EQ(Pad("行1 ﾃﾞｰﾀ    値"), Slot(1));
    KelpoType("2");
    EXPECT_EQ(Pad("行1 ﾃﾞｰﾀ  値"), Slot(1));
    KelpoType("8");
    EXPECT_EQ(Pad("行1     ﾃﾞｰﾀ    値"), Slot(1));

    // Line-end marks on and off: the mark stands where the line ended.
    KelpoType("v");
    EXPECT_EQ(1, Settings.viewcr);
    EXPECT_EQ('\xBF', Slot(1)[18]);
    KelpoType("v");
    EXPECT_EQ(' ', Slot(1)[18]);

    // The hex form and back.
    KelpoKey(VK_TAB);
    EXPECT_EQ(1, HexForm);
    EXPECT_EQ(ViewerHexHeader, KelpoLine(1));
    EXPECT_EQ(" 00000000 : B6 C0 B6 C5 09 82 C6 95  5C 8E A6 5C 83 5C 0D 0A", Slot(0).substr(0, 60));
    KelpoType("4");
    EXPECT_EQ(8, Settings.tab);
    KelpoKey(VK_TAB);
    EXPECT_EQ(0, HexForm);
    EXPECT_EQ(Pad(""), KelpoLine(1));

    // Esc: back to the list with the cursor on the viewed file.
    KelpoKey(VK_ESCAPE);
    EXPECT_EQ(0, ScreenMode);
    EXPECT_FALSE(MenusGreyed());
    EXPECT_EQ("a_sjis.txt", CursorEntry());
    EXPECT_TRUE(ViewerLines == NULL);
    EXPECT_EQ("Path=", KelpoLine(3).substr(2, 5));
}

TEST_F(WindowViewer, LineEndsLimitEmptyAndBinaryFiles)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    GoTo("b_lf.txt");
    KelpoType("v");
    ASSERT_EQ(1, ScreenMode);
    EXPECT_EQ(Number(1, 3), LineNumber());
    EXPECT_EQ(Pad("first"), Slot(0));
    EXPECT_EQ(Pad("        third"), Slot(2));
    EXPECT_EQ(Pad(""), Slot(3));
    // Enter closes the viewer as Esc does.
    KelpoKey(VK_RETURN);
    EXPECT_EQ(0, ScreenMode);
    EXPECT_EQ("b_lf.txt", CursorEntry());

    KelpoKey(VK_DOWN);
    KelpoType("v");
    EXPECT_EQ(Number(1, 3), LineNumber());
    EXPECT_EQ(Pad("one^M"), Slot(0));
    EXPECT_EQ(Pad("two^M"), Slot(1));
    EXPECT_EQ(Pad("three"), Slot(2));
    KelpoKey(VK_ESCAPE);

    // The line limit: reading stops after the chunk in which line 25,000 was read.
    KelpoKey(VK_DOWN);
    ASSERT_EQ("d_big.txt", CursorEntry());
    KelpoType("v");
    EXPECT_EQ(Number(1, 25042), LineNumber());
    EXPECT_EQ(Pad("line00000"), Slot(0));
    KelpoKey(VK_END, KEY_SHIFT);
    EXPECT_EQ(25042 - 26, ViewerTop);
    EXPECT_EQ(Pad("line25016"), Slot(0));
    EXPECT_EQ(Pad("line25040"), Slot(24));
    EXPECT_EQ(Pad("line2"), Slot(25));
    KelpoKey(VK_PRIOR);
    EXPECT_EQ(Pad("line24990"), Slot(0));
    // Auto-repeated arrows move two lines at a time.
    SendMessageA(g_mainWnd, WM_KEYDOWN, VK_DOWN, 1 | (1 << 30));
    EXPECT_EQ(24992, ViewerTop);
    SendMessageA(g_mainWnd, WM_KEYDOWN, VK_UP, 1 | (1 << 30));
    SendMessageA(g_mainWnd, WM_KEYDOWN, VK_UP, 1 | (1 << 30));
    EXPECT_EQ(24988, ViewerTop);
    EXPECT_TRUE(KelpoScreenTruth());
    // Reading again shows the first page as soon as it is read, long before the end.
    ViewerTop = 0;
    EXPECT_EQ(VIEWER_LOAD_PAINTED, LoadViewerText(g_mainWnd, 0));
    EXPECT_EQ(Pad("line00025"), Slot(25));
    int shownCount = atoi(LineNumber().substr(14).c_str());
    EXPECT_GT(shownCount, 29);
    EXPECT_LT(shownCount, 1000);
    EXPECT_EQ(25042, ViewerLineCount);
    {
        WindowFontDC dc(g_mainWnd);
        DrawLineNumber(dc);
    }
    EXPECT_EQ(Number(1, 25042), LineNumber());
    EXPECT_TRUE(KelpoScreenTruth());
    KelpoKey(VK_ESCAPE);

    KelpoKey(VK_DOWN);
    KelpoType("v");
    EXPECT_EQ(Number(1, 0), LineNumber());
    EXPECT_EQ(Pad(""), Slot(0));
    KelpoKey(VK_DOWN);
    KelpoKey(VK_NEXT);
    KelpoKey(VK_END, KEY_SHIFT);
    EXPECT_EQ(0, ViewerTop);
    KelpoKey(VK_ESCAPE);

    // A binary file: control bytes as markers in text form, every byte in hex form.
    GoTo("f_data.bin");
    KelpoType("v");
    EXPECT_EQ("^@^A^B^C^D^E^F^G^H", Slot(0).substr(0, 18));
    KelpoKey(VK_TAB);
    EXPECT_EQ(Number(1, 16), LineNumber());
    EXPECT_TRUE(KelpoScreenTruth());
    EXPECT_EQ(" 000000F0 : F0 F1 F2 F3 F4 F5 F6 F7  F8 F9 FA FB FC FD FE FF", Slot(15).substr(0, 60));
    EXPECT_EQ(Pad(" 00000020 : 20 21 22 23 24 25 26 27  28 29 2A 2B 2C 2D 2E 2F    !\"#$%&'()*+,-./"), Slot(2));
    // A right click closes the viewer as Esc does.
    SendMessageA(g_mainWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(40, 100));
    KelpoPump();
    EXPECT_EQ(0, ScreenMode);
    EXPECT_EQ("f_data.bin", CursorEntry());
    EXPECT_TRUE(KelpoScreenTruth());
}

TEST_F(WindowViewer, FileThatVanishedIsReported)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    GoTo("c_cr.txt");
    DeleteFileA(temp.Full("c_cr.txt").c_str());
    std::string caption, shown;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        caption = ReadDialog(dialog).caption;
        shown = g_messageDialog.text ? g_messageDialog.text : "";
        PressButton(dialog, IDOK);
    });
    KelpoType("v");
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Error", caption);
    EXPECT_NE(std::string::npos, shown.find("c_cr.txt")) << shown;
    EXPECT_EQ(0, ScreenMode);
    EXPECT_FALSE(MenusGreyed());
    EXPECT_TRUE(KelpoScreenTruth());

    // Directories and "." are not viewed.
    GoTo("sub");
    KelpoType("v");
    EXPECT_EQ(0, ScreenMode);
    KelpoKey(VK_F11);
    KelpoType("v");
    EXPECT_EQ(0, ScreenMode);
}

}   // namespace
