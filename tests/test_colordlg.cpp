// The colour dialog: typed components, the standard colours, 更新 and Cancel.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "base/globals.h"
#include "config/colordlg.h"
#include "config/settings.h"
#include "screen/screen.h"
#include "color_ids.h"
#include "resource.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

TEST(ColorComponents, TypedTextIsLimited)
{
    EXPECT_EQ(255, ColorComponentFromText("300"));
    EXPECT_EQ(0, ColorComponentFromText("x"));
    EXPECT_EQ(0, ColorComponentFromText(""));
    EXPECT_EQ(17, ColorComponentFromText("17"));
    EXPECT_EQ(0, ColorComponentFromText("-5"));
}

class ColorDialog : public KelpoWindowTest {
protected:
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeFile("a.txt", "a");
        Start(temp.path);
    }
};

TEST_F(ColorDialog, TypingStandardApplyAndCancel)
{
    COLORREF before[COLOR_SLOT_COUNT];
    memcpy(before, Settings.colors, sizeof before);
    // Standard colours then Cancel without 更新: nothing changes.
    {
        DialogDriver driver;
        driver.Then([](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_COLOR_RED, "300");
            PressButton(dialog, IDC_COLOR_STANDARD);
            PressButton(dialog, IDCANCEL);
        });
        EXPECT_EQ(0, RunColorDialog(g_mainWnd));
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, memcmp(before, Settings.colors, sizeof before));
    }
    // A typed red of 300 stores 255 for the background; OK takes it and the screen shows it.
    {
        DialogDriver driver;
        std::string shown;
        driver.ThenSteps([&](HWND dialog, int step) {
            if (step == 0) {
                SetDlgItemTextA(dialog, IDC_COLOR_RED, "300");
                return false;
            }
            PressButton(dialog, IDOK);
            return true;
        });
        SendMessageA(g_mainWnd, WM_COMMAND, IDM_COLORS, 0);
        KelpoPump();
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(RGB(255, 0, 0), Settings.colors[CL_BACK]);
        EXPECT_TRUE(KelpoScreenTruth());
        COLORREF fg, bg;
        ASSERT_TRUE(ScreenCellColors(1, 14, &fg, &bg));   // "Total:" on the screen background
        EXPECT_EQ(RGB(255, 0, 0), bg);
    }
    // 更新 then Cancel: the colours of the opening come back, and the result says so.
    memcpy(before, Settings.colors, sizeof before);
    DialogDriver driver;
    COLORREF appliedBack = 0;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            SetDlgItemTextA(dialog, IDC_COLOR_GREEN, "128");
            PressButton(dialog, IDC_COLOR_APPLY);
            return false;
        }
        appliedBack = Settings.colors[CL_BACK];
        PressButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(1, RunColorDialog(g_mainWnd));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(RGB(255, 128, 0), appliedBack);
    EXPECT_EQ(0, memcmp(before, Settings.colors, sizeof before));
}

}   // namespace
