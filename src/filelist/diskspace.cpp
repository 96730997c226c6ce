#include "filelist/diskspace.h"
#include <string.h>

DiskInfo CurrentDisk;
DiskInfo DestinationDisk;

bool UsesVwin32Request(bool windows95Family, const char *fileSystemName, UINT driveType)
{
    return windows95Family && strcmp(fileSystemName, "FAT32") == 0 && driveType != DRIVE_REMOTE;
}

void DiskInfoFromExtendedFreeSpace(const BYTE *result, DiskInfo *info)
{
    memcpy(&info->sectorsPerCluster, result + 4, 4);
    memcpy(&info->bytesPerSector, result + 8, 4);
    memcpy(&info->freeClusters, result + 12, 4);
    memcpy(&info->totalClusters, result + 16, 4);
    unsigned long long cluster = (unsigned long long)info->sectorsPerCluster * info->bytesPerSector;
    info->freeBytes = cluster * info->freeClusters;
    info->totalBytes = cluster * info->totalClusters;
}

static bool IsWindows95Family()
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// DOS function 7303h through the VWIN32 device; only Windows 95 has the device, and only
// 32-bit code can pass it the register block.
static bool QueryExtendedFreeSpace(const char *root, DiskInfo *info)
{
#ifdef _WIN64
    (void)root;
    (void)info;
    return false;
#else
    struct Registers {
        DWORD ebx, edx, ecx, eax, edi, esi, flags;
    } regs;
    BYTE result[44];
    memset(result, 0, sizeof result);
    memset(&regs, 0, sizeof regs);
    regs.edx = (DWORD)(UINT_PTR)root;
    regs.ecx = sizeof result;
    regs.eax = 0x7303;
    regs.edi = (DWORD)(UINT_PTR)result;
    regs.flags = 1;
    HANDLE device = CreateFileA("\\\\.\\vwin32", 0, 0, NULL, 0, FILE_FLAG_DELETE_ON_CLOSE, NULL);
    if (device == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device, 6, &regs, sizeof regs, &regs, sizeof regs, &returned, NULL);
    CloseHandle(device);
    if (!ok || (regs.flags & 1))
        return false;
    DiskInfoFromExtendedFreeSpace(result, info);
    return true;
#endif
}

typedef BOOL(WINAPI *FreeSpaceExProc)(LPCSTR, ULARGE_INTEGER *, ULARGE_INTEGER *, ULARGE_INTEGER *);

// The cluster geometry from the classic query; the byte figures from the 64-bit query where
// the system has it, since the classic counts stop near 2 GB.
static bool QueryOrdinaryFreeSpace(const char *root, DiskInfo *info)
{
    DWORD spc, bps, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &spc, &bps, &freeClusters, &totalClusters))
        return false;
    info->sectorsPerCluster = spc;
    info->bytesPerSector = bps;
    info->freeClusters = freeClusters;
    info->totalClusters = totalClusters;
    unsigned long long cluster = (unsigned long long)spc * bps;
    info->freeBytes = cluster * freeClusters;
    info->totalBytes = cluster * totalClusters;

    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    FreeSpaceExProc freeSpaceEx =
        kernel ? (FreeSpaceExProc)(void *)GetProcAddress(kernel, "GetDiskFreeSpaceExA") : NULL;
    ULARGE_INTEGER available, total, totalFree;
    if (freeSpaceEx && freeSpaceEx(root, &available, &total, &totalFree)) {
        info->freeBytes = available.QuadPart;
        info->totalBytes = total.QuadPart;
        if (cluster) {
            unsigned long long f = available.QuadPart / cluster, t = total.QuadPart / cluster;
            info->freeClusters = f > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)f;
            info->totalClusters = t > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)t;
        }
    }
    return true;
}

bool QueryDiskSpace(const char *path, DiskInfo *info)
{
    memset(info, 0, sizeof *info);
    char letter = path[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) || path[1] != ':' ||
        (path[2] != '\\' && path[2] != '/' && path[2] != '\0'))
        return false;
    char root[4] = {letter, ':', '\\', '\0'};

    bool done = false;
    if (IsWindows95Family()) {
        char fileSystem[63] = "";
        if (GetVolumeInformationA(root, NULL, 0, NULL, NULL, NULL, fileSystem, sizeof fileSystem) &&
            UsesVwin32Request(true, fileSystem, GetDriveTypeA(root)))
            done = QueryExtendedFreeSpace(root, info);
    }
    if (!done)
        done = QueryOrdinaryFreeSpace(root, info);
    if (!done)
        memset(info, 0, sizeof *info);
    return done;
}

bool QueryCurrentDisk(const char *path, DWORD *clusterBytes)
{
    bool ok = QueryDiskSpace(path, &CurrentDisk);
    *clusterBytes = CurrentDisk.sectorsPerCluster * CurrentDisk.bytesPerSector;
    return ok;
}
