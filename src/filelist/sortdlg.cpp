#include "filelist/sort.h"
#include "base/globals.h"
#include "config/settings.h"
#include "ui/msgdlg.h"
#include "sort_ids.h"

static const int keyButtons[4] = {IDC_SORT_NAME, IDC_SORT_EXTENSION, IDC_SORT_SIZE, IDC_SORT_DATE};

static bool IsKeyButton(HWND dialog, HWND control)
{
    for (int id : keyButtons)
        if (control && control == GetDlgItem(dialog, id))
            return true;
    return false;
}

INT_PTR CALLBACK SortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        CenterOnMainWindow(dialog);
        HWND focus = GetDlgItem(dialog, keyButtons[0]);
        if (Settings.sortmode < 4) {
            CheckDlgButton(dialog, keyButtons[Settings.sortmode], BST_CHECKED);
            focus = GetDlgItem(dialog, keyButtons[Settings.sortmode]);
        }
        if (Settings.sortdir < 2)
            CheckDlgButton(dialog, Settings.sortdir ? IDC_SORT_DESCENDING : IDC_SORT_ASCENDING, BST_CHECKED);
        TabStopOnCheckedRadio(GetDlgItem(dialog, keyButtons[0]));
        TabStopOnCheckedRadio(GetDlgItem(dialog, IDC_SORT_ASCENDING));
        SetFocus(focus);
        return FALSE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            TabStopOnCheckedRadio((HWND)lParam);
        switch (LOWORD(wParam)) {
        case IDOK:
            // Enter on the key group only steps on to the direction group.
            if (IsKeyButton(dialog, GetFocus())) {
                int target = IsDlgButtonChecked(dialog, IDC_SORT_DESCENDING) == BST_CHECKED
                                 ? IDC_SORT_DESCENDING : IDC_SORT_ASCENDING;
                SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, target), TRUE);
                return TRUE;
            }
            for (int k = 0; k < 4; k++)
                if (IsDlgButtonChecked(dialog, keyButtons[k]) == BST_CHECKED)
                    Settings.sortmode = (BYTE)k;
            Settings.sortdir = IsDlgButtonChecked(dialog, IDC_SORT_ASCENDING) == BST_CHECKED ? 0 : 1;
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int RunSortDialog(HWND owner)
{
    HINSTANCE instance = ResourceInstance();
    INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SORT), owner, SortDialogProc, 0);
    return result == 1 ? 1 : 0;
}
