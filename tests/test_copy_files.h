// Reading and stamping files on disk, for the copy tests.
#pragma once
#include <windows.h>
#include <string>

inline std::string ReadAll(const std::string &path)
{
    std::string data;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    static char buffer[1 << 16];
    DWORD got;
    while (ReadFile(h, buffer, sizeof buffer, &got, NULL) && got)
        data.append(buffer, got);
    CloseHandle(h);
    return data;
}

inline bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The last-write time as one number; 0 when the path is not there.
inline ULONGLONG WriteTime(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return ((ULONGLONG)found.ftLastWriteTime.dwHighDateTime << 32) | found.ftLastWriteTime.dwLowDateTime;
}

inline void SetWriteTime(const std::string &path, ULONGLONG value)
{
    FILETIME time{(DWORD)value, (DWORD)(value >> 32)};
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    SetFileTime(h, NULL, NULL, &time);
    CloseHandle(h);
}
