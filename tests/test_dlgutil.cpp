// The routines every dialog shares: placement, control rectangles, key forwarding, edit
// carets, input histories, owner-drawn list items and the hourglass.
#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "ui/msgdlg.h"
#include "testutil.h"

namespace {

HWND MakeMain(int x, int y, int w, int h)
{
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "KelpoUtilTestMain";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowA("KelpoUtilTestMain", "Kelpo - main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, w, h, NULL,
                         NULL, GetModuleHandleA(NULL), NULL);
}

HWND MakePopup(int w, int h)
{
    return CreateWindowA("KelpoUtilTestMain", "dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, w, h, g_mainWnd,
                         NULL, GetModuleHandleA(NULL), NULL);
}

HWND MakeChild(HWND parent, const char *cls, int id, int x, int y, int w, int h)
{
    return CreateWindowA(cls, "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, (HMENU)(INT_PTR)id,
                         GetModuleHandleA(NULL), NULL);
}

RECT WindowRect(HWND w)
{
    RECT r;
    GetWindowRect(w, &r);
    return r;
}

class Placement : public ::testing::Test {
protected:
    void SetUp() override { g_mainWnd = MakeMain(100, 80, 700, 500); }
    void TearDown() override
    {
        DestroyWindow(g_mainWnd);
        g_mainWnd = NULL;
    }
};

} // namespace

TEST_F(Placement, CentreKeepsTheSizeOnTheMainWindow)
{
    HWND d = MakePopup(201, 101);
    CenterOnMainWindow(d);
    RECT r = WindowRect(d);
    EXPECT_EQ(201, r.right - r.left);
    EXPECT_EQ(101, r.bottom - r.top);
    EXPECT_EQ(100 + 350 - 100, r.left);
    EXPECT_EQ(80 + 250 - 50, r.top);

    // A dialog larger than the main window goes above and left of it.
    SetWindowPos(d, NULL, 0, 0, 901, 701, SWP_NOMOVE | SWP_NOZORDER);
    CenterOnMainWindow(d);
    r = WindowRect(d);
    EXPECT_EQ(100 + 350 - 450, r.left);
    EXPECT_EQ(80 + 250 - 350, r.top);
    DestroyWindow(d);
}

TEST_F(Placement, WithoutAMainWindowTheWorkAreaStandsIn)
{
    HWND d = MakePopup(200, 100);
    HWND main = g_mainWnd;
    g_mainWnd = NULL;
    CenterOnMainWindow(d);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT r = WindowRect(d);
    EXPECT_EQ(work.left + (work.right - work.left) / 2 - 100, r.left);
    EXPECT_EQ(work.top + (work.bottom - work.top) / 2 - 50, r.top);
    g_mainWnd = main;
    DestroyWindow(d);
}

TEST_F(Placement, GridRowPutsTheTopHalfALineAboveTheGrid)
{
    HWND d = MakePopup(300, 200);
    for (int cell : {15, 16, 19}) {
        PlaceAtGridRow(d, cell, 7);
        POINT p = {0, cell / 2 + 6 * cell + 7};
        ClientToScreen(g_mainWnd, &p);
        RECT r = WindowRect(d);
        EXPECT_EQ(p.y, r.top) << cell;
        EXPECT_EQ(100 + 350 - 150, r.left);
        EXPECT_EQ(300, r.right - r.left);
    }
    DestroyWindow(d);
}

TEST_F(Placement, StretchGrowsTheDialogAndMovesTheListedControls)
{
    HWND d = MakePopup(300, 200);
    MakeChild(d, "STATIC", 10, 10, 10, 40, 20);
    MakeChild(d, "STATIC", 11, 60, 10, 40, 20);
    MakeChild(d, "STATIC", 12, 10, 40, 100, 50);
    MakeChild(d, "STATIC", 13, 120, 40, 30, 30);
    MakeChild(d, "STATIC", 14, 160, 40, 30, 30);
    const ControlAdjust table[] = {{10, ADJUST_MOVE_RIGHT}, {11, ADJUST_MOVE_DOWN},
                                   {12, ADJUST_WIDEN | ADJUST_HEIGHTEN},
                                   {13, ADJUST_MOVE_RIGHT | ADJUST_MOVE_DOWN}, {99, ADJUST_WIDEN}};
    StretchDialogToMain(d, 5, table, 16, 4);
    int dx = 700 - 300 - 16, dy = 500 - 160 - 4 - 200;
    RECT r = WindowRect(d);
    EXPECT_EQ(300 + dx, r.right - r.left);
    EXPECT_EQ(200 + dy, r.bottom - r.top);
    const struct {
        int id;
        RECT expected;
    } moved[] = {
        {10, {10 + dx, 10, 50 + dx, 30}},
        {11, {60, 10 + dy, 100, 30 + dy}},
        {12, {10, 40, 110 + dx, 90 + dy}},
        {13, {120 + dx, 40 + dy, 150 + dx, 70 + dy}},
        {14, {160, 40, 190, 70}},
    };
    for (const auto &m : moved) {
        RECT c;
        GetControlRect(d, m.id, &c);
        EXPECT_EQ(m.expected.left, c.left) << m.id;
        EXPECT_EQ(m.expected.top, c.top) << m.id;
        EXPECT_EQ(m.expected.right, c.right) << m.id;
        EXPECT_EQ(m.expected.bottom, c.bottom) << m.id;
    }
    DestroyWindow(d);
}

TEST_F(Placement, StretchNeverShrinks)
{
    // Wider than the main window but shorter: only the height grows.
    HWND d = MakePopup(800, 100);
    MakeChild(d, "STATIC", 10, 10, 10, 40, 20);
    const ControlAdjust table[] = {{10, ADJUST_WIDEN | ADJUST_MOVE_DOWN}};
    StretchDialogToMain(d, 1, table, 20, 0);
    RECT r = WindowRect(d);
    EXPECT_EQ(800, r.right - r.left);
    EXPECT_EQ(500 - 200 - 0, r.bottom - r.top);
    RECT c;
    GetControlRect(d, 10, &c);
    EXPECT_EQ(40, c.right - c.left);
    EXPECT_EQ(10 + 500 - 200 - 100, c.top);

    // Larger both ways: nothing changes.
    SetWindowPos(d, NULL, 0, 0, 900, 600, SWP_NOMOVE | SWP_NOZORDER);
    GetControlRect(d, 10, &c);
    StretchDialogToMain(d, 1, table, 20, 0);
    r = WindowRect(d);
    EXPECT_EQ(900, r.right - r.left);
    EXPECT_EQ(600, r.bottom - r.top);
    RECT after;
    GetControlRect(d, 10, &after);
    EXPECT_TRUE(EqualRect(&c, &after));
    DestroyWindow(d);
}

TEST_F(Placement, ControlRectangleInClientCoordinates)
{
    HWND d = MakePopup(300, 200);
    MakeChild(d, "EDIT", 20, 13, 27, 50, 21);
    RECT c;
    GetControlRect(d, 20, &c);
    EXPECT_EQ(13, c.left);
    EXPECT_EQ(27, c.top);
    EXPECT_EQ(63, c.right);
    EXPECT_EQ(48, c.bottom);
    GetControlRect(d, 21, &c);
    EXPECT_TRUE(IsRectEmpty(&c));
    DestroyWindow(d);
}

namespace {

// The parent answers the forwarded keys; the controls' earlier procedures count what reaches them.
struct KeyLog {
    std::vector<std::pair<WPARAM, LPARAM>> forwarded;
    LRESULT answer = 1;
    std::vector<std::pair<HWND, WPARAM>> reached;
    WNDPROC original[2];
};
KeyLog keys;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER) {
        keys.forwarded.push_back({wParam, lParam});
        return keys.answer;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK EarlierEdit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_CHAR)
        keys.reached.push_back({hwnd, wParam});
    return CallWindowProcA(keys.original[0], hwnd, message, wParam, lParam);
}

LRESULT CALLBACK EarlierButton(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN || message == WM_CHAR)
        keys.reached.push_back({hwnd, wParam});
    return CallWindowProcA(keys.original[1], hwnd, message, wParam, lParam);
}

HWND MakeKeyParent()
{
    static bool registered;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "KelpoKeyParent";
        RegisterClassA(&wc);
        registered = true;
    }
    return CreateWindowA("KelpoKeyParent", "keys", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL, NULL,
                         GetModuleHandleA(NULL), NULL);
}

} // namespace

TEST(KeyForwarding, EachForwarderSendsItsKeysAndHonoursTheAnswer)
{
    HWND parent = MakeKeyParent();
    HWND edit = MakeChild(parent, "EDIT", 30, 0, 0, 100, 20);
    keys.original[0] = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)EarlierEdit);

    const struct {
        WNDPROC forwarder;
        std::vector<WPARAM> forwardedKeys;
    } cases[] = {
        {ArrowKeyForwarder, {VK_UP, VK_DOWN}},
        {ArrowInsertKeyForwarder, {VK_UP, VK_DOWN, VK_INSERT}},
        {AllKeyForwarder, {VK_UP, VK_DOWN, VK_INSERT, 'A', VK_RETURN, VK_F5}},
    };
    const WPARAM tried[] = {VK_UP, VK_DOWN, VK_INSERT, 'A', VK_RETURN, VK_F5};
    for (const auto &c : cases) {
        WNDPROC previous = SubclassControl(parent, 30, c.forwarder);
        EXPECT_EQ((WNDPROC)EarlierEdit, previous);
        for (LRESULT answer : {1, 0}) {
            keys.answer = answer;
            for (WPARAM key : tried) {
                keys.forwarded.clear();
                keys.reached.clear();
                LRESULT r = SendMessageA(edit, WM_KEYDOWN, key, 1);
                bool forwards = std::find(c.forwardedKeys.begin(), c.forwardedKeys.end(), key) != c.forwardedKeys.end();
                SCOPED_TRACE("key " + std::to_string(key) + " answer " + std::to_string(answer));
                if (forwards) {
                    ASSERT_EQ(1u, keys.forwarded.size());
                    EXPECT_EQ((WPARAM)WM_KEYDOWN, keys.forwarded[0].first);
                    EXPECT_EQ((LPARAM)key, keys.forwarded[0].second);
                } else {
                    EXPECT_TRUE(keys.forwarded.empty());
                }
                bool consumed = forwards && answer;
                EXPECT_EQ(consumed ? 0u : 1u, keys.reached.size());
                if (consumed) {
                    EXPECT_EQ(0, r);
                }
            }
        }
        // Other messages pass untouched.
        keys.forwarded.clear();
        keys.reached.clear();
        SendMessageA(edit, WM_CHAR, 'x', 1);
        EXPECT_TRUE(keys.forwarded.empty());
        EXPECT_EQ(1u, keys.reached.size());

        RestoreControl(parent, 30, previous);
        EXPECT_EQ((LONG_PTR)EarlierEdit, GetWindowLongPtrA(edit, GWLP_WNDPROC));
        keys.forwarded.clear();
        SendMessageA(edit, WM_KEYDOWN, VK_UP, 1);
        EXPECT_TRUE(keys.forwarded.empty());
    }
    DestroyWindow(parent);
}

TEST(KeyForwarding, ControlsOfDifferentClassesKeepTheirOwnProcedures)
{
    HWND parent = MakeKeyParent();
    HWND edit = MakeChild(parent, "EDIT", 30, 0, 0, 100, 20);
    HWND button = MakeChild(parent, "BUTTON", 31, 0, 30, 100, 20);
    keys.original[0] = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)EarlierEdit);
    keys.original[1] = (WNDPROC)SetWindowLongPtrA(button, GWLP_WNDPROC, (LONG_PTR)EarlierButton);
    WNDPROC editPrevious = SubclassControl(parent, 30, ArrowKeyForwarder);
    WNDPROC buttonPrevious = SubclassControl(parent, 31, ArrowKeyForwarder);
    EXPECT_EQ((WNDPROC)EarlierEdit, editPrevious);
    EXPECT_EQ((WNDPROC)EarlierButton, buttonPrevious);
    keys.reached.clear();
    SendMessageA(edit, WM_KEYDOWN, 'E', 1);
    SendMessageA(button, WM_KEYDOWN, 'B', 1);
    ASSERT_EQ(2u, keys.reached.size());
    EXPECT_EQ(edit, keys.reached[0].first);
    EXPECT_EQ(button, keys.reached[1].first);

    // A second subclassing of the same control keeps the original procedure.
    EXPECT_EQ((WNDPROC)EarlierEdit, SubclassControl(parent, 30, AllKeyForwarder));
    RestoreControl(parent, 30, editPrevious);
    RestoreControl(parent, 31, buttonPrevious);
    EXPECT_EQ((LONG_PTR)EarlierEdit, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    EXPECT_EQ((LONG_PTR)EarlierButton, GetWindowLongPtrA(button, GWLP_WNDPROC));
    EXPECT_EQ(NULL, SubclassControl(parent, 77, ArrowKeyForwarder));
    DestroyWindow(parent);
}

namespace {

// A dialog procedure answers a forwarded key through DWLP_MSGRESULT.
INT_PTR CALLBACK AnsweringDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER) {
        keys.forwarded.push_back({wParam, lParam});
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, keys.answer);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// One dialog with one edit field, id 50, built in memory.
HWND MakeDialogWithEdit()
{
    alignas(4) static WORD t[64];
    memset(t, 0, sizeof t);
    DLGTEMPLATE *d = (DLGTEMPLATE *)t;
    d->style = WS_POPUP | WS_VISIBLE;
    d->cdit = 1;
    d->cx = 100;
    d->cy = 40;
    WORD *p = (WORD *)(d + 1);
    p += 3;                                  // no menu, default class, no title
    p = (WORD *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
    DLGITEMTEMPLATE *item = (DLGITEMTEMPLATE *)p;
    item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    item->x = 5;
    item->y = 5;
    item->cx = 80;
    item->cy = 12;
    item->id = 50;
    p = (WORD *)(item + 1);
    *p++ = 0xFFFF;
    *p++ = 0x0081;                           // the edit class
    *p++ = 0;                                // no text
    *p++ = 0;                                // no creation data
    return CreateDialogIndirectParamA(GetModuleHandleA(NULL), d, NULL, AnsweringDialog, 0);
}

} // namespace

TEST(KeyForwarding, DialogParentAnswersThroughItsMessageResult)
{
    HWND dialog = MakeDialogWithEdit();
    ASSERT_TRUE(dialog != NULL);
    HWND edit = GetDlgItem(dialog, 50);
    ASSERT_TRUE(edit != NULL);
    keys.original[0] = (WNDPROC)SetWindowLongPtrA(edit, GWLP_WNDPROC, (LONG_PTR)EarlierEdit);
    WNDPROC previous = SubclassControl(dialog, 50, ArrowKeyForwarder);
    for (LRESULT answer : {1, 0}) {
        keys.answer = answer;
        keys.forwarded.clear();
        keys.reached.clear();
        SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
        EXPECT_EQ(1u, keys.forwarded.size());
        EXPECT_EQ(answer ? 0u : 1u, keys.reached.size()) << "answer " << answer;
    }
    RestoreControl(dialog, 50, previous);
    DestroyWindow(dialog);
}

TEST(EditCaret, TextAndCaretPosition)
{
    HWND parent = MakeKeyParent();
    HWND edit = CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 200, 20, parent,
                              (HMENU)40, GetModuleHandleA(NULL), NULL);
    const struct {
        const char *text;
        int position;
        DWORD start;
    } cases[] = {{"abcdef", 2, 2}, {"abcdef", -1, 6}, {"abcdef", 0, 0}, {"", -1, 0}, {"abc", 99, 3}};
    for (const auto &c : cases) {
        SetEditTextCaret(parent, 40, c.text, c.position);
        char back[64];
        GetWindowTextA(edit, back, sizeof back);
        EXPECT_STREQ(c.text, back);
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        EXPECT_EQ(c.start, start) << c.text << " " << c.position;
        EXPECT_EQ(c.start, end) << c.text << " " << c.position;
    }
    DestroyWindow(parent);
}

namespace {

struct History {
    char items[INPUT_HISTORY_COUNT][INPUT_HISTORY_ITEM];
    History() { memset(items, 0, sizeof items); }
    void Fill(int n)
    {
        for (int i = 0; i < n; i++)
            snprintf(items[i], INPUT_HISTORY_ITEM, "entry%02d", i);
    }
    std::vector<std::string> Used() const
    {
        std::vector<std::string> used;
        for (int i = 0; i < INPUT_HISTORY_COUNT && items[i][0]; i++)
            used.push_back(items[i]);
        return used;
    }
};

std::vector<std::string> Entries(std::initializer_list<int> order)
{
    std::vector<std::string> v;
    for (int i : order) {
        char name[16];
        snprintf(name, sizeof name, "entry%02d", i);
        v.push_back(name);
    }
    return v;
}

} // namespace

TEST(InputHistory, MostRecentFirstWithoutDuplicates)
{
    History h;
    PushHistory(h.items, "a");
    PushHistory(h.items, "b");
    PushHistory(h.items, "A");
    EXPECT_EQ((std::vector<std::string>{"A", "b", "a"}), h.Used());
    PushHistory(h.items, "a");
    EXPECT_EQ((std::vector<std::string>{"a", "A", "b"}), h.Used());
    PushHistory(h.items, "a");
    EXPECT_EQ((std::vector<std::string>{"a", "A", "b"}), h.Used());
    PushHistory(h.items, "");
    EXPECT_EQ((std::vector<std::string>{"a", "A", "b"}), h.Used()) << "an empty entry would hide the rest";
    PushHistory(h.items, NULL);
    EXPECT_EQ(3u, h.Used().size());
}

TEST(InputHistory, FullHistory)
{
    History h;
    h.Fill(20);
    PushHistory(h.items, "entry05");
    EXPECT_EQ(Entries({5, 0, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}), h.Used());

    h.Fill(20);
    PushHistory(h.items, "entry19");
    EXPECT_EQ(Entries({19, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}), h.Used());

    h.Fill(20);
    PushHistory(h.items, "entry00");
    EXPECT_EQ(Entries({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}), h.Used());

    h.Fill(20);
    PushHistory(h.items, "new");
    std::vector<std::string> expected = {"new"};
    for (const std::string &e : Entries({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}))
        expected.push_back(e);
    EXPECT_EQ(expected, h.Used());
}

TEST(InputHistory, EntryOfTheHistoryItselfAndOverlongText)
{
    History h;
    h.Fill(8);
    PushHistory(h.items, h.items[3]);
    EXPECT_EQ(Entries({3, 0, 1, 2, 4, 5, 6, 7}), h.Used());
    PushHistory(h.items, h.items[0]);
    EXPECT_EQ(Entries({3, 0, 1, 2, 4, 5, 6, 7}), h.Used());

    std::string longText(259, 'x');
    longText += "亜亜";
    PushHistory(h.items, longText.c_str());
    EXPECT_EQ(259u, strlen(h.items[0]));
    EXPECT_TRUE(IsWholeCharacters(h.items[0]));
    EXPECT_EQ(9u, h.Used().size());
    // The same long text again is the same entry.
    PushHistory(h.items, longText.c_str());
    EXPECT_EQ(9u, h.Used().size());
}

namespace {

struct Canvas {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    static constexpr COLORREF paper = RGB(1, 2, 3);
    Canvas()
    {
        HDC screen = GetDC(NULL);
        dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 40, 20);
        ReleaseDC(NULL, screen);
        old = SelectObject(dc, bitmap);
        RECT all = {0, 0, 40, 20};
        HBRUSH b = CreateSolidBrush(paper);
        FillRect(dc, &all, b);
        DeleteObject(b);
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

} // namespace

TEST(ListItem, BackgroundColoursAndFocusOutline)
{
    const struct {
        UINT state;
        int back, text;
    } cases[] = {{0, COLOR_WINDOW, COLOR_WINDOWTEXT},
                 {ODS_SELECTED, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT},
                 {ODS_FOCUS, COLOR_WINDOW, COLOR_WINDOWTEXT},
                 {ODS_SELECTED | ODS_FOCUS, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT}};
    for (const auto &c : cases) {
        Canvas canvas;
        SetBkMode(canvas.dc, OPAQUE);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTBOX;
        item.itemState = c.state;
        item.hDC = canvas.dc;
        item.rcItem = {5, 5, 35, 15};
        SCOPED_TRACE("state " + std::to_string(c.state));
        EXPECT_EQ(GetSysColor(c.text), DrawListItemBackground(&item));
        EXPECT_EQ(TRANSPARENT, GetBkMode(canvas.dc));
        COLORREF back = GetNearestColor(canvas.dc, GetSysColor(c.back));
        EXPECT_EQ(back, GetPixel(canvas.dc, 20, 10));
        EXPECT_EQ(Canvas::paper, GetPixel(canvas.dc, 4, 4));
        EXPECT_EQ(Canvas::paper, GetPixel(canvas.dc, 35, 15));
        EXPECT_EQ(R2_COPYPEN, GetROP2(canvas.dc));
        COLORREF edge = (c.state & ODS_FOCUS) ? (back ^ GetNearestColor(canvas.dc, GetSysColor(COLOR_BTNHIGHLIGHT))) : back;
        EXPECT_EQ(edge, GetPixel(canvas.dc, 5, 5));
        EXPECT_EQ(edge, GetPixel(canvas.dc, 34, 14));
        EXPECT_EQ(edge, GetPixel(canvas.dc, 20, 5));
    }
}

TEST(Hourglass, WaitCursorAndBack)
{
    HCURSOR arrow = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    HCURSOR wait = LoadCursorA(NULL, (LPCSTR)IDC_WAIT);
    SetCursor(arrow);
    int count = ShowCursor(TRUE) - 1;
    ShowCursor(FALSE);

    ShowHourglass();
    EXPECT_EQ(wait, GetCursor());
    EXPECT_EQ(count + 2, ShowCursor(TRUE));
    ShowCursor(FALSE);
    HideHourglass();
    EXPECT_EQ(arrow, GetCursor());
    EXPECT_EQ(count + 1, ShowCursor(TRUE));
    ShowCursor(FALSE);
}
