#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

class WindowStartup : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeDir("with blanks");
        temp.MakeFile("with blanks\\first.txt", "1");
        temp.MakeFile("with blanks\\日本語.txt", "22");
        temp.MakeDir("with blanks\\ソース");
    }
    std::string Dir() { return temp.Full("with blanks"); }
    bool ScreenShows(const std::string &text) { return KelpoScreen().find(text) != std::string::npos; }
    static void Store(const char *name, DWORD type, const void *data, DWORD size)
    {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo", &key));
        RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
        RegCloseKey(key);
    }
};

TEST_F(WindowStartup, QuotedDirectoryWithBlanksIsListed)
{
    ASSERT_TRUE(KelpoStart("Kelpo.EXE \"" + Dir() + "\""));
    EXPECT_EQ(Dir() + "\\", std::string(CurrentPath));
    EXPECT_EQ(0, CfgFileMode);
    EXPECT_TRUE(ScreenShows("first.txt")) << KelpoScreen();
    EXPECT_TRUE(ScreenShows("日本語.txt")) << KelpoScreen();
    EXPECT_TRUE(ScreenShows("ソース")) << KelpoScreen();
    char title[1200];
    GetWindowTextA(g_mainWnd, title, sizeof title);
    EXPECT_EQ("Kelpo - " + Dir() + "\\", std::string(title));
}

TEST_F(WindowStartup, FileModeSwitchBeforeOrAfterTheDirectory)
{
    ASSERT_TRUE(KelpoStart("Kelpo.EXE /r \"" + Dir() + "\""));
    EXPECT_EQ(1, CfgFileMode);
    EXPECT_EQ(Dir() + "\\", std::string(CurrentPath));
    EXPECT_TRUE(ScreenShows("first.txt")) << KelpoScreen();
    KelpoStop();
    ASSERT_TRUE(KelpoStart("Kelpo.EXE \"" + Dir() + "\" /R"));
    EXPECT_EQ(1, CfgFileMode);
    EXPECT_TRUE(ScreenShows("first.txt")) << KelpoScreen();
}

TEST_F(WindowStartup, MissingDirectoryIsDroppedForTheStoredOne)
{
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + temp.Full("no-such-dir")));
    // Without a stored last path the program's own directory is listed.
    EXPECT_EQ(std::string(ProgramDir), std::string(CurrentPath));
    EXPECT_FALSE(ScreenShows("first.txt"));
}

// A relative directory between stray blanks is listed and stored as its full path; a stored
// directory on a drive that is gone is not listed.
TEST_F(WindowStartup, RelativeDirectoryIsListedAndAGoneDriveIsLeft)
{
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.path.c_str()));
    bool started = KelpoStart("Kelpo.EXE /r  \"with blanks\"  ");
    SetCurrentDirectoryA(previous);
    ASSERT_TRUE(started);
    EXPECT_EQ(Dir() + "\\", std::string(CurrentPath));
    EXPECT_TRUE(ScreenShows("first.txt")) << KelpoScreen();
    KelpoStop();

    char missing = MissingDriveLetter();
    ASSERT_NE(0, missing);
    std::string gone = std::string(1, missing) + ":\\";
    Store("lastpath", REG_SZ, gone.c_str(), (DWORD)gone.size() + 1);
    ASSERT_TRUE(KelpoStart("Kelpo.EXE"));
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_EQ(std::string(windows, 3), std::string(CurrentPath));
    EXPECT_FALSE(ScreenShows("ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ")) << KelpoScreen();
}

// A stored place off the desktop (damaged, or a screen given up since) is not taken.
TEST_F(WindowStartup, WindowComesUpOnTheDesktop)
{
    struct {
        const char *x, *y;
        bool kept;
    } places[] = {{"40", "30", true}, {"100000", "100000", false}, {"-5000", "20", false}, {"20", "-3000", false}};
    for (const auto &place : places) {
        Store("px", REG_SZ, place.x, (DWORD)strlen(place.x) + 1);
        Store("py", REG_SZ, place.y, (DWORD)strlen(place.y) + 1);
        ASSERT_TRUE(KelpoStart("Kelpo.EXE " + Dir()));
        RECT window, desktop = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}, shown;
        GetWindowRect(g_mainWnd, &window);
        EXPECT_TRUE(IntersectRect(&shown, &window, &desktop)) << place.x << "," << place.y;
        if (place.kept) {
            EXPECT_EQ(atoi(place.x) * 1000 + atoi(place.y), window.left * 1000 + window.top);
        }
        KelpoStop();
    }
}

// A stored font size no font can be made of gives the default size, not a screen of 1-pixel cells.
TEST_F(WindowStartup, UnusableFontSizeGivesTheDefault)
{
    const BYTE huge[2] = {0xFF, 0xFF};
    Store("fontpoint", REG_BINARY, huge, 2);
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + Dir()));
    EXPECT_EQ(12, Settings.fontpoint);
    EXPECT_LT(1, CellWidth);
    EXPECT_LT(8, CellHeight);
    EXPECT_TRUE(KelpoScreenTruth());
}

TEST_F(WindowStartup, ListingFollowsTheOrderIndexAndTheCursor)
{
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + Dir()));
    // Grid line 7 holds the first entry; "." stands first in a sorted subdirectory listing.
    LockFileTable();
    std::string first = LongNameAt(0);
    UnlockFileTable();
    EXPECT_EQ(0u, KelpoLine(7).find("  " + first)) << KelpoScreen();
    EXPECT_EQ(80u, KelpoLine(7).size());
}

} // namespace
