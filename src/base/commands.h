// The command table: what each function key does and shows in both layouts, and every key
// of the accelerator table. Command ids have one name each, in resource.h; the menu
// resources use the same names.
#pragma once
#include <windows.h>
#include "resource.h"

// Private messages of the main window, each with one meaning.
enum {
    // wParam a virtual-key code: an accelerator imitating that key, handled like WM_KEYDOWN.
    WM_KELPO_KEY = WM_USER,
};
// Sent by a subclassed dialog control to its dialog: wParam WM_KEYDOWN, lParam the virtual-key
// code; a non-zero answer (through DWLP_MSGRESULT) consumes the key.
enum { WM_FORWARDED_KEY = WM_USER };

// One function key in one layout and shift state: the label on its key cap and either the
// command letter it posts or the command id it sends (help, first and last entry).
struct FunctionKeyCommand {
    const char *label;      // exactly the cap width: 6 bytes (10 keys) or 5 (12 keys)
    char letter;            // ' ' when the key sends a command id or nothing
    int command;            // 0 when the key posts its letter or nothing
};

enum { TEN_KEYS = 10, TWELVE_KEYS = 12 };

// [shifted][key index]
extern const FunctionKeyCommand TenKeyCommands[2][TEN_KEYS];
extern const FunctionKeyCommand TwelveKeyCommands[2][TWELVE_KEYS];

// The row of key index (0 = F1) in a layout of keys 10 or 12; NULL outside it.
const FunctionKeyCommand *FunctionKeyRow(int keys, bool shifted, int index);

// The accelerator table of the main window, built from the table; the caller destroys it.
HACCEL CreateCommandAccelerators();
// The rows of the accelerator table (for tests): count, and the row at index.
int AcceleratorCount();
ACCEL AcceleratorAt(int index);

// Shift is held (keyboard or the state the keys report), the right mouse button is down, or
// the next key is marked to count as shifted.
bool IsShifted();
