#include "fileops/pump.h"
#include "base/globals.h"

static DWORD lastPump;
static bool pumpDue = true;

void PumpNow()
{
    pumpDue = true;
}

void PumpMessages()
{
    if (!g_mainWnd)
        return;
    MSG msg;
    // A key is looked for at every step, so Esc stops the work before the next one starts; the
    // clock and the repaints can wait a few milliseconds.
    if (PeekMessageA(&msg, g_mainWnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE))
        DispatchMessageA(&msg);
    DWORD now = GetTickCount();
    if (!pumpDue && now - lastPump < PUMP_INTERVAL_MS)
        return;
    pumpDue = false;
    lastPump = now;
    static const UINT kinds[2] = {WM_TIMER, WM_PAINT};
    for (UINT kind : kinds)
        if (PeekMessageA(&msg, g_mainWnd, kind, kind, PM_REMOVE))
            DispatchMessageA(&msg);
}
