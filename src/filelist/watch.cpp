#include "filelist/watch.h"
#include "filelist/diskspace.h"
#include "filelist/pathutil.h"
#include "base/globals.h"
#include <string.h>

HANDLE DriveWatcher;
HANDLE DirectoryWatcher;
// The listed directory's parent, for names only: a rename or removal of the listed directory
// itself is a change of its parent, which its own watcher need not report.
static HANDLE parentWatcher;

static HANDLE OpenWatcher(const char *path, BOOL subtree, DWORD filter)
{
    HANDLE h = FindFirstChangeNotificationA(path, subtree, filter);
    return h == INVALID_HANDLE_VALUE ? NULL : h;
}

static void CloseWatcher(HANDLE *watcher)
{
    if (*watcher) {
        FindCloseChangeNotification(*watcher);
        *watcher = NULL;
    }
}

void StopWatching()
{
    CloseWatcher(&DirectoryWatcher);
    CloseWatcher(&DriveWatcher);
    CloseWatcher(&parentWatcher);
}

void CloseWatchers()
{
    StopWatching();
}

void StartWatching(const char *path)
{
    StopWatching();
    if (!path || !path[0])
        return;
    char root[4] = {path[0], ':', '\\', '\0'};
    DriveWatcher = OpenWatcher(root, TRUE, FILE_NOTIFY_CHANGE_SIZE);
    char directory[PATH_BUFFER];
    lstrcpynA(directory, path, sizeof directory);
    StripBackslash(directory);
    DirectoryWatcher = OpenWatcher(directory, FALSE,
                                   FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                                       FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                                       FILE_NOTIFY_CHANGE_LAST_WRITE);
    char parent[PATH_BUFFER];
    SplitPath(directory, parent, NULL, NULL);
    StripBackslash(parent);     // "C:\" stays whole for a directory at the root
    if (DirectoryWatcher && parent[0])
        parentWatcher = OpenWatcher(parent, FALSE, FILE_NOTIFY_CHANGE_DIR_NAME);
}

// A watcher whose re-arming fails is closed, so that it is not reported as signalled forever.
static bool Fired(HANDLE *watcher)
{
    if (!*watcher || WaitForSingleObject(*watcher, 0) != WAIT_OBJECT_0)
        return false;
    if (!FindNextChangeNotification(*watcher))
        CloseWatcher(watcher);
    return true;
}

int PollWatchers()
{
    int changes = 0;
    if (Fired(&DirectoryWatcher))
        changes |= WATCH_DIRECTORY;
    if (Fired(&parentWatcher)) {
        char directory[PATH_BUFFER];
        lstrcpynA(directory, CurrentPath, sizeof directory);
        StripBackslash(directory);
        DWORD attributes = GetFileAttributesA(directory);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            changes |= WATCH_DIRECTORY;
    }
    DiskInfo disk;
    if (Fired(&DriveWatcher) && !(changes & WATCH_DIRECTORY) && QueryDiskSpace(CurrentPath, &disk)) {
        CurrentDisk = disk;
        changes |= WATCH_DISK;
    }
    return changes;
}
