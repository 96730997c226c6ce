#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "app/app.h"
#include "base/globals.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"

namespace {

struct Parsed {
    std::string dir;
    int cfg, uninstall;
};

Parsed Parse(const char *line)
{
    CfgFileMode = UninstallMode = 0;
    char dir[1024] = "junk";
    ParseCommandLine(line, dir);
    return {dir, CfgFileMode, UninstallMode};
}

TEST(CommandLine, SwitchesAreRemovedWhereverTheyStand)
{
    Parsed a = Parse("C:\\KELPO\\Kelpo.EXE /r C:\\WORK");
    EXPECT_EQ("C:\\WORK", a.dir);
    EXPECT_EQ(1, a.cfg);
    Parsed b = Parse("C:\\KELPO\\Kelpo.EXE C:\\WORK /R");
    EXPECT_EQ("C:\\WORK", b.dir);
    EXPECT_EQ(1, b.cfg);
    Parsed c = Parse("Kelpo.EXE C:\\WORK");
    EXPECT_EQ(0, c.cfg);
    EXPECT_EQ("C:\\WORK", c.dir);
}

TEST(CommandLine, QuotedProgramAndStartDirectory)
{
    Parsed a = Parse("\"C:\\Program Files\\Kelpo\\Kelpo.EXE\" \"C:\\My Documents\\x y\"");
    EXPECT_EQ("C:\\My Documents\\x y", a.dir);
    Parsed b = Parse("\"C:\\Program Files\\Kelpo\\Kelpo.EXE\" /r \"D:\\a b\"");
    EXPECT_EQ("D:\\a b", b.dir);
    EXPECT_EQ(1, b.cfg);
    Parsed c = Parse("\"C:\\Program Files\\Kelpo\\Kelpo.EXE\"");
    EXPECT_EQ("", c.dir);
    Parsed d = Parse("Kelpo.EXE");
    EXPECT_EQ("", d.dir);
}

TEST(CommandLine, UninstallStopsAndOtherSwitchesAreDirectories)
{
    Parsed a = Parse("Kelpo.EXE /u C:\\WORK");
    EXPECT_EQ(1, a.uninstall);
    EXPECT_EQ("", a.dir);
    EXPECT_EQ(1, Parse("Kelpo.EXE /U").uninstall);
    Parsed x = Parse("Kelpo.EXE /x");
    EXPECT_EQ(0, x.uninstall);
    EXPECT_EQ("/x", x.dir);
    // Switches count only after a blank and in the two spellings, standing on their own and
    // outside quotes: a directory's text is no switch.
    Parsed y = Parse("Kelpo.EXE C:\\A/r");
    EXPECT_EQ(0, y.cfg);
    EXPECT_EQ("C:\\A/r", y.dir);
    Parsed q = Parse("Kelpo.EXE \"D:\\Backup /users\" /r");
    EXPECT_EQ(0, q.uninstall);
    EXPECT_EQ(1, q.cfg);
    EXPECT_EQ("D:\\Backup /users", q.dir);
    Parsed w = Parse("Kelpo.EXE D:\\a /rock /u2");
    EXPECT_EQ(0, w.cfg + w.uninstall);
    EXPECT_EQ("D:\\a /rock /u2", w.dir);
}

TEST(CommandLine, BlanksAroundTheDirectoryAreNotPartOfIt)
{
    EXPECT_EQ("C:\\WORK", Parse("Kelpo.EXE  C:\\WORK").dir);
    EXPECT_EQ("C:\\WORK", Parse("Kelpo.EXE \tC:\\WORK\t ").dir);
    EXPECT_EQ("C:\\My Work", Parse("\"C:\\K\\Kelpo.EXE\"  \"C:\\My Work\" ").dir);
    Parsed r = Parse("Kelpo.EXE C:\\WORK /r ");
    EXPECT_EQ("C:\\WORK", r.dir);
    EXPECT_EQ(1, r.cfg);
}

// The start directory must exist whole; relative forms are taken from the current directory.
TEST(CommandLine, StartDirectoryIsAFullExistingDirectory)
{
    TempDir temp;
    temp.MakeDir("sub");
    temp.MakeDir("表");
    temp.MakeDir("表\\ソ");
    std::string file = temp.MakeFile("表\\file.txt", "x");
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(temp.Full("表").c_str()));
    char missing = MissingDriveLetter();
    ASSERT_NE(0, missing);
    struct {
        std::string given, accepted;    // "" = dropped
    } cases[] = {
        {"ソ", temp.Full("表\\ソ") + "\\"},
        {"ソ\\", temp.Full("表\\ソ") + "\\"},
        {".", temp.Full("表") + "\\"},
        {"..\\sub", temp.Full("sub") + "\\"},
        {temp.Full("表\\..\\sub"), temp.Full("sub") + "\\"},
        {"z", "Z:\\"},
        {"z:", "Z:\\"},
        {std::string(1, missing) + ":", ""},
        {std::string(1, missing) + ":\\", ""},
        {"C:\\NoSuchDirectoryHere", ""},
        {"/x", ""},
        {"nosuch", ""},
        {file, ""},
        {"\\\\server\\share", ""},
    };
    for (const auto &c : cases) {
        char path[1024];
        strcpy(path, c.given.c_str());
        bool accepted = AcceptStartDirectory(path);
        EXPECT_EQ(!c.accepted.empty(), accepted) << c.given;
        if (accepted) {
            EXPECT_STRCASEEQ(c.accepted.c_str(), path) << c.given;
        }
    }
    SetCurrentDirectoryA(previous);
}

TEST(Tables, EveryPartialAllocationIsReleased)
{
    // Fail at each allocation in turn; FreeTables must cope with what exists.
    for (int n = 1; n <= 30; n++) {
        g_failAllocationAt = n;
        EXPECT_EQ(0, AllocateTables()) << n;
        FreeTables();
        EXPECT_EQ(nullptr, g_fileEntryBlock);
        EXPECT_EQ(nullptr, CurrentPath);
    }
    g_failAllocationAt = 0;
    ASSERT_EQ(1, AllocateTables());
    EXPECT_EQ(0, CurrentPath[0]);
    EXPECT_EQ(0x0000, OrderIndex[16383]);
    EXPECT_EQ(16384u * 68, GlobalSize(g_fileEntryBlock));
    FreeTables();
    FreeTables();   // a second call finds nothing left to free
}

} // namespace

namespace {

// Without its window the program must not sit in a message loop that nothing can end: it
// says so and returns, with every table released.
TEST(StartUp, NoWindowMeansAMessageAndAnEndNotAnEndlessLoop)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    UnregisterClassA(MainClassName, instance);
    DialogDriver driver;
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    // A previous instance skips the class registration, so the window cannot be created.
    int result = KelpoMain(instance, (HINSTANCE)1, (LPSTR) "", SW_HIDE);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo", seen.caption);
    bool hasText = false;
    for (const SeenControl &c : seen.controls)
        hasText |= c.text == "Kelpoのｳｨﾝﾄﾞｳを作成できません";
    EXPECT_TRUE(hasText);
    EXPECT_EQ(NULL, g_fileEntryBlock);
    EXPECT_EQ(NULL, g_mainWnd);
}

}   // namespace
