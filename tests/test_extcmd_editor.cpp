// The ExtCommand editor dialog driven like a user: fields, Enter, Shift+arrows, the list, the
// help text, Run, OK and Cancel.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "screen/cursor.h"
#include "base/globals.h"
#include "config/settings.h"
#include "extcmd/extcmd_ids.h"
#include "extcmd/launch.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "recorder/records.h"

namespace {

std::string Text(HWND dialog, int id)
{
    char text[600];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

int Height(HWND dialog)
{
    RECT r;
    GetWindowRect(dialog, &r);
    return r.bottom - r.top;
}

int SelectedRow(HWND dialog)
{
    return (int)SendDlgItemMessageA(dialog, IDC_EXT_LIST, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

// A click on a row, as the list view reports it.
void ClickRow(HWND dialog, int row)
{
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendDlgItemMessageA(dialog, IDC_EXT_LIST, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

class ExtCommandEditor : public KelpoWindowTest {
protected:
    TempDir records;
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeFile("a.txt", "x");
        Start(temp.path);
        for (int i = 0; i < EXTCMD_COUNT; i++) {
            snprintf(ExtCommandTitle[i], EXTCMD_TITLE, "title %d", i);
            snprintf(ExtCommandLine[i], EXTCMD_LINE, "command %d", i);
            ExtCommandDir[i][0] = '\0';
        }
        SaveExtCommands();
    }
};

TEST_F(ExtCommandEditor, FieldsListShiftArrowsHelpAndCancel)
{
    int shortHeight = 0;
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        switch (step) {
        case 0:
            EXPECT_EQ("A", Text(dialog, IDC_EXT_LETTER));
            EXPECT_EQ("title 0", Text(dialog, IDC_EXT_TITLE));
            EXPECT_EQ("command 0", Text(dialog, IDC_EXT_COMMAND));
            EXPECT_EQ(0, SelectedRow(dialog));
            EXPECT_EQ(52, (int)SendDlgItemMessageA(dialog, IDC_EXT_LIST, LVM_GETITEMCOUNT, 0, 0));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXT_HELP)));
            shortHeight = Height(dialog);
            SetFocus(GetDlgItem(dialog, IDC_EXT_TITLE));
            SetDlgItemTextA(dialog, IDC_EXT_TITLE, "edited zero");
            PressKey(dialog, VK_RETURN);
            return false;
        case 1:
            // Enter in the title moves on to the command line; the dialog stays.
            EXPECT_EQ(GetDlgItem(dialog, IDC_EXT_COMMAND), GetFocus());
            EXPECT_STREQ("edited zero", ExtCommandTitle[0]);
            PressKey(dialog, VK_DOWN);      // without Shift: the next field
            return false;
        case 2:
            EXPECT_EQ(GetDlgItem(dialog, IDC_EXT_DIR), GetFocus());
            PressKey(dialog, VK_DOWN);
            return false;
        case 3:
            EXPECT_EQ(GetDlgItem(dialog, IDC_EXT_TITLE), GetFocus());
            ForceShift = 1;
            PressKey(dialog, VK_UP);        // Shift+Up on A stays on A
            return false;
        case 4:
            EXPECT_EQ("A", Text(dialog, IDC_EXT_LETTER));
            PressKey(dialog, VK_DOWN);
            return false;
        case 5:
            ForceShift = 0;
            EXPECT_EQ("B", Text(dialog, IDC_EXT_LETTER));
            EXPECT_EQ("title 1", Text(dialog, IDC_EXT_TITLE));
            EXPECT_EQ(1, SelectedRow(dialog));
            SetDlgItemTextA(dialog, IDC_EXT_COMMAND, "edited one");
            ClickRow(dialog, 51);
            return false;
        case 6:
            EXPECT_EQ("z", Text(dialog, IDC_EXT_LETTER));
            EXPECT_EQ("title 51", Text(dialog, IDC_EXT_TITLE));
            EXPECT_STREQ("edited one", ExtCommandLine[1]);
            ForceShift = 1;
            PressKey(dialog, VK_DOWN);      // Shift+Down on z stays on z
            return false;
        case 7:
            ForceShift = 0;
            EXPECT_EQ("z", Text(dialog, IDC_EXT_LETTER));
            EXPECT_EQ(51, SelectedRow(dialog));
            PressButton(dialog, IDC_EXT_HELP_TOGGLE);
            return false;
        case 8:
            EXPECT_GT(Height(dialog), shortHeight + 50);
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_EXT_HELP)));
            EXPECT_NE(std::string::npos, Text(dialog, IDC_EXT_HELP).find("$TA"));
            PressButton(dialog, IDC_EXT_HELP_TOGGLE);
            return false;
        case 9:
            EXPECT_EQ(shortHeight, Height(dialog));
            PressButton(dialog, IDCANCEL);
            return true;
        }
        return true;
    });
    EXPECT_EQ(0, RunExtCommandEditor(g_mainWnd));
    ForceShift = 0;
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    ASSERT_FALSE(driver.seen.empty());
    EXPECT_EQ("Kelpo - External Command", driver.seen[0].caption);
    // Cancel brought every entry back from the stored table.
    EXPECT_STREQ("title 0", ExtCommandTitle[0]);
    EXPECT_STREQ("command 1", ExtCommandLine[1]);
}

TEST_F(ExtCommandEditor, RunUsesTheFieldsAndOkSaves)
{
    std::string recorder = RecorderPath();
    FindEntryByName("a.txt");
    SetEnvironmentVariableA("KELPO_RECORDER_DIR", records.path.c_str());
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        switch (step) {
        case 0:
            ClickRow(dialog, 2);
            return false;
        case 1:
            SetDlgItemTextA(dialog, IDC_EXT_TITLE, "Record");
            SetDlgItemTextA(dialog, IDC_EXT_COMMAND, (recorder + " $R$C").c_str());
            SetDlgItemTextA(dialog, IDC_EXT_DIR, records.path.c_str());
            PressButton(dialog, IDC_EXT_RUN);
            return false;
        default:
            SetFocus(GetDlgItem(dialog, IDOK));     // as a mouse click on OK leaves it
            PressButton(dialog, IDOK);
            return true;
        }
    });
    EXPECT_EQ(1, RunExtCommandEditor(g_mainWnd));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    std::vector<Record> runs = WaitForRecords(records.path, 1);
    ASSERT_EQ(1u, runs.size());
    EXPECT_EQ(recorder + " a.txt", runs[0].commandLine);
    EXPECT_EQ(records.path, runs[0].directory);
    // OK stored the table: a reload finds the edited entry.
    memset(ExtCommandTitle, 0, EXTCMD_COUNT * EXTCMD_TITLE);
    LoadExtCommands();
    EXPECT_STREQ("Record", ExtCommandTitle[2]);
    EXPECT_EQ(recorder + " $R$C", std::string(ExtCommandLine[2]));
    EXPECT_EQ(records.path, std::string(ExtCommandDir[2]));
    EXPECT_STREQ("title 3", ExtCommandTitle[3]);
}

// 参照 opens the common Open dialog in the current directory proposing *.*; the file chosen
// becomes the command of the entry.
TEST_F(ExtCommandEditor, BrowsePutsTheChosenFileIntoTheCommand)
{
    std::string caption, proposed, command;
    DialogDriver driver;
    driver.Then([](HWND dialog) { PressButton(dialog, IDC_EXT_BROWSE); });
    AnswerFileDialog(driver, temp.Full("a.txt"), &caption, &proposed);
    driver.ThenSteps([&](HWND dialog, int) {
        if (!GetDlgItem(dialog, IDC_EXT_COMMAND))
            return false;                               // the file dialog is still closing
        command = Text(dialog, IDC_EXT_COMMAND);
        PressButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(0, RunExtCommandEditor(g_mainWnd));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("Kelpo - 外部ｺﾏﾝﾄﾞの参照", caption);
    EXPECT_EQ("*.*", proposed);
    EXPECT_EQ(temp.Full("a.txt"), command);
}

}  // namespace
