// The program's global state: fixed tables allocated once at start-up and never grown.
#pragma once
#include <windows.h>

enum {
    MAX_ENTRIES = 16384,
    NAME_POOL_BYTES = 524288,
    NAME_POOL_FILL_LIMIT = 262144,   // ReadDirectory fills at most one byte less
    PATH_HISTORY_COUNT = 50,
    EXTCMD_COUNT = 52,
    EXTCMD_LINE = 512,
    EXTCMD_TITLE = 32,
    EXTCMD_DIR = 270,
    INPUT_HISTORY_COUNT = 20,
    INPUT_HISTORY_ITEM = 261,
};

extern HINSTANCE g_instance;
extern HWND g_mainWnd;
extern HACCEL g_accel;
extern int WinVersion;              // major * 100 + minor
extern BYTE CfgFileMode;            // " /r": settings in Kelpo.CFG for this run
extern BYTE UninstallMode;          // " /u"
extern char VersionText[8];

// Movable blocks of the FileTable: lock all three (in this order) around every access.
extern HGLOBAL g_fileEntryBlock, g_namePoolBlock, g_baseNamePoolBlock;

extern char *g_scratch[3];
extern char *ProgramDir;
extern char *CommandLineCopy;
extern char *EditorPath;
extern char *ViewerFilePath;
extern char *FileMask;
extern char *UnpackDestination;
extern char *CurrentPath;
extern char *AnnouncedPath;
extern char *CursorName;
extern char *DialogText;
extern char *TreePath;
extern WORD *OrderIndex;
extern char *VolumeName;
extern char *FileSystemName;
extern char (*PathHistory)[1024];
extern char (*DriveLastPath)[1024];
extern char *FontFaceName;
extern char (*ExtCommandLine)[EXTCMD_LINE];
extern char (*ExtCommandTitle)[EXTCMD_TITLE];
extern char (*ExtCommandDir)[EXTCMD_DIR];
extern char *ExtViewerPath;
extern char *ExtArchiverPath;
extern char (*CommandHistory)[INPUT_HISTORY_ITEM];
extern char (*PackHistory)[INPUT_HISTORY_ITEM];

// The shown page and the cursor in it: the cursor entry is OrderIndex[PageTop + CursorSlot].
extern int PageTop;
extern int CursorSlot;
extern int PrevSlot;              // slot drawn with the cursor bar last, -1 = none
extern int PerPage;               // columns * rows
extern int ScreenMode;            // 0 file list, 1 viewer
extern BYTE ForceShift;           // the next key counts as shifted
extern BYTE FromFunctionKey;      // the command letter came from a function key
extern BYTE BusyFlag;             // a long operation runs; input other than Esc is ignored
extern BYTE AbortFlag;            // Esc was pressed during a long operation

// Drive icons by drive kind (0 removable, 1 fixed, 2 remote, 3 CD-ROM, 4 RAM disk), loaded
// when the main window is created.
extern HICON TreeIcons[5];

int AllocateTables();
void FreeTables();
