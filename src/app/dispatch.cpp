#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "app/app.h"
#include "app/dispatch.h"
#include "app/copies.h"
#include "archive/pack.h"
#include "archive/unpack.h"
#include "info/infodlg.h"
#include "config/cfgfile.h"
#include "config/quick.h"
#include "config/setdlg.h"
#include "config/colordlg.h"
#include "app/listkeys.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "filelist/sort.h"
#include "filelist/watch.h"
#include "tree/tree.h"
#include "fileops/copycmd.h"
#include "fileops/attr.h"
#include "fileops/delete.h"
#include "fileops/mkdir.h"
#include "fileops/rename.h"
#include "screen/screen.h"
#include "screen/frame.h"
#include "base/commands.h"
#include "app/wincmds.h"
#include "extcmd/launch.h"
#include "viewer/viewer.h"


char FunctionKeyLetter(int fkeynum, int screenMode, int index)
{
    if (screenMode != 0)
        return ' ';
    int keys = fkeynum == 10 ? TEN_KEYS : TWELVE_KEYS;
    const FunctionKeyCommand *row = FunctionKeyRow(keys, index >= keys, index % keys);
    return row && index >= 0 ? row->letter : ' ';
}

// A function key becomes its command letter, posted as a typed one, or its command id.
void FunctionKeyToLetter(HWND hwnd, UINT vk)
{
    int index = (int)vk - VK_F1;
    int keys = Settings.fkeynum == 10 ? TEN_KEYS : TWELVE_KEYS;
    const FunctionKeyCommand *row = FunctionKeyRow(keys, IsShifted(), index);
    if (!row)
        return;
    if (row->command) {
        PostMessageA(hwnd, WM_COMMAND, row->command, 0);
        return;
    }
    char letter = ScreenMode == 0 ? row->letter : ' ';
    if (keys == TWELVE_KEYS && letter == ' ')
        return;
    FromFunctionKey = 1;
    PostMessageA(hwnd, WM_CHAR, (WPARAM)(BYTE)letter, 0);
}

void UpdateViewMenu(HWND hwnd)
{
    HMENU menu = GetMenu(hwnd);
    if (!menu)
        return;
    static const int columns[4] = {1, 2, 3, 5};
    for (int i = 0; i < 4; i++)
        CheckMenuItem(menu, IDM_COLUMNS_1 + i,
                      MF_BYCOMMAND | (Settings.dispmode == columns[i] ? MF_CHECKED : MF_UNCHECKED));
    for (int i = 0; i < 3; i++)
        CheckMenuItem(menu, IDM_SUBMODE_CLASSIC + i,
                      MF_BYCOMMAND | (Settings.dispsubmode == i ? MF_CHECKED : MF_UNCHECKED));
}

static void Refresh(HWND hwnd)
{
    if (ScreenMode != 0)
        return;
    RememberCursorEntry();
    ReloadRequest = 2;
    RepaintAll(hwnd);
}

static void SortCommand(HWND hwnd)
{
    if (IsShifted())
        return;
    if (!RunSortDialog(hwnd))
        return;
    RememberCursorEntry();
    bool notice = EntryCount >= 500;
    if (notice) {
        char text[64];
        snprintf(text, sizeof text, "%d個のﾌｧｲﾙを並び替えています...", EntryCount);
        StatusLine(NULL, text);
    }
    LockFileTable();
    SortEntries();
    UnlockFileTable();
    if (notice)
        StatusLine(NULL, "");
    ReloadRequest = 3;
    RepaintGrid(hwnd);
}

// R renames; with Shift it reads the directory again (Refrsh).
static void RenameOrRefresh(HWND hwnd)
{
    if (IsShifted())
        PostMessageA(hwnd, WM_COMMAND, IDM_REFRESH, 0);
    else
        RenameCommand(hwnd);
}

// The command letters of the file list. Letters that mean another command with Shift
// (D rmDir, R Refrsh) have one row whose procedure asks IsShifted.
struct LetterCommand {
    char letter;
    void (*run)(HWND hwnd);
};
static const LetterCommand letterCommands[] = {
    {'S', SortCommand},
    {'C', CopyCommand},
    {'M', MoveCommand},
    {'R', RenameOrRefresh},
    {'G', NameCaseCommand},
    {'\\', RootCommand},
    {'I', InfoCommand},
    {'Q', QuickCommand},
    {'T', TreeCommand},
    {'L', LogdskCommand},
    {'X', ExecCommand},
    {'Z', ExecAtOnceCommand},
    {'E', EditorCommand},
    {'H', ShellCommand},
    {'V', ViewCommand},
    {'U', UnpackCommand},
    {'P', PackCommand},
    {'D', DeleteOrRemoveDir},
    {'K', MakeDirectoryCommand},
    {'N', NewFileCommand},
    {'F', FindCommand},
    {'*', FindMarkCommand},
    {'A', AttrCommand},
};

static void OnCommandLetter(HWND hwnd, char c)
{
    if (c >= 'a' && c <= 'z')
        c = (char)(c - 'a' + 'A');
    if (ScreenMode != 0) {
        ViewerLetter(hwnd, c);
        FromFunctionKey = 0;
        return;
    }
    StopWatching();
    ReloadRequest = 0;
    bool found = false;
    for (const LetterCommand &command : letterCommands) {
        if (command.letter == c) {
            command.run(hwnd);
            found = true;
            break;
        }
    }
    if (!found)
        RunListLetter(hwnd, c);
    StartWatching(CurrentPath);
    FromFunctionKey = 0;
}

static bool OnCommand(HWND hwnd, int id, LPARAM lParam)
{
    if (id >= IDM_FKEY_FIRST && id < IDM_FKEY_FIRST + 24) {
        FunctionKeyToLetter(hwnd, VK_F1 + (id - IDM_FKEY_FIRST) % 12);
        return true;
    }
    if (ScreenMode == 1 && !BusyFlag && ViewerCommand(hwnd, id, IsShifted()))
        return true;
    if (id >= IDM_CTRL_FKEY_FIRST && id < IDM_CTRL_FKEY_FIRST + 12) {
        DriveChangeCommand(hwnd, id - IDM_CTRL_FKEY_FIRST);
        return true;
    }
    if (id >= IDM_EXTCMD_FIRST && id < IDM_EXTCMD_FIRST + 26) {
        AltLetterCommand(hwnd, id);
        return true;
    }
    switch (id) {
    case IDM_EXIT:
    case IDM_CLOSE_NOW:
        DestroyWindow(hwnd);
        return true;
    case IDM_HELP:
        ShowHelp();
        return true;
    case IDM_REFRESH:
        Refresh(hwnd);
        return true;
    case IDM_ALT_SPACE:
        if (AltOverlay >= 0)
            CloseAltOverlay(hwnd);
        return true;
    case IDM_ESCAPE:
    case IDM_ESCAPE_CHAR:
        if (BusyFlag)
            AbortFlag = 1;
        else
            EscapeCommand(hwnd);
        return true;
    case IDM_CHANGE_DIR:
        ChooseDirectoryCommand(hwnd);
        return true;
    case IDM_EXPLORER:
        ExplorerCommand(hwnd);
        return true;
    case IDM_CONTROL_PANEL:
        ControlPanelCommand(hwnd);
        return true;
    case IDM_EXTCMD_EDITOR:
        ExtCommandEditorCommand(hwnd);
        return true;
    case IDM_ROWS_15:
    case IDM_ROWS_20:
    case IDM_ROWS_25:
    case IDM_ROWS_30:
        Settings.disprow = (WORD)(15 + 5 * (id - IDM_ROWS_15));
        ApplyRowCount(hwnd);
        return true;
    case IDM_COPY_CHANGED:
    case IDM_COPY_CLOSING:
        RebuildWindowMenu((HWND)lParam, id);
        return true;
    case IDM_NEW_COPY:
        StartNewCopy();
        return true;
    case IDM_THIS_COPY:
        return true;
    case IDM_COLORS:
        ColorCommand(hwnd);
        return true;
    case IDM_OPTIONS:
        OptionCommand(hwnd);
        return true;
    case IDM_ROWS_SET:
        RowsCommand(hwnd);
        return true;
    case IDM_FONT:
        FontCommand(hwnd);
        return true;
    case IDM_NAMES_TO_CLIPBOARD:
        NamesToClipboardCommand(hwnd);
        return true;
    case IDM_SAVE_CFG:
        SaveSettingsFileCommand(hwnd);
        return true;
    case IDM_READ_CFG:
        ReadSettingsFileCommand(hwnd);
        return true;
    case IDM_VERSION:
        ShowVersionBox(hwnd);
        return true;
    }
    if (id >= IDM_WINDOW_FIRST && id <= IDM_WINDOW_LAST) {
        BringCopyToFront(id);
        return true;
    }
    return RunListCommand(hwnd, id);
}

bool DispatchInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        return OnCommand(hwnd, LOWORD(wParam), lParam);
    case WM_CHAR:
        if (BusyFlag)
            return true;
        OnCommandLetter(hwnd, (char)wParam);
        return true;
    case WM_KEYDOWN:
    case WM_KELPO_KEY:
        if (BusyFlag) {
            if (wParam == VK_ESCAPE)
                AbortFlag = 1;
            return true;
        }
        if (ScreenMode == 1) {
            // Bit 30: the key was already down, so this press is an auto-repeat.
            ViewerKey(hwnd, (UINT)wParam, IsShifted(), msg == WM_KEYDOWN && (lParam & (1 << 30)));
            return true;
        }
        return RunListKey(hwnd, (UINT)wParam);
    case WM_SYSKEYDOWN:
        if (ScreenMode == 0 && wParam == VK_MENU && AltOverlay < 0) {
            AltOverlay = 0;
            DrawAltOverlay(hwnd, AltOverlay, true);
        } else if (ScreenMode == 0 && wParam == VK_SHIFT && AltOverlay >= 0) {
            AltOverlay = !AltOverlay;
            DrawAltOverlay(hwnd, AltOverlay, false);
        }
        return false;
    case WM_SYSKEYUP:
        if (wParam != VK_SHIFT && AltOverlay >= 0)
            CloseAltOverlay(hwnd);
        return !Settings.altenable;
    case WM_KEYUP:
        if (wParam == VK_MENU && AltOverlay >= 0)
            CloseAltOverlay(hwnd);
        return RunListKeyUp(hwnd, (UINT)wParam);
    }
    (void)lParam;
    return false;
}
