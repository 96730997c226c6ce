// The shown page and the cursor in it: the cursor entry is OrderIndex[PageTop + CursorSlot].
#pragma once

#include "base/globals.h"
#include "screen/screen.h"

// The cursor entry by name: CursorName := the cursor entry's long name; the cursor onto the
// entry with this long name (the first entry when there is none).
void RememberCursorEntry();
void FindEntryByName(const char *name);
// Carries out ReloadRequest: 1 re-read with the cursor at the top, 2 re-read with the cursor
// back on CursorName, 3 only place the cursor on CursorName again.
void ApplyReloadRequest();

// Page figures of the information block: both 1 while the placeholder stands alone.
int PageCount();
int CurrentPage();

// delta: -1, +1, -disprow or +disprow. pageKey: PageUp/PageDown (delta -1/+1), or the key was
// pressed with Shift held; Shift+Up/Down then turn pages, Shift+Left/Right never leave the page.
void MoveCursor(int delta, int pageKey);
void GoToFirst();
void GoToLast();
// After ToggleMark: 0 stay, 1 next entry but stay on the shown page, 2 next entry on its page.
void AdvanceAfterMark(int mode);
// The advance mode of Space (ctrl 0) and Ctrl+Space (ctrl 1); cspace swaps them.
int MarkAdvanceMode(int ctrl);
// IDM_HOME, IDM_MARK_ALL: mark all, or clear all when something is marked;
// IDM_SHIFT_HOME, IDM_SHIFT_END, IDM_INVERT_MARKS: invert.
void MarkAll(int commandId);
// A typed digit 1, 2, 3 or 5; the digit of the shown column count cycles the sub-mode.
// The caller updates the View menu afterwards.
void SetColumns(int columns);
// 1, 2, 3, 5: column count; 16, 17, 18: sub-mode 0, 1, 2. The caller updates the View menu.
void SetColumnsFromMenu(int value);
// Both return 1 when CurrentPath changed; CursorName then names the entry to land on.
int EnterDirectory(const char *name);
int GoToParent();
// What the caller of EnterDirectory (cursorSlot 0) and GoToParent (cursorSlot -1) does on 1:
// first page, re-read, cursor onto CursorName.
void ListChangedDirectory(int cursorSlot);
