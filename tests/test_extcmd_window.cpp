// The commands the main window carries out itself, on the real window.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "base/globals.h"
#include "config/settings.h"
#include "app/mainwnd.h"
#include "extcmd/wincmds.h"
#include "filelist/filetable.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"

namespace {

class WindowCommands : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
        temp.MakeFile("MixedCase.TXT", "x");
        temp.MakeFile("\x83\x41\x83\x43.txt", "x");    // two katakana whose second bytes are 'A' and 'C'
        temp.MakeDir("sub");
        temp.MakeFile("sub\\inner.txt", "x");
        ASSERT_TRUE(KelpoStart("Kelpo.EXE " + temp.path));
    }
    void TearDown() override
    {
        KelpoStop();
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
    }
    std::string ShortNameOf(const std::string &longName)
    {
        std::string found;
        LockFileTable();
        for (int i = 0; i < EntryCount; i++)
            if (longName == LongNameAt(i))
                found = EntryAt(i)->shortName;
        UnlockFileTable();
        return found;
    }
    std::string Path() const { return CurrentPath; }
};

TEST_F(WindowCommands, ExitQuestionAnswersToNAndY)
{
    DialogDriver driver;
    driver.Then([&](HWND dialog) { PressKey(dialog, 'N'); });
    EscapeCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    ASSERT_EQ(1u, driver.seen.size());
    EXPECT_EQ("Kelpo - Exit", driver.seen[0].caption);
    ASSERT_TRUE(driver.seen[0].Find(IDOK));
    EXPECT_EQ("終了する(&Y)", driver.seen[0].Find(IDOK)->text);
    EXPECT_TRUE(IsWindow(g_mainWnd));

    driver.Then([&](HWND dialog) { PressKey(dialog, 'Y'); });
    HWND main = g_mainWnd;
    EscapeCommand(main);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_FALSE(IsWindow(main));
}

TEST_F(WindowCommands, NameCaseChangesAsciiLettersOnly)
{
    ASSERT_EQ(0, Settings.namesmall);
    std::string mixed = ShortNameOf("MixedCase.TXT");
    // A short name with two katakana whose second bytes are 'A' and 'C'.
    LockFileTable();
    for (int i = 0; i < EntryCount; i++)
        if (std::string("\x83\x41\x83\x43.txt") == LongNameAt(i))
            strcpy(EntryAt(i)->shortName, "\x83\x41\x83\x43Q.tXt");
    UnlockFileTable();
    auto lower = [](std::string s) { for (char &c : s) if (c >= 'A' && c <= 'Z') c = (char)(c + 32); return s; };
    auto upper = [](std::string s) { for (char &c : s) if (c >= 'a' && c <= 'z') c = (char)(c - 32); return s; };
    NameCaseCommand(g_mainWnd);
    EXPECT_EQ(1, Settings.namesmall);
    EXPECT_EQ(lower(mixed), ShortNameOf("MixedCase.TXT"));
    EXPECT_EQ("\x83\x41\x83\x43q.txt", ShortNameOf("\x83\x41\x83\x43.txt"));
    NameCaseCommand(g_mainWnd);
    EXPECT_EQ(0, Settings.namesmall);
    EXPECT_EQ(upper(mixed), ShortNameOf("MixedCase.TXT"));
    EXPECT_EQ("\x83\x41\x83\x43Q.TXT", ShortNameOf("\x83\x41\x83\x43.txt"));
}

TEST_F(WindowCommands, RootDriveChangeAndTheOpenDialog)
{
    std::string start = Path();
    ASSERT_EQ(temp.path + "\\", start);
    RootCommand(g_mainWnd);
    KelpoPump();
    EXPECT_EQ(start.substr(0, 3), Path());

    // Another drive, then Ctrl+F3's drive change back to the last directory listed on C:.
    DriveChangeCommand(g_mainWnd, 25);
    KelpoPump();
    EXPECT_EQ("Z:\\", Path());
    strcpy(CurrentPath, start.c_str());
    ReloadRequest = 1;
    RepaintAll(g_mainWnd);
    KelpoPump();
    DriveChangeCommand(g_mainWnd, 25);
    KelpoPump();
    ASSERT_EQ('C', start[0]);
    DriveChangeCommand(g_mainWnd, 2);
    KelpoPump();
    EXPECT_EQ(start, Path());

    // A drive that does not exist: the message, and the listing stays.
    int missing = -1;
    DWORD drives = GetLogicalDrives();
    for (int d = 11; d >= 0 && missing < 0; d--)
        if (!(drives & (1u << d)))
            missing = d;
    ASSERT_GE(missing, 0);
    DialogDriver driver;
    driver.Then([&](HWND dialog) { PressButton(dialog, IDOK); });
    DriveChangeCommand(g_mainWnd, missing);
    EXPECT_TRUE(driver.Done());
    ASSERT_EQ(1u, driver.seen.size());
    EXPECT_EQ("Kelpo - DriveChange", driver.seen[0].caption);
    EXPECT_EQ(start, Path());

    // The Open dialog: the directory of the chosen file is listed.
    driver.Then([&](HWND dialog) {
        std::string chosen = temp.path + "\\sub\\inner.txt";
        SetDlgItemTextA(dialog, 0x480, chosen.c_str());
        SetDlgItemTextA(dialog, 0x47C, chosen.c_str());
        PressButton(dialog, IDOK);
    });
    ChooseDirectoryCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    ASSERT_EQ(2u, driver.seen.size());
    EXPECT_EQ("Kelpo - Logdsk", driver.seen[1].caption);
    KelpoPump();
    EXPECT_EQ(temp.path + "\\sub\\", Path());
}

}  // namespace
