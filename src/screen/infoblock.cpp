// The information block: page, disk figures, path, the cursor entry's details, file and marked figures.
#include "screen/frame.h"
#include "screen/screen.h"
#include "config/settings.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/diskspace.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

void (*DirectoryChangeAnnouncer)(const char *path);

static const char ellipsis[] = "…";
static int shownPageForm = -1;      // 0 "Page:", 1 "Pg:", -1 not drawn since the frame

void ForgetPageForm()
{
    shownPageForm = -1;
}

static unsigned long long DoubleToCount(double value)
{
    return value > 0 ? (unsigned long long)(value + 0.5) : 0;
}

void DrawDiskFigures(HDC dc)
{
    // The 64-bit byte counts are exact on drives whose cluster counts would overflow a product.
    unsigned long long total = CurrentDisk.totalBytes, freeBytes = CurrentDisk.freeBytes;
    unsigned long long used = total > freeBytes ? total - freeBytes : 0;
    char text[16];
    FitFigure(total, 14, text);
    SlotText(dc, 20, 1, CL_DATA, text);
    FitFigure(used, 14, text);
    SlotText(dc, 42, 1, CL_DATA, text);
    FitFigure(freeBytes, 14, text);
    SlotText(dc, 64, 1, CL_DATA, text);
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
        SlotText(dc, 2, 1, CL_INFO, form ? "Pg:   /   " : "Page:  /  ");
        shownPageForm = form;
    }
    char text[16];
    snprintf(text, sizeof text, form ? "%3d" : "%2d", page);
    SlotText(dc, form ? 5 : 7, 1, CL_DATA, text);
    snprintf(text, sizeof text, form ? "%3d" : "%2d", pages);
    SlotText(dc, form ? 9 : 10, 1, CL_DATA, text);
}

static void DrawSizeFigure(HDC dc, int line, double realBytes, double allocated)
{
    char text[16];
    if (Settings.realsize) {
        FitFigure(DoubleToCount(realBytes), 14, text);
        SlotText(dc, 64, line, CL_TITLE, text);
    } else {
        FitFigure(DoubleToCount(allocated), 14, text);
        SlotText(dc, 64, line, CL_DATA, text);
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
    SlotText(dc, 7, 3, CL_DATA, field);

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
    SlotText(dc, 53, 5, CL_DATA, text);
    DrawSizeFigure(dc, 5, TotalBytes, TotalAllocated);
}

void DrawMarkedFigures(HDC dc)
{
    char text[16];
    snprintf(text, sizeof text, "%5d", MarkedCount);
    SlotText(dc, 53, 4, CL_DATA, text);
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
    SlotText(dc, 7, 4, CL_DATA, line);
    SlotText(dc, 49, 4, CL_NORMAL, attributes);
    char nameLine[64];
    NameLineText(longName, nameLine);
    SlotText(dc, 7, 5, CL_DATA, nameLine);
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
        FitFigure(EntrySize(entry), 11, size);
    DWORD f = entry->EntryFlags;
    AttributeLetters(f & EF_READONLY, f & EF_HIDDEN, f & EF_SYSTEM, f & EF_ARCHIVE, attributes);
    DrawDetails(dc, entry->shortName, size, FormatFileTime(&entry->writeTime), attributes, LongNameAt(position));
}

void DrawOperationDetails(HDC dc, const char *path, const WIN32_FIND_DATAA *found)
{
    char shown[PATH_BUFFER], field[80];
    PathLineText(path, shown);
    FitText(shown, 71, field);
    SlotText(dc, 7, 3, CL_DATA, field);
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

