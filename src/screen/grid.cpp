#include "screen/screen.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <string.h>

void (*EntryDetailsDrawer)(HDC dc, int position);
void (*MarkedFiguresDrawer)(HDC dc);

static const char placeholderText[] = "ﾌｧｲﾙｶﾞｱﾘﾏｾﾝ";

// One row per column count and sub-mode: slot k of a line starts at cell step × k + first.
struct SlotLayout {
    int columns, submode, step, first, width, mark;
};

static const SlotLayout slotLayouts[] = {
    {1, 0, 0, 2, 76, 1},  {1, 1, 0, 2, 76, 1},  {1, 2, 0, 2, 76, 1},
    {2, 0, 39, 2, 37, 1}, {2, 1, 39, 2, 37, 1}, {2, 2, 39, 2, 37, 1},
    {3, 0, 27, 2, 22, 1}, {3, 1, 26, 2, 24, 1}, {3, 2, 26, 2, 24, 1},
    {5, 0, 16, 2, 12, 1}, {5, 1, 15, 3, 13, 2}, {5, 2, 15, 3, 14, 2},
};

static const SlotLayout *CurrentLayout()
{
    for (const SlotLayout &l : slotLayouts)
        if (l.columns == Settings.dispmode && l.submode == Settings.dispsubmode)
            return &l;
    return NULL;
}

bool SlotPlaceOf(int slot, SlotPlace *place)
{
    const SlotLayout *layout = CurrentLayout();
    int rows = Settings.disprow;
    if (!layout || rows <= 0 || slot < 0 || slot >= layout->columns * rows)
        return false;
    int k = slot / rows;
    place->x = layout->step * k + layout->first;
    place->line = GRID_TOP_LINE + slot % rows;
    place->width = layout->width;
    place->mark = layout->step * k + layout->mark;
    return true;
}


// The short size: bytes below 1024, else one decimal of the smallest unit whose text has at most 6 characters.
static void ShortSize(unsigned long long size, char *out)
{
    if (size < 1024) {
        snprintf(out, 16, "%lu ", (unsigned long)size);
        return;
    }
    static const char units[] = "KMGTPE";
    int unit = size >= 0x40000000ULL ? 2 : size >= 0x100000ULL ? 1 : 0;
    for (;; unit++) {
        snprintf(out, 16, "%.1f%c", (double)size / (double)(1ULL << (10 * (unit + 1))), units[unit]);
        if (strlen(out) <= 6 || unit == 5)
            break;
    }
}

void FormatSizes(const FileEntry *entry, char *exact, char *shortSize)
{
    const char *word = NULL;
    if (entry->EntryFlags & EF_VOLUME)
        word = Settings.namesmall ? "<vol>" : "<VOL>";
    else if (entry->EntryFlags & EF_DIRECTORY)
        word = Settings.namesmall ? "<dir>" : "<DIR>";
    if (word) {
        strcpy(exact, word);
        strcpy(shortSize, word);
        return;
    }
    snprintf(exact, 24, "%llu", EntrySize(entry));
    ShortSize(EntrySize(entry), shortSize);
}

// An exact size too long for its field shows the short size instead of a cut number.
static const char *FittedSize(const char *exact, const char *shortSize, int field)
{
    return (int)strlen(exact) <= field ? exact : shortSize;
}

static void ShortBaseAndExt(const char *shortName, char *base, char *ext)
{
    if (shortName[0] == '.') {
        lstrcpynA(base, shortName, 16);
        ext[0] = '\0';
        return;
    }
    SplitPath(shortName, NULL, base, ext);
    // A short name that is really a long primary name must not lose half a character to "%-8.8s".
    TruncateBytes(base, base, 8);
    TruncateBytes(ext, ext, 4);
}

static void Attributes(DWORD flags, char *out)
{
    strcpy(out, "----");
    if (flags & EF_READONLY)
        out[0] = 'R';
    if (flags & EF_HIDDEN)
        out[1] = 'H';
    if (flags & EF_SYSTEM)
        out[2] = 'S';
    if (flags & EF_ARCHIVE)
        out[3] = 'A';
}

// Pads with blanks or cuts to exactly width bytes, never leaving half a double-byte character.
static void FitToWidth(char *text, int width)
{
    char cut[PATH_BUFFER];
    TruncateBytes(text, cut, width);
    int n = (int)strlen(cut);
    memset(cut + n, ' ', width - n);
    cut[width] = '\0';
    strcpy(text, cut);
}

void FormatSlotText(int slot, int position, char *text)
{
    SlotPlace place;
    text[0] = '\0';
    if (!SlotPlaceOf(slot, &place))
        return;
    int W = place.width;
    if (position < 0 || position >= EntryCount) {
        FitToWidth(text, W);
        return;
    }
    if (NoFiles) {
        snprintf(text, PATH_BUFFER, "%s%80.80s", placeholderText, "");
        FitToWidth(text, W);
        return;
    }
    const FileEntry *entry = EntryAt(position);
    const char *longName = LongNameAt(position);
    char base[PATH_BUFFER], ext[16], exact[24], shortSize[24], attributes[8], name[PATH_BUFFER], grouped[40];
    ShortBaseAndExt(entry->shortName, base, ext);
    FormatSizes(entry, exact, shortSize);
    const char *date = FormatFileTime(&entry->writeTime);
    Attributes(entry->EntryFlags, attributes);
    const char *sizeColumn = EntrySize(entry) <= 999999 ? exact : shortSize;
    int c = Settings.dispmode, m = Settings.dispsubmode;
    if (c == 1 && m == 0) {
        FormatLongName(name, longName, 28);
        snprintf(text, PATH_BUFFER, "%-8.8s%-4.4s %9.9s %-19.19s %s %-28.28s", base, ext, FittedSize(exact, shortSize, 9),
                 date, attributes, name);
    } else if (c == 1 && m == 1) {
        FormatLongName(name, longName, 38);
        snprintf(text, PATH_BUFFER, "%-8.8s%-4.4s %6.6s %-17.17s %-38.38s", base, ext, sizeColumn, date + 2, name);
    } else if (c == 1 && m == 2) {
        FormatLongName(name, longName, 49);
        if (entry->EntryFlags & (EF_VOLUME | EF_DIRECTORY))
            strcpy(grouped, exact);
        else
            GroupThousands(exact, grouped);
        snprintf(text, PATH_BUFFER, "%-49.49s %11.11s %-14.14s", name, FittedSize(grouped, shortSize, 11), date + 2);
    } else if (c == 2 && m == 0) {
        snprintf(text, PATH_BUFFER, "%-8.8s%-4.4s %9.9s %-14.14s", base, ext, FittedSize(exact, shortSize, 9), date + 2);
    } else if (c == 2 && m == 1) {
        FormatLongName(name, longName, 15);
        PadSize(name, exact, shortSize, 22);
        snprintf(text, PATH_BUFFER, "%s %-14.14s", name, date + 2);
    } else if (c == 2 && m == 2) {
        FormatLongName(text, longName, 30);
        PadSize(text, exact, shortSize, 37);
    } else if (c == 3 && m == 0) {
        snprintf(text, PATH_BUFFER, "%-8.8s%-4.4s %9.9s", base, ext, FittedSize(exact, shortSize, 9));
    } else if (c == 3 && m == 1) {
        FormatLongName(text, longName, 17);
        PadSize(text, exact, shortSize, 24);
    } else if (c == 3 && m == 2) {
        FormatLongName(name, longName, 24);
        snprintf(text, PATH_BUFFER, "%-24.24s", name);
    } else if (c == 5 && m == 0) {
        snprintf(text, PATH_BUFFER, "%-8.8s%-4.4s", base, ext);
    } else if (c == 5 && m == 1) {
        FormatLongName(name, longName, 13);
        snprintf(text, PATH_BUFFER, "%-13.13s", name);
    } else {
        FormatLongName(name, longName, 14);
        snprintf(text, PATH_BUFFER, "%-14.14s", name);
    }
    FitToWidth(text, W);
}

void EntryColors(int position, bool cursor, COLORREF *fg, COLORREF *bg)
{
    *fg = SlotColor(CL_DATA);
    *bg = SlotColor(CL_BACK);
    if (position < 0 || position >= EntryCount || NoFiles)
        return;
    DWORD flags = EntryAt(position)->EntryFlags;
    int slot = CL_NORMAL;
    if (flags & EF_VOLUME)
        slot = CL_VOLUME;
    if (flags & EF_DIRECTORY)
        slot = CL_SUBDIR;
    if (flags & EF_READONLY)
        slot = CL_RDONLY;
    if (flags & EF_HIDDEN)
        slot = CL_HIDDEN;
    if (flags & EF_SYSTEM)
        slot = CL_SYSTEM;
    if (strcmp(LongNameAt(position), ".") == 0)
        slot = CL_OWNDIR;
    *fg = SlotColor(slot);
    if (cursor) {
        *bg = *fg;
        *fg = SlotColor(CL_BACK);
    }
}

void DrawEntry(HDC dc, int slot, int position, bool cursor)
{
    SlotPlace place;
    if (position < 0 || !SlotPlaceOf(slot, &place))
        return;
    LockFileTable();
    char text[PATH_BUFFER];
    COLORREF fg, bg;
    FormatSlotText(slot, position, text);
    EntryColors(position, cursor, &fg, &bg);
    DrawCells(dc, place.x, place.line, fg, bg, text, place.width);
    SetBkColor(dc, SlotColor(CL_BACK));
    DrawMarkSign(dc, slot, position);
    if (cursor && position < EntryCount && !NoFiles && EntryDetailsDrawer)
        EntryDetailsDrawer(dc, position);
    UnlockFileTable();
}

void DrawPage(HDC dc, int pageTop)
{
    const SlotLayout *layout = CurrentLayout();
    if (!layout || pageTop < 0)
        return;
    int slots = layout->columns * Settings.disprow;
    if (EntryCount - pageTop < slots)
        slots = EntryCount - pageTop;
    LockFileTable();
    for (int s = 0; s < slots; s++)
        DrawEntry(dc, s, pageTop + s, false);
    UnlockFileTable();
}

void DrawMarkSign(HDC dc, int slot, int position)
{
    SlotPlace place;
    if (!SlotPlaceOf(slot, &place))
        return;
    LockFileTable();
    bool marked = position >= 0 && position < EntryCount && !NoFiles && EntryAt(position)->mark != 0 &&
                  MarkedCount >= 1;
    UnlockFileTable();
    int x = CellX(place.mark) - (Settings.weight == 400 ? 0 : 1);
    SetTextColor(dc, SlotColor(CL_MARK));
    SetBkColor(dc, SlotColor(CL_BACK));
    CellText(dc, x, LineY(place.line), marked ? "*" : " ", 1);
}

void RedrawMarks(HDC dc, int pageTop)
{
    const SlotLayout *layout = CurrentLayout();
    if (!layout)
        return;
    int slots = layout->columns * Settings.disprow;
    for (int s = 0; s < slots; s++)
        DrawMarkSign(dc, s, pageTop + s);
    if (MarkedFiguresDrawer)
        MarkedFiguresDrawer(dc);
}

int PageSize()
{
    int columns = Settings.dispmode ? Settings.dispmode : 1;
    int rows = Settings.disprow ? Settings.disprow : 1;
    return columns * rows;
}
