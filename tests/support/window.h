// Runs the real main window inside a test program: the same start-up code as the entry
// point, keys sent the way the keyboard sends them (through the accelerator table, with
// Shift, Ctrl and Alt held in the keyboard state), and the screen read back as text.
#pragma once
#include <windows.h>
#include <string>
#include <gtest/gtest.h>

enum { KEY_SHIFT = 1, KEY_CTRL = 2, KEY_ALT = 4 };

// Starts Kelpo with a whole command line ("Kelpo.EXE C:\DIR /r"); false when no window came up.
bool KelpoStart(const std::string &commandLine);
// Handles every queued message as the program's message loop does.
void KelpoPump();
// Presses and releases one key with the given modifiers, then pumps.
void KelpoKey(UINT vk, int modifiers = 0);
// Types characters: each is turned into its key and Shift state and pressed.
void KelpoType(const std::string &text);
// Presses (down) or releases one modifier key alone, as the keyboard does: Shift and Ctrl as
// WM_KEYDOWN/WM_KEYUP, Alt as WM_SYSKEYDOWN/WM_SYSKEYUP; the keyboard state follows the key.
// No screen check: what is drawn while a key is held may rightly differ from a repaint.
void KelpoHoldKey(UINT vk, bool down);
// Presses or releases the left mouse button through the system's input queue, so that the
// button's state is what the window reads while a drag lasts. The press happens with the
// pointer on the window's header.
void KelpoLeftButton(bool down);
// One screen line as drawn (80 Shift-JIS bytes).
std::string KelpoLine(int line);
// The whole screen, lines joined with '\n', for failure messages.
std::string KelpoScreen();
// Closes the window and releases everything as the program does at exit.
void KelpoStop();

// Screen truth: the window's client pixels must equal those of a complete repaint of the same
// state, and the screen record's text must equal what that repaint records. The clock cells
// are left out. KelpoKey and KelpoType check it after every key (a mismatch fails the running
// test with the first differing cell); tests may call it after other actions too.
testing::AssertionResult KelpoScreenTruth();
// Turns the automatic check after each key off and on (for steps that leave a transient
// drawing on purpose, such as a panel shown while a key is held).
void KelpoAutoCheck(bool on);
