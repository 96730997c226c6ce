// The option, row-count and clipboard dialogs, driven as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "screen/cursor.h"
#include "base/globals.h"
#include "config/settings.h"
#include "config/setdlg.h"
#include "filelist/filetable.h"
#include "resource.h"
#include "setdlg_ids.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

class SettingsDialogs : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeFile("alpha.txt", std::string(1234, 'a'));
        temp.MakeFile("beta.txt", "b");
        temp.MakeFile("長い名前のファイル.txt", "c");
        temp.MakeDir("sub");
        Start(temp.path);
    }
    static void Mark(const char *name)
    {
        int position = FindPositionByName(name);
        ASSERT_GE(position, 0) << name;
        ToggleMark(position);
    }
};

TEST_F(SettingsDialogs, OptionsApplyOnOkAndNotOnCancel)
{
    BYTE treemode = Settings.treemode;
    bool treesaveDisabled = false;
    {
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            if (step == 0) {
                SendDlgItemMessageA(dialog, IDC_OPT_TREEMODE, BM_CLICK, 0, 0);
                return false;
            }
            treesaveDisabled = !IsWindowEnabled(GetDlgItem(dialog, IDC_OPT_TREESAVE));
            PressButton(dialog, IDCANCEL);
            return true;
        });
        EXPECT_EQ(0, RunOptionDialog(g_mainWnd));
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(treemode == 0, treesaveDisabled);
    EXPECT_EQ(treemode, Settings.treemode);

    DialogDriver driver;
    driver.Then([](HWND dialog) {
        SendDlgItemMessageA(dialog, IDC_OPT_SECSW, BM_CLICK, 0, 0);
        CheckRadioButton(dialog, IDC_OPT_KEYS10, IDC_OPT_KEYS12, IDC_OPT_KEYS10);
        SetDlgItemTextA(dialog, IDC_OPT_EDITOR, "C:\\エディタ\\ed.exe");
        PressButton(dialog, IDOK);
    });
    BYTE secsw = Settings.secsw;
    SendMessageA(g_mainWnd, WM_COMMAND, IDM_OPTIONS, 0);
    KelpoPump();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(!secsw, Settings.secsw);
    EXPECT_EQ(10, Settings.fkeynum);
    EXPECT_STREQ("C:\\エディタ\\ed.exe", EditorPath);
    // The new layout is on screen: ten keys, the clock with seconds.
    EXPECT_NE(std::string::npos, KelpoLine(Settings.disprow + 8).find("Logdsk")) << KelpoScreen();
    EXPECT_TRUE(KelpoScreenTruth());
    // And stored.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo", 0, KEY_READ, &key));
    BYTE stored = 0;
    DWORD size = 1;
    RegQueryValueExA(key, "fkeynum", NULL, NULL, &stored, &size);
    RegCloseKey(key);
    EXPECT_EQ(10, stored);
}

TEST_F(SettingsDialogs, RowCountsOutsideOneToTwoHundredKeepTheDialogOpen)
{
    DialogDriver driver;
    bool openAfterZero = false, openAfter201 = false;
    driver.ThenSteps([&](HWND dialog, int step) {
        switch (step) {
        case 0:
            SetDlgItemTextA(dialog, IDC_ROWS_COUNT, "0");
            PressButton(dialog, IDOK);
            return false;
        case 1:
            openAfterZero = IsWindow(dialog) != 0;
            SetDlgItemTextA(dialog, IDC_ROWS_COUNT, "201");
            PressButton(dialog, IDOK);
            return false;
        case 2:
            openAfter201 = IsWindow(dialog) != 0;
            SetDlgItemTextA(dialog, IDC_ROWS_COUNT, "24");
            PressButton(dialog, IDOK);
            return true;
        }
        return true;
    });
    SendMessageA(g_mainWnd, WM_COMMAND, IDM_ROWS_SET, 0);
    KelpoPump();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(openAfterZero);
    EXPECT_TRUE(openAfter201);
    EXPECT_EQ(24, Settings.disprow);
    RECT client;
    GetClientRect(g_mainWnd, &client);
    EXPECT_EQ((24 + 9) * CellHeight + TopOffset, client.bottom);
    EXPECT_TRUE(KelpoScreenTruth());
}

TEST_F(SettingsDialogs, ClipboardTextForEveryPart)
{
    Mark("alpha.txt");
    Mark("beta.txt");
    Mark("長い名前のファイル.txt");
    EXPECT_EQ("alpha.txt\r\nbeta.txt\r\n長い名前のファイル.txt\r\n", ClipboardText(2));
    std::string path = temp.path;
    EXPECT_EQ(path + "\r\nalpha.txt\r\nbeta.txt\r\n長い名前のファイル.txt\r\n", ClipboardText(1 | 2));
    std::string sized = ClipboardText(32 | 2);
    EXPECT_EQ(0u, sized.find("       1,234 alpha.txt\r\n")) << sized;
    Settings.dirmark = 1;
    ToggleMark(FindPositionByName("alpha.txt"));
    ToggleMark(FindPositionByName("beta.txt"));
    ToggleMark(FindPositionByName("長い名前のファイル.txt"));
    Mark("sub");
    EXPECT_EQ("<DIR>       \r\n", ClipboardText(32));
    std::string shortName = ClipboardText(8);
    EXPECT_EQ(0, lstrcmpiA("SUB         \r\n", shortName.substr(0, 14).c_str())) << shortName;

    // The command puts the text on the clipboard.
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        CheckDlgButton(dialog, IDC_CLIP_PATH, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CLIP_NAME, BST_CHECKED);
        CheckDlgButton(dialog, IDC_CLIP_SHORTNAME, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CLIP_SHORTPATH, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CLIP_TIME, BST_UNCHECKED);
        CheckDlgButton(dialog, IDC_CLIP_SIZE, BST_UNCHECKED);
        PressButton(dialog, IDOK);
    });
    NamesToClipboardCommand(g_mainWnd);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(2, Settings.clipmode);
    ASSERT_TRUE(OpenClipboard(g_mainWnd));
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string held = data ? (const char *)GlobalLock(data) : "";
    if (data)
        GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ("sub\r\n", held);
}

}   // namespace
