// The information dialog: figures formatted by unit, processor and version texts, and the
// dialog's drive figures against the system's own answers.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "base/globals.h"
#include "config/settings.h"
#include "info/infodlg.h"
#include "info_ids.h"
#include "support/dialogdriver.h"

namespace {

TEST(InfoFigures, UnitsRoundAndGroupWithoutOverflow)
{
    struct {
        double bytes;
        int unit;
        const char *text;
    } cases[] = {
        {2147483648.0, 0, "2,048"},   {2147483648.0, 1, "2,097,152"}, {5000000000.0, 2, "5,000,000,000"},
        {1572864.0, 0, "2"},          {1023.0, 1, "1"},                {0.0, 0, "0"},
        {18446744073709551616.0 / 4, 0, "4,398,046,511,104"},
    };
    for (const auto &c : cases) {
        char text[64];
        FormatInfoSize(c.bytes, c.unit, text);
        EXPECT_STREQ(c.text, text) << c.bytes << " in unit " << c.unit;
    }
    EXPECT_STREQ("MB", InfoUnitName(0));
    EXPECT_STREQ("ﾊﾞｲﾄ", InfoUnitName(2));
}

TEST(InfoFigures, ProcessorsAndVersions)
{
    char text[160];
    ProcessorName(586, text);
    EXPECT_STREQ("Intel Pentium", text);
    ProcessorName(21064, text);
    EXPECT_STREQ("DEC Alpha 21064", text);
    ProcessorName(8664, text);
    EXPECT_STREQ("Unknown(8664)", text);
    OSVERSIONINFOA version = {};
    version.dwMajorVersion = 4;
    version.dwMinorVersion = 0;
    version.dwBuildNumber = 950;
    strcpy(version.szCSDVersion, " A");
    WindowsVersionText(&version, text);
    EXPECT_STREQ("4.00.950 A", text);
}

std::string Text(HWND dialog, int id)
{
    char text[256];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

std::string Grouped(unsigned long long value)
{
    char text[64];
    FormatInfoSize((double)value, 2, text);
    return text;
}

TEST(InfoDialog, ShowsTheDriveAsTheSystemReportsItInEveryUnit)
{
    ASSERT_TRUE(AllocateTables());
    strcpy(CurrentPath, "C:\\");
    Settings.infounit = 2;
    ULARGE_INTEGER available, total, freeBytes;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &freeBytes));
    char label[32] = "", fileSystem[32] = "";
    DWORD serial = 0, component, flags;
    ASSERT_TRUE(GetVolumeInformationA("C:\\", label, sizeof label, &serial, &component, &flags, fileSystem,
                                      sizeof fileSystem));
    char serialText[16];
    snprintf(serialText, sizeof serialText, "%08lX", (unsigned long)serial);

    DialogDriver driver;
    std::string drive, shownTotal, shownSerial, shownSystem, unitLabel, mbTotal, mbLabel, cpu, windows;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            char name[8] = "";
            HWND list = GetDlgItem(dialog, IDC_INFO_DRIVE);
            SendMessageA(list, CB_GETLBTEXT, SendMessageA(list, CB_GETCURSEL, 0, 0), (LPARAM)name);
            drive = name;
            shownTotal = Text(dialog, IDC_INFO_TOTAL);
            shownSerial = Text(dialog, IDC_INFO_SERIAL);
            shownSystem = Text(dialog, IDC_INFO_FILESYSTEM);
            unitLabel = Text(dialog, 1041);
            cpu = Text(dialog, IDC_INFO_CPU);
            windows = Text(dialog, IDC_INFO_WINDOWS);
            PressButton(dialog, IDC_INFO_UNIT_MB);
            return false;
        }
        mbTotal = Text(dialog, IDC_INFO_TOTAL);
        mbLabel = Text(dialog, 1043);
        PressButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(0, RunInfoDialog(NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("C:", drive);
    EXPECT_EQ(Grouped(total.QuadPart), shownTotal);
    EXPECT_EQ(serialText, shownSerial);
    EXPECT_EQ(fileSystem, shownSystem);
    EXPECT_EQ("ﾊﾞｲﾄ", unitLabel);
    char mb[64];
    FormatInfoSize((double)total.QuadPart, 0, mb);
    EXPECT_EQ(mb, mbTotal);
    EXPECT_EQ("MB", mbLabel);
    EXPECT_EQ(0, Settings.infounit);        // the unit chosen stays, even after Cancel
    EXPECT_FALSE(cpu.empty());
    EXPECT_NE(std::string::npos, windows.find('.'));
    FreeTables();
}

TEST(InfoDialog, AnEditedLabelIsAskedAboutAndNotAppliedOnNo)
{
    ASSERT_TRUE(AllocateTables());
    strcpy(CurrentPath, "C:\\");
    char before[32] = "";
    DWORD serial, component, flags;
    GetVolumeInformationA("C:\\", before, sizeof before, &serial, &component, &flags, NULL, 0);
    DialogDriver driver;
    SeenDialog question;
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_INFO_LABEL, "NEWNAME");
        PressButton(dialog, IDOK);
    });
    driver.Then([&](HWND box) {
        question = ReadDialog(box);
        PressButton(box, IDNO);
    });
    EXPECT_EQ(1, RunInfoDialog(NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Information", question.caption);
    char after[32] = "";
    GetVolumeInformationA("C:\\", after, sizeof after, &serial, &component, &flags, NULL, 0);
    EXPECT_STREQ(before, after);
    FreeTables();
}

}   // namespace
