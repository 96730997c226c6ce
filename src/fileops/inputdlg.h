// The small dialogs that ask for one name: make directory (20027), new file (20028) and
// find (20017).
#pragma once
#include <windows.h>

struct NameInput {
    int templateId;
    const char *caption;        // null keeps the template's title
    const char *initial;        // text the edit field starts with (caret at its end)
    char *text;                 // receives the entered text, whole characters
    int bytes;                  // size of text, terminator included
    // Called on OK with the entered text: 1 closes the dialog with 1, 0 keeps it open.
    // Null accepts every text.
    int (*accept)(HWND dialog, const char *text);
};

// 1 with the text, 0 on Cancel.
int NameInputDialog(HWND owner, NameInput *input);
