#include "fileops/mkdir.h"
#include "fileops/inputdlg.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "fileops/fileops_ids.h"
#include "ui/msgdlg.h"
#include <string.h>

int AcceptMask(HWND dialog, const char *mask)
{
    for (const char *p = mask; *p; p += CharLength(p)) {
        if (*p == '\\' || *p == '/' || *p == ':') {
            char caption[64];
            GetWindowTextA(dialog, caption, sizeof caption);
            MessageDialog(dialog, "正しいﾌｧｲﾙ名を入力してください", caption, 48);
            return 0;
        }
    }
    return 1;
}

void FindCommand(HWND hwnd)
{
    char mask[260];
    NameInput input = {IDD_FIND, NULL, FileMask, -1, NULL, mask, sizeof mask, AcceptMask};
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
