// Free space and cluster size of a drive.
#pragma once
#include <windows.h>

// The figures of one drive. The cluster counts are 32-bit; free and total bytes are exact
// 64-bit numbers and are what every display and comparison of space uses.
struct DiskInfo {
    DWORD bytesPerSector;
    DWORD sectorsPerCluster;
    DWORD freeClusters;
    DWORD totalClusters;
    unsigned long long freeBytes;
    unsigned long long totalBytes;
};

extern DiskInfo CurrentDisk;        // the drive of the current path
extern DiskInfo DestinationDisk;    // the destination drive of a copy or move

// Fills info for the drive of path ("X:\..." only); all values 0 and false on failure.
bool QueryDiskSpace(const char *path, DiskInfo *info);

// QueryDiskSpace into CurrentDisk, giving the cluster size; the directory read's cluster query.
bool QueryCurrentDisk(const char *path, DWORD *clusterBytes);

// Whether the Windows 95 VWIN32 request is the one to use for a drive.
bool UsesVwin32Request(bool windows95Family, const char *fileSystemName, UINT driveType);

// Takes the first four 32-bit values of the 44-byte result of DOS function 7303h.
void DiskInfoFromExtendedFreeSpace(const BYTE *result, DiskInfo *info);
