// The fixture of the window tests: the real main window on a scratch directory, with no stored
// settings before or after the test and the window closed at the end whatever the test did.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <gtest/gtest.h>
#include "testutil.h"
#include "window.h"

class KelpoWindowTest : public testing::Test {
protected:
    TempDir temp;
    void SetUp() override;
    void TearDown() override;
    // A listing to walk: files file00.txt on (file i holding i * 10 bytes) and a directory
    // "subdir" holding inner.txt.
    void MakeNumberedListing(int files);
    // Starts Kelpo on a directory and fails the test when no window comes up.
    void Start(const std::string &path);
    int Position();
    std::string CursorEntry();
    // Puts the cursor on the named entry with the keys: the first entry, then down.
    void GoTo(const char *name);
    // Handles the window's messages, its timer's too, until the condition holds or the time is up.
    bool PumpUntil(const std::function<bool()> &condition, DWORD milliseconds);
};
