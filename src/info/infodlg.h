// The information dialog: drives with their labels, space and clusters, the memory, and the
// system (computer, user, processor, Windows version).
#pragma once
#include <windows.h>

enum { INFO_DRIVE_MAX = 26 };

struct InfoDrive {
    char name[3];               // "C:"
    char label[21];
    DWORD serial;
    int type;                   // drive type - 2: 0 removable, 1 fixed, 2 remote, 3 CD-ROM, 4 RAM disk
    char fileSystem[21];
    char remoteName[80];
    BYTE valid;
};

// Every drive whose volume can be read, in letter order; selected: the one of CurrentPath, or 0.
int CollectInfoDrives(InfoDrive *drives, int *selected);

// A size in the unit of infounit (0 MB, 1 KB, 2 bytes), rounded, grouped by thousands.
void FormatInfoSize(double bytes, int unit, char *out);
const char *InfoUnitName(int unit);
void ProcessorName(DWORD type, char *out);      // out: at least 32 bytes
void WindowsVersionText(const OSVERSIONINFOA *version, char *out);   // out: at least 160 bytes
// Total and available physical memory, exact above 4 GiB where the system can tell.
void PhysicalMemory(double *total, double *available, DWORD *load);

// Opens dialog 20018; 1 after OK, 0 after Cancel.
int RunInfoDialog(HWND owner);
// The Info command (letter I).
void InfoCommand(HWND hwnd);
