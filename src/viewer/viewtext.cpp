// The ViewerBuffer and the conversion of a file into display lines, text or hex dump.
#include "viewer/viewer.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/pathutil.h"
#include <string.h>

ViewerLine *ViewerLines;
int ViewerLineCount;
int ViewerTop;
int HexForm;
char ViewerHeaderName[VIEWER_HEADER_WIDTH + 16];
DWORD ViewerLoadError;

static HGLOBAL viewerBlock;

const char ViewerHexHeader[] =
    " Address    +0 +1 +2 +3 +4 +5 +6 +7  +8 +9 +A +B +C +D +E +F   ASCII            ";

enum {
    HEX_ADDRESS_PART = 59,         // address and hex digits, cut or padded
    HEX_CHARACTERS = 63,           // column of the 16 characters
    BLOCK_BYTES = 65536,           // read at once; converted in chunks of VIEWER_CHUNK_BYTES
};

bool AllocateViewerBuffer()
{
    FreeViewerBuffer();
    viewerBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, VIEWER_BUFFER_BYTES);
    if (!viewerBlock)
        return false;
    ViewerLines = (ViewerLine *)GlobalLock(viewerBlock);
    if (!ViewerLines) {
        GlobalFree(viewerBlock);
        viewerBlock = NULL;
        return false;
    }
    ViewerLineCount = 0;
    return true;
}

void FreeViewerBuffer()
{
    if (viewerBlock) {
        GlobalUnlock(viewerBlock);
        GlobalFree(viewerBlock);
    }
    viewerBlock = NULL;
    ViewerLines = NULL;
    ViewerLineCount = 0;
}

// ---- byte classes ----

enum { BYTE_PLAIN, BYTE_CONTROL, BYTE_LEAD };

// The class of every byte value, made once: the lead bytes are those of the system's code page.
static const BYTE *ByteClasses()
{
    static BYTE classes[256];
    static bool made;
    if (!made) {
        for (int b = 0; b < 256; b++)
            classes[b] = b < 0x20 ? BYTE_CONTROL : IsLeadByte((BYTE)b) ? BYTE_LEAD : BYTE_PLAIN;
        made = true;
    }
    return classes;
}

static bool IsTrailByte(BYTE b)
{
    return b >= 0x40;
}

// ---- hex form ----

static const char hexDigits[] = "0123456789ABCDEF";

void FormatHexLine(DWORD offset, const BYTE *bytes, int count, ViewerLine *line)
{
    const BYTE *classes = ByteClasses();
    memset(line, 0, sizeof *line);
    char *text = line->text;
    memset(text, ' ', HEX_CHARACTERS + 16);
    for (int i = 0; i < 8; i++)
        text[1 + i] = hexDigits[(offset >> (28 - 4 * i)) & 15];
    text[10] = ':';
    if (count > 16)
        count = 16;
    for (int i = 0; i < count; i++) {
        int column = 12 + 3 * i + (i >= 8 ? 1 : 0);
        text[column] = hexDigits[bytes[i] >> 4];
        text[column + 1] = hexDigits[bytes[i] & 15];
    }
    // A double-byte character shows whole or not at all, so no half of one reaches the screen.
    char *characters = text + HEX_CHARACTERS;
    for (int i = 0; i < count; i++) {
        BYTE b = bytes[i];
        if (classes[b] == BYTE_PLAIN) {
            characters[i] = (char)b;
        } else if (classes[b] == BYTE_LEAD && i + 1 < count && IsTrailByte(bytes[i + 1])) {
            characters[i] = (char)b;
            characters[i + 1] = (char)bytes[i + 1];
            i++;
        } else {
            characters[i] = (char)VIEWER_DOT;
        }
    }
}

// ---- text form ----

void StartViewerConversion(ViewerConverter *c, ViewerLine *lines, int capacity, int hex, int tab)
{
    memset(c, 0, sizeof *c);
    c->lines = lines;
    c->capacity = capacity;
    c->hex = hex ? 1 : 0;
    c->tab = tab == 2 || tab == 4 || tab == 8 ? tab : VIEWER_TAB_DEFAULT;
    c->full = capacity <= 0;
    if (!c->full) {
        lines[0].flags = 0;
        lines[0].length = 0;
    }
}

// Ends the current record (the rest of its text is zeroed) and continues in the next one.
static bool NewLine(ViewerConverter *c)
{
    if (c->full)
        return false;
    memset(c->lines[c->count].text + c->column, 0, VIEWER_COLUMNS + 1 - c->column);
    c->count++;
    c->column = 0;
    if (c->count >= c->capacity) {
        c->full = true;
        return false;
    }
    c->lines[c->count].flags = 0;
    c->lines[c->count].length = 0;
    return true;
}

static void EndLine(ViewerConverter *c)
{
    ViewerLine *line = &c->lines[c->count];
    line->flags |= VIEWER_LINE_END;
    line->length = (BYTE)c->column;
    c->pendingReturn = false;
    NewLine(c);
}

static ViewerLine *Current(ViewerConverter *c)
{
    return &c->lines[c->count];
}

// The caret-and-letter marker for a control byte: two columns, never split over two lines.
static bool PutMarker(ViewerConverter *c, BYTE letter)
{
    if (c->column >= VIEWER_COLUMNS - 1 && !NewLine(c))
        return false;
    ViewerLine *line = Current(c);
    line->flags |= VIEWER_MARKERS;
    line->text[c->column++] = (char)VIEWER_MARKER;
    line->text[c->column++] = (char)letter;
    return true;
}

// A lead byte whose trail byte never came: shown as a dot so that no half character is drawn.
static void PutLoneLead(ViewerConverter *c)
{
    c->pendingLead = false;
    Current(c)->text[c->column++] = (char)VIEWER_DOT;
}

static bool ConvertTextByte(ViewerConverter *c, BYTE b)
{
    if (c->pendingLead) {
        if (IsTrailByte(b)) {
            ViewerLine *line = Current(c);
            line->text[c->column] = (char)c->lead;
            line->text[c->column + 1] = (char)b;
            c->column += 2;
            c->pendingLead = false;
            return true;
        }
        PutLoneLead(c);
    }
    if (c->column >= VIEWER_COLUMNS && !NewLine(c))
        return false;
    if (b == '\n') {
        EndLine(c);
        return !c->full;
    }
    if (c->pendingReturn) {
        c->pendingReturn = false;
        if (!PutMarker(c, 'M') || !NewLine(c))
            return false;
    }
    switch (ByteClasses()[b]) {
    case BYTE_CONTROL:
        if (b == '\r') {
            c->pendingReturn = true;
        } else if (b == '\t') {
            int stop = (c->column / c->tab + 1) * c->tab;
            if (stop > VIEWER_COLUMNS - 1) {
                if (!NewLine(c))
                    return false;
                stop = c->tab;
            }
            memset(Current(c)->text + c->column, ' ', stop - c->column);
            c->column = stop;
        } else if (b == VIEWER_EOF_BYTE) {
            if (c->column >= VIEWER_COLUMNS - 1 && !NewLine(c))
                return false;
            ViewerLine *line = Current(c);
            line->flags |= VIEWER_MARKERS;
            line->text[c->column++] = (char)b;
        } else {
            return PutMarker(c, (BYTE)(b + 0x40));
        }
        return true;
    case BYTE_LEAD:
        // A character never straddles the 80th column.
        if (c->column == VIEWER_COLUMNS - 1 && !NewLine(c))
            return false;
        c->pendingLead = true;
        c->lead = b;
        return true;
    default:
        Current(c)->text[c->column++] = (char)b;
        return true;
    }
}

static bool EmitHexGroup(ViewerConverter *c)
{
    if (c->count >= c->capacity) {
        c->full = true;
        return false;
    }
    FormatHexLine(c->offset, c->group, c->groupFill, &c->lines[c->count]);
    c->count++;
    c->offset += 16;
    c->groupFill = 0;
    return true;
}

bool ConvertViewerBytes(ViewerConverter *c, const BYTE *data, int length)
{
    if (c->hex) {
        for (int i = 0; i < length && !c->full;) {
            if (c->groupFill == 0 && length - i >= 16) {
                memcpy(c->group, data + i, 16);
                c->groupFill = 16;
                i += 16;
            } else {
                c->group[c->groupFill++] = data[i++];
            }
            if (c->groupFill == 16)
                EmitHexGroup(c);
        }
        return !c->full;
    }
    const BYTE *classes = ByteClasses();
    int i = 0;
    while (i < length && !c->full) {
        int column = c->column;
        // The common case at full speed: printable characters that fit the line, then its end.
        if (column < VIEWER_COLUMNS && !c->pendingReturn && !c->pendingLead) {
            char *text = c->lines[c->count].text + column;
            int room = VIEWER_COLUMNS - column;
            int end = length - i < room ? length : i + room;
            int j = i;
            // Eight bytes at a time while all of them lie in 0x20-0x7F.
            while (j + 8 <= end) {
                unsigned long long x;
                memcpy(&x, data + j, 8);
                if (((x - 0x2020202020202020ULL) | x) & 0x8080808080808080ULL)
                    break;
                memcpy(text + (j - i), &x, 8);
                j += 8;
            }
            while (j < length) {
                BYTE cls = classes[data[j]];
                if (cls == BYTE_PLAIN && j < end) {
                    text[j - i] = (char)data[j];
                    j++;
                } else if (cls == BYTE_LEAD && j + 2 <= end && j + 1 < length && IsTrailByte(data[j + 1])) {
                    text[j - i] = (char)data[j];
                    text[j - i + 1] = (char)data[j + 1];
                    j += 2;
                } else {
                    break;
                }
            }
            column += j - i;
            c->column = column;
            i = j;
            if (i < length && column < VIEWER_COLUMNS) {
                if (data[i] == '\n') {
                    EndLine(c);
                    i++;
                    continue;
                }
                if (data[i] == '\r' && i + 1 < length && data[i + 1] == '\n') {
                    EndLine(c);
                    i += 2;
                    continue;
                }
            }
            if (i >= length)
                break;
        }
        ConvertTextByte(c, data[i]);
        i++;
    }
    return !c->full;
}

void FinishViewerConversion(ViewerConverter *c, bool endOfFile)
{
    if (c->full)
        return;
    if (c->hex) {
        if (c->groupFill > 0)
            EmitHexGroup(c);
        return;
    }
    // A carriage return or lead byte is only settled by a byte that was never read when
    // reading stopped early; at the true end of the file it stands alone.
    if (endOfFile && c->pendingLead)
        PutLoneLead(c);
    if (endOfFile && c->pendingReturn && !PutMarker(c, 'M'))
        return;
    c->pendingLead = c->pendingReturn = false;
    if (c->column > 0)
        NewLine(c);
}

// ---- loading the file ----

int LoadViewerText(HWND hwnd, int form)
{
    ViewerLoadError = 0;
    if (!ViewerLines)
        return VIEWER_LOAD_FAILED;
    HANDLE file = CreateFileA(ViewerFilePath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        ViewerLoadError = GetLastError();
        return VIEWER_LOAD_FAILED;
    }
    if (form < 0) {
        HexForm = 0;
        form = 0;
    }
    ViewerConverter c;
    StartViewerConversion(&c, ViewerLines, VIEWER_CAPACITY, form, Settings.tab);
    ViewerLineCount = 0;
    BYTE *block = (BYTE *)HeapAlloc(GetProcessHeap(), 0, BLOCK_BYTES);
    if (!block) {
        CloseHandle(file);
        ViewerLoadError = ERROR_NOT_ENOUGH_MEMORY;
        return VIEWER_LOAD_FAILED;
    }
    DWORD have = 0, at = 0;
    bool ended = false, painted = false;
    for (;;) {
        // Keep a whole chunk and one byte beyond it at hand: the trail byte of a character
        // whose lead byte ends the chunk belongs to this chunk.
        if (!ended && have - at < VIEWER_CHUNK_BYTES + 1) {
            memmove(block, block + at, have - at);
            have -= at;
            at = 0;
            while (!ended && have < BLOCK_BYTES) {
                DWORD got = 0;
                if (!ReadFile(file, block + have, BLOCK_BYTES - have, &got, NULL)) {
                    ViewerLoadError = GetLastError();
                    ended = true;
                } else if (got == 0) {
                    ended = true;
                }
                have += got;
            }
        }
        if (at >= have)
            break;
        DWORD n = have - at < (DWORD)VIEWER_CHUNK_BYTES ? have - at : (DWORD)VIEWER_CHUNK_BYTES;
        ConvertViewerBytes(&c, block + at, (int)n);
        at += n;
        if (c.pendingLead && at < have) {
            ConvertViewerBytes(&c, block + at, 1);
            at++;
        }
        ViewerLineCount = c.count;
        if (hwnd && !painted && c.count > Settings.disprow + 9) {
            InvalidateRect(hwnd, NULL, TRUE);
            UpdateWindow(hwnd);
            painted = true;
        }
        if (c.count >= VIEWER_LINE_LIMIT || c.full)
            break;
    }
    CloseHandle(file);
    HeapFree(GetProcessHeap(), 0, block);
    FinishViewerConversion(&c, ended && at >= have && ViewerLoadError == 0);
    ViewerLineCount = c.count;
    return painted ? VIEWER_LOAD_PAINTED : VIEWER_LOAD_DONE;
}
