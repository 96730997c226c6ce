#include "fileops/attr.h"
#include "fileops/delete.h"
#include "fileops/workentry.h"
#include "base/globals.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/msgdlg.h"
#include <stdio.h>

int AttrMode;

const DWORD AttrEntryBits[ATTR_BOX_COUNT] = {EF_READONLY, EF_HIDDEN, EF_SYSTEM, EF_ARCHIVE};
const DWORD AttrFileBits[ATTR_BOX_COUNT] = {FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM,
                                            FILE_ATTRIBUTE_ARCHIVE};

bool IsAttrTarget(int position)
{
    if (MarkedCount > 0)
        return EntryAt(position)->mark != 0;
    return position == PageTop + CursorSlot;
}

int AttrBoxState(int box)
{
    int withBit = 0, targets = 0;
    for (int position = 0; position < EntryCount && !NoFiles; position++) {
        if (!IsAttrTarget(position))
            continue;
        targets++;
        if (EntryAt(position)->EntryFlags & AttrEntryBits[box])
            withBit++;
    }
    if (withBit == 0)
        return 0;
    return withBit == targets ? 1 : 2;
}

DWORD NewAttributes(DWORD current, const int states[ATTR_BOX_COUNT])
{
    DWORD attributes = current & FILE_ATTRIBUTE_DIRECTORY;
    for (int box = 0; box < ATTR_BOX_COUNT; box++)
        if (states[box] == 1 || (states[box] == 2 && (current & AttrFileBits[box])))
            attributes |= AttrFileBits[box];
    return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

void FileTimeToFields(const FILETIME *utc, TimeFields *fields)
{
    FILETIME local;
    WORD date = 0, time = 0;
    FileTimeToLocalFileTime(utc, &local);
    FileTimeToDosDateTime(&local, &date, &time);
    fields->year = 1980 + (date >> 9);
    fields->month = (date >> 5) & 15;
    fields->day = date & 31;
    fields->hour = time >> 11;
    fields->minute = (time >> 5) & 63;
    fields->second = 2 * (time & 31);
}

static unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const unsigned days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

bool FieldsToFileTime(const TimeFields *f, FILETIME *utc)
{
    if (f->year < 1980 || f->year > 2107 || f->month < 1 || f->month > 12 || f->day < 1 ||
        f->day > DaysInMonth(f->year, f->month) || f->hour > 23 || f->minute > 59 || f->second > 59)
        return false;
    WORD date = (WORD)(((f->year - 1980) << 9) | (f->month << 5) | f->day);
    WORD time = (WORD)((f->hour << 11) | (f->minute << 5) | (f->second / 2));
    FILETIME local;
    return DosDateTimeToFileTime(date, time, &local) && LocalFileTimeToFileTime(&local, utc);
}

bool ParseField(const char *text, unsigned *value)
{
    unsigned result = 0;
    int digits = 0;
    for (; *text == ' '; text++) {
    }
    for (; *text >= '0' && *text <= '9'; text++, digits++) {
        if (digits >= 6)
            return false;
        result = result * 10 + (unsigned)(*text - '0');
    }
    for (; *text == ' '; text++) {
    }
    if (!digits || *text)
        return false;
    *value = result;
    return true;
}

// The file's attributes are cleared around the change and put back afterwards.
static void SetWriteTime(HWND hwnd, const char *path, const FILETIME *writeTime)
{
    ClearForDelete(path, 0, 0);
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    BOOL done = FALSE;
    if (file != INVALID_HANDLE_VALUE) {
        FILETIME creation, access, write;
        done = GetFileTime(file, &creation, &access, &write) && SetFileTime(file, &creation, &access, writeTime);
    }
    DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    RestoreClearedAttributes(path);
    if (!done) {
        SetLastError(error);
        ShowLastError(hwnd, "SetFileTime", path, NULL);
    }
}

void ApplyAttributes(HWND hwnd, const int states[ATTR_BOX_COUNT], const FILETIME *writeTime)
{
    char base[PATH_BUFFER];
    lstrcpynA(base, CurrentPath, sizeof base);
    AppendBackslash(base);
    for (int position = 0; position < EntryCount && !NoFiles; position++) {
        LockFileTable();
        bool target = IsAttrTarget(position);
        bool directory = (EntryAt(position)->EntryFlags & EF_DIRECTORY) != 0;
        char path[PATH_BUFFER * 2];
        snprintf(path, sizeof path, "%s%s", base, LongNameAt(position));
        UnlockFileTable();
        if (!target)
            continue;
        if (AttrMode != TIME_ONLY) {
            DWORD current = GetFileAttributesA(path);
            if (current == INVALID_FILE_ATTRIBUTES || !SetFileAttributesA(path, NewAttributes(current, states)))
                ShowLastError(hwnd, "SetFileAttributes", path, NULL);
        }
        // A directory keeps its time.
        if (AttrMode != ATTR_ONLY && writeTime && !directory)
            SetWriteTime(hwnd, path, writeTime);
    }
}

void AttrCommand(HWND hwnd)
{
    if (NoFiles)
        return;
    int position = PageTop + CursorSlot;
    if (position >= EntryCount)
        return;
    RememberCursorEntry();
    if (MarkedCount > 0) {
        if (!MarkAttributeDialog(hwnd))
            return;
    } else {
        LockFileTable();
        const FileEntry *entry = EntryAt(position);
        bool refused = IsDotEntry(entry) || (entry->EntryFlags & EF_VOLUME);
        AttrMode = (entry->EntryFlags & EF_DIRECTORY) ? ATTR_ONLY : ATTR_AND_TIME;
        UnlockFileTable();
        if (refused)
            return;
    }
    if (AttributeDialog(hwnd))
        ReloadRequest = 2;
    RepaintAll(hwnd);
}
