#include "app/mouse.h"
#include "screen/cursor.h"
#include "app/listkeys.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "screen/frame.h"
#include "screen/keybar.h"
#include "screen/screen.h"
#include "screen/screendc.h"

// Where the grid columns start and where the gaps between them lie, in grid cells (column 2 of
// the screen is cell 0), for each column count and sub-mode.
struct GridColumns {
    int dispmode, submode;      // submode -1: any
    int count;
    int start[5];
    int gapFrom[5], gapTo[5];   // count - 1 gaps, or count with a gap after the last column
    int gaps;
};
static const GridColumns gridColumns[] = {
    {1, -1, 1, {0}, {0}, {0}, 0},
    {2, -1, 2, {0, 39}, {37}, {38}, 1},
    {3, 0, 3, {0, 27, 54}, {22, 49}, {26, 53}, 2},
    {3, 1, 3, {0, 26, 52}, {24, 50}, {25, 51}, 2},
    {3, 2, 3, {0, 26, 52}, {24, 50}, {25, 51}, 2},
    {5, 0, 5, {0, 16, 32, 48, 64}, {12, 28, 44, 60}, {15, 31, 47, 63}, 4},
    {5, 1, 5, {0, 16, 31, 46, 61}, {14, 29, 44, 59, 74}, {15, 30, 45, 60, 75}, 5},
    {5, 2, 5, {0, 16, 31, 46, 61}, {15, 30, 45, 60, 75}, {15, 30, 45, 60, 75}, 5},
};

static const GridColumns *ColumnsOfMode()
{
    for (const GridColumns &g : gridColumns)
        if (g.dispmode == Settings.dispmode && (g.submode < 0 || g.submode == Settings.dispsubmode))
            return &g;
    return NULL;
}

static int KeyCapLetter(int column, bool shifted, int *command)
{
    int keys = KeyBarKeys(), width = KeyCapWidth(keys);
    for (int k = 0; k < keys; k++) {
        int left = KeyCapColumn(keys, k);
        if (column < left || column >= left + width)
            continue;
        const FunctionKeyCommand *row = FunctionKeyRow(keys, shifted, k);
        if (!row)
            return HIT_NOTHING;
        if (row->command) {
            *command = row->command;
            return HIT_NOTHING;
        }
        for (const char *p = row->label; *p; p++)
            if (*p >= 'A' && *p <= 'Z')
                return *p;
        return HIT_NOTHING;
    }
    return HIT_NOTHING;
}

int HitTestCell(int column, int line, bool shifted, int *slot, int *command)
{
    int rows = Settings.disprow;
    *command = 0;
    if (line == rows + 8)
        return KeyCapLetter(column, shifted, command);
    if (line < GRID_TOP_LINE || line > rows + 6 || column < 2 || column > 77)
        return HIT_NOTHING;
    const GridColumns *g = ColumnsOfMode();
    if (!g)
        return HIT_NOTHING;
    int c = column - 2, gridColumn = 0;
    for (int i = 0; i < g->gaps; i++)
        if (c >= g->gapFrom[i] && c <= g->gapTo[i])
            return HIT_NOTHING;
    for (int i = 1; i < g->count; i++)
        if (c >= g->start[i])
            gridColumn = i;
    *slot = (line - GRID_TOP_LINE) + rows * gridColumn;
    return HIT_SLOT;
}

int HitTest(HWND window, int x, int y, bool shifted, int *slot)
{
    if (x < 0 || y < TopOffset || CellWidth <= 0 || CellHeight <= 0)
        return HIT_NOTHING;
    int command = 0;
    int result = HitTestCell(x / CellWidth, (y - TopOffset) / CellHeight, shifted, slot, &command);
    if (command)
        PostMessageA(window, WM_COMMAND, command, 0);
    return result;
}

static int X(LPARAM position)
{
    return (short)LOWORD(position);
}

static int Y(LPARAM position)
{
    return (short)HIWORD(position);
}

static int LineOf(LPARAM position)
{
    return CellHeight > 0 ? (Y(position) - TopOffset) / CellHeight : -1;
}

// Shift that came from the right button or a forced shift, not from the Shift key.
static bool ShiftedByMouse(WPARAM keys)
{
    return ((keys & MK_RBUTTON) || ForceShift) && GetKeyState(VK_SHIFT) >= 0;
}

// The highlight from PrevSlot to CursorSlot.
static void MoveHighlightTo(HWND hwnd)
{
    WindowFontDC dc(hwnd);
    if (PrevSlot >= 0 && PrevSlot != CursorSlot && PageTop + PrevSlot < EntryCount)
        DrawEntry(dc, PrevSlot, PageTop + PrevSlot, false);
    DrawEntry(dc, CursorSlot, PageTop + CursorSlot, true);
    PrevSlot = CursorSlot;
}

// A slot of the page that shows an entry, or -1.
static int EntrySlotAt(HWND hwnd, LPARAM position, bool shifted)
{
    int slot = -1;
    if (HitTest(hwnd, X(position), Y(position), shifted, &slot) != HIT_SLOT)
        return -1;
    return !NoFiles && slot >= 0 && slot < PageSize() && PageTop + slot < EntryCount ? slot : -1;
}

void OnLeftButtonDown(HWND hwnd, WPARAM keys, LPARAM position)
{
    if (AltOverlay >= 0 || ScreenMode != 0)
        return;
    if (LineOf(position) == GRID_TOP_LINE - 1) {
        PostMessageA(hwnd, WM_KEYDOWN, CellWidth > 0 && X(position) / CellWidth >= 40 ? VK_NEXT : VK_PRIOR, 0);
        return;
    }
    bool shifted = IsShifted() || (keys & MK_RBUTTON);
    int slot = -1;
    int result = HitTest(hwnd, X(position), Y(position), shifted, &slot);
    if (result == HIT_SLOT) {
        if (slot >= 0 && slot < PageSize() && PageTop + slot < EntryCount && !NoFiles)
            CursorSlot = slot;
        MoveHighlightTo(hwnd);
    } else if (result != HIT_NOTHING) {
        if (ShiftedByMouse(keys))
            RedrawKeyBar(hwnd, false);
        PostMessageA(hwnd, WM_CHAR, (WPARAM)result, 0);
    }
}

void OnLeftDoubleClick(HWND hwnd, WPARAM keys, LPARAM position)
{
    if (AltOverlay >= 0 || ScreenMode != 0)
        return;
    bool shifted = IsShifted() || (keys & MK_RBUTTON);
    int slot = EntrySlotAt(hwnd, position, shifted);
    if (slot < 0)
        return;
    if (ShiftedByMouse(keys))
        RedrawKeyBar(hwnd, false);
    CursorSlot = slot;
    if (CursorSlot != PrevSlot)
        MoveHighlightTo(hwnd);
    LockFileTable();
    bool directory = (EntryAt(PageTop + CursorSlot)->EntryFlags & EF_DIRECTORY) != 0;
    UnlockFileTable();
    if (directory)
        PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    else
        PostMessageA(hwnd, WM_CHAR, 'Z', 0);
}

void OnRightButtonDown(HWND hwnd, WPARAM keys, LPARAM position)
{
    if (AltOverlay >= 0)
        return;
    if (ScreenMode != 0) {
        // The viewer closes as with Esc.
        PostMessageA(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
        return;
    }
    if (keys & MK_LBUTTON) {
        PostMessageA(hwnd, WM_CHAR, 'V', 0);
        return;
    }
    if (LineOf(position) == Settings.disprow + 8)
        RedrawKeyBar(hwnd, true);
    int slot = EntrySlotAt(hwnd, position, false);
    if (slot < 0)
        return;
    ToggleMark(PageTop + slot);
    RedrawMarkFigures(hwnd, slot, PageTop + slot);
}

void OnRightButtonUp(HWND hwnd)
{
    if (AltOverlay >= 0 || ScreenMode != 0)
        return;
    RedrawKeyBar(hwnd, false);
}
