#include "tree/pathhistory.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "tree_ids.h"
#include <string.h>

void PushPathHistory(char *path)
{
    StripBackslash(path);
    // A copy, since path may itself be one of the entries that are moved below.
    char entry[sizeof PathHistory[0]];
    lstrcpynA(entry, path, sizeof entry);
    int count = Settings.historyCount;
    if (count < 0)
        count = 0;
    if (count > PATH_HISTORY_COUNT)
        count = PATH_HISTORY_COUNT;
    for (int i = 0; i < count; i++) {
        if (strcmp(PathHistory[i], entry) == 0) {
            memmove(PathHistory[i], PathHistory[i + 1], (PATH_HISTORY_COUNT - 1 - i) * sizeof PathHistory[0]);
            PathHistory[PATH_HISTORY_COUNT - 1][0] = '\0';
            count--;
            break;
        }
    }
    memmove(PathHistory[1], PathHistory[0], (PATH_HISTORY_COUNT - 1) * sizeof PathHistory[0]);
    if (count < PATH_HISTORY_COUNT)
        count++;
    strcpy(PathHistory[0], entry);
    Settings.historyCount = count;
}

void FillPathCombo(HWND dialog)
{
    int count = Settings.historyCount;
    if (count > PATH_HISTORY_COUNT)
        count = PATH_HISTORY_COUNT;
    for (int i = 0; i < count; i++)
        SendDlgItemMessageA(dialog, IDC_PATH_COMBO, CB_ADDSTRING, 0, (LPARAM)PathHistory[i]);
}
