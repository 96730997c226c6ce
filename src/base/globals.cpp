#include "base/globals.h"

HINSTANCE g_instance;
HWND g_mainWnd;
HACCEL g_accel;
int WinVersion;
BYTE CfgFileMode;
BYTE UninstallMode;
char VersionText[8] = "1.00";

HICON TreeIcons[5];
int PageTop;
int CursorSlot;
int PrevSlot = -1;
int PerPage;
int ScreenMode;
BYTE ForceShift;
BYTE FromFunctionKey;
BYTE BusyFlag;
BYTE AbortFlag;

HGLOBAL g_fileEntryBlock, g_namePoolBlock, g_baseNamePoolBlock;
char *g_scratch[3];
char *ProgramDir, *CommandLineCopy, *EditorPath, *ViewerFilePath, *FileMask, *UnpackDestination;
char *CurrentPath, *AnnouncedPath, *CursorName, *DialogText, *TreePath;
WORD *OrderIndex;
char *VolumeName, *FileSystemName;
char (*PathHistory)[1024];
char (*DriveLastPath)[1024];
char *FontFaceName;
char (*ExtCommandLine)[EXTCMD_LINE];
char (*ExtCommandTitle)[EXTCMD_TITLE];
char (*ExtCommandDir)[EXTCMD_DIR];
char *ExtViewerPath, *ExtArchiverPath;
char (*CommandHistory)[INPUT_HISTORY_ITEM];
char (*PackHistory)[INPUT_HISTORY_ITEM];

// The fixed local tables in the order of allocation; released in reverse order.
struct LocalTable {
    void **slot;
    UINT size;
};

static const LocalTable localTables[] = {
    {(void **)&g_scratch[0], 1024},
    {(void **)&g_scratch[1], 1024},
    {(void **)&g_scratch[2], 1024},
    {(void **)&ProgramDir, 1024},
    {(void **)&CommandLineCopy, 1024},
    {(void **)&EditorPath, 1024},
    {(void **)&ViewerFilePath, 1024},
    {(void **)&FileMask, 1024},
    {(void **)&UnpackDestination, 1024},
    {(void **)&CurrentPath, 1024},
    {(void **)&AnnouncedPath, 1024},
    {(void **)&CursorName, 1024},
    {(void **)&DialogText, 1024},
    {(void **)&TreePath, 1024},
    {(void **)&OrderIndex, MAX_ENTRIES * 2},
    {(void **)&VolumeName, 256},
    {(void **)&FileSystemName, 256},
    {(void **)&PathHistory, PATH_HISTORY_COUNT * 1024},
    {(void **)&DriveLastPath, 26 * 1024},
    {(void **)&FontFaceName, 256},
    {(void **)&ExtCommandLine, EXTCMD_COUNT * EXTCMD_LINE},
    {(void **)&ExtCommandTitle, EXTCMD_COUNT * EXTCMD_TITLE},
    {(void **)&ExtCommandDir, EXTCMD_COUNT * EXTCMD_DIR},
    {(void **)&ExtViewerPath, 1024},
    {(void **)&ExtArchiverPath, 1024},
    {(void **)&CommandHistory, INPUT_HISTORY_COUNT * INPUT_HISTORY_ITEM},
    {(void **)&PackHistory, INPUT_HISTORY_COUNT * INPUT_HISTORY_ITEM},
};

// Set by tests to make the n-th allocation fail (0 = never).
int g_failAllocationAt;
static int allocationCount;

static bool AllocationAllowed()
{
    return g_failAllocationAt == 0 || ++allocationCount < g_failAllocationAt;
}

int AllocateTables()
{
    allocationCount = 0;
    HGLOBAL *blocks[] = {&g_fileEntryBlock, &g_namePoolBlock, &g_baseNamePoolBlock};
    const DWORD blockSizes[] = {MAX_ENTRIES * 68, NAME_POOL_BYTES, NAME_POOL_BYTES};
    for (int i = 0; i < 3; i++) {
        *blocks[i] = AllocationAllowed() ? GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, blockSizes[i]) : NULL;
        if (!*blocks[i])
            return 0;
    }
    for (const LocalTable &t : localTables) {
        *t.slot = AllocationAllowed() ? (void *)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, t.size) : NULL;
        if (!*t.slot)
            return 0;
    }
    return 1;
}

void FreeTables()
{
    for (int i = (int)(sizeof localTables / sizeof localTables[0]) - 1; i >= 0; i--) {
        if (*localTables[i].slot) {
            LocalFree((HLOCAL)*localTables[i].slot);
            *localTables[i].slot = NULL;
        }
    }
    HGLOBAL *blocks[] = {&g_baseNamePoolBlock, &g_namePoolBlock, &g_fileEntryBlock};
    for (HGLOBAL *b : blocks) {
        if (*b) {
            GlobalFree(*b);
            *b = NULL;
        }
    }
}
