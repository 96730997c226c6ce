// Every dialog of the program, created from its resource, checked as a keyboard user meets it:
// each access key leads to one control, Tab reaches every input, radio groups are closed on
// both ends, Return has one default button and Esc a way out.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ctype.h>
#include <map>
#include <set>
#include <string>
#include "archive_ids.h"
#include "color_ids.h"
#include "config_ids.h"
#include "config/settings.h"
#include "extcmd/extcmd_ids.h"
#include "sort_ids.h"
#include "filelist/sort.h"
#include "fileops/copy_ids.h"
#include "fileops/copydlg.h"
#include "fileops/fileops_ids.h"
#include "info_ids.h"
#include "maint_ids.h"
#include "quick_ids.h"
#include "resource.h"
#include "setdlg_ids.h"
#include "tree_ids.h"
#include "dialogdriver.h"

void ShowVersionBox(HWND owner);

namespace {

// Esc: CANCEL_BUTTON when the template has a Cancel button; OPENER when the procedure treats
// Esc as its only button, proved by opening the real dialog; ELSEWHERE for the uninstall
// dialog, whose Esc is tried by its own test (running it removes the installation).
enum EscapeWay { CANCEL_BUTTON, OPENER, ELSEWHERE };

struct DialogRow {
    int id;
    const char *name;
    EscapeWay escape;
    void (*open)();
};

void OpenVersion() { ShowVersionBox(NULL); }
void OpenResult() { ResultDialog(NULL, "0 個のﾌｧｲﾙをｺﾋﾟｰしました"); }

const DialogRow dialogs[] = {
    {IDD_UNPACK, "unpack", CANCEL_BUTTON, NULL},
    {IDD_UNPACK_DEST, "unpack destination", CANCEL_BUTTON, NULL},
    {IDD_PACK, "pack", CANCEL_BUTTON, NULL},
    {IDD_COLORS, "colours", CANCEL_BUTTON, NULL},
    {IDD_COPY_DEST, "copy destination", CANCEL_BUTTON, NULL},
    {IDD_SAME_NAME, "same name", CANCEL_BUTTON, NULL},
    {IDD_COPY_RESULT, "copy result", OPENER, OpenResult},
    {IDD_EXEC, "execute", CANCEL_BUTTON, NULL},
    {IDD_EXTCMD_OPTIONS, "command options", CANCEL_BUTTON, NULL},
    {IDD_SHELL, "shell", CANCEL_BUTTON, NULL},
    {IDD_EXIT, "exit", CANCEL_BUTTON, NULL},
    {IDD_EXTCMD_EDITOR, "external command editor", CANCEL_BUTTON, NULL},
    {IDD_DELETE_CONFIRM, "delete", CANCEL_BUTTON, NULL},
    {IDD_DELETE_FILE, "delete file", CANCEL_BUTTON, NULL},
    {IDD_RENAME, "rename", CANCEL_BUTTON, NULL},
    {IDD_CASE_RENAME, "case rename", CANCEL_BUTTON, NULL},
    {IDD_MAKE_DIRECTORY, "make directory", CANCEL_BUTTON, NULL},
    {IDD_NEW_FILE, "new file", CANCEL_BUTTON, NULL},
    {IDD_FIND, "find", CANCEL_BUTTON, NULL},
    {IDD_MARK_ATTRIBUTE, "mark attribute", CANCEL_BUTTON, NULL},
    {IDD_ATTRIBUTE, "attribute", CANCEL_BUTTON, NULL},
    {IDD_INFO, "information", CANCEL_BUTTON, NULL},
    {IDD_VERSION, "version", OPENER, OpenVersion},
    {IDD_UNINSTALL, "uninstall", ELSEWHERE, NULL},
    {IDD_QUICK, "quick access", CANCEL_BUTTON, NULL},
    {IDD_OPTIONS, "options", CANCEL_BUTTON, NULL},
    {IDD_ROWS, "rows", CANCEL_BUTTON, NULL},
    {IDD_CLIPBOARD, "clipboard", CANCEL_BUTTON, NULL},
    {IDD_SORT, "sort", CANCEL_BUTTON, NULL},
    {IDD_TREE, "tree", CANCEL_BUTTON, NULL},
    {IDD_LOGDSK, "logdsk", CANCEL_BUTTON, NULL},
};

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

std::string ClassOf(HWND control)
{
    char name[64] = "";
    GetClassNameA(control, name, sizeof name);
    return name;
}

bool IsButtonKind(HWND control, DWORD kind)
{
    return ClassOf(control) == "Button" && (GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == kind;
}

bool IsRadio(HWND control)
{
    return IsButtonKind(control, BS_AUTORADIOBUTTON) || IsButtonKind(control, BS_RADIOBUTTON);
}

// The letter after a single '&', 0 when the text has none or the control shows '&' as it is.
char AccessKey(HWND control)
{
    std::string cls = ClassOf(control);
    DWORD style = GetWindowLongA(control, GWL_STYLE);
    if (cls != "Button" && cls != "Static")
        return 0;
    if (cls == "Static" && (style & SS_NOPREFIX))
        return 0;
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    for (const char *p = text; *p; p++) {
        if (IsDBCSLeadByteEx(932, (BYTE)*p) && p[1]) {
            p++;
        } else if (*p == '&') {
            if (p[1] != '&')
                return (char)toupper((unsigned char)p[1]);
            p++;
        }
    }
    return 0;
}

// A static that only stands in for the button lying over it (same place, same text).
bool IsLookAlike(HWND dialog, HWND control)
{
    if (ClassOf(control) != "Static")
        return false;
    RECT own;
    GetWindowRect(control, &own);
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    for (HWND other = GetWindow(dialog, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        RECT rect;
        char otherText[256] = "";
        GetWindowRect(other, &rect);
        GetWindowTextA(other, otherText, sizeof otherText);
        if (other != control && ClassOf(other) == "Button" && EqualRect(&rect, &own) && !strcmp(text, otherText))
            return true;
    }
    return false;
}

// An enabled control a user types into or chooses from; read-only fields and lists without
// a selection only show.
bool NeedsTab(HWND control)
{
    DWORD style = GetWindowLongA(control, GWL_STYLE);
    if (!IsWindowVisible(control) || !IsWindowEnabled(control))
        return false;
    std::string cls = ClassOf(control);
    if (cls == "Edit")
        return !(style & ES_READONLY);
    if (cls == "ListBox")
        return !(style & LBS_NOSEL);
    if (cls == "ComboBox" || cls == "SysListView32")
        return true;
    if (cls == "Button")
        return !IsButtonKind(control, BS_GROUPBOX) && (!IsRadio(control) || (style & WS_GROUP));
    return false;
}

// Where the focus goes when the arrow key is pressed on control, as the dialog's loop does it.
HWND ArrowFrom(HWND dialog, HWND control, UINT key)
{
    SetFocus(control);
    MSG message = {control, WM_KEYDOWN, key, 1, 0, {0, 0}};
    IsDialogMessageA(dialog, &message);
    return GetFocus();
}

std::string Describe(HWND control)
{
    char text[256] = "";
    GetWindowTextA(control, text, sizeof text);
    return ClassOf(control) + " " + std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\"";
}

void CheckDialog(HWND dialog)
{
    std::set<HWND> reached;
    HWND first = GetNextDlgTabItem(dialog, NULL, FALSE);
    for (HWND item = first; item && !reached.count(item); item = GetNextDlgTabItem(dialog, item, FALSE))
        reached.insert(item);

    std::map<char, std::string> keys;
    int defaults = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        DWORD style = GetWindowLongA(control, GWL_STYLE);
        if (IsButtonKind(control, BS_DEFPUSHBUTTON))
            defaults++;
        EXPECT_TRUE(!NeedsTab(control) || reached.count(control)) << Describe(control) << " cannot be reached by Tab";

        HWND before = GetWindow(control, GW_HWNDPREV), after = GetWindow(control, GW_HWNDNEXT);
        bool opensRadios = IsRadio(control) && !(before && IsRadio(before));
        bool closesRadios = IsRadio(control) && after && !IsRadio(after);
        EXPECT_TRUE(!opensRadios || (style & WS_GROUP)) << Describe(control) << " opens a radio group without WS_GROUP";
        EXPECT_TRUE(!closesRadios || (GetWindowLongA(after, GWL_STYLE) & WS_GROUP))
            << Describe(after) << " follows a radio group without WS_GROUP";
        if (opensRadios) {
            int stops = 0;
            for (HWND radio = control; radio && IsRadio(radio); radio = GetWindow(radio, GW_HWNDNEXT))
                stops += (GetWindowLongA(radio, GWL_STYLE) & WS_TABSTOP) != 0;
            EXPECT_EQ(1, stops) << "tab stops in the radio group of " << Describe(control);
        }

        char key = AccessKey(control);
        if (!key || !IsWindowVisible(control) || IsLookAlike(dialog, control))
            continue;
        EXPECT_FALSE(keys.count(key)) << "&" << key << " leads to " << keys[key] << " and " << Describe(control);
        keys[key] = Describe(control);
        EXPECT_TRUE(ClassOf(control) != "Static" || (after && reached.count(after)))
            << "the label " << Describe(control) << " is not followed by the control it names";
    }
    EXPECT_EQ(1, defaults) << "default push buttons";

    // Last, as a push button met on the way takes over the default.
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowEnabled(control) || !(IsRadio(control) || IsButtonKind(control, BS_AUTOCHECKBOX)))
            continue;
        for (UINT key : {VK_DOWN, VK_UP}) {
            HWND landed = ArrowFrom(dialog, control, key);
            bool lost = !landed || IsButtonKind(landed, BS_GROUPBOX) || ClassOf(landed) == "Static";
            EXPECT_FALSE(lost) << (key == VK_DOWN ? "Down" : "Up") << " on " << Describe(control)
                               << " puts the focus on " << (landed ? Describe(landed) : "nothing");
        }
    }
}

TEST(DialogKeys, EveryDialogIsUsableFromTheKeyboard)
{
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    for (const DialogRow &row : dialogs) {
        SCOPED_TRACE(row.name);
        HWND dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(row.id), NULL, PlainProc, 0);
        ASSERT_TRUE(dialog != NULL);
        ShowWindow(dialog, SW_SHOW);
        CheckDialog(dialog);
        EXPECT_TRUE(row.escape != CANCEL_BUTTON || GetDlgItem(dialog, IDCANCEL)) << "no Cancel button for Esc";
        DestroyWindow(dialog);

        if (row.escape == OPENER) {
            DialogDriver driver;
            driver.Then([](HWND shown) { PressKey(shown, VK_ESCAPE); });
            row.open();
            EXPECT_TRUE(driver.Done());
            EXPECT_EQ(0, driver.Unexpected()) << "Esc did not close the dialog";
        }
    }
}

// Tab enters a radio group at its checked button, also after the arrows moved the check: the
// system checks an automatic radio button the keyboard focuses, so a tab stop on another
// button would change the choice on the way through.
TEST(DialogKeys, TabEntersARadioGroupAtItsCheckedButton)
{
    SetDefaultSettings();
    Settings.sortmode = 2;
    Settings.sortdir = 1;
    static const UINT keys[] = {VK_TAB, VK_DOWN, VK_TAB, VK_TAB, VK_TAB, VK_TAB, VK_ESCAPE};
    int focus[7] = {};
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        focus[step] = GetDlgCtrlID(GetFocus());
        PressKey(dialog, keys[step]);
        return step == 6;
    });
    EXPECT_EQ(0, RunSortDialog(NULL));
    EXPECT_EQ(IDC_SORT_SIZE, focus[0]);
    EXPECT_EQ(IDC_SORT_DESCENDING, focus[1]);
    EXPECT_EQ(IDC_SORT_SIZE, focus[5]);
    EXPECT_EQ(IDC_SORT_ASCENDING, focus[6]);
}

}  // namespace
