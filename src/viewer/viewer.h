// The built-in text and hex viewer. The V command converts the whole file (up to a line
// limit) once into 80-column display lines in the ViewerBuffer and shows them in the main
// window in place of the list; the user pages through them with the cursor keys.
#pragma once
#include <windows.h>

enum {
    VIEWER_BUFFER_BYTES = 2097152,
    VIEWER_COLUMNS = 80,
    VIEWER_LINE_LIMIT = 25000,     // reading stops after the chunk in which this is reached
    VIEWER_CHUNK_BYTES = 1024,
    VIEWER_HEADER_WIDTH = 48,      // bytes of the shortened path in the header
    VIEWER_TAB_DEFAULT = 8,
};

// ViewerLine flags and the marker byte in its text.
enum {
    VIEWER_LINE_END = 0x01,        // the line ended with a line feed; length says where
    VIEWER_MARKERS = 0x02,         // the text holds markers or an end-of-file byte
    VIEWER_MARKER = 0x01,          // drawn as "^", the letter after it in the normal colours
    VIEWER_EOF_BYTE = 0x1A,
    VIEWER_DOT = 0xA5,             // the half-width middle dot: a byte that has no picture
};

struct ViewerLine {
    char text[VIEWER_COLUMNS];     // as drawn, double-byte characters whole; 0 after the text
    char terminator;               // always 0
    BYTE flags;
    BYTE length;                   // text bytes, set only with VIEWER_LINE_END
};

enum { VIEWER_CAPACITY = VIEWER_BUFFER_BYTES / sizeof(ViewerLine) };

// Viewer state. ViewerLines is the locked ViewerBuffer while the viewer is shown, else NULL.
extern ViewerLine *ViewerLines;
extern int ViewerLineCount;
extern int ViewerTop;              // the record shown in the first text slot
extern int HexForm;                // 0 text, 1 hex dump
extern char ViewerHeaderName[VIEWER_HEADER_WIDTH + 16];
extern DWORD ViewerLoadError;      // Windows error of the last load's open or read, 0 none

// ---- conversion of file bytes into display lines (no window needed) ----

struct ViewerConverter {
    ViewerLine *lines;
    int capacity;
    int count;                     // finished records; the one being written is lines[count]
    int column;
    int tab;
    int hex;
    bool pendingReturn;            // a carriage return not yet followed by a line feed
    bool pendingLead;              // a lead byte waiting for its trail byte
    BYTE lead;
    bool full;                     // the buffer is full: every further byte is dropped
    DWORD offset;                  // hex form: address of the group being collected
    BYTE group[16];
    int groupFill;
};

// tab: 2, 4 or 8 (anything else counts as 8); hex 1 makes the hex dump.
void StartViewerConversion(ViewerConverter *c, ViewerLine *lines, int capacity, int hex, int tab);
// Returns false once the buffer is full; the bytes after that are dropped.
bool ConvertViewerBytes(ViewerConverter *c, const BYTE *data, int length);
// The end of the file: the last line without line feed, a lone carriage return or lead
// byte, the last hex group of fewer than 16 bytes.
// endOfFile false: reading stopped early, so a pending carriage return or lead byte is dropped.
void FinishViewerConversion(ViewerConverter *c, bool endOfFile = true);

// One hex dump line: count bytes (1 to 16) at offset.
void FormatHexLine(DWORD offset, const BYTE *bytes, int count, ViewerLine *line);
extern const char ViewerHexHeader[];

// ---- the ViewerBuffer and the loader ----

bool AllocateViewerBuffer();       // allocated and locked; false when there is no memory
void FreeViewerBuffer();

enum { VIEWER_LOAD_FAILED = -1, VIEWER_LOAD_DONE = 0, VIEWER_LOAD_PAINTED = 1 };
// Reads ViewerFilePath into the buffer: form -1 text (HexForm := 0), 0 text, 1 hex.
// VIEWER_LOAD_FAILED: the file could not be opened and the buffer is as it was.
// With a window, the first page is painted as soon as it is read (VIEWER_LOAD_PAINTED).
int LoadViewerText(HWND hwnd, int form);

// ---- drawing (the main font selected in dc) ----

int ViewerPageLines();             // disprow + 6 text slots
int ViewerLargestTop();
void DrawViewerLine(HDC dc, int slot, int top);
void DrawViewerBody(HDC dc);
void DrawLineNumber(HDC dc);
void DrawViewerHeader(HDC dc);
void PaintViewerScreen(HDC dc);    // the whole viewer screen, as WM_PAINT draws it
// After ViewerTop changed: the line number and the text area, drawn on the window at once.
void DrawViewerPage(HWND hwnd);

// ---- the viewer's commands ----

// The V command on the cursor entry.
void ViewCommand(HWND hwnd);
void CloseViewer(HWND hwnd);       // back to the list: Enter, Esc, right mouse button
// The viewer's keys (WM_KEYDOWN and WM_KELPO_KEY): Enter, Esc, Page Up, Page Down, the arrows.
bool ViewerKey(HWND hwnd, UINT vk, bool shifted, bool repeated);
// Typed characters: '2', '4', '8' (tab width), 'V' (line-end marks), 'E' (editor).
bool ViewerLetter(HWND hwnd, char c);
// Accelerator commands: Esc, Tab, the start/end of text, and the keys the accelerators imitate.
bool ViewerCommand(HWND hwnd, int id, bool shifted);
void ViewerGoTo(HWND hwnd, int top);   // a new first line, redrawn when it changed

// For the editor's line ($L): the first shown line while the viewer shows text, else -1.
int ViewerFirstLineForEditor();
