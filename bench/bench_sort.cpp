// Sorting 16,384 entries: the straightforward quicksort (last element as pivot, both scans
// restarted after every exchange) against SortEntries, with the same comparator, on random,
// sorted, reversed and all-equal keys; each printed as a ratio measured in this run.
//   wine build/x64/bench_sort.exe
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include "base/globals.h"
#include "benchutil.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "filelist/sort.h"
#include "reference_sort.h"
#include "tablebuilder.h"

static void FillTable(bool equalKeys)
{
    ClearFileTable();
    unsigned seed = 12345;
    for (int i = 0; i < MAX_ENTRIES; i++) {
        seed = seed * 1103515245u + 12345u;
        char name[32];
        if (equalKeys)
            strcpy(name, "same.txt");
        else
            snprintf(name, sizeof name, "f%08u.%03u", seed >> 4, (seed >> 8) % 1000);
        AddFileEntry(name, 0, equalKeys ? 100 : seed, FileTimeOf(equalKeys ? 1 : seed * 7u));
    }
}

static void Shape(int shape)
{
    ResetOrderIndex();
    if (shape == 0) {
        unsigned seed = 99;
        for (int i = MAX_ENTRIES - 1; i > 0; i--) {
            seed = seed * 1103515245u + 12345u;
            std::swap(OrderIndex[i], OrderIndex[(seed >> 8) % (unsigned)(i + 1)]);
        }
    } else if (shape >= 1) {
        SortEntries();
        if (shape == 2)
            std::reverse(OrderIndex, OrderIndex + MAX_ENTRIES);
    }
}

int main()
{
    if (!AllocateTables())
        return 1;
    SetDefaultSettings();
    LockFileTable();
    static const char *const shapes[] = {"random", "sorted", "reversed", "all equal"};
    for (int mode = 0; mode < 4; mode++) {
        Settings.sortmode = (BYTE)mode;
        for (int s = 0; s < 4; s++) {
            FillTable(s == 3);
            Shape(s == 3 ? 0 : s);
            double t0 = Now();
            ReferenceQuickSort(0, EntryCount - 1);
            double t1 = Now();
            Shape(s == 3 ? 0 : s);
            double t2 = Now();
            SortEntries();
            double t3 = Now();
            printf("mode %d %-9s straight quicksort %8.2f ms, SortEntries %6.2f ms, ratio %7.1f\n", mode,
                   shapes[s], (t1 - t0) * 1000, (t3 - t2) * 1000, (t1 - t0) / (t3 - t2));
        }
    }
    UnlockFileTable();
    FreeTables();
    return 0;
}
