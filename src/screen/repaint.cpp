#include "screen/repaint.h"
#include <stdio.h>
#include "base/globals.h"
#include "config/settings.h"
#include "resource.h"
#include "screen/cursor.h"
#include "screen/screen.h"

void RepaintGrid(HWND hwnd)
{
    ApplyReloadRequest();
    InvalidateRect(hwnd, &GridRect, TRUE);
    UpdateWindow(hwnd);
}

void RepaintAll(HWND hwnd)
{
    ApplyReloadRequest();
    InvalidateRect(hwnd, NULL, TRUE);
    UpdateWindow(hwnd);
}

void UpdateRowsMenu(HWND hwnd)
{
    HMENU menu = GetMenu(hwnd);
    if (!menu)
        return;
    static const int rows[4] = {15, 20, 25, 30};
    bool standard = false;
    for (int i = 0; i < 4; i++) {
        bool on = Settings.disprow == rows[i];
        standard |= on;
        CheckMenuItem(menu, IDM_ROWS_15 + i, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    }
    CheckMenuItem(menu, IDM_ROWS_SET, MF_BYCOMMAND | (standard ? MF_UNCHECKED : MF_CHECKED));
    char text[64];
    snprintf(text, sizeof text, "設定(&C)...\t%d行", Settings.disprow);
    ModifyMenuA(menu, IDM_ROWS_SET, MF_BYCOMMAND | MF_STRING | (standard ? MF_UNCHECKED : MF_CHECKED),
                IDM_ROWS_SET, text);
    DrawMenuBar(hwnd);
}

void ApplyRowCount(HWND hwnd)
{
    int width, height;
    ComputeWindowSize(&width, &height);
    ComputeGeometry();
    ScreenRecordReset(Settings.disprow);
    UpdateRowsMenu(hwnd);
    CursorSlot = 0;
    PageTop = 0;
    PrevSlot = -1;
    SetWindowPos(hwnd, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    RepaintAll(hwnd);
}

void UpdateMenuState(HWND hwnd)
{
    HMENU menu = GetMenu(hwnd);
    UINT state = ScreenMode ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(menu, IDM_CHANGE_DIR, MF_BYCOMMAND | state);
    for (int i = 1; i <= 4; i++)
        EnableMenuItem(menu, i, MF_BYPOSITION | state);
    DrawMenuBar(hwnd);
}
