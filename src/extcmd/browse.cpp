#include "extcmd/launch.h"
#include "filelist/pathutil.h"
#include "ui/filedlg.h"
#include <string.h>

int BrowseAllFiles(HWND owner, const char *caption, char *path)
{
    char file[256] = "*.*", directory[PATH_BUFFER];
    SplitPath(path, directory, NULL, NULL);
    if (strlen(directory) > 3)
        StripBackslash(directory);
    if (!RunFileDialog(owner, caption, ALL_FILES_FILTER, directory[0] ? directory : NULL, file, sizeof file, false))
        return 0;
    lstrcpynA(path, file, PATH_BUFFER);
    return 1;
}
