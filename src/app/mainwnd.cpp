#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "app/app.h"
#include "app/mainwnd.h"
#include "app/globals.h"
#include "app/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "resource.h"

BYTE ResizePending;
BYTE InCreate;
int ScreenMode;
static UINT_PTR clockTimer;

void RepaintGrid(HWND hwnd)
{
    ApplyReloadRequest();
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
}

void RepaintAll(HWND hwnd)
{
    ApplyReloadRequest();
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
}

static void OnCreate(HWND hwnd)
{
    g_mainWnd = hwnd;
    ResizePending = 0;
    PageTop = PrevSlot = CursorSlot = 0;
    InCreate = 1;
    ReloadRequest = 0;
    ScreenMode = 0;
    FileMask[0] = '\0';
    for (int i = 0; i < 26; i++)
        snprintf(DriveLastPath[i], 1024, "%c:\\", 'A' + i);
    SetDefaultSettings();
    LoadSettings();
    if (CurrentPath[0] == '\0')
        strcpy(CurrentPath, ProgramDir);
    StripBackslash(CurrentPath);
    if (!ValidatePath(CurrentPath, NULL)) {
        GetWindowsDirectoryA(CurrentPath, PATH_BUFFER);
        CurrentPath[3] = '\0';
    }
    clockTimer = SetTimer(hwnd, 1, 1000, NULL);
    ReadDirectory(0);
    InCreate = 0;
}

static void OnDestroy(HWND hwnd)
{
    if (clockTimer)
        KillTimer(hwnd, 1);
    clockTimer = 0;
    SaveSettings();
    PostQuitMessage(0);
}

// Simple listing until the full text screen is drawn: one name per line.
static void OnPaint(HWND hwnd)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH back = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(dc, &rc, back);
    DeleteObject(back);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 255, 255));
    TextOutA(dc, 4, 4, CurrentPath, (int)strlen(CurrentPath));
    LockFileTable();
    for (int i = 0; i < EntryCount && i < 30; i++) {
        const char *name = LongNameAt(i);
        SetTextColor(dc, (EntryAt(i)->EntryFlags & EF_DIRECTORY) ? RGB(0, 255, 255) : RGB(255, 255, 0));
        TextOutA(dc, 4, 24 + i * 16, name, (int)strlen(name));
    }
    UnlockFileTable();
    EndPaint(hwnd, &ps);
}

LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        OnCreate(hwnd);
        return 0;
    case WM_DESTROY:
        OnDestroy(hwnd);
        return 0;
    case WM_PAINT:
        OnPaint(hwnd);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDM_EXIT:
        case IDM_CLOSE_NOW:
            DestroyWindow(hwnd);
            return 0;
        case IDM_HELP:
            ShowHelp();
            return 0;
        }
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}
