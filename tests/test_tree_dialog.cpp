// The tree dialog and the Logdsk dialog driven with keys and buttons on drive C: of the test
// system: the tree opens on the current directory, follows the arrow keys, returns the
// chosen directory, keeps its cache file, rescans on request; Logdsk checks what is typed.
// Each test writes the cache file of C: with the tree it made (test_tree_support.h); only the
// refresh test scans the drive.
#include <gtest/gtest.h>
#include <string>
#include <string.h>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include "screen/screen.h"
#include "tree/pathhistory.h"
#include "tree/tree.h"
#include "dialogdriver.h"
#include "testutil.h"
#include "tree_ids.h"
#include "test_tree_support.h"

namespace {

const char *const CACHE = DRIVE_C_CACHE;

class TreeDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(1, AllocateTables());
        SetDefaultSettings();
        CreateScreenFonts();
    }
    static void TearDownTestSuite()
    {
        DeleteScreenFonts();
        FreeTables();
    }

    TempDir temp;
    std::string savedPath;

    char savedDirectory[MAX_PATH] = "";

    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof savedDirectory, savedDirectory);
        savedPath = CurrentPath;
        Settings.treesave = 1;
        Settings.treemode = 0;
        Settings.historyCount = 0;
        RemoveDriveCCache();
        temp.MakeDir("alpha");
        temp.MakeDir("alpha\\beta");
        temp.MakeDir("empty");
        temp.MakeDir("gamma");
        temp.MakeFile("alpha\\one.txt", "1");
        for (const char *name : {"b1.txt", "b2.txt", "b3.txt"})
            temp.MakeFile(std::string("alpha\\beta\\") + name, "b");
        for (int i = 0; i < 25; i++)
            temp.MakeFile("gamma\\g" + std::to_string(i) + ".txt", "g");
        temp.MakeFile("gamma\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
        lstrcpynA(CurrentPath, temp.Full("alpha").c_str(), 1024);
        phantom = "phantom-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(WriteDriveCCache(temp.path, {"alpha", "alpha\\beta", "empty", "gamma"}, phantom));
    }

    std::string phantom;

    void TearDown() override
    {
        SetCurrentDirectoryA(savedDirectory);     // Logdsk makes its directory current
        RemoveDriveCCache();
        strcpy(CurrentPath, savedPath.c_str());
    }

    static int ListCount(HWND dialog, int id) { return (int)SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0); }
    static bool HasNode(const char *name)
    {
        for (int i = 0; i < TreeNodeCount; i++)
            if (strcmp(TreeNodes[i].name, name) == 0)
                return true;
        return false;
    }
};

TEST_F(TreeDialogTest, KeysMoveThroughTheTreeAndReturnTheChosenDirectory)
{
    DialogDriver driver;
    std::string seenPath, seenField, status;
    int alphaFiles = -1, betaFiles = -1, emptyFiles = -1, gammaFiles = -1, selected = -1, top = -1;
    driver.ThenSteps([&](HWND dialog, int step) {
        static int phase;
        if (step == 0)
            phase = 0;
        HWND list = GetDlgItem(dialog, IDC_TREE_LIST);
        switch (phase) {
        case 0:     // loaded, on alpha
            if (!TreeLoaded(dialog) || temp.Full("alpha") != TreePath)
                return false;
            seenPath = TreePath;
            seenField = ControlText(dialog, IDC_TREE_PATH);
            status = ControlText(dialog, IDC_TREE_STATUS);
            alphaFiles = ListCount(dialog, IDC_TREE_FILES);
            selected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
            top = (int)SendMessageA(list, LB_GETTOPINDEX, 0, 0);
            PressKey(dialog, VK_DOWN);
            phase = 1;
            return false;
        case 1:     // beta, the child of alpha
            if (temp.Full("alpha\\beta") != TreePath || ControlText(dialog, IDC_TREE_PATH) != TreePath)
                return false;
            betaFiles = ListCount(dialog, IDC_TREE_FILES);
            PressKey(dialog, VK_DOWN);
            phase = 2;
            return false;
        case 2:     // empty: no files
            if (temp.Full("empty") != TreePath)
                return false;
            emptyFiles = ListCount(dialog, IDC_TREE_FILES);
            PressKey(dialog, VK_DOWN);
            phase = 3;
            return false;
        case 3:     // gamma: 26 files, 20 shown
            if (temp.Full("gamma") != TreePath)
                return false;
            gammaFiles = ListCount(dialog, IDC_TREE_FILES);
            PressKey(dialog, VK_RETURN);
            phase = 4;
            return true;
        }
        return false;
    });
    char path[1024];
    strcpy(path, "C:\\");
    EXPECT_EQ(1, OpenDirectoryTree(NULL, path));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    ASSERT_EQ(1u, driver.seen.size());
    EXPECT_EQ("Kelpo - Directory Tree", driver.seen[0].caption);
    EXPECT_EQ(temp.Full("gamma"), path);
    EXPECT_EQ(temp.Full("alpha"), seenPath);
    EXPECT_EQ(seenPath, seenField);
    EXPECT_NE(std::string::npos, status.find("directories  ")) << status;
    EXPECT_EQ(1, alphaFiles);
    EXPECT_EQ(3, betaFiles);
    EXPECT_EQ(1, emptyFiles);      // "No File"
    EXPECT_EQ(20, gammaFiles);
    EXPECT_GT(selected, 0);
    EXPECT_LE(top, selected);
    // The tree was saved when the dialog ended: hidden, and it loads back.
    DWORD attributes = GetFileAttributesA(CACHE);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(1, AllocateTreeTable());
    EXPECT_EQ(1, LoadTreeFile(CACHE));
    EXPECT_TRUE(HasNode("gamma"));
    EXPECT_TRUE(HasNode("beta"));
    FreeTreeTable();
}

TEST_F(TreeDialogTest, CacheIsLoadedUntilRefreshRescansAndCancelKeepsThePath)
{
    char path[1024];
    strcpy(path, "C:\\");
    bool phantomBeforeRefresh = false, phantomAfterRefresh = true;
    int nodesBefore = 0;
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        static int phase;
        if (step == 0)
            phase = 0;
        if (!TreeLoaded(dialog))
            return false;
        if (phase == 0) {
            phantomBeforeRefresh = HasNode(phantom.c_str());
            nodesBefore = TreeNodeCount;
            PressButton(dialog, IDC_TREE_REFRESH);
            phase = 1;
            return false;
        }
        if (HasNode(phantom.c_str()))
            return false;
        phantomAfterRefresh = false;
        PressButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(0, OpenDirectoryTree(NULL, path));
    EXPECT_STREQ("C:\\", path);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_TRUE(phantomBeforeRefresh);     // the cache was used, not a scan
    EXPECT_EQ(10, nodesBefore);
    EXPECT_FALSE(phantomAfterRefresh);
    // Leaving the dialog saved the rescanned tree.
    ASSERT_EQ(1, AllocateTreeTable());
    EXPECT_EQ(1, LoadTreeFile(CACHE));
    EXPECT_FALSE(HasNode(phantom.c_str()));
    EXPECT_TRUE(HasNode("users"));
    FreeTreeTable();
}

TEST_F(TreeDialogTest, ShiftHeldLeavesTheFileListUntilShiftIsReleasedAndDoubleClickChooses)
{
    int filesWhileShifted = -1, filesAfterRelease = -1;
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        static int phase;
        if (step == 0)
            phase = 0;
        HWND list = GetDlgItem(dialog, IDC_TREE_LIST);
        BYTE keys[256];
        if (phase == 0) {
            if (!TreeLoaded(dialog) || temp.Full("alpha") != TreePath || ListCount(dialog, IDC_TREE_FILES) != 1)
                return false;
            GetKeyboardState(keys);
            keys[VK_SHIFT] = 0x80;
            SetKeyboardState(keys);
            PressKey(dialog, VK_DOWN);
            phase = 1;
            return false;
        }
        if (phase == 1) {
            if (temp.Full("alpha\\beta") != TreePath)
                return false;
            filesWhileShifted = ListCount(dialog, IDC_TREE_FILES);
            GetKeyboardState(keys);
            keys[VK_SHIFT] = 0;
            SetKeyboardState(keys);
            PostMessageA(list, WM_KEYUP, VK_SHIFT, 0xC0000001);
            phase = 2;
            return false;
        }
        if (ListCount(dialog, IDC_TREE_FILES) != 3 && step < 60)
            return false;
        filesAfterRelease = ListCount(dialog, IDC_TREE_FILES);
        // A double click on the selected row chooses it.
        RECT row;
        int selected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
        SendMessageA(list, LB_GETITEMRECT, selected, (LPARAM)&row);
        LPARAM at = MAKELPARAM(row.left + 40, (row.top + row.bottom) / 2);
        PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
        PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(list, WM_LBUTTONUP, 0, at);
        return true;
    });
    char path[1024] = "C:\\";
    EXPECT_EQ(1, OpenDirectoryTree(NULL, path));
    EXPECT_EQ(temp.Full("alpha\\beta"), path);
    EXPECT_EQ(1, filesWhileShifted);
    EXPECT_EQ(3, filesAfterRelease);
}

TEST_F(TreeDialogTest, LogdskChecksTheEntryAndChangesTheDirectory)
{
    char letters[TREE_DRIVE_COUNT + 1];
    DriveLetters(letters);
    std::string driveLine, firstEntry;
    std::string messages;
    DialogDriver driver;
    auto type = [](HWND dialog, const std::string &text) {
        SetDlgItemTextA(dialog, IDC_PATH_COMBO, text.c_str());
        PressButton(dialog, IDOK);
    };
    auto answer = [&](HWND dialog) {
        messages += ReadDialog(dialog).caption + "|";
        PressKey(dialog, VK_RETURN);
    };
    driver.Then([&](HWND dialog) {
        driveLine = ControlText(dialog, IDC_DRIVE_LINE);
        char entry[1024] = "";
        SendDlgItemMessageA(dialog, IDC_PATH_COMBO, CB_GETLBTEXT, 0, (LPARAM)entry);
        firstEntry = entry;
        type(dialog, "1");
    });
    driver.Then(answer);                                  // not a drive
    driver.Then([&](HWND dialog) { type(dialog, temp.Full("gamma\\missing")); });
    driver.Then(answer);                                  // not a directory
    driver.Then([&](HWND dialog) { type(dialog, temp.Full("gamma") + "\\"); });
    EXPECT_EQ(1, RunLogdskDialog(NULL, 0));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ(std::string("<") + letters + ">", driveLine);
    EXPECT_EQ(temp.Full("alpha"), firstEntry);
    EXPECT_EQ("Kelpo - Logdsk|Kelpo - Logdsk|", messages);
    ASSERT_GE(driver.seen.size(), 4u);
    EXPECT_EQ(temp.Full("gamma"), PathHistory[0]);
    EXPECT_EQ(temp.Full("alpha"), PathHistory[1]);
    std::string current = CurrentPath;
    StripBackslash(CurrentPath);
    EXPECT_EQ(temp.Full("gamma"), std::string(CurrentPath)) << current;
}

TEST_F(TreeDialogTest, LogdskTreeButtonFillsTheEntryAndTreeAtOnceCancelsTheWhole)
{
    std::string entryAfterTree;
    DialogDriver driver;
    driver.Then([&](HWND dialog) { PressButton(dialog, IDC_TREE_BUTTON); });
    ChooseBelowInTree(driver, temp.Full("alpha"), temp.Full("alpha\\beta"));
    driver.ThenSteps([&](HWND dialog, int) {          // back in Logdsk
        if (ReadDialog(dialog).caption != "Kelpo - Logdsk")
            return false;
        entryAfterTree = ControlText(dialog, IDC_PATH_COMBO);
        PressButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(0, RunLogdskDialog(NULL, 0));
    EXPECT_EQ(temp.Full("alpha\\beta"), entryAfterTree);
    EXPECT_EQ(temp.Full("alpha"), std::string(CurrentPath));

    DialogDriver atOnce;
    std::string caption;
    atOnce.ThenSteps([&](HWND dialog, int) {
        if (!TreeLoaded(dialog))
            return false;
        caption = ReadDialog(dialog).caption;
        PressKey(dialog, VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(0, RunLogdskDialog(NULL, 1));
    EXPECT_TRUE(atOnce.Done());
    EXPECT_EQ(0, atOnce.Unexpected());
    EXPECT_EQ("Kelpo - Directory Tree", caption);
}

} // namespace

namespace {

TEST_F(TreeDialogTest, CorruptCacheOfTheDriveGivesAScan)
{
    ASSERT_EQ(1, AllocateTreeTable());
    BuildDriveRecords(NULL);
    int c = FindDriveRecord('c');
    ASSERT_GE(c, 0);
    EXPECT_EQ(DRIVE_KIND_FIXED, DriveRecords[c].kind);
    EXPECT_EQ(1, DriveRecords[c].volumeValid);
    LoadOrScanDrive(NULL, c, 0);                      // the test's cache
    EXPECT_EQ(10, TreeNodeCount);
    EXPECT_TRUE(HasNode(phantom.c_str()));
    HANDLE file = CreateFileA(CACHE, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFilePointer(file, 20, NULL, FILE_BEGIN);       // the node count
    DWORD written;
    WriteFile(file, "\xFF\xFF\xFF\x7F", 4, &written, NULL);
    CloseHandle(file);
    LoadOrScanDrive(NULL, c, 0);
    EXPECT_FALSE(HasNode(phantom.c_str()));          // scanned
    EXPECT_TRUE(HasNode("users"));
    EXPECT_STREQ("\\", TreeNodes[0].name);
    FreeTreeTable();
}

TEST_F(TreeDialogTest, RemovableDriveAsksBeforeItsFirstCacheFile)
{
    ASSERT_EQ(1, AllocateTreeTable());
    // Drive C: dressed as a floppy, so that its cache file lands where the test can see it.
    DriveRecordCount = 1;
    memset(&DriveRecords[0], 0, sizeof DriveRecords[0]);
    strcpy(DriveRecords[0].name, "C:");
    DriveRecords[0].kind = DRIVE_KIND_REMOVABLE;
    DriveRecords[0].volumeValid = 1;
    BeginTreeScan("C:\\");
    ReduceToNames();
    RemoveDriveCCache();
    std::string question;
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            question = ReadDialog(dialog).caption;
            PressButton(dialog, IDNO);
        });
        SaveTreeCache(NULL, 0);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ("Kelpo - Tree Info Write", question);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(CACHE));      // No: nothing written
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) { PressButton(dialog, IDYES); });
        SaveTreeCache(NULL, 0);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(CACHE));
    {
        DialogDriver driver;                            // the file exists now: no question
        SaveTreeCache(NULL, 0);
        EXPECT_EQ(0, driver.Unexpected());
    }
    // Without volume information nothing is read or written, and the drive is scanned.
    DriveRecords[0].volumeValid = 0;
    RemoveDriveCCache();
    SaveTreeCache(NULL, 0);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(CACHE));
    EXPECT_EQ(0, LoadTreeCache(0));
    DriveRecordCount = 0;
    FreeTreeTable();
}

} // namespace

namespace {

TEST_F(TreeDialogTest, TreeModeOneUsesTheOpenDialogAndKeepsTheChosenFilesDirectory)
{
    Settings.treemode = 1;
    std::string caption;
    DialogDriver driver;
    AnswerFileDialog(driver, temp.Full("gamma\\g1.txt"), &caption, NULL);
    char path[1024];
    snprintf(path, sizeof path, "%s\\", temp.Full("alpha").c_str());
    EXPECT_EQ(1, OpenDirectoryTree(NULL, path));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Directory Tree", caption);
    EXPECT_EQ(temp.Full("gamma") + "\\", path);
    Settings.treemode = 0;
}

} // namespace
