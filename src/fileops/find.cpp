#include "fileops/mkdir.h"
#include "fileops/inputdlg.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "fileops/fileops_ids.h"

void FindCommand(HWND hwnd)
{
    char mask[260];
    NameInput input = {IDD_FIND, NULL, FileMask, -1, NULL, mask, sizeof mask, NULL};
    if (!NameInputDialog(hwnd, &input)) {
        RepaintAll(hwnd);
        return;
    }
    lstrcpynA(FileMask, mask, sizeof mask);
    PageTop = 0;
    CursorSlot = PrevSlot = -1;
    ReloadRequest = 1;
    RepaintAll(hwnd);
}
