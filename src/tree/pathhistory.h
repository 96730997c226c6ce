// The history of listed directories: PATH_HISTORY_COUNT entries, index 0 the most recent,
// the count kept in Settings.historyCount.
#pragma once

// Strips a trailing backslash from path itself (not from a drive root), then puts it first;
// an equal entry further down is removed, and the oldest entry falls off a full history.
void PushPathHistory(char *path);
