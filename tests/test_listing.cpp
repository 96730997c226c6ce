#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <stdio.h>
#include <set>
#include <string>
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "support/testutil.h"
#include "support/tablebuilder.h"

namespace {

struct Tables : testing::Environment {
    void SetUp() override { ASSERT_EQ(1, AllocateTables()); }
    void TearDown() override { FreeTables(); }
};
testing::Environment *const tables = testing::AddGlobalTestEnvironment(new Tables);

class Listing : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override
    {
        SetDefaultSettings();
        Settings.presort = 0;
        Settings.namesmall = 0;
        FileMask[0] = '\0';
        ReloadRequest = 0;
        CursorName[0] = '\0';
    }
    void List(const std::string &path)
    {
        strcpy(CurrentPath, path.c_str());
        ReadDirectory(0);
    }
    // The names in display order.
    std::set<std::string> Names()
    {
        std::vector<std::string> listed = ListedNames();
        return std::set<std::string>(listed.begin(), listed.end());
    }
    const FileEntry *Find(const char *name)
    {
        const FileEntry *found = nullptr;
        LockFileTable();
        for (int i = 0; i < EntryCount; i++)
            if (strcmp(LongNameAt(i), name) == 0)
                found = EntryAt(i);
        UnlockFileTable();
        return found;   // the block stays in place: it is only moved by reallocation, which never happens
    }
};

TEST(SortKey, CutsTheLastExtensionFromTheThirdCharacterOn)
{
    char key[1024];
    MakeSortKey("a.txt", key);
    EXPECT_STREQ("A.TXT", key);
    MakeSortKey("ab.txt", key);
    EXPECT_STREQ("AB", key);
    MakeSortKey(".profile", key);
    EXPECT_STREQ(".PROFILE", key);
    MakeSortKey("archive.tar.gz", key);
    EXPECT_STREQ("ARCHIVE.TAR", key);
    MakeSortKey("noext", key);
    EXPECT_STREQ("NOEXT", key);
    // "ソ" ends in 0x5C, "ｶ" is a single byte; a dot after a double-byte character still splits.
    MakeSortKey("ソース.c", key);
    EXPECT_STREQ("ソース", key);
    MakeSortKey("ﾃｽﾄ.txt", key);
    EXPECT_STREQ("ﾃｽﾄ", key);
}

TEST_F(Listing, RecordsFlagsSizesAndTotals)
{
    temp.MakeDir("subdir");
    temp.MakeFile("five.dat", std::string(5000, 'x'));
    temp.MakeFile("empty.txt", "");
    temp.MakeFile("ro.txt", "abc", FILE_ATTRIBUTE_READONLY);
    temp.MakeFile("hidden.sys", "ab", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    temp.MakeFile("日本語のファイル名.txt", "1234567");
    List(temp.path);

    ASSERT_EQ(0, NoFiles);
    EXPECT_EQ(temp.path + "\\", std::string(CurrentPath));
    std::set<std::string> names = Names();
    EXPECT_EQ(1u, names.count("日本語のファイル名.txt"));
    EXPECT_EQ(1u, names.count("subdir"));

    const FileEntry *dot = Find(".");
    const FileEntry *dotdot = Find("..");
    ASSERT_TRUE(dot && dotdot);
    EXPECT_EQ(0x0201u, dot->EntryFlags & EF_SORTCLASS_MASK);
    EXPECT_EQ(0x0101u, dotdot->EntryFlags & EF_SORTCLASS_MASK);
    EXPECT_EQ(1, HasDotNames);

    const FileEntry *ro = Find("ro.txt");
    ASSERT_TRUE(ro);
    EXPECT_EQ(EF_READONLY, ro->EntryFlags & EF_SORTCLASS_MASK);
    EXPECT_GT(ro->EntryFlags & EF_SORTCLASS_MASK, Find("subdir")->EntryFlags & EF_SORTCLASS_MASK);
    EXPECT_EQ((DWORD)(EF_HIDDEN | EF_SYSTEM), Find("hidden.sys")->EntryFlags & EF_SORTCLASS_MASK);
    EXPECT_STREQ("TXT", ro->shortExt);
    EXPECT_EQ(5000u, Find("five.dat")->sizeLow);

    // Sort keys sit at the long name's offset in the second pool.
    LockFileTable();
    const FileEntry *five = Find("five.dat");
    EXPECT_STREQ("FIVE", g_baseNamePool + five->nameOffset);
    UnlockFileTable();

    ASSERT_GT(ClusterBytes, 0u);
    double expectBytes = 5000 + 0 + 3 + 2 + 7;
    EXPECT_EQ(expectBytes, TotalBytes);
    double rounded = 0;
    for (DWORD size : {5000u, 0u, 3u, 2u, 7u})
        rounded += size == 0 ? 0.0 : (double)((size + ClusterBytes - 1) / ClusterBytes * ClusterBytes);
    // Directories report size 0 and add nothing.
    EXPECT_EQ(rounded, TotalAllocated);
    EXPECT_EQ(8, EntryCount);   // ".", "..", subdir and five files
}

TEST_F(Listing, ClusterRoundingOfOneSize)
{
    DWORD saved = ClusterBytes;
    ClusterBytes = 4096;
    EXPECT_EQ(8192.0, RoundToCluster(5000));
    EXPECT_EQ(4096.0, RoundToCluster(4096));
    EXPECT_EQ(0.0, RoundToCluster(0));
    EXPECT_EQ(4294967296.0, RoundToCluster(0xFFFFFFFFu));
    ClusterBytes = saved;
}

TEST_F(Listing, PlaceholderForMissingDirectoryAndForEmptyMatch)
{
    List("\\\\server\\share");
    EXPECT_EQ(1, NoFiles);
    EXPECT_EQ(1, EntryCount);
    LockFileTable();
    EXPECT_STREQ("ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ", LongNameAt(0));
    EXPECT_STREQ("ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ", EntryAt(0)->shortName);
    EXPECT_EQ(0u, EntryAt(0)->EntryFlags);
    UnlockFileTable();
    // A directory that is gone: its longest existing part is listed instead.
    temp.MakeFile("here.txt", "h");
    List(temp.path + "\\no-such-dir\\deeper");
    EXPECT_EQ(temp.path + "\\", std::string(CurrentPath));
    EXPECT_EQ(0, NoFiles);
    EXPECT_LE(0, FindPositionByName("here.txt"));
    DeleteFileA(temp.Full("here.txt").c_str());

    temp.MakeFile("a.txt", "a");
    strcpy(FileMask, "*.nomatch");
    List(temp.path);
    EXPECT_EQ(1, NoFiles);
    LockFileTable();
    EXPECT_STREQ("ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ", LongNameAt(0));
    UnlockFileTable();

    strcpy(FileMask, "*.*");
    List(temp.path);
    EXPECT_EQ(0, NoFiles);
    EXPECT_STREQ("", FileMask);
    EXPECT_EQ(1u, Names().count("a.txt"));
}

TEST_F(Listing, NameSmallLowersShortNamesButNotExtensions)
{
    temp.MakeFile("README.TXT", "x");
    Settings.namesmall = 1;
    List(temp.path);
    const FileEntry *e = Find("README.TXT");
    ASSERT_TRUE(e);
    EXPECT_STREQ("readme.txt", e->shortName);
    EXPECT_STREQ("TXT", e->shortExt);
}

TEST_F(Listing, DriveLastPathKeepsTheListedPath)
{
    List(temp.path + "\\");
    int drive = (temp.path[0] & 0xDF) - 'A';
    EXPECT_EQ(temp.path, std::string(DriveLastPath[drive]));
}

TEST_F(Listing, TheTableHoldsAtMost16384Records)
{
    for (int i = 0; i < 16385 - 2; i++) {   // with "." and ".." the directory has 16,385 entries
        char name[32];
        snprintf(name, sizeof name, "f%05d", i);
        HANDLE h = CreateFileA(temp.Full(name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        CloseHandle(h);
    }
    List(temp.path);
    EXPECT_EQ(16384, EntryCount);
    EXPECT_EQ(0, NoFiles);
    std::set<std::string> names = Names();
    EXPECT_EQ(16384u, names.size());
}

TEST_F(Listing, NamePoolFillsBeforeTheRecordLimit)
{
    std::string stem(200, 'n');   // with the temporary folder the path stays below MAX_PATH
    int files = 262144 / 206 + 20;
    for (int i = 0; i < files; i++) {
        char suffix[16];
        snprintf(suffix, sizeof suffix, "%05d", i);
        HANDLE h = CreateFileA(temp.Full(stem + suffix).c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << i;
        CloseHandle(h);
    }
    List(temp.path);
    EXPECT_LT(EntryCount, files + 2);
    EXPECT_LT(NamePoolUsed, 262144u);
    EXPECT_GE(NamePoolUsed + 206, 262144u);   // the next name would not have fit
    LockFileTable();
    for (int i = 0; i < EntryCount; i++)
        ASSERT_LT(EntryAt(i)->nameOffset + strlen(LongNameAt(i)), 262144u);
    UnlockFileTable();
}

TEST_F(Listing, VolumeLabelIsTheFirstRecordOfTheRoot)
{
    char label[64] = "", fs[64];
    DWORD serial, maxLen, flags;
    ASSERT_TRUE(GetVolumeInformationA("C:\\", label, sizeof label, &serial, &maxLen, &flags, fs, sizeof fs));
    std::string saved = label;
    if (!SetVolumeLabelA("C:\\", "KELPOVOLUME15CH"))
        GTEST_SKIP() << "this drive takes no label";
    char now[64] = "";
    GetVolumeInformationA("C:\\", now, sizeof now, &serial, &maxLen, &flags, fs, sizeof fs);
    if (strcmp(now, "KELPOVOLUME15CH") != 0) {
        // Some Wine drives store a label but do not report it back.
        SetVolumeLabelA("C:\\", saved.c_str());
        if (saved.empty())
            DeleteFileA("C:\\.windows-label");
        GTEST_SKIP() << "this drive does not report the label it was given";
    }
    List("C:\\");
    SetVolumeLabelA("C:\\", saved.c_str());
    if (saved.empty())
        DeleteFileA("C:\\.windows-label");
    ASSERT_EQ(0, NoFiles);
    LockFileTable();
    EXPECT_EQ(0, OrderIndex[0]);
    EXPECT_EQ((DWORD)EF_VOLUME, g_entries[0].EntryFlags);
    EXPECT_STREQ("KELPOVOLUME15CH", g_namePool + g_entries[0].nameOffset);
    EXPECT_STREQ("KELPOVOLUME1", g_entries[0].shortName);
    UnlockFileTable();
    EXPECT_STREQ("KELPOVOLUME15CH", VolumeName);
}

TEST_F(Listing, ReloadPutsTheCursorOnTheRememberedName)
{
    for (const char *n : {"a1", "a2", "a3", "a4"})
        temp.MakeFile(n, "x");
    strcpy(CurrentPath, temp.path.c_str());
    ReloadRequest = 1;
    ApplyReloadRequest();
    EXPECT_EQ(1, CursorSlot);   // "." and ".." come first: the cursor skips to the second place
    EXPECT_EQ(0, ReloadRequest);

    Settings.dispmode = 1;
    Settings.disprow = 2;
    strcpy(CursorName, "a3");
    ReloadRequest = 2;
    ApplyReloadRequest();
    LockFileTable();
    EXPECT_STREQ("a3", LongNameAt(PageTop + CursorSlot));
    UnlockFileTable();
    EXPECT_EQ(0, PageTop % 2);

    strcpy(CursorName, "gone");
    ReloadRequest = 3;
    ApplyReloadRequest();
    EXPECT_EQ(0, PageTop);
    EXPECT_EQ(0, CursorSlot);
}

// A file of 4 GiB and more counts with its whole size in the totals (a sparse file: no disk used).
TEST_F(Listing, FilesOfFourGibibytesAndMoreCountWhole)
{
    std::string huge = temp.MakeFile("huge.bin", "");
    HANDLE file = CreateFileA(huge.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    LONG high = 1;
    SetFilePointer(file, 50, &high, FILE_BEGIN);
    bool sized = SetEndOfFile(file) != 0;
    CloseHandle(file);
    if (!sized)
        GTEST_SKIP() << "this file system does not take a 4 GiB file";
    temp.MakeFile("small.txt", std::string(10, 's'));
    List(temp.path);
    const FileEntry *entry = Find("huge.bin");
    ASSERT_TRUE(entry);
    EXPECT_EQ(1u, entry->sizeHigh);
    EXPECT_EQ(50u, entry->sizeLow);
    EXPECT_EQ(4294967296.0 + 50 + 10, TotalBytes);
    EXPECT_GE(TotalAllocated, 4294967296.0 + 50);
}

TEST_F(Listing, ToggleMarkKeepsTheMarkedTotals)
{
    temp.MakeFile("m1", std::string(100, 'x'));
    temp.MakeDir("d1");
    Settings.dirmark = 0;
    List(temp.path);
    LockFileTable();
    int fileAt = -1, dirAt = -1, dotAt = -1;
    for (int i = 0; i < EntryCount; i++) {
        if (strcmp(LongNameAt(i), "m1") == 0) fileAt = i;
        if (strcmp(LongNameAt(i), "d1") == 0) dirAt = i;
        if (strcmp(LongNameAt(i), "..") == 0) dotAt = i;
    }
    UnlockFileTable();
    Settings.dispmode = 5;
    Settings.disprow = 30;
    PageTop = 0;
    CursorSlot = fileAt;
    ToggleMark(PageTop + CursorSlot);
    EXPECT_EQ(1, MarkedCount);
    EXPECT_EQ(100.0, MarkedBytes);
    EXPECT_EQ(RoundToCluster(100), MarkedAllocated);
    CursorSlot = dirAt;
    ToggleMark(PageTop + CursorSlot);
    EXPECT_EQ(1, MarkedCount);   // directories only with dirmark
    Settings.dirmark = 1;
    ToggleMark(PageTop + CursorSlot);
    EXPECT_EQ(2, MarkedCount);
    CursorSlot = dotAt;
    ToggleMark(PageTop + CursorSlot);
    EXPECT_EQ(2, MarkedCount);   // never ".."
    CursorSlot = fileAt;
    ToggleMark(PageTop + CursorSlot);
    EXPECT_EQ(1, MarkedCount);
    EXPECT_EQ(0.0, MarkedBytes);
    EXPECT_EQ(0.0, MarkedAllocated);
}

} // namespace
