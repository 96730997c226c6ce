#include "fileops/inputdlg.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"

static BOOL OnInitInput(HWND dialog, NameInput *input)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)input);
    CenterOnMainWindow(dialog);
    if (input->caption)
        SetWindowTextA(dialog, input->caption);
    SetEditTextCaret(dialog, IDC_NAME_EDIT, input->initial ? input->initial : "", -1);
    SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
    return FALSE;
}

static void OnInputOk(HWND dialog)
{
    NameInput *input = (NameInput *)GetWindowLongPtrA(dialog, DWLP_USER);
    char entered[PATH_BUFFER + 4];
    GetDlgItemTextA(dialog, IDC_NAME_EDIT, entered, sizeof entered);
    TruncateBytes(entered, input->text, input->bytes - 1);
    if (input->accept && !input->accept(dialog, input->text)) {
        SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
        return;
    }
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitInput(dialog, (NameInput *)lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnInputOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int NameInputDialog(HWND owner, NameInput *input)
{
    input->text[0] = '\0';
    HINSTANCE instance = g_instance ? g_instance : GetModuleHandleA(NULL);
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(input->templateId), owner, InputProc, (LPARAM)input);
    return result == 1 ? 1 : 0;
}
