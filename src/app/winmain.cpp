#include <windows.h>
#include "app/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow)
{
    return KelpoMain(instance, previous, cmdLine, cmdShow);
}
