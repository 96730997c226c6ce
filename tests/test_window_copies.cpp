// Several running copies: each lists the others by directory in its Window menu, follows their
// directory changes, drops a copy that closes, and brings a listed copy to the front. The other
// copies are real Kelpo.EXE processes; this test's own window is the one whose menu is read.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <set>
#include <string>
#include <vector>
#include "app/app.h"
#include "app/copies.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include "resource.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"

namespace {

class WindowCopies : public KelpoWindowTest {
protected:
    std::vector<PROCESS_INFORMATION> started;
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        temp.MakeDir("mine");
        temp.MakeDir("alpha");
        temp.MakeDir("beta");
    }
    void TearDown() override
    {
        for (PROCESS_INFORMATION &p : started) {
            EnumThreadWindows(p.dwThreadId, CloseWindowOf, 0);
            for (int i = 0; i < 100 && WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT; i++) {
                KelpoPump();
                Sleep(50);
            }
            if (WaitForSingleObject(p.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(p.hProcess, 1);
            CloseHandle(p.hProcess);
            CloseHandle(p.hThread);
        }
        KelpoWindowTest::TearDown();
    }
    static BOOL CALLBACK CloseWindowOf(HWND window, LPARAM)
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return TRUE;
    }
    // Starts Kelpo.EXE beside this test on a directory and returns its main window.
    HWND StartCopy(const std::string &directory)
    {
        char exe[MAX_PATH];
        GetModuleFileNameA(NULL, exe, sizeof exe);
        std::string program(exe);
        program = program.substr(0, program.rfind('\\') + 1) + "Kelpo.EXE";
        std::string line = "\"" + program + "\" \"" + directory + "\"";
        STARTUPINFOA info = {};
        info.cb = sizeof info;
        PROCESS_INFORMATION process = {};
        std::vector<char> buffer(line.begin(), line.end());
        buffer.push_back('\0');
        if (!CreateProcessA(program.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &info, &process))
            return NULL;
        started.push_back(process);
        std::string title = "Kelpo - " + directory + "\\";
        for (int i = 0; i < 600; i++) {
            KelpoPump();
            HWND found = FindWindowA(MainClassName, title.c_str());
            if (found)
                return found;
            Sleep(50);
        }
        return NULL;
    }
    // The copy items of this window's Window menu.
    std::set<std::string> MenuItems()
    {
        std::set<std::string> items;
        HMENU menu = GetMenu(g_mainWnd);
        for (int id = IDM_WINDOW_FIRST; id <= IDM_WINDOW_LAST; id++) {
            char text[128];
            if (GetMenuStringA(menu, id, text, sizeof text, MF_BYCOMMAND) > 0)
                items.insert(text);
        }
        return items;
    }
    // A "&" of the directory is doubled in the item, so that the menu shows it.
    static std::string ItemText(const std::string &path)
    {
        char cut[64];
        TruncateBytes(path.c_str(), cut, 40);
        std::string item;
        for (const char *p = cut; *p; p++)
            item += *p == '&' ? std::string("&&") : std::string(1, *p);
        return item;
    }
    // Pumps until the menu holds these directories (numbered in any order) or time runs out.
    bool WaitForMenu(const std::set<std::string> &paths)
    {
        for (int i = 0; i < 400; i++) {
            KelpoPump();
            std::set<std::string> shown;
            for (const std::string &item : MenuItems())
                shown.insert(item.substr(item.find(' ') + 1));
            std::set<std::string> expected;
            for (const std::string &p : paths)
                expected.insert(ItemText(p));
            if (shown == expected)
                return true;
            Sleep(50);
        }
        return false;
    }
    static std::string Join(const std::set<std::string> &items)
    {
        std::string all;
        for (const std::string &s : items)
            all += "[" + s + "] ";
        return all;
    }
};

TEST_F(WindowCopies, MenusFollowTheOtherCopiesTheirDirectoriesAndTheirClosing)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.Full("mine")));
    EXPECT_TRUE(MenuItems().empty());
    HWND alpha = StartCopy(temp.Full("alpha"));
    ASSERT_NE(nullptr, alpha);
    HWND beta = StartCopy(temp.Full("beta"));
    ASSERT_NE(nullptr, beta);
    std::string alphaPath = temp.Full("alpha") + "\\", betaPath = temp.Full("beta") + "\\";
    ASSERT_TRUE(WaitForMenu({alphaPath, betaPath})) << Join(MenuItems());
    std::set<std::string> numbers;
    for (const std::string &item : MenuItems())
        numbers.insert(item.substr(0, 2));
    EXPECT_EQ((std::set<std::string>{"&1", "&2"}), numbers);
    // "&0 このKelpo" stays last and checked.
    HMENU menu = GetMenu(g_mainWnd);
    EXPECT_EQ(MF_CHECKED, GetMenuState(menu, IDM_THIS_COPY, MF_BYCOMMAND) & MF_CHECKED);

    // Alpha goes to its drive's root: the notice reaches this copy's menu.
    PostMessageA(alpha, WM_CHAR, '\\', 0);
    std::string root = alphaPath.substr(0, 3);
    EXPECT_TRUE(WaitForMenu({root, betaPath})) << Join(MenuItems());

    // Beta closes: it leaves the menu at once.
    PostMessageA(beta, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitForMenu({root})) << Join(MenuItems());

    // The remaining item brings alpha to the front.
    int alphaItem = -1;
    for (int id = IDM_WINDOW_FIRST; id <= IDM_WINDOW_LAST; id++)
        if (GetMenuState(menu, id, MF_BYCOMMAND) != (UINT)-1)
            alphaItem = id;
    ASSERT_GE(alphaItem, IDM_WINDOW_FIRST);
    SetForegroundWindow(g_mainWnd);
    KelpoPump();
    SendMessageA(g_mainWnd, WM_COMMAND, alphaItem, 0);
    bool front = false;
    for (int i = 0; i < 100 && !front; i++) {
        KelpoPump();
        front = GetForegroundWindow() == alpha;
        Sleep(20);
    }
    EXPECT_TRUE(front);
}

// The menu shows a long directory cut at 40 bytes between whole characters, its "&" as itself.
TEST_F(WindowCopies, LongDirectoriesAreCutBetweenCharacters)
{
    std::string deep = temp.MakeDir("A&B日本語のとても長いディレクトリの名前です");
    ASSERT_NO_FATAL_FAILURE(Start(temp.Full("mine")));
    HWND other = StartCopy(deep);
    ASSERT_NE(nullptr, other);
    ASSERT_TRUE(WaitForMenu({deep + "\\"})) << Join(MenuItems());
    std::string item = *MenuItems().begin();
    std::string shown = item.substr(item.find(' ') + 1);
    EXPECT_NE(std::string::npos, shown.find("\\A&&B")) << shown;
    EXPECT_LE(shown.size(), 41u);
    EXPECT_TRUE(IsWholeCharacters(shown.c_str()));
}

}   // namespace
