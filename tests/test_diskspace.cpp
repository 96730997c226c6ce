#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include "filelist/diskspace.h"
#include "support/testutil.h"

static void Garbage(DiskInfo *info)
{
    memset(info, 0x5A, sizeof *info);
}

static void ExpectAllZero(const DiskInfo &info)
{
    EXPECT_EQ(0u, info.bytesPerSector);
    EXPECT_EQ(0u, info.sectorsPerCluster);
    EXPECT_EQ(0u, info.freeClusters);
    EXPECT_EQ(0u, info.totalClusters);
    EXPECT_EQ(0ull, info.freeBytes);
    EXPECT_EQ(0ull, info.totalBytes);
}

TEST(DiskSpace, LocalDriveGivesExactByteFigures)
{
    TempDir dir;
    std::string path = dir.path + "\\";
    DiskInfo info;
    Garbage(&info);
    ASSERT_TRUE(QueryDiskSpace(path.c_str(), &info));
    char root[4] = {path[0], ':', '\\', 0};
    ULARGE_INTEGER available, total, totalFree;
    ASSERT_TRUE(GetDiskFreeSpaceExA(root, &available, &total, &totalFree));
    DWORD spc, bps, freeClusters, totalClusters;
    ASSERT_TRUE(GetDiskFreeSpaceA(root, &spc, &bps, &freeClusters, &totalClusters));

    EXPECT_EQ(spc, info.sectorsPerCluster);
    EXPECT_EQ(bps, info.bytesPerSector);
    EXPECT_EQ(total.QuadPart, info.totalBytes);
    // Other programs write to the same disk meanwhile; a 2 GB cap or a lost high word would be far off.
    unsigned long long gap = available.QuadPart > info.freeBytes ? available.QuadPart - info.freeBytes
                                                                  : info.freeBytes - available.QuadPart;
    EXPECT_LT(gap, 256ull << 20);
    EXPECT_LE(info.freeBytes, info.totalBytes);
    unsigned long long cluster = (unsigned long long)spc * bps;
    ASSERT_GT(cluster, 0ull);
    unsigned long long expectedTotalClusters = total.QuadPart / cluster;
    EXPECT_EQ(expectedTotalClusters > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)expectedTotalClusters,
              info.totalClusters);

    // A path of two characters names the same drive root.
    DiskInfo bare;
    char drive[3] = {path[0], ':', 0};
    ASSERT_TRUE(QueryDiskSpace(drive, &bare));
    EXPECT_EQ(info.totalBytes, bare.totalBytes);

    DWORD clusterBytes = 0;
    memset(&CurrentDisk, 0, sizeof CurrentDisk);
    EXPECT_TRUE(QueryCurrentDisk(path.c_str(), &clusterBytes));
    EXPECT_EQ((DWORD)cluster, clusterBytes);
    EXPECT_EQ(info.totalBytes, CurrentDisk.totalBytes);
}

TEST(DiskSpace, PathsWithoutADriveRootFailWithZeros)
{
    DiskInfo info;
    const char *paths[] = {"\\\\server\\share\\dir", "", "C", "relative\\dir", "1:\\"};
    for (const char *p : paths) {
        Garbage(&info);
        EXPECT_FALSE(QueryDiskSpace(p, &info)) << p;
        ExpectAllZero(info);
    }
    DWORD drives = GetLogicalDrives();
    int unused = 25;
    while (unused >= 0 && (drives & (1u << unused)))
        unused--;
    ASSERT_GE(unused, 0);
    char missing[8] = {(char)('A' + unused), ':', '\\', 'x', 0};
    Garbage(&info);
    EXPECT_FALSE(QueryDiskSpace(missing, &info)) << missing;
    ExpectAllZero(info);
    DWORD clusterBytes = 99;
    EXPECT_FALSE(QueryCurrentDisk(missing, &clusterBytes));
    EXPECT_EQ(0u, clusterBytes);
}

TEST(DiskSpace, Vwin32RequestOnlyForLocalFat32OnWindows95)
{
    EXPECT_TRUE(UsesVwin32Request(true, "FAT32", DRIVE_FIXED));
    EXPECT_TRUE(UsesVwin32Request(true, "FAT32", DRIVE_REMOVABLE));
    EXPECT_FALSE(UsesVwin32Request(true, "FAT32", DRIVE_REMOTE));
    EXPECT_FALSE(UsesVwin32Request(true, "FAT", DRIVE_FIXED));
    EXPECT_FALSE(UsesVwin32Request(true, "NTFS", DRIVE_FIXED));
    EXPECT_FALSE(UsesVwin32Request(false, "FAT32", DRIVE_FIXED));
}

TEST(DiskSpace, ExtendedFreeSpaceOfAnEightGigabyteDrive)
{
    // 8 GB FAT32 with 4 KB clusters: 8 sectors of 512 bytes.
    BYTE result[44];
    memset(result, 0xEE, sizeof result);
    const DWORD values[4] = {8, 512, 1500000, 2000000};
    result[0] = 44;
    result[1] = 0;
    result[2] = result[3] = 0;
    memcpy(result + 4, values, sizeof values);
    DiskInfo info;
    Garbage(&info);
    DiskInfoFromExtendedFreeSpace(result, &info);
    EXPECT_EQ(8u, info.sectorsPerCluster);
    EXPECT_EQ(512u, info.bytesPerSector);
    EXPECT_EQ(1500000u, info.freeClusters);
    EXPECT_EQ(2000000u, info.totalClusters);
    EXPECT_EQ(6144000000ull, info.freeBytes);
    EXPECT_EQ(8192000000ull, info.totalBytes);
}
