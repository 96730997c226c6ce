#pragma once
#include <windows.h>

int KelpoMain(HINSTANCE instance, HINSTANCE previous, LPSTR cmdLine, int cmdShow);
