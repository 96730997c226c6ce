// The rename dialog as copying under another name uses it, and the letter-case rename.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "base/globals.h"
#include "fileops/fileops_ids.h"
#include "fileops/rename.h"
#include "fileops/renamedlg.h"
#include "ui/msgdlg.h"
#include "dialogdriver.h"
#include "testutil.h"

namespace {

// The old name shows above the edit field, which starts with it and the caret at its start;
// the caller may hand one buffer as both names; a name over 259 bytes is refused with a
// message instead of being cut to another name; Cancel leaves the buffer alone.
TEST(RenameDialogTest, OldNameCaretAndLimit)
{
    char name[260] = "前の名前.txt";
    DialogDriver driver;
    SeenDialog seen;
    DWORD selection = 0xFFFF;
    std::string typed(257, 'a');
    typed += "漢字";     // 261 bytes: the first character fits in 259, the second does not
    std::string refusal;
    driver.Then([&](HWND dialog) {
        seen = ReadDialog(dialog);
        selection = (DWORD)SendDlgItemMessageA(dialog, IDC_NAME_EDIT, EM_GETSEL, 0, 0);
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, typed.c_str());
        PressButton(dialog, IDOK);
    });
    driver.Then([&](HWND dialog) {
        refusal = ReadDialog(dialog).caption + ": " + (g_messageDialog.text ? g_messageDialog.text : "");
        PressButton(dialog, IDOK);
    });
    driver.Then([&](HWND dialog) {
        EXPECT_STREQ("前の名前.txt", name);
        typed.resize(typed.size() - 2);     // 259 bytes
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, typed.c_str());
        PressButton(dialog, IDOK);
    });
    ASSERT_EQ(1, RenameDialog(NULL, name, name));
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("Kelpo - Rename: 名前が長すぎます", refusal);
    EXPECT_EQ("Kelpo - Rename", seen.caption);
    EXPECT_EQ("前の名前.txt", seen.Find(IDC_OLD_NAME)->text);
    EXPECT_EQ("前の名前.txt", seen.Find(IDC_NAME_EDIT)->text);
    EXPECT_EQ(IDC_NAME_EDIT, seen.focusId);
    EXPECT_EQ(0u, selection);
    EXPECT_EQ(std::string(257, 'a') + "漢", name);

    strcpy(name, "keep.txt");
    driver.Then([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_NAME_EDIT, "other.txt");
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, RenameDialog(NULL, "keep.txt", name));
    EXPECT_STREQ("keep.txt", name);
}

TEST(RenameEntryTest, CaseOnlyAndRefusals)
{
    TempDir temp;
    temp.MakeFile("abc.txt", "1");
    temp.MakeFile("other.txt", "2");
    SetCurrentDirectoryA(temp.path.c_str());
    ASSERT_TRUE(RenameEntry("abc.txt", "ABC.TXT"));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("abc.txt", &found);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    FindClose(search);
    EXPECT_STREQ("ABC.TXT", found.cFileName);
    // No temporary name is left behind.
    search = FindFirstFileA("*.kelpo*", &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search);
    // Onto an existing name: refused with the system's error, both stay.
    EXPECT_FALSE(RenameEntry("ABC.TXT", "other.txt"));
    EXPECT_NE(0u, GetLastError());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("ABC.TXT"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("other.txt"));
    // A new name with a directory moves the entry there.
    CreateDirectoryA("sub", NULL);
    EXPECT_TRUE(RenameEntry("other.txt", "sub\\moved.txt"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("sub\\moved.txt"));
    SetCurrentDirectoryA("C:\\");
}

} // namespace
