#include "fileops/attr.h"
#include "fileops/inputdlg.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include "fileops/fileops_ids.h"
#include <stdio.h>
#include <string.h>

static const int boxIds[ATTR_BOX_COUNT] = {IDC_ATTR_READONLY, IDC_ATTR_HIDDEN, IDC_ATTR_SYSTEM, IDC_ATTR_ARCHIVE};

static const struct {
    int id;
    int width;
} timeEdits[6] = {{IDC_TIME_YEAR, 4}, {IDC_TIME_MONTH, 2}, {IDC_TIME_DAY, 2},
                  {IDC_TIME_HOUR, 2}, {IDC_TIME_MINUTE, 2}, {IDC_TIME_SECOND, 2}};

int MarkAttributeDialog(HWND owner)
{
    int timeOnly = 0;
    if (!ChoiceDialog(owner, IDD_MARK_ATTRIBUTE, IDC_MODE_ATTRIBUTES, IDC_MODE_TIME, &timeOnly))
        return 0;
    AttrMode = timeOnly ? TIME_ONLY : ATTR_ONLY;
    return 1;
}

static void EnableRange(HWND dialog, int first, int last, BOOL enable)
{
    for (int id = first; id <= last; id++)
        if (HWND control = GetDlgItem(dialog, id))
            EnableWindow(control, enable);
}

static void ShowBoxes(HWND dialog)
{
    bool threeStates = MarkedCount > 1;
    LockFileTable();
    for (int box = 0; box < ATTR_BOX_COUNT; box++) {
        HWND control = GetDlgItem(dialog, boxIds[box]);
        if (threeStates)
            SendMessageA(control, BM_SETSTYLE, BS_AUTO3STATE, FALSE);
        static const UINT checks[3] = {BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE};
        CheckDlgButton(dialog, boxIds[box], checks[AttrBoxState(box)]);
    }
    UnlockFileTable();
}

// The time fields as the dialog opened with them.
static char shownTime[6][16];

static void ShowTime(HWND dialog)
{
    TimeFields fields = {};
    LockFileTable();
    FILETIME write = EntryAt(PageTop + CursorSlot)->writeTime;
    UnlockFileTable();
    FileTimeToFields(&write, &fields);
    const unsigned values[6] = {fields.year, fields.month, fields.day, fields.hour, fields.minute, fields.second};
    for (int i = 0; i < 6; i++) {
        char text[16];
        snprintf(text, sizeof text, timeEdits[i].width == 4 ? "%4u" : "%02u", values[i]);
        SetDlgItemTextA(dialog, timeEdits[i].id, text);
        lstrcpynA(shownTime[i], text, sizeof shownTime[i]);
        SendDlgItemMessageA(dialog, timeEdits[i].id, EM_LIMITTEXT, timeEdits[i].width, 0);
    }
}

static BOOL OnInitAttribute(HWND dialog)
{
    CenterOnMainWindow(dialog);
    if (MarkedCount > 0) {
        SetDlgItemTextA(dialog, IDC_ATTR_NAME, "マークされたファイル");
    } else {
        char name[PATH_BUFFER];
        LockFileTable();
        lstrcpynA(name, LongNameAt(PageTop + CursorSlot), sizeof name);
        UnlockFileTable();
        SetDlgItemTextA(dialog, IDC_ATTR_NAME, name);
    }
    ShowBoxes(dialog);
    ShowTime(dialog);
    if (AttrMode == ATTR_ONLY)
        EnableRange(dialog, IDC_TIME_GROUP, IDC_TIME_LABEL_SECOND, FALSE);
    else if (AttrMode == TIME_ONLY)
        EnableRange(dialog, IDC_ATTR_GROUP, IDC_ATTR_ARCHIVE, FALSE);
    return TRUE;
}

// Reads the six fields; the first that is not a number or does not form a valid date and
// time is focused and false returned.
static bool ReadTime(HWND dialog, FILETIME *utc)
{
    unsigned values[6] = {};
    for (int i = 0; i < 6; i++) {
        char text[16];
        GetDlgItemTextA(dialog, timeEdits[i].id, text, sizeof text);
        if (!ParseField(text, &values[i])) {
            SetFocus(GetDlgItem(dialog, timeEdits[i].id));
            return false;
        }
    }
    TimeFields fields = {values[0], values[1], values[2], values[3], values[4], values[5]};
    if (FieldsToFileTime(&fields, utc))
        return true;
    SetFocus(GetDlgItem(dialog, IDC_TIME_YEAR));
    return false;
}

// One entry's fields left as shown: its time (shown to the even second) is not rewritten.
static bool TimeUntouched(HWND dialog)
{
    for (int i = 0; i < 6; i++) {
        char text[16];
        GetDlgItemTextA(dialog, timeEdits[i].id, text, sizeof text);
        if (strcmp(text, shownTime[i]) != 0)
            return false;
    }
    return true;
}

static void OnAttributeOk(HWND dialog)
{
    int states[ATTR_BOX_COUNT];
    for (int box = 0; box < ATTR_BOX_COUNT; box++) {
        UINT check = IsDlgButtonChecked(dialog, boxIds[box]);
        states[box] = check == BST_CHECKED ? 1 : check == BST_INDETERMINATE ? 2 : 0;
    }
    FILETIME writeTime;
    bool withTime = AttrMode == TIME_ONLY || (AttrMode == ATTR_AND_TIME && !TimeUntouched(dialog));
    if (withTime && !ReadTime(dialog, &writeTime)) {
        MessageDialog(dialog, "日付 / 時間が正しくありません\n変更できる日付は1980年から2107年までです",
                      "Kelpo - Attribute & File Time", 48);
        return;
    }
    ApplyAttributes(dialog, states, withTime ? &writeTime : NULL);
    EndDialog(dialog, 1);
}

static INT_PTR CALLBACK AttributeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitAttribute(dialog);
    case WM_COMMAND:
        return OnOkCancel(dialog, wParam, OnAttributeOk);
    }
    return FALSE;
}

int AttributeDialog(HWND owner)
{
    INT_PTR result = DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_ATTRIBUTE), owner, AttributeProc, 0);
    return result == 1 ? 1 : 0;
}
