#include "testutil.h"
#include <stdio.h>

static int tempCounter;

TempDir::TempDir()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    char name[MAX_PATH];
    for (;;) {
        snprintf(name, sizeof name, "%skelpo-test-%lu-%d", base, GetCurrentProcessId(), ++tempCounter);
        if (CreateDirectoryA(name, NULL))
            break;
    }
    path = name;
}

TempDir::~TempDir()
{
    RemoveTree(path);
}

std::string TempDir::MakeDir(const std::string &relative)
{
    std::string full = Full(relative);
    CreateDirectoryA(full.c_str(), NULL);
    return full;
}

std::string TempDir::MakeFile(const std::string &relative, const std::string &content, DWORD attributes)
{
    std::string full = Full(relative);
    HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(h, content.data(), (DWORD)content.size(), &written, NULL);
        CloseHandle(h);
    }
    if (attributes)
        SetFileAttributesA(full.c_str(), attributes);
    return full;
}

std::string ReadAll(const std::string &path)
{
    std::string content;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buffer[65536];
    DWORD got;
    while (ReadFile(h, buffer, sizeof buffer, &got, NULL) && got)
        content.append(buffer, got);
    CloseHandle(h);
    return content;
}

void TempDir::MakeNumberedFiles(const char *format, int count, size_t (*bytes)(int))
{
    for (int i = 0; i < count; i++) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, format, i);
        MakeFile(name, std::string(bytes(i), 'x'));
    }
}

bool IsWholeCharacters(const char *text)
{
    for (const unsigned char *p = (const unsigned char *)text; *p; p++)
        if (IsDBCSLeadByte(*p) && !*++p)
            return false;
    return true;
}

bool RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return RemoveDirectoryA(path.c_str()) != 0;
}
