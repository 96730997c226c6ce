#include "testutil.h"
#include <stdio.h>

static int tempCounter;

TempDir::TempDir()
{
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    // A name that is its own short name: Wine makes up short names from a hash, and among many
    // long-named siblings two can share one, so that the short form of a path finds the wrong one.
    char name[MAX_PATH];
    DWORD serial = (GetCurrentProcessId() * 256 + GetTickCount()) & 0xFFFFFFF;
    for (;;) {
        snprintf(name, sizeof name, "%sK%07lX", base, (unsigned long)((serial + ++tempCounter) & 0xFFFFFFF));
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
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveDirectoryLink(full);
                continue;
            }
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

// The host's path of a Windows path; Wine's kernel32 tells it.
static std::string HostPath(const std::string &path)
{
    typedef char *(CDECL * UnixNameProc)(LPCWSTR);
    UnixNameProc unixName =
        (UnixNameProc)(void (*)())GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    if (!unixName || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH * 2))
        return "";
    char *name = unixName(wide);
    if (!name)
        return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs a program of the host system (Wine starts a host program like any other). The handle
// Wine gives for a host program does not wait for it: the caller waits for its effect.
static bool RunHostProgram(const char *program, const std::string &arguments)
{
    std::string line = std::string(program) + " " + arguments;
    std::string image = std::string("Z:") + program;
    for (char &c : image)
        if (c == '/')
            c = '\\';
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(image.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool MakeDirectoryLink(const std::string &link, const std::string &target)
{
    std::string from = HostPath(target), to = HostPath(link);
    if (from.empty() || to.empty() || !RunHostProgram("/bin/ln", "-s \"" + from + "\" \"" + to + "\""))
        return false;
    for (int waited = 0; waited < 5000; waited += 20) {
        DWORD attributes = GetFileAttributesA(link.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        Sleep(20);
    }
    return false;
}

bool RemoveDirectoryLink(const std::string &link)
{
    std::string name = HostPath(link);
    if (name.empty() || !RunHostProgram("/bin/rm", "-f \"" + name + "\""))
        return false;
    for (int waited = 0; waited < 5000; waited += 20) {
        if (GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(20);
    }
    return false;
}

char MissingDriveLetter()
{
    DWORD drives = GetLogicalDrives();
    for (char d = 'Z'; d >= 'D'; d--)
        if (!(drives & (1u << (d - 'A'))))
            return d;
    return 0;
}

bool HostRenameDirectory(const std::string &from, const std::string &to)
{
    std::string source = HostPath(from);
    if (source.empty())
        return false;
    bool ok;
    if (to.empty()) {
        ok = RunHostProgram("/bin/rmdir", "\"" + source + "\"");
    } else {
        std::string target = HostPath(to);
        ok = !target.empty() && RunHostProgram("/bin/mv", "\"" + source + "\" \"" + target + "\"");
    }
    for (int waited = 0; ok && waited < 5000; waited += 20) {
        if (GetFileAttributesA(from.c_str()) == INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(20);
    }
    return false;
}
