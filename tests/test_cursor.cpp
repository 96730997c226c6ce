#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "screen/cursor.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "tree/pathhistory.h"
#include "support/testutil.h"
#include "support/tablebuilder.h"

namespace {

struct Tables : testing::Environment {
    void SetUp() override { ASSERT_EQ(1, AllocateTables()); }
    void TearDown() override { FreeTables(); }
};
testing::Environment *const tables = testing::AddGlobalTestEnvironment(new Tables);

const int FILES = 24;
const int DIRS = 3;
const int COUNT = FILES + DIRS + 2;   // with "." and ".."

DWORD FileSize(int i)
{
    return (DWORD)(i * 1700 + 1);
}

// A directory of 24 files and 3 subdirectories, listed in reading order, 6 rows.
class Cursor : public testing::Test {
protected:
    TempDir temp;
    std::string list;
    void SetUp() override
    {
        SetDefaultSettings();
        Settings.presort = 0;
        Settings.namesmall = 0;
        Settings.disprow = 6;
        Settings.dispmode = 2;
        Settings.dispsubmode = 0;
        Settings.curpage = 0;
        Settings.cspace = 0;
        Settings.dirmark = 0;
        FileMask[0] = '\0';
        ReloadRequest = 0;
        CursorName[0] = '\0';
        g_mainWnd = NULL;
        list = temp.MakeDir("list");
        temp.MakeNumberedFiles("list\\f%02d.txt", FILES, [](int i) { return (size_t)FileSize(i); });
        for (int i = 1; i <= DIRS; i++)
            temp.MakeDir("list\\d" + std::to_string(i));
        Read(list);
    }
    void Read(const std::string &path)
    {
        strcpy(CurrentPath, path.c_str());
        ReadDirectory(0);
        PageTop = CursorSlot = 0;
        PrevSlot = -1;
    }
    void Place(int top, int slot)
    {
        PageTop = top;
        CursorSlot = slot;
        PrevSlot = slot;
    }
    int PositionOf(const char *name) { return FindPositionByName(name); }
    std::string CursorEntry() { return CursorEntryName(); }
    void PutCursorOn(const char *name)
    {
        int p = PositionOf(name);
        ASSERT_GE(p, 0) << name;
        PageTop = p / PageSize() * PageSize();
        CursorSlot = p % PageSize();
        PrevSlot = CursorSlot;
    }
    // Recounts the marks of the table and compares them with the kept totals.
    void ExpectTotalsMatchMarks()
    {
        int count = 0;
        double bytes = 0, allocated = 0;
        LockFileTable();
        for (int p = 0; p < EntryCount; p++) {
            const FileEntry *e = EntryAt(p);
            if (!e->mark)
                continue;
            count++;
            bytes += e->sizeLow;
            DWORD c = ClusterBytes;
            allocated += (double)((e->sizeLow + c - 1) / c * c);
        }
        UnlockFileTable();
        EXPECT_EQ(count, MarkedCount);
        EXPECT_DOUBLE_EQ(bytes, MarkedBytes);
        EXPECT_DOUBLE_EQ(allocated, MarkedAllocated);
    }
    int MarkedWith(DWORD flag, bool set)
    {
        int n = 0;
        LockFileTable();
        for (int p = 0; p < EntryCount; p++) {
            const FileEntry *e = EntryAt(p);
            if (e->mark && ((e->EntryFlags & flag) != 0) == set)
                n++;
        }
        UnlockFileTable();
        return n;
    }
    bool Marked(const char *name)
    {
        int p = PositionOf(name);
        LockFileTable();
        bool marked = p >= 0 && EntryAt(p)->mark != 0;
        UnlockFileTable();
        return marked;
    }
};

TEST_F(Cursor, TheListingHasThreePagesOfTwoColumns)
{
    ASSERT_EQ(COUNT, EntryCount);
    ASSERT_EQ(0, NoFiles);
    ASSERT_GT(ClusterBytes, 0u);
    EXPECT_EQ(12, PageSize());
    EXPECT_EQ(3, PageCount());
    Place(24, 0);
    EXPECT_EQ(3, CurrentPage());
}

TEST_F(Cursor, WithoutCurpageTheCursorWrapsWithinThePage)
{
    Place(0, 11);
    MoveCursor(1, 0);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(0, CursorSlot);
    EXPECT_EQ(0, PrevSlot);
    MoveCursor(-1, 0);
    EXPECT_EQ(11, CursorSlot);
    MoveCursor(-1, 0);
    EXPECT_EQ(10, CursorSlot);

    Place(0, 2);   // left from the first column: same row, last column
    MoveCursor(-6, 0);
    EXPECT_EQ(8, CursorSlot);
    MoveCursor(6, 0);   // right from the last column: same row, first column
    EXPECT_EQ(2, CursorSlot);
    MoveCursor(6, 0);
    EXPECT_EQ(8, CursorSlot);
    EXPECT_EQ(0, PageTop);

    // The last page holds entries 24..28 in its first column only.
    Place(24, 0);
    MoveCursor(-1, 0);
    EXPECT_EQ(4, CursorSlot);
    MoveCursor(1, 0);
    EXPECT_EQ(0, CursorSlot);
    Place(24, 1);
    MoveCursor(6, 0);
    EXPECT_EQ(1, CursorSlot);
    MoveCursor(-6, 0);
    EXPECT_EQ(1, CursorSlot);
    EXPECT_EQ(24, PageTop);
}

TEST_F(Cursor, WithCurpageRunningOffTheEdgeTurnsThePage)
{
    Settings.curpage = 1;
    Place(0, 11);
    MoveCursor(1, 0);
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(0, CursorSlot);
    EXPECT_EQ(0, PrevSlot);
    MoveCursor(-1, 0);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(11, CursorSlot);
    EXPECT_EQ(11, PrevSlot);
    MoveCursor(1, 0);
    MoveCursor(1, 0);   // inside the page again
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(1, CursorSlot);

    // The very first and the very last entry stay where they are.
    Place(0, 0);
    MoveCursor(-1, 0);
    MoveCursor(-6, 0);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(0, CursorSlot);
    Place(24, 4);
    MoveCursor(1, 0);
    MoveCursor(6, 0);
    EXPECT_EQ(24, PageTop);
    EXPECT_EQ(4, CursorSlot);

    // Right onto the shorter last page: the row when it has an entry there, else the last entry.
    Place(12, 7);
    MoveCursor(6, 0);
    EXPECT_EQ(24, PageTop);
    EXPECT_EQ(1, CursorSlot);
    Place(12, 11);
    MoveCursor(6, 0);
    EXPECT_EQ(24, PageTop);
    EXPECT_EQ(4, CursorSlot);

    // Left onto a full page: same row, last column.
    Place(24, 3);
    MoveCursor(-6, 0);
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(9, CursorSlot);
    // Up from the top of the last page lands on the last entry of the page before.
    Place(24, 0);
    MoveCursor(-1, 0);
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(11, CursorSlot);
}

TEST_F(Cursor, CurpageWithThreeColumnsAndOneColumn)
{
    Settings.curpage = 1;
    Settings.dispmode = 3;   // pages of 18: 0..17 and 18..28
    Place(0, 14);
    MoveCursor(6, 0);
    EXPECT_EQ(18, PageTop);
    EXPECT_EQ(2, CursorSlot);
    // The last page holds 11 entries: six in its first column, five in its second.
    Place(18, 4);
    MoveCursor(6, 0);
    EXPECT_EQ(18, PageTop);
    EXPECT_EQ(10, CursorSlot);
    MoveCursor(6, 0);   // no page after the last one
    EXPECT_EQ(18, PageTop);
    EXPECT_EQ(10, CursorSlot);
    Place(18, 5);
    MoveCursor(6, 0);
    EXPECT_EQ(5, CursorSlot);
    MoveCursor(-6, 0);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(17, CursorSlot);

    Settings.dispmode = 1;   // pages of 6, the last one holds 24..28
    Place(18, 5);
    MoveCursor(6, 0);
    EXPECT_EQ(24, PageTop);
    EXPECT_EQ(4, CursorSlot);
    MoveCursor(-6, 0);
    EXPECT_EQ(18, PageTop);
    EXPECT_EQ(4, CursorSlot);
}

TEST_F(Cursor, PageKeysAndShiftTurnWholePagesWhateverCurpageSays)
{
    for (int curpage = 0; curpage <= 1; curpage++) {
        Settings.curpage = (BYTE)curpage;
        Place(0, 5);
        MoveCursor(-1, 1);   // PageUp on page 1
        EXPECT_EQ(0, PageTop);
        EXPECT_EQ(5, CursorSlot);
        MoveCursor(1, 1);
        EXPECT_EQ(12, PageTop);
        EXPECT_EQ(0, CursorSlot);
        EXPECT_EQ(0, PrevSlot);
        MoveCursor(1, 1);
        EXPECT_EQ(24, PageTop);
        MoveCursor(1, 1);   // past the last page
        EXPECT_EQ(24, PageTop);
        CursorSlot = 3;
        MoveCursor(-1, 1);
        EXPECT_EQ(12, PageTop);
        EXPECT_EQ(0, CursorSlot);
        // Shift+Right stays on the page and wraps.
        Place(12, 8);
        MoveCursor(6, 1);
        EXPECT_EQ(12, PageTop);
        EXPECT_EQ(2, CursorSlot);
    }
}

TEST_F(Cursor, FirstAndLastEntryInEveryColumnCount)
{
    const int columns[] = {1, 2, 3, 5};
    for (int c : columns) {
        Settings.dispmode = (BYTE)c;
        int per = c * 6;
        GoToLast();
        EXPECT_EQ((COUNT - 1) / per * per, PageTop) << c;
        EXPECT_EQ((COUNT - 1) % per, CursorSlot) << c;
        EXPECT_EQ(COUNT - 1, PageTop + CursorSlot);
        EXPECT_EQ(-1, PrevSlot);
        EXPECT_EQ(PageCount(), CurrentPage());
        PrevSlot = CursorSlot;
        GoToLast();   // already there: nothing changes
        EXPECT_EQ(CursorSlot, PrevSlot);
        GoToFirst();
        EXPECT_EQ(0, PageTop);
        EXPECT_EQ(0, CursorSlot);
        EXPECT_EQ(-1, PrevSlot);
    }
    ReloadRequest = 2;
    Place(12, 3);
    GoToFirst();
    EXPECT_EQ(0, ReloadRequest);
}

TEST_F(Cursor, SpaceAdvancesByCspace)
{
    EXPECT_EQ(1, MarkAdvanceMode(0));
    EXPECT_EQ(2, MarkAdvanceMode(1));
    Settings.cspace = 1;
    EXPECT_EQ(2, MarkAdvanceMode(0));
    EXPECT_EQ(1, MarkAdvanceMode(1));

    // Space on the last entry of the table.
    Settings.cspace = 0;
    Place(24, 4);
    AdvanceAfterMark(MarkAdvanceMode(0));
    EXPECT_EQ(24, PageTop);
    EXPECT_EQ(0, CursorSlot);
    EXPECT_EQ(0, PrevSlot);
    Settings.cspace = 1;
    Place(24, 4);
    AdvanceAfterMark(MarkAdvanceMode(0));
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(0, CursorSlot);

    // The last entry of a full page: mode 1 stays on the page, mode 2 turns it.
    Place(0, 11);
    AdvanceAfterMark(1);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(0, CursorSlot);
    Place(0, 11);
    AdvanceAfterMark(2);
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(0, CursorSlot);
    EXPECT_EQ(0, PrevSlot);

    // Inside a page both move one on; mode 0 stays.
    Place(12, 6);
    AdvanceAfterMark(1);
    EXPECT_EQ(7, CursorSlot);
    AdvanceAfterMark(2);
    EXPECT_EQ(8, CursorSlot);
    EXPECT_EQ(12, PageTop);
    AdvanceAfterMark(0);
    EXPECT_EQ(8, CursorSlot);
}

TEST_F(Cursor, SpaceMarksAndMovesOn)
{
    PutCursorOn("f05.txt");
    int top = PageTop, next = PageTop + CursorSlot + 1;
    int expected = next < COUNT && next / PageSize() * PageSize() == top ? next : top;
    ToggleMark(PageTop + CursorSlot);
    AdvanceAfterMark(MarkAdvanceMode(0));
    EXPECT_TRUE(Marked("f05.txt"));
    EXPECT_EQ(1, MarkedCount);
    EXPECT_DOUBLE_EQ(FileSize(5), MarkedBytes);
    EXPECT_EQ(top, PageTop);
    EXPECT_EQ(expected, PageTop + CursorSlot);
    // Space on a directory without dirmark marks nothing but still moves on.
    PutCursorOn("d1");
    next = PageTop + CursorSlot + 1;
    ToggleMark(PageTop + CursorSlot);
    AdvanceAfterMark(2);
    EXPECT_FALSE(Marked("d1"));
    EXPECT_EQ(next < COUNT ? next : 0, PageTop + CursorSlot);
    EXPECT_EQ(1, MarkedCount);
    ExpectTotalsMatchMarks();
}

TEST_F(Cursor, MarkAllClearAllAndInvertWithoutDirmark)
{
    MarkAll(10321);
    EXPECT_EQ(FILES, MarkedCount);
    EXPECT_EQ(0, MarkedWith(EF_DIRECTORY, true));
    EXPECT_FALSE(Marked("."));
    EXPECT_FALSE(Marked(".."));
    double bytes = 0;
    for (int i = 0; i < FILES; i++)
        bytes += FileSize(i);
    EXPECT_DOUBLE_EQ(bytes, MarkedBytes);
    ExpectTotalsMatchMarks();

    MarkAll(10084);   // something is marked: clear all
    EXPECT_EQ(0, MarkedCount);
    EXPECT_DOUBLE_EQ(0, MarkedBytes);
    EXPECT_DOUBLE_EQ(0, MarkedAllocated);
    ExpectTotalsMatchMarks();

    PutCursorOn("f03.txt");
    ToggleMark(PageTop + CursorSlot);
    PutCursorOn("f07.txt");
    ToggleMark(PageTop + CursorSlot);
    MarkAll(10324);
    EXPECT_EQ(FILES - 2, MarkedCount);
    EXPECT_FALSE(Marked("f03.txt"));
    EXPECT_FALSE(Marked("f07.txt"));
    EXPECT_TRUE(Marked("f08.txt"));
    EXPECT_EQ(0, MarkedWith(EF_DIRECTORY, true));
    ExpectTotalsMatchMarks();
    MarkAll(10110);
    EXPECT_EQ(2, MarkedCount);
    EXPECT_TRUE(Marked("f03.txt"));
    ExpectTotalsMatchMarks();
    MarkAll(10323);
    EXPECT_EQ(FILES - 2, MarkedCount);
    ExpectTotalsMatchMarks();

    // Space on a marked file after mark-all keeps the totals.
    MarkAll(10321);   // clears
    MarkAll(10321);   // marks all
    PutCursorOn("f10.txt");
    ToggleMark(PageTop + CursorSlot);
    EXPECT_EQ(FILES - 1, MarkedCount);
    ExpectTotalsMatchMarks();
}

TEST_F(Cursor, MarkAllWithDirmark)
{
    Settings.dirmark = 1;
    MarkAll(10321);   // mark-all never takes directories
    EXPECT_EQ(FILES, MarkedCount);
    EXPECT_EQ(0, MarkedWith(EF_DIRECTORY, true));
    MarkAll(10321);
    EXPECT_EQ(0, MarkedCount);
    PutCursorOn("d2");
    ToggleMark(PageTop + CursorSlot);
    EXPECT_TRUE(Marked("d2"));
    MarkAll(10321);   // clear-all clears directories too
    EXPECT_FALSE(Marked("d2"));
    EXPECT_EQ(0, MarkedCount);
    ExpectTotalsMatchMarks();

    MarkAll(10321);
    MarkAll(10324);   // invert: the directories now, not the files
    EXPECT_EQ(DIRS, MarkedCount);
    EXPECT_EQ(DIRS, MarkedWith(EF_DIRECTORY, true));
    EXPECT_FALSE(Marked("."));
    EXPECT_FALSE(Marked(".."));
    ExpectTotalsMatchMarks();

    // A directory marked earlier stays marked and counted when dirmark is switched off.
    Settings.dirmark = 0;
    MarkAll(10324);
    EXPECT_EQ(FILES + DIRS, MarkedCount);
    EXPECT_EQ(DIRS, MarkedWith(EF_DIRECTORY, true));
    ExpectTotalsMatchMarks();
}

// On a volume without 8.3 names a name beginning with a dot is its own short name: still an
// entry to mark, unlike "." and "..", which the listing tells by their names.
TEST_F(Cursor, NamesBeginningWithADotAreMarkedLikeOthers)
{
    ClearFileTable();
    AddFileEntry(".", EF_DIRECTORY | EF_DOT);
    AddFileEntry("..", EF_DIRECTORY | EF_DOTDOT);
    AddFileEntry(".gitignore", 0, 30);
    AddFileEntry(".cache", EF_DIRECTORY);
    AddFileEntry("plain.txt", 0, 10);
    Settings.dirmark = 1;
    LockFileTable();
    EXPECT_STREQ(".gitignore", EntryAt(2)->shortName);
    EXPECT_TRUE(IsDotEntry(EntryAt(1)));
    EXPECT_FALSE(IsDotEntry(EntryAt(2)));
    UnlockFileTable();
    for (int p = 0; p < 5; p++)
        ToggleMark(p);
    EXPECT_EQ(3, MarkedCount);
    EXPECT_FALSE(Marked("."));
    EXPECT_FALSE(Marked(".."));
    EXPECT_TRUE(Marked(".gitignore"));
    EXPECT_TRUE(Marked(".cache"));
    MarkAll(10321);   // clears
    MarkAll(10321);   // all files
    EXPECT_EQ(2, MarkedCount);
    EXPECT_TRUE(Marked(".gitignore"));
    MarkAll(10324);   // invert: the directories with dirmark, never the dot entries
    EXPECT_TRUE(Marked(".cache"));
    EXPECT_FALSE(Marked(".."));
    EXPECT_EQ(1, MarkedCount);
}

TEST_F(Cursor, NoFilesLeavesEverythingAlone)
{
    strcpy(FileMask, "*.none");
    Read(list);
    ASSERT_EQ(1, NoFiles);
    EXPECT_EQ(1, PageCount());
    EXPECT_EQ(1, CurrentPage());
    Settings.curpage = 1;
    MoveCursor(1, 0);
    MoveCursor(-1, 0);
    MoveCursor(6, 0);
    MoveCursor(-6, 0);
    MoveCursor(1, 1);
    GoToLast();
    AdvanceAfterMark(2);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(0, CursorSlot);
    MarkAll(10321);
    MarkAll(10324);
    EXPECT_EQ(0, MarkedCount);
    LockFileTable();
    EXPECT_EQ(0, EntryAt(0)->mark);
    UnlockFileTable();
}

TEST_F(Cursor, DigitsChangeColumnsAndCycleTheSubMode)
{
    Place(12, 5);   // entry 17
    std::string entry = CursorEntry();
    SetColumns(3);
    EXPECT_EQ(3, Settings.dispmode);
    EXPECT_EQ(0, Settings.dispsubmode);
    EXPECT_EQ(18, PerPage);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(17, CursorSlot);
    EXPECT_EQ(-1, PrevSlot);
    for (int expected : {1, 2, 0}) {
        SetColumns(3);
        EXPECT_EQ(expected, Settings.dispsubmode);
        EXPECT_EQ(3, Settings.dispmode);
        EXPECT_EQ(entry, CursorEntry());
    }
    SetColumns(2);
    SetColumns(2);
    EXPECT_EQ(1, Settings.dispsubmode);
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(5, CursorSlot);
    SetColumns(5);
    EXPECT_EQ(30, PerPage);
    EXPECT_EQ(17, CursorSlot);
    SetColumns(1);
    EXPECT_EQ(12, PageTop);
    EXPECT_EQ(5, CursorSlot);
    EXPECT_EQ(entry, CursorEntry());
    SetColumns(4);
    SetColumns(0);
    EXPECT_EQ(1, Settings.dispmode);
    EXPECT_EQ(1, Settings.dispsubmode);
}

TEST_F(Cursor, ViewMenuSetsColumnsAndSubModeWithoutCycling)
{
    Place(24, 4);   // entry 28
    std::string entry = CursorEntry();
    SetColumnsFromMenu(2);
    EXPECT_EQ(2, Settings.dispmode);
    EXPECT_EQ(0, Settings.dispsubmode);
    SetColumnsFromMenu(18);
    EXPECT_EQ(2, Settings.dispsubmode);
    EXPECT_EQ(2, Settings.dispmode);
    SetColumnsFromMenu(16);
    EXPECT_EQ(0, Settings.dispsubmode);
    SetColumnsFromMenu(5);
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(28, CursorSlot);
    SetColumnsFromMenu(17);
    EXPECT_EQ(1, Settings.dispsubmode);
    SetColumnsFromMenu(1);
    EXPECT_EQ(24, PageTop);
    EXPECT_EQ(4, CursorSlot);
    EXPECT_EQ(entry, CursorEntry());
    SetColumnsFromMenu(19);
    SetColumnsFromMenu(4);
    EXPECT_EQ(1, Settings.dispmode);
    EXPECT_EQ(1, Settings.dispsubmode);
}

TEST_F(Cursor, EnterADirectoryAndComeBackToIt)
{
    Settings.dispmode = 1;
    std::string here = CurrentPath;
    ASSERT_TRUE(EndsWithBackslash(CurrentPath));
    EXPECT_EQ(1, EnterDirectory("d2"));
    EXPECT_EQ(list + "\\d2", std::string(CurrentPath));
    EXPECT_STREQ("..", CursorName);
    EXPECT_EQ(1, Settings.historyCount);
    EXPECT_EQ(list, std::string(PathHistory[0]));
    ListChangedDirectory(0);
    EXPECT_EQ("..", CursorEntry());
    EXPECT_EQ(2, EntryCount);

    strcpy(FileMask, "*.txt");
    EXPECT_EQ(1, GoToParent());
    EXPECT_EQ('\0', FileMask[0]);
    EXPECT_EQ(list, std::string(CurrentPath));
    EXPECT_STREQ("d2", CursorName);
    EXPECT_EQ(2, Settings.historyCount);
    EXPECT_EQ(list + "\\d2", std::string(PathHistory[0]));
    EXPECT_EQ(list, std::string(PathHistory[1]));
    ListChangedDirectory(-1);
    EXPECT_EQ(COUNT, EntryCount);
    EXPECT_EQ("d2", CursorEntry());
    int p = PositionOf("d2");
    EXPECT_EQ(p / 6 * 6, PageTop);

    // Enter on ".." is the same as Backspace; Enter on "." does nothing.
    EXPECT_EQ(1, EnterDirectory("d3"));
    ListChangedDirectory(0);
    EXPECT_EQ(0, EnterDirectory("."));
    EXPECT_STREQ("", CursorName);
    EXPECT_EQ(1, EnterDirectory(".."));
    EXPECT_STREQ("d3", CursorName);
    ListChangedDirectory(-1);
    EXPECT_EQ("d3", CursorEntry());
    EXPECT_EQ(list + "\\", std::string(CurrentPath));
}

TEST(ParentDirectory, CutsThePathAtItsLastSeparator)
{
    SetDefaultSettings();
    strcpy(CurrentPath, "C:\\A\\B");
    EXPECT_EQ(1, GoToParent());
    EXPECT_STREQ("C:\\A", CurrentPath);
    EXPECT_STREQ("B", CursorName);
    EXPECT_EQ(1, GoToParent());
    EXPECT_STREQ("C:\\", CurrentPath);
    EXPECT_STREQ("A", CursorName);

    // In a drive root nothing happens, the mask included.
    strcpy(FileMask, "*.c");
    EXPECT_EQ(0, GoToParent());
    EXPECT_STREQ("C:\\", CurrentPath);
    EXPECT_STREQ("", CursorName);
    EXPECT_STREQ("*.c", FileMask);
    FileMask[0] = '\0';

    // "表" and "ソ" end in the byte of a backslash.
    strcpy(CurrentPath, "D:\\表\\ソ\\");
    EXPECT_EQ(1, GoToParent());
    EXPECT_STREQ("D:\\表", CurrentPath);
    EXPECT_STREQ("ソ", CursorName);
    EXPECT_EQ(1, GoToParent());
    EXPECT_STREQ("D:\\", CurrentPath);
    EXPECT_STREQ("表", CursorName);
    EXPECT_STREQ("D:\\表", PathHistory[0]);
    EXPECT_STREQ("D:\\表\\ソ", PathHistory[1]);
}

TEST(ParentDirectory, EnteringKeepsThePathInsideItsBuffer)
{
    SetDefaultSettings();
    std::string path = "C:\\" + std::string(PATH_BUFFER - 8, 'a');
    strcpy(CurrentPath, path.c_str());
    EXPECT_EQ(0, EnterDirectory("toolong"));
    EXPECT_EQ(path, std::string(CurrentPath));
    EXPECT_STREQ("", CursorName);
    EXPECT_EQ(1, EnterDirectory("b"));
    EXPECT_EQ(path + "\\b", std::string(CurrentPath));
    strcpy(CurrentPath, "C:\\");
    EXPECT_EQ(1, EnterDirectory("x"));
    EXPECT_STREQ("C:\\x", CurrentPath);
}

TEST(PathHistoryList, NewestFirstWithoutDoublesOrTrailingBackslash)
{
    SetDefaultSettings();
    char path[PATH_BUFFER];
    strcpy(path, "C:\\one\\");
    PushPathHistory(path);
    EXPECT_STREQ("C:\\one", path);
    strcpy(path, "C:\\");
    PushPathHistory(path);
    EXPECT_STREQ("C:\\", PathHistory[0]);
    strcpy(path, "C:\\two");
    PushPathHistory(path);
    strcpy(path, "C:\\one");
    PushPathHistory(path);
    EXPECT_EQ(3, Settings.historyCount);
    EXPECT_STREQ("C:\\one", PathHistory[0]);
    EXPECT_STREQ("C:\\two", PathHistory[1]);
    EXPECT_STREQ("C:\\", PathHistory[2]);

    for (int i = 0; i < 51; i++) {
        sprintf(path, "C:\\d%d", i);
        PushPathHistory(path);
    }
    EXPECT_EQ(PATH_HISTORY_COUNT, Settings.historyCount);
    EXPECT_STREQ("C:\\d50", PathHistory[0]);
    EXPECT_STREQ("C:\\d1", PathHistory[49]);
    // An entry pushed again moves to the top; the count stays.
    PushPathHistory(PathHistory[30]);
    EXPECT_STREQ("C:\\d20", PathHistory[0]);
    EXPECT_STREQ("C:\\d50", PathHistory[1]);
    EXPECT_STREQ("C:\\d21", PathHistory[30]);
    EXPECT_STREQ("C:\\d1", PathHistory[49]);
    EXPECT_EQ(PATH_HISTORY_COUNT, Settings.historyCount);
}

}  // namespace
