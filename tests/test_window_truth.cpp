// What the window shows equals a full repaint of the same state, after every step of a walk
// through pages, first and last entries, a directory and back, and a re-sort. The window test
// library checks the pixels after each key; this walk also reads the header back.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <ctype.h>
#include <string>
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "support/dialogdriver.h"
#include "sort_ids.h"

namespace {

class ScreenTruth : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        // 97 files, a directory, "." and "..": 100 entries, pages of 40, 40 and 20.
        temp.MakeNumberedFiles("f%03d.txt", 97, [](int i) { return (size_t)(97 - i) * 3; });
        temp.MakeDir("inner");
        temp.MakeFile("inner\\only.txt", "1");
    }
    std::string PageField() { return KelpoLine(1).substr(2, 10); }
    std::string PathField()
    {
        std::string text = KelpoLine(3).substr(7, 71);
        for (char &c : text)
            c = (char)tolower((unsigned char)c);
        return text;
    }
    std::string FilesField() { return KelpoLine(5).substr(53, 5); }
};

TEST_F(ScreenTruth, HeaderFollowsPagesDirectoriesAndSorting)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    ASSERT_EQ(40, PageSize());
    EXPECT_EQ("Page: 1/ 3", PageField());
    EXPECT_TRUE(KelpoScreenTruth());

    KelpoKey(VK_NEXT);
    EXPECT_EQ(40, PageTop);
    EXPECT_EQ("Page: 2/ 3", PageField());
    KelpoKey(VK_NEXT);
    EXPECT_EQ("Page: 3/ 3", PageField());
    KelpoKey(VK_F11);               // first entry (12-key layout)
    EXPECT_EQ(0, PageTop + CursorSlot);
    EXPECT_EQ("Page: 1/ 3", PageField());
    KelpoKey(VK_F12);               // last entry
    EXPECT_EQ(99, PageTop + CursorSlot);
    EXPECT_EQ("Page: 3/ 3", PageField());

    KelpoKey(VK_F11);
    LockFileTable();
    int inner = -1;
    for (int i = 0; i < EntryCount; i++)
        if (std::string(LongNameAt(i)) == "inner")
            inner = i;
    UnlockFileTable();
    ASSERT_GE(inner, 0);
    for (int i = 0; i < inner; i++)
        KelpoKey(VK_DOWN);
    KelpoKey(VK_RETURN);
    EXPECT_NE(std::string::npos, PathField().find("inner")) << KelpoScreen();
    EXPECT_EQ("    3", FilesField());
    EXPECT_EQ("Page: 1/ 1", PageField());
    KelpoKey(VK_BACK);
    EXPECT_EQ(std::string::npos, PathField().find("inner")) << KelpoScreen();
    EXPECT_EQ("  100", FilesField());

    // Sort by size, descending in name order becomes ascending in size: the cursor stays on "inner".
    DialogDriver driver;
    driver.ThenSteps([](HWND dialog, int step) {
        if (step == 0)
            CheckRadioButton(dialog, IDC_SORT_NAME, IDC_SORT_DATE, IDC_SORT_SIZE);
        PressButton(dialog, IDOK);   // the first Enter steps from the key group to the direction
        return step == 1;
    });
    KelpoKey('S');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(2, Settings.sortmode);
    LockFileTable();
    EXPECT_EQ("inner", std::string(LongNameAt(PageTop + CursorSlot)));
    UnlockFileTable();
}

// The creation of the window loads the five drive icons the tree and information dialogs show.
TEST_F(ScreenTruth, DriveIconsAreLoadedAtCreation)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    for (int i = 0; i < 5; i++) {
        ASSERT_NE(nullptr, TreeIcons[i]) << "drive icon " << i;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(TreeIcons[i], &info));
        BITMAP bitmap = {};
        GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
        EXPECT_EQ(32, bitmap.bmWidth);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        for (int j = 0; j < i; j++)
            EXPECT_NE(TreeIcons[j], TreeIcons[i]);
    }
}

}   // namespace
