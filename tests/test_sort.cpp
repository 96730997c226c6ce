// Sorting the listing: the comparator's classes and keys, both string comparisons, the sort
// itself on full tables of awkward shapes, and the sort dialog driven by keys.
#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <string>
#include <vector>
#include <string.h>
#include "screen/cursor.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "filelist/sort.h"
#include "dialogdriver.h"
#include "testutil.h"
#include "tablebuilder.h"
#include "reference_sort.h"
#include "sort_ids.h"

namespace {

ULONGLONG Time(DWORD high, DWORD low) { return ((ULONGLONG)high << 32) | low; }

class SortTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(1, AllocateTables()); }
    static void TearDownTestSuite() { FreeTables(); }

    void SetUp() override
    {
        savedMode = Settings.sortmode;
        savedDir = Settings.sortdir;
        LockFileTable();
        ClearFileTable();
    }
    void TearDown() override
    {
        UnlockFileTable();
        Settings.sortmode = savedMode;
        Settings.sortdir = savedDir;
    }

    // Adds a record as the directory reading stores it; shortName defaults to the long name.
    int Add(const char *longName, DWORD flags = 0, DWORD sizeLow = 0, ULONGLONG time = 0,
            const char *shortName = nullptr, DWORD sizeHigh = 0)
    {
        return AddFileEntry(longName, flags, ((unsigned long long)sizeHigh << 32) | sizeLow, FileTimeOf(time),
                            shortName);
    }

    std::vector<std::string> Names() const { return ListedNames(); }

    std::vector<std::string> Sorted(int mode, int dir)
    {
        Settings.sortmode = (BYTE)mode;
        Settings.sortdir = (BYTE)dir;
        SortEntries();
        return Names();
    }

    // Every neighbour in order and the OrderIndex still a permutation of the records.
    void ExpectSortedPermutation(int count)
    {
        std::vector<bool> seen(count, false);
        for (int p = 0; p < count; p++) {
            ASSERT_LT(OrderIndex[p], count) << "position " << p;
            ASSERT_FALSE(seen[OrderIndex[p]]) << "record " << OrderIndex[p] << " twice";
            seen[OrderIndex[p]] = true;
            if (p > 0) {
                ASSERT_LE(CompareEntries(p - 1, p), 0) << "positions " << p - 1 << " and " << p;
            }
        }
    }

    // Sorts the table and checks the comparisons stay within a few n log n, far below the
    // n * n / 2 of a sort that degrades on this input.
    void SortWithinBound(const char *shape)
    {
        SortComparisonCount = 0;
        SortEntries();
        unsigned long bound = 4ul * EntryCount * 14;
        EXPECT_LT(SortComparisonCount, bound) << shape << ", mode " << (int)Settings.sortmode;
        ExpectSortedPermutation(EntryCount);
    }

    BYTE savedMode = 0, savedDir = 0;
};

typedef std::vector<std::string> Names_;

TEST(ByteCompareTest, UnsignedBytesAndTheTerminator)
{
    EXPECT_EQ(0, ByteCompare("ABC", "ABC"));
    EXPECT_EQ('B' - 'C', ByteCompare("AB", "AC"));
    EXPECT_EQ('C', ByteCompare("ABC", "AB"));
    EXPECT_EQ(-'C', ByteCompare("AB", "ABC"));
    EXPECT_GT(ByteCompare("\x82\xa0", "Z"), 0);             // lead bytes are above ASCII
    EXPECT_GT(ByteCompare("\xb1", "\x82\xa0"), 0);          // half-width kana byte 0xB1 > 0x82
    EXPECT_LT(ByteCompare("a", "b"), 0);
    EXPECT_LT(ByteCompare("B", "a"), 0);                    // no case folding
}

TEST(MultiByteCompareNoCaseTest, AsciiAndFullWidthLettersIgnoreCase)
{
    EXPECT_EQ(0, MultiByteCompareNoCase("Readme.TXT", "rEADME.txt"));
    EXPECT_EQ(0, MultiByteCompareNoCase("ＡＢＣ", "ａｂｃ"));
    EXPECT_EQ(0, MultiByteCompareNoCase("ＺＺ", "ｚｚ"));
    EXPECT_NE(0, MultiByteCompareNoCase("Ａ", "A"));         // full-width is not ASCII
    EXPECT_LT(MultiByteCompareNoCase("ａ", "ｂ"), 0);
    EXPECT_LT(MultiByteCompareNoCase("Ａ", "ｂ"), 0);
    EXPECT_GT(MultiByteCompareNoCase("Ｂ", "ａ"), 0);
    EXPECT_LT(MultiByteCompareNoCase("apple", "Banana"), 0);
    EXPECT_LT(MultiByteCompareNoCase("ab", "ABC"), 0);
    EXPECT_GT(MultiByteCompareNoCase("ABC", "ab"), 0);
    // Letters fold to lower case, so "_" (0x5F) stands before every letter.
    EXPECT_LT(MultiByteCompareNoCase("_x", "A"), 0);
    EXPECT_LT(MultiByteCompareNoCase("_x", "a"), 0);
}

TEST(MultiByteCompareNoCaseTest, DoubleByteCharactersAreOneUnit)
{
    // ア is 83 41 and ヂ is 83 61: folding the second byte as a letter would make them equal.
    EXPECT_NE(0, MultiByteCompareNoCase("ア", "ヂ"));
    EXPECT_LT(MultiByteCompareNoCase("ア", "ヂ"), 0);
    // ソ (83 5C) and 表 (95 5C) end in "\"; the letters after them still fold.
    EXPECT_EQ(0, MultiByteCompareNoCase("ソA表b", "ソa表B"));
    EXPECT_LT(MultiByteCompareNoCase("ソ", "ゾ"), 0);
    EXPECT_LT(MultiByteCompareNoCase("\\", "ソ"), 0);
    EXPECT_LT(MultiByteCompareNoCase("ソ", "表"), 0);
    EXPECT_NE(0, MultiByteCompareNoCase("ソ", "\x83"));
    // A whole double-byte character counts above any single byte, half-width kana included,
    // though the kana's byte 0xB1 is greater than the lead byte 0x82.
    EXPECT_LT(MultiByteCompareNoCase("ｱ", "あ"), 0);
    EXPECT_LT(MultiByteCompareNoCase("z", "あ"), 0);
    // A lead byte cut off by the terminator is compared as a byte, never read past.
    EXPECT_GT(MultiByteCompareNoCase("a\x82", "a"), 0);
    EXPECT_EQ(0, MultiByteCompareNoCase("A\x82", "a\x82"));
}

TEST_F(SortTest, ClassesComeFirstInEitherDirectionAndEveryMode)
{
    Add("b.txt", 0, 10, Time(1, 5));
    Add("sub2", EF_DIRECTORY, 0, Time(1, 1));
    Add("r.txt", EF_READONLY, 1, Time(1, 9));
    Add("..", EF_DOTDOT | EF_DIRECTORY);
    Add("a.txt", EF_ARCHIVE, 20, Time(1, 2));   // archive bit is no class
    Add("h.sys", EF_HIDDEN, 5);
    Add("VOLUME", EF_VOLUME);
    Add("sub1", EF_DIRECTORY, 0, Time(1, 3));
    Add("s.sys", EF_SYSTEM, 7);
    Add(".", EF_DOT | EF_DIRECTORY);
    Add("rodir", EF_DIRECTORY | EF_READONLY);
    Add("c.txt", 0, 15, Time(1, 7));

    const Names_ head = {"VOLUME", ".", "..", "s.sys", "h.sys", "rodir", "r.txt"};
    struct Case {
        int mode;
        Names_ dirs, files;
    } cases[] = {
        {SORT_BY_NAME, {"sub1", "sub2"}, {"a.txt", "b.txt", "c.txt"}},
        {SORT_BY_EXTENSION, {"sub1", "sub2"}, {"a.txt", "b.txt", "c.txt"}},
        {SORT_BY_SIZE, {"sub1", "sub2"}, {"b.txt", "c.txt", "a.txt"}},
        {SORT_BY_DATE, {"sub2", "sub1"}, {"a.txt", "b.txt", "c.txt"}},
    };
    for (const Case &c : cases) {
        for (int dir = 0; dir < 2; dir++) {
            Names_ expected = head, dirs = c.dirs, files = c.files;
            if (dir) {
                std::reverse(dirs.begin(), dirs.end());
                std::reverse(files.begin(), files.end());
            }
            expected.insert(expected.end(), dirs.begin(), dirs.end());
            expected.insert(expected.end(), files.begin(), files.end());
            EXPECT_EQ(expected, Sorted(c.mode, dir)) << "mode " << c.mode << " dir " << dir;
        }
    }
}

TEST_F(SortTest, NameKeyIsBaseThenShortExtension)
{
    Add("a.z");              // a dot at the second position does not split: key A.Z
    Add("a-b.txt");          // key A-B
    Add("Zeta.txt");
    Add("alpha.txt");
    Add("ALPHA.doc");
    Add("alphabet");
    Add("あ.txt");
    Add("ｱ.txt");
    Add("_under.txt");
    // Keys are upper-cased, so "_" (0x5F) follows every letter; bytes compare unsigned, so
    // double-byte and half-width kana names follow ASCII, and "ｱ.txt" keeps its dot (index 1).
    EXPECT_EQ((Names_{"a-b.txt", "a.z", "ALPHA.doc", "alpha.txt", "alphabet", "Zeta.txt", "_under.txt",
                      "あ.txt", "ｱ.txt"}),
              Sorted(SORT_BY_NAME, 0));
    EXPECT_EQ((Names_{"ｱ.txt", "あ.txt", "_under.txt", "Zeta.txt", "alphabet", "alpha.txt", "ALPHA.doc", "a.z",
                      "a-b.txt"}),
              Sorted(SORT_BY_NAME, 1));
}

TEST_F(SortTest, ExtensionKeyWithAndWithoutExtensions)
{
    Add("gamma.txt");
    Add("zeta");
    Add("index.html", 0, 0, 0, "INDEX~1.HTM");     // the short name's extension counts
    Add("beta.doc");
    Add("Makefile", 0, 0, 0, "MAKEFILE");
    Add("alpha.txt");
    Add("archive.tar.gz", 0, 0, 0, "ARCHIV~1.GZ");
    EXPECT_EQ((Names_{"Makefile", "zeta", "beta.doc", "archive.tar.gz", "index.html", "alpha.txt",
                      "gamma.txt"}),
              Sorted(SORT_BY_EXTENSION, 0));
    EXPECT_EQ((Names_{"gamma.txt", "alpha.txt", "index.html", "archive.tar.gz", "beta.doc", "zeta",
                      "Makefile"}),
              Sorted(SORT_BY_EXTENSION, 1));
}

TEST_F(SortTest, SizeKeyUsesTheWholeSizeAndNamesWithoutCase)
{
    int huge = Add("huge.bin", 0, 50, 0, nullptr, 1);      // 4 GiB + 50 sorts above 4 GiB - 16
    Add("big.bin", 0, 0xFFFFFFF0u);
    Add("cherry", 0, 100);
    Add("Banana", 0, 100);
    Add("apple", 0, 100);
    Add("empty", 0, 0);
    EXPECT_EQ((Names_{"empty", "apple", "Banana", "cherry", "big.bin", "huge.bin"}), Sorted(SORT_BY_SIZE, 0));
    EXPECT_EQ((Names_{"huge.bin", "big.bin", "cherry", "Banana", "apple", "empty"}), Sorted(SORT_BY_SIZE, 1));
    // The marked figures add the whole size too.
    ClusterBytes = 4096;
    MarkedCount = 0;
    MarkedBytes = MarkedAllocated = 0;
    int position = 0;
    while (OrderIndex[position] != huge)
        position++;
    ToggleMark(position);
    EXPECT_EQ(1, MarkedCount);
    EXPECT_EQ(4294967346.0, MarkedBytes);
    EXPECT_EQ(4294971392.0, MarkedAllocated);
    ToggleMark(position);
    EXPECT_EQ(0.0, MarkedBytes);
}

TEST_F(SortTest, DateKeyComparesHighWordThenLowWord)
{
    Add("new", 0, 0, Time(2, 0));
    Add("old", 0, 0, Time(1, 0xFFFFFFFFu));    // largest low word, yet older
    Add("ｂ同時", 0, 0, Time(1, 0x80000000u));
    Add("Ａ同時", 0, 0, Time(1, 0x80000000u));
    Add("ancient", 0, 0, Time(0, 0x90000000u));
    EXPECT_EQ((Names_{"ancient", "Ａ同時", "ｂ同時", "old", "new"}), Sorted(SORT_BY_DATE, 0));
    EXPECT_EQ((Names_{"new", "old", "ｂ同時", "Ａ同時", "ancient"}), Sorted(SORT_BY_DATE, 1));
}

TEST_F(SortTest, EqualKeysStayTogetherAndNothingIsLost)
{
    // Same base key and short extension in every case spelling: equal by name.
    const char *same[] = {"Same.txt", "SAME.txt", "same.TXT", "sAmE.Txt"};
    for (int round = 0; round < 8; round++)
        for (const char *n : same)
            Add(n);
    Add("zzz.txt");
    Add("aaa.txt");
    for (int mode = 0; mode < 4; mode++) {
        for (int dir = 0; dir < 2; dir++) {
            Settings.sortmode = (BYTE)mode;
            Settings.sortdir = (BYTE)dir;
            SortEntries();
            ExpectSortedPermutation(EntryCount);
        }
    }
    Names_ asc = Sorted(SORT_BY_NAME, 0);
    EXPECT_EQ("aaa.txt", asc.front());
    EXPECT_EQ("zzz.txt", asc.back());
}

TEST_F(SortTest, OnlyTheListedPositionsMove)
{
    Add("c");
    Add("b");
    Add("a");
    Sorted(SORT_BY_NAME, 0);
    EXPECT_EQ((Names_{"a", "b", "c"}), Names());
    for (int p = 3; p < MAX_ENTRIES; p++)
        ASSERT_EQ(p, OrderIndex[p]);
    EntryCount = 1;
    OrderIndex[0] = 2;
    SortEntries();
    EXPECT_EQ(2, OrderIndex[0]);
    EntryCount = 0;
    SortEntries();
    EXPECT_EQ(2, OrderIndex[0]);
}

TEST_F(SortTest, SameOrderAsTheOriginalProcedureWhenKeysDiffer)
{
    std::mt19937 random(7);
    for (int i = 0; i < 700; i++) {
        char name[32];
        DWORD flags = (random() % 5 == 0) ? (DWORD)EF_DIRECTORY : (random() % 9 == 0 ? (DWORD)EF_HIDDEN : 0);
        sprintf(name, "n%05u_%d.%c%c", (unsigned)(random() % 100000), i, 'a' + (int)(random() % 3),
                'a' + (int)(random() % 26));
        Add(name, flags, (DWORD)random(), Time(random() % 3, (DWORD)random()));
    }
    for (int mode = 0; mode < 4; mode++) {
        for (int dir = 0; dir < 2; dir++) {
            Settings.sortmode = (BYTE)mode;
            Settings.sortdir = (BYTE)dir;
            std::shuffle(OrderIndex, OrderIndex + EntryCount, random);
            ReferenceQuickSort(0, EntryCount - 1);
            Names_ reference = Names();
            std::shuffle(OrderIndex, OrderIndex + EntryCount, random);
            SortEntries();
            EXPECT_EQ(reference, Names()) << "mode " << mode << " dir " << dir;
        }
    }
}

TEST_F(SortTest, FullTableInEveryAwkwardShape)
{
    std::mt19937 random(11);
    for (int i = 0; i < MAX_ENTRIES; i++) {
        char name[32];
        sprintf(name, "f%08u.%03u", (unsigned)random(), (unsigned)(random() % 1000));
        Add(name, i % 50 == 0 ? (DWORD)EF_DIRECTORY : 0, (DWORD)random(), Time(1, (DWORD)random()));
    }
    ASSERT_EQ(MAX_ENTRIES, EntryCount);
    for (int mode = 0; mode < 4; mode++) {
        Settings.sortmode = (BYTE)mode;
        Settings.sortdir = 0;
        SortWithinBound("random");
        SortWithinBound("already sorted");
        std::reverse(OrderIndex, OrderIndex + MAX_ENTRIES);
        SortWithinBound("reversed");
        Settings.sortdir = 1;
        SortWithinBound("sorted the other way round");
    }
    // Organ pipe: rising then falling, a classic trap for median-of-three pivots.
    Settings.sortmode = SORT_BY_NAME;
    Settings.sortdir = 0;
    SortEntries();
    std::reverse(OrderIndex + MAX_ENTRIES / 2, OrderIndex + MAX_ENTRIES);
    SortWithinBound("organ pipe");
}

TEST_F(SortTest, FullTableOfEqualKeys)
{
    for (int i = 0; i < MAX_ENTRIES; i++)
        Add("same.txt", 0, 4096, Time(1, 1));
    for (int mode = 0; mode < 4; mode++) {
        Settings.sortmode = (BYTE)mode;
        Settings.sortdir = 0;
        SortWithinBound("all equal");
    }
}

TEST_F(SortTest, HeapSortFallbackAndSmallRanges)
{
    std::mt19937 random(3);
    for (int i = 0; i < 3000; i++) {
        char name[16];
        sprintf(name, "%u", (unsigned)(random() % 500));   // many duplicates
        Add(name, random() % 7 == 0 ? (DWORD)EF_DIRECTORY : 0);
    }
    Settings.sortmode = SORT_BY_NAME;
    for (int dir = 0; dir < 2; dir++) {
        Settings.sortdir = (BYTE)dir;
        std::shuffle(OrderIndex, OrderIndex + EntryCount, random);
        SortRange(0, EntryCount - 1, 0);                 // partitioning gives up at once
        ExpectSortedPermutation(EntryCount);
    }
    const int sizes[] = {2, 3, 16, 17, 18, 33};
    for (int n : sizes) {
        std::shuffle(OrderIndex, OrderIndex + EntryCount, random);
        SortRange(100, 100 + n - 1, 40);
        for (int p = 101; p < 100 + n; p++)
            ASSERT_LE(CompareEntries(p - 1, p), 0) << "range of " << n;
    }
}

// The sort dialog over a window of our own that stands in for the main window.
class SortDialogTest : public ::testing::Test {
protected:
    // One owner for the suite: hiding a captioned window costs seconds under a bare X server.
    static void SetUpTestSuite()
    {
        owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80, 640, 480,
                                NULL, NULL, GetModuleHandleA(NULL), NULL);
        g_mainWnd = owner;
    }
    static void TearDownTestSuite()
    {
        g_mainWnd = NULL;
        DestroyWindow(owner);
    }
    void SetUp() override
    {
        ASSERT_TRUE(owner != NULL);
        savedMode = Settings.sortmode;
        savedDir = Settings.sortdir;
    }
    void TearDown() override
    {
        Settings.sortmode = savedMode;
        Settings.sortdir = savedDir;
    }
    static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    static int FocusId(HWND dialog)
    {
        HWND focus = GetFocus();
        return focus && IsChild(dialog, focus) ? GetDlgCtrlID(focus) : 0;
    }
    // A mnemonic letter typed as a character, the way the keyboard delivers it after translation.
    static void TypeLetter(HWND dialog, char letter)
    {
        HWND target = GetFocus();
        PostMessageA(target ? target : dialog, WM_CHAR, (WPARAM)letter, 1);
    }

    static HWND owner;
    BYTE savedMode = 0, savedDir = 0;
};
HWND SortDialogTest::owner;

TEST_F(SortDialogTest, OpensOnTheCurrentChoiceCentredOnTheMainWindow)
{
    Settings.sortmode = SORT_BY_DATE;
    Settings.sortdir = 1;
    DialogDriver driver;
    bool checkedOk = false;
    driver.Then([&](HWND dialog) {
        SeenDialog seen = ReadDialog(dialog);
        EXPECT_EQ("Kelpo - Sort", seen.caption);
        const SeenControl *prompt = seen.Find(IDC_SORT_PROMPT);
        ASSERT_TRUE(prompt != nullptr);
        EXPECT_EQ("ソート条件を選択して下さい", prompt->text);
        const struct { int id; const char *text; } controls[] = {
            {IDC_SORT_NAME, "名前(&N)"}, {IDC_SORT_EXTENSION, "拡張子(&E)"}, {IDC_SORT_SIZE, "サイズ(&S)"},
            {IDC_SORT_DATE, "日付(&T)"}, {IDC_SORT_ASCENDING, "昇り順(&U)"}, {IDC_SORT_DESCENDING, "降り順(&D)"},
            {IDOK, "OK"}, {IDCANCEL, "ｷｬﾝｾﾙ"}};
        for (const auto &c : controls) {
            const SeenControl *control = seen.Find(c.id);
            ASSERT_TRUE(control != nullptr) << c.id;
            EXPECT_EQ(c.text, control->text);
        }
        for (int id : {IDC_SORT_NAME, IDC_SORT_EXTENSION, IDC_SORT_SIZE, IDC_SORT_ASCENDING})
            EXPECT_FALSE(Checked(dialog, id)) << id;
        EXPECT_TRUE(Checked(dialog, IDC_SORT_DATE));
        EXPECT_TRUE(Checked(dialog, IDC_SORT_DESCENDING));
        EXPECT_EQ(IDC_SORT_DATE, seen.focusId);
        RECT o;
        GetWindowRect(owner, &o);
        EXPECT_NEAR((o.left + o.right) / 2, (seen.windowRect.left + seen.windowRect.right) / 2, 1);
        EXPECT_NEAR((o.top + o.bottom) / 2, (seen.windowRect.top + seen.windowRect.bottom) / 2, 1);
        checkedOk = true;
        PressKey(dialog, VK_ESCAPE);
    });
    EXPECT_EQ(0, RunSortDialog(owner));
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(checkedOk);
    EXPECT_EQ(0, driver.Unexpected());
}

TEST_F(SortDialogTest, EnterOnAKeyButtonMovesToTheDirectionThenApplies)
{
    Settings.sortmode = SORT_BY_EXTENSION;
    Settings.sortdir = 0;
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        switch (step) {
        case 0:
            EXPECT_EQ(IDC_SORT_EXTENSION, FocusId(dialog));
            TypeLetter(dialog, 's');                    // サイズ(&S)
            return false;
        case 1:
            EXPECT_TRUE(Checked(dialog, IDC_SORT_SIZE));
            EXPECT_FALSE(Checked(dialog, IDC_SORT_EXTENSION));
            EXPECT_EQ(IDC_SORT_SIZE, FocusId(dialog));
            PressKey(dialog, VK_RETURN);
            return false;
        case 2:
            // Still open, the focus on the checked direction, the setting not yet changed.
            EXPECT_EQ(IDC_SORT_ASCENDING, FocusId(dialog));
            EXPECT_EQ(SORT_BY_EXTENSION, Settings.sortmode);
            TypeLetter(dialog, 'd');                    // 降り順(&D)
            return false;
        case 3:
            EXPECT_TRUE(Checked(dialog, IDC_SORT_DESCENDING));
            EXPECT_EQ(IDC_SORT_DESCENDING, FocusId(dialog));
            PressKey(dialog, VK_RETURN);
            return true;
        }
        return true;
    });
    EXPECT_EQ(1, RunSortDialog(owner));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ(SORT_BY_SIZE, Settings.sortmode);
    EXPECT_EQ(1, Settings.sortdir);
}

TEST_F(SortDialogTest, EnterFromTheDescendingChoiceLandsOnIt)
{
    Settings.sortmode = SORT_BY_NAME;
    Settings.sortdir = 1;
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            TypeLetter(dialog, 't');                    // 日付(&T)
            PressKey(dialog, VK_RETURN);
            return false;
        }
        EXPECT_EQ(IDC_SORT_DESCENDING, FocusId(dialog));
        EXPECT_TRUE(Checked(dialog, IDC_SORT_DATE));
        PressKey(dialog, VK_RETURN);
        return true;
    });
    EXPECT_EQ(1, RunSortDialog(owner));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(SORT_BY_DATE, Settings.sortmode);
    EXPECT_EQ(1, Settings.sortdir);
}

TEST_F(SortDialogTest, ClickingOkAppliesAtOnceAndCancelChangesNothing)
{
    Settings.sortmode = SORT_BY_NAME;
    Settings.sortdir = 0;
    {
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            if (step == 0) {
                TypeLetter(dialog, 'e');                // 拡張子(&E), focus stays in the key group
                return false;
            }
            EXPECT_EQ(IDC_SORT_EXTENSION, FocusId(dialog));
            SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            return true;
        });
        EXPECT_EQ(1, RunSortDialog(owner));
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(SORT_BY_EXTENSION, Settings.sortmode);
        EXPECT_EQ(0, Settings.sortdir);
    }
    {
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            if (step == 0) {
                TypeLetter(dialog, 'n');
                TypeLetter(dialog, 'd');
                return false;
            }
            EXPECT_TRUE(Checked(dialog, IDC_SORT_NAME));
            EXPECT_TRUE(Checked(dialog, IDC_SORT_DESCENDING));
            SendMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            return true;
        });
        EXPECT_EQ(0, RunSortDialog(owner));
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(SORT_BY_EXTENSION, Settings.sortmode);
        EXPECT_EQ(0, Settings.sortdir);
    }
}

TEST_F(SortDialogTest, UnknownStoredKeyStaysWhenNoneIsChosen)
{
    Settings.sortmode = 9;
    Settings.sortdir = 1;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        for (int id : {IDC_SORT_NAME, IDC_SORT_EXTENSION, IDC_SORT_SIZE, IDC_SORT_DATE})
            EXPECT_FALSE(Checked(dialog, id)) << id;
        SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(1, RunSortDialog(owner));
    EXPECT_EQ(9, Settings.sortmode);
    EXPECT_EQ(1, Settings.sortdir);
}

}  // namespace

namespace {

// A real directory read with sorting after the read, then re-sorted as the S command does.
class SortedListing : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(1, AllocateTables()); }
    static void TearDownTestSuite() { FreeTables(); }
    void SetUp() override
    {
        saved = Settings;
        Settings.presort = 1;
        Settings.namesmall = 0;
        Settings.dispmode = 1;
        Settings.disprow = 3;
        FileMask[0] = '\0';
        CursorName[0] = '\0';
        ReloadRequest = 0;
    }
    void TearDown() override { Settings = saved; }
    TempDir temp;
    SettingsRecord saved;
};

TEST_F(SortedListing, DescendingKeepsDotEntriesAndClassesOnTopAndTheCursorOnItsEntry)
{
    temp.MakeFile("apple.txt", "123");
    temp.MakeFile("Cherry.txt", "12345");
    temp.MakeFile("banana.doc", "1");
    temp.MakeFile("locked.txt", "x", FILE_ATTRIBUTE_READONLY);
    temp.MakeDir("alpha");
    temp.MakeDir("zulu");
    Settings.sortmode = SORT_BY_NAME;
    Settings.sortdir = 1;
    strcpy(CurrentPath, temp.path.c_str());
    ReadDirectory(0);
    EXPECT_EQ((std::vector<std::string>{".", "..", "locked.txt", "zulu", "alpha", "Cherry.txt", "banana.doc",
                                        "apple.txt"}),
              ListedNames());

    // The cursor on "banana.doc" (position 6: third page of three, slot 0); by size it moves up.
    strcpy(CursorName, "banana.doc");
    ReloadRequest = 3;
    ApplyReloadRequest();
    ASSERT_EQ(6, PageTop + CursorSlot);
    Settings.sortmode = SORT_BY_SIZE;
    Settings.sortdir = 0;
    SortEntries();
    ReloadRequest = 3;
    ApplyReloadRequest();
    EXPECT_EQ((std::vector<std::string>{".", "..", "locked.txt", "alpha", "zulu", "banana.doc", "apple.txt",
                                        "Cherry.txt"}),
              ListedNames());
    EXPECT_EQ(3, PageTop);
    EXPECT_EQ(2, CursorSlot);
    LockFileTable();
    EXPECT_STREQ("banana.doc", LongNameAt(PageTop + CursorSlot));
    UnlockFileTable();
}

}  // namespace
