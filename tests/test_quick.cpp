// QuickAccess: the list in order of use, its limits, what OK and Cancel store.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "config/quick.h"
#include "config/registry.h"
#include "quick_ids.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "ui/msgdlg.h"

namespace {

class Quick : public testing::Test {
protected:
    char list[QUICK_MAX][QUICK_ITEM];
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
        memset(list, 0, sizeof list);
        if (!CurrentPath) {
            ASSERT_TRUE(AllocateTables());
        }
    }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo"); }
    int Fill(int n)
    {
        for (int i = 0; i < n; i++)
            snprintf(list[i], QUICK_ITEM, "C:\\dir%02d", i);
        return n;
    }
    std::vector<std::string> Stored()
    {
        char loaded[QUICK_MAX][QUICK_ITEM];
        int n = LoadQuickList(loaded);
        return std::vector<std::string>(loaded, loaded + n);
    }
};

TEST_F(Quick, RegisteringMovesOrPushesAndTheListHoldsTwenty)
{
    int count = Fill(5);
    count = RegisterQuickPath(list, count, "C:\\dir02");
    EXPECT_EQ(5, count);
    EXPECT_STREQ("C:\\dir02", list[0]);
    EXPECT_STREQ("C:\\dir00", list[1]);
    EXPECT_STREQ("C:\\dir01", list[2]);
    EXPECT_STREQ("C:\\dir03", list[3]);
    count = Fill(19);
    count = RegisterQuickPath(list, count, "D:\\new");
    EXPECT_EQ(20, count);
    EXPECT_STREQ("C:\\dir18", list[19]);
    count = RegisterQuickPath(list, count, "E:\\newer");
    EXPECT_EQ(20, count);
    EXPECT_STREQ("E:\\newer", list[0]);
    EXPECT_STREQ("C:\\dir17", list[19]);    // the oldest fell off
    count = DeleteQuickPath(list, count, 19);
    EXPECT_EQ(19, count);
    count = DeleteQuickPath(list, count, 0);
    EXPECT_STREQ("D:\\new", list[0]);
    EXPECT_EQ(count, DeleteQuickPath(list, count, count));   // no such entry
}

TEST_F(Quick, StoredInUseOrderAndReadOnlyWhatExists)
{
    int count = Fill(6);
    SaveQuickList(list, count, 3);
    EXPECT_EQ((std::vector<std::string>{"C:\\dir03", "C:\\dir00", "C:\\dir01", "C:\\dir02", "C:\\dir04", "C:\\dir05"}),
              Stored());
    RegWriteWord("qcount", 9);   // more than there are values
    EXPECT_EQ(6u, Stored().size());
}

TEST_F(Quick, DialogRegistersJumpsAndCancelStoresNothing)
{
    TempDir temp;
    int count = Fill(4);
    strcpy(list[2], temp.MakeDir("dir02").c_str());
    SaveQuickList(list, count, -1);
    strcpy(CurrentPath, "C:\\work\\");
    {
        DialogDriver driver;
        driver.Then([](HWND dialog) {
            PressButton(dialog, IDC_QUICK_DELETE);
            PressButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(0, RunQuickAccess(NULL));
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(4u, Stored().size());
    }
    DialogDriver driver;
    int items = 0;
    driver.ThenSteps([&](HWND dialog, int step) {
        HWND box = GetDlgItem(dialog, IDC_QUICK_LIST);
        if (step == 0) {
            PressKey(box, VK_INSERT);           // registers C:\work in front
            return false;
        }
        items = (int)SendMessageA(box, LB_GETCOUNT, 0, 0);
        SendMessageA(box, LB_SETCURSEL, 3, 0);  // dir02
        PressButton(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(1, RunQuickAccess(NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(5, items);
    EXPECT_EQ(temp.Full("dir02"), CurrentPath);
    EXPECT_EQ((std::vector<std::string>{temp.Full("dir02"), "C:\\work", "C:\\dir00", "C:\\dir01", "C:\\dir03"}),
              Stored());
}

// An entry whose directory is gone is not jumped to: the dialog says so and stays, and the
// entry can be deleted there. A current path longer than a slot is not registered cut short.
TEST_F(Quick, GoneDirectoryIsRefusedAndTooLongPathNotRegistered)
{
    TempDir temp;
    std::string here = temp.MakeDir("表ソ");   // second bytes 0x5C
    strcpy(list[0], temp.Full("消えた").c_str());
    strcpy(list[1], here.c_str());
    SaveQuickList(list, 2, -1);
    std::string longPath = "C:\\" + std::string(QUICK_ITEM, 'x');
    strcpy(CurrentPath, longPath.c_str());
    std::vector<std::string> messages;
    int itemsAfterInsert = 0;
    DialogDriver driver;
    driver.Then([](HWND dialog) { PressKey(GetDlgItem(dialog, IDC_QUICK_LIST), VK_INSERT); });
    auto readMessage = [&](HWND dialog) {
        messages.push_back(ReadDialog(dialog).caption + ": " + (g_messageDialog.text ? g_messageDialog.text : ""));
        PressButton(dialog, IDOK);
    };
    driver.Then(readMessage);
    driver.Then([&](HWND dialog) {
        itemsAfterInsert = (int)SendDlgItemMessageA(dialog, IDC_QUICK_LIST, LB_GETCOUNT, 0, 0);
        SendDlgItemMessageA(dialog, IDC_QUICK_LIST, LB_SETCURSEL, 0, 0);
        PressButton(dialog, IDOK);      // the missing directory
    });
    driver.Then(readMessage);
    driver.Then([&](HWND dialog) {
        PressKey(GetDlgItem(dialog, IDC_QUICK_LIST), VK_DELETE);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, RunQuickAccess(NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ(2, itemsAfterInsert);
    EXPECT_EQ((std::vector<std::string>{"Kelpo - QuickAccess: ﾊﾟｽが長すぎるため登録できません",
                                        "Kelpo - QuickAccess: " + temp.Full("消えた") + "@@ﾃﾞｨﾚｸﾄﾘが見つかりません"}),
              messages);
    EXPECT_EQ(here, CurrentPath);
    EXPECT_EQ(std::vector<std::string>{here}, Stored());
}

}   // namespace
