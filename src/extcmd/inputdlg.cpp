#include "extcmd/launch.h"
#include "extcmd/extcmd_ids.h"
#include "base/commands.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include <string.h>

// One open input dialog: the text it edits and the walk through the command history.
struct InputDialog {
    const char *caption;
    char *text;
    size_t size;
    int editLimit;
    int caret;
    int flags;
    int historyAt;                      // -1: the text being edited, else the history entry shown
    char edited[EXPAND_BUFFER];         // the text being edited when the walk started
    WNDPROC previous;
};

static InputDialog *DialogState(HWND dialog)
{
    return (InputDialog *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static void InsertCursorName(HWND dialog)
{
    char name[PATH_BUFFER + 2] = "";
    LockFileTable();
    if (!NoFiles)
        lstrcpynA(name, LongNameAt(PageTop + CursorSlot), PATH_BUFFER);
    UnlockFileTable();
    strcat(name, " ");
    SetEditTextCaret(dialog, IDC_COMMAND_EDIT, name, -1);
}

static BOOL OnInitDialog(HWND dialog, InputDialog *state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    if (state->caption)
        SetWindowTextA(dialog, state->caption);
    CenterOnMainWindow(dialog);
    SendDlgItemMessageA(dialog, IDC_COMMAND_EDIT, EM_LIMITTEXT, state->editLimit, 0);
    SetEditTextCaret(dialog, IDC_COMMAND_EDIT, state->text, state->caret);
    if (state->flags & (INPUT_HISTORY | INPUT_INSERT_NAME))
        state->previous = SubclassControl(dialog, IDC_COMMAND_EDIT,
                                          state->flags & INPUT_INSERT_NAME ? ArrowInsertKeyForwarder : ArrowKeyForwarder);
    SetFocus(GetDlgItem(dialog, IDC_COMMAND_EDIT));
    return FALSE;
}

static bool OnForwardedKey(HWND dialog, InputDialog *state, UINT vk)
{
    if ((vk == VK_UP || vk == VK_DOWN) && (state->flags & INPUT_HISTORY)) {
        WalkInputHistory(dialog, IDC_COMMAND_EDIT, CommandHistory, vk, &state->historyAt, state->edited,
                         sizeof state->edited);
        return true;
    }
    if (vk == VK_INSERT && (state->flags & INPUT_INSERT_NAME)) {
        InsertCursorName(dialog);
        return true;
    }
    return false;
}

static void EndInput(HWND dialog, InputDialog *state, int result)
{
    if (result) {
        GetDlgItemTextA(dialog, IDC_COMMAND_EDIT, state->text, (int)state->size);
        if (state->flags & INPUT_HISTORY)
            PushHistory(CommandHistory, state->text);
    }
    if (state->previous)
        RestoreControl(dialog, IDC_COMMAND_EDIT, state->previous);
    EndDialog(dialog, result);
}

static INT_PTR CALLBACK InputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog(dialog, (InputDialog *)lParam);
    case WM_FORWARDED_KEY:
        if (wParam == WM_KEYDOWN && DialogState(dialog)) {
            SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnForwardedKey(dialog, DialogState(dialog), (UINT)lParam));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            EndInput(dialog, DialogState(dialog), 1);
            return TRUE;
        case IDCANCEL:
            EndInput(dialog, DialogState(dialog), 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int CommandInputDialog(HWND owner, int templateId, const char *caption, char *text, size_t size, int editLimit,
                       int caret, int flags)
{
    InputDialog *state = (InputDialog *)LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(InputDialog));
    if (!state)
        return 0;
    state->caption = caption;
    state->text = text;
    state->size = size;
    state->editLimit = editLimit;
    state->caret = caret;
    state->flags = flags;
    state->historyAt = -1;
    HINSTANCE instance = ResourceInstance();
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, InputDialogProc, (LPARAM)state);
    LocalFree(state);
    return result == 1 ? 1 : 0;
}
