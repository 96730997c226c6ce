// A program for the launcher tests: writes the command line it was started with and its
// working directory to a new file in the folder named by KELPO_RECORDER_DIR, then exits.
// Each run writes its own file, first under a temporary name, so a reader never sees half a record.
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main()
{
    char folder[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KELPO_RECORDER_DIR", folder, sizeof folder);
    if (n == 0 || n >= sizeof folder)
        return 2;
    char directory[MAX_PATH * 2] = "";
    GetCurrentDirectoryA(sizeof directory, directory);
    const char *commandLine = GetCommandLineA();

    char temporary[MAX_PATH * 2], final[MAX_PATH * 2];
    snprintf(temporary, sizeof temporary, "%s\\run-%08lx.tmp", folder, GetCurrentProcessId());
    snprintf(final, sizeof final, "%s\\run-%08lx-%08lx.rec", folder, GetTickCount(), GetCurrentProcessId());
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    DWORD written;
    bool ok = WriteFile(file, commandLine, (DWORD)strlen(commandLine), &written, NULL) &&
              WriteFile(file, "\n", 1, &written, NULL) &&
              WriteFile(file, directory, (DWORD)strlen(directory), &written, NULL) &&
              WriteFile(file, "\n", 1, &written, NULL);
    CloseHandle(file);
    if (!ok || !MoveFileA(temporary, final)) {
        DeleteFileA(temporary);
        return 4;
    }
    return 0;
}
