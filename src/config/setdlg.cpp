#include "config/setdlg.h"
#include "config/cfgfile.h"
#include "config/settings.h"
#include "ui/filedlg.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include "config_ids.h"
#include "setdlg_ids.h"
#include <commdlg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// ---- options ----

static const struct {
    int id;
    BYTE SettingsRecord::*field;
} optionBoxes[] = {
    {IDC_OPT_PRESORT, &SettingsRecord::presort},     {IDC_OPT_NAMESMALL, &SettingsRecord::namesmall},
    {IDC_OPT_LNAMEPOS, &SettingsRecord::lnamepos},   {IDC_OPT_TREEMODE, &SettingsRecord::treemode},
    {IDC_OPT_TREESAVE, &SettingsRecord::treesave},   {IDC_OPT_SIDELINE, &SettingsRecord::sideline},
    {IDC_OPT_REALSIZE, &SettingsRecord::realsize},   {IDC_OPT_CSPACE, &SettingsRecord::cspace},
    {IDC_OPT_DIRTIME, &SettingsRecord::dirtime},     {IDC_OPT_RETDEL, &SettingsRecord::returndeleteyes},
    {IDC_OPT_DIRMARK, &SettingsRecord::dirmark},     {IDC_OPT_CURPAGE, &SettingsRecord::curpage},
    {IDC_OPT_ALTENABLE, &SettingsRecord::altenable}, {IDC_OPT_VIEWCR, &SettingsRecord::viewcr},
    {IDC_OPT_SECSW, &SettingsRecord::secsw},         {IDC_OPT_TIMESW, &SettingsRecord::timesw},
    {IDC_OPT_WEEKSW, &SettingsRecord::weeksw},
};
static const struct {
    int edit, browse;
    char **text;
    const char *caption;
} programFields[] = {
    {IDC_OPT_EDITOR, IDC_OPT_BROWSE_EDITOR, &EditorPath, "Kelpo - ﾃｷｽﾄｴﾃﾞｨﾀの指定"},
    {IDC_OPT_VIEWER, IDC_OPT_BROWSE_VIEWER, &ExtViewerPath, "Kelpo - 外部ﾋﾞｭｰﾜｰの指定"},
    {IDC_OPT_ARCHIVER, IDC_OPT_BROWSE_ARCHIVER, &ExtArchiverPath, "Kelpo - 外部ｱｰｶｲﾊﾞの指定"},
};

static void OnOptionsInit(HWND dialog)
{
    CenterOnMainWindow(dialog);
    for (const auto &box : optionBoxes)
        CheckDlgButton(dialog, box.id, Settings.*box.field ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_TREESAVE), !Settings.treemode);
    CheckRadioButton(dialog, IDC_OPT_KEYS10, IDC_OPT_KEYS12, Settings.fkeynum == 10 ? IDC_OPT_KEYS10 : IDC_OPT_KEYS12);
    TabStopOnCheckedRadio(GetDlgItem(dialog, IDC_OPT_KEYS10));
    for (const auto &field : programFields) {
        SendDlgItemMessageA(dialog, field.edit, EM_LIMITTEXT, 512, 0);
        SetDlgItemTextA(dialog, field.edit, *field.text);
    }
}

static void OnOptionsOk(HWND dialog)
{
    for (const auto &field : programFields) {
        char text[520];
        GetDlgItemTextA(dialog, field.edit, text, 513);
        lstrcpynA(*field.text, text, PATH_BUFFER);
    }
    for (const auto &box : optionBoxes)
        Settings.*box.field = IsDlgButtonChecked(dialog, box.id) == BST_CHECKED ? 1 : 0;
    Settings.fkeynum = IsDlgButtonChecked(dialog, IDC_OPT_KEYS10) == BST_CHECKED ? 10 : 12;
    EndDialog(dialog, 1);
}

static void Browse(HWND dialog, int edit, const char *caption)
{
    char path[PATH_BUFFER];
    GetDlgItemTextA(dialog, edit, path, 513);
    if (OpenFileDialog(dialog, caption, path, IDS_FILTER_PROGRAMS))
        SetDlgItemTextA(dialog, edit, path);
}

static INT_PTR CALLBACK OptionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnOptionsInit(dialog);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            TabStopOnCheckedRadio((HWND)lParam);
        switch (LOWORD(wParam)) {
        case IDC_OPT_TREEMODE:
            EnableWindow(GetDlgItem(dialog, IDC_OPT_TREESAVE),
                         IsDlgButtonChecked(dialog, IDC_OPT_TREEMODE) != BST_CHECKED);
            return TRUE;
        case IDOK:
            OnOptionsOk(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        for (const auto &field : programFields)
            if (LOWORD(wParam) == field.browse)
                Browse(dialog, field.edit, field.caption);
        return TRUE;
    }
    return FALSE;
}

int RunOptionDialog(HWND owner)
{
    return (int)DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionDialogProc, 0);
}

void OptionCommand(HWND hwnd)
{
    if (RunOptionDialog(hwnd)) {
        RememberCursorEntry();
        ReloadRequest = 2;
        RepaintAll(hwnd);
    }
    SaveSettings();
}

// ---- rows ----

static INT_PTR CALLBACK RowsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnMainWindow(dialog);
        SetDlgItemInt(dialog, IDC_ROWS_COUNT, Settings.disprow, FALSE);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            BOOL number = FALSE;
            UINT rows = GetDlgItemInt(dialog, IDC_ROWS_COUNT, &number, FALSE);
            // Anything but 1 to 200 is passed over and the dialog stays.
            if (number && rows >= 1 && rows <= 200) {
                Settings.disprow = (WORD)rows;
                EndDialog(dialog, 1);
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int RunRowsDialog(HWND owner)
{
    return (int)DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_ROWS), owner, RowsDialogProc, 0);
}

void RowsCommand(HWND hwnd)
{
    if (RunRowsDialog(hwnd))
        ApplyRowCount(hwnd);
}

// ---- font ----

void FontCommand(HWND hwnd)
{
    LOGFONTA font = {};
    {
        WindowFontDC dc(hwnd);
        font.lfHeight = -(GetDeviceCaps(dc, LOGPIXELSY) * Settings.fontpoint) / 72;
    }
    font.lfWeight = Settings.weight;
    font.lfItalic = Settings.italic;
    font.lfCharSet = Settings.charset;
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynA(font.lfFaceName, FontFaceName, LF_FACESIZE);
    CHOOSEFONTA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = hwnd;
    choose.lpLogFont = &font;
    choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_FIXEDPITCHONLY;
    if (!ChooseFontA(&choose))
        return;
    Settings.fontpoint = (WORD)(choose.iPointSize / 10);
    Settings.weight = font.lfWeight;
    Settings.charset = font.lfCharSet;
    Settings.italic = font.lfItalic;
    lstrcpynA(FontFaceName, font.lfFaceName, 256);
    CreateScreenFonts();
    ApplyRowCount(hwnd);
    SaveSettings();
    RepaintAll(hwnd);
}

// ---- names to the clipboard ----

enum { CLIP_PATH = 1, CLIP_NAME = 2, CLIP_SHORTPATH = 4, CLIP_SHORTNAME = 8, CLIP_TIME = 16, CLIP_SIZE = 32 };
static const struct {
    int id, bit;
} clipBoxes[] = {
    {IDC_CLIP_PATH, CLIP_PATH}, {IDC_CLIP_NAME, CLIP_NAME}, {IDC_CLIP_SHORTPATH, CLIP_SHORTPATH},
    {IDC_CLIP_SHORTNAME, CLIP_SHORTNAME}, {IDC_CLIP_TIME, CLIP_TIME}, {IDC_CLIP_SIZE, CLIP_SIZE},
};

std::string ClipboardText(int clipmode)
{
    std::string text;
    if (clipmode & CLIP_PATH) {
        char path[PATH_BUFFER];
        lstrcpynA(path, CurrentPath, sizeof path);
        StripBackslash(path);
        text += std::string(path) + "\r\n";
    }
    if (clipmode & CLIP_SHORTPATH) {
        char path[PATH_BUFFER], shortForm[PATH_BUFFER] = "";
        lstrcpynA(path, CurrentPath, sizeof path);
        if (!ValidatePath(path, shortForm) || !shortForm[0])
            lstrcpynA(shortForm, path, sizeof shortForm);
        StripBackslash(shortForm);
        text += std::string(shortForm) + "\r\n";
    }
    LockFileTable();
    bool anyMarked = false;
    for (int p = 0; p < EntryCount && !NoFiles; p++)
        anyMarked |= EntryAt(p)->mark != 0;
    for (int p = 0; p < EntryCount && !NoFiles; p++) {
        const FileEntry *e = EntryAt(p);
        if (anyMarked ? !e->mark : p != PageTop + CursorSlot)
            continue;
        std::string line;
        if (clipmode & CLIP_SHORTNAME) {
            char base[16], part[32];
            lstrcpynA(base, e->shortName, sizeof base);
            char *dot = e->shortName[0] != '.' ? strrchr(base, '.') : NULL;
            const char *ext = dot ? e->shortName + (dot - base) : "";
            if (dot)
                *dot = '\0';
            snprintf(part, sizeof part, "%-8.8s%-4.4s", base, ext);
            line += part;
        }
        if (clipmode & CLIP_SIZE) {
            char digits[32], grouped[48], part[16];
            if (e->EntryFlags & EF_DIRECTORY) {
                strcpy(part, "<DIR>       ");
            } else {
                // The whole size: a file of 4 GiB or more would show a wrong figure otherwise.
                snprintf(digits, sizeof digits, "%llu", EntrySize(e));
                GroupThousands(digits, grouped);
                snprintf(part, sizeof part, "%12.12s", grouped);
            }
            line += (line.empty() ? "" : " ") + std::string(part);
        }
        if (clipmode & CLIP_TIME)
            line += (line.empty() ? "" : " ") + std::string(FormatFileTime(&e->writeTime));
        if (clipmode & CLIP_NAME)
            line += (line.empty() ? "" : " ") + std::string(LongNameAt(p));
        text += line + "\r\n";
    }
    UnlockFileTable();
    return text;
}

static INT_PTR CALLBACK ClipboardDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnMainWindow(dialog);
        if (MarkedCount == 0 && !NoFiles && PageTop + CursorSlot < EntryCount) {
            char prompt[PATH_BUFFER + 32];
            LockFileTable();
            snprintf(prompt, sizeof prompt, "%sのﾌｧｲﾙ名を", LongNameAt(PageTop + CursorSlot));
            UnlockFileTable();
            SetDlgItemTextA(dialog, IDC_CLIP_PROMPT, prompt);
        }
        for (const auto &box : clipBoxes)
            CheckDlgButton(dialog, box.id, (Settings.clipmode & box.bit) ? BST_CHECKED : BST_UNCHECKED);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            int mode = 0;
            for (const auto &box : clipBoxes)
                if (IsDlgButtonChecked(dialog, box.id) == BST_CHECKED)
                    mode |= box.bit;
            if (!mode) {
                MessageDialog(dialog, "ｺﾋﾟｰする内容が選択されていません", "Kelpo - Clipboard", 16);
                return TRUE;
            }
            Settings.clipmode = (BYTE)mode;
            EndDialog(dialog, 1);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

void NamesToClipboardCommand(HWND hwnd)
{
    if (ScreenMode != 0 ||
        !DialogBoxParamA(ResourceInstance(), MAKEINTRESOURCEA(IDD_CLIPBOARD), hwnd, ClipboardDialogProc, 0))
        return;
    // Sized to the text itself, so long paths and names always fit.
    std::string text = ClipboardText(Settings.clipmode);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, text.size() + 1);
    if (!memory) {
        MessageDialog(hwnd, "ｺﾋﾟｰ用ﾊﾞｯﾌｧを確保できません", "Kelpo - Clipboard", 16);
        return;
    }
    char *copy = (char *)GlobalLock(memory);
    memcpy(copy, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(hwnd)) {
        ShowLastError(hwnd, "OpenClipboard()", NULL, NULL);
        GlobalFree(memory);
        return;
    }
    if (!EmptyClipboard()) {
        ShowLastError(hwnd, "EmptyClipboard()", NULL, NULL);
        GlobalFree(memory);
    } else if (!SetClipboardData(CF_TEXT, memory)) {
        ShowLastError(hwnd, "SetClipboard()", NULL, NULL);
        GlobalFree(memory);
    }
    if (!CloseClipboard())
        ShowLastError(hwnd, "CloseClipboard()", NULL, NULL);
}
