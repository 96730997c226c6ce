#include <windows.h>
#include "app/dispatch.h"
#include "app/mainwnd.h"
#include "base/globals.h"
#include "app/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "screen/frame.h"
#include "screen/keybar.h"

void PaintListScreen(HDC dc)
{
    DrawFrame(dc);
    DrawPage(dc, PageTop);
    ForgetClock();
    DrawClock(dc);
    DrawKeyBar(dc, IsShifted(), -1);
    DrawInfoBlock(dc, PageTop);
    if (PageTop + CursorSlot < EntryCount)
        DrawEntry(dc, CursorSlot, PageTop + CursorSlot, true);
    DrawMarkedFigures(dc);
}

void DrawTitleAndClock(HWND hwnd)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, MainFont);
    DrawClock(dc);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
}

void DrawDiskFiguresNow(HWND hwnd)
{
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, MainFont);
    DrawDiskFigures(dc);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
}
