// The commands the main window carries out itself, on the real window.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "base/globals.h"
#include "config/settings.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "app/wincmds.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "recorder/records.h"
#include "extcmd/extcmd_ids.h"
#include "screen/frame.h"

namespace {

class WindowCommands : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeFile("MixedCase.TXT", "x");
        temp.MakeFile("\x83\x41\x83\x43.txt", "x");    // two katakana whose second bytes are 'A' and 'C'
        temp.MakeDir("sub");
        temp.MakeFile("sub\\inner.txt", "x");
        Start(temp.path);
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
    KelpoKey(VK_ESCAPE);
    EXPECT_TRUE(driver.Done());
    ASSERT_EQ(1u, driver.seen.size());
    EXPECT_EQ("Kelpo - Exit", driver.seen[0].caption);
    ASSERT_TRUE(driver.seen[0].Find(IDOK));
    EXPECT_EQ("終了する(&Y)", driver.seen[0].Find(IDOK)->text);
    EXPECT_TRUE(IsWindow(g_mainWnd));

    driver.Then([&](HWND dialog) { PressKey(dialog, 'Y'); });
    HWND main = g_mainWnd;
    KelpoAutoCheck(false);          // nothing is left to compare once the window is gone
    KelpoKey(VK_ESCAPE);
    KelpoAutoCheck(true);
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
    KelpoType("g");
    EXPECT_EQ(1, Settings.namesmall);
    EXPECT_EQ(lower(mixed), ShortNameOf("MixedCase.TXT"));
    EXPECT_EQ("\x83\x41\x83\x43q.txt", ShortNameOf("\x83\x41\x83\x43.txt"));
    KelpoType("G");
    EXPECT_EQ(0, Settings.namesmall);
    EXPECT_EQ(upper(mixed), ShortNameOf("MixedCase.TXT"));
    EXPECT_EQ("\x83\x41\x83\x43Q.TXT", ShortNameOf("\x83\x41\x83\x43.txt"));
}

TEST_F(WindowCommands, RootDriveChangeAndTheOpenDialog)
{
    std::string start = Path();
    ASSERT_EQ(temp.path + "\\", start);
    KelpoType("\\");
    EXPECT_EQ(start.substr(0, 3), Path());

    // Another drive, then Ctrl+F3's drive change back to the last directory listed on C:.
    DriveChangeCommand(g_mainWnd, 25);     // Z: has no key of its own
    KelpoPump();
    EXPECT_EQ("Z:\\", Path());
    strcpy(CurrentPath, start.c_str());
    ReloadRequest = 1;
    RepaintAll(g_mainWnd);
    KelpoPump();
    DriveChangeCommand(g_mainWnd, 25);
    KelpoPump();
    ASSERT_EQ('C', start[0]);
    KelpoKey(VK_F3, KEY_CTRL);
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
    KelpoKey(VK_F1 + missing, KEY_CTRL);
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
    KelpoKey('L', KEY_CTRL);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    ASSERT_EQ(2u, driver.seen.size());
    EXPECT_EQ("Kelpo - Logdsk", driver.seen[1].caption);
    KelpoPump();
    EXPECT_EQ(temp.path + "\\sub\\", Path());
}

// The keys that start programs, through the accelerators and command letters of the window.
TEST_F(WindowCommands, KeysStartProgramsAndExternalCommands)
{
    TempDir records;
    SetEnvironmentVariableA("KELPO_RECORDER_DIR", records.path.c_str());
    std::string recorder = RecorderPath();
    CopyFileA(recorder.c_str(), temp.Full("tool.exe").c_str(), FALSE);
    strcpy(CursorName, "tool.exe");
    ReloadRequest = 2;
    RepaintAll(g_mainWnd);
    KelpoPump();

    // Alt+A runs command A; with the panel switched to the second set, command a.
    snprintf(ExtCommandLine[0], EXTCMD_LINE, "%s first $R$C", recorder.c_str());
    snprintf(ExtCommandLine[26], EXTCMD_LINE, "%s second $R$C", recorder.c_str());
    KelpoKey('A', KEY_ALT);
    std::vector<Record> runs = WaitForRecords(records.path, 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " first tool.exe", runs[0].commandLine);
    ClearRecords(records.path);
    KelpoAutoCheck(false);          // the panel stays drawn until the command closes it
    AltOverlay = 1;
    KelpoKey('A', KEY_ALT);
    KelpoAutoCheck(true);
    EXPECT_EQ(-1, AltOverlay);
    EXPECT_TRUE(KelpoScreenTruth());
    runs = WaitForRecords(records.path, 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " second tool.exe", runs[0].commandLine);
    ClearRecords(records.path);

    // x asks for options and runs the program in the listed directory.
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_COMMAND_EDIT, "tool.exe -typed");
        PressButton(dialog, IDOK);
    });
    KelpoType("x");
    EXPECT_TRUE(driver.Done());
    runs = WaitForRecords(records.path, 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("tool.exe -typed", runs[0].commandLine);
    EXPECT_EQ(temp.path, runs[0].directory);
    ClearRecords(records.path);

    // Shift+Enter on a file: the editor at once; e: its line shown first; h: the shell dialog.
    snprintf(EditorPath, PATH_BUFFER, "%s -edit", recorder.c_str());
    strcpy(CursorName, "MixedCase.TXT");
    ReloadRequest = 2;
    RepaintAll(g_mainWnd);
    KelpoPump();
    KelpoKey(VK_RETURN, KEY_SHIFT);
    runs = WaitForRecords(records.path, 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " -edit " + temp.path + "\\MixedCase.TXT", runs[0].commandLine);
    driver.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
    KelpoType("e");
    driver.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
    KelpoType("h");
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    ASSERT_EQ(3u, driver.seen.size());
    EXPECT_EQ("Kelpo - Editor", driver.seen[1].caption);
    EXPECT_EQ("Kelpo - Shell", driver.seen[2].caption);
}

}  // namespace
