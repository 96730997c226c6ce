#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "screen/screen.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "support/testutil.h"
#include "support/tablebuilder.h"

TEST(ScreenFormatTime, DosDateTextWithEvenSecondsAndFailureText)
{
    FILETIME t = LocalTime(2024, 3, 5, 14, 7, 9);
    EXPECT_STREQ("2024-03-05 14:07:08", FormatFileTime(&t));
    t = LocalTime(1999, 12, 31, 9, 5, 0);
    EXPECT_STREQ("1999-12-31  9:05:00", FormatFileTime(&t));
    t = LocalTime(1980, 1, 1, 0, 0, 1);
    EXPECT_STREQ("1980-01-01  0:00:00", FormatFileTime(&t));
    t = LocalTime(1979, 12, 31, 23, 59, 58);
    EXPECT_STREQ("0000-00-00  0:00:00", FormatFileTime(&t));
    t = LocalTime(2108, 1, 1, 12, 0, 0);
    EXPECT_STREQ("0000-00-00  0:00:00", FormatFileTime(&t));
    FILETIME zero = {0, 0};
    EXPECT_STREQ("0000-00-00  0:00:00", FormatFileTime(&zero));
    // One static buffer, overwritten by the next call.
    t = LocalTime(2001, 2, 3, 4, 5, 6);
    const char *first = FormatFileTime(&t);
    FormatFileTime(&zero);
    EXPECT_STREQ("0000-00-00  0:00:00", first);
}

TEST(ScreenFormatLongName, FitsNamesAndPlacesExtensions)
{
    char out[1024];
    Settings.lnamepos = 0;
    FormatLongName(out, "readme.txt", 13);
    EXPECT_STREQ("readme.txt", out);
    FormatLongName(out, "verylongname.txt", 13);
    EXPECT_STREQ("verylon….txt", out);
    EXPECT_EQ(13u, strlen(out));
    FormatLongName(out, "verylongname.txt", 16);
    EXPECT_STREQ("verylongname.txt", out);
    FormatLongName(out, "archive.longext", 12);   // an extension of 7 characters stays in the name
    EXPECT_STREQ("archive.lo…", out);
    FormatLongName(out, "noextensionatall", 10);
    EXPECT_STREQ("noextens…", out);

    Settings.lnamepos = 1;
    FormatLongName(out, "readme.txt", 13);
    EXPECT_STREQ("readme  .txt", out);
    FormatLongName(out, "verylongname.txt", 13);
    EXPECT_STREQ("verylon….txt", out);
    FormatLongName(out, ".profile", 13);   // begins with "."
    EXPECT_STREQ(".profile", out);
    FormatLongName(out, "ab.c", 13);
    EXPECT_STREQ("ab      .c", out);
    FormatLongName(out, "ninechars.c", 13);   // name part longer than 8
    EXPECT_STREQ("ninechars.c", out);
    FormatLongName(out, "Makefile", 13);   // no extension
    EXPECT_STREQ("Makefile", out);
    Settings.lnamepos = 0;
}

TEST(ScreenFormatLongName, ShiftJisNamesAreCutBetweenCharacters)
{
    char out[1024];
    Settings.lnamepos = 0;
    // 9 bytes for the name part: four characters, the fifth would be cut in half.
    FormatLongName(out, "日本語の長いファイル名.txt", 15);
    EXPECT_STREQ("日本語の….txt", out);
    EXPECT_TRUE(IsWholeCharacters(out));
    // Second bytes that look like "\" (ソ = 83 5C) and like lead bytes.
    FormatLongName(out, "ソソソソソソソソ", 9);
    EXPECT_STREQ("ソソソ…", out);
    FormatLongName(out, "aソソソソソソソ", 9);
    EXPECT_STREQ("aソソソ…", out);
    EXPECT_TRUE(IsWholeCharacters(out));
    FormatLongName(out, "ｱｲｳｴｵｶｷｸｹｺｻｼｽ", 9);   // half-width katakana: one byte each
    EXPECT_STREQ("ｱｲｳｴｵｶｷ…", out);
}

TEST(ScreenFormatPadSize, ExactSizeWhenItFitsElseShortSize)
{
    char s[256] = "readme.txt";
    PadSize(s, "1500", "1.5K ", 22);
    EXPECT_STREQ("readme.txt        1500", s);
    strcpy(s, "verylongn….txt");
    PadSize(s, "1048000", "1.0M", 22);   // 15 + 7 is not below 22
    EXPECT_STREQ("verylongn….txt   1.0M", s);
    EXPECT_EQ(22u, strlen(s));
    strcpy(s, "abcdefghijklmn");
    PadSize(s, "1234567", "1.2M", 22);   // 14 + 7 < 22
    EXPECT_STREQ("abcdefghijklmn 1234567", s);
}

TEST(ScreenFormatNumbers, GroupThousandsAndCount)
{
    char out[64];
    GroupThousands("1234567", out);
    EXPECT_STREQ("1,234,567", out);
    GroupThousands("123", out);
    EXPECT_STREQ("123", out);
    GroupThousands("1234", out);
    EXPECT_STREQ("1,234", out);
    GroupThousands("123456", out);
    EXPECT_STREQ("123,456", out);
    GroupThousands("", out);
    EXPECT_STREQ("", out);
    char same[64] = "18446744065119617025";
    GroupThousands(same, same);
    EXPECT_STREQ("18,446,744,065,119,617,025", same);
    FormatCount(0, out);
    EXPECT_STREQ("0", out);
    FormatCount(999, out);
    EXPECT_STREQ("999", out);
    FormatCount(1000, out);
    EXPECT_STREQ("1,000", out);
    FormatCount(4294967295u, out);
    EXPECT_STREQ("4,294,967,295", out);
}

TEST(ScreenFormatNumbers, MultiplyToDecimalMatchesExactProducts)
{
    char out[32], expected[32];
    EXPECT_STREQ("18446744065119617025", MultiplyToDecimal(4294967295u, 4294967295u, out));
    EXPECT_STREQ("0", MultiplyToDecimal(0, 4294967295u, out));
    EXPECT_STREQ("0", MultiplyToDecimal(12345, 0, out));
    EXPECT_STREQ("1", MultiplyToDecimal(1, 1, out));
    const DWORD edges[] = {0, 1, 9, 10, 99, 512, 4096, 32768, 65535, 65536, 999999999, 1000000000,
                           2147483647u, 2147483648u, 4000000000u, 4294967294u, 4294967295u};
    for (DWORD a : edges)
        for (DWORD b : edges) {
            snprintf(expected, sizeof expected, "%llu", (unsigned long long)a * b);
            EXPECT_STREQ(expected, MultiplyToDecimal(a, b, out)) << a << " x " << b;
        }
    unsigned long long seed = 88172645463325252ULL;
    for (int i = 0; i < 20000; i++) {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        DWORD a = (DWORD)seed, b = (DWORD)(seed >> 32);
        if (i % 3 == 1)
            a >>= (seed >> 5) % 32;
        snprintf(expected, sizeof expected, "%llu", (unsigned long long)a * b);
        ASSERT_STREQ(expected, MultiplyToDecimal(a, b, out)) << a << " x " << b;
    }
}

static void Sizes(DWORD flags, unsigned long long size, char *exact, char *shortSize)
{
    FileEntry e = {};
    e.EntryFlags = flags;
    e.sizeLow = (DWORD)size;
    e.sizeHigh = (DWORD)(size >> 32);
    FormatSizes(&e, exact, shortSize);
}

TEST(ScreenFormatSizes, ShortSizeStepsUpToTheNextUnit)
{
    char exact[32], shortSize[32];
    Settings.namesmall = 0;
    struct {
        unsigned long long size;
        const char *exact, *shortSize;
    } cases[] = {
        {0, "0", "0 "},
        {1023, "1023", "1023 "},
        {1024, "1024", "1.0K"},
        {1500, "1500", "1.5K"},
        {999999, "999999", "976.6K"},
        {1048000, "1048000", "1.0M"},          // 1023.4K would be 7 characters
        {1048575, "1048575", "1.0M"},
        {1048576, "1048576", "1.0M"},
        {1000000000, "1000000000", "953.7M"},
        {1073741823, "1073741823", "1.0G"},    // 1024.0M steps up
        {1073741824, "1073741824", "1.0G"},
        {4294967295ULL, "4294967295", "4.0G"},
        {4294967301ULL, "4294967301", "4.0G"}, // sizes above 4 GiB are shown whole
        {1099511627776ULL * 2, "2199023255552", "2.0T"},
    };
    for (const auto &c : cases) {
        Sizes(0, c.size, exact, shortSize);
        EXPECT_STREQ(c.exact, exact) << c.size;
        EXPECT_STREQ(c.shortSize, shortSize) << c.size;
    }
    Sizes(EF_DIRECTORY, 4096, exact, shortSize);
    EXPECT_STREQ("<DIR>", exact);
    EXPECT_STREQ("<DIR>", shortSize);
    Sizes(EF_VOLUME | EF_DIRECTORY, 0, exact, shortSize);
    EXPECT_STREQ("<VOL>", exact);
    Settings.namesmall = 1;
    Sizes(EF_DIRECTORY, 0, exact, shortSize);
    EXPECT_STREQ("<dir>", exact);
    EXPECT_STREQ("<dir>", shortSize);
    Sizes(EF_VOLUME, 0, exact, shortSize);
    EXPECT_STREQ("<vol>", shortSize);
    Settings.namesmall = 0;
}
