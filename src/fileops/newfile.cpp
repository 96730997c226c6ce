#include "fileops/mkdir.h"
#include "fileops/inputdlg.h"
#include "fileops/workentry.h"
#include "base/globals.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"
#include <stdio.h>

static bool AskOverwrite(HWND hwnd)
{
    return MessageDialog(hwnd, "同名のﾌｧｲﾙがあります\n上書きしますか?", "Kelpo - NewFile", 20) == IDYES;
}

static void CannotCreate(HWND hwnd)
{
    MessageBoxA(hwnd, "新規ﾌｧｲﾙを作成できません", "Kelpo", MB_OK | MB_ICONSTOP);
}

// A file that appears between the look and the creation is met by CREATE_NEW failing, and
// is then asked about like one that was there before. A device name would "exist", be asked
// about and then opened as the device: no file, though the command looked successful.
int CreateEmptyFile(HWND hwnd, const char *path)
{
    if (IsDeviceName(path)) {
        CannotCreate(hwnd);
        return 0;
    }
    DWORD attributes = GetFileAttributesA(path);
    HANDLE file = INVALID_HANDLE_VALUE;
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            DWORD error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
                CannotCreate(hwnd);
                return 0;
            }
            attributes = GetFileAttributesA(path);
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            CannotCreate(hwnd);
            return 0;
        }
        if (!AskOverwrite(hwnd))
            return 0;
        // Truncating keeps the existing file's hidden and system attributes acceptable.
        file = CreateFileA(path, GENERIC_WRITE, 0, NULL, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            CannotCreate(hwnd);
            return 0;
        }
    }
    CloseHandle(file);
    return 1;
}

void NewFileCommand(HWND hwnd)
{
    if (ScreenMode != 0)
        return;
    char name[PATH_BUFFER];
    NameInput input = {IDD_NEW_FILE, NULL, "", -1, NULL, name, sizeof name, NULL};
    if (!NameInputDialog(hwnd, &input) || !name[0])
        return;
    char path[PATH_BUFFER * 2];
    char base[PATH_BUFFER];
    lstrcpynA(base, CurrentPath, sizeof base);
    AppendBackslash(base);
    snprintf(path, sizeof path, "%s%s", base, name);
    CreateEmptyFile(hwnd, path);
    CreatedEntryName(base, name, CursorName);
    ReloadRequest = 2;
    RepaintAll(hwnd);
}
