// The message dialog as a user meets it: buttons, keys, icons, layout, and the reports of
// failed Windows calls.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "ui/msgdlg.h"
#include "ui_ids.h"
#include "dialogdriver.h"
#include "testutil.h"

namespace {

struct Opened {
    SeenDialog dialog;
    MessageDialogState state{};
    std::vector<std::string> lines;
    HWND owner = NULL;
    int result = 0;
    // The dummy button's measures.
    int W = 0, H = 0, L = 0, T = 0, G = 0;
};

class MessageDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(AllocateTables());
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "KelpoMsgTestMain";
        RegisterClassA(&wc);
        g_mainWnd = CreateWindowA("KelpoMsgTestMain", "Kelpo - test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  100, 80, 700, 500, NULL, NULL, GetModuleHandleA(NULL), NULL);
        ASSERT_TRUE(g_mainWnd != NULL);
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(g_mainWnd);
        g_mainWnd = NULL;
        FreeTables();
    }
    void SetUp() override
    {
        strcpy(ProgramDir, dir.path.c_str());   // no ERROR.DAT unless a test writes one
    }
    TempDir dir;
};

// Opens a MessageDialog, records what it shows, then lets act answer it like a user.
Opened Open(HWND owner, const char *text, UINT flags, std::function<void(HWND)> act,
            const char *caption = "Kelpo - Test")
{
    Opened o;
    DialogDriver driver;
    driver.Then([&](HWND dialog) {
        o.dialog = ReadDialog(dialog);
        o.state = g_messageDialog;
        for (int i = 0; i < g_messageDialog.lineCount; i++)
            o.lines.push_back(g_messageDialog.lines[i]);
        o.owner = GetWindow(dialog, GW_OWNER);
        act(dialog);
    });
    o.result = MessageDialog(owner, text, caption, flags);
    EXPECT_TRUE(driver.Done()) << "the dialog never appeared";
    EXPECT_EQ(0, driver.Unexpected());
    if (const SeenControl *dummy = o.dialog.Find(IDC_MESSAGE_DUMMY)) {
        o.W = dummy->rect.right - dummy->rect.left;
        o.H = dummy->rect.bottom - dummy->rect.top;
        o.L = dummy->rect.left;
        o.T = dummy->rect.top;
        o.G = o.L / 2;
    }
    return o;
}

Opened Press(UINT flags, int id, const char *text = "Continue?")
{
    return Open(g_mainWnd, text, flags, [id](HWND dialog) { PressButton(dialog, id); });
}

int Width(const RECT &r) { return r.right - r.left; }

struct TypeCase {
    UINT flags;
    std::vector<std::string> captions;
    std::vector<int> ids;
    bool escapeCloses;
};

const std::vector<TypeCase> &Types()
{
    static const std::vector<TypeCase> types = {
        {0, {"OK"}, {IDOK}, false},
        {1, {"OK", "ｷｬﾝｾﾙ"}, {IDOK, IDCANCEL}, true},
        {2, {"中止", "再試行", "無視"}, {IDABORT, IDRETRY, IDIGNORE}, false},
        {3, {"はい", "いいえ", "ｷｬﾝｾﾙ"}, {IDYES, IDNO, IDCANCEL}, true},
        {4, {"はい", "いいえ"}, {IDYES, IDNO}, false},
        {5, {"再試行", "ｷｬﾝｾﾙ"}, {IDRETRY, IDCANCEL}, true},
        {6, {"OK"}, {IDOK}, false},
        {15, {"OK"}, {IDOK}, false},
    };
    return types;
}

} // namespace

TEST(MessageLines, LineFeedsAtSignsAndTwentyLines)
{
    char buffer[MESSAGE_BUFFER];
    char *lines[MESSAGE_MAX_LINES];
    const struct {
        const char *text;
        std::vector<std::string> expected;
    } cases[] = {
        {"one\ntwo", {"one", "two"}},
        {"one\n\ntwo", {"one", "two"}},
        {"one@two", {"one", "two"}},
        {"\n\none\n", {"one"}},
        {"", {}},
        // 0x40 as the second byte of a double-byte character is no at sign.
        {"ァ\nｱ@ァ", {"ァ", "ｱ", "ァ"}},
    };
    for (const auto &c : cases) {
        DoubleLineFeeds(c.text, buffer);
        int n = SplitMessageLines(buffer, lines);
        std::vector<std::string> got(lines, lines + n);
        EXPECT_EQ(c.expected, got) << c.text;
    }

    std::string many;
    for (int i = 1; i <= 25; i++)
        many += "line" + std::to_string(i) + "\n";
    DoubleLineFeeds(many.c_str(), buffer);
    ASSERT_EQ(20, SplitMessageLines(buffer, lines));
    EXPECT_STREQ("line20", lines[19]);
}

TEST(MessageLines, OverlongTextCutAtWholeCharacter)
{
    std::string text(MESSAGE_BUFFER - 2, 'a');
    text += "亜亜";
    text += "\n";
    char buffer[MESSAGE_BUFFER];
    DoubleLineFeeds(text.c_str(), buffer);
    EXPECT_EQ((size_t)MESSAGE_BUFFER - 2, strlen(buffer));
    EXPECT_TRUE(IsWholeCharacters(buffer));
}

TEST_F(MessageDialogTest, EachTypeShowsItsButtonsInOrderAndReturnsThePressedId)
{
    for (const TypeCase &t : Types()) {
        for (size_t pressed = 0; pressed < t.ids.size(); pressed++) {
            Opened o = Press(t.flags, t.ids[pressed]);
            SCOPED_TRACE("flags " + std::to_string(t.flags) + " button " + std::to_string(pressed));
            std::vector<SeenControl> buttons = o.dialog.Buttons();
            ASSERT_EQ(t.ids.size(), buttons.size());
            for (size_t i = 0; i < buttons.size(); i++) {
                EXPECT_EQ(t.captions[i], buttons[i].text);
                EXPECT_EQ(t.ids[i], buttons[i].id);
                EXPECT_TRUE(buttons[i].enabled);
                EXPECT_EQ(i == 0, (buttons[i].style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
                EXPECT_TRUE(buttons[i].style & WS_TABSTOP);
                EXPECT_EQ(o.H, buttons[i].rect.bottom - buttons[i].rect.top);
                EXPECT_EQ(o.W, Width(buttons[i].rect));
            }
            EXPECT_EQ(t.ids[0], o.dialog.focusId);
            EXPECT_EQ("Kelpo - Test", o.dialog.caption);
            EXPECT_EQ(t.ids[pressed], o.result);
            EXPECT_EQ(g_mainWnd, o.owner);
            EXPECT_FALSE(GetWindowLongA(o.dialog.hwnd, GWL_STYLE) & WS_SYSMENU);
        }
    }
}

TEST_F(MessageDialogTest, EscapeClosesOnlyWhereCancelIsOffered)
{
    for (const TypeCase &t : Types()) {
        SCOPED_TRACE("flags " + std::to_string(t.flags));
        bool stayedOpen = false;
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            if (step == 0) {
                PressKey(dialog, VK_ESCAPE);
                return t.escapeCloses;
            }
            stayedOpen = true;
            PressButton(dialog, t.ids.back());
            return true;
        });
        int result = MessageDialog(g_mainWnd, "Escape?", "Kelpo - Test", t.flags);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
        if (t.escapeCloses) {
            EXPECT_EQ(IDCANCEL, result);
        } else {
            EXPECT_TRUE(stayedOpen);
            EXPECT_EQ(t.ids.back(), result);
        }
    }
}

TEST_F(MessageDialogTest, EnterPressesTheFirstButton)
{
    for (const TypeCase &t : Types()) {
        Opened o = Open(g_mainWnd, "Enter?", t.flags, [](HWND dialog) { PressKey(dialog, VK_RETURN); });
        EXPECT_EQ(t.ids[0], o.result) << "flags " << t.flags;
    }
}

TEST_F(MessageDialogTest, IconsAndTheTextBesideThem)
{
    const struct {
        UINT bits;
        LPCSTR icon;
    } icons[] = {{0x10, IDI_HAND}, {0x20, IDI_QUESTION}, {0x30, IDI_EXCLAMATION}, {0x40, IDI_ASTERISK},
                 {0x00, NULL}, {0x50, NULL}, {0xF0, NULL}};
    for (const auto &c : icons) {
        Opened o = Press(c.bits | MB_OK, IDOK);
        SCOPED_TRACE("icon bits " + std::to_string(c.bits));
        HICON expected = c.icon ? LoadIconA(NULL, c.icon) : NULL;
        EXPECT_EQ(expected, o.state.icon);
        int clientHeight = o.dialog.clientRect.bottom;
        int middle = (clientHeight - o.T - o.H) / 2;
        if (expected) {
            EXPECT_EQ(2 * o.L + 32, o.state.textOrigin.x);
            EXPECT_EQ(o.L, o.state.iconOrigin.x);
            EXPECT_EQ(middle - 16, o.state.iconOrigin.y);
            EXPECT_GE(clientHeight, 3 * o.T + o.H + 32);
        } else {
            EXPECT_EQ(o.L, o.state.textOrigin.x);
        }
        // The text stays above the buttons.
        int buttonTop = o.dialog.Buttons()[0].rect.top;
        EXPECT_LE(o.state.textOrigin.y + o.state.lineHeight * o.state.lineCount, buttonTop);
    }
}

TEST_F(MessageDialogTest, OkAloneIsCentredInTheWidthOfTwoButtons)
{
    Opened o = Press(MB_OK, IDOK, "OK");
    ASSERT_GT(o.W, 0);
    int width = o.dialog.clientRect.right;
    EXPECT_EQ(2 * o.W + o.G + 2 * o.L, width);
    EXPECT_EQ(3 * o.T + o.H + o.state.lineHeight, o.dialog.clientRect.bottom);
    std::vector<SeenControl> buttons = o.dialog.Buttons();
    ASSERT_EQ(1u, buttons.size());
    EXPECT_EQ(width / 2 - o.W / 2, buttons[0].rect.left);
    EXPECT_EQ(o.dialog.clientRect.bottom - o.T - o.H, buttons[0].rect.top);
    // The dummy never shows.
    const SeenControl *dummy = o.dialog.Find(IDC_MESSAGE_DUMMY);
    ASSERT_TRUE(dummy);
    EXPECT_FALSE(dummy->visible);
    EXPECT_FALSE(dummy->enabled);
}

TEST_F(MessageDialogTest, LongLineWidensTheDialogAndTheButtonsStayCentred)
{
    std::string longLine(60, 'W');
    SIZE size = {};
    Opened o = Open(g_mainWnd, ("short\n" + longLine).c_str(), MB_OKCANCEL | MB_ICONEXCLAMATION, [&](HWND dialog) {
        // The dialog's font lives as long as the dialog.
        HDC dc = GetDC(dialog);
        HGDIOBJ old = SelectObject(dc, g_messageDialog.font);
        GetTextExtentPoint32A(dc, longLine.c_str(), (int)longLine.size(), &size);
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
        PressButton(dialog, IDOK);
    });
    int width = o.dialog.clientRect.right;
    EXPECT_GT(width, 2 * o.W + o.G + 2 * o.L);
    EXPECT_EQ(2 * o.L + size.cx + o.L + 32, width);

    std::vector<SeenControl> b = o.dialog.Buttons();
    ASSERT_EQ(2u, b.size());
    EXPECT_NEAR(width, b[0].rect.left + b[1].rect.right, 1);
    EXPECT_NEAR(o.G, b[1].rect.left - b[0].rect.right, 1);
}

TEST_F(MessageDialogTest, ThreeButtonsFitInsideTheDialog)
{
    for (UINT flags : {MB_ABORTRETRYIGNORE, MB_YESNOCANCEL}) {
        Opened o = Press(flags, flags == MB_YESNOCANCEL ? IDYES : IDABORT, "?");
        std::vector<SeenControl> b = o.dialog.Buttons();
        ASSERT_EQ(3u, b.size());
        EXPECT_GE(b[0].rect.left, o.L / 2);
        EXPECT_LE(b[2].rect.right, o.dialog.clientRect.right - o.L / 2);
        EXPECT_NEAR(o.dialog.clientRect.right, b[0].rect.left + b[2].rect.right, 1);
        EXPECT_NEAR(o.G, b[1].rect.left - b[0].rect.right, 1);
        EXPECT_NEAR(o.G, b[2].rect.left - b[1].rect.right, 1);
    }
}

TEST_F(MessageDialogTest, TwentyFiveLinesShowTwenty)
{
    std::string text;
    for (int i = 1; i <= 25; i++)
        text += "line " + std::to_string(i) + "\n";
    Opened o = Press(MB_OK, IDOK, text.c_str());
    ASSERT_EQ(20u, o.lines.size());
    EXPECT_EQ("line 1", o.lines[0]);
    EXPECT_EQ("line 20", o.lines[19]);
    EXPECT_EQ(3 * o.T + o.H + 20 * o.state.lineHeight, o.dialog.clientRect.bottom);
    EXPECT_EQ(o.T, o.state.textOrigin.y);
}

TEST_F(MessageDialogTest, LinesOfTheShownText)
{
    Opened a = Press(MB_OK, IDOK, "first\nsecond");
    Opened b = Press(MB_OK, IDOK, "first\n\nsecond");
    Opened c = Press(MB_OK, IDOK, "first@second");
    std::vector<std::string> two = {"first", "second"};
    EXPECT_EQ(two, a.lines);
    EXPECT_EQ(two, b.lines);
    EXPECT_EQ(two, c.lines);
    EXPECT_EQ(a.dialog.clientRect.bottom, b.dialog.clientRect.bottom);
}

TEST_F(MessageDialogTest, DialogIsCentredOnTheMainWindow)
{
    Opened o = Press(MB_OK, IDOK, "centre");
    RECT m;
    GetWindowRect(g_mainWnd, &m);
    const RECT &d = o.dialog.windowRect;
    EXPECT_EQ(m.left + Width(m) / 2 - Width(d) / 2, d.left);
    EXPECT_EQ(m.top + (m.bottom - m.top) / 2 - (d.bottom - d.top) / 2, d.top);
}

TEST_F(MessageDialogTest, WithoutBuffersTheSystemMessageBoxAsksInstead)
{
    for (int failing : {1, 2}) {
        g_messageDialogFailBuffer = failing;
        Opened o = Open(g_mainWnd, "no memory", MB_YESNO | MB_ICONQUESTION,
                        [](HWND dialog) { PressButton(dialog, IDNO); });
        EXPECT_EQ(IDNO, o.result);
        EXPECT_EQ("Kelpo - Test", o.dialog.caption);
        EXPECT_FALSE(o.dialog.Find(IDC_MESSAGE_DUMMY)) << "our own template was used";
        bool textShown = false;
        for (const SeenControl &c : o.dialog.controls)
            textShown |= c.text == "no memory";
        EXPECT_TRUE(textShown);
    }
    EXPECT_EQ(0, g_messageDialogFailBuffer);
}

TEST_F(MessageDialogTest, DialogThatCannotBeCreatedGivesTheTypeDefault)
{
    const int defaults[] = {IDOK, IDCANCEL, IDRETRY, IDCANCEL, IDNO, IDCANCEL, IDOK};
    HWND gone = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    DestroyWindow(gone);
    for (UINT type = 0; type < 7; type++) {
        DialogDriver driver;
        EXPECT_EQ(defaults[type], MessageDialog(gone, "nobody sees this", "Kelpo - Test", type));
        EXPECT_EQ(0, driver.Unexpected());
        EXPECT_TRUE(driver.seen.empty());
    }
}

TEST_F(MessageDialogTest, AccessDeniedReport)
{
    Opened o;
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            o.dialog = ReadDialog(dialog);
            o.state = g_messageDialog;
            for (int i = 0; i < g_messageDialog.lineCount; i++)
                o.lines.push_back(g_messageDialog.lines[i]);
            o.owner = GetWindow(dialog, GW_OWNER);
            PressButton(dialog, IDOK);
        });
        SetLastError(ERROR_ACCESS_DENIED);
        ShowLastError(NULL, "DeleteFile", "C:\\データ\\報告.txt", NULL);
        EXPECT_TRUE(driver.Done());
    }
    std::vector<std::string> expected = {"ｱｸｾｽが拒否されました", "DeleteFile", "C:\\データ\\報告.txt"};
    EXPECT_EQ(expected, o.lines);
    EXPECT_EQ("Kelpo - Error", o.dialog.caption);
    EXPECT_EQ(LoadIconA(NULL, IDI_HAND), o.state.icon);
    std::vector<SeenControl> buttons = o.dialog.Buttons();
    ASSERT_EQ(1u, buttons.size());
    EXPECT_EQ("OK", buttons[0].text);
    EXPECT_EQ(IDOK, buttons[0].id);
    EXPECT_EQ(g_mainWnd, o.owner);
}

TEST_F(MessageDialogTest, ReportLinesForEachKindOfCode)
{
    const struct {
        DWORD code;
        const char *operation, *path1, *path2;
        std::vector<std::string> lines;
    } cases[] = {
        {1234, "MoveFile", "a", "b", {"UNKNOWN ERROR = 1234", "MoveFile", "a", "b"}},
        {0x20000005, NULL, NULL, NULL, {"ERROR OWN APPLICATION = 536870917"}},
        {ERROR_NOT_CONNECTED, "WNetGetConnection", NULL, "Z:", {"接続されていません", "WNetGetConnection", "Z:"}},
        {ERROR_DISK_FULL, NULL, "C:\\x", NULL, {"ﾃﾞｨｽｸがいっぱいです", "C:\\x"}},
    };
    for (const auto &c : cases) {
        std::vector<std::string> lines;
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            for (int i = 0; i < g_messageDialog.lineCount; i++)
                lines.push_back(g_messageDialog.lines[i]);
            PressButton(dialog, IDOK);
        });
        SetLastError(c.code);
        ShowLastError(g_mainWnd, c.operation, c.path1, c.path2);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(c.lines, lines);
    }
}

TEST_F(MessageDialogTest, ReportCountsTheErrorInTheTally)
{
    std::string record(64, ' ');
    memcpy(&record[0], "  9999", 6);
    memcpy(&record[6], "   9", 4);
    std::string file = dir.MakeFile("ERROR.DAT", record);
    DialogDriver driver;
    driver.Then([](HWND dialog) { PressButton(dialog, IDOK); });
    SetLastError(ERROR_FILE_NOT_FOUND);
    ShowLastError(NULL, "CopyMoveFile", NULL, NULL);
    EXPECT_TRUE(driver.Done());
    char back[65] = {};
    HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    DWORD got = 0;
    ReadFile(h, back, 64, &got, NULL);
    CloseHandle(h);
    EXPECT_EQ(64u, got);
    EXPECT_EQ(std::string("  10"), std::string(back + 6, 4));
}

TEST(ErrorSentence, TableTextsAndTheCodesWithout)
{
    const struct {
        DWORD code;
        const char *text;
    } cases[] = {
        {2, "ﾌｧｲﾙが見つかりません"},
        {5, "ｱｸｾｽが拒否されました"},
        {1123, "ﾌﾛｯﾋﾟｰﾃﾞｨｽｸのｼﾘﾝﾀﾞｰが間違っています"},
        {2250, "接続されていません"},
        {0x80070005, "ｱｸｾｽが拒否されました"},      // the low 16 bits name the error
        {7, "UNKNOWN ERROR = 7"},
        {0, "UNKNOWN ERROR = 0"},
        {25005, "UNKNOWN ERROR = 25005"},         // the program's other texts are never errors
        {0xFFFFFFFF, "ERROR OWN APPLICATION = 4294967295"},
    };
    char sentence[ERROR_SENTENCE];
    for (const auto &c : cases) {
        FormatErrorSentence(c.code, sentence);
        EXPECT_STREQ(c.text, sentence) << c.code;
    }
}

TEST(ErrorSentence, AllFiftyTwoTextsFitInTheField)
{
    const DWORD codes[] = {2, 3, 4, 5, 6, 8, 9, 11, 12, 14, 15, 16, 18, 19, 21, 26, 27, 29, 30, 32, 33, 34, 65,
                           80, 86, 87, 88, 107, 108, 112, 125, 143, 145, 154, 161, 193, 266, 534, 1001, 1006, 1012,
                           1013, 1110, 1112, 1122, 1123, 1124, 1125, 1126, 1127, 1128, 2250};
    ASSERT_EQ(52u, sizeof codes / sizeof codes[0]);
    char sentence[ERROR_SENTENCE];
    for (DWORD code : codes) {
        FormatErrorSentence(code, sentence);
        EXPECT_NE(0, strncmp(sentence, "UNKNOWN", 7)) << code;
        EXPECT_LE(strlen(sentence), 39u) << code;
        EXPECT_TRUE(IsWholeCharacters(sentence)) << code;
    }
}
