// Deleting files and trees: the attribute handling around each deletion, the two
// confirmation dialogs answered by keys and buttons, failures reported once, and a file held
// open by another process.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "base/globals.h"
#include "screen/cursor.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "fileops/delete.h"
#include "fileops/fileops_ids.h"
#include "fileops/copy.h"
#include "ui/msgdlg.h"
#include "dialogdriver.h"
#include "testutil.h"
#include "window.h"

namespace {

struct Tables : testing::Environment {
    void SetUp() override { ASSERT_EQ(1, AllocateTables()); }
    void TearDown() override { FreeTables(); }
};
testing::Environment *const tables = testing::AddGlobalTestEnvironment(new Tables);

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

const DWORD ASKED = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD Attributes(const std::string &path)
{
    return GetFileAttributesA(path.c_str());
}

class Deleting : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override
    {
        SetDefaultSettings();
        strcpy(ProgramDir, temp.path.c_str());
        strcpy(CurrentPath, temp.path.c_str());
        MarkedCount = 0;
        DeleteConfirm = 0;
        AbortFlag = BusyFlag = 0;
    }
    // dir\d1\d2…\d<depth>, each level with a plain and a read-only file.
    std::string MakeDeepTree(const std::string &top, int depth)
    {
        std::string relative = top;
        temp.MakeDir(relative);
        for (int level = 1; level <= depth; level++) {
            relative += "\\d" + std::to_string(level);
            temp.MakeDir(relative);
            temp.MakeFile(relative + "\\plain.txt", "p");
            temp.MakeFile(relative + "\\locked.txt", "r", FILE_ATTRIBUTE_READONLY);
        }
        return relative;
    }
};

TEST(DeleteTexts, QuestionAndAttributeWords)
{
    char text[PATH_BUFFER];
    DeleteQuestion("short.txt", text);
    EXPECT_STREQ("short.txt を削除します", text);
    // 22 bytes and more: the first 20 bytes, then the ellipsis; a double-byte character is not cut.
    DeleteQuestion("abcdefghijklmnopqrstuv", text);
    EXPECT_STREQ("abcdefghijklmnopqrst… を削除します", text);
    DeleteQuestion("abcdefghijklmnopqrsあいう", text);
    EXPECT_STREQ("abcdefghijklmnopqrs… を削除します", text);
    DeleteQuestion("abcdefghijklmnopqrstu", text);
    EXPECT_STREQ("abcdefghijklmnopqrstu を削除します", text);

    static const struct {
        DWORD attributes;
        const char *words;
    } cases[] = {
        {FILE_ATTRIBUTE_READONLY, "Read only ですが"},
        {FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, "Hidden ですが"},
        {FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, "Read only / System ですが"},
        {FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, "Read only / Hidden / System ですが"},
    };
    for (const auto &c : cases) {
        char words[64];
        AttributeWords(c.attributes, words);
        EXPECT_STREQ(c.words, words);
    }
}

TEST_F(Deleting, ClearAndRestoreAttributes)
{
    std::string file = temp.MakeFile("ro.txt", "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_EQ(1, ClearForDelete(file.c_str(), 0, 0));
    EXPECT_EQ(0u, Attributes(file) & ASKED);
    RestoreClearedAttributes(file.c_str());
    EXPECT_TRUE(Attributes(file) & FILE_ATTRIBUTE_READONLY);
    // Restored once only: a second call changes nothing.
    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    RestoreClearedAttributes(file.c_str());
    EXPECT_EQ(0u, Attributes(file) & ASKED);

    std::string dir = temp.MakeDir("ro-dir");
    SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(1, ClearForDelete(dir.c_str(), 0, 0));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, Attributes(dir) & ~(DWORD)FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(Deleting, TenLevelTreeWithReadOnlyFilesGoesWhole)
{
    MakeDeepTree("deep", 10);
    std::string top = temp.Full("deep");
    EXPECT_EQ(1, DeleteTree(top.c_str()));
    EXPECT_FALSE(Exists(top));
    EXPECT_TRUE(Exists(temp.path));
}

TEST_F(Deleting, WalkSkipsDotEntriesAndStopsOnAbort)
{
    MakeDeepTree("walk", 3);
    static int files, left;
    files = left = 0;
    auto countFile = [](const char *, const char *name) -> int {
        EXPECT_NE('.', name[0]);
        files++;
        return 1;
    };
    auto countLeave = [](const char *, int complete) -> int {
        EXPECT_EQ(1, complete);
        left++;
        return 1;
    };
    EXPECT_EQ(1, WalkTree(temp.Full("walk").c_str(), NULL, countFile, countLeave));
    EXPECT_EQ(6, files);
    EXPECT_EQ(4, left);
    // A drive root is never walked.
    EXPECT_EQ(0, WalkTree("C:\\", NULL, countFile, NULL));
    AbortFlag = 1;
    files = 0;
    EXPECT_EQ(0, WalkTree(temp.Full("walk").c_str(), NULL, countFile, NULL));
    EXPECT_EQ(0, files);
    AbortFlag = 0;
}

// Cancel in the attribute confirmation deep in the tree: the walk stops, the file keeps its
// attributes and every directory above it stays; nothing is reported.
TEST_F(Deleting, CancelInsideTreeKeepsFileAndParents)
{
    temp.MakeDir("t");
    temp.MakeDir("t\\a");
    temp.MakeDir("t\\a\\b");
    std::string hidden = temp.MakeFile("t\\a\\b\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN);
    temp.MakeFile("t\\a\\plain.txt", "p");
    DeleteConfirm = 1;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        SeenDialog seen = ReadDialog(dialog);
        EXPECT_EQ("Kelpo - Delete File", seen.caption);
        ASSERT_TRUE(seen.Find(IDC_DELETE_PATH));
        EXPECT_EQ(hidden, seen.Find(IDC_DELETE_PATH)->text);
        EXPECT_EQ("Hidden ですが", seen.Find(IDC_DELETE_WORDS)->text);
        // A single unmarked file in a tree still offers "all that follow".
        EXPECT_TRUE(seen.Find(IDC_DELETE_ALL)->enabled);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(0, DeleteTree(temp.Full("t").c_str()));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_TRUE(Exists(hidden));
    EXPECT_TRUE(Attributes(hidden) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_TRUE(Exists(temp.Full("t\\a\\b")));
    EXPECT_TRUE(Exists(temp.Full("t")));
}

// "以降を全てOK(&A)" once: no further question in the same run.
TEST_F(Deleting, AllThatFollowAsksOnce)
{
    temp.MakeDir("t");
    temp.MakeFile("t\\1.txt", "1", FILE_ATTRIBUTE_READONLY);
    temp.MakeFile("t\\2.txt", "2", FILE_ATTRIBUTE_SYSTEM);
    temp.MakeFile("t\\3.txt", "3", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    Settings.returndeleteyes = 1;
    DeleteConfirm = 1;
    DialogDriver driver;
    driver.Then([](HWND dialog) { PressKey(dialog, 'A'); });
    EXPECT_EQ(1, DeleteTree(temp.Full("t").c_str()));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ(0, DeleteConfirm);
    EXPECT_FALSE(Exists(temp.Full("t")));
}

// A directory that cannot be removed is reported once; its parents, which cannot be
// emptied because of it, stay without a report of their own.
TEST_F(Deleting, DirectoryLeftBehindIsReportedOnce)
{
    temp.MakeDir("t");
    temp.MakeDir("t\\a");
    temp.MakeDir("t\\a\\held");
    temp.MakeFile("t\\a\\held\\f.txt", "f");
    temp.MakeFile("t\\other.txt", "o");
    std::string held = temp.Full("t\\a\\held");
    HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    DialogDriver driver;
    std::string reported;
    driver.Then([&](HWND dialog) {
        reported = g_messageDialog.text ? g_messageDialog.text : "";
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(1, DeleteTree(temp.Full("t").c_str()));
    CloseHandle(handle);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected()) << "a parent was reported as well";
    EXPECT_NE(std::string::npos, reported.find("RemoveDirectory")) << reported;
    EXPECT_NE(std::string::npos, reported.find(held)) << reported;
    EXPECT_TRUE(Exists(held));
    EXPECT_FALSE(Exists(temp.Full("t\\a\\held\\f.txt")));
    EXPECT_FALSE(Exists(temp.Full("t\\other.txt")));
}

// A link to a directory inside the tree is removed as a link: the files it points to stay, and
// so does everything when the link itself is what is deleted.
TEST_F(Deleting, LinkInsideTreeLeavesItsTargetAlone)
{
    temp.MakeDir("kept");
    temp.MakeFile("kept\\precious.txt", "p");
    temp.MakeDir("t");
    temp.MakeFile("t\\f.txt", "f");
    ASSERT_TRUE(MakeDirectoryLink(temp.Full("t\\link"), temp.Full("kept")));
    ASSERT_TRUE(MakeDirectoryLink(temp.Full("alone"), temp.Full("kept")));
    // Windows removes a link with RemoveDirectory; Wine refuses, and that is reported.
    DialogDriver driver;
    std::vector<std::string> reports;
    auto answer = [&](HWND dialog) {
        reports.push_back(g_messageDialog.text ? g_messageDialog.text : "");
        PressButton(dialog, IDOK);
    };
    driver.Then(answer);
    driver.Then(answer);
    DeleteTree(temp.Full("t").c_str());
    DeleteTree(temp.Full("alone").c_str());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("p", ReadAll(temp.Full("kept\\precious.txt")));
    EXPECT_FALSE(Exists(temp.Full("t\\f.txt")));
    for (const std::string &report : reports)
        EXPECT_NE(std::string::npos, report.find("RemoveDirectory")) << report;
    EXPECT_LE(reports.size(), 2u) << "a parent was reported as well";
}

struct ConfirmCase {
    int retdel;
    UINT key;           // 0: press Return on the focused control
    int expected;
};

// The first confirmation: Return follows retdel, Y and N always answer.
TEST(DeleteConfirm, ReturnFollowsRetdelAndKeysAnswer)
{
    static const ConfirmCase cases[] = {
        {0, VK_RETURN, 0}, {0, 'Y', 1}, {0, 'N', 0}, {1, VK_RETURN, 1}, {1, 'N', 0}, {1, 'Y', 1},
    };
    for (const ConfirmCase &c : cases) {
        SetDefaultSettings();
        Settings.returndeleteyes = (BYTE)c.retdel;
        DialogDriver driver;
        SeenDialog seen;
        driver.Then([&](HWND dialog) {
            seen = ReadDialog(dialog);
            PressKey(dialog, c.key);
        });
        int result = DeleteConfirmDialog(NULL, "a.txt を削除します");
        EXPECT_EQ(c.expected, result) << "retdel " << c.retdel << " key " << c.key;
        EXPECT_EQ(0, driver.Unexpected());
        EXPECT_EQ("Kelpo - Delete", seen.caption);
        ASSERT_TRUE(seen.Find(IDC_NAME_EDIT));
        EXPECT_EQ("a.txt を削除します", seen.Find(IDC_NAME_EDIT)->text);
        EXPECT_EQ(c.retdel == 1, seen.Find(IDC_DELETE_OK)->visible);
        EXPECT_TRUE(seen.Find(IDC_DELETE_OK_LOOK)->visible);
        EXPECT_EQ(c.retdel ? IDC_DELETE_OK : IDCANCEL, seen.focusId);
    }
}

// The attribute confirmation: "all that follow" only where it is offered.
TEST(AttributeConfirm, AllThatFollowOnlyWhereOffered)
{
    SetDefaultSettings();
    MarkedCount = 1;
    DeleteConfirm = 1;
    DialogDriver driver;
    SeenDialog seen;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            seen = ReadDialog(dialog);
            PressKey(dialog, 'A');     // not offered: not consumed, the dialog stays
            return false;
        }
        PressButton(dialog, IDCANCEL);
        return true;
    });
    EXPECT_EQ(0, AttributeConfirmDialog(NULL, "C:\\x\\y.txt", FILE_ATTRIBUTE_SYSTEM, 0));
    EXPECT_EQ(1, DeleteConfirm);
    EXPECT_FALSE(seen.Find(IDC_DELETE_ALL)->enabled);
    EXPECT_FALSE(seen.Find(IDC_DELETE_ALL_LOOK)->enabled);
    EXPECT_EQ("System ですが", seen.Find(IDC_DELETE_WORDS)->text);

    // Two marked entries offer it; the button answers 1 and switches the questions off.
    MarkedCount = 2;
    Settings.returndeleteyes = 1;
    DialogDriver second;
    second.Then([](HWND dialog) { PressButton(dialog, IDC_DELETE_ALL); });
    EXPECT_EQ(1, AttributeConfirmDialog(NULL, "C:\\x\\y.txt", FILE_ATTRIBUTE_READONLY, 0));
    EXPECT_EQ(0, DeleteConfirm);
    MarkedCount = 0;
}

// Tab from Cancel reaches the path field, and the answer keys work there as on the buttons.
TEST(AttributeConfirm, KeysAnswerInThePathField)
{
    SetDefaultSettings();
    Settings.returndeleteyes = 0;
    MarkedCount = 2;
    DeleteConfirm = 1;
    DialogDriver driver;
    int focused = 0;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            PressKey(dialog, VK_TAB);
            return false;
        }
        focused = GetDlgCtrlID(GetFocus());
        PressKey(dialog, 'A');
        return true;
    });
    EXPECT_EQ(1, AttributeConfirmDialog(NULL, "C:\\x\\y.txt", FILE_ATTRIBUTE_HIDDEN, 0));
    EXPECT_EQ(IDC_DELETE_PATH, focused);
    EXPECT_EQ(0, DeleteConfirm);
    EXPECT_EQ(0, driver.Unexpected());
    MarkedCount = 0;
}

// The other side of the held-file test: started as a second process, it opens the file
// without delete sharing and keeps it open until told to let go.
TEST(Holder, HoldsFileOpen)
{
    char path[MAX_PATH], ready[64], release[64];
    if (!GetEnvironmentVariableA("KELPO_HOLD_FILE", path, sizeof path))
        GTEST_SKIP() << "only as the holder process";
    GetEnvironmentVariableA("KELPO_HOLD_READY", ready, sizeof ready);
    GetEnvironmentVariableA("KELPO_HOLD_RELEASE", release, sizeof release);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    HANDLE readyEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    HANDLE releaseEvent = OpenEventA(SYNCHRONIZE, FALSE, release);
    SetEvent(readyEvent);
    WaitForSingleObject(releaseEvent, 60000);
    CloseHandle(file);
}

struct HeldFile {
    PROCESS_INFORMATION process{};
    HANDLE ready = NULL, release = NULL;
    bool Start(const std::string &path)
    {
        char name[64];
        snprintf(name, sizeof name, "KelpoHoldReady%lu", GetCurrentProcessId());
        ready = CreateEventA(NULL, TRUE, FALSE, name);
        SetEnvironmentVariableA("KELPO_HOLD_READY", name);
        snprintf(name, sizeof name, "KelpoHoldRelease%lu", GetCurrentProcessId());
        release = CreateEventA(NULL, TRUE, FALSE, name);
        SetEnvironmentVariableA("KELPO_HOLD_RELEASE", name);
        SetEnvironmentVariableA("KELPO_HOLD_FILE", path.c_str());
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, sizeof exe);
        std::string command = std::string("\"") + exe + "\" --gtest_filter=Holder.HoldsFileOpen";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        bool started = CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process);
        SetEnvironmentVariableA("KELPO_HOLD_FILE", NULL);
        return started && WaitForSingleObject(ready, 60000) == WAIT_OBJECT_0;
    }
    ~HeldFile()
    {
        if (release)
            SetEvent(release);
        if (process.hProcess) {
            WaitForSingleObject(process.hProcess, 60000);
            CloseHandle(process.hProcess);
            CloseHandle(process.hThread);
        }
        CloseHandle(ready);
        CloseHandle(release);
    }
};

// A file held open by another process: the deletion fails and is reported, the walk stops,
// and the file keeps its contents and its read-only attribute.
TEST_F(Deleting, FileHeldByAnotherProcessSurvives)
{
    temp.MakeDir("t");
    std::string file = temp.MakeFile("t\\held.txt", "keep me", FILE_ATTRIBUTE_READONLY);
    HeldFile holder;
    ASSERT_TRUE(holder.Start(file));
    DialogDriver driver;
    std::string reported;
    driver.Then([&](HWND dialog) {
        reported = g_messageDialog.text ? g_messageDialog.text : "";
        PressButton(dialog, IDOK);
    });
    EXPECT_EQ(0, DeleteTree(temp.Full("t").c_str()));
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_NE(std::string::npos, reported.find("DeleteFile")) << reported;
    EXPECT_TRUE(Exists(file));
    EXPECT_TRUE(Attributes(file) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Exists(temp.Full("t")));
}

// The same through the window: D on the read-only file, both questions answered with Y;
// the failure is reported, the file keeps its contents and its read-only attribute, and the
// cursor stays on it.
TEST(WindowDelete, FileHeldByAnotherProcess)
{
    TempDir temp;
    std::string file = temp.MakeFile("held.txt", "keep me", FILE_ATTRIBUTE_READONLY);
    temp.MakeFile("next.txt", "n");
    HeldFile holder;
    ASSERT_TRUE(holder.Start(file));
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
    FreeTables();   // the program allocates its own and frees them when it stops
    ASSERT_TRUE(KelpoStart("Kelpo.EXE \"" + temp.path + "\""));
    strcpy(ProgramDir, temp.path.c_str());
    FindEntryByName("held.txt");
    RepaintAll(g_mainWnd);
    KelpoPump();
    DialogDriver driver;
    std::string report;
    driver.Then([](HWND dialog) { PressKey(dialog, 'Y'); });
    driver.Then([](HWND dialog) {
        EXPECT_EQ("Kelpo - Delete File", ReadDialog(dialog).caption);
        PressKey(dialog, 'Y');
    });
    driver.Then([&](HWND dialog) {
        report = g_messageDialog.text ? g_messageDialog.text : "";
        PressButton(dialog, IDOK);
    });
    KelpoKey('D');
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_NE(std::string::npos, report.find("DeleteFile")) << report;
    EXPECT_TRUE(Exists(file));
    EXPECT_TRUE(Attributes(file) & FILE_ATTRIBUTE_READONLY);
    LockFileTable();
    std::string cursor = LongNameAt(PageTop + CursorSlot);
    UnlockFileTable();
    EXPECT_EQ("held.txt", cursor);
    KelpoStop();
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brevlock\\Kelpo");
    ASSERT_EQ(1, AllocateTables());
}

} // namespace
