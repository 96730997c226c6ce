// The tree and Logdsk commands in the running program: T opens the tree on the listed
// directory and lists the directory chosen with the keys; F9 (12-key layout) and F1 (10-key
// layout) open Logdsk; Shift+L opens the tree at once, and cancelling it cancels Logdsk.
// The window test library checks the pixels against a full repaint after every key.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "tree/tree.h"
#include "ui/msgdlg.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "tree_ids.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "test_tree_support.h"

namespace {

std::string Current()
{
    std::string path = CurrentPath;
    if (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

class TreeWindow : public KelpoWindowTest {
protected:
    char savedDirectory[MAX_PATH] = "";
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof savedDirectory, savedDirectory);
        KelpoWindowTest::SetUp();
        temp.MakeDir("alpha");
        temp.MakeDir("alpha\\beta");
        temp.MakeDir("gamma");
        temp.MakeFile("alpha\\beta\\inside.txt", "x");
        temp.MakeFile("gamma\\gfile.txt", "g");
        ASSERT_TRUE(WriteDriveCCache(temp.path, {"alpha", "alpha\\beta", "gamma"}, ""));
        Start(temp.Full("alpha"));
    }
    void TearDown() override
    {
        KelpoWindowTest::TearDown();
        SetCurrentDirectoryA(savedDirectory);
        RemoveDriveCCache();
    }
};

TEST_F(TreeWindow, TreeAndLogdskChangeTheListedDirectory)
{
    ASSERT_EQ(temp.Full("alpha"), Current());
    {
        DialogDriver driver;
        ChooseBelowInTree(driver, temp.Full("alpha"), temp.Full("alpha\\beta"));
        KelpoKey('T');
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ(temp.Full("alpha\\beta"), Current());
    EXPECT_NE(std::string::npos, KelpoScreen().find("inside.txt")) << KelpoScreen();

    {   // F9 in the 12-key layout: Logdsk, a typed directory.
        DialogDriver driver;
        std::string caption;
        driver.Then([&](HWND dialog) {
            caption = ReadDialog(dialog).caption;
            SetDlgItemTextA(dialog, IDC_PATH_COMBO, temp.Full("gamma").c_str());
            PressButton(dialog, IDOK);
        });
        KelpoKey(VK_F9);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ("Kelpo - Logdsk", caption);
    }
    EXPECT_EQ(temp.Full("gamma"), Current());
    EXPECT_EQ(temp.Full("gamma"), PathHistory[0]);
    EXPECT_EQ(temp.Full("alpha\\beta"), PathHistory[1]);
    EXPECT_NE(std::string::npos, KelpoScreen().find("gfile.txt")) << KelpoScreen();

    {   // Shift+L: the tree at once; Esc there cancels Logdsk as a whole.
        DialogDriver driver;
        std::string caption;
        driver.ThenSteps([&](HWND dialog, int) {
            if (!TreeLoaded(dialog))
                return false;
            caption = ReadDialog(dialog).caption;
            PressKey(dialog, VK_ESCAPE);
            return true;
        });
        KelpoKey('L', KEY_SHIFT);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
        EXPECT_EQ("Kelpo - Directory Tree", caption);
        EXPECT_EQ(nullptr, FindActiveDialog());
    }
    EXPECT_EQ(temp.Full("gamma"), Current());

    {   // F1 in the 10-key layout: Logdsk; a bare drive letter stands for the last directory there.
        Settings.fkeynum = 10;
        RepaintAll(g_mainWnd);
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PATH_COMBO, "c");
            PressButton(dialog, IDOK);
        });
        KelpoKey(VK_F1);
        EXPECT_TRUE(driver.Done());
        Settings.fkeynum = 12;
        RepaintAll(g_mainWnd);
    }
    EXPECT_EQ(temp.Full("gamma"), Current());    // C:'s last listed directory is this one
    EXPECT_TRUE(KelpoScreenTruth());
}

// A directory the cache still holds but that was removed since: T says so and the listing
// stays where it was, instead of showing an empty list under its parent's path.
TEST_F(TreeWindow, DirectoryGoneSinceTheCacheIsRefused)
{
    ASSERT_TRUE(WriteDriveCCache(temp.path, {"alpha", "alpha\\beta", "alpha\\gone", "gamma"}, ""));
    ASSERT_EQ(temp.Full("alpha"), Current());
    std::vector<std::string> seen;
    {   // A directory that is there is listed as before.
        DialogDriver driver;
        ChooseBelowInTree(driver, temp.Full("alpha"), temp.Full("alpha\\beta"));
        KelpoKey('T');
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(temp.Full("alpha\\beta"), Current());
    KelpoKey(VK_BACK);
    ASSERT_EQ(temp.Full("alpha"), Current());
    // The tree opens on the listed directory: down twice reaches "gone".
    DialogDriver second;
    second.ThenSteps([&](HWND dialog, int) {
        if (!TreeLoaded(dialog) || temp.Full("alpha") != TreePath)
            return false;
        PressKey(dialog, VK_DOWN);
        return true;
    });
    second.ThenSteps([&](HWND dialog, int) {
        if (temp.Full("alpha\\beta") != TreePath)
            return false;
        PressKey(dialog, VK_DOWN);
        return true;
    });
    second.ThenSteps([&](HWND dialog, int) {
        if (temp.Full("alpha\\gone") != TreePath)
            return false;
        PressKey(dialog, VK_RETURN);
        return true;
    });
    second.Then([&](HWND dialog) {
        seen.push_back(ReadDialog(dialog).caption + ": " + (g_messageDialog.text ? g_messageDialog.text : ""));
        PressButton(dialog, IDOK);
    });
    KelpoKey('T');
    EXPECT_EQ(0, second.Unexpected());
    EXPECT_TRUE(second.Done());
    EXPECT_EQ((std::vector<std::string>{"Kelpo - Directory Tree: 正しいﾃﾞｨﾚｸﾄﾘ名を入力してください"}), seen);
    EXPECT_EQ(temp.Full("alpha"), Current());
    EXPECT_NE(std::string::npos, KelpoScreen().find("beta")) << KelpoScreen();
    EXPECT_TRUE(KelpoScreenTruth());
}

} // namespace
