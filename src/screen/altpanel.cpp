// The panel of external commands shown while Alt is held.
#include "screen/frame.h"
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "screen/screendc.h"
#include <stdio.h>

int AltOverlay = -1;
RECT AltOverlayRect;

static int OverlayTopLine()
{
    int rows = Settings.disprow;
    int top = rows < 15 ? (rows + 9) / 2 - 9 : rows / 2 - 9;
    if (top < 0)
        top = 0;
    return rows < 15 ? top : top + 9;
}

void DrawAltOverlay(HWND window, int set, bool firstDraw)
{
    if (!window || set < 0 || set > 1)
        return;
    WindowFontDC dc(window);
    int top = OverlayTopLine();
    int half = CellHeight / 2;
    if (firstDraw) {
        SetRect(&AltOverlayRect, CellX(6), LineY(top) - half, (592 * CellWidth - CellWidth) / 8,
                LineY(top + 15) + 7 * CellHeight / 16 - half);
        HBRUSH back = CreateSolidBrush(SlotColor(CL_BACK));
        FillRect(dc, &AltOverlayRect, back);
        DeleteObject(back);
        OwnedObject pen(dc, CreatePen(PS_SOLID, 1, SlotColor(CL_LINE)));
        SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, AltOverlayRect.left + CellWidth / 2, AltOverlayRect.top + half,
                  AltOverlayRect.right - CellWidth / 2, AltOverlayRect.bottom - half, CellWidth, CellHeight);
    }
    int oldMode = SetBkMode(dc, firstDraw ? TRANSPARENT : OPAQUE);
    for (int i = 0; i < 26; i++) {
        int block = i / 13, line = top + 1 + i % 13, index = set * 26 + i;
        char letter[4], title[40];
        snprintf(letter, sizeof letter, "%c:", (set ? 'a' : 'A') + i);
        SlotText(dc, 33 * block + 8, line, CL_NORMAL, letter);
        const char *text = ExtCommandTitle && ExtCommandTitle[index][0] ? ExtCommandTitle[index]
                           : ExtCommandLine ? ExtCommandLine[index] : "";
        FitText(text, 30, title);
        SlotText(dc, 33 * block + 10, line, CL_DATA, title);
    }
    SetBkMode(dc, oldMode);
    AltOverlay = set;
}

void CloseAltOverlay(HWND window)
{
    if (AltOverlay < 0)
        return;
    AltOverlay = -1;
    if (window)
        InvalidateRect(window, &AltOverlayRect, TRUE);
}
