#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "filelist/diskspace.h"
#include "filelist/watch.h"
#include "support/testutil.h"

// Runs a command line in another process through the command interpreter and waits for it.
static void RunOtherProcess(const std::string &command)
{
    std::string line = "cmd.exe /c " + command;
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back('\0');
    ASSERT_TRUE(CreateProcessA(NULL, buffer.data(), NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi))
        << line;
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 30000));
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// Polls like the window's timer, but faster, until a change shows or the time is up; the system
// may deliver a notification a moment after the other process has ended.
static int PollFor(int wanted, int milliseconds)
{
    int seen = 0;
    for (int waited = 0; waited <= milliseconds; waited += 50) {
        int changes = PollWatchers();
        EXPECT_FALSE((changes & WATCH_DIRECTORY) && (changes & WATCH_DISK))
            << "a directory change leaves the disk figures to the re-read";
        seen |= changes;
        if (seen & wanted)
            break;
        Sleep(50);
    }
    return seen;
}

// Lets notifications of earlier changes arrive and be consumed.
static void Settle()
{
    for (int quiet = 0, i = 0; quiet < 10 && i < 200; i++) {
        quiet = PollWatchers() ? 0 : quiet + 1;
        Sleep(50);
    }
}

class WatchTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AllocateTables()); }
    void TearDown() override { CloseWatchers(); }
};

TEST_F(WatchTest, AnotherProcessCreatingAFileIsNoticed)
{
    TempDir dir;
    dir.MakeDir("sub");
    sprintf(CurrentPath, "%s\\", dir.path.c_str());
    StartWatching(CurrentPath);
    ASSERT_NE((HANDLE)NULL, DirectoryWatcher);
    ASSERT_NE((HANDLE)NULL, DriveWatcher);
    EXPECT_EQ(0, PollWatchers());

    RunOtherProcess("echo x > \"" + dir.Full("new.txt") + "\"");
    EXPECT_TRUE(PollFor(WATCH_DIRECTORY, 10000) & WATCH_DIRECTORY);
    Settle();

    // Re-armed: a second change is noticed too, and a quiet directory stays quiet.
    EXPECT_EQ(0, PollWatchers());
    RunOtherProcess("del \"" + dir.Full("new.txt") + "\"");
    EXPECT_TRUE(PollFor(WATCH_DIRECTORY, 10000) & WATCH_DIRECTORY);
    Settle();

    // A new entry in a sub-directory is not a change of the listed directory.
    RunOtherProcess("mkdir \"" + dir.Full("sub\\deeper") + "\"");
    EXPECT_FALSE(PollFor(WATCH_DIRECTORY, 1000) & WATCH_DIRECTORY);
}

TEST_F(WatchTest, OwnChangesBetweenStopAndStartAreNotNoticed)
{
    TempDir dir;
    sprintf(CurrentPath, "%s\\", dir.path.c_str());
    StartWatching(CurrentPath);
    Settle();
    StopWatching();
    EXPECT_EQ((HANDLE)NULL, DirectoryWatcher);
    EXPECT_EQ((HANDLE)NULL, DriveWatcher);
    dir.MakeFile("own.txt", std::string(100000, 'k'));
    dir.MakeDir("owndir");
    MoveFileA(dir.Full("own.txt").c_str(), dir.Full("renamed.txt").c_str());
    EXPECT_EQ(0, PollWatchers());
    Sleep(300);
    StartWatching(CurrentPath);
    EXPECT_FALSE(PollFor(WATCH_DIRECTORY, 1500) & WATCH_DIRECTORY);

    // While stopped, not even other programs' changes are reported.
    StopWatching();
    RunOtherProcess("echo y > \"" + dir.Full("other.txt") + "\"");
    Sleep(300);
    EXPECT_EQ(0, PollWatchers());
}

// The file grows in the drive root: Wine reports changes of a watched tree only for its top.
TEST_F(WatchTest, SizeChangeElsewhereOnTheDriveRefreshesOnlyTheFigures)
{
    TempDir listed;
    sprintf(CurrentPath, "%s\\", listed.path.c_str());
    char elsewhere[MAX_PATH];
    sprintf(elsewhere, "%c:\\kelpo-watch-%lu.tmp", CurrentPath[0], GetCurrentProcessId());
    StartWatching(CurrentPath);
    Settle();
    memset(&CurrentDisk, 0, sizeof CurrentDisk);
    RunOtherProcess(std::string("echo some data for the drive > \"") + elsewhere + "\"");
    int seen = PollFor(WATCH_DISK, 10000);
    DeleteFileA(elsewhere);
    EXPECT_TRUE(seen & WATCH_DISK);
    EXPECT_FALSE(seen & WATCH_DIRECTORY);
    EXPECT_GT(CurrentDisk.totalBytes, 0ull);
    EXPECT_GT(CurrentDisk.bytesPerSector, 0u);

    // Both in one tick: the re-read of the directory covers the figures, and the drive watcher is re-armed.
    Settle();
    RunOtherProcess(std::string("echo more > \"") + elsewhere + "\"");
    RunOtherProcess("echo x > \"" + listed.Full("here.txt") + "\"");
    // Waiting on the handles leaves them signalled for the poll.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(DirectoryWatcher, 10000));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(DriveWatcher, 10000));
    EXPECT_EQ(WATCH_DIRECTORY, PollWatchers());
    RunOtherProcess(std::string("echo again >> \"") + elsewhere + "\"");
    EXPECT_EQ(WATCH_DISK, PollFor(WATCH_DISK, 10000)) << "re-armed drive watcher";
    DeleteFileA(elsewhere);
}

TEST_F(WatchTest, FailedQueryLeavesTheFiguresAsTheyWere)
{
    TempDir listed;
    sprintf(CurrentPath, "%s\\", listed.path.c_str());
    char elsewhere[MAX_PATH];
    sprintf(elsewhere, "%c:\\kelpo-watch-%lu.tmp", CurrentPath[0], GetCurrentProcessId());
    StartWatching(CurrentPath);
    Settle();
    memset(&CurrentDisk, 0x3C, sizeof CurrentDisk);
    DiskInfo before = CurrentDisk;
    strcpy(CurrentPath, "\\\\server\\share\\");
    RunOtherProcess(std::string("echo some data for the drive > \"") + elsewhere + "\"");
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(DriveWatcher, 10000));
    EXPECT_EQ(0, PollWatchers());
    DeleteFileA(elsewhere);
    EXPECT_EQ(0, memcmp(&before, &CurrentDisk, sizeof before));
    EXPECT_NE((HANDLE)NULL, DriveWatcher);
}

// The listed directory renamed or removed by another program: its own watcher need not say
// anything (the change is in its parent), yet the list must give way to what is left.
TEST_F(WatchTest, ListedDirectoryRenamedOrRemovedIsNoticed)
{
    TempDir dir;
    for (int removed = 0; removed <= 1; removed++) {
        SCOPED_TRACE(removed);
        std::string listed = dir.MakeDir("listed"), other = dir.Full("renamed");
        sprintf(CurrentPath, "%s\\", listed.c_str());
        StartWatching(CurrentPath);
        Settle();
        dir.MakeDir("sibling");
        RunOtherProcess("rd \"" + dir.Full("sibling") + "\"");
        EXPECT_FALSE(PollFor(WATCH_DIRECTORY, 1000) & WATCH_DIRECTORY) << "a sibling is no change of the list";
        ASSERT_TRUE(HostRenameDirectory(listed, removed ? "" : other));
        EXPECT_TRUE(PollFor(WATCH_DIRECTORY, 10000) & WATCH_DIRECTORY);
        StopWatching();
        RemoveDirectoryA(other.c_str());
    }
}

TEST_F(WatchTest, UnwatchablePathsAreNeverSignalled)
{
    TempDir dir;
    std::string missing = dir.Full("does-not-exist") + "\\";
    StartWatching(missing.c_str());
    EXPECT_EQ((HANDLE)NULL, DirectoryWatcher);
    strcpy(CurrentPath, missing.c_str());
    EXPECT_EQ(0, PollWatchers());

    StartWatching("\\\\nosuchserver\\share\\");
    EXPECT_EQ((HANDLE)NULL, DriveWatcher);
    EXPECT_EQ(0, PollWatchers());
    StartWatching("");
    EXPECT_EQ((HANDLE)NULL, DirectoryWatcher);
    EXPECT_EQ((HANDLE)NULL, DriveWatcher);
    CloseWatchers();
    CloseWatchers();
    EXPECT_EQ(0, PollWatchers());
}
