// Copy and Move in the real main window with the real dialogs: marked files and directories,
// Japanese names, the same-name choices, the destination rules, Esc in the middle of a tree,
// read-only and hidden files. Every scenario checks the files on disk byte for byte, their
// times, and that the host's clock did not move.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "base/globals.h"
#include "screen/cursor.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "fileops/copy.h"
#include "fileops/copycmd.h"
#include "fileops/copy_ids.h"
#include "fileops/copydlg.h"
#include "fileops/fileops_ids.h"
#include "ui/msgdlg.h"
#include "support/dialogdriver.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "test_copy_files.h"

namespace {

// Contents as compared: short ones as they are, long ones by size and checksum.
std::string Digest(const std::string &data)
{
    if (data.size() <= 64)
        return data;
    unsigned long long sum = 1469598103934665603ULL;
    for (unsigned char c : data)
        sum = (sum ^ c) * 1099511628211ULL;
    return std::to_string(data.size()) + " bytes #" + std::to_string(sum);
}

// All files below root, relative path → contents (Digest).
void ReadTree(const std::string &root, const std::string &prefix, std::map<std::string, std::string> *files)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((root + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ReadTree(root + "\\" + name, prefix + name + "\\", files);
        else
            (*files)[prefix + name] = Digest(ReadAll(root + "\\" + name));
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

int CountFiles(const std::string &directory)
{
    int count = 0;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((directory + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do
        count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileA(h, &found));
    FindClose(h);
    return count;
}

// The system clock against the tick count: the drift in milliseconds since Start.
struct ClockWatch {
    ULONGLONG wall;
    DWORD tick;
    ClockWatch() { Take(&wall, &tick); }
    static void Take(ULONGLONG *w, DWORD *t)
    {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        *w = ((ULONGLONG)now.dwHighDateTime << 32) | now.dwLowDateTime;
        *t = GetTickCount();
    }
    LONGLONG Drift() const
    {
        ULONGLONG w;
        DWORD t;
        Take(&w, &t);
        return (LONGLONG)(w - wall) / 10000 - (LONGLONG)(t - tick);
    }
};

struct Result {
    std::string text;
    std::vector<std::string> items;
};

class CopyWindow : public KelpoWindowTest {
protected:
    std::string src, dst;
    ClockWatch clock;
    void SetUp() override
    {
        KelpoWindowTest::SetUp();
        src = temp.MakeDir("src");
        dst = temp.MakeDir("dst");
    }
    void TearDown() override
    {
        KelpoWindowTest::TearDown();
        EXPECT_LT(llabs(clock.Drift()), 2000) << "the clock moved";
    }
    void Start()
    {
        KelpoWindowTest::Start(src);
        if (HasFatalFailure())
            return;
        Settings.dirmark = 1;
    }
    void GoTo(const std::string &name)
    {
        GoToFirst();
        KelpoPump();
        while (CursorEntry() != name && PageTop + CursorSlot < EntryCount - 1)
            KelpoKey(VK_DOWN);
        ASSERT_EQ(name, CursorEntry());
    }
    void Mark(const std::vector<std::string> &names)
    {
        for (const std::string &name : names) {
            GoTo(name);
            KelpoKey(VK_SPACE);
        }
        ASSERT_EQ((int)names.size(), MarkedCount);
    }
    // The command letter typed: C copies, M moves.
    void Run(int move)
    {
        KelpoType(move ? "m" : "c");
    }
    static void Destination(DialogDriver &driver, const std::string &path, SeenDialog *seen = nullptr)
    {
        driver.Then([=](HWND dialog) {
            if (seen)
                *seen = ReadDialog(dialog);
            SetDlgItemTextA(dialog, IDC_DEST_COMBO, path.c_str());
            PressButton(dialog, IDOK);
        });
    }
    static void SameName(DialogDriver &driver, int button, SeenDialog *seen = nullptr)
    {
        driver.Then([=](HWND dialog) {
            if (seen)
                *seen = ReadDialog(dialog);
            CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, button);
            PressButton(dialog, IDOK);
        });
    }
    // The rename dialog asking for another name: names the caption and the name it offered.
    static void OtherName(DialogDriver &driver, const std::string &name, std::vector<std::string> *offered)
    {
        driver.Then([=](HWND dialog) {
            SeenDialog seen = ReadDialog(dialog);
            offered->push_back(seen.caption + ": " + seen.Find(IDC_NAME_EDIT)->text);
            SetDlgItemTextA(dialog, IDC_NAME_EDIT, name.c_str());
            PressButton(dialog, IDOK);
        });
    }
    static void Answer(DialogDriver &driver, std::vector<std::string> *captions, std::vector<std::string> *texts = nullptr)
    {
        driver.Then([=](HWND dialog) {
            SeenDialog seen = ReadDialog(dialog);
            captions->push_back(seen.caption);
            if (texts && g_messageDialog.text)
                texts->push_back(g_messageDialog.text);
            PressButton(dialog, IDOK);
        });
    }
    // The command run to destination with no other question on the way: the result list.
    Result CopyTo(const std::string &destination, int move)
    {
        DialogDriver driver;
        Destination(driver, destination);
        Result result;
        ReadResult(driver, &result);
        Run(move);
        EXPECT_TRUE(driver.Done());
        return result;
    }
    static void ReadResult(DialogDriver &driver, Result *result)
    {
        driver.Then([=](HWND dialog) {
            char text[256];
            GetDlgItemTextA(dialog, IDC_RESULT_TEXT, text, sizeof text);
            result->text = text;
            HWND list = GetDlgItem(dialog, IDC_RESULT_LIST);
            int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
            for (int i = 0; i < count; i++) {
                char slot[RESULT_SLOT_BYTES];
                ResultSlotText((int)SendMessageA(list, LB_GETITEMDATA, i, 0), slot);
                result->items.push_back(slot);
            }
            std::sort(result->items.begin(), result->items.end());
            PressButton(dialog, IDOK);
        });
    }
};

const ULONGLONG OLD = 126000000000000000ULL;   // 2000
const ULONGLONG NEWER = OLD + 864000000000ULL;  // a day later

// Marked files (one Japanese, one read-only, one hidden) and a directory tree into another
// directory; one name exists there with an older file, one with a newer one: "newer only"
// copies the first and leaves the second. With dirtime the new directories keep their times.
TEST_F(CopyWindow, CopyMarkedFilesAndTreeNewerOnly)
{
    temp.MakeFile("src\\日本語の名前.txt", std::string(70000, 'n'));
    temp.MakeFile("src\\ro.txt", "read-only source", FILE_ATTRIBUTE_READONLY);
    temp.MakeFile("src\\hid.txt", "hidden source", FILE_ATTRIBUTE_HIDDEN);
    temp.MakeFile("src\\older.txt", "source newer than target");
    temp.MakeFile("src\\newer.txt", "source older than target");
    temp.MakeFile("src\\unmarked.txt", "stays");
    temp.MakeDir("src\\木");
    temp.MakeFile("src\\木\\葉.txt", "leaf");
    temp.MakeDir("src\\木\\枝");
    temp.MakeFile("src\\木\\枝\\実.bin", std::string(300000, '\x81'));
    temp.MakeFile("dst\\older.txt", "old target");
    temp.MakeFile("dst\\newer.txt", "new target");
    SetWriteTime(temp.Full("src\\older.txt"), NEWER);
    SetWriteTime(temp.Full("dst\\older.txt"), OLD);
    SetWriteTime(temp.Full("src\\newer.txt"), OLD);
    SetWriteTime(temp.Full("dst\\newer.txt"), NEWER);
    SetWriteTime(temp.Full("src\\木\\枝"), OLD);
    SetWriteTime(temp.Full("src\\木"), OLD + 10000000);
    Start();
    Settings.dirtime = 1;
    Mark({"日本語の名前.txt", "ro.txt", "hid.txt", "older.txt", "newer.txt", "木"});
    GoTo("unmarked.txt");

    DialogDriver driver;
    SeenDialog destination, sameName;
    Destination(driver, dst, &destination);
    SameName(driver, IDC_SAME_NAME_NEWER, &sameName);
    Result result;
    ReadResult(driver, &result);
    Run(0);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());

    EXPECT_EQ("Kelpo - Copy", destination.caption);
    EXPECT_EQ("ﾏｰｸされたﾌｧｲﾙをｺﾋﾟｰします", destination.Find(IDC_DEST_HEADER)->text);
    EXPECT_EQ("ｺﾋﾟｰ先のﾃﾞｨﾚｸﾄﾘ名を入力してください", destination.Find(IDC_DEST_PROMPT)->text);
    std::string drives = destination.Find(IDC_DEST_DRIVES)->text;
    ASSERT_EQ(28u, drives.size());
    EXPECT_EQ('C', drives[3]);
    EXPECT_EQ('\xA5', drives[2]);   // no drive B
    EXPECT_EQ(src, destination.Find(IDC_DEST_COMBO)->text);
    EXPECT_TRUE(destination.Find(IDC_DEST_TREE)->enabled);
    EXPECT_EQ("newer.txt", sameName.Find(IDC_SAME_NAME_FILE)->text);   // the first conflict in display order

    EXPECT_EQ("6個のファイルのコピーを終了しました", result.text);
    EXPECT_EQ((std::vector<std::string>{"hid.txt", "older.txt", "ro.txt", "日本語の名前.txt", "木\\枝\\実.bin",
                                        "木\\葉.txt"}),
              result.items);
    std::map<std::string, std::string> copied;
    ReadTree(dst, "", &copied);
    std::map<std::string, std::string> expected = {
        {"日本語の名前.txt", Digest(std::string(70000, 'n'))},
        {"ro.txt", "read-only source"},
        {"hid.txt", "hidden source"},
        {"older.txt", "source newer than target"},
        {"newer.txt", "new target"},
        {"木\\葉.txt", "leaf"},
        {"木\\枝\\実.bin", Digest(std::string(300000, '\x81'))},
    };
    EXPECT_EQ(expected, copied);
    for (const char *name : {"日本語の名前.txt", "ro.txt", "hid.txt", "older.txt", "木\\葉.txt", "木\\枝\\実.bin"})
        EXPECT_EQ(WriteTime(temp.Full(std::string("src\\") + name)), WriteTime(temp.Full(std::string("dst\\") + name)))
            << name;
    EXPECT_TRUE(GetFileAttributesA(temp.Full("dst\\ro.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(GetFileAttributesA(temp.Full("dst\\hid.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(OLD, WriteTime(temp.Full("dst\\木\\枝")));
    EXPECT_EQ(OLD + 10000000, WriteTime(temp.Full("dst\\木")));
    EXPECT_EQ(6, CountFiles(src));   // nothing moved
    // The copy leaves the cursor where it was, on the re-read listing.
    EXPECT_EQ("unmarked.txt", CursorEntry());
    EXPECT_EQ(0, MarkedCount);
}

// A move within the drive: the directory is renamed whole, the file whose name exists is
// skipped and keeps its place, the cursor lands on the first entry after the moved ones.
TEST_F(CopyWindow, MoveWithSkipAndCursorAfterwards)
{
    temp.MakeDir("src\\dirA");
    temp.MakeFile("src\\dirA\\inner.txt", "inner");
    temp.MakeFile("src\\f1.txt", "one");
    temp.MakeFile("src\\f2.txt", "two");
    temp.MakeFile("src\\f3.txt", "three");
    temp.MakeFile("src\\keep.txt", "keep source");
    temp.MakeFile("dst\\keep.txt", "keep target");
    Start();
    Mark({"dirA", "f1.txt", "f2.txt", "keep.txt"});
    GoTo("dirA");

    DialogDriver driver;
    SeenDialog destination, sameName;
    Destination(driver, dst + "\\", &destination);
    // The question shows with the cursor drawn on the file it is about.
    std::string cursorAtQuestion;
    int drawnSlot = -2, cursorSlot = -1;
    driver.Then([&](HWND dialog) {
        cursorAtQuestion = CursorEntry();
        drawnSlot = PrevSlot;
        cursorSlot = CursorSlot;
        sameName = ReadDialog(dialog);
        CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, IDC_SAME_NAME_SKIP);
        PressButton(dialog, IDOK);
    });
    Result result;
    ReadResult(driver, &result);
    Run(1);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(0, driver.Unexpected());
    EXPECT_EQ("Kelpo - Move", destination.caption);
    EXPECT_EQ("ﾏｰｸされたﾌｧｲﾙを移動します", destination.Find(IDC_DEST_HEADER)->text);
    EXPECT_EQ("移動先のﾃﾞｨﾚｸﾄﾘ名を入力してください", destination.Find(IDC_DEST_PROMPT)->text);
    EXPECT_EQ("Kelpo - Move", sameName.caption);
    EXPECT_EQ("keep.txt", cursorAtQuestion);
    EXPECT_EQ(cursorSlot, drawnSlot);
    EXPECT_EQ("3個のファイルの移動を終了しました", result.text);
    EXPECT_EQ((std::vector<std::string>{"dirA\\", "f1.txt", "f2.txt"}), result.items);

    std::map<std::string, std::string> moved, left;
    ReadTree(dst, "", &moved);
    ReadTree(src, "", &left);
    EXPECT_EQ((std::map<std::string, std::string>{{"dirA\\inner.txt", "inner"}, {"f1.txt", "one"},
                                                  {"f2.txt", "two"}, {"keep.txt", "keep target"}}),
              moved);
    EXPECT_EQ((std::map<std::string, std::string>{{"f3.txt", "three"}, {"keep.txt", "keep source"}}), left);
    EXPECT_EQ("f3.txt", CursorEntry());
    // The destination is first in the path history now.
    EXPECT_STREQ(dst.c_str(), PathHistory[0]);
}

// The destination dialog's rules: a drive letter stands for the last directory listed on it
// (here the listed one, so the move is refused), a new directory is made one level deep only.
TEST_F(CopyWindow, DestinationRules)
{
    temp.MakeFile("src\\a.txt", "a");
    Start();
    GoTo("a.txt");
    std::vector<std::string> captions, texts;
    DialogDriver driver;
    SeenDialog header;
    Destination(driver, "c", &header);
    Answer(driver, &captions, &texts);
    Run(1);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ("a.txt を移動します", header.Find(IDC_DEST_HEADER)->text);
    EXPECT_EQ((std::vector<std::string>{"Kelpo - Move"}), captions);
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "同じﾃﾞｨﾚｸﾄﾘには移動できません"));
    EXPECT_EQ("a", ReadAll(temp.Full("src\\a.txt")));

    // Two levels that do not exist: refused, the dialog stays; one level: made and used.
    captions.clear();
    texts.clear();
    GoTo("a.txt");
    DialogDriver second;
    Destination(second, dst + "\\x\\y");
    Answer(second, &captions, &texts);
    Destination(second, dst + "\\new");
    Result result;
    ReadResult(second, &result);
    Run(0);
    EXPECT_TRUE(second.Done());
    EXPECT_EQ(0, second.Unexpected());
    EXPECT_EQ((std::vector<std::string>{"Kelpo - Copy"}), captions);
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "正しいﾃﾞｨﾚｸﾄﾘ名を入力してください"));
    EXPECT_FALSE(Exists(dst + "\\x"));
    EXPECT_EQ("a", ReadAll(dst + "\\new\\a.txt"));
    EXPECT_EQ("ファイルのコピーを終了しました", result.text);

    // Cancel: nothing happens.
    GoTo("a.txt");
    DialogDriver third;
    third.Then([](HWND dialog) { PressButton(dialog, IDCANCEL); });
    Run(1);
    EXPECT_TRUE(third.Done());
    EXPECT_EQ("a", ReadAll(temp.Full("src\\a.txt")));

    // C typed with Shift opens the tree at once; Cancel in the tree cancels the command.
    GoTo("a.txt");
    DialogDriver treeAtOnce;
    bool treeSeen = false;
    treeAtOnce.ThenSteps([&](HWND dialog, int) {
        char caption[64];
        GetWindowTextA(dialog, caption, sizeof caption);
        if (strcmp(caption, "Kelpo - Directory Tree") != 0)
            return false;
        treeSeen = true;
        PressButton(dialog, IDCANCEL);
        return true;
    });
    KelpoType("C");
    EXPECT_TRUE(treeSeen);
    EXPECT_TRUE(treeAtOnce.Done());
    EXPECT_EQ(0, treeAtOnce.Unexpected());
    EXPECT_EQ(nullptr, FindActiveDialog());
    EXPECT_EQ(1, CountFiles(dst + "\\new"));
}

// Into the listed directory a copy needs another name; over a read-only file even "overwrite
// all" stops with the error, leaving both files as they were.
TEST_F(CopyWindow, AnotherNameAndReadOnlyTarget)
{
    temp.MakeFile("src\\doc.txt", "document");
    temp.MakeDir("src\\sub");
    temp.MakeFile("src\\sub\\x", "");
    Start();
    GoTo("doc.txt");
    DialogDriver driver;
    SeenDialog sameName;
    std::vector<std::string> offered;
    Destination(driver, src);
    SameName(driver, IDC_SAME_NAME_RENAME, &sameName);
    // A name that is taken asks again, offering what was typed.
    OtherName(driver, "doc.txt", &offered);
    OtherName(driver, "doc コピー.txt", &offered);
    Result result;
    ReadResult(driver, &result);
    Run(0);
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(sameName.Find(IDC_SAME_NAME_OVERWRITE)->enabled);
    EXPECT_EQ((std::vector<std::string>{"Kelpo - Rename: doc.txt", "Kelpo - Rename: doc.txt"}), offered);
    EXPECT_EQ("document", ReadAll(temp.Full("src\\doc コピー.txt")));
    EXPECT_EQ(WriteTime(temp.Full("src\\doc.txt")), WriteTime(temp.Full("src\\doc コピー.txt")));
    EXPECT_EQ("ファイルのコピーを終了しました", result.text);

    // A directory into the listed directory is refused.
    GoTo("sub");
    std::vector<std::string> captions, texts;
    DialogDriver refusal;
    Destination(refusal, src);
    Answer(refusal, &captions, &texts);
    Run(0);
    EXPECT_TRUE(refusal.Done());
    EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), "ｻﾌﾞﾃﾞｨﾚｸﾄﾘは同じﾃﾞｨﾚｸﾄﾘにｺﾋﾟｰできません"));
    // So is a directory into itself, which would never end.
    texts.clear();
    DialogDriver intoItself;
    Destination(intoItself, src + "\\sub");
    Answer(intoItself, &captions, &texts);
    Run(0);
    EXPECT_TRUE(intoItself.Done());
    EXPECT_EQ((std::vector<std::string>{"ｻﾌﾞﾃﾞｨﾚｸﾄﾘは同じﾃﾞｨﾚｸﾄﾘにｺﾋﾟｰできません"}), texts);
    EXPECT_EQ(1, CountFiles(src + "\\sub"));
    EXPECT_FALSE(Exists(src + "\\sub\\sub"));

    temp.MakeFile("dst\\doc.txt", "protected", FILE_ATTRIBUTE_READONLY);
    GoTo("doc.txt");
    captions.clear();
    DialogDriver over;
    Destination(over, dst);
    SameName(over, IDC_SAME_NAME_OVERWRITE);
    Answer(over, &captions);
    Run(0);
    EXPECT_TRUE(over.Done());
    EXPECT_EQ(0, over.Unexpected());
    EXPECT_EQ((std::vector<std::string>{"Kelpo - Error"}), captions);
    EXPECT_EQ("protected", ReadAll(temp.Full("dst\\doc.txt")));
    EXPECT_EQ("document", ReadAll(temp.Full("src\\doc.txt")));
    EXPECT_EQ(1, CountFiles(dst));   // no temporary file left behind
}

// The listed directory spelled another way (through "..", with "." or in other letter case) is
// still the listed directory: a move there is refused before anything happens, and a copy of a
// file can only go under another name. Taken for another directory, moving a directory there
// merged it into itself and then deleted it.
TEST_F(CopyWindow, ListedDirectorySpelledOtherwise)
{
    temp.MakeDir("src\\dirB");
    temp.MakeFile("src\\dirB\\b.txt", "bee");
    temp.MakeDir("src\\sub");
    temp.MakeFile("src\\c.txt", "sea");
    Start();
    std::string lower = src;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    for (const std::string &spelling : {src + "\\sub\\..", src + "\\.", lower}) {
        SCOPED_TRACE(spelling);
        for (const char *name : {"dirB", "c.txt"}) {
            SCOPED_TRACE(name);
            GoTo(name);
            std::vector<std::string> seen;
            DialogDriver driver;
            Destination(driver, spelling);
            // Whatever comes next is answered the way that would do the most harm.
            for (int i = 0; i < 6; i++)
                driver.Then([&](HWND dialog) {
                    SeenDialog s = ReadDialog(dialog);
                    if (const SeenControl *over = s.Find(IDC_SAME_NAME_OVERWRITE)) {
                        seen.push_back(s.caption + ": same name");
                        if (over->enabled)
                            CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, IDC_SAME_NAME_OVERWRITE);
                        PressButton(dialog, IDOK);
                    } else if (s.Find(IDC_NAME_EDIT) || s.Find(IDC_RESULT_LIST)) {
                        seen.push_back(s.caption);
                        PressButton(dialog, IDCANCEL);
                        PressButton(dialog, IDOK);
                    } else {
                        seen.push_back(s.caption + ": " + (g_messageDialog.text ? g_messageDialog.text : ""));
                        PressButton(dialog, IDOK);
                    }
                });
            Run(1);
            EXPECT_EQ((std::vector<std::string>{"Kelpo - Move: 同じﾃﾞｨﾚｸﾄﾘには移動できません"}), seen);
            EXPECT_EQ("bee", ReadAll(temp.Full("src\\dirB\\b.txt")));
            EXPECT_EQ("sea", ReadAll(temp.Full("src\\c.txt")));
        }
        // A copy of the file: only another name can be chosen, and the rename is cancelled here.
        GoTo("c.txt");
        SeenDialog sameName;
        DialogDriver copy;
        Destination(copy, spelling);
        copy.Then([&](HWND dialog) {
            sameName = ReadDialog(dialog);
            PressButton(dialog, IDOK);
        });
        copy.Then([](HWND dialog) { PressButton(dialog, IDCANCEL); });
        Run(0);
        EXPECT_TRUE(copy.Done());
        EXPECT_EQ(0, copy.Unexpected());
        ASSERT_NE(nullptr, sameName.Find(IDC_SAME_NAME_OVERWRITE));
        EXPECT_FALSE(sameName.Find(IDC_SAME_NAME_OVERWRITE)->enabled);
        EXPECT_EQ("sea", ReadAll(temp.Full("src\\c.txt")));
        EXPECT_EQ(1, CountFiles(src + "\\dirB"));
        EXPECT_EQ(1, CountFiles(src));
    }
    // The command itself, given the listed directory in lower case, refuses the move too.
    GoTo("dirB");
    strcpy(CopyDestination, lower.c_str());
    CopyMoveMode = COPYMOVE_MOVE;
    std::vector<std::string> captions, texts;
    DialogDriver refusal;
    Answer(refusal, &captions, &texts);
    EXPECT_EQ(0, CopyMoveLoop());
    EXPECT_TRUE(refusal.Done());
    EXPECT_EQ((std::vector<std::string>{"同じﾃﾞｨﾚｸﾄﾘには移動できません"}), texts);
    EXPECT_EQ("bee", ReadAll(temp.Full("src\\dirB\\b.txt")));
}

// A link to the listed directory as the destination: the names there are the listed files
// themselves. "Overwrite" leaves a file where it is (moving it onto itself lost it), and a
// directory is not merged into itself (which then deleted it).
TEST_F(CopyWindow, DestinationIsALinkToTheListedDirectory)
{
    temp.MakeDir("src\\dirB");
    temp.MakeFile("src\\dirB\\b.txt", "bee");
    temp.MakeFile("src\\c.txt", "sea");
    if (!MakeDirectoryLink(temp.Full("src\\self"), src))
        GTEST_SKIP() << "no directory links here";
    Start();
    for (int move = 0; move <= 1; move++) {
        for (const char *name : {"c.txt", "dirB"}) {
            SCOPED_TRACE(name);
            GoTo(name);
            std::vector<std::string> seen;
            DialogDriver driver;
            Destination(driver, src + "\\self");
            for (int i = 0; i < 4; i++)
                driver.Then([&](HWND dialog) {
                    SeenDialog s = ReadDialog(dialog);
                    if (s.Find(IDC_SAME_NAME_OVERWRITE)) {
                        seen.push_back(s.caption + ": same name");
                        CheckRadioButton(dialog, IDC_SAME_NAME_NEWER, IDC_SAME_NAME_SKIP, IDC_SAME_NAME_OVERWRITE);
                    } else {
                        seen.push_back(s.caption + ": " + (s.Find(IDC_RESULT_LIST) ? "result" : g_messageDialog.text));
                    }
                    PressButton(dialog, IDOK);
                });
            Run(move);
            std::string caption = move ? "Kelpo - Move" : "Kelpo - Copy";
            if (std::string(name) == "c.txt")
                EXPECT_EQ((std::vector<std::string>{caption + ": same name"}), seen) << move;
            else
                EXPECT_EQ((std::vector<std::string>{caption + ": ｻﾌﾞﾃﾞｨﾚｸﾄﾘは同じﾃﾞｨﾚｸﾄﾘにｺﾋﾟｰできません"}), seen) << move;
            EXPECT_EQ("bee", ReadAll(temp.Full("src\\dirB\\b.txt"))) << move;
            EXPECT_EQ("sea", ReadAll(temp.Full("src\\c.txt"))) << move;
            EXPECT_EQ(1, CountFiles(src + "\\dirB"));
            EXPECT_EQ(1, CountFiles(src));
        }
    }
    RemoveDirectoryLink(temp.Full("src\\self"));
}

// A link outside the listed directory that leads into the directory being copied: the copy
// would copy its own copies until the path grew too long.
TEST_F(CopyWindow, DestinationThroughALinkIntoTheSourceIsRefused)
{
    temp.MakeDir("src\\dirB");
    temp.MakeDir("src\\dirB\\inner");
    temp.MakeFile("src\\dirB\\b.txt", "bee");
    if (!MakeDirectoryLink(temp.Full("into"), temp.Full("src\\dirB\\inner")))
        GTEST_SKIP() << "no directory links here";
    Start();
    for (int move = 0; move <= 1; move++) {
        GoTo("dirB");
        std::vector<std::string> captions, texts;
        DialogDriver driver;
        Destination(driver, temp.Full("into"));
        Answer(driver, &captions, &texts);
        Run(move);
        EXPECT_EQ(0, driver.Unexpected());
        EXPECT_EQ((std::vector<std::string>{move ? "Kelpo - Move" : "Kelpo - Copy"}), captions) << move;
        EXPECT_EQ((std::vector<std::string>{"ｻﾌﾞﾃﾞｨﾚｸﾄﾘは同じﾃﾞｨﾚｸﾄﾘにｺﾋﾟｰできません"}), texts) << move;
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(temp.Full("src\\dirB\\inner\\dirB").c_str())) << move;
        EXPECT_EQ("bee", ReadAll(temp.Full("src\\dirB\\b.txt"))) << move;
    }
    RemoveDirectoryLink(temp.Full("into"));
}

// Listed at the root of a drive, a directory copied or moved into its own subdirectory is
// refused like anywhere else, and the result list names its files relative to the root.
TEST_F(CopyWindow, DirectoryAtTheRootOfADrive)
{
    std::string name = "klproot" + std::to_string(GetCurrentProcessId());
    std::string dir = "C:\\" + name;
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((dir + "\\sub").c_str(), NULL));
    HANDLE file = CreateFileA((dir + "\\a.txt").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    DWORD written = 0;
    WriteFile(file, "a", 1, &written, NULL);
    CloseHandle(file);
    KelpoWindowTest::Start("C:\\");
    ASSERT_FALSE(HasFatalFailure());
    Settings.dirmark = 1;
    for (int move = 0; move <= 1; move++) {
        GoTo(name);
        std::vector<std::string> captions, texts;
        DialogDriver driver;
        Destination(driver, dir + "\\sub");
        Answer(driver, &captions, &texts);
        Run(move);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(0, driver.Unexpected());
        EXPECT_EQ((std::vector<std::string>{"ｻﾌﾞﾃﾞｨﾚｸﾄﾘは同じﾃﾞｨﾚｸﾄﾘにｺﾋﾟｰできません"}), texts) << move;
        EXPECT_FALSE(Exists(dir + "\\sub\\" + name)) << move;
        EXPECT_EQ("a", ReadAll(dir + "\\a.txt"));
    }
    GoTo(name);
    Result result = CopyTo(dst, 0);
    EXPECT_EQ((std::vector<std::string>{name + "\\a.txt"}), result.items);
    EXPECT_EQ("a", ReadAll(dst + "\\" + name + "\\a.txt"));
    RemoveTree(dir);
}

// Esc while a tree is being copied: the copy stops between two files; what was copied is
// whole, the source tree is untouched, the result lists what was done.
TEST_F(CopyWindow, EscInTheMiddleOfATree)
{
    const int FILES = 200;
    temp.MakeDir("src\\big");
    for (int i = 0; i < FILES; i++)
        temp.MakeFile("src\\big\\f" + std::to_string(1000 + i) + ".dat", std::string(256 * 1024, (char)('a' + i % 26)));
    Start();
    GoTo("big");
    struct Watch {
        std::string directory;
        HWND window;
        volatile bool posted;
    } watch{dst + "\\big", g_mainWnd, false};
    HANDLE thread = CreateThread(
        NULL, 0,
        [](LPVOID p) -> DWORD {
            Watch *w = (Watch *)p;
            for (int i = 0; i < 6000 && !w->posted; i++) {
                if (CountFiles(w->directory) >= 10) {
                    PostMessageA(w->window, WM_KEYDOWN, VK_ESCAPE, 0);
                    w->posted = true;
                }
                Sleep(5);
            }
            return 0;
        },
        &watch, 0, NULL);
    DialogDriver driver;
    Destination(driver, dst);
    Result result;
    ReadResult(driver, &result);
    Run(0);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    ASSERT_TRUE(watch.posted);
    EXPECT_TRUE(driver.Done());
    int copied = CountFiles(dst + "\\big");
    EXPECT_GE(copied, 10);
    EXPECT_LT(copied, FILES);
    EXPECT_EQ(FILES, CountFiles(src + "\\big"));
    std::map<std::string, std::string> target;
    ReadTree(dst, "", &target);
    for (const auto &file : target)
        EXPECT_EQ(Digest(ReadAll(src + "\\" + file.first)), file.second) << file.first;
    EXPECT_EQ((int)target.size(), (int)result.items.size());
    EXPECT_EQ(std::to_string(copied) + "個のファイルのコピーを終了しました", result.text);
    EXPECT_EQ(0, BusyFlag);
    EXPECT_EQ(0, AbortFlag);
}

// A move to another drive copies and then deletes each file.
TEST_F(CopyWindow, MoveToAnotherDrive)
{
    std::string other = "Z:\\tmp\\kelpo-move-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(other.c_str(), NULL))
        GTEST_SKIP() << "no drive Z: mapped to a writable /tmp";
    temp.MakeFile("src\\across.txt", "across drives");
    temp.MakeFile("src\\日本.txt", "日本");
    ULONGLONG stamp = WriteTime(temp.Full("src\\across.txt"));
    Start();
    Mark({"across.txt", "日本.txt"});
    Result result = CopyTo(other, 1);
    EXPECT_EQ("2個のファイルの移動を終了しました", result.text);
    EXPECT_EQ("across drives", ReadAll(other + "\\across.txt"));
    EXPECT_EQ("日本", ReadAll(other + "\\日本.txt"));
    EXPECT_EQ(stamp, WriteTime(other + "\\across.txt"));
    EXPECT_FALSE(Exists(temp.Full("src\\across.txt")));
    EXPECT_FALSE(Exists(temp.Full("src\\日本.txt")));
    RemoveTree(other);
}

} // namespace
