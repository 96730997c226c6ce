#include <windows.h>
#include "app/listkeys.h"
#include "app/dispatch.h"
#include "app/mainwnd.h"
#include "app/globals.h"
#include "app/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "resource.h"

bool RunListLetter(HWND, char)
{
    return false;
}

bool RunListCommand(HWND, int)
{
    return false;
}

bool RunListKey(HWND, UINT)
{
    return false;
}
