#include <windows.h>
#include <string.h>
#include <stdio.h>
#include "app/app.h"
#include "archive/archiver.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "filelist/watch.h"
#include "base/commands.h"
#include "config/cfgfile.h"

const char MainClassName[] = "Kelpo32Class";

static HMODULE ctl3dLibrary;
static bool ctl3dRegistered;

// Removes every occurrence of a switch; true when there was one. A switch stands on its own
// and outside double quotes: "D:\Backup /users" or D:\a /rock is a directory, not " /u" or " /r".
static bool RemoveSwitch(char *line, const char *sw)
{
    bool found = false, quoted = false;
    size_t n = strlen(sw);
    for (char *p = line; *p;) {
        if (!quoted && strncmp(p, sw, n) == 0 && (p[n] == '\0' || p[n] == ' ' || p[n] == '\t')) {
            memmove(p, p + n, strlen(p + n) + 1);
            found = true;
            continue;
        }
        if (*p == '"')
            quoted = !quoted;
        p += CharLength(p);
    }
    return found;
}

void ParseCommandLine(const char *commandLine, char *startDirectory)
{
    char work[PATH_BUFFER];
    lstrcpynA(work, commandLine ? commandLine : "", sizeof work);
    startDirectory[0] = '\0';
    if (RemoveSwitch(work, " /R"))
        CfgFileMode = 1;
    if (RemoveSwitch(work, " /r"))
        CfgFileMode = 1;
    if (RemoveSwitch(work, " /U") | RemoveSwitch(work, " /u")) {
        UninstallMode = 1;
        return;
    }
    const char *p = work;
    if (*p == '"') {
        p = strchr(p + 1, '"');
        p = p ? p + 1 : work + strlen(work);
    }
    p = strchr(p, ' ');
    if (!p)
        return;
    // A shortcut or a removed switch may leave blanks around the directory.
    while (*p == ' ' || *p == '\t')
        p++;
    lstrcpynA(startDirectory, p, PATH_BUFFER);
    size_t length = strlen(startDirectory);
    while (length > 0 && (startDirectory[length - 1] == ' ' || startDirectory[length - 1] == '\t'))
        startDirectory[--length] = '\0';
    Unquote(startDirectory);
}

bool AcceptStartDirectory(char *path)
{
    if (!path[0])
        return false;
    char full[PATH_BUFFER];
    bool letter = ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z');
    if (letter && (path[1] == '\0' || (path[1] == ':' && path[2] == '\0'))) {
        snprintf(full, sizeof full, "%c:\\", path[0]);
    } else {
        // A relative path is taken from the directory Kelpo was started in, as a command prompt
        // means it; "." and ".." inside a path are resolved.
        DWORD length = GetFullPathNameA(path, sizeof full, full, NULL);
        if (length == 0 || length >= sizeof full)
            return false;
    }
    // The whole path must exist: a missing tail or the root of a drive that is not there is dropped.
    DWORD attributes = GetFileAttributesA(full);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    strcpy(path, full);
    return ValidatePath(path, NULL);
}

typedef BOOL(WINAPI *Ctl3dCall)(HINSTANCE);

void Load3dControls()
{
    char path[500];
    GetSystemDirectoryA(path, sizeof path - 16);
    AppendBackslash(path, sizeof path);
    strcat(path, "CTL3D32.DLL");
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path, &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    FindClose(h);
    UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    ctl3dLibrary = LoadLibraryA("CTL3D32.DLL");
    if (ctl3dLibrary) {
        Ctl3dCall reg = (Ctl3dCall)(void *)GetProcAddress(ctl3dLibrary, "Ctl3dRegister");
        Ctl3dCall sub = (Ctl3dCall)(void *)GetProcAddress(ctl3dLibrary, "Ctl3dAutoSubclass");
        if (reg && reg(g_instance) && sub && sub(g_instance))
            ctl3dRegistered = true;
    }
    SetErrorMode(oldMode);
}

void Unload3dControls()
{
    if (!ctl3dRegistered)
        return;
    Ctl3dCall unreg = (Ctl3dCall)(void *)GetProcAddress(ctl3dLibrary, "Ctl3dUnregister");
    if (unreg)
        unreg(g_instance);
    FreeLibrary(ctl3dLibrary);
    ctl3dLibrary = NULL;
    ctl3dRegistered = false;
}

bool HelpOpened;

void ShowHelp()
{
    HelpOpened = true;
    char path[PATH_BUFFER + 16];
    snprintf(path, sizeof path, "%sKelpo.HLP", ProgramDir);
    WinHelpA(g_mainWnd, path, HELP_FINDER, 0);
}

bool RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KELPO));
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.lpszMenuName = "MAINMENU";
    wc.lpszClassName = MainClassName;
    return RegisterClassA(&wc) != 0;
}


bool StartProgram(HINSTANCE instance, const char *commandLine, const char *fullCommandLine)
{
    DWORD version = GetVersion();
    WinVersion = (int)(LOBYTE(LOWORD(version)) * 100 + HIBYTE(LOWORD(version)));
    if (!AllocateTables()) {
        FreeTables();
        MessageBoxA(NULL, "Kelpo起動に必要なメモリーがありません", "Kelpo", MB_ICONHAND | MB_SYSTEMMODAL);
        return false;
    }
    UnpackDestination[0] = '\0';
    lstrcpynA(CommandLineCopy, commandLine ? commandLine : "", 1024);
    g_instance = instance;
    CurrentPath[0] = '\0';
    CfgFileMode = 0;
    UninstallMode = 0;
    ParseCommandLine(fullCommandLine ? fullCommandLine : GetCommandLineA(), CurrentPath);
    if (!AcceptStartDirectory(CurrentPath))
        CurrentPath[0] = '\0';
    char exe[1024];
    exe[GetModuleFileNameA(NULL, exe, 1023)] = '\0';
    SplitPath(exe, ProgramDir, NULL, NULL);
    strcpy(VersionText, "1.00");
    if (WinVersion < 400)
        Load3dControls();
    LoadArchivers();
    InstallSettingsFileHooks();
    return true;
}

HWND CreateMainWindow(int cmdShow)
{
    HWND hwnd = CreateWindowExA(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE, MainClassName, "Kelpo",
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                                NULL, NULL, g_instance, NULL);
    if (!hwnd)
        return NULL;
    ShowWindow(hwnd, cmdShow);
    UpdateWindow(hwnd);
    return hwnd;
}

void ShutdownProgram()
{
    if (WinVersion < 400)
        Unload3dControls();
    FreeArchivers();
    CloseWatchers();
    FreeTables();
}

int KelpoMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow)
{
    if (!previous && !RegisterMainClass(instance))
        return 1;
    if (!StartProgram(instance, cmdLine, NULL))
        return 0;
    HWND hwnd = CreateMainWindow(cmdShow);
    if (!hwnd) {
        // Without a window no message would ever end the loop.
        MessageBoxA(NULL, "Kelpoのｳｨﾝﾄﾞｳを作成できません", "Kelpo", MB_ICONHAND | MB_SYSTEMMODAL);
        ShutdownProgram();
        return 0;
    }
    g_accel = CreateCommandAccelerators();
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!hwnd || !TranslateAcceleratorA(hwnd, g_accel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    DestroyAcceleratorTable(g_accel);
    g_accel = NULL;
    ShutdownProgram();
    return 0;
}
