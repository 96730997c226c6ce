// The settings dialogs: options, rows, the screen font, and copying names to the clipboard.
#pragma once
#include <windows.h>
#include <string>

int RunOptionDialog(HWND owner);        // 1 after OK (settings changed), 0 after Cancel
int RunRowsDialog(HWND owner);          // 1 after OK with disprow changed
void OptionCommand(HWND hwnd);
void RowsCommand(HWND hwnd);
void FontCommand(HWND hwnd);

// The clipboard text for clipmode: directory lines, then one line per marked entry (or the
// cursor entry when none is marked) in display order. The table must not be locked.
std::string ClipboardText(int clipmode);
void NamesToClipboardCommand(HWND hwnd);
