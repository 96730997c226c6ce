#include "screen/keybar.h"
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "base/commands.h"
#include "screen/screendc.h"
#include <string.h>

int KeyBarKeys()
{
    return Settings.fkeynum == 10 ? 10 : 12;
}

int KeyCapWidth(int keys)
{
    return keys == 10 ? 6 : 5;
}

int KeyCapColumn(int keys, int index)
{
    if (keys == 10)
        return 4 + 7 * index + (index >= 5 ? 3 : 0);
    return 3 + 6 * index + (index >= 8 ? 4 : index >= 4 ? 2 : 0);
}

const char *KeyLabel(int keys, bool shifted, int index)
{
    const FunctionKeyCommand *row = FunctionKeyRow(keys, shifted, index);
    return row ? row->label : "";
}

int PickedLetterIndex(const char *label, int width)
{
    for (int i = 0; i < width && label[i]; i++)
        if (label[i] != ' ' && (unsigned char)label[i] < 'a')
            return i;
    return -1;
}

bool ShiftSetHeld()
{
    return GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_RBUTTON) < 0;
}

bool MaskInForce()
{
    return FileMask && FileMask[0] && strcmp(FileMask, "*.*") != 0;
}

static void FillCells(HDC dc, int left, int top, int right, int bottom, COLORREF color)
{
    OwnedObject pen(dc, CreatePen(PS_SOLID, 1, color));
    OwnedObject brush(dc, CreateSolidBrush(color));
    Rectangle(dc, left, top, right, bottom);
}

void DrawKeyBar(HDC dc, bool shifted, int litKey)
{
    int keys = KeyBarKeys(), width = KeyCapWidth(keys);
    if (litKey == KEYBAR_LIT_VIEW) {
        shifted = true;
        litKey = 8;
    } else if (litKey >= keys) {
        shifted = true;
        litKey %= keys;
    }
    if (litKey < 0 && !shifted && MaskInForce())
        litKey = 6;
    int line = Settings.disprow + 8;
    int top = LineY(line), bottom = LineY(line + 1) + 2;
    COLORREF func = SlotColor(CL_FUNC), func2 = SlotColor(CL_FUNC2), back = SlotColor(CL_BACK);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < keys; i++) {
        int column = KeyCapColumn(keys, i);
        const char *label = KeyLabel(keys, shifted, i);
        bool lit = i == litKey;
        COLORREF cap = lit ? func2 : func;
        FillCells(dc, CellX(column), top, CellX(column + width) - 1, bottom, cap);
        int picked = lit ? -1 : PickedLetterIndex(label, width);
        if (picked >= 0)
            FillCells(dc, CellX(column + picked), top, CellX(column + picked + 1), bottom, func2);
        // Drawn in pieces so that each cell's record carries the colour of the cap under it.
        if (picked < 0) {
            DrawCells(dc, column, line, back, cap, label, width);
        } else {
            if (picked > 0)
                DrawCells(dc, column, line, back, cap, label, picked);
            DrawCells(dc, column + picked, line, back, func2, label + picked, 1);
            if (picked + 1 < width)
                DrawCells(dc, column + picked + 1, line, back, cap, label + picked + 1, width - picked - 1);
        }
    }
    SetBkMode(dc, oldMode);
}

void RedrawPlainKeyBar(HWND hwnd)
{
    if (!hwnd || !MainFont)
        return;
    WindowFontDC dc(hwnd);
    DrawKeyBar(dc, false, -1);
}
