#include "app/cursor.h"
#include "config/settings.h"

int PageTop;
int CursorSlot;
int PrevSlot = -1;
int PerPage;

int PageSize()
{
    int columns = Settings.dispmode ? Settings.dispmode : 1;
    int rows = Settings.disprow ? Settings.disprow : 1;
    return columns * rows;
}
