#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "filelist/pathutil.h"
#include "support/testutil.h"

// Literals are compiled to Shift-JIS: "ソ" is 0x83 0x5C, its second byte a backslash.
TEST(PathUtilCodePage, LiteralsAreShiftJis)
{
    ASSERT_EQ(932u, GetACP());
    const unsigned char *so = (const unsigned char *)"ソ";
    EXPECT_EQ(0x83, so[0]);
    EXPECT_EQ(0x5C, so[1]);
    EXPECT_TRUE(IsLeadByte(0x83));
    EXPECT_FALSE(IsLeadByte(0xB1)); // half-width katakana is a single byte
}

TEST(PathUtilCase, UpperAndLowerTouchAsciiOnly)
{
    char s[64] = "abcソz表xｱｲｳ";
    UpperAscii(s);
    EXPECT_STREQ("ABCソZ表Xｱｲｳ", s);
    // Second bytes in the letter range (0x61..0x7A) of double-byte characters stay as they are.
    char t[64] = "ａｂ"; // 0x82 0x81, 0x82 0x82
    char before[64];
    strcpy(before, t);
    LowerAscii(t);
    EXPECT_STREQ(before, t);
    char u[64] = "\x83\x61\x83\x62x"; // "ダヂ" second bytes 'a' and 'b'
    UpperAscii(u);
    EXPECT_STREQ("\x83\x61\x83\x62X", u);
    LowerAscii(strcpy(u, "ABC\x83\x41"));
    EXPECT_STREQ("abc\x83\x41", u);
}

TEST(PathUtilReplace, ReplacesEveryOccurrenceFromTheLeft)
{
    char buf[1024] = "copy $F to $F.bak";
    EXPECT_EQ(1, ReplaceAll(buf, "$F", "a.txt"));
    EXPECT_STREQ("copy a.txt to a.txt.bak", buf);
    EXPECT_EQ(0, ReplaceAll(buf, "$X", "zzz"));
    EXPECT_STREQ("copy a.txt to a.txt.bak", buf);
}

TEST(PathUtilReplace, ReplacementHoldingTheSearchTextEnds)
{
    char buf[1024] = "edit $F and $F";
    EXPECT_EQ(1, ReplaceAll(buf, "$F", "my$Ffile"));
    EXPECT_STREQ("edit my$Ffile and my$Ffile", buf);
    char grow[1024] = "aa";
    EXPECT_EQ(1, ReplaceAll(grow, "a", "aa"));
    EXPECT_STREQ("aaaa", grow);
}

TEST(PathUtilReplace, DoesNotMatchInsideDoubleByteCharacters)
{
    // "ソ" ends in 0x5C: searching for "\" must not find its second byte.
    char buf[1024] = "ソ\\表";
    EXPECT_EQ(1, ReplaceAll(buf, "\\", "/"));
    EXPECT_STREQ("ソ/表", buf);
    char none[1024] = "ソ十能";
    EXPECT_EQ(0, ReplaceAll(none, "\\", "/"));
    EXPECT_STREQ("ソ十能", none);
}

TEST(PathUtilReplace, NeverWritesPastTheBuffer)
{
    char buf[16 + 4];
    memset(buf, 'Z', sizeof buf);
    strcpy(buf, "a a a a");
    ReplaceAll(buf, "a", "xyz", 14);
    EXPECT_LT(strlen(buf), 14u);
    EXPECT_EQ('Z', buf[19]);
    EXPECT_EQ(0, strncmp(buf, "xyz xyz xyz a", 13));
}

TEST(PathUtilQuotes, QuoteAndUnquote)
{
    char s[1024] = "C:\\Program Files\\x.exe";
    QuoteIfSpaced(s);
    EXPECT_STREQ("\"C:\\Program Files\\x.exe\"", s);
    Unquote(s);
    EXPECT_STREQ("C:\\Program Files\\x.exe", s);
    char plain[1024] = "C:\\WORK";
    QuoteIfSpaced(plain);
    EXPECT_STREQ("C:\\WORK", plain);
    char one[8] = "\"";
    Unquote(one);
    EXPECT_STREQ("\"", one);
    char fullwidth[1024] = "日本　語"; // a full-width space is no blank
    QuoteIfSpaced(fullwidth);
    EXPECT_STREQ("日本　語", fullwidth);
}

TEST(PathUtilTrim, TrailingHalfAndFullWidthSpaces)
{
    char s[64] = "abc 　 ";
    EXPECT_EQ(3, TrimTrailingSpaces(s));
    EXPECT_STREQ("abc", s);
    // 0x81 0x40 inside a character sequence: "ー" is 0x81 0x5B; "＠" is 0x81 0x97.
    char t[64] = "\x81\x81\x40"; // "＝" (0x81 0x81) then a lone '@'
    EXPECT_EQ(3, TrimTrailingSpaces(t));
    char all[64] = "　 　";
    EXPECT_EQ(0, TrimTrailingSpaces(all));
    EXPECT_STREQ("", all);
}

TEST(PathUtilBackslash, TrailingBackslashOfDoubleByteCharacterIsNoSeparator)
{
    char p[1024] = "C:\\ソ";
    EXPECT_EQ(6, AppendBackslash(p));
    EXPECT_STREQ("C:\\ソ\\", p);
    EXPECT_EQ(6, AppendBackslash(p));
    EXPECT_EQ(5, StripBackslash(p));
    EXPECT_STREQ("C:\\ソ", p);
    EXPECT_EQ(5, StripBackslash(p)); // ends in 0x5C, but as a second byte
    EXPECT_STREQ("C:\\ソ", p);
    char c[1024] = "C:";
    EXPECT_EQ(3, StripBackslash(c));
    EXPECT_STREQ("C:\\", c);
    char d[1024] = "C:\\DIR\\";
    EXPECT_EQ(6, StripBackslash(d));
    EXPECT_STREQ("C:\\DIR", d);
    char root[1024] = "D:\\";
    EXPECT_EQ(3, StripBackslash(root));
    EXPECT_STREQ("D:\\", root);
    // An empty text stays empty; nothing is written after its terminator.
    char empty[8] = {'\0', 'x', 'y', 'z', 'w', 0, 0, 0};
    EXPECT_EQ(0, StripBackslash(empty));
    EXPECT_EQ(0, memcmp(empty, "\0xyzw", 5));
    char one[8] = {'C', '\0', 'y', 'z', 'w', 0, 0, 0};
    EXPECT_EQ(1, StripBackslash(one));
    EXPECT_EQ(0, memcmp(one, "C\0yzw", 5));
}

TEST(PathUtilExtension, ShortExtension)
{
    char out[16];
    ShortExtension("README.TXT", out);
    EXPECT_STREQ("TXT", out);
    ShortExtension("A.B.C", out);
    EXPECT_STREQ("C", out);
    ShortExtension(".PROFILE", out);
    EXPECT_STREQ("", out);
    ShortExtension("MAKEFILE", out);
    EXPECT_STREQ("", out);
}

TEST(PathUtilTruncate, CutsBetweenWholeCharacters)
{
    char out[64];
    TruncateBytes("abcdef", out, 4);
    EXPECT_STREQ("abcd", out);
    TruncateBytes("abc", out, 0);
    EXPECT_STREQ("", out);
    TruncateBytes("ab表", out, 3); // the byte at width-1 is a lead byte
    EXPECT_STREQ("ab", out);
    TruncateBytes("ab表", out, 4);
    EXPECT_STREQ("ab表", out);
    // "ぁ" is 0x82 0x9F: its second byte is in the lead-byte range and must not be taken as one.
    TruncateBytes("ぁぁ", out, 2);
    EXPECT_STREQ("ぁ", out);
    TruncateBytes("ぁぁ", out, 3);
    EXPECT_STREQ("ぁ", out);
    TruncateBytes("ｱｲｳｴ", out, 3); // half-width katakana: single bytes
    EXPECT_STREQ("ｱｲｳ", out);
}

TEST(PathUtilShorten, ShortensWithEllipsis)
{
    char out[1024];
    ShortenPath("C:\\AAA\\BBB\\CCC", out, 12);
    EXPECT_STREQ("C:\\AAA…\\CCC", out);
    ShortenPath("C:\\AAA\\BBB\\CCC\\", out, 40);
    EXPECT_STREQ("C:\\AAA\\BBB\\CCC", out);
    ShortenPath("C:\\AAA\\VERYLONGLASTNAME", out, 10);
    EXPECT_LE(strlen(out), 10u);
    EXPECT_STREQ("…\\VERYL…", out);
    // The separator search must skip "ソ"'s second byte.
    ShortenPath("C:\\DIR\\XXXXソ", out, 12);
    EXPECT_STREQ("C:\\…\\XXXXソ", out);
    for (int w = 5; w < 20; w++) {
        ShortenPath("C:\\表表表\\能能能\\十十十十十", out, w);
        EXPECT_LE((int)strlen(out), w) << w;
        EXPECT_TRUE(IsWholeCharacters(out)) << w;
    }
}

TEST(PathUtilDevice, DeviceNamesWithAnyExtensionCaseOrPath)
{
    for (const char *name : {"CON", "con", "Nul.txt", "aux.tar.gz", "PRN ", "prn .log", "COM1", "lpt9.x",
                             "C:\\dir\\nul", "sub/con.", "表\\AUX"})
        EXPECT_TRUE(IsDeviceName(name)) << name;
    for (const char *name : {"", "CO", "CONSOLE", "nul_", "COM0", "COM10", "LPT", "xcon", "con\\file",
                             "表.txt", "ソ", "C:\\", "\x83\x5C" "AUX"})
        EXPECT_FALSE(IsDeviceName(name)) << name;
}

TEST(PathUtilRoot, IsRootPath)
{
    EXPECT_TRUE(IsRootPath("C:\\"));
    EXPECT_FALSE(IsRootPath("C:\\DIR"));
    EXPECT_TRUE(IsRootPath("\\\\server\\"));
    EXPECT_FALSE(IsRootPath("\\\\server\\share"));
    EXPECT_FALSE(IsRootPath("C:"));
}

TEST(PathUtilSplit, SplitsDirectoryNameAndExtension)
{
    char dir[1024], name[1024], ext[16];
    SplitPath("C:\\DIR\\file.html", dir, name, ext);
    EXPECT_STREQ("C:\\DIR\\", dir);
    EXPECT_STREQ("file", name);
    EXPECT_STREQ(".html", ext);
    SplitPath("C:\\DIR\\archive.tar.gzip2", dir, name, ext);
    EXPECT_STREQ("archive.tar.gzip2", name);
    EXPECT_STREQ("", ext);
    SplitPath("C:\\DIR.X\\noext", dir, name, ext);
    EXPECT_STREQ("C:\\DIR.X\\", dir);
    EXPECT_STREQ("noext", name);
    EXPECT_STREQ("", ext);
    SplitPath("a/b/c.txt", dir, name, ext);
    EXPECT_STREQ("a/b/", dir);
    EXPECT_STREQ("c", name);
    SplitPath("C:\\ソ\\表.txt", dir, name, NULL);
    EXPECT_STREQ("C:\\ソ\\", dir);
    EXPECT_STREQ("表", name);
    SplitPath("plain", dir, NULL, ext);
    EXPECT_STREQ("", dir);
    EXPECT_STREQ("", ext);
}

class ValidatePathTest : public testing::Test {
protected:
    TempDir temp;
};

TEST_F(ValidatePathTest, ExistingPathTakesTheNamesAsStored)
{
    temp.MakeDir("Mixed Case");
    temp.MakeDir("Mixed Case\\ソ十能");
    std::string lower = temp.path + "\\mixed case\\ソ十能";
    char path[1024], shortPath[1024];
    strcpy(path, lower.c_str());
    ASSERT_TRUE(ValidatePath(path, shortPath));
    std::string expect = temp.path + "\\Mixed Case\\ソ十能\\";
    char upperExpect[1024];
    strcpy(upperExpect, temp.path.c_str());
    EXPECT_STRCASEEQ(expect.c_str(), path);
    EXPECT_NE(nullptr, strstr(path, "Mixed Case\\ソ十能\\"));
    EXPECT_EQ('\\', shortPath[strlen(shortPath) - 1]);
}

TEST_F(ValidatePathTest, MissingTailLeavesLongestExistingPart)
{
    temp.MakeDir("have");
    char path[1024];
    strcpy(path, (temp.path + "\\have\\nosuch\\deeper").c_str());
    EXPECT_FALSE(ValidatePath(path, NULL));
    EXPECT_NE(nullptr, strstr(path, "\\have\\"));
    EXPECT_EQ(0, strcmp(path + strlen(path) - 6, "\\have\\"));
}

TEST_F(ValidatePathTest, MissingFirstLevelGivesTheRoot)
{
    char path[1024] = "c:\\kelpo-no-such-directory-4711";
    char shortPath[1024];
    EXPECT_TRUE(ValidatePath(path, shortPath));
    EXPECT_STREQ("C:\\", path);
    EXPECT_STREQ("C:\\", shortPath);
    char drive[1024] = "c:";
    EXPECT_TRUE(ValidatePath(drive, NULL));
    EXPECT_STREQ("C:\\", drive);
}

TEST_F(ValidatePathTest, RejectsEmptyAndNonDrivePaths)
{
    char empty[1024] = "", shortPath[1024] = "junk";
    EXPECT_FALSE(ValidatePath(empty, shortPath));
    EXPECT_STREQ("", shortPath);
    char bad[1024] = "1:\\x";
    EXPECT_FALSE(ValidatePath(bad, NULL));
    temp.MakeFile("plainfile", "x");
    char file[1024];
    strcpy(file, (temp.path + "\\plainfile").c_str());
    EXPECT_FALSE(ValidatePath(file, NULL));
    char wild[1024];
    strcpy(wild, (temp.path + "\\*").c_str());
    EXPECT_FALSE(ValidatePath(wild, NULL));
}
