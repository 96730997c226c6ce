// The recursive walk over a directory tree shared by copying and deleting trees, and the
// message pump that keeps the window alive between the steps of long work.
#pragma once
#include <windows.h>

// enter(directory) and file(path, name) and leave(directory, complete): 1 go on, 0 stop.
typedef int (*WalkEnterStep)(const char *directory);
typedef int (*WalkFileStep)(const char *path, const char *name);
typedef int (*WalkLeaveStep)(const char *directory, int complete);

// The find data of the entry being handled: a file step reads its time and size here.
extern WIN32_FIND_DATAA WalkFound;

// Walks directory (not a drive root) depth first; every step may be null. Files are handed
// to the file step, subdirectories walked with the same steps; the leave step learns whether
// the walk of that directory was complete. Esc (AbortFlag) stops it between two steps.
// Returns 1 complete, 0 stopped.
int WalkTree(const char *directory, WalkEnterStep enter, WalkFileStep file, WalkLeaveStep leave);

// Dispatches at most one timer, one paint and one key-down message of the main window, so
// that the clock runs, the screen repaints and Esc sets AbortFlag while BusyFlag is set.
void PumpWorkMessages();
