// The archiver binding (the ZIP listing read column by column, both libraries loaded by name)
// and the unpack dialogs driven through the real main window.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include <stdio.h>
#include "archive/archiver.h"
#include "archive/pack.h"
#include "archive/unpack.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "config/settings.h"
#include "screen/cursor.h"
#include "app/mainwnd.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "ui/msgdlg.h"
#include "archive_ids.h"
#include "resource.h"
#include "archive_fixtures.h"
#include "dialogdriver.h"
#include "testutil.h"
#include "window.h"

static std::string Tail(const char *size, const char *packed, const char *ratio, const char *date, const char *time,
                        const char *attr, const char *method, const char *crc)
{
    char tail[128];
    snprintf(tail, sizeof tail, " %9s %9s%6s %8s  %8s %4s %-7s %8s", size, packed, ratio, date, time, attr, method, crc);
    return tail;
}

struct ListingCase {
    const char *name;
    std::string line;
    const char *expectName;
    DWORD size, packed, crc;
    int ratio, year, month, day, hour, minute, second;
    const char *attr, *method;
};

TEST(ZipListing, MemberLinesAreReadByColumn)
{
    const ListingCase cases[] = {
        {"plain", std::string("hello.txt ") + Tail("13", "11", " 15.3%", "24-05-06", "07:08:10", "A---", "Deflate", "38e6c41a"),
         "hello.txt", 13, 11, 0x38e6c41a, 153, 2024, 5, 6, 7, 8, 10, "A---", "Deflate"},
        {"year 79 is 2079", std::string("a ") + Tail("0", "0", "  0.0%", "79-12-31", "23:59:58", "d-hr", "Stored", "00000000"),
         "a", 0, 0, 0, 0, 2079, 12, 31, 23, 59, 58, "D-HR", "Stored"},
        {"year 80 is 1980", std::string("b ") + Tail("1", "1", "  0.0%", "80-01-01", "00:00:00", "A---", "Stored", "0000000f"),
         "b", 1, 1, 15, 0, 1980, 1, 1, 0, 0, 0, "A---", "Stored"},
        {"upper-case CRC digits read as 0", std::string("c ") + Tail("5", "5", "  0.0%", "99-02-03", "04:05:06", "A---", "Stored", "ABCDEF12"),
         "c", 5, 5, 0x12, 0, 1999, 2, 3, 4, 5, 6, "A---", "Stored"},
        {"capped sizes", std::string("big.bin   ") + Tail("999999999", "999999999", " 99.9%", "20-01-01", "01:02:04", "A---", "Deflate", "ffffffff"),
         "big.bin", 999999999, 999999999, 0xffffffff, 999, 2020, 1, 1, 1, 2, 4, "A---", "Deflate"},
        {"Japanese name", std::string("\x93\xfa\x96\x7b\x8c\xea\\\x95\x5c.txt ") + Tail("600", "20", " 96.6%", "24-05-06", "07:08:10", "A---", "Deflate", "0000abcd"),
         "\x93\xfa\x96\x7b\x8c\xea\\\x95\x5c.txt", 600, 20, 0xabcd, 966, 2024, 5, 6, 7, 8, 10, "A---", "Deflate"},
    };
    for (const ListingCase &c : cases) {
        SCOPED_TRACE(c.name);
        MemberRecord r;
        ASSERT_TRUE(ParseZipMemberLine(c.line.c_str(), c.line.size(), &r));
        EXPECT_STREQ(c.expectName, r.name);
        EXPECT_EQ(c.size, r.originalSize);
        EXPECT_EQ(c.packed, r.compressedSize);
        EXPECT_EQ(c.crc, r.crc);
        EXPECT_EQ(c.ratio, r.ratio);
        EXPECT_EQ(c.year, (r.date >> 9) + 1980);
        EXPECT_EQ(c.month, r.date >> 5 & 15);
        EXPECT_EQ(c.day, r.date & 31);
        EXPECT_EQ(c.hour, r.time >> 11);
        EXPECT_EQ(c.minute, r.time >> 5 & 63);
        EXPECT_EQ(c.second, (r.time & 31) * 2);
        EXPECT_STREQ(c.attr, r.attribute);
        EXPECT_STREQ(c.method, r.method);
        EXPECT_EQ(0u, r.flag);
    }
}

TEST(ZipListing, OverlongNamesAreCutAtAWholeCharacterAndShortLinesRefused)
{
    std::string name;
    for (int i = 0; i < 300; i++)
        name += "\x93\xfa";     // 600 bytes of double-byte characters
    std::string line = name + Tail("1", "1", "  0.0%", "24-01-01", "00:00:00", "A---", "Stored", "00000001");
    MemberRecord r;
    ASSERT_TRUE(ParseZipMemberLine(line.c_str(), line.size(), &r));
    EXPECT_EQ(512u, strlen(r.name));
    EXPECT_TRUE(IsWholeCharacters(r.name));
    EXPECT_FALSE(ParseZipMemberLine("short line", 10, &r));
}

TEST(ZipListing, CountComesFromTheLineAfterTheSecondRule)
{
    EXPECT_EQ(2, ZipListCount("Name Size\n------\na x\nb y\n------\n2 files, 3 bytes\n"));
    EXPECT_EQ(0, ZipListCount("Name Size\n------\na x\nb y\n"));
    EXPECT_EQ(7, ZipListCount("h\n---\n---\n7 files"));
    const char *text = "one\ntwo\nend", *position = text, *line;
    size_t length;
    ASSERT_TRUE(ZipReadLine(&position, &line, &length));
    EXPECT_EQ(std::string("one"), std::string(line, length));
    ASSERT_TRUE(ZipReadLine(&position, &line, &length));
    EXPECT_FALSE(ZipReadLine(&position, &line, &length));
}

static void WriteBytes(const std::string &path, const unsigned char *data, size_t size)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_TRUE(f != NULL);
    fwrite(data, 1, size, f);
    fclose(f);
}

static const char japanese[] = "\x93\xfa\x96\x7b\x8c\xea.txt";
static const char folderMember[] = "\x8e\x91\x97\xbf\\\x95\x5c.txt";

TEST(ArchiverLibraries, BothLibrariesListTheirMembers)
{
    TempDir dir;
    WriteBytes(dir.Full("jp.zip"), JapaneseZip, sizeof JapaneseZip);
    WriteBytes(dir.Full("plain.lzh"), PlainLzh, sizeof PlainLzh);
    LoadArchivers();
    ASSERT_TRUE(ArchiverAvailable[ARC_LZH]);
    ASSERT_TRUE(ArchiverAvailable[ARC_ZIP]);
    char version[32];
    FormatArchiverVersion(ARC_ZIP, version);
    EXPECT_STREQ("UNZIP32 V1.00", version);
    FormatArchiverVersion(ARC_LZH, version);
    EXPECT_STREQ("UNLHA32 V1.00", version);

    std::string zip = dir.Full("jp.zip");
    EXPECT_TRUE(ArcCheckArchive(ARC_ZIP, zip.c_str(), 0));
    ASSERT_EQ(4, ArcGetFileCount(ARC_ZIP, zip.c_str()));
    HANDLE archive = ArcOpenArchive(ARC_ZIP, NULL, zip.c_str(), 1);
    ASSERT_TRUE(archive != NULL);
    MemberRecord r[5];
    int n = 0;
    for (int found = ArcFindFirst(ARC_ZIP, archive, "*.*", &r[0]); found == 0 && n < 5;
         found = ArcFindNext(ARC_ZIP, archive, &r[n]))
        n++;
    ArcCloseArchive(ARC_ZIP, archive);
    ASSERT_EQ(4, n);
    EXPECT_STREQ("hello.txt", r[0].name);
    EXPECT_EQ(13u, r[0].originalSize);
    EXPECT_EQ(0x38e6c41au, r[0].crc);
    EXPECT_EQ((2024 - 1980) << 9 | 5 << 5 | 6, r[0].date);
    EXPECT_EQ(7 << 11 | 8 << 5 | 5, r[0].time);
    EXPECT_STREQ(japanese, r[1].name);
    EXPECT_EQ(280u, r[1].originalSize);
    EXPECT_EQ(0xf0be77c5u, r[1].crc);
    EXPECT_EQ('D', r[2].attribute[0]);
    EXPECT_STREQ(folderMember, r[3].name);
    EXPECT_EQ(600u, r[3].originalSize);

    std::string lzh = dir.Full("plain.lzh");
    EXPECT_TRUE(ArcCheckArchive(ARC_LZH, lzh.c_str(), 0));
    ASSERT_EQ(2, ArcGetFileCount(ARC_LZH, lzh.c_str()));
    archive = ArcOpenArchive(ARC_LZH, NULL, lzh.c_str(), 1);
    ASSERT_TRUE(archive != NULL);
    ASSERT_EQ(0, ArcFindFirst(ARC_LZH, archive, "*.*", &r[0]));
    ASSERT_EQ(0, ArcFindNext(ARC_LZH, archive, &r[1]));
    EXPECT_EQ(-1, ArcFindNext(ARC_LZH, archive, &r[2]));
    ArcCloseArchive(ARC_LZH, archive);
    EXPECT_STREQ("hello.txt", r[0].name);
    EXPECT_STREQ("sub\\table.txt", r[1].name);
    EXPECT_EQ(13u, r[1].originalSize);

    std::string bad = dir.Full("corrupt.zip");
    WriteBytes(bad, JapaneseZip, CorruptZipBytes);
    EXPECT_FALSE(ArcCheckArchive(ARC_ZIP, bad.c_str(), 0));
    char error[32];
    FormatArchiverError(ARC_ZIP, 0x8005, error);
    EXPECT_STREQ("Unzip32 Error=8005", error);
    FreeArchivers();
    EXPECT_FALSE(ArchiverAvailable[ARC_ZIP]);
}

TEST(ArchiverLibraries, MissingLibrariesGiveTheFixedResults)
{
    const char *saved[2] = {ArchiverFileName[0], ArchiverFileName[1]};
    ArchiverFileName[0] = ArchiverFileName[1] = "NOSUCH32.DLL";
    LoadArchivers();
    for (int library = 0; library < ARC_LIBRARY_COUNT; library++) {
        EXPECT_FALSE(ArchiverAvailable[library]);
        EXPECT_EQ(0, ArcGetVersion(library));
        EXPECT_EQ(0, ArcGetRunning(library));
        char out[16];
        EXPECT_EQ(1, ArcCommand(library, NULL, "-l x", out, sizeof out));
        EXPECT_FALSE(ArcCheckArchive(library, "x.zip", 0));
        EXPECT_TRUE(ArcOpenArchive(library, NULL, "x", 1) == NULL);
        MemberRecord r;
        EXPECT_EQ(-1, ArcFindFirst(library, NULL, "*.*", &r));
        EXPECT_EQ(-1, ArcFindNext(library, NULL, &r));
    }
    EXPECT_EQ(-1, ArcGetFileCount(ARC_LZH, "x.lzh"));
    EXPECT_EQ(0, ArcGetFileCount(ARC_ZIP, "x.zip"));
    ArchiverFileName[0] = saved[0];
    ArchiverFileName[1] = saved[1];
}

static int CountTemporaryDirectories()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string pattern = std::string(temp) + "KLP*";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    int count = 0;
    if (search != INVALID_HANDLE_VALUE) {
        do
            count++;
        while (FindNextFileA(search, &found));
        FindClose(search);
    }
    return count;
}

// Puts the cursor on the archive as the cursor keys would.
static void CursorOn(const char *name)
{
    FindEntryByName(name);
    RepaintGrid(g_mainWnd);
    KelpoPump();
}

static void SetDestination(HWND dialog, const std::string &path)
{
    SetDlgItemTextA(dialog, IDC_UNPACK_DEST_PATH, path.c_str());
    PressButton(dialog, IDOK);
}

// Enter on the cursor's archive; in its list the key (Space or Home) on item, then Enter
// extracts the marked members into destination. check sees the list first.
static void EnterMarkAndUnpack(int item, UINT key, const std::string &destination,
                               std::function<void(HWND)> check = nullptr)
{
    DialogDriver driver;
    driver.ThenSteps([&](HWND dialog, int step) {
        if (step == 0) {
            if (check)
                check(dialog);
            SetFocus(GetDlgItem(dialog, IDC_UNPACK_LIST));
            SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_SETCURSEL, item, 0);
            PressKey(dialog, key);
            return false;
        }
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_UNPACK_EXTRACT)));
        PressKey(dialog, VK_RETURN);
        return true;
    });
    driver.Then([&](HWND dialog) { SetDestination(dialog, destination); });
    KelpoKey(VK_RETURN);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
}

TEST(UnpackWindow, ListMarkAndExtractZipMembers)
{
    TempDir dir;
    std::string box = dir.MakeDir("box");
    std::string out1 = dir.MakeDir("out1"), out2 = dir.MakeDir("out2"), out3 = dir.MakeDir("out3");
    WriteBytes(box + "\\jp.zip", JapaneseZip, sizeof JapaneseZip);
    int temporaries = CountTemporaryDirectories();
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    CursorOn("jp.zip");
    {
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            SeenDialog seen = ReadDialog(dialog);
            if (step == 0) {
                EXPECT_EQ("Kelpo - Unpack", seen.caption);
                EXPECT_EQ("jp.zip", seen.Find(IDC_UNPACK_NAME)->text);
                EXPECT_EQ("UNZIP32 V1.00", seen.Find(IDC_UNPACK_LIBRARY)->text);
                EXPECT_EQ(4, (int)SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_GETCOUNT, 0, 0));
                EXPECT_TRUE(seen.Find(IDC_UNPACK_VIEW)->enabled);
                EXPECT_FALSE(seen.Find(IDC_UNPACK_EXTRACT)->enabled);
                EXPECT_EQ(temporaries + 1, CountTemporaryDirectories());
                SetFocus(GetDlgItem(dialog, IDC_UNPACK_LIST));
                PressKey(dialog, VK_SPACE);
                return false;
            }
            EXPECT_TRUE(seen.Find(IDC_UNPACK_EXTRACT)->enabled);
            EXPECT_FALSE(seen.Find(IDC_UNPACK_VIEW)->enabled);
            EXPECT_EQ(1, (int)SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_GETCURSEL, 0, 0));
            PressButton(dialog, IDC_UNPACK_EXTRACT);
            return true;
        });
        driver.Then([&](HWND dialog) { SetDestination(dialog, out1); });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ("hello world\r\n", ReadAll(out1 + "\\hello.txt"));
    EXPECT_EQ("<missing>", ReadAll(out1 + "\\" + japanese));
    EXPECT_EQ(temporaries, CountTemporaryDirectories());
    EXPECT_EQ("<missing>", ReadAll(box + "\\$UNPACK.LST"));

    // Enter on a .ZIP file opens its list as U does; Home marks everything, Enter extracts it.
    EnterMarkAndUnpack(0, VK_HOME, out2);
    EXPECT_EQ(280u, ReadAll(out2 + "\\" + japanese).size());
    EXPECT_EQ(600u, ReadAll(out2 + "\\" + folderMember).size());

    {   // U in the list extracts the selected member alone; a drive-less destination is refused.
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            SetFocus(GetDlgItem(dialog, IDC_UNPACK_LIST));
            SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_SETCURSEL, 1, 0);
            PressKey(dialog, 'U');
        });
        driver.Then([&](HWND dialog) { SetDestination(dialog, "ab\\dir"); });
        driver.Then([&](HWND dialog) {
            EXPECT_EQ("正しいﾄﾞﾗｲﾌﾞ名を入力してください", std::string(g_messageDialog.text ? g_messageDialog.text : ""));
            PressButton(dialog, IDOK);
        });
        driver.Then([&](HWND dialog) { SetDestination(dialog, out3); });
        driver.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(280u, ReadAll(out3 + "\\" + japanese).size());
    EXPECT_EQ("<missing>", ReadAll(out3 + "\\hello.txt"));
    EXPECT_EQ(temporaries, CountTemporaryDirectories());
    KelpoStop();
}

TEST(UnpackWindow, UnsafeCorruptAndMissing)
{
    TempDir dir;
    std::string box = dir.MakeDir("box"), out = dir.MakeDir("out");
    WriteBytes(box + "\\escape.zip", EscapeZip, sizeof EscapeZip);
    int temporaries = CountTemporaryDirectories();
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    CursorOn("escape.zip");
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            SetFocus(GetDlgItem(dialog, IDC_UNPACK_LIST));
            PressKey(dialog, VK_HOME);
        });
        driver.Then([&](HWND dialog) { PressButton(dialog, IDC_UNPACK_EXTRACT); });
        driver.Then([&](HWND dialog) { SetDestination(dialog, out); });
        driver.Then([&](HWND dialog) {
            EXPECT_EQ("Unzip32 Error=8008", std::string(g_messageDialog.text ? g_messageDialog.text : ""));
            PressButton(dialog, IDOK);
        });
        driver.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ("fine", ReadAll(out + "\\ok.txt"));
    EXPECT_EQ("<missing>", ReadAll(dir.Full("escaped.txt")));
    EXPECT_EQ(temporaries, CountTemporaryDirectories());
    KelpoStop();

    WriteBytes(box + "\\escape.zip", JapaneseZip, CorruptZipBytes);
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    CursorOn("escape.zip");
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            EXPECT_EQ("不正なZIPファイルです", std::string(g_messageDialog.text ? g_messageDialog.text : ""));
            PressButton(dialog, IDOK);
        });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    KelpoStop();

    const char *saved[2] = {ArchiverFileName[0], ArchiverFileName[1]};
    ArchiverFileName[0] = ArchiverFileName[1] = "NOSUCH32.DLL";
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    CursorOn("escape.zip");
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            EXPECT_EQ("UNZIP32.DLLがｲﾝｽﾄｰﾙされていませんので@@ZIPのUnpackは出来ません",
                      std::string(g_messageDialog.text ? g_messageDialog.text : ""));
            PressButton(dialog, IDOK);
        });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    KelpoStop();
    ArchiverFileName[0] = saved[0];
    ArchiverFileName[1] = saved[1];
}

static std::string viewedPath, viewedText;
static void RememberViewed(const char *path)
{
    viewedPath = path;
    viewedText = ReadAll(path);
}

TEST(UnpackWindow, ViewAnLzhMemberAndUnpackMarkedArchivesOfBothKinds)
{
    TempDir dir;
    std::string box = dir.MakeDir("box"), out = dir.MakeDir("out");
    WriteBytes(box + "\\jp.zip", JapaneseZip, sizeof JapaneseZip);
    WriteBytes(box + "\\plain.lzh", PlainLzh, sizeof PlainLzh);
    dir.MakeFile("box\\notes.txt", "not an archive");
    int temporaries = CountTemporaryDirectories();
    void (*savedOpen)(const char *) = OpenExtractedMember;
    OpenExtractedMember = RememberViewed;
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    CursorOn("plain.lzh");
    {   // Enter with nothing marked views the selected member.
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            if (step == 0) {
                SeenDialog seen = ReadDialog(dialog);
                EXPECT_EQ("UNLHA32 V1.00", seen.Find(IDC_UNPACK_LIBRARY)->text);
                EXPECT_EQ("plain.lzh", seen.Find(IDC_UNPACK_NAME)->text);
                EXPECT_EQ(2, (int)SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_GETCOUNT, 0, 0));
                SetFocus(GetDlgItem(dialog, IDC_UNPACK_LIST));
                SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_SETCURSEL, 1, 0);
                PressKey(dialog, VK_RETURN);
                return false;
            }
            PressButton(dialog, IDCANCEL);
            return true;
        });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ("hello world\r\n", viewedText);
    EXPECT_NE(std::string::npos, viewedPath.find("sub\\table.txt")) << viewedPath;
    EXPECT_EQ(temporaries, CountTemporaryDirectories());
    EXPECT_EQ("<missing>", ReadAll(viewedPath));

    // Both archives marked: each is unpacked whole by its own library; the text file is left.
    for (const char *name : {"jp.zip", "plain.lzh", "notes.txt"})
        ToggleMark(FindPositionByName(name));
    RepaintGrid(g_mainWnd);
    KelpoPump();
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            EXPECT_EQ("Kelpo - Unpack", ReadDialog(dialog).caption);
            SetDestination(dialog, out);
        });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ("hello world\r\n", ReadAll(out + "\\sub\\table.txt"));
    EXPECT_EQ(280u, ReadAll(out + "\\" + japanese).size());
    EXPECT_EQ(600u, ReadAll(out + "\\" + folderMember).size());
    EXPECT_EQ("<missing>", ReadAll(out + "\\notes.txt"));

    // The folder is read again while the destination is asked for (its watcher saw a change):
    // the archives marked when U was pressed are still the ones unpacked.
    std::string again = dir.MakeDir("again");
    for (const char *name : {"jp.zip", "plain.lzh"})
        ToggleMark(FindPositionByName(name));
    RepaintGrid(g_mainWnd);
    KelpoPump();
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            dir.MakeFile("box\\0new.txt", "new");
            SendMessageA(g_mainWnd, WM_COMMAND, IDM_REFRESH, 0);
            UpdateWindow(g_mainWnd);
            EXPECT_LE(0, FindPositionByName("0new.txt"));
            SetDestination(dialog, again);
        });
        KelpoType("u");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ("hello world\r\n", ReadAll(again + "\\sub\\table.txt"));
    EXPECT_EQ(280u, ReadAll(again + "\\" + japanese).size());
    KelpoStop();
    OpenExtractedMember = savedOpen;
}

TEST(ArchiverLibraries, AListingLongerThanTheFirstBufferIsReadWhole)
{
    std::vector<std::string> names;
    for (int i = 0; i < 700; i++) {
        char name[128];
        snprintf(name, sizeof name, "folder/member_%04d_%s.txt", i, std::string(80, 'x').c_str());
        names.push_back(name);
    }
    TempDir dir;
    std::string zip = EmptyMembersZip(names);
    std::string path = dir.Full("many.zip");
    WriteBytes(path, (const unsigned char *)zip.data(), zip.size());
    LoadArchivers();
    ASSERT_TRUE(ArcCheckArchive(ARC_ZIP, path.c_str(), 0));
    EXPECT_EQ(700, ArcGetFileCount(ARC_ZIP, path.c_str()));
    HANDLE archive = ArcOpenArchive(ARC_ZIP, NULL, path.c_str(), 1);
    ASSERT_TRUE(archive != NULL);
    EXPECT_TRUE(ZipListingComplete(archive));
    MemberRecord r;
    int n = 0;
    std::string last;
    for (int found = ArcFindFirst(ARC_ZIP, archive, "*.*", &r); found == 0; found = ArcFindNext(ARC_ZIP, archive, &r)) {
        n++;
        last = r.name;
    }
    ArcCloseArchive(ARC_ZIP, archive);
    EXPECT_EQ(700, n);
    std::string expected = names.back();
    expected[6] = '\\';
    EXPECT_EQ(expected, last);
    FreeArchivers();
}

TEST(Pack, ArchiveNamesGetTheLzhExtension)
{
    const struct {
        const char *typed, *fixed;
        bool valid;
    } cases[] = {
        {"BACKUP", "BACKUP.LZH", true},
        {"backup", "backup.lzh", true},
        {"Data.lzh", "Data.lzh", true},
        {"DATA.Lzh", "DATA.LZH", true},
        {"arc.zip", "arc.lzh", false},
        {"ARC.ZIP", "ARC.LZH", false},
        {"\x93\xfa\x96\x7b", "\x93\xfa\x96\x7b.LZH", true},
    };
    for (const auto &c : cases) {
        char fixed[PATH_BUFFER];
        EXPECT_EQ(c.valid, FixPackArchiveName(c.typed, fixed, sizeof fixed)) << c.typed;
        EXPECT_STREQ(c.fixed, fixed);
    }
}

static std::vector<MemberRecord> MemberRecords(int library, const std::string &path)
{
    std::vector<MemberRecord> records;
    HANDLE archive = ArcOpenArchive(library, NULL, path.c_str(), 1);
    if (!archive)
        return records;
    MemberRecord r;
    for (int found = ArcFindFirst(library, archive, "*.*", &r); found == 0; found = ArcFindNext(library, archive, &r))
        records.push_back(r);
    ArcCloseArchive(library, archive);
    return records;
}

static std::vector<std::string> MemberNames(int library, const std::string &path)
{
    std::vector<std::string> names;
    for (const MemberRecord &r : MemberRecords(library, path))
        names.push_back(r.name);
    return names;
}

static bool Holds(const std::vector<std::string> &names, const std::string &name)
{
    for (const std::string &n : names)
        if (n == name)
            return true;
    return false;
}

// The dialog's extraction called directly: some members by name, or with every listed member
// marked the whole archive, also the members a listing cut short did not show.
TEST(ArchiverLibraries, ExtractMembersByNameOrWhole)
{
    TempDir dir;
    std::string zip = dir.Full("jp.zip"), temporary = dir.MakeDir("tmp");
    WriteBytes(zip, JapaneseZip, sizeof JapaneseZip);
    LoadArchivers();
    lstrcpynA(CurrentPath, dir.path.c_str(), PATH_BUFFER);
    std::vector<MemberRecord> r = MemberRecords(ARC_ZIP, zip);
    ASSERT_EQ(4u, r.size());
    const BYTE second[] = {0, 1};
    const struct {
        const BYTE *marks;
        int listed;                 // records handed over, as if the listing had stopped there
        bool hello, japanese, table;
    } cases[] = {
        {second, 2, false, true, false},
        {NULL, 2, true, true, true},
        {NULL, 4, true, true, true},
    };
    int n = 0;
    for (const auto &c : cases) {
        std::string out = dir.MakeDir("out" + std::to_string(n++));
        EXPECT_EQ(0, ExtractMembers(NULL, ARC_ZIP, zip.c_str(), out.c_str(), temporary.c_str(), r.data(), c.marks,
                                    c.listed));
        EXPECT_EQ(c.hello, ReadAll(out + "\\hello.txt") != "<missing>") << n;
        EXPECT_EQ(c.japanese, ReadAll(out + "\\" + japanese).size() == 280u) << n;
        EXPECT_EQ(c.table, ReadAll(out + "\\" + folderMember).size() == 600u) << n;
        EXPECT_EQ("<missing>", ReadAll(temporary + "\\$UNPACK.LST"));
    }
    EXPECT_EQ(UNPACK_NO_RESPONSE_FILE, ExtractMembers(NULL, ARC_ZIP, zip.c_str(), dir.path.c_str(),
                                                      dir.Full("gone").c_str(), r.data(), NULL, 4));
    FreeArchivers();
}

TEST(Pack, CursorEntryAndDirectoryArePackedWithoutAResponseFileLeft)
{
    TempDir dir;
    std::string box = dir.MakeDir("box");
    dir.MakeFile("box\\a.txt", "alpha");
    dir.MakeDir("box\\sub");
    dir.MakeFile("box\\sub\\b.txt", "beta");
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    Settings.packmode = 'X';
    CursorOn("a.txt");
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            SeenDialog seen = ReadDialog(dialog);
            EXPECT_EQ("Kelpo - Pack", seen.caption);
            EXPECT_EQ("a.txt", seen.Find(IDC_PACK_NAME)->text);
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(dialog, IDC_PACK_UPDATE));
            EXPECT_EQ('U', Settings.packmode);
            SetDlgItemTextA(dialog, IDC_PACK_NAME, "Test");
            CheckRadioButton(dialog, IDC_PACK_ADD, IDC_PACK_MOVE, IDC_PACK_ADD);
            PressButton(dialog, IDOK);
        });
        KelpoType("p");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ('A', Settings.packmode);
    std::vector<std::string> names = MemberNames(ARC_LZH, box + "\\Test.lzh");
    ASSERT_EQ(1u, names.size());
    EXPECT_EQ("a.txt", names[0]);
    EXPECT_EQ(0, MarkedCount);
    EXPECT_EQ("<missing>", ReadAll(box + "\\$PACK.LST"));

    CursorOn("sub");
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_PACK_NAME, "arc.zip");
            PressButton(dialog, IDOK);
        });
        driver.Then([&](HWND dialog) {
            EXPECT_EQ("拡張子は LZH のみ有効です@@拡張子を変更します",
                      std::string(g_messageDialog.text ? g_messageDialog.text : ""));
            PressButton(dialog, IDOK);
        });
        KelpoType("p");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    names = MemberNames(ARC_LZH, box + "\\arc.lzh");
    bool found = false;
    for (const std::string &name : names)
        found = found || name == "sub\\b.txt";
    EXPECT_TRUE(found) << names.size();
    EXPECT_EQ("<missing>", ReadAll(box + "\\$PACK.LST"));

    // ".." is no entry to pack: no dialog opens.
    CursorOn("..");
    {
        DialogDriver driver;
        driver.Then([&](HWND dialog) { PressButton(dialog, IDCANCEL); });
        KelpoType("p");
        EXPECT_FALSE(driver.Done());
    }
    KelpoStop();
}

// Up and Down walk the archive-name history; move mode deletes exactly the sources the archive
// holds (a file held open without sharing cannot be read, so it stays, and its directory too);
// the key bar, shifted when the dialog opened, is plain again afterwards.
TEST(Pack, MoveModeWalksTheNameHistoryAndRemovesOnlyWhatTheArchiveHolds)
{
    TempDir dir;
    std::string box = dir.MakeDir("box");
    dir.MakeFile("box\\a.txt", "alpha");
    dir.MakeFile("box\\b.txt", "bravo");
    dir.MakeFile("box\\keep.txt", "kept");
    dir.MakeDir("box\\sub");
    dir.MakeFile("box\\sub\\c.txt", "charlie");
    std::string heldPath = dir.MakeFile("box\\sub\\held.txt", "held");
    HANDLE held = CreateFileA(heldPath.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_TRUE(held != INVALID_HANDLE_VALUE);
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    BYTE dirmark = Settings.dirmark;
    Settings.dirmark = 1;
    PushHistory(PackHistory, "older.lzh");
    PushHistory(PackHistory, "newer.lzh");
    for (const char *name : {"a.txt", "b.txt", "sub"})
        ToggleMark(FindPositionByName(name));
    RepaintGrid(g_mainWnd);
    KelpoPump();
    const int bar = Settings.disprow + 8;
    const std::string plain = KelpoLine(bar);
    KelpoHoldKey(VK_SHIFT, true);
    ASSERT_NE(plain, KelpoLine(bar));
    {
        static const struct {
            UINT key;
            const char *shown;      // the name field after the key
        } walk[] = {
            {VK_DOWN, "newer.lzh"}, {VK_DOWN, "older.lzh"}, {VK_DOWN, "older.lzh"},
            {VK_UP, "newer.lzh"},   {VK_UP, "moved"},       {VK_UP, "moved"},
        };
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            char text[PATH_BUFFER];
            GetDlgItemTextA(dialog, IDC_PACK_NAME, text, sizeof text);
            if (step == 0) {
                SetDlgItemTextA(dialog, IDC_PACK_NAME, "moved");
                SetFocus(GetDlgItem(dialog, IDC_PACK_NAME));
            } else {
                EXPECT_STREQ(walk[step - 1].shown, text) << "after key " << step;
            }
            if (step < (int)(sizeof walk / sizeof walk[0])) {
                PressKey(dialog, walk[step].key);
                return false;
            }
            CheckRadioButton(dialog, IDC_PACK_ADD, IDC_PACK_MOVE, IDC_PACK_MOVE);
            PressButton(dialog, IDOK);
            return true;
        });
        driver.Then([&](HWND dialog) {
            std::string text = g_messageDialog.text ? g_messageDialog.text : "";
            EXPECT_EQ(0u, text.find("Unlha32 Error=")) << text;
            PressButton(dialog, IDOK);
        });
        KelpoType("p");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
    }
    EXPECT_EQ(plain, KelpoLine(bar));
    EXPECT_EQ('M', Settings.packmode);
    EXPECT_STREQ("moved.lzh", PackHistory[0]);
    CloseHandle(held);
    std::vector<std::string> names = MemberNames(ARC_LZH, box + "\\moved.lzh");
    EXPECT_TRUE(Holds(names, "a.txt"));
    EXPECT_TRUE(Holds(names, "sub\\c.txt"));
    EXPECT_FALSE(Holds(names, "sub\\held.txt"));
    for (const char *source : {"a.txt", "b.txt", "keep.txt", "sub\\c.txt", "sub\\held.txt"}) {
        bool left = ReadAll(box + "\\" + source) != "<missing>";
        EXPECT_NE(Holds(names, source), left) << source;
    }
    EXPECT_EQ("kept", ReadAll(box + "\\keep.txt"));
    EXPECT_EQ("<missing>", ReadAll(box + "\\$PACK.LST"));
    Settings.dirmark = dirmark;
    KelpoStop();
}

// The listing is read again while the dialog is open (another program changes the folder, so the
// entries move and the marks are gone): what is packed is what was chosen when P was pressed.
TEST(Pack, AFolderChangeWhileTheDialogIsOpenPacksWhatWasChosen)
{
    TempDir dir;
    std::string box = dir.MakeDir("box");
    for (const char *name : {"a.txt", "b.txt", "c.txt", "keep.txt"})
        dir.MakeFile(std::string("box\\") + name, name);
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));
    const struct {
        const char *cursor, *marked[2], *added, *archive;
        int mode;
    } cases[] = {
        {"b.txt", {NULL, NULL}, "0new.txt", "moved", IDC_PACK_MOVE},
        {"keep.txt", {"a.txt", "c.txt"}, "00new.txt", "added", IDC_PACK_ADD},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.archive);
        CursorOn(c.cursor);
        for (const char *name : c.marked)
            if (name)
                ToggleMark(FindPositionByName(name));
        RepaintGrid(g_mainWnd);
        KelpoPump();
        DialogDriver driver;
        driver.ThenSteps([&](HWND dialog, int step) {
            // What the window's timer does when the folder's watcher fires.
            if (step == 0) {
                dir.MakeFile(std::string("box\\") + c.added, "new");
                SendMessageA(g_mainWnd, WM_COMMAND, IDM_REFRESH, 0);
                UpdateWindow(g_mainWnd);
            }
            EXPECT_LE(0, FindPositionByName(c.added)) << "the folder was not read again";
            SetDlgItemTextA(dialog, IDC_PACK_NAME, c.archive);
            CheckRadioButton(dialog, IDC_PACK_ADD, IDC_PACK_MOVE, c.mode);
            PressButton(dialog, IDOK);
            return true;
        });
        KelpoType("p");
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
        std::vector<std::string> names = MemberNames(ARC_LZH, box + "\\" + c.archive + ".lzh");
        std::vector<std::string> expected;
        if (c.marked[0])
            expected.assign(c.marked, c.marked + 2);
        else
            expected.push_back(c.cursor);
        EXPECT_EQ(expected, names);
    }
    for (const char *name : {"a.txt", "c.txt", "keep.txt", "0new.txt", "00new.txt"})
        EXPECT_NE("<missing>", ReadAll(box + "\\" + name)) << name;
    EXPECT_EQ("<missing>", ReadAll(box + "\\b.txt"));
    EXPECT_EQ(0, MarkedCount);
    KelpoStop();
}

static const char kana[] = "\xb6\xc0\xb6\xc5.TXT";

// Level-0 headers with Shift-JIS paths, one of them with 0x5C as a second byte, as the MS-DOS
// archivers wrote them.
static std::string OldJapaneseLzh()
{
    const unsigned date = (1996 - 1980) << 9 | 7 << 5 | 15, time = 10 << 11 | 30 << 5 | 10;
    return Level0Lzh({{japanese, std::string(300, 'j'), date, time},
                      {folderMember, "table\r\n", date, time + 1},
                      {kana, std::string(70000, 'k'), date + 1, time}});
}

TEST(UnpackWindow, ShiftJisNamesOfAnOldLzhAreListedAndWritten)
{
    TempDir dir;
    std::string box = dir.MakeDir("box"), one = dir.MakeDir("one"), all = dir.MakeDir("all");
    std::string lzh = OldJapaneseLzh();
    WriteBytes(box + "\\old.lzh", (const unsigned char *)lzh.data(), lzh.size());
    int temporaries = CountTemporaryDirectories();
    ASSERT_TRUE(KelpoStart("Kelpo.EXE " + box));

    std::vector<MemberRecord> r = MemberRecords(ARC_LZH, box + "\\old.lzh");
    ASSERT_EQ(3u, r.size());
    const struct {
        const char *name;
        DWORD size;
        const char *when;
    } listed[] = {
        {japanese, 300, " 1996-07-15 10:30:20 "},
        {folderMember, 7, " 1996-07-15 10:30:22 "},
        {kana, 70000, " 1996-07-16 10:30:20 "},
    };
    for (int i = 0; i < 3; i++) {
        EXPECT_STREQ(listed[i].name, r[i].name);
        EXPECT_EQ(listed[i].size, r[i].originalSize);
        char details[MEMBER_DETAILS_BUFFER], size[16];
        FormatMemberDetails(ARC_LZH, &r[i], details, sizeof details);
        snprintf(size, sizeof size, "%9lu", (unsigned long)listed[i].size);
        EXPECT_EQ(0u, std::string(details).find(size)) << details;
        EXPECT_NE(std::string::npos, std::string(details).find(listed[i].when)) << details;
    }

    CursorOn("old.lzh");
    // The member whose name holds 0x5C alone, then everything.
    EnterMarkAndUnpack(1, VK_SPACE, one, [](HWND dialog) {
        EXPECT_EQ("old.lzh", ReadDialog(dialog).Find(IDC_UNPACK_NAME)->text);
        EXPECT_EQ(3, (int)SendDlgItemMessageA(dialog, IDC_UNPACK_LIST, LB_GETCOUNT, 0, 0));
    });
    EXPECT_EQ("table\r\n", ReadAll(one + "\\" + folderMember));
    EXPECT_EQ("<missing>", ReadAll(one + "\\" + japanese));
    EXPECT_EQ("<missing>", ReadAll(one + "\\" + kana));
    EnterMarkAndUnpack(0, VK_HOME, all);
    EXPECT_EQ(std::string(300, 'j'), ReadAll(all + "\\" + japanese));
    EXPECT_EQ("table\r\n", ReadAll(all + "\\" + folderMember));
    EXPECT_EQ(70000u, ReadAll(all + "\\" + kana).size());
    EXPECT_EQ(temporaries, CountTemporaryDirectories());
    KelpoStop();
}
