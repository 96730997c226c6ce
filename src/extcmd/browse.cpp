#include "extcmd/launch.h"
#include "filelist/pathutil.h"
#include <commdlg.h>
#include <string.h>

int BrowseAllFiles(HWND owner, const char *caption, char *path)
{
    static const char filter[] = "全てのﾌｧｲﾙ\0*.*\0";
    char file[256] = "*.*", title[256] = "", directory[PATH_BUFFER];
    SplitPath(path, directory, NULL, NULL);
    if (strlen(directory) > 3)
        StripBackslash(directory);
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrInitialDir = directory[0] ? directory : NULL;
    ofn.lpstrTitle = caption;
    ofn.Flags = OFN_NOVALIDATE | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn))
        return 0;
    lstrcpynA(path, file, PATH_BUFFER);
    return 1;
}
