#include "archive/pack.h"
#include "archive/archiver.h"
#include "archive/unpack.h"
#include "screen/keybar.h"
#include "screen/repaint.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "tree/pathhistory.h"
#include "tree/tree.h"
#include "archive_ids.h"
#include <stdio.h>
#include <string.h>
#include <string>

static const char caption[] = "Kelpo - Pack";
enum { PACK_NAME_MAX = 260, PACK_TEXT_MAX = 512, OUTPUT_BUFFER = 1024 };

bool FixPackArchiveName(const char *typed, char *fixed, size_t size)
{
    char directory[PATH_BUFFER], name[PATH_BUFFER], extension[PATH_BUFFER];
    SplitPath(typed, directory, name, extension);
    char upper[PATH_BUFFER];
    lstrcpynA(upper, extension, sizeof upper);
    UpperAscii(upper);
    bool valid = extension[0] == '\0' || !strcmp(upper, ".LZH");
    bool lower = false;
    for (const char *p = name; *p; p += CharLength(p))
        if (*p >= 'a' && *p <= 'z')
            lower = true;
    snprintf(fixed, size, "%s%s%s", directory, name, lower ? ".lzh" : ".LZH");
    return valid;
}

static struct {
    char *name;
    char *destination;
    WNDPROC previous;  // the name field's own procedure while Up and Down walk the history
    int historyAt;
    char typed[PATH_BUFFER];  // the name typed before the walk started
} pack;

static void OnPackInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    SendDlgItemMessageA(dialog, IDC_PACK_NAME, EM_LIMITTEXT, PACK_NAME_MAX, 0);
    SetDlgItemTextA(dialog, IDC_PACK_NAME, pack.name);
    pack.historyAt = -1;
    pack.previous = SubclassControl(dialog, IDC_PACK_NAME, ArrowKeyForwarder);
    PushPathHistory(pack.destination);
    SendDlgItemMessageA(dialog, IDC_PACK_PATH, CB_LIMITTEXT, PACK_TEXT_MAX, 0);
    FillPathCombo(dialog);
    SendDlgItemMessageA(dialog, IDC_PACK_PATH, CB_SETCURSEL, 0, 0);
    if (Settings.packmode != 'A' && Settings.packmode != 'M')
        Settings.packmode = 'U';
    int button = Settings.packmode == 'A' ? IDC_PACK_ADD : Settings.packmode == 'M' ? IDC_PACK_MOVE : IDC_PACK_UPDATE;
    CheckRadioButton(dialog, IDC_PACK_ADD, IDC_PACK_MOVE, button);
    TabStopOnCheckedRadio(GetDlgItem(dialog, button));
}

static void EndPackDialog(HWND dialog, int result)
{
    RestoreControl(dialog, IDC_PACK_NAME, pack.previous);
    pack.previous = NULL;
    EndDialog(dialog, result);
}

static void OnPackOk(HWND dialog)
{
    char typed[PATH_BUFFER], fixed[PATH_BUFFER];
    GetDlgItemTextA(dialog, IDC_PACK_NAME, typed, PACK_TEXT_MAX + 1);
    if (!typed[0]) {
        MessageDialog(dialog, "圧縮ﾌｧｲﾙ名を入力してください", caption, 48);
        return;
    }
    if (!FixPackArchiveName(typed, fixed, sizeof fixed) &&
        MessageDialog(dialog, "拡張子は LZH のみ有効です\n拡張子を変更します", caption, 65) != IDOK)
        return;
    PushHistory(PackHistory, fixed);
    if (!ReadDestinationCombo(dialog, IDC_PACK_PATH, caption, pack.destination))
        return;
    lstrcpynA(pack.name, fixed, PATH_BUFFER);
    Settings.packmode = IsDlgButtonChecked(dialog, IDC_PACK_ADD) ? 'A' : IsDlgButtonChecked(dialog, IDC_PACK_MOVE) ? 'M' : 'U';
    EndPackDialog(dialog, 1);
}

static INT_PTR CALLBACK PackProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnPackInit(dialog);
        return TRUE;
    case WM_FORWARDED_KEY:
        if (wParam == WM_KEYDOWN) {
            WalkInputHistory(dialog, IDC_PACK_NAME, PackHistory, (UINT)lParam, &pack.historyAt, pack.typed,
                             sizeof pack.typed);
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 1);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            TabStopOnCheckedRadio((HWND)lParam);
        switch (LOWORD(wParam)) {
        case IDOK:
            OnPackOk(dialog);
            return TRUE;
        case IDC_PACK_TREE:
            BrowseDestinationCombo(dialog, IDC_PACK_PATH);
            return TRUE;
        case IDCANCEL:
            EndPackDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

int RunPackDialog(HWND owner, char *name, char *destination)
{
    pack.name = name;
    pack.destination = destination;
    return (int)DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_PACK), owner, PackProc, 0);
}

// The entries to pack, one response-file line each: the marked ones, or the cursor entry. Taken
// before the dialog opens, because the folder may be read again meanwhile (a change seen by its
// watcher), which moves the entries and clears the marks.
static std::string PackSources(int cursor)
{
    std::string lines;
    LockFileTable();
    bool marked = MarkedCount > 0;
    for (int position = 0; position < EntryCount; position++) {
        const FileEntry *e = EntryAt(position);
        if (marked ? !e->mark : position != cursor)
            continue;
        lines += '"';
        lines += LongNameAt(position);
        lines += (e->EntryFlags & EF_DIRECTORY) ? "\\*.*\"\r\n" : "\"\r\n";
    }
    UnlockFileTable();
    return lines;
}

// The response file lives in a private temporary directory, never among the user's files.
static bool WritePackList(const char *list, const char *destination, const char *name, const std::string &sources)
{
    FILE *file = fopen(list, "wb");
    if (!file)
        return false;
    fprintf(file, "%c -x1a1r2 \"%s%s\"\r\n", Settings.packmode, destination, name);
    fputs(sources.c_str(), file);
    return fclose(file) == 0;
}

void PackCommand(HWND hwnd)
{
    if (ScreenMode != 0 || NoFiles)
        return;
    if (!ArchiverAvailable[ARC_LZH])
        ArchiverAvailable[ARC_LZH] = LoadArchiver(ARC_LZH) != 0;
    if (!ArchiverAvailable[ARC_LZH]) {
        MessageDialog(hwnd, "UNLHA32.DLLがｲﾝｽﾄｰﾙされていませんので\nPackは出来ません", caption, 16);
        return;
    }
    char name[PATH_BUFFER], destination[PATH_BUFFER];
    int cursor = PageTop + CursorSlot;
    LockFileTable();
    lstrcpynA(name, LongNameAt(cursor), sizeof name);
    // "." and ".." are no entries to pack; in move mode the parent would be the source.
    bool dotEntry = IsDotEntry(EntryAt(cursor));
    UnlockFileTable();
    if (MarkedCount == 0 && dotEntry)
        return;
    std::string sources = PackSources(cursor);
    lstrcpynA(CursorName, name, PATH_BUFFER);
    lstrcpynA(destination, CurrentPath, sizeof destination);
    StripBackslash(destination);
    int chosen = RunPackDialog(hwnd, name, destination);
    RedrawPlainKeyBar(hwnd);
    if (!chosen)
        return;
    SetCurrentDirectoryA(CurrentPath);
    char temporary[PATH_BUFFER], directory[PATH_BUFFER], list[PATH_BUFFER];
    bool made = GetTempPathA(sizeof directory, directory) && GetTempFileNameA(directory, "KLP", 0, temporary) &&
                DeleteFileA(temporary) && CreateDirectoryA(temporary, NULL);
    snprintf(list, sizeof list, "%s\\$PACK.LST", temporary);
    AppendBackslash(destination);
    ShowHourglass();
    bool written = made && WritePackList(list, destination, name, sources);
    int result = 0;
    if (written) {
        char command[PATH_BUFFER + 2], output[OUTPUT_BUFFER];
        snprintf(command, sizeof command, "@%s", list);
        ReloadArchiver(ARC_LZH);
        result = ArcCommand(ARC_LZH, hwnd, command, output, sizeof output);
    }
    HideHourglass();
    DeleteFileA(list);
    if (made)
        RemoveDirectoryA(temporary);
    if (!written) {
        MessageDialog(hwnd, "一時ﾌｧｲﾙを作成できません", caption, 16);
    } else if (result != 0) {
        char text[32];
        FormatArchiverError(ARC_LZH, result, text);
        MessageDialog(hwnd, text, caption, 16);
    }
    ReloadRequest = 2;
    RepaintGrid(hwnd);
}
