#include "fileops/mkdir.h"
#include "fileops/inputdlg.h"
#include "fileops/workentry.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"

static int CreateTypedDirectory(HWND dialog, const char *name)
{
    if (!name[0])
        return 1;
    EnterCurrentPath(NULL);
    SECURITY_ATTRIBUTES security = {sizeof security, NULL, TRUE};
    // A device name may be "created" without any directory appearing.
    if (!IsDeviceName(name) && CreateDirectoryA(name, &security))
        return 1;
    MessageDialog(dialog, "正しいﾃﾞｨﾚｸﾄﾘ名を入力してください", "Kelpo - Mkdir", 48);
    return 0;
}

void MakeDirectoryCommand(HWND hwnd)
{
    char name[260];
    NameInput input = {IDD_MAKE_DIRECTORY, NULL, "", -1, NULL, name, sizeof name, CreateTypedDirectory};
    if (NameInputDialog(hwnd, &input)) {
        CreatedEntryName(CurrentPath, name, CursorName);
        ReloadRequest = 2;
    }
    RepaintAll(hwnd);
}
