// The program's own message dialog, the reports of failed Windows calls, and the small
// routines every dialog shares: placement, control rectangles, key forwarding, edit
// carets, input histories, owner-drawn list items and the hourglass.
#pragma once
#include <windows.h>
#include <stddef.h>
#include "base/globals.h"

enum {
    MESSAGE_BUFFER = 4096,      // the text after its line feeds are doubled, terminator included
    MESSAGE_MAX_LINES = 20,
    ERROR_SENTENCE = 40,
    TALLY_RECORD = 64,
    TALLY_CATCH_ALL = 9999,
};

// Shows text (lines separated by "\n"; an "@" also breaks the line) with the buttons of
// flags & 0x0F and the icon of flags & 0xF0, like the system message box, and returns the
// id of the pressed button (IDOK … IDNO). Not re-entrant.
int MessageDialog(HWND owner, const char *text, const char *caption, UINT flags);

// The state of the open message dialog; after it closes only the sizes, the type and the
// result remain (no lines) until the next one.
struct MessageDialogState {
    const char *text;           // line feeds already turned into "@@"
    char *split;                // private copy cut into lines
    const char *caption;
    int type;                   // flags & 0x0F, 6–15 treated as 0
    HICON icon;
    char *lines[MESSAGE_MAX_LINES];
    int lineCount;
    int lineHeight;
    POINT textOrigin, iconOrigin;
    SIZE client;
    HFONT font;
    COLORREF textColor;
    bool escapeAllowed;
    int result;
};
extern MessageDialogState g_messageDialog;

// Test hook: 1 makes the first buffer of the next MessageDialog unobtainable, 2 the second.
extern int g_messageDialogFailBuffer;

// Copies text into buffer (MESSAGE_BUFFER bytes) with every line feed doubled into "@@",
// cutting an overlong text at a whole character.
void DoubleLineFeeds(const char *text, char *buffer);
// Cuts text in place at every at sign and line feed that starts a character; empty pieces
// are skipped and at most MESSAGE_MAX_LINES are kept. Returns the number of lines.
int SplitMessageLines(char *text, char **lines);

// Reports the thread's last Windows error with its Japanese text, the operation and the
// paths (each null or a string), titled "Kelpo - Error". A null owner means the main window.
void ShowLastError(HWND owner, const char *operation, const char *path1, const char *path2);
// The first line of the report for code: ERROR_SENTENCE bytes at most.
void FormatErrorSentence(DWORD code, char *sentence);

// Counts code in the ERROR.DAT tally of directory (with or without its final backslash).
// The file is never created or grown and only a count field of a whole record is written.
enum TallyResult { TALLY_NO_FILE, TALLY_COUNTED, TALLY_NO_RECORD, TALLY_BAD_COUNT };
TallyResult TallyError(const char *directory, DWORD code);

// The module whose resources the dialogs load: the program's instance, or the running
// module's before the program set it (tests).
HINSTANCE ResourceInstance();

// Placement. Without a main window the screen stands in for it.
void CenterOnMainWindow(HWND dialog);
// Top edge half a grid line above the file grid, which starts at text line 7.
void PlaceAtGridRow(HWND dialog, int cellHeight, int topOffset);

enum { ADJUST_MOVE_RIGHT = 1, ADJUST_MOVE_DOWN = 2, ADJUST_WIDEN = 4, ADJUST_HEIGHTEN = 8 };
struct ControlAdjust {
    int id;
    int flags;
};
void StretchDialogToMain(HWND dialog, int count, const ControlAdjust *table, int cellHeight, int topOffset);

// The control's window rectangle in the dialog's client coordinates.
void GetControlRect(HWND dialog, int id, RECT *rect);

// Key forwarding: on WM_KEYDOWN of its keys the procedure sends the control's parent
// WM_FORWARDED_KEY (base/commands.h) with wParam 256 (WM_KEYDOWN) and lParam the virtual-key code; a non-zero answer
// consumes the key. A dialog procedure answers through DWLP_MSGRESULT, since SendMessage to a
// dialog returns that value. Each control keeps its own previous procedure, so controls of
// different classes may be subclassed at the same time.
WNDPROC SubclassControl(HWND dialog, int id, WNDPROC procedure);
void RestoreControl(HWND dialog, int id, WNDPROC procedure);
LRESULT CALLBACK ArrowKeyForwarder(HWND control, UINT message, WPARAM wParam, LPARAM lParam);        // Up, Down
LRESULT CALLBACK ArrowInsertKeyForwarder(HWND control, UINT message, WPARAM wParam, LPARAM lParam);  // Up, Down, Insert
LRESULT CALLBACK AllKeyForwarder(HWND control, UINT message, WPARAM wParam, LPARAM lParam);          // every key

// Tab enters a radio group at its tab stop, and an automatic radio button that gets the focus
// from the keyboard checks itself: the tab stop of radio's group moves to the checked button
// (the first when none is), so tabbing through never changes the choice. Call it after
// checking a button and on BN_CLICKED; a control that is no radio button is left alone.
void TabStopOnCheckedRadio(HWND radio);

// Sets an edit control's text with an empty selection at position (-1: the end).
void SetEditTextCaret(HWND dialog, int id, const char *text, int position);

// history: INPUT_HISTORY_COUNT strings, most recent first, an empty string ends the used part.
// Puts text first and drops its older copy; an empty text is not recorded.
void PushHistory(char (*history)[INPUT_HISTORY_ITEM], const char *text);

// Up and Down in the edit control id walk through history: Down shows the next older entry with
// text, keeping the typed text (into edited, editedSize bytes) when the walk starts; Up goes back
// towards the newest and finally puts the typed text back. *at is -1 while the typed text shows.
void WalkInputHistory(HWND dialog, int id, char (*history)[INPUT_HISTORY_ITEM], UINT vk, int *at, char *edited,
                      int editedSize);

// Paints the background of an owner-drawn list item and returns the colour for its text.
COLORREF DrawListItemBackground(const DRAWITEMSTRUCT *item);

// The wait cursor around long work; the pair does not nest.
void ShowHourglass();
void HideHourglass();
