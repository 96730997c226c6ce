#include "tree/tree.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "tree_ids.h"
#include <stdio.h>
#include <string.h>

DriveRecord DriveRecords[TREE_DRIVE_COUNT];
int DriveRecordCount;
TreeNode *TreeNodes;
int TreeNodeCount;

static HGLOBAL nodeBlock;
static int scanDepth;
// A scan shows its progress and looks for a key at most this often: a window update and a
// queue look-up per directory would cost more than the directory search itself.
enum { SCAN_PROGRESS_MS = 100, SCAN_KEY_MS = 25 };
static DWORD lastProgress, lastKeyCheck;
static bool progressShown, keyChecked;

int AllocateTreeTable()
{
    FreeTreeTable();
    nodeBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, TREE_MAX_NODES * sizeof(TreeNode));
    if (!nodeBlock)
        return 0;
    TreeNodes = (TreeNode *)GlobalLock(nodeBlock);
    if (!TreeNodes) {
        GlobalFree(nodeBlock);
        nodeBlock = NULL;
        return 0;
    }
    TreeNodeCount = 0;
    return 1;
}

void FreeTreeTable()
{
    if (nodeBlock) {
        GlobalUnlock(nodeBlock);
        GlobalFree(nodeBlock);
    }
    nodeBlock = NULL;
    TreeNodes = NULL;
    TreeNodeCount = 0;
}

// ---- drives ----

int QueryVolume(int drive)
{
    if (drive < 0 || drive >= DriveRecordCount)
        return 0;
    DriveRecord *r = &DriveRecords[drive];
    char root[4] = {r->name[0], ':', '\\', '\0'};
    DWORD serial = 0, maxLength = 0, flags = 0;
    char label[sizeof r->label] = "", fileSystem[sizeof r->fileSystem] = "";
    // No "insert a disk" box from the system for an empty drive: the failure is enough.
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL ok = GetVolumeInformationA(root, label, sizeof label, &serial, &maxLength, &flags, fileSystem,
                                    sizeof fileSystem);
    SetErrorMode(oldMode);
    if (ok) {
        memcpy(r->label, label, sizeof label);
        r->label[sizeof r->label - 1] = '\0';
        memcpy(r->fileSystem, fileSystem, sizeof fileSystem);
        r->fileSystem[sizeof r->fileSystem - 1] = '\0';
        r->serial = serial;
        r->volumeValid = 1;
    }
    return r->volumeValid;
}

void BuildDriveRecords(HWND dialog)
{
    memset(DriveRecords, 0, sizeof DriveRecords);
    DriveRecordCount = 0;
    DWORD present = GetLogicalDrives();
    for (int letter = 0; letter < TREE_DRIVE_COUNT; letter++) {
        if (!(present & (1u << letter)))
            continue;
        char root[4] = {(char)('A' + letter), ':', '\\', '\0'};
        UINT type = GetDriveTypeA(root);
        if (type < DRIVE_REMOVABLE)
            continue;
        int index = DriveRecordCount++;
        DriveRecord *r = &DriveRecords[index];
        snprintf(r->name, sizeof r->name, "%c:", 'A' + letter);
        r->kind = type - DRIVE_REMOVABLE;
        if (r->kind > DRIVE_KIND_RAMDISK)
            r->kind = DRIVE_KIND_RAMDISK;
        if (r->kind == DRIVE_KIND_FIXED || r->kind == DRIVE_KIND_NETWORK)
            QueryVolume(index);
        if (r->kind == DRIVE_KIND_NETWORK) {
            DWORD size = sizeof r->networkName;
            DWORD error = WNetGetConnectionA(r->name, r->networkName, &size);
            if (error != NO_ERROR) {
                r->networkName[0] = '\0';
                SetLastError(error);
                ShowLastError(dialog, "WNetGetConnection", NULL, NULL);
            }
        }
    }
}

char UpperDriveLetter(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

int FindDriveRecord(char letter)
{
    letter = UpperDriveLetter(letter);
    for (int i = 0; i < DriveRecordCount; i++)
        if (DriveRecords[i].name[0] == letter)
            return i;
    return -1;
}

// ---- the scan ----

void BeginTreeScan(const char *root)
{
    memset(&TreeNodes[0], 0, sizeof TreeNodes[0]);
    lstrcpynA(TreeNodes[0].name, root, sizeof TreeNodes[0].name);
    TreeNodeCount = 1;
    scanDepth = 0;
    progressShown = keyChecked = false;
}

static bool PollDue(bool *done, DWORD *last, DWORD interval)
{
    DWORD now = GetTickCount();
    if (*done && now - *last < interval)
        return false;
    *done = true;
    *last = now;
    return true;
}

static void ShowScanProgress(HWND dialog, const char *directory)
{
    if (!dialog || !PollDue(&progressShown, &lastProgress, SCAN_PROGRESS_MS))
        return;
    SetDlgItemTextA(dialog, IDC_TREE_PATH, directory);
    HWND field = GetDlgItem(dialog, IDC_TREE_PATH);
    if (field)
        UpdateWindow(field);
}

static bool KeyStopsScan(HWND dialog)
{
    if (!dialog || !PollDue(&keyChecked, &lastKeyCheck, SCAN_KEY_MS))
        return false;
    MSG msg;
    return PeekMessageA(&msg, dialog, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE) != 0;
}

static bool IsDotName(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

int ScanTree(HWND dialog, const char *directory)
{
    ShowScanProgress(dialog, directory);
    char pattern[TREE_NAME_BYTES + 8];
    snprintf(pattern, sizeof pattern, "%s\\*.*", directory);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    scanDepth++;
    size_t length = strlen(directory);
    int result = 1;
    do {
        if (KeyStopsScan(dialog)) {
            result = 0;
            break;
        }
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotName(found.cFileName)) {
            size_t nameLength = strlen(found.cFileName);
            if (length + nameLength + 1 < TREE_SCAN_PATH_LIMIT) {
                // A subdirectory met with the table already full is not appended past its end.
                if (TreeNodeCount >= TREE_MAX_NODES) {
                    result = 0;
                    break;
                }
                TreeNode *node = &TreeNodes[TreeNodeCount++];
                memcpy(node->name, directory, length);
                node->name[length] = '\\';
                memcpy(node->name + length + 1, found.cFileName, nameLength + 1);
                node->depth = scanDepth;
                node->attributes = found.dwFileAttributes;
                node->lineMask = 0;
                // A link to a directory is shown but not followed: a link back up never ends.
                if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && !ScanTree(dialog, node->name)) {
                    result = 0;
                    break;
                }
            }
        }
        if (TreeNodeCount >= TREE_MAX_NODES) {
            result = 0;
            break;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    scanDepth--;
    return result;
}

// ---- order ----

static const char *NextSeparator(const char *p)
{
    while (*p && *p != '\\')
        p += CharLength(p);
    return p;
}

// The locale's comparison of two path components, remembering the last pair: while the sort
// compares a run of nodes of one subtree with its pivot, the same pair differs again and again.
static int CompareComponents(const char *a, int lengthA, const char *b, int lengthB)
{
    static char lastA[TREE_NAME_BYTES], lastB[TREE_NAME_BYTES];
    static int lastLengthA = -1, lastLengthB = -1, lastOrder;
    if (lengthA == lastLengthA && lengthB == lastLengthB && memcmp(a, lastA, lengthA) == 0 &&
        memcmp(b, lastB, lengthB) == 0)
        return lastOrder;
    int order = CompareStringA(LOCALE_USER_DEFAULT, 0, a, lengthA, b, lengthB) - CSTR_EQUAL;
    if (lengthA <= TREE_NAME_BYTES && lengthB <= TREE_NAME_BYTES) {
        memcpy(lastA, a, lengthA);
        memcpy(lastB, b, lengthB);
        lastLengthA = lengthA;
        lastLengthB = lengthB;
        lastOrder = order;
    }
    return order;
}

int ComparePaths(const char *a, const char *b)
{
    for (;;) {
        const char *endA = NextSeparator(a), *endB = NextSeparator(b);
        int lengthA = (int)(endA - a), lengthB = (int)(endB - b);
        // Equal bytes compare equal: the locale's comparison is needed only where they differ.
        if (lengthA != lengthB || memcmp(a, b, lengthA) != 0) {
            int order = CompareComponents(a, lengthA, b, lengthB);
            if (order != 0)
                return order;
        }
        if (!*endA)
            return *endB ? -1 : 0;
        if (!*endB)
            return 1;
        a = endA + 1;
        b = endB + 1;
        if (!*a || !*b)
            return 0;
    }
}

static void SwapNodes(int i, int j)
{
    TreeNode t = TreeNodes[i];
    TreeNodes[i] = TreeNodes[j];
    TreeNodes[j] = t;
}

void SortTree(int lo, int hi)
{
    while (hi > lo) {
        if (hi - lo == 1) {
            if (ComparePaths(TreeNodes[lo].name, TreeNodes[hi].name) > 0)
                SwapNodes(lo, hi);
            return;
        }
        // The middle node is the pivot, so a table that comes in order (as directory searches
        // on many file systems return it) does not take quadratic time. With three or more
        // nodes the middle is never node 0, so the root, equal to every node, stays in place.
        SwapNodes(lo + (hi - lo) / 2, hi);
        const char *pivot = TreeNodes[hi].name;
        int i = lo, j = hi;
        for (;;) {
            while (i < j && ComparePaths(TreeNodes[i].name, pivot) <= 0)
                i++;
            while (j > i && ComparePaths(TreeNodes[j].name, pivot) >= 0)
                j--;
            if (i >= j)
                break;
            SwapNodes(i, j);
        }
        SwapNodes(i, hi);
        if (i - lo < hi - i) {
            SortTree(lo, i - 1);
            lo = i + 1;
        } else {
            SortTree(i + 1, hi);
            hi = i - 1;
        }
    }
}

void ReduceToNames()
{
    if (TreeNodeCount < 1)
        return;
    strcpy(TreeNodes[0].name, "\\");
    for (int i = 1; i < TreeNodeCount; i++) {
        char *name = TreeNodes[i].name;
        const char *last = NULL;
        for (const char *p = name; *p; p += CharLength(p))
            if (*p == '\\')
                last = p;
        if (last)
            memmove(name, last + 1, strlen(last + 1) + 1);
    }
}

void ComputeLineMasks()
{
    if (TreeNodeCount < 1)
        return;
    TreeNodes[0].lineMask = 0;
    for (int i = 1; i < TreeNodeCount; i++) {
        DWORD mask = 0;
        int m = TreeNodes[i].depth;
        for (int j = i + 1; j < TreeNodeCount; j++) {
            int d = TreeNodes[j].depth;
            if (d >= 1 && d <= m) {
                if (d <= 32)
                    mask |= 1u << (d - 1);
                m = d;
                if (m == 1)
                    break;      // nothing later can add a bit
            }
        }
        TreeNodes[i].lineMask = mask;
    }
}

void LoadOrScanDrive(HWND dialog, int drive, int force)
{
    if (!TreeNodes || drive < 0 || drive >= DriveRecordCount)
        return;
    if (dialog) {
        SetDlgItemTextA(dialog, IDC_TREE_STATUS, "ﾃﾞｨﾚｸﾄﾘ読込中...");
        SendDlgItemMessageA(dialog, IDC_TREE_LIST, LB_RESETCONTENT, 0, 0);
        HWND status = GetDlgItem(dialog, IDC_TREE_STATUS);
        if (status)
            UpdateWindow(status);
    }
    DriveRecord *r = &DriveRecords[drive];
    if (!r->volumeValid)
        QueryVolume(drive);
    if (!force && LoadTreeCache(drive))
        return;
    char root[4] = {r->name[0], ':', '\\', '\0'};
    BeginTreeScan(root);
    ScanTree(dialog, r->name);
    SortTree(0, TreeNodeCount - 1);
    ReduceToNames();
    ComputeLineMasks();
}
