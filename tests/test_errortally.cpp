// The ERROR.DAT tally: a count field of one whole record changes, nothing else ever does.
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "ui/msgdlg.h"
#include "testutil.h"

namespace {

std::string Record(const char *code, const char *count, const char *text = "")
{
    std::string r(64, ' ');
    memcpy(&r[0], code, strlen(code) < 6 ? strlen(code) : 6);
    memcpy(&r[6], count, strlen(count) < 4 ? strlen(count) : 4);
    memcpy(&r[10], text, strlen(text) < 54 ? strlen(text) : 54);
    return r;
}

struct Tally {
    TempDir dir;
    std::string file;
    explicit Tally(const std::string &content) { file = dir.MakeFile("ERROR.DAT", content); }
    TallyResult Count(DWORD code) { return TallyError(dir.path.c_str(), code); }
    std::string Content() { return ReadAll(file); }
};

} // namespace

TEST(ErrorTally, CountOfTheCodesOwnRecordGrows)
{
    std::string before = Record("     2", "  12", "file not found") + Record("     5", "   9", "denied 77") +
                         Record("  9999", "   0", "others");
    Tally t(before);
    EXPECT_EQ(TALLY_COUNTED, t.Count(5));
    std::string expected = before;
    memcpy(&expected[64 + 6], "  10", 4);
    EXPECT_EQ(expected, t.Content());

    EXPECT_EQ(TALLY_COUNTED, t.Count(2));
    memcpy(&expected[6], "  13", 4);
    EXPECT_EQ(expected, t.Content());
}

TEST(ErrorTally, CodeWithoutRecordCountsInTheCatchAll)
{
    std::string before = Record("     2", "   1") + Record("  9999", "  41") + Record("    87", "   3");
    Tally t(before);
    // The scan stops at the catch-all, even with the code's record behind it.
    EXPECT_EQ(TALLY_COUNTED, t.Count(87));
    std::string expected = before;
    memcpy(&expected[64 + 6], "  42", 4);
    EXPECT_EQ(expected, t.Content());
}

TEST(ErrorTally, CodeFieldsAndCountFieldsAsWritten)
{
    // Code fields: blanks before, anything after the digits; blank count fields are zero.
    std::string before = Record("12abcd", "    ") + Record("999999", "1   ") + Record("    33", "0007");
    Tally t(before);
    EXPECT_EQ(TALLY_COUNTED, t.Count(12));
    EXPECT_EQ(TALLY_COUNTED, t.Count(999999));
    EXPECT_EQ(TALLY_COUNTED, t.Count(33));
    std::string expected = before;
    memcpy(&expected[6], "   1", 4);
    memcpy(&expected[64 + 6], "   2", 4);
    memcpy(&expected[128 + 6], "   8", 4);
    EXPECT_EQ(expected, t.Content());
}

TEST(ErrorTally, FullCountStaysAtItsLimit)
{
    std::string before = Record("     5", "9999") + Record("  9999", "9998");
    Tally t(before);
    EXPECT_EQ(TALLY_COUNTED, t.Count(5));
    EXPECT_EQ(before, t.Content());
    EXPECT_EQ(TALLY_COUNTED, t.Count(3));
    EXPECT_EQ(TALLY_COUNTED, t.Count(3));
    std::string expected = before;
    memcpy(&expected[64 + 6], "9999", 4);
    EXPECT_EQ(expected, t.Content());
}

TEST(ErrorTally, FilesThatAreLeftAlone)
{
    std::string garbage;
    for (int i = 0; i < 1000; i++)
        garbage += (char)(0x80 + (i * 37) % 0x80);
    std::string nul(200, '\0');
    const struct {
        const char *what;
        std::string content;
        DWORD code;
        TallyResult result;
    } cases[] = {
        {"empty", "", 5, TALLY_NO_RECORD},
        {"shorter than a record", Record("     5", "   1").substr(0, 40), 5, TALLY_NO_RECORD},
        {"catch-all cut short", Record("     2", "   1") + Record("  9999", "   1").substr(0, 9), 5, TALLY_NO_RECORD},
        {"count cut short", Record("     2", "   1") + Record("     5", "   1").substr(0, 8), 5, TALLY_NO_RECORD},
        {"no catch-all", Record("     2", "   1") + Record("     3", "   1"), 5, TALLY_NO_RECORD},
        {"binary garbage", garbage, 5, TALLY_NO_RECORD},
        {"zeros", nul, 0, TALLY_NO_RECORD},
        {"garbage matched by no code", garbage, 0xFFFFFFFF, TALLY_NO_RECORD},
        {"count not a number", Record("     5", "ab12") + Record("  9999", "   1"), 5, TALLY_BAD_COUNT},
        {"digits inside the count", Record("     5", " 1 2"), 5, TALLY_BAD_COUNT},
        {"zero byte in the count", Record("     5", "   1").replace(7, 1, 1, '\0'), 5, TALLY_BAD_COUNT},
    };
    for (const auto &c : cases) {
        Tally t(c.content);
        EXPECT_EQ(c.result, t.Count(c.code)) << c.what;
        EXPECT_EQ(c.content, t.Content()) << c.what;
    }
}

TEST(ErrorTally, MissingReadOnlyOrLockedFileIsSkipped)
{
    TempDir dir;
    EXPECT_EQ(TALLY_NO_FILE, TallyError(dir.path.c_str(), 5));
    EXPECT_EQ("<missing>", ReadAll(dir.Full("ERROR.DAT"))) << "the tally file must never be created";
    EXPECT_EQ(TALLY_NO_FILE, TallyError("", 5));
    EXPECT_EQ(TALLY_NO_FILE, TallyError(NULL, 5));

    std::string content = Record("     5", "   1");
    std::string file = dir.MakeFile("ERROR.DAT", content, FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(TALLY_NO_FILE, TallyError(dir.path.c_str(), 5));
    EXPECT_EQ(content, ReadAll(file));

    SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE holder = CreateFileA(file.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(TALLY_NO_FILE, TallyError(dir.path.c_str(), 5));
    CloseHandle(holder);
    EXPECT_EQ(content, ReadAll(file));

    // With the trailing backslash too.
    EXPECT_EQ(TALLY_COUNTED, TallyError((dir.path + "\\").c_str(), 5));
    EXPECT_EQ(std::string("   2"), ReadAll(file).substr(6, 4));
}

TEST(ErrorTally, DirectoryNamedLikeTheFile)
{
    TempDir dir;
    dir.MakeDir("ERROR.DAT");
    EXPECT_EQ(TALLY_NO_FILE, TallyError(dir.path.c_str(), 5));
}

TEST(ErrorTally, RecordFarIntoALongFile)
{
    std::string content;
    for (int i = 0; i < 3000; i++) {
        char code[8];
        snprintf(code, sizeof code, "%6d", 10000 + i);
        content += Record(code, "   0");
    }
    content += Record("  9999", "   5");
    Tally t(content);
    EXPECT_EQ(TALLY_COUNTED, t.Count(12999));
    EXPECT_EQ(TALLY_COUNTED, t.Count(7));
    std::string expected = content;
    memcpy(&expected[2999 * 64 + 6], "   1", 4);
    memcpy(&expected[3000 * 64 + 6], "   6", 4);
    EXPECT_EQ(expected, t.Content());
}
