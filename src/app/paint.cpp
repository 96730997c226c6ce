#include <windows.h>
#include "app/dispatch.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "screen/frame.h"
#include "screen/keybar.h"

// dc is the paint context: it reaches only the invalidated part of the window. The header
// (information block, cursor details, marked figures, clock) follows every change of page,
// directory and cursor, so it is drawn on a window context that reaches the whole client area.
void PaintListScreen(HWND hwnd, HDC dc)
{
    DrawFrame(dc);
    DrawPage(dc, PageTop);
    DrawKeyBar(dc, IsShifted(), -1);
    WindowFontDC header(hwnd);
    if (!header)
        return;
    // The clock remembers the fields it drew; they must be the ones on screen, not clipped away.
    ForgetClock();
    DrawClock(header);
    DrawInfoBlock(header, PageTop);
    if (PageTop + CursorSlot < EntryCount)
        DrawEntry(header, CursorSlot, PageTop + CursorSlot, true);
    DrawMarkedFigures(header);
}

void DrawTitleAndClock(HWND hwnd)
{
    WindowFontDC dc(hwnd);
    DrawClock(dc);
}

void DrawDiskFiguresNow(HWND hwnd)
{
    WindowFontDC dc(hwnd);
    DrawDiskFigures(dc);
}
