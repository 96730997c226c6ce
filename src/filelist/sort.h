// Sorting the listing: permutes the OrderIndex by Settings.sortmode (0 name, 1 extension,
// 2 size, 3 date) and Settings.sortdir (0 ascending, 1 descending); records never move.
#pragma once
#include <windows.h>

enum { SORT_BY_NAME, SORT_BY_EXTENSION, SORT_BY_SIZE, SORT_BY_DATE };

// Classic string comparison over unsigned bytes: the difference of the first differing bytes.
int ByteCompare(const char *a, const char *b);
// Case-blind comparison over Shift-JIS characters: ASCII letters and the full-width Latin
// letters fold to lower case, a double-byte character is one unit. Result -1, 0 or 1.
int MultiByteCompareNoCase(const char *a, const char *b);

// Compares two records, or the records at two display positions; < 0 means a comes first.
// The table must be locked.
int CompareRecords(WORD a, WORD b);
int CompareEntries(int positionA, int positionB);
// Comparisons made since the count was last cleared; lets tests bound the work of a sort.
extern unsigned long SortComparisonCount;

// Sorts display positions 0 .. EntryCount - 1 of the locked table.
void SortEntries();
// Sorts positions lo .. hi; after depthLimit levels of partitioning a range is heap-sorted,
// so the time stays n log n on any input.
void SortRange(int lo, int hi, int depthLimit);

// The sort dialog (template 20035) over the main window: 1 on OK with Settings.sortmode and
// Settings.sortdir updated, 0 on Cancel.
int RunSortDialog(HWND owner);
INT_PTR CALLBACK SortDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
