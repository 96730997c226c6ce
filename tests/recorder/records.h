// Reading back what the recorder program wrote: one record per run, with the command line
// it was started with and its working directory.
#pragma once
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

struct Record {
    std::string commandLine, directory;
};

// recorder.exe beside the running test program.
inline std::string RecorderPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return std::string(path) + "\\recorder.exe";
}

// The records in folder, sorted by command line.
inline std::vector<Record> ReadRecords(const std::string &folder)
{
    std::vector<Record> found;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.rec").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return found;
    do {
        std::string full = folder + "\\" + fd.cFileName, text;
        HANDLE f = CreateFileA(full.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        std::vector<char> buffer(70000);
        DWORD read = 0;
        if (f != INVALID_HANDLE_VALUE) {
            ReadFile(f, buffer.data(), (DWORD)buffer.size(), &read, NULL);
            CloseHandle(f);
        }
        text.assign(buffer.data(), read);
        size_t first = text.find('\n'), second = text.find('\n', first + 1);
        if (first != std::string::npos && second != std::string::npos)
            found.push_back({text.substr(0, first), text.substr(first + 1, second - first - 1)});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(found.begin(), found.end(),
              [](const Record &a, const Record &b) { return a.commandLine < b.commandLine; });
    return found;
}

// Waits until count records are there, and a moment longer so that extra runs show too. A
// start under a busy Wine can take long; when records are still missing, what the folder holds
// is printed, so a recorder that ran but could not finish its record is told from one never run.
inline std::vector<Record> WaitForRecords(const std::string &folder, size_t count)
{
    for (int wait = 0; wait < 600 && ReadRecords(folder).size() < count; wait++)
        Sleep(50);
    Sleep(count ? 300 : 1500);
    std::vector<Record> found = ReadRecords(folder);
    if (found.size() < count) {
        fprintf(stderr, "%u of %u records in %s; the folder holds:\n", (unsigned)found.size(), (unsigned)count,
                folder.c_str());
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do
                fprintf(stderr, "  %s (%lu bytes)\n", fd.cFileName, fd.nFileSizeLow);
            while (FindNextFileA(h, &fd));
            FindClose(h);
        }
    }
    return found;
}

inline void ClearRecords(const std::string &folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.rec").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do
        DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    while (FindNextFileA(h, &fd));
    FindClose(h);
}
