#include "window.h"
#include <stdio.h>
#include "app/app.h"
#include "base/globals.h"
#include "config/settings.h"
#include "screen/screen.h"
#include "resource.h"

static bool classRegistered;

static void Dispatch(MSG &msg)
{
    if (!g_mainWnd || !TranslateAcceleratorA(g_mainWnd, g_accel, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void KelpoPump()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            break;
        Dispatch(msg);
    }
}

bool KelpoStart(const std::string &commandLine)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    if (!classRegistered)
        classRegistered = RegisterMainClass(instance);
    if (!classRegistered)
        fprintf(stderr, "RegisterMainClass failed: %lu\n", GetLastError());
    std::string args = commandLine;
    size_t blank = args.find(' ');
    if (!StartProgram(instance, blank == std::string::npos ? "" : args.c_str() + blank + 1, args.c_str()))
        return false;
    HWND hwnd = CreateMainWindow(SW_SHOW);
    if (!hwnd)
        fprintf(stderr, "CreateMainWindow failed: %lu\n", GetLastError());
    g_accel = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCEL));
    SetForegroundWindow(hwnd);
    KelpoPump();
    return hwnd != NULL;
}

static void SetModifierState(int modifiers)
{
    BYTE state[256];
    GetKeyboardState(state);
    state[VK_SHIFT] = state[VK_LSHIFT] = (modifiers & KEY_SHIFT) ? 0x80 : 0;
    state[VK_CONTROL] = state[VK_LCONTROL] = (modifiers & KEY_CTRL) ? 0x80 : 0;
    state[VK_MENU] = state[VK_LMENU] = (modifiers & KEY_ALT) ? 0x80 : 0;
    SetKeyboardState(state);
}

void KelpoKey(UINT vk, int modifiers)
{
    SetModifierState(modifiers);
    UINT scan = MapVirtualKeyA(vk, 0);
    bool sys = (modifiers & KEY_ALT) || vk == VK_F10;
    MSG msg = {};
    msg.hwnd = g_mainWnd;
    msg.message = sys ? WM_SYSKEYDOWN : WM_KEYDOWN;
    msg.wParam = vk;
    msg.lParam = 1 | (scan << 16) | ((modifiers & KEY_ALT) ? (1 << 29) : 0);
    msg.time = GetTickCount();
    Dispatch(msg);
    KelpoPump();
    msg.message = sys ? WM_SYSKEYUP : WM_KEYUP;
    msg.lParam |= (1u << 30) | (1u << 31);
    Dispatch(msg);
    KelpoPump();
    SetModifierState(0);
}

void KelpoType(const std::string &text)
{
    for (unsigned char c : text) {
        SHORT key = VkKeyScanA((CHAR)c);
        if (key == -1)
            continue;
        int modifiers = ((key >> 8) & 1) ? KEY_SHIFT : 0;
        KelpoKey(LOBYTE(key), modifiers);
    }
}

std::string KelpoLine(int line)
{
    return ScreenLineText(line);
}

std::string KelpoScreen()
{
    std::string all;
    for (int line = 0; line < Settings.disprow + 9; line++)
        all += ScreenLineText(line) + "\n";
    return all;
}

void KelpoStop()
{
    if (g_mainWnd && IsWindow(g_mainWnd))
        DestroyWindow(g_mainWnd);
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        if (msg.message != WM_QUIT)
            Dispatch(msg);
    g_mainWnd = NULL;
    ShutdownProgram();
}
