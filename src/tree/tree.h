// The directory tree: the drive records, the node table with its scan, order and line masks,
// the tree cache file of each drive, the tree dialog and the Tree and Logdsk commands.
#pragma once
#include <windows.h>

enum {
    TREE_MAX_NODES = 2048,
    TREE_NAME_BYTES = 316,
    TREE_SCAN_PATH_LIMIT = 314,     // a directory whose path would be this long or longer is skipped
    TREE_DRIVE_COUNT = 26,
    TREE_FILE_PREVIEW = 20,
};

// Drive kinds: GetDriveType - 2.
enum { DRIVE_KIND_REMOVABLE, DRIVE_KIND_FIXED, DRIVE_KIND_NETWORK, DRIVE_KIND_CDROM, DRIVE_KIND_RAMDISK };

struct DriveRecord {
    char name[3];               // "X:"
    char label[20];
    DWORD serial;
    int kind;
    char fileSystem[20];
    char networkName[80];
    BYTE volumeValid;           // 1 once GetVolumeInformation has succeeded
};

struct TreeNode {
    int depth;                  // 0 the root
    DWORD attributes;           // as the directory search returned them; root 0
    DWORD lineMask;             // bit k: the vertical line of depth k + 1 passes through the row
    char name[TREE_NAME_BYTES]; // full path while scanning, the last component afterwards
};

extern DriveRecord DriveRecords[TREE_DRIVE_COUNT];
extern int DriveRecordCount;
extern TreeNode *TreeNodes;     // locked view of the node table while it exists, else null
extern int TreeNodeCount;

// Opens the tree (or, with treemode 1, the common Open dialog) starting from path (a buffer of
// 1,024 bytes). Returns 1 when a directory was chosen; path then holds it.
int OpenDirectoryTree(HWND owner, char *path);

// A typed destination (a buffer of at least 512 bytes): a text shorter than 3 bytes or without
// "\" as its third byte names a drive and becomes the last directory listed on that drive.
void ExpandDriveEntry(char *text);

// The 26-character drive line (letter or middle dot 0xA5) and a terminating zero.
void DriveLetters(char *buffer);

// Sets up the path entry of a destination dialog: the drive line IDC_DRIVE_LINE as "<A･C…>"
// in a 10-point fixed-pitch font, the current directory (without its final backslash) first
// in the path history, and the combo box IDC_PATH_COMBO (at most 511 typed bytes) listing the
// history with the first entry shown. ReleasePathEntry, on WM_DESTROY, deletes the font.
void InitPathEntry(HWND dialog);
void ReleasePathEntry(HWND dialog);

// The node table: one zero-filled movable block of TREE_MAX_NODES nodes, locked while it exists.
int AllocateTreeTable();
void FreeTreeTable();

// Fills DriveRecords from the drives present; volume information now only for fixed and
// network drives. dialog (may be null) owns the report of a failed network-name query.
void BuildDriveRecords(HWND dialog);
int FindDriveRecord(char letter);           // index or -1
char UpperDriveLetter(char c);              // a-z to A-Z, anything else as it is
int QueryVolume(int drive);                 // 1 when the volume information is valid

// Scanning. ScanTree appends the subdirectories of directory (no trailing backslash) below
// the nodes already present, one depth further than the last call level; 1 complete,
// 0 stopped by a key press (dialog non-null) or a full table.
void BeginTreeScan(const char *root);       // node 0 = root ("X:\"), count 1, depth 0
int ScanTree(HWND dialog, const char *directory);
int ComparePaths(const char *a, const char *b);
void SortTree(int first, int last);
void ReduceToNames();
void ComputeLineMasks();

// The tree cache file of a drive.
void TreeCacheName(int drive, char *path);  // path: 1,024 bytes
int LoadTreeCache(int drive);
void SaveTreeCache(HWND owner, int drive);
// The same on an explicit file: 1 on success. A failed save leaves the previous file alone.
int LoadTreeFile(const char *path);
int SaveTreeFile(const char *path);

// Fills the node table for a drive: its cache unless force or the cache is unreadable, else a
// scan. dialog (may be null) shows the progress.
void LoadOrScanDrive(HWND dialog, int drive, int force);

// The dialogs themselves: 1 on OK. The tree dialog starts from TreePath and leaves the
// chosen directory there; Logdsk changes CurrentPath (and the process's current directory).
int RunTreeDialog(HWND owner);
int RunLogdskDialog(HWND owner, int openTreeAtOnce);

// The Tree (T) and Logdsk (L) commands on the main window; Logdsk with Shift opens the tree at once.
void TreeCommand(HWND hwnd);
void LogdskCommand(HWND hwnd);
