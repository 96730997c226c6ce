// The clock on the title line: only the fields that changed are drawn again.
#include "screen/frame.h"
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include <stdio.h>

static int clockShown[6] = {-1, -1, -1, -1, -1, -1};

int ClockDateColumn()
{
    int d = Settings.secsw ? 50 : 53;
    if (!Settings.timesw)
        d += 2;
    if (!Settings.weeksw)
        d += 5;
    return d;
}

int ClockTimeColumn()
{
    int t = Settings.secsw ? 66 : 69;
    if (!Settings.timesw)
        t += 2;
    return t;
}

void ForgetClock()
{
    for (int &v : clockShown)
        v = -1;
}

void DrawClockAt(HDC dc, const SYSTEMTIME *now)
{
    static const char *const weekdays[] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};
    int d = ClockDateColumn(), t = ClockTimeColumn();
    bool twelve = Settings.timesw != 0;
    char text[16];
    if (clockShown[0] != now->wYear) {
        snprintf(text, sizeof text, " %4d", now->wYear);
        SlotText(dc, d, 0, CL_TITLE, text);
        clockShown[0] = now->wYear;
    }
    if (clockShown[1] != now->wMonth) {
        snprintf(text, sizeof text, "-%02d", now->wMonth);
        SlotText(dc, d + 5, 0, CL_TITLE, text);
        clockShown[1] = now->wMonth;
    }
    if (clockShown[2] != now->wDay) {
        snprintf(text, sizeof text, "-%02d", now->wDay);
        SlotText(dc, d + 8, 0, CL_TITLE, text);
        if (Settings.weeksw) {
            snprintf(text, sizeof text, "(%s)", weekdays[now->wDayOfWeek % 7]);
            SlotText(dc, d + 11, 0, CL_TITLE, text);
        }
        clockShown[2] = now->wDay;
    }
    if (clockShown[3] != now->wHour) {
        if (twelve)
            snprintf(text, sizeof text, " %s%2d", now->wHour / 12 ? "PM" : "AM", now->wHour % 12);
        else
            snprintf(text, sizeof text, " %02d", now->wHour);
        SlotText(dc, t, 0, CL_TITLE, text);
        clockShown[3] = now->wHour;
    }
    if (clockShown[4] != now->wMinute) {
        snprintf(text, sizeof text, ":%02d ", now->wMinute);
        SlotText(dc, t + (twelve ? 5 : 3), 0, CL_TITLE, text);
        clockShown[4] = now->wMinute;
        clockShown[5] = -1;         // the minute's trailing blank covered the seconds' colon
    }
    if (Settings.secsw && clockShown[5] != now->wSecond) {
        snprintf(text, sizeof text, ":%02d ", now->wSecond);
        SlotText(dc, t + (twelve ? 8 : 6), 0, CL_TITLE, text);
        clockShown[5] = now->wSecond;
    }
}

void DrawClock(HDC dc)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    DrawClockAt(dc, &now);
}

