// Opening and closing the viewer, and its keys, letters and accelerator commands.
#include "viewer/viewer.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "config/settings.h"
#include "extcmd/launch.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include "resource.h"
#include <string.h>

static void ReportLoadError(HWND hwnd, const char *operation)
{
    SetLastError(ViewerLoadError);
    ShowLastError(hwnd, operation, ViewerFilePath, NULL);
}

// The cursor entry's long name when it can be viewed: not ".", "..", a directory or the volume label.
static bool ViewableCursorEntry(char *name)
{
    if (NoFiles || PageTop + CursorSlot >= EntryCount)
        return false;
    LockFileTable();
    const FileEntry *e = EntryAt(PageTop + CursorSlot);
    bool viewable = !IsDotEntry(e) && !(e->EntryFlags & (EF_DIRECTORY | EF_VOLUME));
    lstrcpynA(name, LongNameAt(PageTop + CursorSlot), PATH_BUFFER);
    UnlockFileTable();
    return viewable;
}

void ViewCommand(HWND hwnd)
{
    char name[PATH_BUFFER];
    if (ScreenMode != 0 || !ViewableCursorEntry(name))
        return;
    char path[PATH_BUFFER];
    lstrcpynA(path, CurrentPath, sizeof path);
    AppendBackslash(path);
    if (strlen(path) + strlen(name) >= sizeof path)
        return;
    strcat(path, name);
    strcpy(ViewerFilePath, path);
    strcpy(CursorName, name);
    ShortenPath(ViewerFilePath, ViewerHeaderName, VIEWER_HEADER_WIDTH);
    if (!AllocateViewerBuffer()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        ShowLastError(hwnd, "GlobalAlloc", ViewerFilePath, NULL);
        return;
    }
    ViewerLineCount = 0;
    ViewerTop = 0;
    ScreenMode = 1;
    UpdateMenuState(hwnd);
    ShowHourglass();
    int result = LoadViewerText(hwnd, -1);
    HideHourglass();
    if (result == VIEWER_LOAD_FAILED) {
        // Nothing was drawn yet: the list stays as it was.
        FreeViewerBuffer();
        ScreenMode = 0;
        UpdateMenuState(hwnd);
        ReportLoadError(hwnd, "CreateFile");
        return;
    }
    if (result == VIEWER_LOAD_PAINTED) {
        WindowFontDC dc(hwnd);
        if (dc)
            DrawLineNumber(dc);
    } else {
        RepaintAll(hwnd);
    }
    if (ViewerLoadError)
        ReportLoadError(hwnd, "ReadFile");
}

void CloseViewer(HWND hwnd)
{
    if (ScreenMode != 1)
        return;
    FreeViewerBuffer();
    ScreenMode = 0;
    UpdateMenuState(hwnd);
    RepaintAll(hwnd);
}

void ViewerGoTo(HWND hwnd, int top)
{
    int largest = ViewerLargestTop();
    if (top > largest)
        top = largest;
    if (top < 0)
        top = 0;
    if (top == ViewerTop)
        return;
    ViewerTop = top;
    DrawViewerPage(hwnd);
}

// Reads the file again in another form or tab width; when it can no longer be opened the
// old lines stay and false is returned.
static bool ReloadViewer(HWND hwnd, int form)
{
    int oldTop = ViewerTop;
    ViewerTop = 0;
    ShowHourglass();
    int result = LoadViewerText(hwnd, form);
    HideHourglass();
    if (result == VIEWER_LOAD_FAILED) {
        ViewerTop = oldTop;
        ReportLoadError(hwnd, "CreateFile");
        return false;
    }
    RepaintAll(hwnd);
    if (ViewerLoadError)
        ReportLoadError(hwnd, "ReadFile");
    return true;
}

static void ToggleHexForm(HWND hwnd)
{
    HexForm = !HexForm;
    if (!ReloadViewer(hwnd, HexForm))
        HexForm = !HexForm;
}

static void SetTabWidth(HWND hwnd, int tab)
{
    if (HexForm || Settings.tab == tab)
        return;
    BYTE old = Settings.tab;
    Settings.tab = (BYTE)tab;
    if (!ReloadViewer(hwnd, 0))
        Settings.tab = old;
}

bool ViewerKey(HWND hwnd, UINT vk, bool shifted, bool repeated)
{
    if (ScreenMode != 1)
        return false;
    int page = ViewerPageLines();
    int step = shifted ? 5 : repeated ? 2 : 1;
    switch (vk) {
    case VK_ESCAPE:
        // Reached without the accelerator when the right mouse button closes the viewer.
        CloseViewer(hwnd);
        return true;
    case VK_RETURN:
        if (shifted)
            PostMessageA(hwnd, WM_CHAR, 'E', 0);
        else
            CloseViewer(hwnd);
        return true;
    case VK_UP:
        ViewerGoTo(hwnd, ViewerTop - step);
        return true;
    case VK_DOWN:
        ViewerGoTo(hwnd, ViewerTop + step);
        return true;
    case VK_LEFT:
        ViewerGoTo(hwnd, shifted ? 0 : ViewerTop - page / 2);
        return true;
    case VK_RIGHT:
        ViewerGoTo(hwnd, shifted ? ViewerLargestTop() : ViewerTop + page / 2);
        return true;
    case VK_PRIOR:
        ViewerGoTo(hwnd, shifted ? 0 : ViewerTop - page);
        return true;
    case VK_NEXT:
        ViewerGoTo(hwnd, shifted ? ViewerLargestTop() : ViewerTop + page);
        return true;
    }
    return false;
}

bool ViewerLetter(HWND hwnd, char c)
{
    if (ScreenMode != 1)
        return false;
    if (c >= 'a' && c <= 'z')
        c = (char)(c - 'a' + 'A');
    switch (c) {
    case '2':
    case '4':
    case '8':
        SetTabWidth(hwnd, c - '0');
        return true;
    case 'V':
        Settings.viewcr = !Settings.viewcr;
        DrawViewerPage(hwnd);
        return true;
    case 'E':
        RunEditor(hwnd, 0, ViewerFirstLineForEditor());
        return true;
    }
    return false;
}

bool ViewerCommand(HWND hwnd, int id, bool shifted)
{
    if (ScreenMode != 1)
        return false;
    switch (id) {
    case IDM_ESCAPE:
    case IDM_ESCAPE_CHAR:
        CloseViewer(hwnd);
        return true;
    case IDM_TAB:
        ToggleHexForm(hwnd);
        return true;
    case IDM_GOTO_FIRST:
    case IDM_GOTO_FIRST_CTRL_T:
    case IDM_HOME:
    case IDM_MARK_ALL:
    case IDM_INVERT_MARKS:
        ViewerGoTo(hwnd, 0);
        return true;
    case IDM_GOTO_END:
    case IDM_GOTO_LAST:
    case IDM_SHIFT_HOME:
    case IDM_SHIFT_END:
        ViewerGoTo(hwnd, ViewerLargestTop());
        return true;
    case IDM_PAGE_DOWN:
    case IDM_SHIFT_PAGE_DOWN:
        return ViewerKey(hwnd, VK_DOWN, true, false);
    case IDM_PAGE_UP:
    case IDM_SHIFT_PAGE_UP:
        return ViewerKey(hwnd, VK_UP, true, false);
    case IDM_CURSOR_UP:
        return ViewerKey(hwnd, VK_UP, shifted, false);
    case IDM_CURSOR_DOWN:
        return ViewerKey(hwnd, VK_DOWN, shifted, false);
    case IDM_VK_LEFT:
        return ViewerKey(hwnd, VK_LEFT, shifted, false);
    case IDM_CURSOR_RIGHT:
        return ViewerKey(hwnd, VK_RIGHT, shifted, false);
    case IDM_ENTER:
        return ViewerKey(hwnd, VK_RETURN, shifted, false);
    case IDM_SHIFT_ENTER:
        return ViewerKey(hwnd, VK_RETURN, true, false);
    }
    return false;
}

int ViewerFirstLineForEditor()
{
    return ScreenMode == 1 && !HexForm ? ViewerTop : -1;
}
