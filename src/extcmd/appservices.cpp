#include "extcmd/appservices.h"
// The one place this folder reaches into the application's dispatch layer.
#include "app/dispatch.h"

bool ShiftHeld()
{
    return IsShifted();
}

void RefreshMenuState(HWND hwnd)
{
    UpdateMenuState(hwnd);
}
