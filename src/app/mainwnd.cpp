#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "app/app.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "app/dispatch.h"
#include "app/copies.h"
#include "app/mouse.h"
#include "maint/uninstall.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "filelist/watch.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "base/commands.h"
#include "viewer/viewer.h"

BYTE ResizePending;
BYTE InCreate;
static UINT_PTR clockTimer;

void StoreWindowRect(HWND hwnd)
{
    if (IsIconic(hwnd) || IsZoomed(hwnd))
        return;
    RECT r;
    GetWindowRect(hwnd, &r);
    Settings.px = r.left;
    Settings.py = r.top;
    Settings.sx = r.right - r.left;
    Settings.sy = r.bottom - r.top;
}

bool StoredPlaceIsVisible(int x, int y, int width, const RECT &desktop)
{
    // Enough of the caption must lie on the desktop for the window to be dragged back.
    const int grip = 32;
    RECT caption = {x, y, x + width, y + GetSystemMetrics(SM_CYCAPTION)}, shown;
    return IntersectRect(&shown, &caption, &desktop) && shown.right - shown.left >= grip && y >= desktop.top;
}

// The whole desktop over every monitor; the primary screen where the system knows no more.
static RECT DesktopRect()
{
    enum { X_VIRTUAL = 76, Y_VIRTUAL = 77, CX_VIRTUAL = 78, CY_VIRTUAL = 79 };
    RECT r = {GetSystemMetrics(X_VIRTUAL), GetSystemMetrics(Y_VIRTUAL), 0, 0};
    int width = GetSystemMetrics(CX_VIRTUAL), height = GetSystemMetrics(CY_VIRTUAL);
    if (width <= 0 || height <= 0) {
        SetRect(&r, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
        return r;
    }
    r.right = r.left + width;
    r.bottom = r.top + height;
    return r;
}

static void ShowProgressNotice(const char *text)
{
    StatusLine(NULL, text);
}

static void CompleteResize(HWND hwnd)
{
    if (ResizePending && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
        ResizePending = 0;
        // As after a resize without dragging: the cursor stays on its entry.
        RememberCursorEntry();
        ReloadRequest = 2;
        ApplyRowCount(hwnd);
        SaveSettings();
    }
}

// " /u": the uninstall run instead of the filer; the window closes when it is done.
static void OnCreateForUninstall(HWND hwnd)
{
    g_mainWnd = hwnd;
    int copies = 0;
    EnumWindows(CountCopies, (LPARAM)&copies);
    RunUninstall(hwnd, copies);
    PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

static void OnCreate(HWND hwnd)
{
    if (UninstallMode) {
        OnCreateForUninstall(hwnd);
        return;
    }
    g_mainWnd = hwnd;
    ResizePending = 0;
    FromFunctionKey = 0;
    PageTop = PrevSlot = CursorSlot = 0;
    InCreate = 1;
    ReloadRequest = 0;
    if (WinVersion < 400)
        EnableMenuItem(GetMenu(hwnd), IDM_EXPLORER, MF_BYCOMMAND | MF_GRAYED);
    ScreenMode = 0;
    FileMask[0] = '\0';
    for (int i = 0; i < 5; i++)
        TreeIcons[i] = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_DRIVE_REMOVABLE + i));
    for (int i = 0; i < 26; i++)
        snprintf(DriveLastPath[i], 1024, "%c:\\", 'A' + i);
    SetDefaultSettings();
    LoadSettings();
    RegisterForUninstall(ProgramDir);
    UpdateRowsMenu(hwnd);
    CreateScreenFonts();
    ScreenRecordReset(Settings.disprow);
    UpdateViewMenu(hwnd);
    InstallHeaderDrawers();
    DirectoryChangeAnnouncer = AnnounceDirectory;
    ProgressNotice = ShowProgressNotice;
    AltOverlay = -1;
    StripBackslash(CurrentPath);
    // The stored directory may lie on a drive that is gone since (a card, a network drive).
    if (!ValidatePath(CurrentPath, NULL) || GetFileAttributesA(CurrentPath) == INVALID_FILE_ATTRIBUTES) {
        GetWindowsDirectoryA(CurrentPath, PATH_BUFFER);
        CurrentPath[3] = '\0';
    }
    clockTimer = SetTimer(hwnd, 1, 1000, NULL);
    int others = RebuildWindowMenu(NULL, 0);
    int width, height;
    ComputeWindowSize(&width, &height);
    // Later copies keep the place the system gave them, and so does a copy whose stored place
    // lies off the desktop (a screen given up since, a damaged value).
    if (others == 0 && (Settings.px || Settings.py) &&
        StoredPlaceIsVisible(Settings.px, Settings.py, width, DesktopRect()))
        SetWindowPos(hwnd, NULL, Settings.px, Settings.py, width, height, SWP_NOZORDER);
    else
        SetWindowPos(hwnd, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    ReadDirectory(0);
    InCreate = 0;
}

static void OnDestroy(HWND hwnd)
{
    if (UninstallMode) {
        PostQuitMessage(0);
        return;
    }
    if (HelpOpened) {
        char help[PATH_BUFFER + 16];
        snprintf(help, sizeof help, "%sKelpo.HLP", ProgramDir);
        WinHelpA(hwnd, help, HELP_QUIT, 0);
    }
    if (clockTimer)
        KillTimer(hwnd, 1);
    clockTimer = 0;
    StoreWindowRect(hwnd);
    SaveSettings();
    DeleteScreenFonts();
    NotifyOtherWindows(IDM_COPY_CLOSING);
    PostQuitMessage(0);
}

static void OnSize(HWND hwnd, WPARAM type, LPARAM lParam)
{
    if (type == SIZE_MINIMIZED || InCreate)
        return;
    int rows = (HIWORD(lParam) - TopOffset) / CellHeight - 9;
    if (rows < 6)
        rows = 6;
    if (rows == Settings.disprow && !ResizePending) {
        // The window already has this row count: nothing to snap.
        RECT client;
        GetClientRect(hwnd, &client);
        if (client.bottom == (rows + 9) * CellHeight + TopOffset)
            return;
    }
    Settings.disprow = (WORD)rows;
    ResizePending = 1;
    if (GetAsyncKeyState(VK_LBUTTON) & 0x8000)
        return;
    ResizePending = 0;
    SaveSettings();
    RememberCursorEntry();
    ReloadRequest = 2;
    ApplyRowCount(hwnd);
}

static void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    {
        SelectedObject font(dc, MainFont);
        if (ScreenMode == 0 && !UninstallMode) {
            PaintListScreen(hwnd, dc);
            PrevSlot = CursorSlot;
        } else {
            PaintViewerScreen(dc);
        }
    }
    EndPaint(hwnd, &ps);
}

static void OnEraseBackground(HWND hwnd, HDC dc)
{
    RECT r;
    GetClientRect(hwnd, &r);
    r.right++;
    r.bottom++;
    HBRUSH brush = CreateSolidBrush(SlotColor(ScreenMode ? CL_VIEWBK : CL_BACK));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    // Only the cells inside the paint's clipping were really erased.
    RECT erased;
    if (GetClipBox(dc, &erased) != ERROR && IntersectRect(&erased, &erased, &r))
        ScreenRecordErase(&erased);
}

void TimerTick(HWND hwnd)
{
    CompleteResize(hwnd);
    if (ScreenMode != 0)
        return;
    DrawTitleAndClock(hwnd);
    // While a command works through the list, or one of its dialogs is open, the list is not
    // read again: that would move the entries and clear the marks the command is about to use.
    // The change stays signalled and is taken up at the first tick afterwards.
    if (BusyFlag || !IsWindowEnabled(hwnd))
        return;
    int changed = PollWatchers();
    if (changed & WATCH_DIRECTORY)
        SendMessageA(hwnd, WM_COMMAND, IDM_REFRESH, 0);
    else if (changed & WATCH_DISK)
        DrawDiskFiguresNow(hwnd);
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        break;
    case WM_DESTROY:
        OnDestroy(hwnd);
        break;
    case WM_SIZE:
        OnSize(hwnd, wParam, lParam);
        break;
    case WM_GETMINMAXINFO: {
        MINMAXINFO *info = (MINMAXINFO *)lParam;
        if (Settings.sx > 0) {
            info->ptMaxSize.x = info->ptMinTrackSize.x = info->ptMaxTrackSize.x = Settings.sx;
            info->ptMinTrackSize.y = 17 * CellHeight;
        }
        break;
    }
    case WM_PAINT:
        OnPaint(hwnd);
        break;
    case WM_ERASEBKGND:
        OnEraseBackground(hwnd, (HDC)wParam);
        result = 1;
        break;
    case WM_TIMER:
        TimerTick(hwnd);
        break;
    case WM_ACTIVATE:
        if (LOWORD(lParam) == 0 && AltOverlay >= 0)
            CloseAltOverlay(hwnd);
        result = DefWindowProcA(hwnd, msg, wParam, lParam);
        break;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            DestroyWindow(hwnd);
        else
            result = DefWindowProcA(hwnd, msg, wParam, lParam);
        break;
    case WM_QUERYENDSESSION:
        StoreWindowRect(hwnd);
        SaveSettings();
        result = 1;
        break;
    case WM_ENDSESSION:
    case WM_MOVE:
        break;
    case WM_LBUTTONDOWN:
        OnLeftButtonDown(hwnd, wParam, lParam);
        break;
    case WM_LBUTTONDBLCLK:
        OnLeftDoubleClick(hwnd, wParam, lParam);
        break;
    case WM_RBUTTONDOWN:
        OnRightButtonDown(hwnd, wParam, lParam);
        break;
    case WM_RBUTTONUP:
        OnRightButtonUp(hwnd);
        break;
    case WM_LBUTTONUP:
        CompleteResize(hwnd);
        result = DefWindowProcA(hwnd, msg, wParam, lParam);
        break;
    case WM_COMMAND:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_KELPO_KEY:
        if (!DispatchInput(hwnd, msg, wParam, lParam))
            result = DefWindowProcA(hwnd, msg, wParam, lParam);
        break;
    default:
        result = DefWindowProcA(hwnd, msg, wParam, lParam);
        break;
    }
    FlushScreenDump();
    return result;
}
