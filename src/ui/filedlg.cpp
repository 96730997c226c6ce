#include "ui/filedlg.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include <commdlg.h>
#include <string.h>

const char ALL_FILES_FILTER[] = "全てのﾌｧｲﾙ\0*.*\0";

int RunFileDialog(HWND owner, const char *caption, const char *filter, const char *directory, char *file,
                  DWORD fileSize, bool save)
{
    char title[256] = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = fileSize;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = sizeof title;
    dialog.lpstrInitialDir = directory;
    dialog.lpstrTitle = caption;
    dialog.Flags = save ? OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY : OFN_NOVALIDATE | OFN_HIDEREADONLY;
    return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) ? 1 : 0;
}

static int FileDialog(HWND owner, const char *caption, char *path, int filterId, bool save)
{
    char filter[256];
    HINSTANCE instance = ResourceInstance();
    int n = LoadStringA(instance, filterId, filter, sizeof filter - 1);
    if (n <= 0)
        return 0;
    char separator = filter[n - 1];
    for (int i = 0; i < n; i++)
        if (filter[i] == separator)
            filter[i] = '\0';
    char file[256], directory[PATH_BUFFER];
    lstrcpynA(directory, path, sizeof directory);
    char *last = NULL;
    for (char *p = directory; *p; p += CharLength(p))
        if (*p == '\\')
            last = p;
    if (last)
        *last = '\0';
    if (save) {
        lstrcpynA(file, last ? path + (last - directory) + 1 : path, sizeof file);
    } else {
        lstrcpynA(file, filter + strlen(filter) + 1, sizeof file);
    }
    if (!RunFileDialog(owner, caption, filter, directory, file, sizeof file, save))
        return 0;
    lstrcpynA(path, file, 260);
    return 1;
}

int OpenFileDialog(HWND owner, const char *caption, char *path, int filterId)
{
    return FileDialog(owner, caption, path, filterId, false);
}

int SaveFileDialog(HWND owner, const char *caption, char *path, int filterId)
{
    return FileDialog(owner, caption, path, filterId, true);
}
