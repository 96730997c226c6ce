#include "maint/uninstall.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "maint_ids.h"
#include <stdio.h>
#include <string.h>

const char UninstallDisplayName[] = "Kelpo for Windows95 Version 1.0";
const char UninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelpo";
static const char settingsKeyPath[] = "Software\\Brevlock\\Kelpo";
static const char treeSignature[] = "KelpoTreeData";
static const char caption[] = "Kelpo - Uninstall";
static const char distributionFiles[][21] = {"Kelpo.HLP", "Kelpo.CNT", "Kelpo.GID", "ReadMe.TXT"};

enum { WM_UNINSTALL_STEP = WM_USER };   // wParam: the line of the stage to run

bool RegisterForUninstall(const char *programDir)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        char name[512];
        DWORD size = sizeof name - 1;
        LONG read = RegQueryValueExA(key, "DisplayName", NULL, NULL, (BYTE *)name, &size);
        RegCloseKey(key);
        if (read == ERROR_SUCCESS) {
            name[size < sizeof name ? size : sizeof name - 1] = '\0';
            if (strcmp(name, UninstallDisplayName) == 0)
                return true;
        }
    }
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath, &key) != ERROR_SUCCESS)
        return false;
    char program[PATH_BUFFER + 16], shortForm[500], command[520];
    lstrcpynA(program, programDir, PATH_BUFFER);
    AppendBackslash(program, sizeof program);
    strcat(program, "Kelpo.EXE");
    DWORD length = GetShortPathNameA(program, shortForm, sizeof shortForm);
    if (length == 0 || length >= sizeof shortForm)
        lstrcpynA(shortForm, program, sizeof shortForm);
    snprintf(command, sizeof command, "%s /u", shortForm);
    RegSetValueExA(key, "DisplayName", 0, REG_SZ, (const BYTE *)UninstallDisplayName,
                   (DWORD)sizeof UninstallDisplayName);
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)command, (DWORD)strlen(command) + 1);
    RegCloseKey(key);
    return true;
}

bool IsTreeCacheFile(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char head[20] = {};
    DWORD read = 0;
    ReadFile(file, head, sizeof head, &read, NULL);
    CloseHandle(file);
    return read >= sizeof treeSignature && memcmp(head, treeSignature, sizeof treeSignature) == 0;
}

static void ClearAndDelete(const char *path)
{
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

void RemoveRegistryKeys()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, settingsKeyPath);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
}

// A root's KLPTREE.DAT goes only when it carries the signature: another program's file of that
// name is not ours to delete.
void RemoveTreeCacheFiles(const char *programDir)
{
    DWORD drives = GetLogicalDrives();
    for (int letter = 0; letter < 26; letter++) {
        if (!(drives & (1u << letter)))
            continue;
        char root[4] = {(char)('A' + letter), ':', '\\', '\0'};
        UINT type = GetDriveTypeA(root);
        if (type != DRIVE_REMOVABLE && type != DRIVE_FIXED)
            continue;
        char path[16];
        snprintf(path, sizeof path, "%sKLPTREE.DAT", root);
        if (IsTreeCacheFile(path))
            ClearAndDelete(path);
    }
    char pattern[PATH_BUFFER + 8], directory[PATH_BUFFER + 8];
    lstrcpynA(directory, programDir, PATH_BUFFER);
    AppendBackslash(directory, sizeof directory);
    snprintf(pattern, sizeof pattern, "%s*.DAT", directory);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        char path[PATH_BUFFER + MAX_PATH];
        snprintf(path, sizeof path, "%s%s", directory, found.cFileName);
        if (IsTreeCacheFile(path))
            ClearAndDelete(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void RemoveDistributionFiles(const char *programDir)
{
    char directory[PATH_BUFFER + 8];
    lstrcpynA(directory, programDir, PATH_BUFFER);
    AppendBackslash(directory, sizeof directory);
    for (const char *name : distributionFiles) {
        char path[PATH_BUFFER + 32];
        snprintf(path, sizeof path, "%s%s", directory, name);
        ClearAndDelete(path);
    }
}

// ---- the dialog: one stage per timer tick, each line painted before its work starts ----

static int stage;

static void OnUninstallInit(HWND dialog)
{
    stage = -1;
    if (!SetTimer(dialog, 1, 1000, NULL)) {
        MessageBoxA(dialog, "アンインストール出来ません", caption, MB_ICONHAND);
        EndDialog(dialog, 0);
    }
}

static void OnUninstallTimer(HWND dialog)
{
    if (stage == -1 && IsWindowVisible(dialog))
        stage = 0;
    static const struct {
        int from;
        int line;
    } steps[] = {{0, IDC_UNINSTALL_REGISTRY}, {2, IDC_UNINSTALL_TREEDATA}, {4, IDC_UNINSTALL_FILES}};
    for (const auto &step : steps) {
        if (stage == step.from) {
            stage++;
            PostMessageA(dialog, WM_UNINSTALL_STEP, step.line, 0);
            return;
        }
    }
}

static void OnUninstallStep(HWND dialog, int line)
{
    switch (line) {
    case IDC_UNINSTALL_REGISTRY:
        SetDlgItemTextA(dialog, line, "登録情報を削除しています...");
        UpdateWindow(dialog);
        RemoveRegistryKeys();
        SetDlgItemTextA(dialog, line, "登録情報を削除しました");
        stage = 2;
        break;
    case IDC_UNINSTALL_TREEDATA:
        SetDlgItemTextA(dialog, line, "ﾂﾘｰﾃﾞｰﾀﾌｧｲﾙを削除しています...");
        UpdateWindow(dialog);
        RemoveTreeCacheFiles(ProgramDir);
        SetDlgItemTextA(dialog, line, "ﾂﾘｰﾃﾞｰﾀﾌｧｲﾙを削除しました");
        stage = 4;
        break;
    case IDC_UNINSTALL_FILES:
        SetDlgItemTextA(dialog, line, "Kelpoの配布ﾌｧｲﾙを削除しています...");
        UpdateWindow(dialog);
        RemoveDistributionFiles(ProgramDir);
        SetDlgItemTextA(dialog, line, "Kelpoの配布ﾌｧｲﾙを削除しました");
        SetDlgItemTextA(dialog, IDC_UNINSTALL_DONE,
                        "Kelpoの削除を終了しました\nあとはKelpo.EXEをｴｸｽﾌﾟﾛｰﾗ等で\n削除して下さい");
        KillTimer(dialog, 1);
        stage = 6;
        EnableWindow(GetDlgItem(dialog, IDOK), TRUE);
        // Nothing could hold the focus while OK was disabled: give it to OK so Return and Esc reach the dialog.
        SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDOK), TRUE);
        break;
    }
}

static INT_PTR CALLBACK UninstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnUninstallInit(dialog);
        return TRUE;
    case WM_TIMER:
        OnUninstallTimer(dialog);
        return TRUE;
    case WM_UNINSTALL_STEP:
        OnUninstallStep(dialog, (int)wParam);
        return TRUE;
    case WM_COMMAND:
        // Esc closes like OK once the removal has finished, never while it runs.
        if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && IsWindowEnabled(GetDlgItem(dialog, IDOK))) {
            EndDialog(dialog, 1);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        KillTimer(dialog, 1);
        break;
    }
    return FALSE;
}

int RunUninstall(HWND owner, int copies)
{
    if (copies != 1) {
        MessageBoxA(owner, "Kelpo が起動されています\n全ての Kelpo を終了させてからアンインストールを実行して下さい",
                    caption, MB_ICONEXCLAMATION);
        return 0;
    }
    if (MessageBoxA(owner, "Kelpo for Windows95 とその全ての設定を削除します\nよろしいですか？", caption,
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    HINSTANCE instance = ResourceInstance();
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL), owner, UninstallDialogProc, 0) == 1;
}
