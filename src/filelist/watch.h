// Change notifications for the current directory and its drive, polled by the main window's timer.
#pragma once
#include <windows.h>

enum WatchChange {
    WATCH_DIRECTORY = 1,    // the listed directory changed: re-read it with the cursor kept
    WATCH_DISK = 2,         // only sizes on the drive changed: CurrentDisk holds the new figures
};

extern HANDLE DriveWatcher;       // NULL = none
extern HANDLE DirectoryWatcher;   // NULL = none

void StartWatching(const char *path);
void StopWatching();
void CloseWatchers();

// Checks both watchers without waiting, re-arms those that fired and returns WatchChange bits.
// A drive change in the same tick as a directory change is left to the re-read.
int PollWatchers();
