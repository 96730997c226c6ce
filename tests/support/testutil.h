// Helpers shared by the tests: scratch directories on the real file system and
// checks on Shift-JIS text.
#pragma once
#include <string>
#include <windows.h>

struct TempDir {
    std::string path;   // Windows path without trailing backslash
    TempDir();
    ~TempDir();
    std::string MakeDir(const std::string &relative);
    std::string MakeFile(const std::string &relative, const std::string &content,
                         DWORD attributes = 0);
    // Makes count files named by format (holding one %d, the file's index), file i holding
    // bytes(i) bytes of 'x'.
    void MakeNumberedFiles(const char *format, int count, size_t (*bytes)(int));
    std::string Full(const std::string &relative) const { return path + "\\" + relative; }
};

// The whole content of a file, or "<missing>" when it cannot be opened.
std::string ReadAll(const std::string &path);
bool IsWholeCharacters(const char *text);   // no double-byte character cut in half at the end
bool RemoveTree(const std::string &path);
char MissingDriveLetter();                   // a letter D-Z no drive has, 0 when all are taken   // leaves what a directory link points to alone
// A symbolic link to a directory, made by the host system (the file system shows it as a
// reparse point, as a junction on Windows); false when it could not be made.
bool MakeDirectoryLink(const std::string &link, const std::string &target);
bool RemoveDirectoryLink(const std::string &link);
// Renames a directory (or removes it when to is empty) through the host system, as a Windows
// program may while Kelpo watches it; Wine's own programs are refused then. Waits for the effect.
bool HostRenameDirectory(const std::string &from, const std::string &to);
