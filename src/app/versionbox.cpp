#include <windows.h>
#include <stdio.h>
#include "app/app.h"
#include "base/globals.h"
#include "ui/msgdlg.h"
#include "resource.h"

static INT_PTR CALLBACK VersionDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        char text[32];
        snprintf(text, sizeof text, "Version %s", VersionText);
        SetDlgItemTextA(dialog, IDC_VERSION_TEXT, text);
        CenterOnMainWindow(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam) == IDOK);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void ShowVersionBox(HWND owner)
{
    DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_VERSION), owner, VersionDialogProc, 0);
}
