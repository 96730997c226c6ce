// Scoped GDI: a device context of a window with the main font selected, and an object selected
// into a device context, each restored and released on every path out of the scope.
#pragma once
#include <windows.h>

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc(dc), old(object ? SelectObject(dc, object) : NULL) {}
    ~SelectedObject()
    {
        if (old)
            SelectObject(dc, old);
    }
    SelectedObject(const SelectedObject &) = delete;
    SelectedObject &operator=(const SelectedObject &) = delete;

private:
    HDC dc;
    HGDIOBJ old;
};

// A window device context reaches the whole client area, whatever a paint's clipping covers.
class WindowFontDC {
public:
    explicit WindowFontDC(HWND window);
    ~WindowFontDC();
    operator HDC() const { return dc; }
    WindowFontDC(const WindowFontDC &) = delete;
    WindowFontDC &operator=(const WindowFontDC &) = delete;

private:
    HWND window;
    HDC dc;
    HGDIOBJ oldFont;
};

// A pen or brush made for one drawing operation: selected now, restored and deleted at the end.
class OwnedObject {
public:
    OwnedObject(HDC dc, HGDIOBJ object) : owned{object}, selected(dc, object) {}
    OwnedObject(const OwnedObject &) = delete;
    OwnedObject &operator=(const OwnedObject &) = delete;

private:
    // Members go in reverse order: the object is put back out of the context before it is deleted.
    struct Deleter {
        HGDIOBJ object;
        ~Deleter()
        {
            if (object)
                DeleteObject(object);
        }
    } owned;
    SelectedObject selected;
};
