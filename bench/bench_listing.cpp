// Lists a directory of 16,384 files with ReadDirectory and compares its time with a bare
// FindFirstFileA/FindNextFileA loop over the same directory, both measured in this run.
//   wine build/x64/bench_listing.exe [DIR]     (DIR is created and filled when it is empty)
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "base/globals.h"
#include "benchutil.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"

static int BareLoop(const char *dir)
{
    char pattern[MAX_PATH + 8];
    snprintf(pattern, sizeof pattern, "%s\\*.*", dir);
    WIN32_FIND_DATAA fd;
    int n = 0;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do
        n++;
    while (FindNextFileA(h, &fd));
    FindClose(h);
    return n;
}

int main(int argc, char **argv)
{
    char dir[MAX_PATH];
    BenchDirectory(argc, argv, "kelpo-bench-16384", dir);
    CreateDirectoryA(dir, NULL);
    if (BareLoop(dir) < 16384) {
        printf("creating 16,382 files in %s\n", dir);
        for (int i = 0; i < 16382; i++) {
            char name[MAX_PATH + 32];
            snprintf(name, sizeof name, "%s\\f%05d%s.txt", dir, i, i % 3 ? "" : "ﾃﾞｰﾀ");
            HANDLE h = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (h != INVALID_HANDLE_VALUE) {
                DWORD w;
                WriteFile(h, name, (DWORD)(i % 4000), &w, NULL);
                CloseHandle(h);
            }
        }
    }
    if (!AllocateTables())
        return 1;
    SetDefaultSettings();
    Settings.presort = 0;
    const int rounds = 7;
    double bare = 1e9, listing = 1e9;
    int bareCount = 0;
    for (int r = 0; r < rounds; r++) {
        double t0 = Now();
        bareCount = BareLoop(dir);
        double t1 = Now();
        strcpy(CurrentPath, dir);
        ReadDirectory(0);
        double t2 = Now();
        KeepBest(bare, t0, t1);
        KeepBest(listing, t1, t2);
    }
    SIZE_T memory = GlobalSize(g_fileEntryBlock) + GlobalSize(g_namePoolBlock) + GlobalSize(g_baseNamePoolBlock);
    printf("entries: bare loop %d, ReadDirectory %d (name pool %lu bytes used)\n", bareCount, EntryCount,
           (unsigned long)NamePoolUsed);
    printf("bare loop %.2f ms, ReadDirectory %.2f ms (best of %d)\n", bare * 1000, listing * 1000, rounds);
    printf("ratio ReadDirectory / bare loop: %.3f (target at most 1.3)\n", listing / bare);
    printf("FileTable memory: %lu bytes in the three blocks, %lu in use for this listing\n",
           (unsigned long)memory, (unsigned long)(EntryCount * sizeof(FileEntry) + 2 * NamePoolUsed + 2 * 16384));
    FreeTables();
    return 0;
}
