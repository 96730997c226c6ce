#include "window.h"
#include <stdio.h>
#include <vector>
#include "app/app.h"
#include "base/globals.h"
#include "config/settings.h"
#include "screen/screen.h"
#include "screen/frame.h"
#include "base/commands.h"

static bool classRegistered;
static bool autoCheck = true;

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
    g_accel = CreateCommandAccelerators();
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

// Shift and Ctrl are pressed before the key and released after it, as on a keyboard; the
// window redraws its key bar on Shift. Alt only sets the state: its own press opens the panel
// of external commands, which the tests of that panel press on purpose.
static void ModifierKey(UINT vk, bool down)
{
    MSG msg = {};
    msg.hwnd = g_mainWnd;
    msg.message = down ? WM_KEYDOWN : WM_KEYUP;
    msg.wParam = vk;
    msg.lParam = 1 | (MapVirtualKeyA(vk, 0) << 16) | (down ? 0 : (1u << 30) | (1u << 31));
    msg.time = GetTickCount();
    Dispatch(msg);
    KelpoPump();
}

void KelpoKey(UINT vk, int modifiers)
{
    SetModifierState(modifiers & ~KEY_ALT);
    if (modifiers & KEY_SHIFT)
        ModifierKey(VK_SHIFT, true);
    if (modifiers & KEY_CTRL)
        ModifierKey(VK_CONTROL, true);
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
    SetModifierState(modifiers & ~KEY_ALT);
    if (modifiers & KEY_CTRL) {
        SetModifierState(modifiers & KEY_SHIFT);
        ModifierKey(VK_CONTROL, false);
    }
    if (modifiers & KEY_SHIFT) {
        SetModifierState(0);
        ModifierKey(VK_SHIFT, false);
    }
    SetModifierState(0);
    if (autoCheck) {
        EXPECT_TRUE(KelpoScreenTruth()) << "after key " << vk << " with modifiers " << modifiers;
    }
}

void KelpoHoldKey(UINT vk, bool down)
{
    BYTE state[256];
    GetKeyboardState(state);
    UINT left = vk == VK_SHIFT ? VK_LSHIFT : vk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
    state[vk] = state[left] = down ? 0x80 : 0;
    SetKeyboardState(state);
    if (vk != VK_MENU) {
        ModifierKey(vk, down);
        return;
    }
    MSG msg = {};
    msg.hwnd = g_mainWnd;
    msg.message = down ? WM_SYSKEYDOWN : WM_SYSKEYUP;
    msg.wParam = VK_MENU;
    msg.lParam = 1 | (MapVirtualKeyA(VK_MENU, 0) << 16) | (1 << 29) | (down ? 0 : (1u << 30) | (1u << 31));
    msg.time = GetTickCount();
    Dispatch(msg);
    KelpoPump();
}

void KelpoLeftButton(bool down)
{
    if (down) {
        POINT p = {2 * CellWidth, CellHeight / 2 + TopOffset};
        ClientToScreen(g_mainWnd, &p);
        SetCursorPos(p.x, p.y);
    }
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    KelpoPump();
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
    if (g_accel)
        DestroyAcceleratorTable(g_accel);
    g_accel = NULL;
    ShutdownProgram();
}

void KelpoAutoCheck(bool on)
{
    autoCheck = on;
}

namespace {

struct ClientPixels {
    int width = 0, height = 0;
    std::vector<DWORD> bits;
};

// Reads the client area back from the window's own device context.
bool CaptureClient(HWND hwnd, ClientPixels *out)
{
    RECT client;
    GetClientRect(hwnd, &client);
    out->width = client.right;
    out->height = client.bottom;
    if (out->width <= 0 || out->height <= 0)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = out->width;
    info.bmiHeader.biHeight = -out->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC windowDc = GetDC(hwnd);
    HDC memory = CreateCompatibleDC(windowDc);
    void *bits = NULL;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    bool ok = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, out->width, out->height, windowDc, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        const DWORD *p = (const DWORD *)bits;
        out->bits.assign(p, p + (size_t)out->width * out->height);
        SelectObject(memory, old);
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(hwnd, windowDc);
    return ok;
}

int LineOfY(int y)
{
    int line = (y - TopOffset) / CellHeight;
    return y < TopOffset ? 0 : line;
}

// The clock redraws itself every second, so its cells may differ between two pictures.
bool IsClockCell(int line, int column)
{
    return ScreenMode == 0 && line == 0 && column >= ClockDateColumn();
}

std::vector<std::string> RecordText()
{
    std::vector<std::string> lines;
    for (int line = 0; line < Settings.disprow + 9; line++) {
        std::string text = ScreenLineText(line);
        if (line == 0 && ScreenMode == 0 && (int)text.size() > ClockDateColumn())
            text.resize(ClockDateColumn());
        lines.push_back(text);
    }
    return lines;
}

}   // namespace

testing::AssertionResult KelpoScreenTruth()
{
    HWND hwnd = g_mainWnd;
    if (!hwnd || !IsWindow(hwnd) || !IsWindowVisible(hwnd) || IsIconic(hwnd))
        return testing::AssertionSuccess() << "no window to check";
    // The Alt panel is drawn only while Alt is held; a repaint rightly takes it away.
    if (AltOverlay >= 0)
        return testing::AssertionSuccess() << "Alt panel shown";
    ClientPixels shown, repainted;
    if (!CaptureClient(hwnd, &shown))
        return testing::AssertionFailure() << "the window's pixels could not be read";
    std::vector<std::string> recorded = RecordText();
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
    if (!CaptureClient(hwnd, &repainted))
        return testing::AssertionFailure() << "the repainted pixels could not be read";
    std::vector<std::string> redrawn = RecordText();
    for (size_t line = 0; line < recorded.size(); line++)
        if (recorded[line] != redrawn[line])
            return testing::AssertionFailure()
                   << "screen record line " << line << " differs from a full repaint:\n  recorded: \""
                   << recorded[line] << "\"\n  repaint:  \"" << redrawn[line] << "\"";
    if (shown.width != repainted.width || shown.height != repainted.height)
        return testing::AssertionFailure() << "the client area changed size during the repaint";
    for (int y = 0; y < shown.height; y++)
        for (int x = 0; x < shown.width; x++) {
            size_t i = (size_t)y * shown.width + x;
            if ((shown.bits[i] & 0xFFFFFF) == (repainted.bits[i] & 0xFFFFFF))
                continue;
            int line = LineOfY(y), column = x / CellWidth;
            if (IsClockCell(line, column))
                continue;
            char where[160];
            snprintf(where, sizeof where, "first at line %d column %d (pixel %d,%d shown #%06lX, repaint #%06lX)",
                     line, column, x, y, (unsigned long)(shown.bits[i] & 0xFFFFFF),
                     (unsigned long)(repainted.bits[i] & 0xFFFFFF));
            return testing::AssertionFailure() << "the window shows other pixels than a full repaint, "
                                               << where << "; repainted screen:\n" << KelpoScreen();
        }
    return testing::AssertionSuccess();
}
