#include "base/commands.h"
#include "base/globals.h"

const FunctionKeyCommand TenKeyCommands[2][TEN_KEYS] = {
    {{"Logdsk", 'L', 0}, {" eXec ", 'X', 0}, {" Copy ", 'C', 0}, {"Delete", 'D', 0}, {"Rename", 'R', 0},
     {" Sort ", 'S', 0}, {" Find ", 'F', 0}, {" Tree ", 'T', 0}, {"Editor", 'E', 0}, {"Unpack", 'U', 0}},
    {{" Attr ", 'A', 0}, {" Info ", 'I', 0}, {" Move ", 'M', 0}, {" rmDir", 'D', 0}, {" mKdir", 'K', 0},
     {" sHell", 'H', 0}, {"Refrsh", 'R', 0}, {" Quick", 'Q', 0}, {" View ", 'V', 0}, {" Pack ", 'P', 0}},
};

const FunctionKeyCommand TwelveKeyCommands[2][TWELVE_KEYS] = {
    {{"help ", ' ', IDM_HELP}, {"eXec ", 'X', 0}, {"Copy ", 'C', 0}, {"Delet", 'D', 0}, {"Renam", 'R', 0},
     {"Sort ", 'S', 0}, {"Find ", 'F', 0}, {"Tree ", 'T', 0}, {"Logds", 'L', 0}, {"Unpac", 'U', 0},
     {"top  ", ' ', IDM_GOTO_FIRST}, {"botto", ' ', IDM_GOTO_END}},
    {{"Attr ", 'A', 0}, {"Info ", 'I', 0}, {"Move ", 'M', 0}, {"rmDir", 'D', 0}, {"mKdir", 'K', 0},
     {"sHell", 'H', 0}, {"Refrs", 'R', 0}, {"Edito", 'E', 0}, {"View ", 'V', 0}, {"Pack ", 'P', 0},
     {"Quick", 'Q', 0}, {"     ", ' ', 0}},
};

const FunctionKeyCommand *FunctionKeyRow(int keys, bool shifted, int index)
{
    if (keys == TEN_KEYS && index >= 0 && index < TEN_KEYS)
        return &TenKeyCommands[shifted ? 1 : 0][index];
    if (keys == TWELVE_KEYS && index >= 0 && index < TWELVE_KEYS)
        return &TwelveKeyCommands[shifted ? 1 : 0][index];
    return NULL;
}

// Keys given once each; the function keys F1-F12 (plain, Shift, Ctrl) and Alt+A-Z come
// from the ranges below the table.
static const ACCEL singleKeys[] = {
    {FVIRTKEY | FALT, VK_F1, IDM_NEW_COPY},
    {FVIRTKEY | FALT, VK_F2, IDM_EXPLORER},
    {FVIRTKEY | FALT, VK_F3, IDM_CONTROL_PANEL},
    {FVIRTKEY | FALT, VK_F4, IDM_CLOSE_NOW},
    {FVIRTKEY | FALT, VK_SPACE, IDM_ALT_SPACE},
    {FVIRTKEY | FCONTROL, 'B', IDM_GOTO_LAST},
    {FVIRTKEY | FCONTROL, 'C', IDM_PAGE_DOWN},
    {FVIRTKEY | FCONTROL, 'D', IDM_CURSOR_RIGHT},
    {FVIRTKEY | FCONTROL, 'E', IDM_CURSOR_UP},
    {FVIRTKEY | FCONTROL, 'H', IDM_BACK},
    {FVIRTKEY | FCONTROL, 'I', IDM_MARK_HERE},
    {FVIRTKEY | FCONTROL, 'L', IDM_CHANGE_DIR},
    {FVIRTKEY | FCONTROL, 'M', IDM_ENTER},
    {FVIRTKEY | FCONTROL, 'R', IDM_PAGE_UP},
    {FVIRTKEY | FCONTROL, 'S', IDM_VK_LEFT},
    {FVIRTKEY | FCONTROL, 'T', IDM_GOTO_FIRST_CTRL_T},
    {FVIRTKEY | FCONTROL, 'W', IDM_MARK_ALL},
    {FVIRTKEY | FCONTROL, 'X', IDM_CURSOR_DOWN},
    {FVIRTKEY | FSHIFT | FCONTROL, 'C', IDM_NAMES_TO_CLIPBOARD},
    {FVIRTKEY | FSHIFT | FCONTROL, 'E', IDM_SHIFT_PAGE_UP},
    {FVIRTKEY | FSHIFT | FCONTROL, 'I', IDM_MARK_ADVANCE_PAGES},
    {FVIRTKEY | FSHIFT | FCONTROL, 'M', IDM_SHIFT_ENTER},
    {FVIRTKEY | FSHIFT | FCONTROL, 'W', IDM_INVERT_MARKS},
    {FVIRTKEY | FSHIFT | FCONTROL, 'X', IDM_SHIFT_PAGE_DOWN},
    {FVIRTKEY, VK_HOME, IDM_HOME},
    {FVIRTKEY | FSHIFT, VK_HOME, IDM_SHIFT_HOME},
    {FVIRTKEY | FSHIFT, VK_END, IDM_SHIFT_END},
    {FVIRTKEY, VK_SPACE, IDM_SPACE},
    {FVIRTKEY | FCONTROL, VK_SPACE, IDM_CTRL_SPACE},
    {FVIRTKEY, VK_TAB, IDM_TAB},
    {FVIRTKEY | FSHIFT, VK_TAB, IDM_SHIFT_TAB},
    {FVIRTKEY | FCONTROL, VK_TAB, IDM_CTRL_TAB},
    {FVIRTKEY | FSHIFT | FCONTROL, VK_TAB, IDM_SHIFT_CTRL_TAB},
    {FVIRTKEY, VK_ESCAPE, IDM_ESCAPE},
    {0, 27, IDM_ESCAPE_CHAR},
    {0, '/', IDM_TOGGLE_REALSIZE},
    {0, '<', IDM_GOTO_FIRST},
    {0, '>', IDM_GOTO_END},
};

enum {
    FKEY_ROWS = 3 * 12,     // F1-F12 plain, with Shift, with Ctrl (drives A: to L:)
    ALT_LETTERS = 26,
    ACCEL_COUNT = FKEY_ROWS + ALT_LETTERS + sizeof singleKeys / sizeof singleKeys[0],
};

int AcceleratorCount()
{
    return ACCEL_COUNT;
}

// The function keys first, then the Alt+F keys, the Alt letters and the other single keys.
ACCEL AcceleratorAt(int index)
{
    ACCEL row = {};
    static const BYTE fkeyFlags[3] = {FVIRTKEY, FVIRTKEY | FSHIFT, FVIRTKEY | FCONTROL};
    static const WORD fkeyFirst[3] = {IDM_FKEY_FIRST, IDM_SHIFT_FKEY_FIRST, IDM_CTRL_FKEY_FIRST};
    const int altF = 4;
    if (index < FKEY_ROWS) {
        row.fVirt = fkeyFlags[index / 12];
        row.key = (WORD)(VK_F1 + index % 12);
        row.cmd = (WORD)(fkeyFirst[index / 12] + index % 12);
    } else if (index < FKEY_ROWS + altF) {
        row = singleKeys[index - FKEY_ROWS];
    } else if (index < FKEY_ROWS + altF + ALT_LETTERS) {
        int letter = index - FKEY_ROWS - altF;
        row.fVirt = FVIRTKEY | FALT;
        row.key = (WORD)('A' + letter);
        row.cmd = (WORD)(IDM_EXTCMD_FIRST + letter);
    } else if (index < ACCEL_COUNT) {
        row = singleKeys[index - FKEY_ROWS - ALT_LETTERS];
    }
    row.fVirt |= FNOINVERT;
    return row;
}

HACCEL CreateCommandAccelerators()
{
    ACCEL rows[ACCEL_COUNT];
    for (int i = 0; i < ACCEL_COUNT; i++)
        rows[i] = AcceleratorAt(i);
    return CreateAcceleratorTableA(rows, ACCEL_COUNT);
}

bool IsShifted()
{
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) || (GetAsyncKeyState(VK_RBUTTON) & 0x8000) ||
           (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_RBUTTON) & 0x8000) || ForceShift;
}
