#include "screen/frame.h"
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "app/cursor.h"
#include "filelist/filetable.h"
#include "filelist/diskspace.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

int AltOverlay = -1;
RECT AltOverlayRect;
void (*DirectoryChangeAnnouncer)(const char *path);

static const char ellipsis[] = "…";
static int shownPageForm = -1;      // 0 "Page:", 1 "Pg:", -1 not drawn since the frame
static int clockShown[6] = {-1, -1, -1, -1, -1, -1};

static void Text(HDC dc, int column, int line, int slot, const char *text)
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

static unsigned long long DoubleToCount(double value)
{
    return value > 0 ? (unsigned long long)(value + 0.5) : 0;
}

// ---- frame ----

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

void DrawFrame(HDC dc)
{
    int rows = Settings.disprow;
    HPEN pen = CreatePen(PS_SOLID, 1, SlotColor(CL_LINE));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    int bottom = Settings.sideline ? rows * 16 + 136 : 104;
    RoundRect(dc, FrameX(5), FrameY(8), FrameX(634), FrameY(bottom), CellWidth, CellWidth);
    Line(dc, 5, 40, 634, 40);
    for (int x : {104, 280, 456})
        Line(dc, x, 8, x, 40);
    if (Settings.sideline) {
        Line(dc, 5, 104, 634, 104);
        HBRUSH back = CreateSolidBrush(SlotColor(CL_BACK));
        SelectObject(dc, back);
        SelectObject(dc, GetStockObject(NULL_PEN));
        // A null pen draws one pixel less each way, so the block is widened by one to cover its stated size.
        Rectangle(dc, FrameX(24), FrameY(rows * 16 + 120), FrameX(616) + 1, FrameY(rows * 16 + 152) + 1);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        DeleteObject(back);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);

    char banner[40];
    snprintf(banner, sizeof banner, " << Kelpo Ver.%s >> ", VersionText[0] ? VersionText : "1.00");
    Text(dc, Settings.weeksw ? 16 : 18, 0, CL_TITLE, banner);
    Text(dc, 14, 1, CL_INFO, "Total:");
    Text(dc, 36, 1, CL_INFO, "Used:");
    Text(dc, 58, 1, CL_INFO, "Free:");
    Text(dc, 2, 3, CL_INFO, "Path=");
    Text(dc, 2, 4, CL_INFO, "Info:");
    Text(dc, 58, 4, CL_INFO, "Marked");
    Text(dc, 2, 5, CL_INFO, "Name=");
    Text(dc, 58, 5, CL_INFO, "Files");
    Text(dc, 38, 6, CL_LINE, "<");
    Text(dc, 41, 6, CL_LINE, ">");
    shownPageForm = -1;
}

// ---- clock ----

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
        Text(dc, d, 0, CL_TITLE, text);
        clockShown[0] = now->wYear;
    }
    if (clockShown[1] != now->wMonth) {
        snprintf(text, sizeof text, "-%02d", now->wMonth);
        Text(dc, d + 5, 0, CL_TITLE, text);
        clockShown[1] = now->wMonth;
    }
    if (clockShown[2] != now->wDay) {
        snprintf(text, sizeof text, "-%02d", now->wDay);
        Text(dc, d + 8, 0, CL_TITLE, text);
        if (Settings.weeksw) {
            snprintf(text, sizeof text, "(%s)", weekdays[now->wDayOfWeek % 7]);
            Text(dc, d + 11, 0, CL_TITLE, text);
        }
        clockShown[2] = now->wDay;
    }
    if (clockShown[3] != now->wHour) {
        if (twelve)
            snprintf(text, sizeof text, " %s%2d", now->wHour / 12 ? "PM" : "AM", now->wHour % 12);
        else
            snprintf(text, sizeof text, " %02d", now->wHour);
        Text(dc, t, 0, CL_TITLE, text);
        clockShown[3] = now->wHour;
    }
    if (clockShown[4] != now->wMinute) {
        snprintf(text, sizeof text, ":%02d ", now->wMinute);
        Text(dc, t + (twelve ? 5 : 3), 0, CL_TITLE, text);
        clockShown[4] = now->wMinute;
        clockShown[5] = -1;         // the minute's trailing blank covered the seconds' colon
    }
    if (Settings.secsw && clockShown[5] != now->wSecond) {
        snprintf(text, sizeof text, ":%02d ", now->wSecond);
        Text(dc, t + (twelve ? 8 : 6), 0, CL_TITLE, text);
        clockShown[5] = now->wSecond;
    }
}

void DrawClock(HDC dc)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    DrawClockAt(dc, &now);
}

// ---- disk figures and information block ----

void DrawDiskFigures(HDC dc)
{
    // The 64-bit byte counts are exact on drives whose cluster counts would overflow a product.
    unsigned long long total = CurrentDisk.totalBytes, freeBytes = CurrentDisk.freeBytes;
    unsigned long long used = total > freeBytes ? total - freeBytes : 0;
    char text[16];
    FitFigure(total, 14, text);
    Text(dc, 20, 1, CL_DATA, text);
    FitFigure(used, 14, text);
    Text(dc, 42, 1, CL_DATA, text);
    FitFigure(freeBytes, 14, text);
    Text(dc, 64, 1, CL_DATA, text);
}

void PathLineText(const char *path, char *out)
{
    char work[PATH_BUFFER], shortForm[PATH_BUFFER];
    lstrcpynA(work, path ? path : "", sizeof work);
    if (Settings.dispsubmode == 0) {
        shortForm[0] = '\0';
        char probe[PATH_BUFFER];
        strcpy(probe, work);
        if (ValidatePath(probe, shortForm) && shortForm[0])
            strcpy(work, shortForm);
        if (Settings.namesmall)
            LowerAscii(work);
    }
    if (!IsRootPath(work))
        StripBackslash(work);
    ShortenPath(work, out, 71);
    if (IsRootPath(work) && !EndsWithBackslash(out))
        AppendBackslash(out);
}

static void DrawPageIndicator(HDC dc, int pageTop)
{
    int size = PageSize();
    if (size <= 0)
        size = 1;
    int pages = 1, page = 1;
    if (!NoFiles && EntryCount > 0) {
        pages = (EntryCount - 1) / size + 1;
        page = pageTop / size + 1;
    }
    int form = pages >= 100 ? 1 : 0;
    if (form != shownPageForm) {
        Text(dc, 2, 1, CL_INFO, form ? "Pg:   /   " : "Page:  /  ");
        shownPageForm = form;
    }
    char text[16];
    snprintf(text, sizeof text, form ? "%3d" : "%2d", page);
    Text(dc, form ? 5 : 7, 1, CL_DATA, text);
    snprintf(text, sizeof text, form ? "%3d" : "%2d", pages);
    Text(dc, form ? 9 : 10, 1, CL_DATA, text);
}

static void DrawSizeFigure(HDC dc, int line, double realBytes, double allocated)
{
    char text[16];
    if (Settings.realsize) {
        FitFigure(DoubleToCount(realBytes), 14, text);
        Text(dc, 64, line, CL_TITLE, text);
    } else {
        FitFigure(DoubleToCount(allocated), 14, text);
        Text(dc, 64, line, CL_DATA, text);
    }
}

void DrawInfoBlock(HDC dc, int pageTop)
{
    DrawPageIndicator(dc, pageTop);
    DrawDiskFigures(dc);

    const char *path = CurrentPath ? CurrentPath : "";
    char shown[PATH_BUFFER], field[80];
    PathLineText(path, shown);
    FitText(shown, 71, field);
    Text(dc, 7, 3, CL_DATA, field);

    if (g_mainWnd) {
        char caption[PATH_BUFFER + 16];
        snprintf(caption, sizeof caption, "Kelpo - %s", path);
        SetWindowTextA(g_mainWnd, caption);
    }
    if (AnnouncedPath && strcmp(AnnouncedPath, path) != 0) {
        lstrcpynA(AnnouncedPath, path, PATH_BUFFER);
        if (DirectoryChangeAnnouncer)
            DirectoryChangeAnnouncer(AnnouncedPath);
    }

    // The grid draws no cursor details for the placeholder, so its empty details come from here.
    if (NoFiles)
        DrawEntryDetails(dc, -1);
    char text[16];
    snprintf(text, sizeof text, "%5d", NoFiles ? 0 : EntryCount);
    Text(dc, 53, 5, CL_DATA, text);
    DrawSizeFigure(dc, 5, TotalBytes, TotalAllocated);
}

void DrawMarkedFigures(HDC dc)
{
    char text[16];
    snprintf(text, sizeof text, "%5d", MarkedCount);
    Text(dc, 53, 4, CL_DATA, text);
    DrawSizeFigure(dc, 4, MarkedBytes, MarkedAllocated);
}

void NameLineText(const char *name, char *out)
{
    char cut[PATH_BUFFER];
    if ((int)strlen(name) < 47) {
        strcpy(cut, name);
    } else {
        TruncateBytes(name, cut, 44);
        strcat(cut, ellipsis);
    }
    FitText(cut, 46, out);
}

static void AttributeLetters(bool readOnly, bool hidden, bool system, bool archive, char *out)
{
    strcpy(out, "----");
    if (readOnly)
        out[0] = 'R';
    if (hidden)
        out[1] = 'H';
    if (system)
        out[2] = 'S';
    if (archive)
        out[3] = 'A';
}

// The Info line from column 7 to 48 and the attributes at 49, then the Name line.
static void DrawDetails(HDC dc, const char *shortName, const char *size, const char *when, const char *attributes,
                        const char *longName)
{
    char name[16], stamp[20], line[64];
    FitText(shortName, 12, name);
    snprintf(stamp, sizeof stamp, "%-16.16s", when);
    snprintf(line, sizeof line, "%s %11.11s %s ", name, size, stamp);
    Text(dc, 7, 4, CL_DATA, line);
    Text(dc, 49, 4, CL_NORMAL, attributes);
    char nameLine[64];
    NameLineText(longName, nameLine);
    Text(dc, 7, 5, CL_DATA, nameLine);
}

void DrawEntryDetails(HDC dc, int position)
{
    FileEntry *entry = position >= 0 && position < EntryCount && !NoFiles ? EntryAt(position) : NULL;
    if (!entry) {
        DrawDetails(dc, "", "", "----/--/-- --:--", "    ", "");
        return;
    }
    char size[24], attributes[8];
    if (entry->EntryFlags & EF_VOLUME)
        strcpy(size, Settings.namesmall ? "<vol>" : "<VOL>");
    else if (entry->EntryFlags & EF_DIRECTORY)
        strcpy(size, Settings.namesmall ? "<dir>" : "<DIR>");
    else
        FitFigure(((unsigned long long)entry->sizeHigh << 32) | entry->sizeLow, 11, size);
    DWORD f = entry->EntryFlags;
    AttributeLetters(f & EF_READONLY, f & EF_HIDDEN, f & EF_SYSTEM, f & EF_ARCHIVE, attributes);
    DrawDetails(dc, entry->shortName, size, FormatFileTime(&entry->writeTime), attributes, LongNameAt(position));
}

void DrawOperationDetails(HDC dc, const char *path, const WIN32_FIND_DATAA *found)
{
    char shown[PATH_BUFFER], field[80];
    PathLineText(path, shown);
    FitText(shown, 71, field);
    Text(dc, 7, 3, CL_DATA, field);
    if (!found)
        return;
    char size[24], attributes[8];
    if (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        strcpy(size, Settings.namesmall ? "<dir>" : "<DIR>");
    else
        FitFigure(((unsigned long long)found->nFileSizeHigh << 32) | found->nFileSizeLow, 11, size);
    DWORD a = found->dwFileAttributes;
    AttributeLetters(a & FILE_ATTRIBUTE_READONLY, a & FILE_ATTRIBUTE_HIDDEN, a & FILE_ATTRIBUTE_SYSTEM,
                     a & FILE_ATTRIBUTE_ARCHIVE, attributes);
    const char *shortName = found->cAlternateFileName[0] ? found->cAlternateFileName : found->cFileName;
    DrawDetails(dc, shortName, size, FormatFileTime(&found->ftLastWriteTime), attributes, found->cFileName);
}

void InstallHeaderDrawers()
{
    EntryDetailsDrawer = DrawEntryDetails;
    MarkedFiguresDrawer = DrawMarkedFigures;
}

// ---- the Alt panel of external commands ----

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
    HDC dc = GetDC(window);
    HGDIOBJ oldFont = MainFont ? SelectObject(dc, MainFont) : NULL;
    int top = OverlayTopLine();
    int half = CellHeight / 2;
    if (firstDraw) {
        SetRect(&AltOverlayRect, CellX(6), LineY(top) - half, (592 * CellWidth - CellWidth) / 8,
                LineY(top + 15) + 7 * CellHeight / 16 - half);
        HBRUSH back = CreateSolidBrush(SlotColor(CL_BACK));
        FillRect(dc, &AltOverlayRect, back);
        DeleteObject(back);
        HPEN pen = CreatePen(PS_SOLID, 1, SlotColor(CL_LINE));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        RoundRect(dc, AltOverlayRect.left + CellWidth / 2, AltOverlayRect.top + half,
                  AltOverlayRect.right - CellWidth / 2, AltOverlayRect.bottom - half, CellWidth, CellHeight);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    int oldMode = SetBkMode(dc, firstDraw ? TRANSPARENT : OPAQUE);
    for (int i = 0; i < 26; i++) {
        int block = i / 13, line = top + 1 + i % 13, index = set * 26 + i;
        char letter[4], title[40];
        snprintf(letter, sizeof letter, "%c:", (set ? 'a' : 'A') + i);
        Text(dc, 33 * block + 8, line, CL_NORMAL, letter);
        const char *text = ExtCommandTitle && ExtCommandTitle[index][0] ? ExtCommandTitle[index]
                           : ExtCommandLine ? ExtCommandLine[index] : "";
        FitText(text, 30, title);
        Text(dc, 33 * block + 10, line, CL_DATA, title);
    }
    SetBkMode(dc, oldMode);
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
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
