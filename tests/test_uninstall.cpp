// The uninstall entry and the uninstall run: what is removed, what is left alone, and the
// refusal while another copy runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "app/app.h"
#include "base/globals.h"
#include "maint/uninstall.h"
#include "maint_ids.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"

namespace {

const char settingsKey[] = "Software\\Brevlock\\Kelpo";

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadValue(HKEY root, const char *key, const char *name)
{
    char text[600] = "";
    DWORD size = sizeof text - 1;
    HKEY opened;
    if (RegOpenKeyExA(root, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return "(no key)";
    LONG r = RegQueryValueExA(opened, name, NULL, NULL, (BYTE *)text, &size);
    RegCloseKey(opened);
    return r == ERROR_SUCCESS ? std::string(text) : "(no value)";
}

const std::string signedCache = std::string("KelpoTreeData", 14) + std::string(40, '\x01');

class Uninstall : public testing::Test {
protected:
    TempDir program;
    void SetUp() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
        if (!ProgramDir) {
            ASSERT_TRUE(AllocateTables());
        }
        lstrcpynA(ProgramDir, (program.path + "\\").c_str(), 1024);
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallKeyPath);
        RegDeleteKeyA(HKEY_CURRENT_USER, settingsKey);
        DeleteFileA("C:\\KLPTREE.DAT");
    }
    void FillProgramDirectory()
    {
        program.MakeFile("Kelpo.EXE", "MZ");
        program.MakeFile("Kelpo.HLP", "help", FILE_ATTRIBUTE_READONLY);
        program.MakeFile("ReadMe.TXT", "read me");
        program.MakeFile("Kelpo.GID", "gid", FILE_ATTRIBUTE_HIDDEN);
        program.MakeFile("notes.txt", "mine");
        program.MakeFile("C1234ABC.DAT", signedCache, FILE_ATTRIBUTE_READONLY);
        program.MakeFile("OTHER.DAT", "KelpoTreeDat");          // one byte short of the signature
        program.MakeFile("FOREIGN.DAT", "SomeOtherProgram\0", 0);
    }
};

TEST_F(Uninstall, RegistrationWritesOnceAndKeepsAnEqualEntry)
{
    ASSERT_TRUE(RegisterForUninstall(program.path.c_str()));
    EXPECT_EQ(UninstallDisplayName, ReadValue(HKEY_LOCAL_MACHINE, UninstallKeyPath, "DisplayName"));
    std::string command = ReadValue(HKEY_LOCAL_MACHINE, UninstallKeyPath, "UninstallString");
    ASSERT_GT(command.size(), 3u);
    EXPECT_EQ(" /u", command.substr(command.size() - 3));
    EXPECT_NE(std::string::npos, command.find("Kelpo.EXE"));
    // The same name is there: nothing is written again.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKeyPath, 0, KEY_SET_VALUE, &key));
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)"kept", 5);
    RegCloseKey(key);
    ASSERT_TRUE(RegisterForUninstall(program.path.c_str()));
    EXPECT_EQ("kept", ReadValue(HKEY_LOCAL_MACHINE, UninstallKeyPath, "UninstallString"));
}

TEST_F(Uninstall, OnlySignedTreeCachesAndTheDistributionFilesGo)
{
    FillProgramDirectory();
    EXPECT_TRUE(IsTreeCacheFile(program.Full("C1234ABC.DAT").c_str()));
    EXPECT_FALSE(IsTreeCacheFile(program.Full("OTHER.DAT").c_str()));
    EXPECT_FALSE(IsTreeCacheFile(program.Full("missing.DAT").c_str()));
    // A root's KLPTREE.DAT of another program stays.
    HANDLE root = CreateFileA("C:\\KLPTREE.DAT", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, root);
    DWORD written;
    WriteFile(root, "not a tree", 10, &written, NULL);
    CloseHandle(root);
    RemoveTreeCacheFiles(program.path.c_str());
    EXPECT_TRUE(Exists("C:\\KLPTREE.DAT"));
    EXPECT_FALSE(Exists(program.Full("C1234ABC.DAT")));
    EXPECT_TRUE(Exists(program.Full("OTHER.DAT")));
    EXPECT_TRUE(Exists(program.Full("FOREIGN.DAT")));
    // A signed one at a fixed drive's root goes, read-only or not.
    root = CreateFileA("C:\\KLPTREE.DAT", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    WriteFile(root, signedCache.data(), (DWORD)signedCache.size(), &written, NULL);
    CloseHandle(root);
    SetFileAttributesA("C:\\KLPTREE.DAT", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    RemoveTreeCacheFiles(program.path.c_str());
    EXPECT_FALSE(Exists("C:\\KLPTREE.DAT"));

    RemoveDistributionFiles(program.path.c_str());
    EXPECT_FALSE(Exists(program.Full("Kelpo.HLP")));
    EXPECT_FALSE(Exists(program.Full("ReadMe.TXT")));
    EXPECT_FALSE(Exists(program.Full("Kelpo.GID")));
    EXPECT_TRUE(Exists(program.Full("Kelpo.EXE")));
    EXPECT_TRUE(Exists(program.Full("notes.txt")));
}

TEST_F(Uninstall, TheDialogRemovesEverythingStageByStage)
{
    FillProgramDirectory();
    ASSERT_TRUE(RegisterForUninstall(program.path.c_str()));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, settingsKey, &key));
    RegSetValueExA(key, "sortmode", 0, REG_BINARY, (const BYTE *)"\x02", 1);
    RegCloseKey(key);

    DialogDriver driver;
    std::string done, registry;
    bool okWasDisabled = false, okFocused = false;
    driver.Then([](HWND box) { PressButton(box, IDYES); });
    driver.ThenSteps([&](HWND dialog, int step) {
        HWND ok = GetDlgItem(dialog, IDOK);
        if (step == 0)
            okWasDisabled = !IsWindowEnabled(ok);
        if (!IsWindowEnabled(ok))
            return false;
        char text[256];
        GetDlgItemTextA(dialog, IDC_UNINSTALL_DONE, text, sizeof text);
        done = text;
        GetDlgItemTextA(dialog, IDC_UNINSTALL_REGISTRY, text, sizeof text);
        registry = text;
        okFocused = GetFocus() == ok;
        PressKey(dialog, VK_ESCAPE);
        return true;
    });
    EXPECT_EQ(1, RunUninstall(NULL, 1));
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(okWasDisabled);
    EXPECT_TRUE(okFocused);
    EXPECT_EQ("登録情報を削除しました", registry);
    EXPECT_EQ("Kelpoの削除を終了しました\nあとはKelpo.EXEをｴｸｽﾌﾟﾛｰﾗ等で\n削除して下さい", done);
    EXPECT_EQ("(no key)", ReadValue(HKEY_CURRENT_USER, settingsKey, "sortmode"));
    EXPECT_EQ("(no key)", ReadValue(HKEY_LOCAL_MACHINE, UninstallKeyPath, "DisplayName"));
    EXPECT_FALSE(Exists(program.Full("C1234ABC.DAT")));
    EXPECT_FALSE(Exists(program.Full("Kelpo.HLP")));
    EXPECT_TRUE(Exists(program.Full("FOREIGN.DAT")));
    EXPECT_TRUE(Exists(program.Full("Kelpo.EXE")));
}

TEST_F(Uninstall, AnotherCopyRunningOrNoMeansNothingChanges)
{
    FillProgramDirectory();
    ASSERT_TRUE(RegisterForUninstall(program.path.c_str()));
    DialogDriver driver;
    SeenDialog refusal;
    driver.Then([&](HWND box) {
        refusal = ReadDialog(box);
        PressButton(box, IDOK);
    });
    EXPECT_EQ(0, RunUninstall(NULL, 2));
    EXPECT_EQ("Kelpo - Uninstall", refusal.caption);
    bool text = false;
    for (const SeenControl &c : refusal.controls)
        text |= c.text.find("全ての Kelpo を終了させてから") != std::string::npos;
    EXPECT_TRUE(text);
    driver.Then([](HWND box) { PressButton(box, IDNO); });
    EXPECT_EQ(0, RunUninstall(NULL, 1));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(UninstallDisplayName, ReadValue(HKEY_LOCAL_MACHINE, UninstallKeyPath, "DisplayName"));
    EXPECT_TRUE(Exists(program.Full("C1234ABC.DAT")));
    EXPECT_TRUE(Exists(program.Full("Kelpo.HLP")));
}

// " /u" runs the uninstall instead of the filer: answering No closes the window at once.
TEST_F(Uninstall, SwitchRunsTheUninstallInsteadOfTheFiler)
{
    DialogDriver driver;
    SeenDialog question;
    driver.Then([&](HWND box) {
        question = ReadDialog(box);
        PressButton(box, IDNO);
    });
    KelpoStart("Kelpo.EXE /u");
    for (int i = 0; i < 50 && g_mainWnd && IsWindow(g_mainWnd); i++) {
        KelpoPump();
        Sleep(20);
    }
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("Kelpo - Uninstall", question.caption);
    EXPECT_EQ(1, UninstallMode);
    EXPECT_FALSE(g_mainWnd && IsWindow(g_mainWnd));
    KelpoStop();
}

}   // namespace
