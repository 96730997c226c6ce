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
    DWORD now = GetTickCount();
    if (!pumpDue && now - lastPump < PUMP_INTERVAL_MS)
        return;
    pumpDue = false;
    lastPump = now;
    MSG msg;
    static const UINT kinds[3] = {WM_TIMER, WM_PAINT, WM_KEYDOWN};
    for (UINT kind : kinds)
        if (PeekMessageA(&msg, g_mainWnd, kind, kind, PM_REMOVE))
            DispatchMessageA(&msg);
}
