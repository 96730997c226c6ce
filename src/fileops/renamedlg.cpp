#include "fileops/renamedlg.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"

enum { NEW_NAME_BYTES = 260 };

struct RenameState {
    const char *oldName;
    char *newName;
};

static BOOL OnInitRename(HWND dialog, RenameState *state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)state);
    CenterOnMainWindow(dialog);
    SetDlgItemTextA(dialog, IDC_OLD_NAME, state->oldName);
    SetEditTextCaret(dialog, IDC_NAME_EDIT, state->oldName, 0);
    SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
    return FALSE;
}

static void OnRenameOk(HWND dialog)
{
    RenameState *state = (RenameState *)GetWindowLongPtrA(dialog, DWLP_USER);
    char text[PATH_BUFFER];
    GetDlgItemTextA(dialog, IDC_NAME_EDIT, text, sizeof text);
    TruncateBytes(text, state->newName, NEW_NAME_BYTES - 1);
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK RenameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitRename(dialog, (RenameState *)lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnRenameOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int RenameDialog(HWND owner, const char *oldName, char *newName)
{
    RenameState state = {oldName, newName};
    HINSTANCE instance = g_instance ? g_instance : GetModuleHandleA(NULL);
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_RENAME), owner, RenameProc, (LPARAM)&state);
    return result == 1 ? 1 : 0;
}
