#include "dialogdriver.h"
#include <string.h>

static DialogDriver *activeDriver;
enum { TICK_MS = 30, IDLE_TICKS_BEFORE_CLOSE = 5000 / TICK_MS };

const SeenControl *SeenDialog::Find(int id) const
{
    for (const SeenControl &c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::vector<SeenControl> SeenDialog::Buttons() const
{
    std::vector<SeenControl> buttons;
    for (const SeenControl &c : controls) {
        DWORD kind = c.style & BS_TYPEMASK;
        if (c.visible && _stricmp(c.className.c_str(), "Button") == 0 &&
            (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON)) {
            size_t at = 0;
            while (at < buttons.size() && buttons[at].rect.left <= c.rect.left)
                at++;
            buttons.insert(buttons.begin() + at, c);
        }
    }
    return buttons;
}

static std::string WindowText(HWND hwnd)
{
    char text[4096];
    text[0] = '\0';
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

SeenDialog ReadDialog(HWND dialog)
{
    SeenDialog seen;
    seen.hwnd = dialog;
    seen.caption = WindowText(dialog);
    GetWindowRect(dialog, &seen.windowRect);
    GetClientRect(dialog, &seen.clientRect);
    HWND focus = GetFocus();
    if (focus && IsChild(dialog, focus))
        seen.focusId = GetDlgCtrlID(focus);
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SeenControl c;
        c.hwnd = child;
        c.id = GetDlgCtrlID(child);
        char cls[64];
        GetClassNameA(child, cls, sizeof cls);
        c.className = cls;
        c.text = WindowText(child);
        GetWindowRect(child, &c.rect);
        MapWindowPoints(NULL, dialog, (POINT *)&c.rect, 2);
        c.style = (DWORD)GetWindowLongA(child, GWL_STYLE);
        c.visible = (c.style & WS_VISIBLE) != 0;
        c.enabled = IsWindowEnabled(child) != 0;
        seen.controls.push_back(c);
    }
    return seen;
}

static BOOL CALLBACK PickDialog(HWND hwnd, LPARAM found)
{
    char cls[16];
    GetClassNameA(hwnd, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        *(HWND *)found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindActiveDialog()
{
    HWND found = NULL;
    EnumThreadWindows(GetCurrentThreadId(), PickDialog, (LPARAM)&found);
    return found;
}

void PressButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button && IsWindowVisible(button) && IsWindowEnabled(button))
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
}

void PressKey(HWND dialog, UINT virtualKey)
{
    HWND target = GetFocus();
    if (!target || (target != dialog && !IsChild(dialog, target)))
        target = dialog;
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void AnswerFileDialog(DialogDriver &driver, const std::string &path, std::string *caption, std::string *proposed)
{
    driver.ThenSteps([=](HWND dialog, int step) {
        static const int nameFields[] = {1148, 1152};
        if (step < 3 || (!GetDlgItem(dialog, nameFields[0]) && !GetDlgItem(dialog, nameFields[1])))
            return false;
        if (caption)
            *caption = ReadDialog(dialog).caption;
        for (int field : nameFields) {
            char text[MAX_PATH] = "";
            if (proposed && GetDlgItemTextA(dialog, field, text, sizeof text) > 0)
                *proposed = text;
            SetDlgItemTextA(dialog, field, path.c_str());
        }
        PressButton(dialog, IDOK);
        return true;
    });
}

DialogDriver::DialogDriver()
{
    activeDriver = this;
    timer = SetTimer(NULL, 0, TICK_MS, Tick);
}

DialogDriver::~DialogDriver()
{
    KillTimer(NULL, timer);
    if (activeDriver == this)
        activeDriver = nullptr;
}

void DialogDriver::Then(std::function<void(HWND)> handler)
{
    handlers.push_back([handler](HWND dialog, int) {
        handler(dialog);
        return true;
    });
}

void DialogDriver::ThenSteps(std::function<bool(HWND, int)> handler)
{
    handlers.push_back(handler);
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeDriver)
        activeDriver->OnTick();
}

void DialogDriver::OnTick()
{
    if (busy)
        return;
    busy = true;
    HWND dialog = FindActiveDialog();
    if (!dialog) {
        current = NULL;
    } else if (handlers.empty()) {
        if (++idleTicks > IDLE_TICKS_BEFORE_CLOSE) {
            unexpected++;
            idleTicks = 0;
            EndDialog(dialog, 0);
        }
    } else {
        idleTicks = 0;
        if (dialog != current) {
            current = dialog;
            step = 0;
            seen.push_back(ReadDialog(dialog));
        }
        if (handlers.front()(dialog, step++)) {
            handlers.erase(handlers.begin());
            current = NULL;
        } else if (step > IDLE_TICKS_BEFORE_CLOSE) {
            unexpected++;
            handlers.erase(handlers.begin());
            current = NULL;
            EndDialog(dialog, 0);
        }
    }
    busy = false;
}
