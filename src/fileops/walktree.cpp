#include "fileops/walktree.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

WIN32_FIND_DATAA WalkFound;

void PumpWorkMessages()
{
    HWND window = g_mainWnd;
    if (!window)
        return;
    static const UINT kinds[3] = {WM_TIMER, WM_PAINT, WM_KEYDOWN};
    for (UINT kind : kinds) {
        MSG message;
        if (PeekMessageA(&message, window, kind, kind, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

static int PumpAndCheck()
{
    PumpWorkMessages();
    return AbortFlag ? 0 : 1;
}

// The primary name stands in when there is no alternate (8.3) name.
static bool IsDotEntry(const WIN32_FIND_DATAA *found)
{
    const char *shortName = found->cAlternateFileName[0] ? found->cAlternateFileName : found->cFileName;
    return shortName[0] == '.';
}

static int WalkEntries(char *directory, WalkEnterStep enter, WalkFileStep file, WalkLeaveStep leave)
{
    char pattern[PATH_BUFFER];
    if (snprintf(pattern, sizeof pattern, "%s*.*", directory) >= (int)sizeof pattern) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    HANDLE search = FindFirstFileA(pattern, &WalkFound);
    if (search == INVALID_HANDLE_VALUE)
        return 1;
    int result = 1;
    do {
        if (!PumpAndCheck()) {
            result = 0;
            break;
        }
        if (IsDotEntry(&WalkFound))
            continue;
        char path[PATH_BUFFER];
        if (snprintf(path, sizeof path, "%s%s", directory, WalkFound.cFileName) >= (int)sizeof path) {
            SetLastError(ERROR_FILENAME_EXCED_RANGE);
            result = 0;
            break;
        }
        if (WalkFound.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            result = WalkTree(path, enter, file, leave);
        else if (file)
            result = file(path, WalkFound.cFileName);
    } while (result && FindNextFileA(search, &WalkFound));
    FindClose(search);
    return result;
}

int WalkTree(const char *directory, WalkEnterStep enter, WalkFileStep file, WalkLeaveStep leave)
{
    if (strlen(directory) < 4)
        return 0;
    char path[PATH_BUFFER];
    lstrcpynA(path, directory, sizeof path);
    if (enter) {
        if (!PumpAndCheck() || !enter(path))
            return 0;
    }
    if (AbortFlag)
        return 0;
    AppendBackslash(path);
    int result = WalkEntries(path, enter, file, leave);
    StripBackslash(path);
    if (leave) {
        if (!PumpAndCheck() || !leave(path, result))
            return 0;
    }
    return result;
}
