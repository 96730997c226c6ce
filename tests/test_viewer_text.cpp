// The viewer's conversion of file bytes into display lines, and the loader on real files.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "base/globals.h"
#include "config/settings.h"
#include "viewer/viewer.h"
#include "support/testutil.h"

namespace {

struct Shown {
    std::string text;
    int flags;
    int length;
};

std::string TextOf(const ViewerLine &line)
{
    return std::string(line.text, strnlen(line.text, VIEWER_COLUMNS));
}

// Converts data fed in pieces of pieceSize bytes (0: all at once).
std::vector<ViewerLine> Convert(const std::string &data, int hex = 0, int tab = 8, int pieceSize = 0,
                                int capacity = 4096)
{
    std::vector<ViewerLine> lines(capacity);
    ViewerConverter c;
    StartViewerConversion(&c, lines.data(), capacity, hex, tab);
    const BYTE *bytes = (const BYTE *)data.data();
    int size = (int)data.size(), step = pieceSize > 0 ? pieceSize : (size > 0 ? size : 1);
    for (int at = 0; at < size; at += step)
        ConvertViewerBytes(&c, bytes + at, size - at < step ? size - at : step);
    FinishViewerConversion(&c);
    lines.resize(c.count);
    return lines;
}

std::string Describe(const std::vector<ViewerLine> &lines)
{
    std::string all;
    for (const ViewerLine &l : lines) {
        char head[32];
        snprintf(head, sizeof head, "[%d,%d] ", l.flags, l.length);
        all += head + TextOf(l) + "|\n";
    }
    return all;
}

void ExpectLines(const std::vector<ViewerLine> &lines, const std::vector<Shown> &expected, const char *name)
{
    ASSERT_EQ(expected.size(), lines.size()) << name << "\n" << Describe(lines);
    for (size_t i = 0; i < lines.size(); i++) {
        EXPECT_EQ(expected[i].text, TextOf(lines[i])) << name << " line " << i;
        EXPECT_EQ(expected[i].flags, lines[i].flags) << name << " line " << i;
        if (lines[i].flags & VIEWER_LINE_END) {
            EXPECT_EQ(expected[i].length, lines[i].length) << name << " line " << i;
        }
        EXPECT_EQ(0, lines[i].terminator) << name << " line " << i;
        // Whatever follows the text is zero, so the text is drawn exactly as converted.
        for (size_t k = TextOf(lines[i]).size(); k < VIEWER_COLUMNS; k++)
            ASSERT_EQ(0, lines[i].text[k]) << name << " line " << i << " byte " << k;
    }
}

const int LE = VIEWER_LINE_END, MK = VIEWER_MARKERS;
const std::string X79(79, 'x'), X80(80, 'x');

struct TextCase {
    const char *name;
    std::string input;
    int tab;
    std::vector<Shown> lines;
};

TEST(ViewerText, TextFormTable)
{
    const std::vector<TextCase> cases = {
        {"CR LF", "abc\r\ndef\r\n", 8, {{"abc", LE, 3}, {"def", LE, 3}}},
        {"LF only", "abc\ndef\n", 8, {{"abc", LE, 3}, {"def", LE, 3}}},
        {"CR only", "ab\rc\r", 8, {{"ab\x01M", MK, 0}, {"c\x01M", MK, 0}}},
        {"CR CR LF", "a\r\r\nb", 8, {{"a\x01M", MK, 0}, {"", LE, 0}, {"b", 0, 0}}},
        {"no final line feed", "abc\ndef", 8, {{"abc", LE, 3}, {"def", 0, 0}}},
        {"empty file", "", 8, {}},
        {"only a line feed", "\n", 8, {{"", LE, 0}}},
        {"100 characters wrap", std::string(100, 'y') + "\n", 8, {{std::string(80, 'y'), 0, 0}, {std::string(20, 'y'), LE, 20}}},
        {"exactly 80 characters", X80 + "\n", 8, {{X80, 0, 0}, {"", LE, 0}}},
        {"double-byte at column 79", X79 + "亜b", 8, {{X79, 0, 0}, {"亜b", 0, 0}}},
        {"double-byte at column 78", std::string(78, 'x') + "亜b", 8, {{std::string(78, 'x') + "亜", 0, 0}, {"b", 0, 0}}},
        {"second byte 0x5C", "表示\\n\r\n", 8, {{"表示\\n", LE, 6}}},
        {"half-width katakana", "ｶﾀｶﾅ ﾃｽﾄ\n", 8, {{"ｶﾀｶﾅ ﾃｽﾄ", LE, 8}}},
        {"tab width 8", "\tA\tB\n", 8, {{"        A       B", LE, 17}}},
        {"tab width 4", "\tA\tB\n", 4, {{"    A   B", LE, 9}}},
        {"tab width 2", "\tA\tB\n", 2, {{"  A B", LE, 5}}},
        {"tab on a stop", "abcd\tX", 4, {{"abcd    X", 0, 0}}},
        {"tab at column 78", std::string(78, 'x') + "\tA", 8, {{std::string(78, 'x'), 0, 0}, {"        A", 0, 0}}},
        {"tab at column 72", std::string(72, 'x') + "\tA", 8, {{std::string(72, 'x'), 0, 0}, {"        A", 0, 0}}},
        {"tab at column 71", std::string(71, 'x') + "\tA", 8, {{std::string(71, 'x') + " A", 0, 0}}},
        {"tab width 2 at column 78", std::string(78, 'x') + "\tA", 2, {{std::string(78, 'x'), 0, 0}, {"  A", 0, 0}}},
        {"bell", "a\x07" "b\n", 8, {{"a\x01Gb", MK | LE, 4}}},
        {"NUL bytes", std::string("a\0\0b", 4), 8, {{"a\x01@\x01@b", MK, 0}}},
        {"form feed and escape", "\x0C\x1B", 8, {{"\x01L\x01[", MK, 0}}},
        {"end-of-file byte", "ab\x1A", 8, {{"ab\x1A", MK, 0}}},
        {"control at column 79", X79 + "\x01", 8, {{X79, 0, 0}, {"\x01" "A", MK, 0}}},
        {"end-of-file byte at column 79", X79 + "\x1A", 8, {{X79, 0, 0}, {"\x1A", MK, 0}}},
        {"bare CR at column 79", X79 + "\ry", 8, {{X79, 0, 0}, {"\x01M", MK, 0}, {"y", 0, 0}}},
        {"lone lead byte at the end", "ab\x88", 8, {{"ab\xA5", 0, 0}}},
        {"lead byte before a line feed", "a\x88\nb", 8, {{"a\xA5", LE, 2}, {"b", 0, 0}}},
        {"lead byte before NUL", std::string("\x88\0", 2), 8, {{"\xA5\x01@", MK, 0}}},
        {"lead byte before a tab", "\x88\tZ", 4, {{"\xA5   Z", 0, 0}}},
    };
    for (const TextCase &t : cases)
        ExpectLines(Convert(t.input, 0, t.tab), t.lines, t.name);
}

// Reading in pieces gives the same lines as reading at once, wherever the pieces are cut,
// in particular between the two bytes of a character.
TEST(ViewerText, PiecesDoNotChangeTheResult)
{
    std::string text;
    for (int i = 0; i < 40; i++)
        text += "日本語\tｶﾅ表\\示\r\nline\x07\r" + std::string(i * 3, 'w') + "漢字\n";
    std::vector<ViewerLine> whole = Convert(text, 0, 4);
    for (int piece : {1, 2, 3, 7, 1024}) {
        std::vector<ViewerLine> pieces = Convert(text, 0, 4, piece);
        ASSERT_EQ(Describe(whole), Describe(pieces)) << "piece " << piece;
    }
    std::vector<ViewerLine> hexWhole = Convert(text, 1), hexPieces = Convert(text, 1, 8, 5);
    EXPECT_EQ(Describe(hexWhole), Describe(hexPieces));
}

TEST(ViewerText, HexForm)
{
    std::string data;
    for (int i = 0; i < 32; i++)
        data += (char)(i < 16 ? 'A' + i : i - 16);
    std::vector<ViewerLine> lines = Convert(data, 1);
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ(" 00000000 : 41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50   ABCDEFGHIJKLMNOP", TextOf(lines[0]));
    std::string dots(16, '\xA5');
    EXPECT_EQ(" 00000010 : 00 01 02 03 04 05 06 07  08 09 0A 0B 0C 0D 0E 0F   " + dots, TextOf(lines[1]));
    EXPECT_EQ(0, lines[0].flags);
    // The columns match the hex header.
    std::string header = ViewerHexHeader;
    ASSERT_EQ(80u, header.size());
    EXPECT_EQ(12u, header.find("+0"));
    EXPECT_EQ(37u, header.find("+8"));
    EXPECT_EQ(63u, header.find("ASCII"));
    EXPECT_EQ("41", TextOf(lines[0]).substr(12, 2));
    EXPECT_EQ("49", TextOf(lines[0]).substr(37, 2));
    EXPECT_EQ('A', TextOf(lines[0])[63]);

    // A last group of fewer than 16 bytes makes one more line, padded.
    lines = Convert(data + "xyz", 1);
    ASSERT_EQ(3u, lines.size());
    std::string last = TextOf(lines[2]);
    EXPECT_EQ(" 00000020 : 78 79 7A" + std::string(63 - 20, ' ') + "xyz" + std::string(13, ' '), last);
    EXPECT_TRUE(Convert("", 1).empty());

    // Double-byte characters show whole in the character part; a cut one shows as a dot.
    std::string sjis = std::string(14, 'a') + "亜" + std::string(15, 'b') + "漢";
    lines = Convert(sjis, 1);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(std::string(14, 'a') + "亜", TextOf(lines[0]).substr(63, 16));
    EXPECT_EQ(std::string(15, 'b') + "\xA5", TextOf(lines[1]).substr(63, 16));
    EXPECT_EQ("\xBF" + std::string(15, ' '), TextOf(lines[2]).substr(63, 16));
}

TEST(ViewerText, FullBufferIsNeverOverrun)
{
    for (int hex = 0; hex <= 1; hex++) {
        const int capacity = 5;
        std::vector<ViewerLine> lines(capacity + 1);
        memset(&lines[capacity], 0xEE, sizeof lines[capacity]);
        ViewerConverter c;
        StartViewerConversion(&c, lines.data(), capacity, hex, 8);
        std::string data(400, '\n');
        EXPECT_FALSE(ConvertViewerBytes(&c, (const BYTE *)data.data(), (int)data.size()));
        EXPECT_TRUE(c.full);
        EXPECT_FALSE(ConvertViewerBytes(&c, (const BYTE *)"abc\r\n", 5));
        FinishViewerConversion(&c);
        EXPECT_EQ(capacity, c.count) << "hex " << hex;
        for (size_t k = 0; k < sizeof lines[capacity]; k++)
            ASSERT_EQ(0xEE, ((BYTE *)&lines[capacity])[k]) << "hex " << hex << " byte " << k;
    }
    // A line that is still being written when the buffer fills is not counted twice.
    std::vector<ViewerLine> lines = Convert("a\nb\nc\nd", 0, 8, 0, 3);
    EXPECT_EQ(3u, lines.size());
}

class ViewerLoad : public testing::Test {
protected:
    TempDir temp;
    static void SetUpTestSuite() { ASSERT_TRUE(AllocateTables()); }
    static void TearDownTestSuite() { FreeTables(); }
    void SetUp() override
    {
        SetDefaultSettings();
        Settings.tab = 8;
        Settings.disprow = 20;
        ASSERT_TRUE(AllocateViewerBuffer());
        HexForm = 0;
    }
    void TearDown() override { FreeViewerBuffer(); }
    int Load(const std::string &name, const std::string &content, int form = -1)
    {
        strcpy(ViewerFilePath, temp.MakeFile(name, content).c_str());
        return LoadViewerText(NULL, form);
    }
    std::string Line(int r) { return TextOf(ViewerLines[r]); }
};

TEST_F(ViewerLoad, StopsAtTheLineLimit)
{
    std::string text;
    for (int i = 0; i < 30000; i++) {
        char line[16];
        snprintf(line, sizeof line, "line%05d\r\n", i);
        text += line;
    }
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("30000.txt", text));
    EXPECT_EQ(0u, ViewerLoadError);
    // Reading stops after the 1,024-byte chunk in which the 25,000th line ends.
    int chunkEnd = ((25000 * 11 - 1) / 1024 + 1) * 1024;
    ASSERT_NE(0, chunkEnd % 11);
    EXPECT_EQ(chunkEnd / 11 + 1, ViewerLineCount);
    EXPECT_EQ("line00000", Line(0));
    EXPECT_EQ("line24999", Line(24999));
    EXPECT_EQ(LE, ViewerLines[24999].flags);
    // The line cut by the chunk's end is shown as far as it was read.
    EXPECT_EQ(text.substr((chunkEnd / 11) * 11, chunkEnd % 11), Line(ViewerLineCount - 1));
    EXPECT_EQ(0, ViewerLines[ViewerLineCount - 1].flags);
}

TEST_F(ViewerLoad, LineFeedsThatWouldOverflowTheBufferStopAtItsEnd)
{
    // The chunk in which the limit is reached holds over a thousand more lines than fit.
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("feeds.txt", std::string(30000, '\n')));
    EXPECT_EQ((int)VIEWER_CAPACITY, ViewerLineCount);
    EXPECT_EQ(25266, (int)VIEWER_CAPACITY);
    EXPECT_EQ(LE, ViewerLines[VIEWER_CAPACITY - 1].flags);
    // Bare carriage returns make a line each as well.
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("returns.txt", std::string(30000, '\r')));
    EXPECT_EQ((int)VIEWER_CAPACITY, ViewerLineCount);
    EXPECT_EQ("\x01M", Line(VIEWER_CAPACITY - 1));
}

TEST_F(ViewerLoad, HexFormStopsAtTheLimitToo)
{
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("big.bin", std::string(500000, '\x01'), 1));
    EXPECT_EQ(0, HexForm);
    // 64 lines a chunk: the chunk in which line 25,000 is made ends at line 25,024.
    EXPECT_EQ(25024, ViewerLineCount);
    EXPECT_EQ(" 000061B0 :", Line(0x61B).substr(0, 11));
}

TEST_F(ViewerLoad, FilesOfEveryKind)
{
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("empty.txt", ""));
    EXPECT_EQ(0, ViewerLineCount);

    HexForm = 1;
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("sjis.txt", "ｶﾅ漢字\tx\r\n表\\n"));
    EXPECT_EQ(0, HexForm);
    ASSERT_EQ(2, ViewerLineCount);
    EXPECT_EQ("ｶﾅ漢字  x", Line(0));
    EXPECT_EQ("表\\n", Line(1));

    std::string binary;
    for (int i = 0; i < 40; i++)
        binary += (char)(i * 7);
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("data.bin", binary, 1));
    ASSERT_EQ(3, ViewerLineCount);
    EXPECT_EQ(" 00000020 : E0 E7 EE F5 FC 03 0A 11", Line(2).substr(0, 35));

    // A character whose lead byte ends a 1,024-byte chunk stays whole.
    std::string cut = std::string(1023, 'a') + "亜" + std::string(100, 'b');
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("cut.txt", cut));
    ASSERT_EQ(15, ViewerLineCount);
    EXPECT_EQ(std::string(63, 'a') + "亜" + std::string(15, 'b'), Line(12));
    // The last byte of the file is a lead byte.
    EXPECT_EQ(VIEWER_LOAD_DONE, Load("half.txt", "abc\r\nde\x93"));
    ASSERT_EQ(2, ViewerLineCount);
    EXPECT_EQ("de\xA5", Line(1));
}

TEST_F(ViewerLoad, FilesThatCannotBeOpenedLeaveTheLinesAlone)
{
    ASSERT_EQ(VIEWER_LOAD_DONE, Load("first.txt", "one\ntwo\n"));
    ASSERT_EQ(2, ViewerLineCount);

    strcpy(ViewerFilePath, temp.Full("gone.txt").c_str());
    EXPECT_EQ(VIEWER_LOAD_FAILED, LoadViewerText(NULL, 1));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, ViewerLoadError);
    EXPECT_EQ(2, ViewerLineCount);
    EXPECT_EQ("two", Line(1));
    EXPECT_EQ(0, HexForm);

    std::string locked = temp.MakeFile("locked.txt", "secret\n");
    HANDLE holder = CreateFileA(locked.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    strcpy(ViewerFilePath, locked.c_str());
    EXPECT_EQ(VIEWER_LOAD_FAILED, LoadViewerText(NULL, -1));
    EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, ViewerLoadError);
    EXPECT_EQ("one", Line(0));
    CloseHandle(holder);
    EXPECT_EQ(VIEWER_LOAD_DONE, LoadViewerText(NULL, -1));
    EXPECT_EQ("secret", Line(0));

    // A file another program is writing can be viewed.
    HANDLE writer = CreateFileA(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(VIEWER_LOAD_DONE, LoadViewerText(NULL, -1));
    CloseHandle(writer);
    EXPECT_EQ(1, ViewerLineCount);
}

TEST_F(ViewerLoad, FirstLineForTheEditor)
{
    ScreenMode = 1;
    ViewerTop = 100;
    HexForm = 0;
    EXPECT_EQ(100, ViewerFirstLineForEditor());
    HexForm = 1;
    EXPECT_EQ(-1, ViewerFirstLineForEditor());
    HexForm = 0;
    ScreenMode = 0;
    EXPECT_EQ(-1, ViewerFirstLineForEditor());
    ViewerTop = 0;
}

}   // namespace
