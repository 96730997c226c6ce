#include "archive/archiver.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char *ArchiverFileName[ARC_LIBRARY_COUNT] = {"UNLHA32.DLL", "UNZIP32.DLL"};
bool ArchiverAvailable[ARC_LIBRARY_COUNT];
static HMODULE archiverModule[ARC_LIBRARY_COUNT];

enum ArchiverEntry {
    ENTRY_GET_VERSION, ENTRY_GET_RUNNING, ENTRY_SET_BACKGROUND, ENTRY_COMMAND, ENTRY_CHECK,
    ENTRY_FILE_COUNT, ENTRY_CONFIG, ENTRY_OPEN, ENTRY_CLOSE, ENTRY_FIND_FIRST, ENTRY_FIND_NEXT,
    ENTRY_COUNT
};

// NULL: the entry is emulated on the listing.
static const char *const entryNames[ARC_LIBRARY_COUNT][ENTRY_COUNT] = {
    {"UnlhaGetVersion", "UnlhaGetRunning", "UnlhaSetBackGroundMode", "Unlha", "UnlhaCheckArchive",
     "UnlhaGetFileCount", "UnlhaConfigDialog", "UnlhaOpenArchive", "UnlhaCloseArchive",
     "UnlhaFindFirst", "UnlhaFindNext"},
    {"UnZipGetVersion", "UnZipGetRunning", "UnZipSetBackGroundMode", "UnZip", "UnZipCheckArchive",
     NULL, "UnZipConfigDialog", NULL, NULL, NULL, NULL},
};

typedef WORD(WINAPI *VersionCall)(void);
typedef BOOL(WINAPI *RunningCall)(void);
typedef BOOL(WINAPI *BackgroundCall)(BOOL);
typedef int(WINAPI *CommandCall)(HWND, LPCSTR, LPSTR, DWORD);
typedef BOOL(WINAPI *CheckCall)(LPCSTR, int);
typedef int(WINAPI *CountCall)(LPCSTR);
typedef BOOL(WINAPI *ConfigCall)(HWND, LPSTR, int);
typedef HANDLE(WINAPI *OpenCall)(HWND, LPCSTR, DWORD);
typedef int(WINAPI *CloseCall)(HANDLE);
typedef int(WINAPI *FindFirstCall)(HANDLE, LPCSTR, MemberRecord *);
typedef int(WINAPI *FindNextCall)(HANDLE, MemberRecord *);

static FARPROC Entry(int library, int entry)
{
    if (library < 0 || library >= ARC_LIBRARY_COUNT || !archiverModule[library] || !entryNames[library][entry])
        return NULL;
    return GetProcAddress(archiverModule[library], entryNames[library][entry]);
}

int LoadArchiver(int library)
{
    UINT previous = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    archiverModule[library] = LoadLibraryA(ArchiverFileName[library]);
    SetErrorMode(previous);
    if (!archiverModule[library])
        return 0;
    ArcSetBackGroundMode(library, FALSE);
    return 1;
}

void UnloadArchiver(int library)
{
    if (archiverModule[library])
        FreeLibrary(archiverModule[library]);
    archiverModule[library] = NULL;
}

int ReloadArchiver(int library)
{
    UnloadArchiver(library);
    return LoadArchiver(library);
}

void LoadArchivers()
{
    for (int library = 0; library < ARC_LIBRARY_COUNT; library++)
        ArchiverAvailable[library] = LoadArchiver(library) != 0;
}

void FreeArchivers()
{
    for (int library = 0; library < ARC_LIBRARY_COUNT; library++) {
        UnloadArchiver(library);
        ArchiverAvailable[library] = false;
    }
}

WORD ArcGetVersion(int library)
{
    VersionCall call = (VersionCall)(void *)Entry(library, ENTRY_GET_VERSION);
    return call ? call() : 0;
}

BOOL ArcGetRunning(int library)
{
    RunningCall call = (RunningCall)(void *)Entry(library, ENTRY_GET_RUNNING);
    return call ? call() : 0;
}

BOOL ArcSetBackGroundMode(int library, BOOL mode)
{
    BackgroundCall call = (BackgroundCall)(void *)Entry(library, ENTRY_SET_BACKGROUND);
    return call ? call(mode) : 0;
}

int ArcCommand(int library, HWND owner, const char *command, char *output, DWORD size)
{
    CommandCall call = (CommandCall)(void *)Entry(library, ENTRY_COMMAND);
    return call ? call(owner, command, output, size) : 1;
}

BOOL ArcCheckArchive(int library, const char *path, int mode)
{
    CheckCall call = (CheckCall)(void *)Entry(library, ENTRY_CHECK);
    return call ? call(path, mode) : 0;
}

BOOL ArcConfigDialog(int library, HWND owner, char *buffer, int mode)
{
    ConfigCall call = (ConfigCall)(void *)Entry(library, ENTRY_CONFIG);
    return call ? call(owner, buffer, mode) : 0;
}

// ---- ZIP emulation ----

struct ZipListing {
    char *text;
    const char *position;
    bool complete;
};

char *ZipList(const char *archive, bool *complete)
{
    *complete = false;
    char *command = (char *)malloc(strlen(archive) + 16);
    if (!command)
        return NULL;
    sprintf(command, "-l --i \"%s\"", archive);
    char *text = NULL;
    for (DWORD size = ZIP_LIST_BUFFER; size <= ZIP_LIST_BUFFER_MAX; size *= 4) {
        free(text);
        text = (char *)malloc(size);
        if (!text)
            break;
        text[0] = '\0';
        if (ArcCommand(ARC_ZIP, NULL, command, text, size - 1) != 0) {
            free(text);
            text = NULL;
            break;
        }
        text[size - 1] = '\0';
        *complete = strstr(text, "listing cut after") == NULL;
        if (*complete)
            break;
    }
    free(command);
    return text;
}

bool ZipReadLine(const char **position, const char **start, size_t *length)
{
    const char *end = strchr(*position, '\n');
    if (!end)
        return false;
    *start = *position;
    *length = (size_t)(end - *position);
    *position = end + 1;
    return true;
}

int ZipListCount(const char *text)
{
    const char *position = text, *line;
    size_t length;
    int rules = 0;
    while (ZipReadLine(&position, &line, &length)) {
        if (rules == 2)
            return atoi(line);
        if (length > 0 && line[0] == '-')
            rules++;
    }
    if (rules == 2 && *position)
        return atoi(position);      // the totals line without its line feed
    return 0;
}

static int Digits(const char *text, int count)
{
    int value = 0;
    for (int i = 0; i < count; i++)
        if (text[i] >= '0' && text[i] <= '9')
            value = value * 10 + (text[i] - '0');
    return value;
}

static DWORD Decimal(const char *text, int count)
{
    unsigned long long value = 0;
    for (int i = 0; i < count; i++)
        if (text[i] >= '0' && text[i] <= '9')
            value = value * 10 + (unsigned)(text[i] - '0');
    return value > 0xFFFFFFFFull ? 0xFFFFFFFFu : (DWORD)value;
}

// Copies at most count bytes of source into destination (size bytes), never splitting a
// double-byte character, and drops trailing blanks.
static void CopyField(char *destination, size_t size, const char *source, size_t count)
{
    size_t used = 0;
    while (used < count && used + 1 < size && source[used]) {
        size_t width = IsLeadByte((unsigned char)source[used]) ? 2 : 1;
        if (used + width > count || used + width + 1 > size)
            break;
        used += width;
    }
    memcpy(destination, source, used);
    while (used > 0 && destination[used - 1] == ' ')
        used--;
    destination[used] = '\0';
}

bool ParseZipMemberLine(const char *line, size_t length, MemberRecord *record)
{
    memset(record, 0, sizeof *record);
    if (length < ZIP_LINE_TAIL + 1)
        return false;
    const char *end = line + length;   // end[-1] is position -1
    DWORD crc = 0;
    for (int i = 8; i >= 1; i--) {
        char c = end[-i];
        int nibble = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : 0;
        crc = crc << 4 | (DWORD)nibble;
    }
    record->crc = crc;
    CopyField(record->method, sizeof record->method, end - 16, 7);
    CopyField(record->attribute, sizeof record->attribute, end - 21, 4);
    UpperAscii(record->attribute);
    int year = Digits(end - 40, 2), month = Digits(end - 37, 2), day = Digits(end - 34, 2);
    year += year < 80 ? 2000 : 1900;
    record->date = (WORD)((year - 1980) << 9 | (month & 15) << 5 | (day & 31));
    int hours = Digits(end - 30, 2), minutes = Digits(end - 27, 2), seconds = Digits(end - 24, 2);
    record->time = (WORD)((hours & 31) << 11 | (minutes & 63) << 5 | (seconds / 2 & 31));
    record->ratio = (WORD)(Digits(end - 47, 3) * 10 + Digits(end - 43, 1));
    record->compressedSize = Decimal(end - 56, 9);
    record->originalSize = Decimal(end - 66, 9);
    size_t nameLength = end[-68] == ' ' ? length - 67 : length - 44;
    CopyField(record->name, sizeof record->name, line, nameLength);
    return true;
}

static HANDLE ZipOpen(const char *path)
{
    ZipListing *listing = (ZipListing *)malloc(sizeof *listing);
    if (!listing)
        return NULL;
    listing->text = ZipList(path, &listing->complete);
    if (!listing->text) {
        free(listing);
        return NULL;
    }
    listing->position = listing->text;
    return (HANDLE)listing;
}

static int ZipNext(HANDLE archive, MemberRecord *record)
{
    ZipListing *listing = (ZipListing *)archive;
    const char *line;
    size_t length;
    if (!listing || !ZipReadLine(&listing->position, &line, &length))
        return -1;
    if (length > 0 && line[0] == '-')
        return -1;      // the rule before the totals
    ParseZipMemberLine(line, length, record);
    return 0;
}

bool ZipListingComplete(HANDLE archive)
{
    return archive && ((ZipListing *)archive)->complete;
}

int ArcGetFileCount(int library, const char *path)
{
    if (library == ARC_ZIP) {
        bool complete;
        char *text = ZipList(path, &complete);
        int count = text ? ZipListCount(text) : 0;
        free(text);
        return count;
    }
    CountCall call = (CountCall)(void *)Entry(library, ENTRY_FILE_COUNT);
    return call ? call(path) : -1;
}

HANDLE ArcOpenArchive(int library, HWND owner, const char *path, DWORD mode)
{
    if (library == ARC_ZIP)
        return ZipOpen(path);
    OpenCall call = (OpenCall)(void *)Entry(library, ENTRY_OPEN);
    return call ? call(owner, path, mode) : NULL;
}

int ArcCloseArchive(int library, HANDLE archive)
{
    if (library == ARC_ZIP) {
        ZipListing *listing = (ZipListing *)archive;
        if (listing)
            free(listing->text);
        free(listing);
        return 0;
    }
    CloseCall call = (CloseCall)(void *)Entry(library, ENTRY_CLOSE);
    return call ? call(archive) : 1;
}

int ArcFindFirst(int library, HANDLE archive, const char *wildcard, MemberRecord *record)
{
    if (library == ARC_ZIP) {
        ZipListing *listing = (ZipListing *)archive;
        if (!listing)
            return -1;
        const char *line;
        size_t length;
        listing->position = listing->text;
        if (!ZipReadLine(&listing->position, &line, &length) || !ZipReadLine(&listing->position, &line, &length))
            return -1;
        return ZipNext(archive, record);
    }
    FindFirstCall call = (FindFirstCall)(void *)Entry(library, ENTRY_FIND_FIRST);
    return call ? call(archive, wildcard, record) : -1;
}

int ArcFindNext(int library, HANDLE archive, MemberRecord *record)
{
    if (library == ARC_ZIP)
        return ZipNext(archive, record);
    FindNextCall call = (FindNextCall)(void *)Entry(library, ENTRY_FIND_NEXT);
    return call ? call(archive, record) : -1;
}

void FormatArchiverVersion(int library, char *text)
{
    WORD version = ArcGetVersion(library);
    sprintf(text, library == ARC_LZH ? "UNLHA32 V%d.%02d" : "UNZIP32 V%d.%02d", version / 100, version % 100);
}

void FormatArchiverError(int library, int code, char *text)
{
    sprintf(text, library == ARC_LZH ? "Unlha32 Error=%X" : "Unzip32 Error=%X", (unsigned)code);
}
