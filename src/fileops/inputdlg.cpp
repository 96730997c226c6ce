#include "fileops/inputdlg.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"
#include <string.h>

static BOOL OnInitInput(HWND dialog, NameInput *input)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)input);
    CenterOnMainWindow(dialog);
    if (input->caption)
        SetWindowTextA(dialog, input->caption);
    if (input->oldName)
        SetDlgItemTextA(dialog, IDC_OLD_NAME, input->oldName);
    SetEditTextCaret(dialog, IDC_NAME_EDIT, input->initial ? input->initial : "", input->caret);
    SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
    return FALSE;
}

static void OnInputOk(HWND dialog)
{
    NameInput *input = (NameInput *)GetWindowLongPtrA(dialog, DWLP_USER);
    char entered[PATH_BUFFER + 4];
    GetDlgItemTextA(dialog, IDC_NAME_EDIT, entered, sizeof entered);
    // Cut short, the name would make or rename an entry under a name nobody typed.
    if ((int)strlen(entered) > input->bytes - 1) {
        char caption[64];
        GetWindowTextA(dialog, caption, sizeof caption);
        MessageDialog(dialog, "名前が長すぎます", caption, 48);
        SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
        return;
    }
    lstrcpynA(input->text, entered, input->bytes);
    if (input->accept && !input->accept(dialog, input->text)) {
        SetFocus(GetDlgItem(dialog, IDC_NAME_EDIT));
        return;
    }
    EndDialog(dialog, 1);
}

BOOL OnOkCancel(HWND dialog, WPARAM wParam, void (*onOk)(HWND dialog))
{
    switch (LOWORD(wParam)) {
    case IDOK:
        onOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

static INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitInput(dialog, (NameInput *)lParam);
    case WM_COMMAND:
        return OnOkCancel(dialog, wParam, OnInputOk);
    }
    return FALSE;
}

static int RunDialog(HWND owner, int templateId, DLGPROC procedure, LPARAM parameter)
{
    HINSTANCE instance = ResourceInstance();
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure, parameter);
    return result == 1 ? 1 : 0;
}

int NameInputDialog(HWND owner, NameInput *input)
{
    return RunDialog(owner, input->templateId, InputProc, (LPARAM)input);
}

struct Choice {
    int firstId, secondId;
    int *second;
};

static BOOL OnInitChoice(HWND dialog, Choice *choice)
{
    SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)choice);
    CenterOnMainWindow(dialog);
    CheckRadioButton(dialog, choice->firstId, choice->secondId, choice->firstId);
    SetFocus(GetDlgItem(dialog, choice->firstId));
    return FALSE;
}

static void OnChoiceOk(HWND dialog)
{
    Choice *choice = (Choice *)GetWindowLongPtrA(dialog, DWLP_USER);
    *choice->second = IsDlgButtonChecked(dialog, choice->secondId) == BST_CHECKED ? 1 : 0;
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK ChoiceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitChoice(dialog, (Choice *)lParam);
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            TabStopOnCheckedRadio((HWND)lParam);
        return OnOkCancel(dialog, wParam, OnChoiceOk);
    }
    return FALSE;
}

int ChoiceDialog(HWND owner, int templateId, int firstId, int secondId, int *second)
{
    Choice choice = {firstId, secondId, second};
    return RunDialog(owner, templateId, ChoiceProc, (LPARAM)&choice);
}
