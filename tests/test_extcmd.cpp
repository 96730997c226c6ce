// The launchers end to end: the real window lists a scratch folder, the commands start the
// recorder program, and its records show the command line and working directory it got.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "base/globals.h"
#include "config/settings.h"
#include "extcmd/extcmd_ids.h"
#include "extcmd/launch.h"
#include "screen/cursor.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "recorder/records.h"

namespace {

std::string ShortPath(const std::string &path)
{
    char out[MAX_PATH * 2];
    DWORD n = GetShortPathNameA(path.c_str(), out, sizeof out);
    return n && n < sizeof out ? std::string(out) : path;
}

// The entry's short name as the listing reads it (the long name when it has none). Under Wine a
// hashed short directory name can match another directory of the same parent, so the short form
// of a whole path is not always to be had; the listing's own name always is.
std::string ListedShortName(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(path.c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    FindClose(h);
    return found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName;
}

class Launchers : public KelpoWindowTest {
protected:
    TempDir records;
    std::string recorder = RecorderPath();

    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        SetEnvironmentVariableA("KELPO_RECORDER_DIR", records.path.c_str());
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(recorder.c_str()));
    }
    void Start() { KelpoWindowTest::Start(temp.path); }

    std::vector<Record> Records(size_t count) { return WaitForRecords(records.path, count); }
    void ClearRecords() { ::ClearRecords(records.path); }
    void PutCursorOn(const std::string &name)
    {
        strcpy(CursorName, name.c_str());
        FindEntryByName(CursorName);
        LockFileTable();
        std::string at = LongNameAt(PageTop + CursorSlot);
        UnlockFileTable();
        ASSERT_EQ(name, at);
    }
    void MarkAllFiles()
    {
        LockFileTable();
        for (int i = 0; i < EntryCount; i++) {
            FileEntry *e = EntryAt(i);
            if (!(e->EntryFlags & EF_DIRECTORY) && e->shortName[0] != '.') {
                e->mark = 1;
                MarkedCount++;
            }
        }
        UnlockFileTable();
    }
    std::string Folder() const { return temp.path; }
};

std::string EditText(HWND dialog)
{
    char text[EXPAND_BUFFER];
    GetDlgItemTextA(dialog, IDC_COMMAND_EDIT, text, sizeof text);
    return text;
}

DWORD Caret(HWND dialog)
{
    DWORD start = 0, end = 0;
    SendDlgItemMessageA(dialog, IDC_COMMAND_EDIT, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    return start;
}

TEST_F(Launchers, EveryMacroReachesTheStartedProgram)
{
    std::string name = "Long File %x$F.txt";
    temp.MakeFile(name, "x");
    temp.MakeFile("plain.txt", "y");
    Start();
    PutCursorOn(name);
    std::string full = Folder() + "\\" + name;
    strcpy(ExtCommandLine[0], (recorder + " $R[$C][$c][$F][$f][$X][$x][$P][$p][$D][$d][$$C]$K").c_str());
    RunExtCommand(g_mainWnd, 0);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    std::string listedShort = ListedShortName(full);
    std::string expected = recorder + " [" + name + "][" + listedShort + "][" + full + "][" +
                           ShortPath(full) + "][Long File %x$F][" + listedShort.substr(0, listedShort.rfind('.')) +
                           "][" + Folder() + "][" + ShortPath(Folder()) + "][" + Folder().substr(0, 2) + "][" +
                           Folder().substr(0, 2) + "][$$C]";
    EXPECT_EQ(expected, runs[0].commandLine);
    EXPECT_EQ(Folder(), runs[0].directory);
    // Afterwards the process is back in the listed directory.
    char current[MAX_PATH];
    GetCurrentDirectoryA(sizeof current, current);
    EXPECT_EQ(Folder(), std::string(current));
}

// Double-byte names whose second bytes are "\" and "|", with a blank: passed byte for byte.
TEST_F(Launchers, DoubleByteNamesArePassedIntact)
{
    std::string name = "\x83\x5C\x83\x7C \x95\x5C.txt";
    temp.MakeFile(name, "x");
    Start();
    PutCursorOn(name);
    strcpy(ExtCommandLine[6], (recorder + " $R<$C><$X><$F>").c_str());
    RunExtCommand(g_mainWnd, 6);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " <" + name + "><\x83\x5C\x83\x7C \x95\x5C><" + Folder() + "\\" + name + ">",
              runs[0].commandLine);
    ClearRecords();
    snprintf(EditorPath, PATH_BUFFER, "%s", recorder.c_str());
    RunEditor(g_mainWnd, 0, -1);
    runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " \"" + Folder() + "\\" + name + "\"", runs[0].commandLine);
}

TEST_F(Launchers, WorkingDirectoryOfTheCommand)
{
    temp.MakeFile("a.txt", "x");
    std::string other = temp.MakeDir("other dir");
    Start();
    strcpy(ExtCommandLine[27], (recorder + " $R$C").c_str());
    strcpy(ExtCommandDir[27], (other + "\\").c_str());
    PutCursorOn("a.txt");
    RunExtCommand(g_mainWnd, 27);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " a.txt", runs[0].commandLine);
    EXPECT_EQ(other, runs[0].directory);
}

TEST_F(Launchers, RepeatListRunsTenTenAndThree)
{
    for (int i = 1; i <= 23; i++) {
        char name[32];
        snprintf(name, sizeof name, "f%02d.txt", i);
        temp.MakeFile(name, "x");
    }
    Start();
    MarkAllFiles();
    ASSERT_EQ(23, MarkedCount);
    strcpy(ExtCommandLine[1], (recorder + " -l $R$XTA -dropped").c_str());
    RunExtCommand(g_mainWnd, 1);
    std::vector<Record> runs = Records(3);
    ASSERT_EQ(3u, runs.size());
    EXPECT_EQ(recorder + " -l f01 f02 f03 f04 f05 f06 f07 f08 f09 f10", runs[0].commandLine);
    EXPECT_EQ(recorder + " -l f11 f12 f13 f14 f15 f16 f17 f18 f19 f20", runs[1].commandLine);
    EXPECT_EQ(recorder + " -l f21 f22 f23", runs[2].commandLine);
    EXPECT_EQ(23, MarkedCount);
}

TEST_F(Launchers, OptionDialogForEachRunAndTheCursorEntryWhenNothingIsMarked)
{
    temp.MakeFile("one.txt", "x");
    temp.MakeFile("two.txt", "x");
    Start();
    PutCursorOn("two.txt");
    strcpy(ExtCommandLine[2], (recorder + " -m $M -dropped").c_str());
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        EXPECT_EQ(recorder + " -m two.txt", EditText(dialog));
        EXPECT_EQ(EditText(dialog).size(), Caret(dialog));
        SetDlgItemTextA(dialog, IDC_COMMAND_EDIT, (EditText(dialog) + " -typed").c_str());
        PressButton(dialog, IDOK);
    });
    RunExtCommand(g_mainWnd, 2);
    EXPECT_TRUE(driver.Done());
    ASSERT_FALSE(driver.seen.empty());
    EXPECT_EQ("Kelpo - External Command", driver.seen[0].caption);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " -m two.txt -typed", runs[0].commandLine);
    EXPECT_EQ(0, MarkedCount);
    LockFileTable();
    for (int i = 0; i < EntryCount; i++)
        EXPECT_EQ(0, EntryAt(i)->mark);
    UnlockFileTable();
    // The typed line went to the shared history.
    EXPECT_EQ(recorder + " -m two.txt -typed", std::string(CommandHistory[0]));
}

TEST_F(Launchers, EmptyCommandShowsAnEmptyFieldAndCancelStopsTheSeries)
{
    temp.MakeFile("a.txt", "x");
    temp.MakeFile("b.txt", "x");
    Start();
    ExtCommandLine[3][0] = '\0';
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        EXPECT_EQ("", EditText(dialog));
        SetDlgItemTextA(dialog, IDC_COMMAND_EDIT, (recorder + " typed").c_str());
        PressButton(dialog, IDOK);
    });
    RunExtCommand(g_mainWnd, 3);
    EXPECT_TRUE(driver.Done());
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " typed", runs[0].commandLine);
    ClearRecords();

    // Left empty: nothing starts.
    driver.Then([&](HWND dialog) { PressButton(dialog, IDOK); });
    RunExtCommand(g_mainWnd, 3);
    EXPECT_TRUE(driver.Done());

    // Cancel in the first run of a series ends the series.
    MarkAllFiles();
    strcpy(ExtCommandLine[4], (recorder + " $M").c_str());
    driver.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
    RunExtCommand(g_mainWnd, 4);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_TRUE(Records(0).empty());
}

TEST_F(Launchers, ALineLongerThanTheBufferIsRefused)
{
    std::string longName(200, 'n');
    temp.MakeFile(longName, "x");
    Start();
    PutCursorOn(longName);
    std::string line = recorder + " $R";
    while (line.size() + 2 <= 500)
        line += "$F";
    strcpy(ExtCommandLine[5], line.c_str());
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        PressButton(dialog, IDOK);
    });
    RunExtCommand(g_mainWnd, 5);
    EXPECT_TRUE(driver.Done());
    ASSERT_EQ(1u, driver.seen.size());
    EXPECT_EQ("Kelpo - ExtCommand", driver.seen[0].caption);
    EXPECT_TRUE(Records(0).empty());
}

TEST_F(Launchers, ExecAsksForOptionsAndStartsInTheListedDirectory)
{
    CopyFileA(recorder.c_str(), temp.Full("tool.exe").c_str(), FALSE);
    CopyFileA(recorder.c_str(), temp.Full("my tool.exe").c_str(), FALSE);
    temp.MakeFile("notes.txt", "x");
    Start();
    PutCursorOn("tool.exe");
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        EXPECT_EQ("tool.exe ", EditText(dialog));
        EXPECT_EQ(9u, Caret(dialog));       // a program: caret at the end
        SetDlgItemTextA(dialog, IDC_COMMAND_EDIT, "tool.exe -a \"b c\" 100%");
        PressButton(dialog, IDOK);
    });
    ExecCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    ASSERT_FALSE(driver.seen.empty());
    EXPECT_EQ("Kelpo - Execute", driver.seen[0].caption);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ("tool.exe -a \"b c\" 100%", runs[0].commandLine);
    EXPECT_EQ(Folder(), runs[0].directory);
    EXPECT_EQ("tool.exe -a \"b c\" 100%", std::string(CommandHistory[0]));
    ClearRecords();

    // Z starts at once; a name with a blank is started under its short name.
    PutCursorOn("my tool.exe");
    ExecAtOnceCommand(g_mainWnd);
    runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(ListedShortName(temp.Full("my tool.exe")), runs[0].commandLine);

    // A document takes the caret at the start; Up and Down walk the history.
    PutCursorOn("notes.txt");
    driver.ThenSteps([&](HWND dialog, int step) {
        switch (step) {
        case 0:
            EXPECT_EQ(0u, Caret(dialog));
            PressKey(dialog, VK_DOWN);
            return false;
        case 1:
            EXPECT_EQ("tool.exe -a \"b c\" 100%", EditText(dialog));
            PressKey(dialog, VK_DOWN);      // no older entry: stays
            return false;
        case 2:
            EXPECT_EQ("tool.exe -a \"b c\" 100%", EditText(dialog));
            PressKey(dialog, VK_UP);
            return false;
        default:
            EXPECT_EQ("notes.txt ", EditText(dialog));
            PressButton(dialog, IDCANCEL);
            return true;
        }
    });
    ExecCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
}

// When neither WinExec nor ShellExecute can start the entry, Enter is posted so that the entry
// opens as Enter opens it; not for a program, where Enter would only come back to eXec.
TEST_F(Launchers, ExecFallsBackToEnterForDocumentsOnly)
{
    temp.MakeFile("notes.qqz", "x");
    temp.MakeFile("broken.exe", "not a program");
    Start();
    MSG msg;
    PutCursorOn("notes.qqz");
    ExecAtOnceCommand(g_mainWnd);
    EXPECT_TRUE(PeekMessageA(&msg, g_mainWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ((WPARAM)VK_RETURN, msg.wParam);
    PutCursorOn("broken.exe");
    ExecAtOnceCommand(g_mainWnd);
    EXPECT_FALSE(PeekMessageA(&msg, g_mainWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

TEST_F(Launchers, EditorTakesTheViewerLineAndTheQuotedPath)
{
    temp.MakeFile("Long File.txt", "x");
    Start();
    PutCursorOn("Long File.txt");
    Settings.disprow = 20;
    std::string full = Folder() + "\\Long File.txt";
    snprintf(EditorPath, PATH_BUFFER, "%s -n$L $F -again $L", recorder.c_str());
    RunEditor(g_mainWnd, 0, 100);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " -n113 \"" + full + "\" -again 113", runs[0].commandLine);
    ClearRecords();

    // Without "$F" the path is appended; 'E' shows the line first with the caret at the end.
    snprintf(EditorPath, PATH_BUFFER, "%s -x", recorder.c_str());
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        std::string text = recorder + " -x \"" + full + "\" ";
        EXPECT_EQ(text, EditText(dialog));
        EXPECT_EQ(text.size(), Caret(dialog));
        PressButton(dialog, IDOK);
    });
    RunEditor(g_mainWnd, 1, -1);
    EXPECT_TRUE(driver.Done());
    ASSERT_FALSE(driver.seen.empty());
    EXPECT_EQ("Kelpo - Editor", driver.seen[0].caption);
    runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " -x \"" + full + "\"", runs[0].commandLine);
}

TEST(EditorCommand, LineNumbersAndDotEntries)
{
    EXPECT_EQ(113, EditorLineNumber(100, 20));
    EXPECT_EQ(18, EditorLineNumber(0, 30));
    EXPECT_EQ(0, EditorLineNumber(-50, 20));
    char out[64];
    bool ask = false;
    ASSERT_TRUE(BuildEditorCommand("ed $L", "C:\\d\\", "..", true, 5, out, sizeof out, &ask));
    EXPECT_TRUE(ask);
    EXPECT_STREQ("ed $L", out);
    ASSERT_TRUE(BuildEditorCommand("ed", "C:\\", "a b", false, 0, out, sizeof out, &ask));
    EXPECT_FALSE(ask);
    EXPECT_STREQ("ed \"C:\\a b\"", out);
    // Too long for the buffer: refused, never cut.
    EXPECT_FALSE(BuildEditorCommand("ed $F $F $F", "C:\\", "abcdefghijklmnop", false, 0, out, 40, &ask));
    EXPECT_FALSE(BuildEditorCommand("ed", "C:\\", std::string(60, 'n').c_str(), false, 0, out, sizeof out, &ask));
}

TEST_F(Launchers, ShellInsertsTheCursorNameAndWalksTheHistory)
{
    temp.MakeFile("a b.txt", "x");
    Start();
    PutCursorOn("a b.txt");
    SetEnvironmentVariableA("COMSPEC", recorder.c_str());
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            EXPECT_EQ("", EditText(dialog));
            PressKey(dialog, VK_INSERT);
            return false;
        }
        EXPECT_EQ("a b.txt ", EditText(dialog));
        EXPECT_EQ(8u, Caret(dialog));
        PressButton(dialog, IDOK);
        return true;
    });
    ShellCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    ASSERT_FALSE(driver.seen.empty());
    EXPECT_EQ("Kelpo - Shell", driver.seen[0].caption);
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " /c a b.txt", runs[0].commandLine);
    EXPECT_EQ(Folder(), runs[0].directory);
    ClearRecords();

    // The history brings the text back; an empty field runs the interpreter alone.
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            PressKey(dialog, VK_DOWN);
            return false;
        }
        if (step == 1) {
            EXPECT_EQ("a b.txt ", EditText(dialog));
            PressKey(dialog, VK_UP);
            return false;
        }
        EXPECT_EQ("", EditText(dialog));
        PressButton(dialog, IDOK);
        return true;
    });
    ShellCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder, runs[0].commandLine);
    SetEnvironmentVariableA("COMSPEC", NULL);
}

TEST_F(Launchers, ExternalViewerGetsTheQuotedPath)
{
    temp.MakeFile("read me.txt", "x");
    Start();
    PutCursorOn("read me.txt");
    ExtViewerPath[0] = '\0';
    EXPECT_FALSE(OpenExternalViewer(g_mainWnd));
    strcpy(ExtViewerPath, recorder.c_str());
    EXPECT_TRUE(OpenExternalViewer(g_mainWnd));
    std::vector<Record> runs = Records(1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(ShortPath(recorder) + " \"" + Folder() + "\\read me.txt\"", runs[0].commandLine);
}

}  // namespace
