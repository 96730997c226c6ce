// The frame of the list screen with its banner and captions, and the fitting of texts and figures into fields.
#include "screen/frame.h"
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "screen/screendc.h"
#include <stdio.h>
#include <string.h>

void SlotText(HDC dc, int column, int line, int slot, const char *text)
{
    DrawCells(dc, column, line, SlotColor(slot), SlotColor(CL_BACK), text, (int)strlen(text));
}

void FitText(const char *text, int width, char *out)
{
    char cut[PATH_BUFFER];
    TruncateBytes(text ? text : "", cut, width);
    int n = (int)strlen(cut);
    memcpy(out, cut, n);
    memset(out + n, ' ', width - n);
    out[width] = '\0';
}

void FitFigure(unsigned long long value, int width, char *out)
{
    char digits[32], text[48];
    snprintf(digits, sizeof digits, "%llu", value);
    GroupThousands(digits, text);
    if ((int)strlen(text) > width)
        strcpy(text, digits);
    static const char units[] = "KMGT";
    for (int unit = 0; (int)strlen(text) > width && unit < 4; unit++) {
        snprintf(digits, sizeof digits, "%llu", value >> (10 * (unit + 1)));
        GroupThousands(digits, text);
        if ((int)strlen(text) >= width)
            strcpy(text, digits);
        size_t n = strlen(text);
        text[n] = units[unit];
        text[n + 1] = '\0';
    }
    snprintf(out, width + 1, "%*.*s", width, width, text);
}

static int FrameX(int eighths)
{
    return eighths * CellWidth / 8;
}

static int FrameY(int sixteenths)
{
    return sixteenths * CellHeight / 16 + TopOffset;
}

static void Line(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, FrameX(x1), FrameY(y1), NULL);
    LineTo(dc, FrameX(x2), FrameY(y2));
}

static void DrawFrameLines(HDC dc)
{
    int rows = Settings.disprow;
    OwnedObject pen(dc, CreatePen(PS_SOLID, 1, SlotColor(CL_LINE)));
    SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
    int bottom = Settings.sideline ? rows * 16 + 136 : 104;
    RoundRect(dc, FrameX(5), FrameY(8), FrameX(634), FrameY(bottom), CellWidth, CellWidth);
    Line(dc, 5, 40, 634, 40);
    for (int x : {104, 280, 456})
        Line(dc, x, 8, x, 40);
    if (Settings.sideline) {
        Line(dc, 5, 104, 634, 104);
        OwnedObject back(dc, CreateSolidBrush(SlotColor(CL_BACK)));
        SelectedObject noPen(dc, GetStockObject(NULL_PEN));
        // A null pen draws one pixel less each way, so the block is widened by one to cover its stated size.
        Rectangle(dc, FrameX(24), FrameY(rows * 16 + 120), FrameX(616) + 1, FrameY(rows * 16 + 152) + 1);
    }
}

void DrawFrame(HDC dc)
{
    DrawFrameLines(dc);
    char banner[40];
    snprintf(banner, sizeof banner, " << Kelpo Ver.%s >> ", VersionText[0] ? VersionText : "1.00");
    SlotText(dc, Settings.weeksw ? 16 : 18, 0, CL_TITLE, banner);
    SlotText(dc, 14, 1, CL_INFO, "Total:");
    SlotText(dc, 36, 1, CL_INFO, "Used:");
    SlotText(dc, 58, 1, CL_INFO, "Free:");
    SlotText(dc, 2, 3, CL_INFO, "Path=");
    SlotText(dc, 2, 4, CL_INFO, "Info:");
    SlotText(dc, 58, 4, CL_INFO, "Marked");
    SlotText(dc, 2, 5, CL_INFO, "Name=");
    SlotText(dc, 58, 5, CL_INFO, "Files");
    SlotText(dc, 38, 6, CL_LINE, "<");
    SlotText(dc, 41, 6, CL_LINE, ">");
    ForgetPageForm();
}

