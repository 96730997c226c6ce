// Scans a tree of 1,970 directories into the node table (scan, sort, names, line masks) and
// compares the time with a bare recursive FindFirstFileA/FindNextFileA walk of the same tree;
// then compares loading the tree's cache file with scanning it. All measured in this run.
//   wine build/x64/bench_tree.exe [DIR]     (DIR is created and filled when it is missing)
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "base/globals.h"
#include "benchutil.h"
#include "config/settings.h"
#include "tree/tree.h"
#include "tree_ids.h"

static int BareWalk(const char *dir)
{
    char pattern[MAX_PATH + 8];
    snprintf(pattern, sizeof pattern, "%s\\*.*", dir);
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int n = 0;
    do {
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, "..")) {
            char sub[MAX_PATH + 8];
            snprintf(sub, sizeof sub, "%s\\%s", dir, fd.cFileName);
            n += 1 + BareWalk(sub);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

static void MakeTree(const char *root)
{
    CreateDirectoryA(root, NULL);
    for (int a = 0; a < 10; a++)
        for (int b = 0; b < 14; b++) {
            char mid[MAX_PATH];
            snprintf(mid, sizeof mid, "%s\\ﾌｫﾙﾀﾞ%02d", root, a);
            CreateDirectoryA(mid, NULL);
            snprintf(mid, sizeof mid, "%s\\ﾌｫﾙﾀﾞ%02d\\sub%02d", root, a, b);
            CreateDirectoryA(mid, NULL);
            for (int c = 0; c < 13; c++) {
                char leaf[MAX_PATH];
                snprintf(leaf, sizeof leaf, "%s\\leaf%02d", mid, c);
                CreateDirectoryA(leaf, NULL);
            }
            char file[MAX_PATH];
            snprintf(file, sizeof file, "%s\\readme.txt", mid);
            HANDLE h = CreateFileA(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (h != INVALID_HANDLE_VALUE)
                CloseHandle(h);
        }
}

static double ScanOnce(HWND window, const char *dir)
{
    char root[MAX_PATH + 2];
    snprintf(root, sizeof root, "%s\\", dir);
    double t0 = Now();
    BeginTreeScan(root);
    ScanTree(window, dir);
    SortTree(0, TreeNodeCount - 1);
    ReduceToNames();
    ComputeLineMasks();
    return Now() - t0;
}

int main(int argc, char **argv)
{
    char dir[MAX_PATH];
    BenchDirectory(argc, argv, "kelpo-bench-tree", dir);
    if (BareWalk(dir) != 1970) {
        printf("creating 1,970 directories in %s\n", dir);
        MakeTree(dir);
    }
    if (!AllocateTables() || !AllocateTreeTable())
        return 1;
    SetDefaultSettings();
    // A window with the path field, as the tree dialog gives the scan for its progress.
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 40, NULL, NULL, NULL, NULL);
    CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 400, 20, window, (HMENU)IDC_TREE_PATH, NULL, NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);

    const int rounds = 7;
    double bare = 1e9, scan = 1e9, load = 1e9;
    int bareCount = 0;
    char cache[MAX_PATH + 16];
    snprintf(cache, sizeof cache, "%s\\KLPTREE.DAT", dir);
    for (int r = 0; r < rounds; r++) {
        double t0 = Now();
        bareCount = BareWalk(dir);
        KeepBest(bare, t0, Now());
        double s = ScanOnce(window, dir);
        if (s < scan)
            scan = s;
        SaveTreeFile(cache);
        double t2 = Now();
        LoadTreeFile(cache);
        KeepBest(load, t2, Now());
    }
    printf("directories: bare walk %d, node table %d (root included)\n", bareCount, TreeNodeCount);
    printf("bare walk %.2f ms, scan with sort, names and line masks %.2f ms, cache load %.2f ms (best of %d)\n",
           bare * 1000, scan * 1000, load * 1000, rounds);
    printf("ratio scan / bare walk: %.3f (target at most 1.3)\n", scan / bare);
    printf("ratio scan / cache load: %.1f (target at least 10)\n", scan / load);
    DeleteFileA(cache);
    DestroyWindow(window);
    FreeTreeTable();
    FreeTables();
    return 0;
}
