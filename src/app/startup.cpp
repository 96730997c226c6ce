#include <windows.h>
#include "app/app.h"
#include "resource.h"

static LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int KelpoMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow)
{
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_KELPO));
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.lpszMenuName = "MAINMENU";
    wc.lpszClassName = "Kelpo32Class";
    if (!RegisterClassA(&wc))
        return 1;
    HWND hwnd = CreateWindowExA(WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE, "Kelpo32Class", "Kelpo",
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 800, 600,
                                NULL, NULL, instance, NULL);
    ShowWindow(hwnd, cmdShow);
    UpdateWindow(hwnd);
    HACCEL accel = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDR_ACCEL));
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorA(hwnd, accel, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
