// Attributes and time stamps: the check states over the chosen entries, the attributes
// built from them, the date and time fields with their validation, and the dialog applying
// them to real files.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "fileops/attr.h"
#include "fileops/fileops_ids.h"
#include "ui/msgdlg.h"
#include "dialogdriver.h"
#include "testutil.h"

namespace {

struct Tables : testing::Environment {
    void SetUp() override { ASSERT_EQ(1, AllocateTables()); }
    void TearDown() override { FreeTables(); }
};
testing::Environment *const tables = testing::AddGlobalTestEnvironment(new Tables);

const DWORD RO = FILE_ATTRIBUTE_READONLY, HI = FILE_ATTRIBUTE_HIDDEN, SY = FILE_ATTRIBUTE_SYSTEM,
            AR = FILE_ATTRIBUTE_ARCHIVE, DI = FILE_ATTRIBUTE_DIRECTORY;

TEST(AttrFields, ValidDatesOnly)
{
    static const struct {
        TimeFields fields;
        bool valid;
    } cases[] = {
        {{2020, 2, 29, 12, 30, 58}, true},
        {{1980, 1, 1, 0, 0, 0}, true},
        {{2107, 12, 31, 23, 59, 59}, true},
        {{2021, 2, 29, 0, 0, 0}, false},
        {{2000, 2, 29, 0, 0, 0}, true},
        {{2100, 2, 29, 0, 0, 0}, false},
        {{2021, 4, 31, 0, 0, 0}, false},
        {{2021, 13, 1, 0, 0, 0}, false},
        {{2021, 0, 1, 0, 0, 0}, false},
        {{2021, 1, 0, 0, 0, 0}, false},
        {{2021, 1, 1, 24, 0, 0}, false},
        {{2021, 1, 1, 0, 60, 0}, false},
        {{2021, 1, 1, 0, 0, 60}, false},
        {{1979, 12, 31, 0, 0, 0}, false},
        {{2108, 1, 1, 0, 0, 0}, false},
        {{99999, 1, 1, 0, 0, 0}, false},
    };
    for (const auto &c : cases) {
        FILETIME utc = {0x12345678, 0x9ABCDEF};
        bool valid = FieldsToFileTime(&c.fields, &utc);
        EXPECT_EQ(c.valid, valid) << c.fields.year << "-" << c.fields.month << "-" << c.fields.day << " "
                                  << c.fields.hour << ":" << c.fields.minute << ":" << c.fields.second;
        if (valid) {
            TimeFields back;
            FileTimeToFields(&utc, &back);
            EXPECT_EQ(c.fields.year, back.year);
            EXPECT_EQ(c.fields.month, back.month);
            EXPECT_EQ(c.fields.day, back.day);
            EXPECT_EQ(c.fields.hour, back.hour);
            EXPECT_EQ(c.fields.minute, back.minute);
            EXPECT_EQ(c.fields.second / 2 * 2, back.second);
        }
    }
}

TEST(AttrFields, ParseDigitsOnly)
{
    static const struct {
        const char *text;
        bool ok;
        unsigned value;
    } cases[] = {
        {"2024", true, 2024}, {"07", true, 7}, {" 7", true, 7}, {"0", true, 0}, {"", false, 0},
        {"1a", false, 0}, {"-1", false, 0}, {"１２", false, 0}, {"9999999", false, 0}, {" ", false, 0},
    };
    for (const auto &c : cases) {
        unsigned value = 12345;
        EXPECT_EQ(c.ok, ParseField(c.text, &value)) << c.text;
        if (c.ok) {
            EXPECT_EQ(c.value, value) << c.text;
        }
    }
}

TEST(AttrBits, NewAttributesFromStates)
{
    static const struct {
        DWORD current;
        int states[ATTR_BOX_COUNT];
        DWORD expected;
    } cases[] = {
        {RO | AR, {0, 0, 0, 0}, FILE_ATTRIBUTE_NORMAL},
        {AR, {1, 0, 0, 1}, RO | AR},
        {HI, {0, 2, 0, 0}, HI},
        {0, {0, 2, 2, 2}, FILE_ATTRIBUTE_NORMAL},
        {SY | AR, {2, 2, 2, 2}, SY | AR},
        {DI | HI, {0, 0, 0, 0}, DI},
        {DI, {1, 1, 1, 1}, DI | RO | HI | SY | AR},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.expected, NewAttributes(c.current, c.states)) << std::hex << c.current;
}

class AttrDialog : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override
    {
        SetDefaultSettings();
        Settings.presort = 1;
        Settings.sortmode = 0;
        Settings.sortdir = 0;
        strcpy(ProgramDir, temp.path.c_str());
        FileMask[0] = '\0';
    }
    void List()
    {
        strcpy(CurrentPath, temp.path.c_str());
        ReadDirectory(0);
        PageTop = CursorSlot = 0;
    }
    int PositionOf(const char *name)
    {
        int found = -1;
        LockFileTable();
        for (int i = 0; i < EntryCount; i++)
            if (strcmp(LongNameAt(i), name) == 0)
                found = i;
        UnlockFileTable();
        return found;
    }
    void Mark(const char *name)
    {
        LockFileTable();
        EntryAt(PositionOf(name))->mark = 1;
        UnlockFileTable();
        MarkedCount++;
    }
    FILETIME WriteTime(const std::string &path)
    {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        return data.ftLastWriteTime;
    }
};

void SetFields(HWND dialog, const char *year, const char *month, const char *day, const char *hour,
               const char *minute, const char *second)
{
    SetDlgItemTextA(dialog, IDC_TIME_YEAR, year);
    SetDlgItemTextA(dialog, IDC_TIME_MONTH, month);
    SetDlgItemTextA(dialog, IDC_TIME_DAY, day);
    SetDlgItemTextA(dialog, IDC_TIME_HOUR, hour);
    SetDlgItemTextA(dialog, IDC_TIME_MINUTE, minute);
    SetDlgItemTextA(dialog, IDC_TIME_SECOND, second);
}

// One file: the read-only box starts checked and the fields show the local time; an invalid
// date is refused with a message and writes nothing; a valid one is written to the second.
TEST_F(AttrDialog, OneFileInvalidThenValidTime)
{
    std::string file = temp.MakeFile("one.txt", "1", RO);
    List();
    CursorSlot = PositionOf("one.txt");
    MarkedCount = 0;
    AttrMode = ATTR_AND_TIME;
    FILETIME before = WriteTime(file);
    TimeFields shown;
    FileTimeToFields(&before, &shown);

    DialogDriver driver;
    SeenDialog first, message;
    UINT readOnlyCheck = 0;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            first = ReadDialog(dialog);
            readOnlyCheck = IsDlgButtonChecked(dialog, IDC_ATTR_READONLY);
            SetFields(dialog, "2021", "02", "30", "10", "00", "00");
            PressButton(dialog, IDOK);
            return true;
        }
        return false;
    });
    driver.Then([&](HWND dialog) {
        message = ReadDialog(dialog);
        PressButton(dialog, IDOK);
    });
    driver.ThenSteps([&](HWND dialog, int) {
        // Still the attribute dialog; the time was not touched.
        EXPECT_EQ("Kelpo - Attribute & File Time", ReadDialog(dialog).caption);
        FILETIME now = WriteTime(file);
        EXPECT_EQ(0, CompareFileTime(&before, &now));
        SetFields(dialog, "2021", "03", "04", "05", "06", "07");
        CheckDlgButton(dialog, IDC_ATTR_READONLY, BST_UNCHECKED);
        PressButton(dialog, IDOK);
        return true;
    });
    EXPECT_EQ(1, AttributeDialog(NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());

    EXPECT_EQ("Kelpo - Attribute & File Time", first.caption);
    EXPECT_EQ("one.txt", first.Find(IDC_ATTR_NAME)->text);
    EXPECT_EQ((UINT)BST_CHECKED, readOnlyCheck);
    char year[8];
    snprintf(year, sizeof year, "%4u", shown.year);
    EXPECT_EQ(year, first.Find(IDC_TIME_YEAR)->text);
    EXPECT_TRUE(first.Find(IDC_TIME_YEAR)->enabled);
    EXPECT_TRUE(first.Find(IDC_ATTR_HIDDEN)->enabled);
    EXPECT_FALSE(first.Find(IDC_ATTR_EXTENDED)->enabled);
    EXPECT_EQ("Kelpo - Attribute & File Time", message.caption);

    EXPECT_FALSE(GetFileAttributesA(file.c_str()) & RO);
    TimeFields written;
    FILETIME after = WriteTime(file);
    FileTimeToFields(&after, &written);
    EXPECT_EQ(2021u, written.year);
    EXPECT_EQ(3u, written.month);
    EXPECT_EQ(4u, written.day);
    EXPECT_EQ(5u, written.hour);
    EXPECT_EQ(6u, written.minute);
    EXPECT_EQ(6u, written.second);
}

// Only the attributes changed on one file: its time, shown to the even second, is not written
// back, so it keeps its odd second and its fraction.
TEST_F(AttrDialog, UntouchedTimeIsNotRewritten)
{
    std::string file = temp.MakeFile("exact.txt", "1", RO);
    SYSTEMTIME when = {2019, 7, 0, 9, 13, 14, 15, 370};
    FILETIME exact;
    ASSERT_TRUE(SystemTimeToFileTime(&when, &exact));
    {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        ASSERT_TRUE(SetFileTime(h, NULL, NULL, &exact));
        CloseHandle(h);
        SetFileAttributesA(file.c_str(), RO);
    }
    List();
    CursorSlot = PositionOf("exact.txt");
    MarkedCount = 0;
    AttrMode = ATTR_AND_TIME;
    DialogDriver driver;
    driver.Then([](HWND dialog) {
        CheckDlgButton(dialog, IDC_ATTR_READONLY, BST_UNCHECKED);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, AttributeDialog(NULL));
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(GetFileAttributesA(file.c_str()) & RO);
    FILETIME after = WriteTime(file);
    EXPECT_EQ(0, CompareFileTime(&exact, &after));
}

// Three marked files, one hidden: the hidden box starts indeterminate and left so keeps
// every file's hidden bit; checking read-only sets it on all.
TEST_F(AttrDialog, MarkedFilesMixedStateKept)
{
    std::string a = temp.MakeFile("a.txt", "a");
    std::string b = temp.MakeFile("b.txt", "b", HI);
    std::string c = temp.MakeFile("c.txt", "c");
    List();
    MarkedCount = 0;
    Mark("a.txt");
    Mark("b.txt");
    Mark("c.txt");
    AttrMode = ATTR_ONLY;
    DialogDriver driver;
    SeenDialog seen;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        EXPECT_EQ(BST_INDETERMINATE, (int)IsDlgButtonChecked(dialog, IDC_ATTR_HIDDEN));
        EXPECT_EQ(BST_UNCHECKED, (int)IsDlgButtonChecked(dialog, IDC_ATTR_READONLY));
        CheckDlgButton(dialog, IDC_ATTR_READONLY, BST_CHECKED);
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, AttributeDialog(NULL));
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("マークされたファイル", seen.Find(IDC_ATTR_NAME)->text);
    EXPECT_FALSE(seen.Find(IDC_TIME_YEAR)->enabled);
    EXPECT_FALSE(seen.Find(IDC_TIME_GROUP)->enabled);
    EXPECT_TRUE(seen.Find(IDC_ATTR_READONLY)->enabled);
    EXPECT_EQ((DWORD)RO, GetFileAttributesA(a.c_str()) & (RO | HI));
    EXPECT_EQ((DWORD)(RO | HI), GetFileAttributesA(b.c_str()) & (RO | HI));
    EXPECT_EQ((DWORD)RO, GetFileAttributesA(c.c_str()) & (RO | HI));
    MarkedCount = 0;
}

// Time only over marked entries: a directory keeps its time, a read-only file gets the new
// time and keeps read-only, and a file held open is reported while the others go on.
TEST_F(AttrDialog, MarkedTimeOnly)
{
    std::string ro = temp.MakeFile("ro.txt", "r", RO);
    std::string held = temp.MakeFile("held.txt", "h");
    std::string dir = temp.MakeDir("sub");
    Settings.dirmark = 1;
    List();
    MarkedCount = 0;
    Mark("ro.txt");
    Mark("held.txt");
    Mark("sub");
    AttrMode = TIME_ONLY;
    FILETIME dirBefore = WriteTime(dir), heldBefore = WriteTime(held);
    HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    DialogDriver driver;
    std::string report;
    driver.Then([&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_ATTR_READONLY)));
        SetFields(dialog, "2001", "01", "02", "03", "04", "05");
        PressButton(dialog, IDOK);
    });
    driver.Then([&](HWND dialog) {
        report = g_messageDialog.text ? g_messageDialog.text : "";
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, AttributeDialog(NULL));
    CloseHandle(holder);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_NE(std::string::npos, report.find("held.txt")) << report;
    FILETIME dirAfter = WriteTime(dir), heldAfter = WriteTime(held), roAfter = WriteTime(ro);
    EXPECT_EQ(0, CompareFileTime(&dirBefore, &dirAfter));
    EXPECT_EQ(0, CompareFileTime(&heldBefore, &heldAfter));
    TimeFields fields;
    FileTimeToFields(&roAfter, &fields);
    EXPECT_EQ(2001u, fields.year);
    EXPECT_EQ(4u, fields.second);
    EXPECT_TRUE(GetFileAttributesA(ro.c_str()) & RO);
    MarkedCount = 0;
}

} // namespace
