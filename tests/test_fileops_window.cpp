// The file commands in the real main window: each runs through its real dialogs, answered
// the way a user would, and the file system is checked afterwards, not only the screen.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <set>
#include <vector>
#include <string>
#include "base/globals.h"
#include "screen/cursor.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "fileops/delete.h"
#include "fileops/fileops_ids.h"
#include "ui/msgdlg.h"
#include "dialogdriver.h"
#include "testutil.h"
#include "resource.h"
#include "window.h"
#include "windowfixture.h"

namespace {

const DWORD RO = FILE_ATTRIBUTE_READONLY, HI = FILE_ATTRIBUTE_HIDDEN, SY = FILE_ATTRIBUTE_SYSTEM;

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class FileCommands : public KelpoWindowTest {
protected:
    void Start()
    {
        KelpoWindowTest::Start(temp.path);
        if (HasFatalFailure())
            return;
        strcpy(ProgramDir, temp.path.c_str());
        // By name, so that the order of the work is known.
        Settings.sortmode = 0;
        Settings.sortdir = 0;
        ReloadRequest = 1;
        RepaintAll(g_mainWnd);
        KelpoPump();
    }
    // Types the command letter as the keyboard does; the screen must equal a full repaint
    // after it (checked by the window test library).
    void Command(char letter, bool shifted = false)
    {
        if (letter == '*')
            KelpoType("*");
        else
            KelpoKey((UINT)letter, shifted ? KEY_SHIFT : 0);
    }
    void PutCursorOn(const std::string &name)
    {
        FindEntryByName(name.c_str());
        ASSERT_EQ(name, CursorEntry());
        PrevSlot = -1;
        RepaintAll(g_mainWnd);
        KelpoPump();
    }
    void MarkEntry(const std::string &name)
    {
        PutCursorOn(name);
        KelpoKey(VK_SPACE);
    }
    std::set<std::string> Listed()
    {
        std::set<std::string> names;
        LockFileTable();
        for (int i = 0; i < EntryCount && !NoFiles; i++)
            names.insert(LongNameAt(i));
        UnlockFileTable();
        return names;
    }
    std::set<std::string> MarkedNames()
    {
        std::set<std::string> names;
        LockFileTable();
        for (int i = 0; i < EntryCount && !NoFiles; i++)
            if (EntryAt(i)->mark)
                names.insert(LongNameAt(i));
        UnlockFileTable();
        return names;
    }
};

// Marked files of every kind, worked on in display order (system, hidden, read-only files
// first): the system file is kept by Cancel, the next confirmed with Y, the third answered
// for all that follow, so the read-only one goes without a question; the cursor lands on the
// first entry after the deleted ones.
TEST_F(FileCommands, DeleteMarkedWithEachAttributeAnswer)
{
    temp.MakeFile("a1.txt", "1");
    temp.MakeFile("a2.txt", "2", RO);
    temp.MakeFile("a3.txt", "3", HI);
    temp.MakeFile("a4.txt", "4", SY);
    temp.MakeFile("a5.txt", "5", RO | HI);
    temp.MakeFile("a6.txt", "6");
    temp.MakeFile("z.txt", "z");
    Start();
    for (const char *name : {"a1.txt", "a2.txt", "a3.txt", "a4.txt", "a5.txt", "a6.txt"})
        MarkEntry(name);
    ASSERT_EQ(6, MarkedCount);
    PutCursorOn("a1.txt");

    DialogDriver driver;
    std::vector<std::string> asked;
    driver.Then([&](HWND dialog) {
        EXPECT_EQ("ﾏｰｸされたﾌｧｲﾙを削除します", ReadDialog(dialog).Find(IDC_NAME_EDIT)->text);
        PressKey(dialog, 'Y');
    });
    driver.Then([&](HWND dialog) {
        SeenDialog seen = ReadDialog(dialog);
        asked.push_back(seen.Find(IDC_DELETE_PATH)->text);
        EXPECT_EQ("System ですが", seen.Find(IDC_DELETE_WORDS)->text);
        PressButton(dialog, IDCANCEL);
    });
    driver.Then([&](HWND dialog) {
        SeenDialog seen = ReadDialog(dialog);
        asked.push_back(seen.Find(IDC_DELETE_PATH)->text);
        EXPECT_EQ("Read only / Hidden ですが", seen.Find(IDC_DELETE_WORDS)->text);
        PressKey(dialog, 'Y');
    });
    driver.Then([&](HWND dialog) {
        asked.push_back(ReadDialog(dialog).Find(IDC_DELETE_PATH)->text);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_DELETE_ALL_LOOK)));
        PressKey(dialog, 'A');
    });
    Command('D');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ((std::vector<std::string>{temp.Full("a4.txt"), temp.Full("a5.txt"), temp.Full("a3.txt")}), asked);

    EXPECT_TRUE(Exists(temp.Full("a4.txt")));
    EXPECT_TRUE(GetFileAttributesA(temp.Full("a4.txt").c_str()) & SY);
    for (const char *gone : {"a1.txt", "a2.txt", "a3.txt", "a5.txt", "a6.txt"})
        EXPECT_FALSE(Exists(temp.Full(gone))) << gone;
    EXPECT_TRUE(Exists(temp.Full("z.txt")));
    EXPECT_EQ((std::set<std::string>{".", "..", "a4.txt", "z.txt"}), Listed());
    EXPECT_EQ("z.txt", CursorEntry());
    EXPECT_EQ(0, BusyFlag);
    EXPECT_EQ(0, MarkedCount);
}

// One unmarked file: the question names it; Return cancels without retdel; Y deletes it and
// the cursor moves to the entry before it at the end of the list.
TEST_F(FileCommands, DeleteCursorFileAndReturnCancels)
{
    temp.MakeFile("b.txt", "b");
    temp.MakeFile("c.txt", "c");
    temp.MakeDir("dir");
    Start();
    PutCursorOn("c.txt");
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        EXPECT_EQ("c.txt を削除します", ReadDialog(dialog).Find(IDC_NAME_EDIT)->text);
        PressKey(dialog, VK_RETURN);
    });
    Command('D');
    EXPECT_TRUE(Exists(temp.Full("c.txt")));
    driver.Then([](HWND dialog) { PressKey(dialog, 'Y'); });
    Command('D');
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_FALSE(Exists(temp.Full("c.txt")));
    EXPECT_EQ("b.txt", CursorEntry());
    // Delete on a directory does nothing, no dialog.
    PutCursorOn("dir");
    Command('D');
    EXPECT_TRUE(Exists(temp.Full("dir")));
    EXPECT_EQ(0, driver.Unexpected());
}

// rmDir on a tree ten levels deep with read-only files in every level: one question for the
// first read-only file, answered for all that follow, and the tree is gone.
TEST_F(FileCommands, RemoveDirTenDeep)
{
    std::string relative = "deep";
    temp.MakeDir(relative);
    for (int level = 1; level <= 10; level++) {
        relative += "\\d" + std::to_string(level);
        temp.MakeDir(relative);
        temp.MakeFile(relative + "\\ro.txt", "r", RO);
        temp.MakeFile(relative + "\\plain.txt", "p");
    }
    temp.MakeFile("after.txt", "a");
    Start();
    PutCursorOn("deep");
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        EXPECT_EQ("deep を削除します", ReadDialog(dialog).Find(IDC_NAME_EDIT)->text);
        PressKey(dialog, 'Y');
    });
    driver.Then([](HWND dialog) {
        EXPECT_EQ("Kelpo - Delete File", ReadDialog(dialog).caption);
        PressKey(dialog, 'A');
    });
    Command('D', true);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_FALSE(Exists(temp.Full("deep")));
    EXPECT_EQ("after.txt", CursorEntry());
}

// Esc during a tree deletion: the step under way finishes, nothing after it is deleted and
// no error is reported.
TEST_F(FileCommands, EscapeStopsTreeDeletion)
{
    temp.MakeDir("tree");
    temp.MakeDir("tree\\a");
    temp.MakeFile("tree\\a\\1.txt", "1", RO);
    temp.MakeDir("tree\\b");
    temp.MakeFile("tree\\b\\2.txt", "2");
    temp.MakeFile("tree\\b\\3.txt", "3");
    Start();
    PutCursorOn("tree");
    DialogDriver driver;
    driver.Then([](HWND dialog) { PressKey(dialog, 'Y'); });
    // Esc pressed in the main window reaches it as its accelerator's command; a raw key message
    // posted there while the dialog's loop runs would also be translated into a typed Esc.
    driver.Then([](HWND dialog) {
        PostMessageA(g_mainWnd, WM_COMMAND, IDM_ESCAPE, 0);
        PressKey(dialog, 'Y');
    });
    Command('D', true);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_FALSE(Exists(temp.Full("tree\\a\\1.txt")));
    EXPECT_TRUE(Exists(temp.Full("tree\\b\\2.txt")));
    EXPECT_TRUE(Exists(temp.Full("tree\\b\\3.txt")));
    EXPECT_TRUE(Exists(temp.Full("tree")));
    EXPECT_EQ(0, AbortFlag);
    EXPECT_EQ(0, BusyFlag);
    EXPECT_EQ("tree", CursorEntry());
}

// Rename to an existing name and to an invalid name: reported, nothing changes; a change
// of letter case only is taken; Cancel changes nothing.
TEST_F(FileCommands, RenameCases)
{
    temp.MakeFile("old.txt", "old");
    temp.MakeFile("taken.txt", "taken");
    Start();
    struct Step {
        const char *typed;
        bool reported;
    };
    for (Step step : {Step{"taken.txt", true}, Step{"bad<name>.txt", true}}) {
        PutCursorOn("old.txt");
        DialogDriver driver;
        std::string report;
        driver.Then([&](HWND dialog) {
            SeenDialog seen = ReadDialog(dialog);
            EXPECT_EQ("Kelpo - Rename", seen.caption);
            EXPECT_EQ("old.txt", seen.Find(IDC_OLD_NAME)->text);
            EXPECT_EQ("old.txt", seen.Find(IDC_NAME_EDIT)->text);
            EXPECT_EQ(IDC_NAME_EDIT, seen.focusId);
            SetDlgItemTextA(dialog, IDC_NAME_EDIT, step.typed);
            PressButton(dialog, IDOK);
        });
        driver.Then([&](HWND dialog) {
            report = g_messageDialog.text ? g_messageDialog.text : "";
            PressButton(dialog, IDOK);
        });
        Command('R');
        EXPECT_EQ(0, driver.Unexpected()) << step.typed;
        EXPECT_NE(std::string::npos, report.find("MoveFile(rename)")) << report;
        EXPECT_EQ("old", ReadAll(temp.Full("old.txt")));
        EXPECT_TRUE(Exists(temp.Full("old.txt")));
        EXPECT_TRUE(Exists(temp.Full("taken.txt")));
        EXPECT_EQ("old.txt", CursorEntry());
    }
    PutCursorOn("old.txt");
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "OLD.TXT");
        PressButton(dialog, IDOK);
    });
    Command('R');
    EXPECT_EQ(0, driver.Unexpected());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(temp.Full("old.txt").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    EXPECT_STREQ("OLD.TXT", found.cFileName);
    EXPECT_EQ("OLD.TXT", CursorEntry());
    driver.Then([](HWND dialog) { PressButton(dialog, IDCANCEL); });
    Command('R');
    EXPECT_TRUE(Exists(temp.Full("OLD.TXT")));
    // Trailing dots and blanks are dropped by the system: the cursor follows the name it gave.
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "新表.txt. ");
        PressButton(dialog, IDOK);
    });
    Command('R');
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("old", ReadAll(temp.Full("新表.txt")));
    EXPECT_EQ("新表.txt", CursorEntry());
}

// Upper and lower case of the marked names: only the ASCII letters change.
TEST_F(FileCommands, CaseOfMarkedNames)
{
    temp.MakeFile("ＡＢＣdef.txt", "1");
    temp.MakeFile("Mixed.Txt", "2");
    temp.MakeFile("keep.txt", "3");
    Start();
    MarkEntry("ＡＢＣdef.txt");
    MarkEntry("Mixed.Txt");
    PutCursorOn("Mixed.Txt");
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        EXPECT_EQ(BST_CHECKED, (int)IsDlgButtonChecked(dialog, IDC_CASE_UPPER));
        PressButton(dialog, IDOK);
    });
    Command('R');
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ((std::set<std::string>{".", "..", "ＡＢＣDEF.TXT", "MIXED.TXT", "keep.txt"}), Listed());
    EXPECT_EQ("MIXED.TXT", CursorEntry());
    MarkEntry("ＡＢＣDEF.TXT");
    driver.Then([](HWND dialog) {
        CheckRadioButton(dialog, IDC_CASE_UPPER, IDC_CASE_LOWER, IDC_CASE_LOWER);
        PressButton(dialog, IDOK);
    });
    Command('R');
    EXPECT_EQ((std::set<std::string>{".", "..", "ＡＢＣdef.txt", "MIXED.TXT", "keep.txt"}), Listed());
}

// Mark by pattern on Japanese names, with "*" and "?" patterns; Find sets the mask and an
// empty Find shows everything again.
TEST_F(FileCommands, MarkByPatternAndFind)
{
    for (const char *name : {"日本語.txt", "日本.TXT", "表.txt", "ソ.dat", "abc.doc"})
        temp.MakeFile(name, "x");
    temp.MakeDir("フォルダ.txt");
    Start();
    struct Case {
        const char *pattern;
        std::set<std::string> marked;
    };
    const Case cases[] = {
        {"*.TXT", {"日本語.txt", "日本.TXT", "表.txt"}},
        {"??.txt", {"日本.TXT"}},
        {"?.*", {"表.txt", "ソ.dat"}},
        {"nothing*", {}},
    };
    for (const Case &c : cases) {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            SeenDialog seen = ReadDialog(dialog);
            EXPECT_EQ("Kelpo - Find Mark", seen.caption);
            EXPECT_EQ("", seen.Find(IDC_NAME_EDIT)->text);
            SetDlgItemTextA(dialog, IDC_NAME_EDIT, c.pattern);
            PressButton(dialog, IDOK);
        });
        Command('*');
        EXPECT_EQ(0, driver.Unexpected());
        EXPECT_EQ(c.marked, MarkedNames()) << c.pattern;
        EXPECT_EQ((int)c.marked.size(), MarkedCount) << c.pattern;
    }

    DialogDriver driver;
    driver.Then([](HWND dialog) {
        SeenDialog seen = ReadDialog(dialog);
        EXPECT_EQ("Kelpo - Find", seen.caption);
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "*.txt");
        PressButton(dialog, IDOK);
    });
    Command('F');
    EXPECT_STREQ("*.txt", FileMask);
    EXPECT_EQ((std::set<std::string>{"日本語.txt", "日本.TXT", "表.txt", "フォルダ.txt"}), Listed());
    driver.Then([](HWND dialog) {
        EXPECT_EQ("*.txt", ReadDialog(dialog).Find(IDC_NAME_EDIT)->text);
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "");
        PressButton(dialog, IDOK);
    });
    Command('F');
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ(8u, Listed().size());
}

// A mask or pattern naming another directory ("sub\*") is refused and the dialog stays: listed
// here, that directory's files would be taken for entries of this one by every command (D would
// delete a file of this directory that has the same name).
TEST_F(FileCommands, MaskWithAPathIsRefused)
{
    temp.MakeDir("sub");
    temp.MakeFile("sub\\only.txt", "inner");
    temp.MakeFile("here.txt", "x");
    temp.MakeFile("ソ.txt", "x");   // second byte 0x5C: no path
    Start();
    for (char letter : {'F', '*'}) {
        for (const char *typed : {"sub\\*", "sub/*.txt", "C:*.txt"}) {
            SCOPED_TRACE(typed);
            std::vector<std::string> refusals;
            DialogDriver driver;
            driver.Then([&](HWND dialog) {
                SetDlgItemTextA(dialog, IDC_NAME_EDIT, typed);
                PressButton(dialog, IDOK);
            });
            driver.Then([&](HWND dialog) {
                refusals.push_back(ReadDialog(dialog).caption + ": " + (g_messageDialog.text ? g_messageDialog.text : ""));
                PressButton(dialog, IDOK);
            });
            driver.Then([&](HWND dialog) {
                SetDlgItemTextA(dialog, IDC_NAME_EDIT, "*.txt");
                PressButton(dialog, IDOK);
            });
            Command(letter);
            EXPECT_TRUE(driver.Done());
            EXPECT_EQ(0, driver.Unexpected());
            std::string caption = letter == 'F' ? "Kelpo - Find" : "Kelpo - Find Mark";
            EXPECT_EQ((std::vector<std::string>{caption + ": 正しいﾌｧｲﾙ名を入力してください"}), refusals);
            if (letter == 'F') {
                EXPECT_STREQ("*.txt", FileMask);
                EXPECT_EQ((std::set<std::string>{"here.txt", "ソ.txt"}), Listed());
            } else {
                EXPECT_EQ((std::set<std::string>{"here.txt", "ソ.txt"}), MarkedNames());
            }
        }
    }
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "ソ*");
        PressButton(dialog, IDOK);
    });
    Command('*');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ((std::set<std::string>{"ソ.txt"}), MarkedNames());
}

// mKdir refuses a bad name and keeps its dialog, then makes the directory; New file asks
// before truncating, keeps the file on No and truncates on Yes.
TEST_F(FileCommands, MakeDirectoryAndNewFile)
{
    std::string existing = temp.MakeFile("exists.txt", "content");
    Start();
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        EXPECT_EQ("Kelpo - Make Directory", ReadDialog(dialog).caption);
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "bad|name");
        PressButton(dialog, IDOK);
    });
    driver.Then([](HWND dialog) {
        EXPECT_EQ("Kelpo - Mkdir", ReadDialog(dialog).caption);
        PressButton(dialog, IDOK);
    });
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "新しいフォルダ");
        PressButton(dialog, IDOK);
    });
    Command('K');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_TRUE(GetFileAttributesA(temp.Full("新しいフォルダ").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("新しいフォルダ", CursorEntry());

    for (int answer : {IDNO, IDYES}) {
        driver.Then([](HWND dialog) {
            EXPECT_EQ("Kelpo - New File", ReadDialog(dialog).caption);
            SetDlgItemTextA(dialog, IDC_NAME_EDIT, "exists.txt");
            PressButton(dialog, IDOK);
        });
        driver.Then([answer](HWND dialog) {
            EXPECT_EQ("Kelpo - NewFile", ReadDialog(dialog).caption);
            PressButton(dialog, answer);
        });
        Command('N');
        EXPECT_EQ(0, driver.Unexpected());
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        ASSERT_TRUE(GetFileAttributesExA(existing.c_str(), GetFileExInfoStandard, &data));
        EXPECT_EQ(answer == IDNO ? 7u : 0u, data.nFileSizeLow);
    }
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "empty.txt");
        PressButton(dialog, IDOK);
    });
    Command('N');
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_TRUE(Exists(temp.Full("empty.txt")));
    EXPECT_EQ("empty.txt", CursorEntry());
}

// Device names are refused by both commands instead of "existing" (an overwrite question for a
// file that is not there) or being "made" with nothing to show, and a name too long for the
// command is refused rather than cut to another; a name with trailing dots or blanks, or in
// other letter case, puts the cursor on the entry the system made or kept.
TEST_F(FileCommands, DeviceNamesRefusedAndCursorOnTheNameMade)
{
    temp.MakeFile("memo.txt", "keep");
    Start();
    std::vector<std::string> seen;
    auto record = [&](HWND dialog) {
        SeenDialog shown = ReadDialog(dialog);
        // The system's message box (caption "Kelpo") holds its text in a static control.
        std::string text = g_messageDialog.text ? g_messageDialog.text : "";
        for (const SeenControl &control : shown.controls)
            if (shown.caption == "Kelpo" && control.className == "Static" && !control.text.empty())
                text = control.text;
        seen.push_back(shown.caption + ": " + text);
        PressButton(dialog, IDOK);
    };
    auto type = [](const char *name) {
        return [name](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_NAME_EDIT, name);
            PressButton(dialog, IDOK);
        };
    };
    DialogDriver driver;
    for (const char *device : {"NUL", "con.txt", "lpt1 .log", "sub\\COM3"}) {
        driver.Then(type(device));
        driver.Then(record);
    }
    std::string tooLong;
    for (int i = 0; i < 130; i++)
        tooLong += "表";    // 260 bytes, one character more than the name may hold
    driver.Then(type(tooLong.c_str()));
    driver.Then(record);
    driver.Then(type("新しい表. "));
    Command('K');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    std::vector<std::string> refusals(4, "Kelpo - Mkdir: 正しいﾃﾞｨﾚｸﾄﾘ名を入力してください");
    refusals.push_back("Kelpo - Make Directory: 名前が長すぎます");
    EXPECT_EQ(refusals, seen);
    EXPECT_TRUE(GetFileAttributesA(temp.Full("新しい表").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("新しい表", CursorEntry());

    seen.clear();
    for (const char *device : {"aux", "Prn.txt"}) {
        driver.Then(type(device));
        driver.Then(record);
        Command('N');
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ(std::vector<std::string>(2, "Kelpo: 新規ﾌｧｲﾙを作成できません"), seen);
    driver.Then(type("ソ.txt."));
    Command('N');
    EXPECT_TRUE(Exists(temp.Full("ソ.txt")));
    EXPECT_EQ("ソ.txt", CursorEntry());
    driver.Then(type("MEMO.TXT"));
    driver.Then([](HWND dialog) { PressButton(dialog, IDYES); });
    Command('N');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("memo.txt", CursorEntry());
    EXPECT_EQ("", ReadAll(temp.Full("memo.txt")));
    EXPECT_EQ((std::set<std::string>{".", "..", "新しい表", "ソ.txt", "memo.txt"}), Listed());
}

// Attr on a file with an invalid date: refused with a message, then Cancel: neither the
// time nor the attributes changed. On a directory only the attribute group is enabled.
TEST_F(FileCommands, AttrInvalidDateChangesNothing)
{
    std::string file = temp.MakeFile("f.txt", "f", RO);
    temp.MakeDir("sub");
    Start();
    WIN32_FILE_ATTRIBUTE_DATA before = {};
    GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &before);
    PutCursorOn("f.txt");
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        CheckDlgButton(dialog, IDC_ATTR_READONLY, BST_UNCHECKED);
        SetDlgItemTextA(dialog, IDC_TIME_MONTH, "13");
        PressButton(dialog, IDOK);
    });
    driver.Then([](HWND dialog) { PressButton(dialog, IDOK); });
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_TIME_MONTH, "xx");
        PressButton(dialog, IDOK);
    });
    driver.Then([](HWND dialog) { PressButton(dialog, IDOK); });
    driver.Then([](HWND dialog) { PressButton(dialog, IDCANCEL); });
    Command('A');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    WIN32_FILE_ATTRIBUTE_DATA after = {};
    GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(0, CompareFileTime(&before.ftLastWriteTime, &after.ftLastWriteTime));
    EXPECT_TRUE(after.dwFileAttributes & RO);

    PutCursorOn("sub");
    driver.Then([](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_TIME_YEAR)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ATTR_HIDDEN)));
        CheckDlgButton(dialog, IDC_ATTR_HIDDEN, BST_CHECKED);
        PressButton(dialog, IDOK);
    });
    Command('A');
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_TRUE(GetFileAttributesA(temp.Full("sub").c_str()) & HI);
    EXPECT_EQ("sub", CursorEntry());
}

} // namespace
