// Loads 2 MiB text files into the viewer's line buffer with LoadViewerText and compares the
// time with a bare ReadFile of the same file into memory, both measured in this run.
//   wine build/x64/bench_viewer.exe [DIR]     (the files are made in DIR, default the temp folder)
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "base/globals.h"
#include "benchutil.h"
#include "config/settings.h"
#include "viewer/viewer.h"

static bool WriteWhole(const char *path, const std::string &content)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, content.data(), (DWORD)content.size(), &written, NULL);
    CloseHandle(h);
    return ok && written == content.size();
}

static DWORD BareRead(const char *path, BYTE *buffer, DWORD size)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    DWORD got = 0;
    ReadFile(h, buffer, size, &got, NULL);
    CloseHandle(h);
    return got;
}

static void Measure(const char *label, const char *path, int form)
{
    const int rounds = 9;
    static BYTE buffer[VIEWER_BUFFER_BYTES + 4096];
    double bare = 1e9, load = 1e9, open = 1e9;
    DWORD bytes = 0;
    strcpy(ViewerFilePath, path);
    for (int r = 0; r < rounds; r++) {
        double t0 = Now();
        bytes = BareRead(path, buffer, sizeof buffer);
        double t1 = Now();
        LoadViewerText(NULL, form);
        double t2 = Now();
        FreeViewerBuffer();
        double t3 = Now();
        AllocateViewerBuffer();
        LoadViewerText(NULL, form);
        double t4 = Now();
        KeepBest(bare, t0, t1);
        KeepBest(load, t1, t2);
        KeepBest(open, t3, t4);
    }
    printf("%s: %lu bytes, %d lines\n", label, (unsigned long)bytes, ViewerLineCount);
    printf("  bare ReadFile %.2f ms, LoadViewerText %.2f ms, buffer allocation and load %.2f ms (best of %d)\n",
           bare * 1000, load * 1000, open * 1000, rounds);
    printf("  ratio LoadViewerText / bare ReadFile: %.2f (target at most 3); with the allocation: %.2f\n",
           load / bare, open / bare);
}

int main(int argc, char **argv)
{
    char dir[MAX_PATH];
    BenchDirectory(argc, argv, "kelpo-bench-viewer", dir);
    CreateDirectoryA(dir, NULL);
    if (!AllocateTables())
        return 1;
    SetDefaultSettings();
    Settings.tab = 8;
    Settings.disprow = 20;
    if (!AllocateViewerBuffer())
        return 1;

    // Short lines of Shift-JIS and ASCII: reading stops at the line limit.
    std::string shortLines;
    for (int i = 0; shortLines.size() < VIEWER_BUFFER_BYTES; i++)
        shortLines += "第" + std::to_string(i) + "行 ｶﾀｶﾅ\tand some ASCII text\r\n";
    shortLines.resize(VIEWER_BUFFER_BYTES);
    // Lines that nearly fill the screen: the limit is reached close to the end of 2 MiB.
    std::string wideLines;
    std::string wide = std::string(60, 'w') + "漢字表示ﾃｽﾄ abcdefg\r\n";
    while (wideLines.size() < VIEWER_BUFFER_BYTES)
        wideLines += wide;
    wideLines.resize(VIEWER_BUFFER_BYTES);

    char shortPath[MAX_PATH + 32], widePath[MAX_PATH + 32];
    snprintf(shortPath, sizeof shortPath, "%s\\short.txt", dir);
    snprintf(widePath, sizeof widePath, "%s\\wide.txt", dir);
    if (!WriteWhole(shortPath, shortLines) || !WriteWhole(widePath, wideLines)) {
        printf("cannot write the files in %s\n", dir);
        return 1;
    }
    Measure("2 MiB of short lines, text form", shortPath, -1);
    Measure("2 MiB of 80-column lines, text form", widePath, -1);
    Measure("2 MiB of 80-column lines, hex form", widePath, 1);
    FreeViewerBuffer();
    DeleteFileA(shortPath);
    DeleteFileA(widePath);
    RemoveDirectoryA(dir);
    FreeTables();
    return 0;
}
