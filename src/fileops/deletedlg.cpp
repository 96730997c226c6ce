#include "fileops/delete.h"
#include "base/globals.h"
#include "base/commands.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"

// Both confirmations hand every key of their buttons, and of the path field Tab reaches, to
// the dialog: Y confirms, N cancels, A (where offered) confirms for all that follow.
struct ConfirmState {
    const char *text;            // dialog 20010: the question; 20039: the path
    bool attributeDialog;        // dialog 20039
    DWORD attributes;
    bool allowAll;
    WNDPROC previous[4];
};

static const int forwardedControls[4] = {IDC_DELETE_OK, IDCANCEL, IDC_DELETE_ALL, IDC_DELETE_PATH};

static ConfirmState *StateOf(HWND dialog)
{
    return (ConfirmState *)GetWindowLongPtrA(dialog, DWLP_USER);
}

static void SubclassControls(HWND dialog, ConfirmState *state)
{
    for (int i = 0; i < 4; i++)
        state->previous[i] = SubclassControl(dialog, forwardedControls[i], AllKeyForwarder);
}

static void EndConfirm(HWND dialog, int result)
{
    ConfirmState *state = StateOf(dialog);
    for (int i = 0; i < 4; i++)
        RestoreControl(dialog, forwardedControls[i], state->previous[i]);
    EndDialog(dialog, result);
}

// Without retdel the buttons that confirm are hidden: their look-alikes show through, the
// focus rests on Cancel and Return cancels.
static void ApplyReturnRule(HWND dialog)
{
    if (Settings.returndeleteyes) {
        SetFocus(GetDlgItem(dialog, IDC_DELETE_OK));
        return;
    }
    ShowWindow(GetDlgItem(dialog, IDC_DELETE_OK), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_DELETE_ALL), SW_HIDE);
    SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
}

static BOOL OnInitConfirm(HWND dialog, ConfirmState *state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    CenterOnMainWindow(dialog);
    if (state->attributeDialog) {
        SetDlgItemTextA(dialog, IDC_DELETE_PATH, state->text);
        char words[64];
        AttributeWords(state->attributes, words);
        SetDlgItemTextA(dialog, IDC_DELETE_WORDS, words);
        if (!state->allowAll) {
            EnableWindow(GetDlgItem(dialog, IDC_DELETE_ALL), FALSE);
            EnableWindow(GetDlgItem(dialog, IDC_DELETE_ALL_LOOK), FALSE);
        }
    } else {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, state->text);
    }
    ApplyReturnRule(dialog);
    SubclassControls(dialog, state);
    return FALSE;
}

static void ConfirmAll(HWND dialog)
{
    DeleteConfirm = 0;
    EndConfirm(dialog, 1);
}

// A forwarded key: true when it was consumed.
static bool OnForwardedKey(HWND dialog, UINT key)
{
    ConfirmState *state = StateOf(dialog);
    switch (key) {
    case 'Y':
        EndConfirm(dialog, 1);
        return true;
    case 'N':
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return true;
    case 'A':
        if (state->attributeDialog && state->allowAll) {
            ConfirmAll(dialog);
            return true;
        }
        return false;
    }
    return false;
}

static INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitConfirm(dialog, (ConfirmState *)lParam);
    case WM_FORWARDED_KEY:
        if (wParam != WM_KEYDOWN)
            return FALSE;
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnForwardedKey(dialog, (UINT)lParam) ? 1 : 0);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_DELETE_OK:
            EndConfirm(dialog, 1);
            return TRUE;
        case IDC_DELETE_ALL:
            ConfirmAll(dialog);
            return TRUE;
        case IDOK:
            // Return on no button at all confirms only with retdel.
            EndConfirm(dialog, Settings.returndeleteyes ? 1 : 0);
            return TRUE;
        case IDCANCEL:
            EndConfirm(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

static int RunConfirm(HWND owner, int templateId, ConfirmState *state)
{
    HINSTANCE instance = ResourceInstance();
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, ConfirmProc, (LPARAM)state);
    return result == 1 ? 1 : 0;
}

int DeleteConfirmDialog(HWND owner, const char *text)
{
    ConfirmState state = {text, false, 0, false, {}};
    return RunConfirm(owner, IDD_DELETE_CONFIRM, &state);
}

int AttributeConfirmDialog(HWND owner, const char *path, DWORD attributes, int allowAll)
{
    ConfirmState state = {path, true, attributes, allowAll || MarkedCount > 1, {}};
    return RunConfirm(owner, IDD_DELETE_FILE, &state);
}
