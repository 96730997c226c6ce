// Drives modal dialogs the way a user would, from inside the test that opened them.
//
// A DialogDriver lives on the test's thread. While a modal dialog runs (DialogBoxParam,
// MessageBox, MessageDialog …) the dialog's own message loop dispatches the driver's
// thread timer every 30 ms. At each tick the driver looks for the visible, enabled dialog
// (class "#32770") of this thread and hands it to the first queued handler.
//
//     DialogDriver driver;
//     driver.Then([&](HWND dialog) {                 // runs once, on the first dialog seen
//         SeenDialog seen = ReadDialog(dialog);
//         EXPECT_EQ("Kelpo - Copy", seen.caption);
//         PressButton(dialog, IDOK);
//     });
//     int result = MessageDialog(...);               // returns once the handler pressed OK
//     EXPECT_TRUE(driver.Done());
//
// ThenSteps queues a handler called on every tick with a step counter (0, 1, 2 …) until it
// returns true; messages posted in one step (keys) are processed before the next step.
// A dialog still open when no handler is left, or a step handler that has not finished
// after about 5 s, ends the dialog (EndDialog result 0) and counts in Unexpected(), so a
// test never hangs. Only one driver may be alive at a time.
#pragma once
#include <functional>
#include <string>
#include <vector>
#include <windows.h>

struct SeenControl {
    HWND hwnd;
    int id;
    std::string className;      // "Button", "Edit", "Static" … as the system reports it
    std::string text;           // window text (Shift-JIS)
    RECT rect;                  // in the dialog's client coordinates
    DWORD style;
    bool visible, enabled;
};

struct SeenDialog {
    HWND hwnd = NULL;
    std::string caption;
    RECT windowRect{};          // screen coordinates
    RECT clientRect{};
    int focusId = 0;            // id of the control with the keyboard focus, 0 if none
    std::vector<SeenControl> controls;  // direct children in Z order

    const SeenControl *Find(int id) const;
    // Visible push buttons from left to right.
    std::vector<SeenControl> Buttons() const;
};

SeenDialog ReadDialog(HWND dialog);

// The dialog of this thread a user could act on now, or NULL.
HWND FindActiveDialog();

// User actions, posted so that they take effect once the handler has returned (a dialog
// opened by the click is then met by the next handler). PressButton posts the click of a
// visible, enabled button (WM_COMMAND id, BN_CLICKED) and does nothing for a hidden or
// disabled one; PressKey posts the key's WM_KEYDOWN/WM_KEYUP to the focused control (or the
// dialog) so the dialog's loop treats it as typed.
void PressButton(HWND dialog, int id);
void PressKey(HWND dialog, UINT virtualKey);

class DialogDriver;

// Queues the answer to a common Open or Save dialog: once its file name field is there (a
// combo box 1148 in the Explorer-style dialog, an edit 1152 in the old one) and it has
// settled, path is typed into the field and OK pressed. caption and proposed (each may be
// null) receive the dialog's caption and the name it offered.
void AnswerFileDialog(DialogDriver &driver, const std::string &path, std::string *caption, std::string *proposed);

class DialogDriver {
public:
    DialogDriver();
    ~DialogDriver();
    void Then(std::function<void(HWND dialog)> handler);
    void ThenSteps(std::function<bool(HWND dialog, int step)> handler);
    bool Done() const { return handlers.empty(); }     // every handler has finished
    int Unexpected() const { return unexpected; }       // dialogs closed for want of a handler
    std::vector<SeenDialog> seen;                       // each dialog as first met by a handler

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void OnTick();
    std::vector<std::function<bool(HWND, int)>> handlers;
    UINT_PTR timer = 0;
    HWND current = NULL;
    int step = 0;
    int idleTicks = 0;
    int unexpected = 0;
    bool busy = false;
};
