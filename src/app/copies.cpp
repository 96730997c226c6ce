#include "app/copies.h"
#include "app/app.h"
#include "base/globals.h"
#include "base/commands.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

HWND OtherWindows[OTHER_WINDOWS_MAX];
int OtherWindowCount;
// The windows the menu items stand for, as of the last rebuild: a notice sent meanwhile refills
// OtherWindows in another order, and an item must still bring the copy it names.
static HWND menuWindows[OTHER_WINDOWS_MAX];

static bool IsCopyWindow(HWND window)
{
    char name[101];
    return GetClassNameA(window, name, sizeof name) && strcmp(name, MainClassName) == 0;
}

BOOL CALLBACK CollectOtherWindows(HWND window, LPARAM)
{
    if (window != g_mainWnd && IsCopyWindow(window) && OtherWindowCount < OTHER_WINDOWS_MAX)
        OtherWindows[OtherWindowCount++] = window;
    return TRUE;
}

BOOL CALLBACK CountCopies(HWND window, LPARAM count)
{
    if (IsCopyWindow(window))
        (*(int *)count)++;
    return TRUE;
}

static void FindOtherWindows()
{
    memset(OtherWindows, 0, sizeof OtherWindows);
    OtherWindowCount = 0;
    EnumWindows(CollectOtherWindows, 0);
}

void CopyItemText(int number, const char *title, char *item, size_t size)
{
    char shown[48];
    TruncateBytes(strlen(title) > 8 ? title + 8 : "", shown, 40);
    int length = snprintf(item, size, "&%d ", number);
    // A "&" of the directory is shown as itself, not taken for the item's access key.
    for (const char *p = shown; *p && (size_t)length + 3 < size; p++) {
        if (*p == '&')
            item[length++] = '&';
        item[length++] = *p;
    }
    item[length] = '\0';
}

int RebuildWindowMenu(HWND sender, int code)
{
    HMENU menu = g_mainWnd ? GetMenu(g_mainWnd) : NULL;
    if (menu) {
        for (int id = IDM_WINDOW_FIRST; id <= IDM_WINDOW_LAST; id++)
            DeleteMenu(menu, id, MF_BYCOMMAND);
        DrawMenuBar(g_mainWnd);
    }
    FindOtherWindows();
    memset(menuWindows, 0, sizeof menuWindows);
    int number = 1;
    for (int i = 0; i < OtherWindowCount; i++) {
        HWND other = OtherWindows[i];
        if (!other || (code == IDM_COPY_CLOSING && other == sender))
            continue;
        char title[81], item[96];
        title[GetWindowTextA(other, title, sizeof title)] = '\0';
        CopyItemText(number++, title, item, sizeof item);
        menuWindows[i] = other;
        if (menu)
            InsertMenuA(menu, IDM_THIS_COPY, MF_BYCOMMAND | MF_STRING, IDM_WINDOW_FIRST + i, item);
    }
    if (menu)
        DrawMenuBar(g_mainWnd);
    return OtherWindowCount;
}

void NotifyOtherWindows(int code)
{
    FindOtherWindows();
    for (int i = 0; i < OtherWindowCount; i++)
        if (OtherWindows[i] && OtherWindows[i] != g_mainWnd)
            SendMessageA(OtherWindows[i], WM_COMMAND, (WPARAM)code, (LPARAM)g_mainWnd);
}

void BringCopyToFront(int commandId)
{
    int i = commandId - IDM_WINDOW_FIRST;
    if (i >= 0 && i < OTHER_WINDOWS_MAX && menuWindows[i] && IsWindow(menuWindows[i]))
        SetForegroundWindow(menuWindows[i]);
}

void StartNewCopy()
{
    char program[PATH_BUFFER + 16];
    lstrcpynA(program, ProgramDir, PATH_BUFFER);
    AppendBackslash(program, sizeof program);
    strcat(program, "Kelpo.EXE");
    QuoteIfSpaced(program, sizeof program);
    WinExec(program, SW_SHOWNORMAL);
}

void AnnounceDirectory(const char *)
{
    NotifyOtherWindows(IDM_COPY_CHANGED);
}
