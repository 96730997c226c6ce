// Copy and move onto a real small file system: a 1 MiB tmpfs mounted for the test and mapped as
// drive Y: of the Wine prefix (needs root; skipped with a message where mounting is refused).
// More is copied and moved than fits: every source stays whole, no target is left truncated,
// and the failure is reported.
#include <gtest/gtest.h>
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "fileops/copy.h"
#include "fileops/copy_ids.h"
#include "ui/msgdlg.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "test_copy_files.h"
#include "screen/cursor.h"

namespace {

const char DRIVE = 'Y';

// Runs a shell command on the host (Wine starts Unix programs); its exit code.
int Host(const std::string &command)
{
    std::string line = "/bin/sh -c \"" + command + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA("Z:\\bin\\sh", &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return -1;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return (int)code;
}

std::string Content(char seed, size_t size)
{
    std::string data(size, '\0');
    for (size_t i = 0; i < size; i++)
        data[i] = (char)(seed + i * 7 + (i >> 9));
    return data;
}

class DiskFull : public testing::Test {
protected:
    static std::string mountPoint, link;
    static bool mounted;
    static std::string reason;
    static void SetUpTestSuite()
    {
        char prefix[MAX_PATH] = "";
        GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
        if (!prefix[0]) {
            reason = "WINEPREFIX is not set";
            return;
        }
        if (GetLogicalDrives() & (1u << (DRIVE - 'A'))) {
            reason = "drive Y: is in use";
            return;
        }
        mountPoint = "/tmp/kelpo-diskfull-" + std::to_string(GetCurrentProcessId());
        link = std::string(prefix) + "/dosdevices/" + (char)(DRIVE - 'A' + 'a') + ":";
        int code = Host("mkdir -p " + mountPoint + " && mount -t tmpfs -o size=1m tmpfs " + mountPoint +
                        " && ln -sfn " + mountPoint + " '" + link + "'");
        // The host command may still run when it is reported finished, and the process sees a
        // new drive of the prefix only after a moment: wait for the small drive to answer.
        ULARGE_INTEGER total{};
        for (int i = 0; code >= 0 && i < 100; i++) {
            if (GetDiskFreeSpaceExA("Y:\\", NULL, &total, NULL) && total.QuadPart <= (2u << 20))
                break;
            total.QuadPart = 0;
            Sleep(100);
        }
        mounted = total.QuadPart > 0;
        if (!mounted)
            reason = "mounting a tmpfs at " + mountPoint + " as Y: failed (it needs root)";
    }
    static void TearDownTestSuite()
    {
        if (!mountPoint.empty())
            Host("rm -f '" + link + "'; umount " + mountPoint + "; rmdir " + mountPoint);
    }
    void SetUp() override
    {
        if (!mounted)
            GTEST_SKIP() << "no 1 MiB file system as drive Y: " << reason;
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
        src = temp.MakeDir("src");
        RemoveTree("Y:");   // its files; the root itself stays
    }
    void TearDown() override
    {
        KelpoStop();
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
    }
    void MarkEntry(const std::string &name)
    {
        for (int i = 0; i < EntryCount; i++) {
            LockFileTable();
            bool here = name == LongNameAt(PageTop + CursorSlot);
            UnlockFileTable();
            if (here)
                break;
            KelpoKey(VK_DOWN);
        }
        KelpoKey(VK_SPACE);
    }
    TempDir temp;
    std::string src;
};
std::string DiskFull::mountPoint, DiskFull::link;
bool DiskFull::mounted;
std::string DiskFull::reason;

// The safe copy on its own, past the free-space check: a copy that cannot be completed
// leaves no target behind, and an old target survives a failed replacement.
TEST_F(DiskFull, FailedCopiesLeaveNoTruncatedTarget)
{
    ASSERT_EQ(1, AllocateTables());
    std::string big = temp.MakeFile("src\\big.bin", Content('b', 1536 * 1024));
    EXPECT_FALSE(CopyFileSafely(big.c_str(), "Y:\\big.bin", 0, 0));
    DWORD code = GetLastError();
    EXPECT_TRUE(code == ERROR_DISK_FULL || code == ERROR_HANDLE_DISK_FULL) << code;
    EXPECT_FALSE(Exists("Y:\\big.bin"));

    std::string old = Content('o', 600 * 1024);
    HANDLE h = CreateFileA("Y:\\keep.bin", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD written;
    WriteFile(h, old.data(), (DWORD)old.size(), &written, NULL);
    CloseHandle(h);
    std::string mid = temp.MakeFile("src\\keep.bin", Content('n', 500 * 1024));
    EXPECT_FALSE(CopyFileSafely(mid.c_str(), "Y:\\keep.bin", 1, 0));
    EXPECT_EQ(old, ReadAll("Y:\\keep.bin"));
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("Y:\\klp*.tmp", &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << "temporary file left: " << found.cFileName;
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    FreeTables();
}

// Copy and then move three files and a tree that together need more than the drive holds.
TEST_F(DiskFull, CopyAndMoveMoreThanFits)
{
    std::map<std::string, std::string> sources = {
        {"a.bin", Content('a', 400 * 1024)},
        {"b.bin", Content('b', 400 * 1024)},
        {"c.bin", Content('c', 400 * 1024)},
        {"t\\1.bin", Content('1', 150 * 1024)},
        {"t\\2.bin", Content('2', 150 * 1024)},
    };
    temp.MakeDir("src\\t");
    for (const auto &file : sources)
        temp.MakeFile("src\\" + file.first, file.second);
    ASSERT_TRUE(KelpoStart("Kelpo.EXE \"" + src + "\""));
    Settings.dirmark = 1;

    for (int move = 0; move < 2; move++) {
        RemoveTree("Y:");   // its files; the root itself stays
        for (const char *name : {"a.bin", "b.bin", "c.bin", "t"})
            MarkEntry(name);
        ASSERT_EQ(4, MarkedCount) << move;
        std::vector<std::string> texts;
        std::string resultText;
        DialogDriver driver;
        driver.Then([](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_DEST_COMBO, "Y:\\");
            PressButton(dialog, IDOK);
        });
        // Each report of a full disk is answered; the result dialog ends the command.
        driver.ThenSteps([&](HWND dialog, int) {
            char caption[64];
            GetWindowTextA(dialog, caption, sizeof caption);
            if (strcmp(caption, "Kelpo - Result") == 0) {
                char text[128];
                GetDlgItemTextA(dialog, IDC_RESULT_TEXT, text, sizeof text);
                resultText = text;
                PressButton(dialog, IDOK);
                return true;
            }
            if (g_messageDialog.text)
                texts.push_back(g_messageDialog.text);
            PressButton(dialog, IDOK);
            return false;
        });
        KelpoType(move ? "m" : "c");
        EXPECT_TRUE(driver.Done()) << move;
        EXPECT_FALSE(texts.empty()) << move;
        for (const std::string &text : texts)
            EXPECT_EQ(move ? "移動先のﾃﾞｨｽｸがいっぱいです" : "ｺﾋﾟｰ先のﾃﾞｨｽｸがいっぱいです", text);
        // Every target is whole; every source not moved is whole too.
        int whole = 0;
        for (const auto &file : sources) {
            std::string target = std::string("Y:\\") + file.first;
            std::string source = src + "\\" + file.first;
            if (Exists(target)) {
                EXPECT_EQ(file.second.size(), ReadAll(target).size()) << target;
                EXPECT_TRUE(file.second == ReadAll(target)) << target;
                whole++;
            }
            if (!move || !Exists(target))
                EXPECT_TRUE(file.second == ReadAll(source)) << source;
            else
                EXPECT_FALSE(Exists(source)) << source;
        }
        EXPECT_GE(whole, 2);
        EXPECT_LT(whole, 5);
        EXPECT_EQ(std::to_string(whole) + (move ? "個のファイルの移動を終了しました" : "個のファイルのコピーを終了しました"),
                  resultText);
        if (move)
            break;
    }
}

} // namespace
