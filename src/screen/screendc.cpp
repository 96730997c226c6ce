#include "screen/screendc.h"
#include "screen/screen.h"

WindowFontDC::WindowFontDC(HWND window) : window(window), dc(GetDC(window)), oldFont(NULL)
{
    if (dc && MainFont)
        oldFont = SelectObject(dc, MainFont);
}

WindowFontDC::~WindowFontDC()
{
    if (!dc)
        return;
    if (oldFont)
        SelectObject(dc, oldFont);
    ReleaseDC(window, dc);
}
