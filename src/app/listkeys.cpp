#include "archive/archiver.h"
#include <windows.h>
#include <string.h>
#include "app/listkeys.h"
#include "extcmd/launch.h"
#include "app/dispatch.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/frame.h"
#include "screen/keybar.h"
#include "screen/screendc.h"
#include "base/commands.h"

// Sends a key to the window as if Shift were held: how the page accelerators reuse the arrows.
static void SendShiftedKey(HWND hwnd, UINT vk)
{
    ForceShift = 1;
    SendMessageA(hwnd, WM_KELPO_KEY, vk, 0);
    ForceShift = 0;
}

void RedrawMarkFigures(HWND hwnd, int slot, int position)
{
    WindowFontDC dc(hwnd);
    DrawMarkSign(dc, slot, position);
    DrawMarkedFigures(dc);
}

static void MarkAndAdvance(HWND hwnd, int mode)
{
    if (NoFiles)
        return;
    int slot = CursorSlot, position = PageTop + CursorSlot;
    ToggleMark(position);
    RedrawMarkFigures(hwnd, slot, position);
    AdvanceAfterMark(mode);
}

void RedrawKeyBar(HWND hwnd, bool shifted)
{
    WindowFontDC dc(hwnd);
    DrawKeyBar(dc, shifted, -1);
}

static void EnterOnCursorEntry(HWND hwnd)
{
    if (NoFiles)
        return;
    LockFileTable();
    const FileEntry *e = EntryAt(PageTop + CursorSlot);
    DWORD flags = e->EntryFlags;
    char name[PATH_BUFFER], ext[8];
    lstrcpynA(name, LongNameAt(PageTop + CursorSlot), sizeof name);
    lstrcpynA(ext, e->shortExt, sizeof ext);
    UnlockFileTable();
    if (flags & EF_DIRECTORY) {
        if (IsShifted())
            RunEditor(hwnd, 1, -1);
        else if (EnterDirectory(name))
            ListChangedDirectory(0);
        return;
    }
    if (flags & EF_VOLUME)
        return;
    UpperAscii(ext);
    if ((!strcmp(ext, "LZH") && ArchiverAvailable[ARC_LZH]) || (!strcmp(ext, "ZIP") && ArchiverAvailable[ARC_ZIP]))
        PostMessageA(hwnd, WM_CHAR, 'U', 0);
    else if (!strcmp(ext, "EXE") || !strcmp(ext, "COM") || !strcmp(ext, "PIF") || !strcmp(ext, "LNK"))
        PostMessageA(hwnd, WM_CHAR, 'X', 0);
    else if (IsShifted())
        RunEditor(hwnd, 0, -1);
    else if (!OpenExternalViewer(hwnd))
        PostMessageA(hwnd, WM_CHAR, 'V', 0);
}

bool RunListLetter(HWND hwnd, char letter)
{
    if (letter == '1' || letter == '2' || letter == '3' || letter == '5') {
        SetColumns(letter - '0');
        UpdateViewMenu(hwnd);
        return true;
    }
    return false;
}

bool RunListCommand(HWND hwnd, int id)
{
    if (ScreenMode != 0)
        return false;
    switch (id) {
    case IDM_GOTO_LAST:
    case IDM_GOTO_END:
        GoToLast();
        return true;
    case IDM_GOTO_FIRST:
    case IDM_GOTO_FIRST_CTRL_T:
        GoToFirst();
        return true;
    case IDM_PAGE_DOWN:
    case IDM_SHIFT_PAGE_DOWN:
        SendShiftedKey(hwnd, VK_DOWN);
        return true;
    case IDM_PAGE_UP:
    case IDM_SHIFT_PAGE_UP:
        SendShiftedKey(hwnd, VK_UP);
        return true;
    case IDM_CURSOR_RIGHT:
        SendMessageA(hwnd, WM_KELPO_KEY, VK_RIGHT, 0);
        return true;
    case IDM_CURSOR_UP:
        SendMessageA(hwnd, WM_KELPO_KEY, VK_UP, 0);
        return true;
    case IDM_VK_LEFT:
        SendMessageA(hwnd, WM_KELPO_KEY, VK_LEFT, 0);
        return true;
    case IDM_CURSOR_DOWN:
        SendMessageA(hwnd, WM_KELPO_KEY, VK_DOWN, 0);
        return true;
    case IDM_BACK:
        SendMessageA(hwnd, WM_KELPO_KEY, VK_BACK, 0);
        return true;
    case IDM_ENTER:
        SendMessageA(hwnd, WM_KELPO_KEY, VK_RETURN, 0);
        return true;
    case IDM_SHIFT_ENTER:
        SendShiftedKey(hwnd, VK_RETURN);
        return true;
    case IDM_MARK_HERE:
    case IDM_TAB:
    case IDM_CTRL_TAB:
        MarkAndAdvance(hwnd, 0);
        return true;
    case IDM_SPACE:
        MarkAndAdvance(hwnd, MarkAdvanceMode(0));
        return true;
    case IDM_CTRL_SPACE:
        MarkAndAdvance(hwnd, MarkAdvanceMode(1));
        return true;
    case IDM_SHIFT_TAB:
        MarkAndAdvance(hwnd, 1);
        return true;
    case IDM_MARK_ADVANCE_PAGES:
    case IDM_SHIFT_CTRL_TAB:
        MarkAndAdvance(hwnd, 2);
        return true;
    case IDM_MARK_ALL:
    case IDM_HOME:
    case IDM_INVERT_MARKS:
    case IDM_SHIFT_HOME:
    case IDM_SHIFT_END:
        MarkAll(id);
        return true;
    case IDM_TOGGLE_REALSIZE:
        Settings.realsize = !Settings.realsize;
        RepaintAll(hwnd);
        return true;
    case IDM_COLUMNS_1:
    case IDM_COLUMNS_2:
    case IDM_COLUMNS_3:
    case IDM_COLUMNS_5: {
        static const int columns[4] = {1, 2, 3, 5};
        SetColumnsFromMenu(columns[id - IDM_COLUMNS_1]);
        UpdateViewMenu(hwnd);
        return true;
    }
    case IDM_SUBMODE_CLASSIC:
    case IDM_SUBMODE_EXT1:
    case IDM_SUBMODE_EXT2:
        SetColumnsFromMenu(16 + id - IDM_SUBMODE_CLASSIC);
        UpdateViewMenu(hwnd);
        return true;
    }
    return false;
}

bool RunListKey(HWND hwnd, UINT vk)
{
    if (ScreenMode != 0)
        return false;
    int shifted = IsShifted() ? 1 : 0;
    switch (vk) {
    case VK_UP:
        MoveCursor(-1, shifted);
        return true;
    case VK_DOWN:
        MoveCursor(1, shifted);
        return true;
    case VK_LEFT:
        MoveCursor(-(int)Settings.disprow, shifted);
        return true;
    case VK_RIGHT:
        MoveCursor(Settings.disprow, shifted);
        return true;
    case VK_PRIOR:
        MoveCursor(-1, 1);
        return true;
    case VK_NEXT:
        MoveCursor(1, 1);
        return true;
    case VK_RETURN:
        EnterOnCursorEntry(hwnd);
        return true;
    case VK_BACK:
        if (GoToParent())
            ListChangedDirectory(-1);
        return true;
    case VK_DELETE:
        PostMessageA(hwnd, WM_CHAR, 'D', 0);
        return true;
    case VK_SHIFT:
        RedrawKeyBar(hwnd, true);
        return true;
    }
    return false;
}

bool RunListKeyUp(HWND hwnd, UINT vk)
{
    if (vk == VK_SHIFT && ScreenMode == 0) {
        RedrawKeyBar(hwnd, false);
        return true;
    }
    return false;
}
