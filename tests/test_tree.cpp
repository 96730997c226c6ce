// The directory tree without a window: scanning real directory trees into the node table,
// tree order and line masks, the cache file written and read back byte for byte, corrupt
// cache files, the cache file names, the path history and the drive-letter shorthand.
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>
#include <string.h>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "tree/pathhistory.h"
#include "tree/tree.h"
#include "testutil.h"

namespace {

// What the test made: a directory with its children, to compare the table with.
struct Dir {
    std::string name;
    DWORD attributes = 0;
    std::vector<Dir> children;
};

struct ExpectedNode {
    int depth;
    std::string name;
    DWORD mask;
    bool hidden;
};

int Lstrcmp(const std::string &a, const std::string &b) { return lstrcmpA(a.c_str(), b.c_str()); }

// Tree order and masks straight from the structure: children in lstrcmp order, and bit k - 1
// set when the ancestor at depth k (or the node itself, k = depth) has a later sibling.
void Flatten(const Dir &dir, int depth, std::vector<bool> laterSibling, std::vector<ExpectedNode> &out)
{
    std::vector<const Dir *> sorted;
    for (const Dir &c : dir.children)
        sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(), [](const Dir *a, const Dir *b) { return Lstrcmp(a->name, b->name) < 0; });
    for (size_t i = 0; i < sorted.size(); i++) {
        std::vector<bool> flags = laterSibling;
        flags.push_back(i + 1 < sorted.size());
        DWORD mask = 0;
        for (size_t k = 0; k < flags.size() && k < 32; k++)
            if (flags[k])
                mask |= 1u << k;
        out.push_back({depth + 1, sorted[i]->name, mask, (sorted[i]->attributes & FILE_ATTRIBUTE_HIDDEN) != 0});
        Flatten(*sorted[i], depth + 1, flags, out);
    }
}

void Make(TempDir &temp, const std::string &relative, const Dir &dir)
{
    for (const Dir &c : dir.children) {
        std::string path = relative.empty() ? c.name : relative + "\\" + c.name;
        ASSERT_TRUE(CreateDirectoryA(temp.Full(path).c_str(), NULL)) << path;
        if (c.attributes)
            SetFileAttributesA(temp.Full(path).c_str(), c.attributes);
        Make(temp, path, c);
    }
}

Dir Leaf(const std::string &name, DWORD attributes = 0) { return Dir{name, attributes, {}}; }
Dir Node(const std::string &name, std::vector<Dir> children) { return Dir{name, 0, children}; }

class TreeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(1, AllocateTables());
        SetDefaultSettings();
    }
    static void TearDownTestSuite() { FreeTables(); }
    void SetUp() override { ASSERT_EQ(1, AllocateTreeTable()); }
    void TearDown() override { FreeTreeTable(); }

    // Scans temp's directory as if it were a drive root, as LoadOrScanDrive does.
    int ScanAsRoot(const TempDir &temp)
    {
        BeginTreeScan((temp.path + "\\").c_str());
        int complete = ScanTree(NULL, temp.path.c_str());
        SortTree(0, TreeNodeCount - 1);
        ReduceToNames();
        ComputeLineMasks();
        return complete;
    }

    void ExpectTable(const Dir &root)
    {
        std::vector<ExpectedNode> expected;
        Flatten(root, 0, {}, expected);
        ASSERT_EQ((int)expected.size() + 1, TreeNodeCount);
        EXPECT_STREQ("\\", TreeNodes[0].name);
        EXPECT_EQ(0, TreeNodes[0].depth);
        EXPECT_EQ(0u, TreeNodes[0].lineMask);
        for (size_t i = 0; i < expected.size(); i++) {
            const TreeNode &n = TreeNodes[i + 1];
            SCOPED_TRACE("node " + std::to_string(i + 1) + " " + expected[i].name);
            EXPECT_EQ(expected[i].name, n.name);
            EXPECT_EQ(expected[i].depth, n.depth);
            EXPECT_EQ(expected[i].mask, n.lineMask);
            EXPECT_EQ(expected[i].hidden, (n.attributes & FILE_ATTRIBUTE_HIDDEN) != 0);
            EXPECT_TRUE(n.attributes & FILE_ATTRIBUTE_DIRECTORY);
        }
    }

    static void WriteAll(const std::string &path, const std::string &data)
    {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written;
        WriteFile(h, data.data(), (DWORD)data.size(), &written, NULL);
        CloseHandle(h);
    }

    // The table as plain values, to compare two tables.
    static std::vector<std::string> Snapshot()
    {
        std::vector<std::string> rows;
        for (int i = 0; i < TreeNodeCount; i++) {
            const TreeNode &n = TreeNodes[i];
            rows.push_back(std::to_string(n.depth) + "/" + std::to_string(n.attributes) + "/" +
                           std::to_string(n.lineMask) + "/" + n.name);
        }
        return rows;
    }
};

// "表" (0x95 0x5C), "ソ" (0x83 0x5C) and "能" (0x94 0x5C) end in a byte equal to "\".
const std::string HYOU = "\x95\x5C", SO = "\x83\x5C", NOU = "\x94\x5C";

// A link to a directory is a node of the tree but is not followed: a link back up to its own
// parent would fill the table with the same directories again and again.
TEST_F(TreeTest, LinkToADirectoryIsShownButNotFollowed)
{
    TempDir temp;
    temp.MakeDir("a");
    temp.MakeDir("a\\b");
    ASSERT_TRUE(MakeDirectoryLink(temp.Full("a\\up"), temp.Full("a")));
    EXPECT_EQ(1, ScanAsRoot(temp));
    std::vector<std::string> names;
    for (int i = 0; i < TreeNodeCount; i++)
        names.push_back(std::to_string(TreeNodes[i].depth) + " " + TreeNodes[i].name);
    EXPECT_EQ((std::vector<std::string>{"0 \\", "1 a", "2 b", "2 up"}), names);
}

TEST_F(TreeTest, ScanGivesTreeOrderNamesAttributesAndMasks)
{
    TempDir temp;
    Dir deep = Leaf("d20");
    for (int level = 19; level >= 1; level--)
        deep = Node("d" + std::to_string(level), {deep});
    Dir root = Node("", {
        Node("b", {Leaf("c")}),
        Leaf("a"),
        Leaf("d"),
        Node(HYOU, {Leaf(SO + "x"), Leaf(NOU)}),
        Node("日本語のﾌｫﾙﾀﾞ", {Leaf("下位"), Leaf("secret", FILE_ATTRIBUTE_HIDDEN)}),
        Leaf(".hidden", FILE_ATTRIBUTE_HIDDEN),
        Node("chain", {deep}),
        Node("Mixed Case", {Leaf("z"), Leaf("Y"), Leaf("x")}),
    });
    Make(temp, "", root);
    temp.MakeFile("a\\file.txt", "not a directory");
    temp.MakeFile("plain.txt", "neither");
    EXPECT_EQ(1, ScanAsRoot(temp));
    ExpectTable(root);
    // The deepest directory sits at depth 21 below the scanned root.
    int deepest = 0;
    for (int i = 0; i < TreeNodeCount; i++)
        deepest = std::max(deepest, TreeNodes[i].depth);
    EXPECT_EQ(21, deepest);
}

TEST_F(TreeTest, SmallTreeOrderAndMasksAsDocumented)
{
    TempDir temp;
    Make(temp, "", Node("", {Leaf("d"), Node("b", {Leaf("c")}), Leaf("a")}));
    ScanAsRoot(temp);
    ASSERT_EQ(5, TreeNodeCount);
    const char *names[] = {"\\", "a", "b", "c", "d"};
    const DWORD masks[] = {0, 1, 1, 1, 0};
    const int depths[] = {0, 1, 1, 2, 1};
    for (int i = 0; i < 5; i++) {
        EXPECT_STREQ(names[i], TreeNodes[i].name);
        EXPECT_EQ(masks[i], TreeNodes[i].lineMask) << names[i];
        EXPECT_EQ(depths[i], TreeNodes[i].depth) << names[i];
    }
}

TEST_F(TreeTest, EmptyDriveGivesTheRootAloneAndItsFile)
{
    TempDir temp;
    ScanAsRoot(temp);
    ASSERT_EQ(1, TreeNodeCount);
    std::string file = temp.Full("KLPTREE.DAT");
    ASSERT_EQ(1, SaveTreeFile(file.c_str()));
    std::string expected("KelpoTreeData\0\0\0\0\0\0\0", 20);
    expected += std::string("\x01\0\0\0", 4);                  // N = 1
    expected += std::string("\0\0" "\0\0\0\0" "\0\0\0\0" "\x02\0" "\\\0", 14);
    EXPECT_EQ(expected, ReadAll(file));
    DWORD attributes = GetFileAttributesA(file.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(temp.Full("KLPTREE.TMP").c_str()));
}

TEST_F(TreeTest, MoreDirectoriesThanTheTableHoldsKeepsTheFirstFound)
{
    TempDir temp;
    for (int i = 0; i < 30; i++) {
        char group[16];
        snprintf(group, sizeof group, "g%02d", i);
        temp.MakeDir(group);
        for (int j = 0; j < 70; j++) {
            char name[32];
            snprintf(name, sizeof name, "%s\\s%02d", group, j);
            temp.MakeDir(name);
        }
    }
    EXPECT_EQ(0, ScanAsRoot(temp));                    // stopped: table full
    ASSERT_EQ(TREE_MAX_NODES, TreeNodeCount);
    // Still a proper tree: depths step down freely but up by one, children after parents.
    for (int i = 1; i < TreeNodeCount; i++) {
        EXPECT_GE(TreeNodes[i].depth, 1);
        EXPECT_LE(TreeNodes[i].depth, TreeNodes[i - 1].depth + 1) << i;
    }
    // The table round-trips through the file although it is full.
    std::string file = temp.Full("full.dat");
    std::vector<std::string> before = Snapshot();
    ASSERT_EQ(1, SaveTreeFile(file.c_str()));
    TreeNodeCount = 0;
    ASSERT_EQ(1, LoadTreeFile(file.c_str()));
    EXPECT_EQ(before, Snapshot());
}

TEST_F(TreeTest, ComparePathsStepsOverDoubleByteCharacters)
{
    struct Case {
        std::string a, b;
        int sign;
    } cases[] = {
        {"X:\\a", "X:\\a\\b", -1},
        {"X:\\a\\b", "X:\\a", 1},
        {"X:\\a\\b", "X:\\ab", -1},                   // component by component, not byte by byte
        {"X:\\", "X:\\zzz", 0},                        // the root equals every node
        {"X:\\" + HYOU, "X:\\" + HYOU + "\\x", -1},    // "表" is one component, not "\x95" + separator
        {"X:\\" + HYOU + "a", "X:\\" + HYOU + "\\a", 1},
        {"X:\\a\\c", "X:\\b", -1},
        {"X:\\same", "X:\\same", 0},
    };
    for (const Case &c : cases) {
        int r = ComparePaths(c.a.c_str(), c.b.c_str());
        EXPECT_EQ(c.sign, (r > 0) - (r < 0)) << c.a << " vs " << c.b;
    }
}

TEST_F(TreeTest, ReduceToNamesKeepsTrailBytesThatLookLikeSeparators)
{
    BeginTreeScan("X:\\");
    const char *paths[] = {"X:\\dir\\", "X:\\dir\\表", "X:\\ソ能", "X:\\ソ能\\sub"};
    const char *names[] = {"", "表", "ソ能", "sub"};
    // The first path stands for a name that ends in a separator only to show the last one wins.
    for (const char *p : paths) {
        lstrcpynA(TreeNodes[TreeNodeCount].name, p, TREE_NAME_BYTES);
        TreeNodes[TreeNodeCount++].depth = 1;
    }
    ReduceToNames();
    EXPECT_STREQ("\\", TreeNodes[0].name);
    for (int i = 0; i < 4; i++)
        EXPECT_STREQ(names[i], TreeNodes[i + 1].name);
}

TEST_F(TreeTest, SortTreeOrdersAnyArrangement)
{
    // Paths of a known tree in tree order; the sort must restore it from any arrangement,
    // including the ordered and reversed ones directory searches commonly return.
    std::vector<std::string> ordered = {"X:\\"};
    for (int i = 0; i < 40; i++) {
        char top[32];
        snprintf(top, sizeof top, "X:\\t%02d", i);
        ordered.push_back(top);
        for (int j = 0; j < i % 4; j++)
            ordered.push_back(std::string(top) + "\\c" + std::to_string(j));
    }
    std::mt19937 random(7);
    for (int arrangement = 0; arrangement < 6; arrangement++) {
        std::vector<std::string> input(ordered.begin() + 1, ordered.end());
        if (arrangement == 1)
            std::reverse(input.begin(), input.end());
        else if (arrangement > 1)
            std::shuffle(input.begin(), input.end(), random);
        BeginTreeScan("X:\\");
        for (const std::string &p : input)
            lstrcpynA(TreeNodes[TreeNodeCount++].name, p.c_str(), TREE_NAME_BYTES);
        SortTree(0, TreeNodeCount - 1);
        for (int i = 0; i < TreeNodeCount; i++)
            ASSERT_EQ(ordered[i], TreeNodes[i].name) << "arrangement " << arrangement << " index " << i;
    }
}

TEST_F(TreeTest, SaveThenLoadGivesTheSameTableAndTheSameBytes)
{
    TempDir temp;
    Dir root = Node("", {Node(HYOU, {Leaf(SO), Leaf("x", FILE_ATTRIBUTE_HIDDEN)}), Leaf("日本"), Node("a", {Leaf("b")})});
    Make(temp, "", root);
    ScanAsRoot(temp);
    std::vector<std::string> scanned = Snapshot();
    std::string first = temp.Full("one.dat"), second = temp.Full("two.dat");
    ASSERT_EQ(1, SaveTreeFile(first.c_str()));
    TreeNodeCount = 0;
    ASSERT_EQ(1, LoadTreeFile(first.c_str()));
    EXPECT_EQ(scanned, Snapshot());
    ASSERT_EQ(1, SaveTreeFile(second.c_str()));
    std::string a = ReadAll(first), b = ReadAll(second);
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
    // Saving over an existing (hidden) file replaces it.
    TreeNodeCount = 1;
    ASSERT_EQ(1, SaveTreeFile(first.c_str()));
    EXPECT_EQ(38u, ReadAll(first).size());
}

TEST_F(TreeTest, FailedSaveLeavesThePreviousFile)
{
    TempDir temp;
    ScanAsRoot(temp);
    std::string file = temp.Full("KLPTREE.DAT");
    ASSERT_EQ(1, SaveTreeFile(file.c_str()));
    std::string before = ReadAll(file);
    // A directory where the temporary file would go makes the write fail.
    temp.MakeDir("KLPTREE.TMP");
    BeginTreeScan("X:\\");
    strcpy(TreeNodes[1].name, "more");
    TreeNodes[1].depth = 1;
    TreeNodeCount = 2;
    EXPECT_EQ(0, SaveTreeFile(file.c_str()));
    EXPECT_EQ(before, ReadAll(file));
    EXPECT_EQ(0, SaveTreeFile(temp.Full("missing\\KLPTREE.DAT").c_str()));
}

TEST_F(TreeTest, EveryTruncationAndCorruptionIsRejected)
{
    TempDir temp;
    Make(temp, "", Node("", {Node("a", {Leaf("b")}), Leaf("c")}));
    ScanAsRoot(temp);
    std::string file = temp.Full("t.dat");
    ASSERT_EQ(1, SaveTreeFile(file.c_str()));
    const std::string good = ReadAll(file);
    ASSERT_EQ(24u + 4 * 14, good.size());
    for (size_t cut = 0; cut < good.size(); cut++) {
        WriteAll(file, good.substr(0, cut));
        TreeNodeCount = 99;
        EXPECT_EQ(0, LoadTreeFile(file.c_str())) << "cut at " << cut;
        EXPECT_EQ(0, TreeNodeCount) << "cut at " << cut;
    }
    auto patched = [&](size_t at, const std::string &bytes) {
        std::string data = good;
        data.replace(at, bytes.size(), bytes);
        return data;
    };
    // Offsets: count at 20; record 0 at 24 (length at 34); record 1 at 38 (depth 38, length 48).
    struct Corruption {
        const char *what;
        std::string data;
    } corruptions[] = {
        {"signature", patched(0, "KelpoTreeDatA")},
        {"count 0", patched(20, std::string("\0\0\0\0", 4))},
        {"count 2049", patched(20, std::string("\x01\x08\0\0", 4))},
        {"count huge", patched(20, "\xFF\xFF\xFF\xFF")},
        {"length 0", patched(34, std::string("\0\0", 2))},
        {"length 317", patched(34, std::string("\x3D\x01", 2))},
        {"length huge", patched(34, "\xFF\xFF")},
        {"name without zero", patched(37, "x")},
        {"root depth 1", patched(24, std::string("\x01\0", 2))},
        {"depth jumps by two", patched(38, std::string("\x02\0", 2))},
        {"depth negative", patched(38, "\xFF\xFF")},
        {"more nodes than records", patched(20, std::string("\x06\0\0\0", 4))},
    };
    for (const Corruption &c : corruptions) {
        WriteAll(file, c.data);
        TreeNodeCount = 99;
        EXPECT_EQ(0, LoadTreeFile(file.c_str())) << c.what;
        EXPECT_EQ(0, TreeNodeCount) << c.what;
    }
    // A huge count with data to match still stops at the table's end.
    std::string huge = patched(20, std::string("\x00\x10\0\0", 4));
    for (int i = 0; i < 5000; i++)
        huge += std::string("\x01\0\0\0\0\0\0\0\0\0\x02\0x\0", 14);
    WriteAll(file, huge);
    EXPECT_EQ(0, LoadTreeFile(file.c_str()));
    WriteAll(file, good);
    EXPECT_EQ(1, LoadTreeFile(file.c_str()));
    EXPECT_EQ(4, TreeNodeCount);
    EXPECT_EQ(0, LoadTreeFile(temp.Full("absent.dat").c_str()));
}

TEST_F(TreeTest, CacheFileNames)
{
    char savedDir[PATH_BUFFER];
    strcpy(savedDir, ProgramDir);
    strcpy(ProgramDir, "C:\\Tools\\Kelpo");
    DriveRecordCount = 4;
    memset(DriveRecords, 0, sizeof(DriveRecord) * 4);
    strcpy(DriveRecords[0].name, "C:");
    DriveRecords[0].kind = DRIVE_KIND_FIXED;
    strcpy(DriveRecords[1].name, "X:");
    DriveRecords[1].kind = DRIVE_KIND_NETWORK;
    DriveRecords[1].serial = 0x1234ABCD;
    strcpy(DriveRecords[2].name, "Q:");
    DriveRecords[2].kind = DRIVE_KIND_CDROM;
    DriveRecords[2].serial = 0xF000000F;
    strcpy(DriveRecords[2].label, "AB");               // '0'+'A' = 0x71 -> 1, '0'+'B' = 0x72 -> 2
    strcpy(DriveRecords[3].name, "A:");
    DriveRecords[3].kind = DRIVE_KIND_REMOVABLE;
    char path[PATH_BUFFER];
    TreeCacheName(0, path);
    EXPECT_STREQ("C:\\KLPTREE.DAT", path);
    TreeCacheName(1, path);
    EXPECT_STREQ("C:\\Tools\\Kelpo\\X234ABCD.DAT", path);
    TreeCacheName(2, path);
    EXPECT_STREQ("C:\\Tools\\Kelpo\\Q120000F.DAT", path);
    strcpy(DriveRecords[2].label, "LONGLABEL");          // seven digits change, the label's rest is unused
    TreeCacheName(2, path);
    // '0'+'L'=0x7C->C '0'+'O'=0x7F->F '0'+'N'=0x7E->E '0'+'G'=0x77->7 '0'+'L'->C '0'+'A'->1 'F'+'B'=0x88->8
    EXPECT_STREQ("C:\\Tools\\Kelpo\\QCFE7C18.DAT", path);
    TreeCacheName(3, path);
    EXPECT_STREQ("A:\\KLPTREE.DAT", path);
    strcpy(ProgramDir, savedDir);
    DriveRecordCount = 0;
}

TEST_F(TreeTest, PathHistoryOrderDuplicatesAndCapacity)
{
    Settings.historyCount = 0;
    char path[PATH_BUFFER];
    strcpy(path, "C:\\WORK\\");
    PushPathHistory(path);
    EXPECT_STREQ("C:\\WORK", path);                  // the caller's buffer loses its backslash
    strcpy(path, "C:\\");
    PushPathHistory(path);
    EXPECT_STREQ("C:\\", PathHistory[0]);            // a root keeps it
    strcpy(path, "C:\\WORK");
    PushPathHistory(path);
    ASSERT_EQ(2, Settings.historyCount);
    EXPECT_STREQ("C:\\WORK", PathHistory[0]);
    EXPECT_STREQ("C:\\", PathHistory[1]);
    for (int i = 0; i < 51; i++) {
        snprintf(path, sizeof path, "D:\\D%02d", i);
        PushPathHistory(path);
    }
    EXPECT_EQ(50, Settings.historyCount);
    EXPECT_STREQ("D:\\D50", PathHistory[0]);
    EXPECT_STREQ("D:\\D01", PathHistory[49]);        // D00 and the two older ones fell off
    strcpy(path, "D:\\D25");
    PushPathHistory(path);
    EXPECT_EQ(50, Settings.historyCount);
    EXPECT_STREQ("D:\\D25", PathHistory[0]);
    EXPECT_STREQ("D:\\D50", PathHistory[1]);
    EXPECT_STREQ("D:\\D01", PathHistory[49]);
    Settings.historyCount = 0;
}

TEST_F(TreeTest, ExpandDriveEntryAndDriveLine)
{
    for (int i = 0; i < 26; i++)
        snprintf(DriveLastPath[i], 1024, "%c:\\", 'A' + i);
    strcpy(DriveLastPath[3], "D:\\LAST\\ONE");
    struct Case {
        const char *typed, *expected;
    } cases[] = {
        {"d", "D:\\LAST\\ONE"},
        {"D:", "D:\\LAST\\ONE"},
        {"d:work", "D:\\LAST\\ONE"},                   // no "\" as third byte: a drive
        {"e", "E:\\"},
        {"C:\\Some\\Path", "C:\\Some\\Path"},          // used as typed
        {"C:\\Some\\Path\\", "C:\\Some\\Path\\"},
        {"C:\\Some\\Path\\..", "C:\\Some"},                // dots name the directories they stand for
        {"C:\\Some\\.\\Path\\.", "C:\\Some\\Path"},
        {"C:\\Some\\..\\..\\..", "C:\\"},
        {"C:\\\x83\x5C\\..\\\x95\x5C", "C:\\\x95\x5C"}, // second bytes 0x5C are no separators
        {"C:\\\x83\x5C\\.", "C:\\\x83\x5C"},
        {"\\\\server\\share", "\\"},          // refused later: no colon
        {"1", "1"},
        {"", ""},
    };
    for (const Case &c : cases) {
        char text[PATH_BUFFER];
        strcpy(text, c.typed);
        ExpandDriveEntry(text);
        EXPECT_STREQ(c.expected, text) << c.typed;
    }
    char line[TREE_DRIVE_COUNT + 1];
    DriveLetters(line);
    DWORD present = GetLogicalDrives();
    ASSERT_EQ(26u, strlen(line));
    for (int i = 0; i < 26; i++)
        EXPECT_EQ((present >> i) & 1 ? 'A' + i : 0xA5, (unsigned char)line[i]) << i;
}

} // namespace
