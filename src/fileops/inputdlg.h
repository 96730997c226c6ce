// The small dialogs that ask for one name: rename (20033), make directory (20027), new file
// (20028) and find (20017); and those that offer a choice of two radio buttons.
#pragma once
#include <windows.h>

struct NameInput {
    int templateId;
    const char *caption;        // null keeps the template's title
    const char *initial;        // text the edit field starts with
    int caret;                  // caret position in it, -1 its end
    const char *oldName;        // shown above the prompt when not null
    char *text;                 // receives the entered text, whole characters, on OK only;
                                // it may be the same buffer as initial or oldName
    int bytes;                  // size of text, terminator included
    // Called on OK with the entered text: 1 closes the dialog with 1, 0 keeps it open.
    // Null accepts every text.
    int (*accept)(HWND dialog, const char *text);
};

// 1 with the text, 0 on Cancel. A text that does not fit in bytes - 1 is refused with a
// message and the dialog stays.
int NameInputDialog(HWND owner, NameInput *input);

// Two radio buttons, firstId checked first: 1 with *second (1 when secondId was checked),
// 0 on Cancel.
int ChoiceDialog(HWND owner, int templateId, int firstId, int secondId, int *second);

// The WM_COMMAND case of a dialog with OK and Cancel: OK runs onOk, Cancel ends with 0.
BOOL OnOkCancel(HWND dialog, WPARAM wParam, void (*onOk)(HWND dialog));
