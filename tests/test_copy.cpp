// The copy engine without a window: what a path is, names that already exist, free space,
// the safe copy of one file, tree walks, directories made like their sources, the result list.
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/diskspace.h"
#include "fileops/copy.h"
#include "fileops/copy_ids.h"
#include "fileops/copydlg.h"
#include "ui/msgdlg.h"
#include "dialogdriver.h"
#include "testutil.h"
#include "test_copy_files.h"

namespace {

ULONGLONG AsNumber(FILETIME t)
{
    return ((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime;
}

int TemporaryFilesIn(const std::string &directory)
{
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((directory + "\\klp*.tmp").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do
            count++;
        while (FindNextFileA(h, &found));
        FindClose(h);
    }
    return count;
}

// Stands in for the rename dialog: answers from a list, then cancels.
std::vector<std::string> otherNames;
std::vector<std::string> askedWith;
int AnswerOtherName(HWND, const char *oldName, char *newName)
{
    askedWith.push_back(oldName);
    if (otherNames.empty())
        return 0;
    lstrcpynA(newName, otherNames.front().c_str(), 260);
    otherNames.erase(otherNames.begin());
    return 1;
}

class CopyEngine : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(1, AllocateTables()); }
    static void TearDownTestSuite() { FreeTables(); }
    void SetUp() override
    {
        SetDefaultSettings();
        source = temp.MakeDir("src");
        destination = temp.MakeDir("dst");
        strcpy(CurrentPath, source.c_str());
        strcpy(CopyDestination, destination.c_str());
        CopyMoveMode = 0;
        SameNameMode = SAME_NAME_UNCHOSEN;
        SameDirectory = 0;
        ProcessedCount = 0;
        AbortFlag = BusyFlag = 0;
        otherNames.clear();
        askedWith.clear();
        AskOtherName = AnswerOtherName;
    }
    void TearDown() override { FreeResultList(); }

    // ResolveSameName for a file of the source directory.
    int Resolve(const std::string &name, std::string *target)
    {
        char directory[PATH_BUFFER], out[PATH_BUFFER] = "";
        strcpy(directory, destination.c_str());
        WIN32_FIND_DATAA found{};
        FindFileInfo(temp.Full("src\\" + name).c_str(), &found);
        int result = ResolveSameName(directory, name.c_str(), &found.ftLastWriteTime, FoundSize(&found), out);
        *target = out;
        return result;
    }

    TempDir temp;
    std::string source, destination;
};

TEST_F(CopyEngine, PathKinds)
{
    temp.MakeFile("src\\a.txt", "a");
    EXPECT_EQ(PATH_KIND_DIRECTORY, PathKind("C:\\"));
    EXPECT_EQ(PATH_KIND_DIRECTORY, PathKind(source.c_str()));
    EXPECT_EQ(PATH_KIND_DIRECTORY, PathKind((source + "\\").c_str()));
    EXPECT_EQ(PATH_KIND_FILE, PathKind(temp.Full("src\\a.txt").c_str()));
    EXPECT_EQ(PATH_KIND_NONE, PathKind(temp.Full("src\\b.txt").c_str()));
}

// Each choice of the same-name question, given once for the whole command.
TEST_F(CopyEngine, SameNameChoices)
{
    struct Case {
        BYTE mode;
        LONGLONG sourceMinusTarget;   // in 100 ns
        int destExists, overwrite;
    } cases[] = {
        {SAME_NAME_NEWER, 10000000, 0, 1},
        {SAME_NAME_NEWER, 0, 1, 1},        // equal times: not newer
        {SAME_NAME_NEWER, -10000000, 1, 1},
        {SAME_NAME_OVERWRITE, -10000000, 0, 1},
        {SAME_NAME_SKIP, 10000000, 1, 1},
    };
    const ULONGLONG base = 132000000000000000ULL;
    for (const Case &c : cases) {
        temp.MakeFile("src\\f.txt", "new");
        temp.MakeFile("dst\\f.txt", "old");
        SetWriteTime(temp.Full("src\\f.txt"), base + c.sourceMinusTarget);
        SetWriteTime(temp.Full("dst\\f.txt"), base);
        SameNameMode = c.mode;
        std::string target;
        ASSERT_EQ(1, Resolve("f.txt", &target));
        EXPECT_EQ(temp.Full("dst\\f.txt"), target);
        EXPECT_EQ(c.destExists, DestExists) << (int)c.mode << " " << c.sourceMinusTarget;
        EXPECT_EQ(c.overwrite, OverwriteFlag);
    }
    // A name that is free needs no decision.
    SameNameMode = SAME_NAME_SKIP;
    temp.MakeFile("src\\free.txt", "x");
    std::string target;
    ASSERT_EQ(1, Resolve("free.txt", &target));
    EXPECT_EQ(0, DestExists);
    EXPECT_EQ(0, OverwriteFlag);
    EXPECT_TRUE(askedWith.empty());
}

TEST_F(CopyEngine, AnotherNameIsAskedUntilOneIsFree)
{
    temp.MakeFile("src\\f.txt", "new");
    temp.MakeFile("dst\\f.txt", "old");
    temp.MakeFile("dst\\taken.txt", "taken");
    SameNameMode = SAME_NAME_RENAME;
    otherNames = {"taken.txt", "bad\\name.txt", "日本語の名前.txt"};
    // The name with a path is refused with a message; the one already taken is simply asked again.
    DialogDriver driver;
    SeenDialog refusal;
    std::string said;
    driver.Then([&](HWND dialog) {
        refusal = ReadDialog(dialog);
        said = g_messageDialog.text ? g_messageDialog.text : "";
        PressButton(dialog, IDOK);
    });
    std::string target;
    ASSERT_EQ(1, Resolve("f.txt", &target));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("Kelpo - Coly", refusal.caption);
    EXPECT_EQ("正しいﾌｧｲﾙ名を入力してください", said);
    EXPECT_EQ(temp.Full("dst\\日本語の名前.txt"), target);
    EXPECT_EQ(0, DestExists);
    EXPECT_EQ(0, OverwriteFlag);
    EXPECT_EQ((std::vector<std::string>{"f.txt", "taken.txt", "bad\\name.txt"}), askedWith);

    // Cancel in the rename dialog stops.
    askedWith.clear();
    EXPECT_EQ(0, Resolve("f.txt", &target));
    EXPECT_EQ(1u, askedWith.size());
}

// The question is asked at the first conflict only, with the command's caption.
TEST_F(CopyEngine, SameNameDialogAskedOnce)
{
    temp.MakeFile("src\\a.txt", "a");
    temp.MakeFile("src\\b.txt", "b");
    temp.MakeFile("dst\\a.txt", "old a");
    temp.MakeFile("dst\\b.txt", "old b");
    CopyMoveMode = COPYMOVE_MOVE;
    DialogDriver driver;
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, IDC_SAME_NAME_SKIP);
        PressButton(dialog, IDOK);
    });
    std::string target;
    ASSERT_EQ(1, Resolve("a.txt", &target));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(1, DestExists);
    EXPECT_EQ(SAME_NAME_SKIP, SameNameMode);
    EXPECT_EQ("Kelpo - Move", seen.caption);
    ASSERT_TRUE(seen.Find(IDC_SAME_NAME_FILE));
    EXPECT_EQ("a.txt", seen.Find(IDC_SAME_NAME_FILE)->text);
    EXPECT_EQ("移動条件を選んで下さい", seen.Find(IDC_SAME_NAME_PROMPT)->text);
    EXPECT_TRUE(seen.Find(IDC_SAME_NAME_OVERWRITE)->enabled);
    // No second question.
    ASSERT_EQ(1, Resolve("b.txt", &target));
    EXPECT_EQ(1, DestExists);
    EXPECT_EQ(0, driver.Unexpected());
}

TEST_F(CopyEngine, SameNameDialogInTheSameDirectoryOffersOnlyAnotherName)
{
    temp.MakeFile("src\\a.txt", "a");
    destination = source;
    SameDirectory = 1;
    otherNames = {"a2.txt"};
    DialogDriver driver;
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    std::string target;
    ASSERT_EQ(1, Resolve("a.txt", &target));
    EXPECT_EQ("Kelpo - Copy", seen.caption);
    EXPECT_EQ("コピー条件を選んで下さい", seen.Find(IDC_SAME_NAME_PROMPT)->text);
    EXPECT_FALSE(seen.Find(IDC_SAME_NAME_NEWER)->enabled);
    EXPECT_TRUE(seen.Find(IDC_SAME_NAME_RENAME)->enabled);
    EXPECT_FALSE(seen.Find(IDC_SAME_NAME_OVERWRITE)->enabled);
    EXPECT_FALSE(seen.Find(IDC_SAME_NAME_SKIP)->enabled);
    EXPECT_EQ(SAME_NAME_RENAME, SameNameMode);
    EXPECT_EQ(temp.Full("src\\a2.txt"), target);

    // Cancel in the question stops and leaves the choice open.
    SameNameMode = SAME_NAME_UNCHOSEN;
    DialogDriver again;
    again.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
    EXPECT_EQ(0, Resolve("a.txt", &target));
    EXPECT_EQ(SAME_NAME_UNCHOSEN, SameNameMode);
}

// Sizes are whole 64-bit numbers: a file of 2^50 + 10 bytes never fits, whatever its low word.
TEST_F(CopyEngine, FreeSpaceWithWholeSizes)
{
    std::string target = temp.Full("dst\\huge.bin");
    char directory[PATH_BUFFER];
    strcpy(directory, destination.c_str());
    ASSERT_EQ(1, CheckDestSpace(directory, 10, target.c_str()));
    EXPECT_EQ(destination, directory);
    ASSERT_GT(DestinationDisk.freeBytes, 10u);

    DialogDriver driver;
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    ReplaceOnly = 0;
    EXPECT_EQ(0, CheckDestSpace(directory, (1ULL << 50) + 10, target.c_str()));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Copy", seen.caption);
    EXPECT_EQ(0, ReplaceOnly);
    EXPECT_EQ(0, driver.Unexpected());
}

// A file larger than the free space fits when it replaces a larger file of the same name;
// it may then not be copied under another name.
TEST_F(CopyEngine, FitsOnlyInPlaceOfTheOldFile)
{
    std::string target = temp.MakeFile("dst\\big.bin", "");
    HANDLE h = CreateFileA(target.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    LONG high = 1 << 10;   // 4 TiB, sparse
    SetFilePointer(h, 0, &high, FILE_BEGIN);
    bool sparse = SetEndOfFile(h);
    CloseHandle(h);
    if (!sparse)
        GTEST_SKIP() << "no sparse 4 TiB file on this file system";
    char directory[PATH_BUFFER];
    strcpy(directory, destination.c_str());
    ASSERT_EQ(1, CheckDestSpace(directory, 10, target.c_str()));
    unsigned long long size = DestinationDisk.freeBytes + (1ULL << 30);
    ASSERT_LT(size, 1ULL << 42);
    ReplaceOnly = 0;
    EXPECT_EQ(1, CheckDestSpace(directory, size, target.c_str()));
    EXPECT_EQ(1, ReplaceOnly);

    // The same file under choice 1: the disk-full refusal, then the question again.
    CopyMoveMode = 0;
    SameNameMode = SAME_NAME_UNCHOSEN;
    DialogDriver driver;
    std::vector<std::string> captions, texts;
    driver.Then([&](HWND dialog) {
        CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, IDC_SAME_NAME_RENAME);
        PressButton(dialog, IDOK);
    });
    driver.Then([&](HWND dialog) {
        captions.push_back(ReadDialog(dialog).caption);
        PressButton(dialog, IDOK);
    });
    driver.Then([&](HWND dialog) {
        captions.push_back(ReadDialog(dialog).caption);
        CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, IDC_SAME_NAME_SKIP);
        PressButton(dialog, IDOK);
    });
    char out[PATH_BUFFER];
    FILETIME now{};
    strcpy(directory, destination.c_str());
    ASSERT_EQ(1, ResolveSameName(directory, "big.bin", &now, size, out));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ((std::vector<std::string>{"Kelpo - Coly", "Kelpo - Copy"}), captions);
    EXPECT_EQ(1, DestExists);
    EXPECT_TRUE(askedWith.empty());
}

TEST_F(CopyEngine, NewTargetGetsContentsTimesAndAttributes)
{
    std::string from = temp.MakeFile("src\\日本語.txt", std::string(100000, 'j'), FILE_ATTRIBUTE_READONLY);
    SetWriteTime(from, 130000000000000000ULL);
    SetFileAttributesA(from.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    std::string to = temp.Full("dst\\日本語.txt");
    ASSERT_TRUE(CopyFileSafely(from.c_str(), to.c_str(), 0, 0));
    EXPECT_EQ(ReadAll(from), ReadAll(to));
    EXPECT_EQ(130000000000000000ULL, (WriteTime(to)));
    EXPECT_EQ(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN,
              GetFileAttributesA(to.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    // A target that appeared meanwhile is neither overwritten nor removed.
    temp.MakeFile("src\\other.txt", "other");
    temp.MakeFile("dst\\other.txt", "theirs");
    EXPECT_FALSE(CopyFileSafely(temp.Full("src\\other.txt").c_str(), temp.Full("dst\\other.txt").c_str(), 0, 0));
    EXPECT_EQ("theirs", ReadAll(temp.Full("dst\\other.txt")));
}

TEST_F(CopyEngine, ReplacingKeepsTheOldTargetUntilTheCopyIsWhole)
{
    std::string from = temp.MakeFile("src\\f.txt", "new contents");
    std::string to = temp.MakeFile("dst\\f.txt", "old", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(CopyFileSafely(from.c_str(), to.c_str(), 1, 0));
    EXPECT_EQ("new contents", ReadAll(to));
    EXPECT_EQ(0, TemporaryFilesIn(destination));

    // The source cannot be read: the old target stays whole and no temporary file is left.
    HANDLE lock = CreateFileA(from.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    temp.MakeFile("dst\\f.txt", "old");
    EXPECT_FALSE(CopyFileSafely(from.c_str(), to.c_str(), 1, 0));
    CloseHandle(lock);
    EXPECT_EQ("old", ReadAll(to));
    EXPECT_EQ(0, TemporaryFilesIn(destination));

    // A read-only target is not replaced.
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(CopyFileSafely(from.c_str(), to.c_str(), 1, 0));
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
    EXPECT_EQ("old", ReadAll(to));
    EXPECT_EQ(0, TemporaryFilesIn(destination));
}

TEST_F(CopyEngine, MovesRecordAndDeleteOnlyCompletedSources)
{
    ASSERT_TRUE(AllocateResultList());
    std::string from = temp.MakeFile("src\\m.txt", "move me");
    CopyMoveMode = COPYMOVE_MOVE;
    OverwriteFlag = ReplaceOnly = 0;
    // Within the drive: a rename.
    std::string to = temp.Full("dst\\m.txt");
    ASSERT_EQ(1, CopyMoveFile(from.c_str(), to.c_str(), destination.c_str(), 0));
    EXPECT_FALSE(Exists(from));
    EXPECT_EQ("move me", ReadAll(to));
    // Over a read-only file of the same name, which the move replaces.
    temp.MakeFile("src\\m.txt", "second");
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    OverwriteFlag = 1;
    ASSERT_EQ(1, CopyMoveFile(from.c_str(), to.c_str(), destination.c_str(), 0));
    EXPECT_EQ("second", ReadAll(to));
    // To another drive: copy, then delete; a failed copy keeps the source.
    std::string z = std::string("Z:\\tmp\\kelpo-copy-") + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(z.c_str(), NULL))
        GTEST_SKIP() << "no Z: drive";
    temp.MakeFile("src\\m.txt", "third");
    OverwriteFlag = 0;
    ASSERT_EQ(1, CopyMoveFile(from.c_str(), (z + "\\m.txt").c_str(), z.c_str(), 0));
    EXPECT_FALSE(Exists(from));
    EXPECT_EQ("third", ReadAll(z + "\\m.txt"));

    temp.MakeFile("src\\m.txt", "fourth");
    HANDLE lock = CreateFileA(from.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    DialogDriver driver;
    SeenDialog report;
    driver.Then([&](HWND dialog) {
        report = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, CopyMoveFile(from.c_str(), (z + "\\m2.txt").c_str(), z.c_str(), 0));
    CloseHandle(lock);
    EXPECT_EQ("Kelpo - Error", report.caption);
    EXPECT_EQ("fourth", ReadAll(from));
    EXPECT_FALSE(Exists(z + "\\m2.txt"));
    EXPECT_EQ(3, ProcessedCount);
    char slot[RESULT_SLOT_BYTES];
    ResultSlotText(0, slot);
    EXPECT_STREQ("m.txt", slot);
    RemoveTree(z);
}

// A move to another drive whose source another program holds open: the copy is made, but the
// source cannot be deleted. That is reported, the source keeps its attributes, and the file
// does not count as moved.
TEST_F(CopyEngine, MoveReportsASourceItCannotDelete)
{
    std::string z = std::string("Z:\\tmp\\kelpo-held-") + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(z.c_str(), NULL))
        GTEST_SKIP() << "no Z: drive";
    ASSERT_TRUE(AllocateResultList());
    CopyMoveMode = COPYMOVE_MOVE;
    OverwriteFlag = ReplaceOnly = 0;
    std::string held = temp.MakeFile("src\\held.txt", "held", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    HANDLE reader = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    DialogDriver driver;
    SeenDialog report;
    driver.Then([&](HWND dialog) {
        report = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, CopyMoveFile(held.c_str(), (z + "\\held.txt").c_str(), z.c_str(), 0));
    CloseHandle(reader);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Error", report.caption);
    EXPECT_EQ("held", ReadAll(held));
    EXPECT_EQ((DWORD)(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesA(held.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(0, ProcessedCount);
    SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(z);
}

TEST_F(CopyEngine, WalkVisitsEveryEntryAndStops)
{
    temp.MakeDir("src\\t");
    temp.MakeFile("src\\t\\a.txt", "a");
    temp.MakeDir("src\\t\\sub");
    temp.MakeFile("src\\t\\sub\\b.txt", "b");
    temp.MakeFile("src\\t\\.hidden", "dot");   // long name with a dot: its short name does not begin with one
    static std::vector<std::string> events;
    static int stopAfter;
    events.clear();
    stopAfter = 100;
    auto enter = [](const char *d) -> int {
        events.push_back(std::string("enter ") + strrchr(d, '\\'));
        return 1;
    };
    auto file = [](const char *p, const char *n) -> int {
        EXPECT_STREQ(n, WalkEntry->cFileName);
        EXPECT_STREQ(n, strrchr(p, '\\') + 1);
        events.push_back(std::string("file ") + n);
        return --stopAfter > 0;
    };
    auto leave = [](const char *d, int complete) -> int {
        events.push_back(std::string("leave ") + strrchr(d, '\\') + (complete ? " 1" : " 0"));
        return 1;
    };
    std::string tree = temp.Full("src\\t");
    EXPECT_EQ(1, WalkTree(tree.c_str(), enter, file, leave));
    std::vector<std::string> sorted = events;
    EXPECT_EQ("enter \\t", events.front());
    EXPECT_EQ("leave \\t 1", events.back());
    std::sort(sorted.begin(), sorted.end());
    EXPECT_NE(sorted.end(), std::find(sorted.begin(), sorted.end(), "file b.txt"));
    EXPECT_NE(sorted.end(), std::find(sorted.begin(), sorted.end(), "enter \\sub"));
    EXPECT_NE(sorted.end(), std::find(sorted.begin(), sorted.end(), "leave \\sub 1"));
    EXPECT_EQ(7u, events.size());   // two enters, three files, two leaves

    // A link back up is entered and left, never walked through.
    ASSERT_TRUE(MakeDirectoryLink(temp.Full("src\\t\\sub\\up"), tree));
    events.clear();
    EXPECT_EQ(1, WalkTree(tree.c_str(), enter, file, leave));
    EXPECT_EQ(9u, events.size());
    EXPECT_EQ(1, std::count(events.begin(), events.end(), "enter \\up"));
    EXPECT_EQ(1, std::count(events.begin(), events.end(), "leave \\up 1"));
    RemoveDirectoryLink(temp.Full("src\\t\\sub\\up"));

    events.clear();
    stopAfter = 1;
    EXPECT_EQ(0, WalkTree(tree.c_str(), NULL, file, leave));
    EXPECT_EQ(1, std::count_if(events.begin(), events.end(), [](const std::string &e) { return e[0] == 'f'; }));
    EXPECT_EQ("leave \\t 0", events.back());

    EXPECT_EQ(0, WalkTree("C:\\", NULL, file, NULL));
    AbortFlag = 1;
    EXPECT_EQ(0, WalkTree(tree.c_str(), enter, file, leave));
    AbortFlag = 0;
}

// Names that begin with a dot are walked like any other (on volumes without 8.3 names such a
// name is its own short name); only "." and ".." are left out.
TEST_F(CopyEngine, WalkVisitsNamesBeginningWithADot)
{
    std::string tree = temp.MakeDir("src\\dots");
    temp.MakeFile("src\\dots\\.a", "a");
    temp.MakeDir("src\\dots\\.git");
    temp.MakeFile("src\\dots\\.git\\config", "c");
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA(temp.Full("src\\dots\\.a").c_str(), &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    FindClose(h);
    RecordProperty("short name of .a", found.cAlternateFileName);
    static std::vector<std::string> names;
    names.clear();
    auto file = [](const char *, const char *n) -> int {
        names.push_back(n);
        return 1;
    };
    EXPECT_EQ(1, WalkTree(tree.c_str(), NULL, file, NULL));
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{".a", "config"}), names) << "short name of .a: " << found.cAlternateFileName;
}

// A directory whose entries cannot be searched (here: its search pattern is too long for the
// system) is a failure of the walk, reported, not an empty directory: a tree copy would
// otherwise end as complete without its files.
TEST_F(CopyEngine, WalkReportsADirectoryItCannotSearch)
{
    std::string tree = temp.MakeDir("src\\deep");
    std::string path = tree;
    while (path.size() < 257)
        path += "\\" + std::string(std::min<size_t>(60, 257 - path.size() - 1), 'd');
    ASSERT_EQ(257u, path.size());
    for (size_t at = tree.size() + 1; at <= path.size(); at++)
        if (at == path.size() || path[at] == '\\')
            CreateDirectoryA(path.substr(0, at).c_str(), NULL);
    std::wstring wide = L"\\\\?\\" + std::wstring(path.begin(), path.end()) + L"\\inside.txt";
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        GTEST_SKIP() << "no file below a long path here";
    CloseHandle(h);
    WIN32_FIND_DATAA probe;
    HANDLE search = FindFirstFileA((path + "\\*.*").c_str(), &probe);
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
        GTEST_SKIP() << "the system searches long paths";
    }
    static int files;
    files = 0;
    auto file = [](const char *, const char *) -> int {
        files++;
        return 1;
    };
    DialogDriver driver;
    SeenDialog report;
    driver.Then([&](HWND dialog) {
        report = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, WalkTree(tree.c_str(), NULL, file, NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Error", report.caption);
    DeleteFileW(wide.c_str());
}

// With dirtime a new directory carries its source's time; the clock is never set.
TEST_F(CopyEngine, DirectoriesMadeLikeTheirSources)
{
    std::string from = temp.MakeDir("src\\a");
    temp.MakeDir("src\\a\\b");
    SetFileAttributesA(temp.Full("src\\a\\b").c_str(), FILE_ATTRIBUTE_HIDDEN);
    const ULONGLONG stamp = 125000000000000000ULL;   // 1997
    SetWriteTime(temp.Full("src\\a\\b"), stamp);
    Settings.dirtime = 1;
    SYSTEMTIME before;
    GetSystemTime(&before);
    DWORD tick = GetTickCount();
    std::string target = temp.Full("dst\\x\\a\\b");
    temp.MakeDir("dst\\x");
    ASSERT_EQ(1, MakeDirChain(target.c_str(), temp.Full("src\\a\\b").c_str()));
    EXPECT_EQ(stamp, (WriteTime(target)));
    EXPECT_TRUE(GetFileAttributesA(target.c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(PATH_KIND_DIRECTORY, PathKind(temp.Full("dst\\x\\a").c_str()));
    SYSTEMTIME after;
    GetSystemTime(&after);
    FILETIME b, a;
    SystemTimeToFileTime(&before, &b);
    SystemTimeToFileTime(&after, &a);
    LONGLONG moved = (LONGLONG)(AsNumber(a) - AsNumber(b)) / 10000 - (LONGLONG)(GetTickCount() - tick);
    EXPECT_LT(llabs(moved), 2000) << "the clock moved";

    // An existing directory is merged into; a file in the way is refused.
    EXPECT_EQ(1, MakeDirChain(target.c_str(), temp.Full("src\\a\\b").c_str()));
    temp.MakeFile("dst\\file", "f");
    DialogDriver driver;
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, MakeDirChain(temp.Full("dst\\file").c_str(), from.c_str()));
    EXPECT_EQ("Kelpo - Copy/Move", seen.caption);
}

TEST_F(CopyEngine, ResultListGrowsTo4096Slots)
{
    ASSERT_TRUE(AllocateResultList());
    EXPECT_EQ(RESULT_FIRST_SLOTS, ResultCapacity);
    std::string dir = source + "\\sub";
    for (int i = 0; i < 5000; i++) {
        std::string name = dir + "\\f" + std::to_string(i);
        RecordResult(name.c_str(), i == 4095);
        ProcessedCount++;
        if (i == 256) {
            EXPECT_EQ(512, ResultCapacity);
        }
    }
    EXPECT_EQ(RESULT_MAX_SLOTS, ResultCapacity);
    EXPECT_EQ(RESULT_MAX_SLOTS, ResultSlotsStored());
    char text[RESULT_SLOT_BYTES];
    ResultSlotText(0, text);
    EXPECT_STREQ("sub\\f0", text);
    ResultSlotText(4095, text);
    EXPECT_STREQ("sub\\f4095\\", text);
    ResultSlotText(4096, text);
    EXPECT_STREQ("", text);
}

} // namespace
