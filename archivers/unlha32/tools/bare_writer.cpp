// The baseline of the many-files benchmark: writes every file of SOURCE_DIR into DEST_DIR
// with nothing but CreateFileA, WriteFile and CloseHandle, and prints the time of that loop
// ("seconds N"); the files are read into memory first, so only the writing is timed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct File {
    std::string name;
    std::vector<char> data;
};

bool Load(const std::string &dir, std::vector<File> *files)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        File f{fd.cFileName, std::vector<char>(fd.nFileSizeLow)};
        HANDLE h = CreateFileA((dir + "\\" + f.name).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        DWORD got = 0;
        bool ok = h != INVALID_HANDLE_VALUE && (f.data.empty() || ReadFile(h, f.data.data(), (DWORD)f.data.size(), &got, NULL));
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        if (!ok || got != f.data.size()) return false;
        files->push_back(f);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: lha_bare_writer SOURCE_DIR DEST_DIR\n");
        return 2;
    }
    std::vector<File> files;
    if (!Load(argv[1], &files)) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    std::string dest = argv[2];
    CreateDirectoryA(dest.c_str(), NULL);
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    for (const File &f : files) {
        HANDLE h = CreateFileA((dest + "\\" + f.name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h == INVALID_HANDLE_VALUE) return 1;
        DWORD put = 0;
        if (!f.data.empty()) WriteFile(h, f.data.data(), (DWORD)f.data.size(), &put, NULL);
        CloseHandle(h);
    }
    QueryPerformanceCounter(&t1);
    printf("files %u\nseconds %.6f\n", (unsigned)files.size(), (double)(t1.QuadPart - t0.QuadPart) / freq.QuadPart);
    return 0;
}
