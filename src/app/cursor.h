// The shown page and the cursor in it: the cursor entry is OrderIndex[PageTop + CursorSlot].
#pragma once

extern int PageTop;
extern int CursorSlot;
extern int PrevSlot;     // slot drawn with the cursor bar last, -1 = none
extern int PerPage;      // columns * rows

int PageSize();          // dispmode columns * disprow
