// UNLHA32.DLL driven the way the filer drives it: loaded by name, every entry resolved with
// GetProcAddress, the member record read at its byte offsets, and the command strings and
// response files of the unpack and pack commands.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
typedef HGLOBAL HARC;

typedef WORD(WINAPI *GetVersionFn)(void);
typedef BOOL(WINAPI *GetRunningFn)(void);
typedef BOOL(WINAPI *SetBackGroundModeFn)(BOOL);
typedef int(WINAPI *UnlhaFn)(HWND, LPCSTR, LPSTR, DWORD);
typedef BOOL(WINAPI *CheckArchiveFn)(LPCSTR, int);
typedef int(WINAPI *GetFileCountFn)(LPCSTR);
typedef BOOL(WINAPI *ConfigDialogFn)(HWND, LPSTR, int);
typedef HARC(WINAPI *OpenArchiveFn)(HWND, LPCSTR, DWORD);
typedef int(WINAPI *CloseArchiveFn)(HARC);
typedef int(WINAPI *FindFirstFn)(HARC, LPCSTR, void *);
typedef int(WINAPI *FindNextFn)(HARC, void *);

struct Api {
    HMODULE dll = NULL;
    GetVersionFn GetVersion;
    GetRunningFn GetRunning;
    SetBackGroundModeFn SetBackGroundMode;
    UnlhaFn Unlha;
    CheckArchiveFn CheckArchive;
    GetFileCountFn GetFileCount;
    ConfigDialogFn ConfigDialog;
    OpenArchiveFn OpenArchive;
    CloseArchiveFn CloseArchive;
    FindFirstFn FindFirst;
    FindNextFn FindNext;
};

template <typename T> T Entry(HMODULE dll, const char *name) { return (T)(void *)GetProcAddress(dll, name); }

const Api &Lib()
{
    static Api api;
    if (!api.dll) {
        UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
        api.dll = LoadLibraryA("UNLHA32.DLL");
        SetErrorMode(old);
        if (api.dll) {
            api.GetVersion = Entry<GetVersionFn>(api.dll, "UnlhaGetVersion");
            api.GetRunning = Entry<GetRunningFn>(api.dll, "UnlhaGetRunning");
            api.SetBackGroundMode = Entry<SetBackGroundModeFn>(api.dll, "UnlhaSetBackGroundMode");
            api.Unlha = Entry<UnlhaFn>(api.dll, "Unlha");
            api.CheckArchive = Entry<CheckArchiveFn>(api.dll, "UnlhaCheckArchive");
            api.GetFileCount = Entry<GetFileCountFn>(api.dll, "UnlhaGetFileCount");
            api.ConfigDialog = Entry<ConfigDialogFn>(api.dll, "UnlhaConfigDialog");
            api.OpenArchive = Entry<OpenArchiveFn>(api.dll, "UnlhaOpenArchive");
            api.CloseArchive = Entry<CloseArchiveFn>(api.dll, "UnlhaCloseArchive");
            api.FindFirst = Entry<FindFirstFn>(api.dll, "UnlhaFindFirst");
            api.FindNext = Entry<FindNextFn>(api.dll, "UnlhaFindNext");
        }
    }
    return api;
}

// The member record read at the offsets the filer uses.
const size_t kRecordSize = 558;
struct Record {
    DWORD original, compressed, crc;
    WORD ratio, date, time;
    std::string name, attribute, method;
};

Record ReadRecord(const uint8_t *p)
{
    Record r;
    memcpy(&r.original, p + 0, 4);
    memcpy(&r.compressed, p + 4, 4);
    memcpy(&r.crc, p + 8, 4);
    memcpy(&r.ratio, p + 20, 2);
    memcpy(&r.date, p + 22, 2);
    memcpy(&r.time, p + 24, 2);
    r.name = std::string((const char *)p + 26, strnlen((const char *)p + 26, 513));
    r.attribute = std::string((const char *)p + 542, strnlen((const char *)p + 542, 8));
    r.method = std::string((const char *)p + 550, strnlen((const char *)p + 550, 8));
    return r;
}

uint16_t Crc16(const Bytes &b)
{
    unsigned c = 0;
    for (uint8_t x : b) {
        c ^= x;
        for (int k = 0; k < 8; k++) c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
    }
    return (uint16_t)c;
}

void WriteBytes(const std::string &path, const Bytes &b)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    DWORD n = 0;
    if (!b.empty()) WriteFile(h, b.data(), (DWORD)b.size(), &n, NULL);
    CloseHandle(h);
    ASSERT_EQ(b.size(), n);
}

void WriteText(const std::string &path, const std::string &s) { WriteBytes(path, Bytes(s.begin(), s.end())); }

bool ReadBytes(const std::string &path, Bytes *b)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(h, NULL), n = 0;
    b->resize(size);
    bool ok = size == 0 || (ReadFile(h, b->data(), size, &n, NULL) && n == size);
    CloseHandle(h);
    return ok;
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Bytes RandomBytes(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto &c : b) c = (uint8_t)rng();
    return b;
}

Bytes TextBytes(size_t n, unsigned seed)
{
    static const char *words[] = {"file ", "manager ", "archive ", "\r\n", "key ", "directory ", "copy ", "move "};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) s += words[rng() % 8];
    s.resize(n);
    return Bytes(s.begin(), s.end());
}

void RemoveTree(const std::string &dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            std::string p = dir + "\\" + n;
            SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
            else DeleteFileA(p.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

// Every file below dir whose name contains part (case-sensitive), as paths.
void FindNamed(const std::string &dir, const std::string &part, std::vector<std::string> *out)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        if (n.find(part) != std::string::npos) out->push_back(dir + "\\" + n);
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) FindNamed(dir + "\\" + n, part, out);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void SetMTime(const std::string &path, int seconds_from_now)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    u.QuadPart += (LONGLONG)seconds_from_now * 10000000LL;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

FILETIME MTime(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path.c_str(), &fd);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    FindClose(h);
    return fd.ftLastWriteTime;
}

// The source tree every test packs: text, noise, an empty file, nested and empty
// directories, Japanese names (one whose second byte is a backslash), and a hidden
// read-only file.
struct TreeFile {
    std::string name;
    Bytes data;
    const char *method;
};

class UnlhaTest : public testing::Test {
protected:
    std::string root, work, archive;
    std::vector<TreeFile> files;
    std::vector<std::string> dirs{"dir", "dir\\sub", "dir\\emptydir"};

    void SetUp() override
    {
        ASSERT_NE(nullptr, Lib().dll) << "UNLHA32.DLL did not load";
        char tmp[MAX_PATH];
        GetTempPathA(sizeof tmp, tmp);
        static int counter = 0;
        root = std::string(tmp) + "unlha32_test_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
        RemoveTree(root);
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), NULL));
        work = root + "\\work";
        CreateDirectoryA(work.c_str(), NULL);
        CreateDirectoryA((root + "\\out").c_str(), NULL);
        files = {{"a.txt", TextBytes(50000, 1), "-lh5-"},
                 {"b.bin", RandomBytes(20000, 2), "-lh0-"},
                 {"empty.txt", Bytes(), "-lh0-"},
                 {"dir\\sub\\deep.txt", TextBytes(3000, 3), "-lh5-"},
                 {"dir\\日本語.txt", TextBytes(700, 4), "-lh5-"},
                 {"dir\\表示.txt", TextBytes(900, 5), "-lh5-"},
                 {"dir\\ro.txt", TextBytes(400, 6), "-lh5-"}};
        for (const std::string &d : dirs) CreateDirectoryA((work + "\\" + d).c_str(), NULL);
        for (const TreeFile &f : files) WriteBytes(work + "\\" + f.name, f.data);
        SetFileAttributesA((work + "\\dir\\ro.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        archive = root + "\\out\\test.lzh";
    }

    void TearDown() override
    {
        SetCurrentDirectoryA("\\");
        RemoveTree(root);
    }

    int Run(const std::string &cmd, std::string *log = nullptr)
    {
        std::vector<char> out(4096, 'Z');
        int rc = Lib().Unlha(NULL, cmd.c_str(), out.data(), 1024);
        EXPECT_NE(out.end(), std::find(out.begin(), out.begin() + 1024, '\0'));
        EXPECT_EQ('Z', out[1024]) << "the library wrote past the buffer size";
        if (log) *log = out.data();
        return rc;
    }

    // Packs the way the pack command does: a response file in the current directory.
    int Pack(char mode, const std::string &arc, const std::vector<std::string> &lines, const std::string &dir,
             std::string *log = nullptr)
    {
        EXPECT_TRUE(SetCurrentDirectoryA(dir.c_str()));
        std::string text = std::string(1, mode) + " -x1a1r2 \"" + arc + "\"\r\n";
        for (const std::string &l : lines) text += "\"" + l + "\"\r\n";
        WriteText(dir + "\\$PACK.LST", text);
        int rc = Run("@$PACK.LST", log);
        DeleteFileA((dir + "\\$PACK.LST").c_str());
        return rc;
    }

    void PackTree() { ASSERT_EQ(0, Pack('A', archive, {"a.txt", "b.bin", "empty.txt", "dir\\*.*"}, work)); }

    std::vector<Record> List(const std::string &arc, const char *wildcard = "*.*")
    {
        std::vector<Record> out;
        HARC h = Lib().OpenArchive(NULL, arc.c_str(), 1);
        EXPECT_NE((HARC)NULL, h);
        if (!h) return out;
        std::vector<uint8_t> buf(kRecordSize + 32, 0xCD);
        for (int rc = Lib().FindFirst(h, wildcard, buf.data()); rc == 0; rc = Lib().FindNext(h, buf.data())) {
            for (size_t i = kRecordSize; i < buf.size(); i++) EXPECT_EQ(0xCD, buf[i]) << "record overrun";
            out.push_back(ReadRecord(buf.data()));
        }
        Lib().CloseArchive(h);
        return out;
    }

    void ExpectTreeAt(const std::string &dest)
    {
        for (const TreeFile &f : files) {
            Bytes got;
            ASSERT_TRUE(ReadBytes(dest + "\\" + f.name, &got)) << f.name;
            EXPECT_TRUE(got == f.data) << f.name;
        }
        for (const std::string &d : dirs) {
            DWORD a = GetFileAttributesA((dest + "\\" + d).c_str());
            EXPECT_TRUE(a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) << d;
        }
    }
};

TEST(Entries, EveryEntryIsExportedAndAnswers)
{
    const Api &a = Lib();
    ASSERT_NE(nullptr, a.dll);
    ASSERT_TRUE(a.GetVersion && a.GetRunning && a.SetBackGroundMode && a.Unlha && a.CheckArchive && a.GetFileCount &&
                a.ConfigDialog && a.OpenArchive && a.CloseArchive && a.FindFirst && a.FindNext);
    WORD v = a.GetVersion();
    EXPECT_GT(v, 0);
    char text[32];
    wsprintfA(text, "UNLHA32 V%d.%02d", v / 100, v % 100);
    EXPECT_STRNE("UNLHA32 V0.00", text);
    EXPECT_FALSE(a.GetRunning());
    a.SetBackGroundMode(FALSE);

    char out[256];
    EXPECT_NE(0, a.Unlha(NULL, NULL, out, sizeof out));
    EXPECT_NE(0, a.Unlha(NULL, "Z a.lzh", out, sizeof out));
    EXPECT_NE(0, a.Unlha(NULL, "X \"Z:\\no\\such\\archive.lzh\" *.*", out, sizeof out));
    EXPECT_NE(nullptr, strstr(out, "archive.lzh"));

    // Not an archive: every entry says so without a crash.
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    std::string junk = std::string(tmp) + "unlha32_junk.lzh";
    WriteText(junk, "This is not an archive, just text long enough to be scanned for a header.");
    EXPECT_FALSE(a.CheckArchive(junk.c_str(), 0));
    EXPECT_EQ(-1, a.GetFileCount(junk.c_str()));
    EXPECT_EQ((HARC)NULL, a.OpenArchive(NULL, junk.c_str(), 1));
    DeleteFileA(junk.c_str());

    // A handle the library never gave out is refused, not followed.
    uint8_t rec[kRecordSize];
    int dummy = 0;
    EXPECT_NE(0, a.FindFirst((HARC)&dummy, "*.*", rec));
    EXPECT_NE(0, a.FindNext((HARC)&dummy, rec));
    EXPECT_NE(0, a.CloseArchive((HARC)&dummy));
}

TEST(Entries, SettingsDialogShowsAndCloses)
{
    ASSERT_NE(nullptr, Lib().dll);
    static volatile LONG result = -1;
    std::thread t([] { InterlockedExchange(&result, Lib().ConfigDialog(NULL, NULL, 1)); });
    HWND box = NULL;
    for (int i = 0; i < 200 && !box && result == -1; i++) {
        Sleep(50);
        box = FindWindowA(NULL, "UNLHA32.DLL");
    }
    if (!box) {
        t.detach();  // a box that never showed may still be waiting somewhere
        FAIL() << "no dialog appeared (is there a display?)";
    }
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    t.join();
    EXPECT_TRUE(result);
}

TEST_F(UnlhaTest, PackedArchiveIsListedWithTheMemberRecordLayout)
{
    PackTree();
    const Api &a = Lib();
    EXPECT_TRUE(a.CheckArchive(archive.c_str(), 0));
    EXPECT_TRUE(a.CheckArchive(archive.c_str(), 2));
    EXPECT_EQ((int)(files.size() + dirs.size()), a.GetFileCount(archive.c_str()));
    std::vector<Record> recs = List(archive);
    ASSERT_EQ(files.size() + dirs.size(), recs.size());
    for (const TreeFile &f : files) {
        auto r = std::find_if(recs.begin(), recs.end(), [&](const Record &x) { return x.name == f.name; });
        ASSERT_NE(recs.end(), r) << f.name;
        EXPECT_EQ(f.data.size(), r->original);
        EXPECT_EQ(Crc16(f.data), r->crc) << f.name;
        EXPECT_EQ(f.method, r->method) << f.name;
        if (!f.data.empty()) {
            EXPECT_EQ(r->compressed * 1000ull / r->original, r->ratio);
        }
        if (std::string(f.method) == "-lh5-") {
            EXPECT_LT(r->compressed, r->original);
        }
        // The date and time are those of the file, in local MS-DOS form.
        FILETIME ft = MTime(work + "\\" + f.name), local;
        WORD date, time;
        FileTimeToLocalFileTime(&ft, &local);
        FileTimeToDosDateTime(&local, &date, &time);
        EXPECT_EQ(date, r->date) << f.name;
        EXPECT_EQ(time, r->time) << f.name;
        ASSERT_GE(r->attribute.size(), 4u);
        bool ro = f.name == "dir\\ro.txt";
        EXPECT_EQ(ro ? 'H' : '-', r->attribute[2]) << f.name;
        EXPECT_EQ(ro ? 'R' : '-', r->attribute[3]) << f.name;
        EXPECT_EQ('-', r->attribute[1]);
    }
    for (const std::string &d : dirs) {
        auto r = std::find_if(recs.begin(), recs.end(), [&](const Record &x) { return x.name == d + "\\"; });
        ASSERT_NE(recs.end(), r) << d;
        EXPECT_EQ("-lhd-", r->method);
        EXPECT_EQ('D', r->attribute[0]);
    }
    // A narrower wildcard selects members, and an exhausted enumeration stays exhausted.
    EXPECT_EQ(1u, List(archive, "*.bin").size());
    HARC h = a.OpenArchive(NULL, archive.c_str(), 1);
    uint8_t rec[kRecordSize];
    ASSERT_EQ(0, a.FindFirst(h, "b.bin", rec));
    EXPECT_EQ(-1, a.FindNext(h, rec));
    EXPECT_EQ(-1, a.FindNext(h, rec));
    EXPECT_EQ(0, a.CloseArchive(h));
    EXPECT_NE(0, a.CloseArchive(h));
}

TEST_F(UnlhaTest, ExtractsWholeArchivesSingleMembersAndResponseFileLists)
{
    PackTree();
    // Marked archives from the file list: everything, with attributes.
    std::string dest = root + "\\x1";
    std::string log;
    ASSERT_EQ(0, Run("X -x1a1 \"" + archive + "\" \"" + dest + "\\\" *.*", &log)) << log;
    ExpectTreeAt(dest);
    DWORD attrs = GetFileAttributesA((dest + "\\dir\\ro.txt").c_str());
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attrs & FILE_ATTRIBUTE_HIDDEN);
    FILETIME src = MTime(work + "\\a.txt"), got = MTime(dest + "\\a.txt");
    ULARGE_INTEGER s, g;
    s.LowPart = src.dwLowDateTime, s.HighPart = src.dwHighDateTime;
    g.LowPart = got.dwLowDateTime, g.HighPart = got.dwHighDateTime;
    EXPECT_LT((s.QuadPart > g.QuadPart ? s.QuadPart - g.QuadPart : g.QuadPart - s.QuadPart), 10000000ull);

    // 'U' in the listing: one member, with its directories.
    std::string one = root + "\\x2";
    ASSERT_EQ(0, Run("X -x1a1r2 \"" + archive + "\" \"" + one + "\\\" \"dir\\表示.txt\""));
    EXPECT_TRUE(Exists(one + "\\dir\\表示.txt"));
    EXPECT_FALSE(Exists(one + "\\a.txt"));
    EXPECT_FALSE(Exists(one + "\\dir\\sub"));
    // A directory member named with its backslash brings what is below it.
    ASSERT_EQ(0, Run("X -x1a1r2 \"" + archive + "\" \"" + one + "\\\" \"dir\\sub\\\""));
    EXPECT_TRUE(Exists(one + "\\dir\\sub\\deep.txt"));

    // The viewer: no switches, a temporary directory; viewing twice works too.
    std::string view = root + "\\view";
    CreateDirectoryA(view.c_str(), NULL);
    for (int i = 0; i < 2; i++) ASSERT_EQ(0, Run("X \"" + archive + "\" \"" + view + "\\\" \"dir\\日本語.txt\""));
    Bytes b;
    ASSERT_TRUE(ReadBytes(view + "\\dir\\日本語.txt", &b));
    EXPECT_TRUE(b == files[4].data);

    // "解凍": marked members through a response file.
    std::string three = root + "\\x3";
    std::string lst = root + "\\$UNPACK.LST";
    WriteText(lst, "X -x1a1 \"" + archive + "\" \"" + three + "\\\"\r\n\"a.txt\"\r\n\"dir\\sub\\deep.txt\"\r\n");
    ASSERT_EQ(0, Run("@" + lst));
    EXPECT_TRUE(Exists(three + "\\a.txt"));
    EXPECT_TRUE(Exists(three + "\\dir\\sub\\deep.txt"));
    EXPECT_FALSE(Exists(three + "\\b.bin"));
    EXPECT_FALSE(Exists(three + "\\dir\\日本語.txt"));

    // "E" drops the stored directories.
    std::string flat = root + "\\flat";
    ASSERT_EQ(0, Run("E \"" + archive + "\" \"" + flat + "\\\" *.*"));
    EXPECT_TRUE(Exists(flat + "\\deep.txt"));
    EXPECT_FALSE(Exists(flat + "\\dir"));

    // A member that is not there is an error, not a silent success.
    EXPECT_NE(0, Run("X -x1a1r2 \"" + archive + "\" \"" + one + "\\\" \"nothing.txt\""));
}

TEST_F(UnlhaTest, ExistingFilesAreReplacedOnlyWhenAskedFor)
{
    PackTree();
    std::string dest = root + "\\x";
    ASSERT_EQ(0, Run("X -x1a1 \"" + archive + "\" \"" + dest + "\\\" *.*"));
    WriteText(dest + "\\a.txt", "edited by the user");
    std::string log;
    EXPECT_NE(0, Run("X -x1a1 \"" + archive + "\" \"" + dest + "\\\" *.*", &log));
    EXPECT_NE(std::string::npos, log.find("a.txt")) << log;
    Bytes b;
    ASSERT_TRUE(ReadBytes(dest + "\\a.txt", &b));
    EXPECT_EQ("edited by the user", std::string(b.begin(), b.end()));
    // With -c the member replaces it, read-only files included.
    ASSERT_EQ(0, Run("X -x1a1 -c \"" + archive + "\" \"" + dest + "\\\" *.*", &log)) << log;
    ExpectTreeAt(dest);
}

TEST_F(UnlhaTest, UpdateAndAddModesChooseWhatToReplace)
{
    PackTree();
    int count = Lib().GetFileCount(archive.c_str());
    auto crc_of = [&](const std::string &name) {
        for (const Record &r : List(archive))
            if (r.name == name) return (int)r.crc;
        return -1;
    };
    // Update: a newer a.txt replaces its member; an older, changed b.bin does not; c.txt is new.
    Bytes a2 = TextBytes(1000, 77), b2 = RandomBytes(500, 78), c = TextBytes(100, 79);
    WriteBytes(work + "\\a.txt", a2);
    SetMTime(work + "\\a.txt", 3600);
    WriteBytes(work + "\\b.bin", b2);
    SetMTime(work + "\\b.bin", -86400 * 30);
    WriteBytes(work + "\\c.txt", c);
    ASSERT_EQ(0, Pack('U', archive, {"a.txt", "b.bin", "c.txt"}, work));
    EXPECT_EQ(count + 1, Lib().GetFileCount(archive.c_str()));
    EXPECT_EQ(Crc16(a2), crc_of("a.txt"));
    EXPECT_EQ(Crc16(files[1].data), crc_of("b.bin"));
    EXPECT_EQ(Crc16(c), crc_of("c.txt"));
    // Add replaces whatever the dates.
    ASSERT_EQ(0, Pack('A', archive, {"b.bin"}, work));
    EXPECT_EQ(Crc16(b2), crc_of("b.bin"));
    EXPECT_EQ(count + 1, Lib().GetFileCount(archive.c_str()));
    // Written differently, the same file is still the same member.
    ASSERT_EQ(0, Pack('A', archive, {".\\c.txt", "dir\\\\sub\\deep.txt"}, work));
    EXPECT_EQ(count + 1, Lib().GetFileCount(archive.c_str()));
    // Members that were not touched still extract intact.
    EXPECT_TRUE(Lib().CheckArchive(archive.c_str(), 2));
}

TEST_F(UnlhaTest, MoveDeletesSourcesOnlyAfterTheArchiveIsComplete)
{
    std::string src = root + "\\mv";
    CreateDirectoryA(src.c_str(), NULL);
    CreateDirectoryA((src + "\\mdir").c_str(), NULL);
    Bytes m1 = TextBytes(5000, 9), m2 = RandomBytes(3000, 10);
    WriteBytes(src + "\\m1.txt", m1);
    WriteBytes(src + "\\mdir\\m2.bin", m2);

    // Nowhere to write the archive: nothing may be deleted.
    std::string log;
    EXPECT_NE(0, Pack('M', root + "\\no\\such\\dir\\m.lzh", {"m1.txt", "mdir\\*.*"}, src, &log));
    EXPECT_TRUE(Exists(src + "\\m1.txt"));
    EXPECT_TRUE(Exists(src + "\\mdir\\m2.bin"));
    // An existing file that is not an archive is left alone, and so are the sources.
    std::string notarc = root + "\\out\\notarc.lzh";
    WriteText(notarc, "precious text that is not an archive");
    EXPECT_NE(0, Pack('M', notarc, {"m1.txt"}, src));
    Bytes b;
    ASSERT_TRUE(ReadBytes(notarc, &b));
    EXPECT_EQ("precious text that is not an archive", std::string(b.begin(), b.end()));
    EXPECT_TRUE(Exists(src + "\\m1.txt"));

    std::string arc = root + "\\out\\moved.lzh";
    ASSERT_EQ(0, Pack('M', arc, {"m1.txt", "mdir\\*.*"}, src, &log)) << log;
    EXPECT_FALSE(Exists(src + "\\m1.txt"));
    EXPECT_FALSE(Exists(src + "\\mdir\\m2.bin"));
    EXPECT_FALSE(Exists(src + "\\mdir"));
    std::string dest = root + "\\back";
    ASSERT_EQ(0, Run("X -x1a1 \"" + arc + "\" \"" + dest + "\\\" *.*"));
    ASSERT_TRUE(ReadBytes(dest + "\\m1.txt", &b));
    EXPECT_TRUE(b == m1);
    ASSERT_TRUE(ReadBytes(dest + "\\mdir\\m2.bin", &b));
    EXPECT_TRUE(b == m2);
}

void Put16(Bytes &v, unsigned x) { v.push_back((uint8_t)x); v.push_back((uint8_t)(x >> 8)); }
void Put32(Bytes &v, uint32_t x) { Put16(v, x & 0xFFFF); Put16(v, x >> 16); }

// A stored level-0 member as MS-DOS archivers wrote them, any name allowed.
Bytes Level0(const std::string &name, const std::string &text)
{
    Bytes data(text.begin(), text.end()), h{0, 0, '-', 'l', 'h', '0', '-'};
    Put32(h, (uint32_t)data.size());
    Put32(h, (uint32_t)data.size());
    Put32(h, 0x4A210000);
    h.push_back(0x20);
    h.push_back(0);
    h.push_back((uint8_t)name.size());
    h.insert(h.end(), name.begin(), name.end());
    Put16(h, Crc16(data));
    h[0] = (uint8_t)(h.size() - 2);
    uint8_t sum = 0;
    for (size_t i = 2; i < h.size(); i++) sum = (uint8_t)(sum + h[i]);
    h[1] = sum;
    h.insert(h.end(), data.begin(), data.end());
    return h;
}

TEST_F(UnlhaTest, NamesThatWouldEscapeAreRefusedAndReported)
{
    const char *evil[] = {"..\\evil1.txt", "\\..\\evil2.txt", "C:evil3.txt", "sub\\..\\..\\evil4.txt", "a/../../evil5.txt",
                          "Z:\\evil6.txt", ". .\\evil7.txt"};
    Bytes arc;
    for (const char *n : evil) {
        Bytes m = Level0(n, "gotcha");
        arc.insert(arc.end(), m.begin(), m.end());
    }
    Bytes ok = Level0("ok.txt", "fine");
    arc.insert(arc.end(), ok.begin(), ok.end());
    arc.push_back(0);
    std::string path = root + "\\out\\evil.lzh";
    WriteBytes(path, arc);
    EXPECT_EQ(8, Lib().GetFileCount(path.c_str()));
    // Level 0 stores the MS-DOS stamp itself: the record passes it on unchanged.
    std::vector<Record> recs = List(path);
    ASSERT_EQ(8u, recs.size());
    EXPECT_EQ("ok.txt", recs[7].name);
    EXPECT_EQ(0x4A21, recs[7].date);
    EXPECT_EQ(0x0000, recs[7].time);
    EXPECT_EQ("-lh0-", recs[7].method);
    std::string dest = root + "\\a\\b\\dest";
    std::string log;
    EXPECT_NE(0, Run("X -x1a1 \"" + path + "\" \"" + dest + "\\\" *.*", &log));
    EXPECT_NE(std::string::npos, log.find("Refused")) << log;
    EXPECT_TRUE(Exists(dest + "\\ok.txt"));
    std::vector<std::string> found;
    FindNamed(root, "evil", &found);
    for (const std::string &f : found) EXPECT_EQ(path, f) << "written outside the destination";
    EXPECT_FALSE(Exists("Z:\\evil6.txt"));
    EXPECT_FALSE(Exists("C:evil3.txt"));
    EXPECT_FALSE(Exists("C:\\evil3.txt"));
}

void SetTime(const std::string &path, const FILETIME &ft)
{
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h) << path;
    SetFileTime(h, NULL, NULL, &ft);
    CloseHandle(h);
}

ULONGLONG Ticks(const FILETIME &ft) { return ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime; }

TEST_F(UnlhaTest, DirectoriesGetTheirStoredTimesAfterTheirFiles)
{
    // Old directories holding files as new as ever.
    SYSTEMTIME st1 = {2001, 2, 0, 3, 4, 5, 6, 0}, st2 = {2002, 3, 0, 4, 7, 8, 10, 0};
    FILETIME old_dir, older_dir;
    ASSERT_TRUE(SystemTimeToFileTime(&st1, &old_dir));
    ASSERT_TRUE(SystemTimeToFileTime(&st2, &older_dir));
    SetTime(work + "\\dir", old_dir);
    SetTime(work + "\\dir\\sub", older_dir);
    PackTree();
    std::string dest = root + "\\x";
    std::string log;
    ASSERT_EQ(0, Run("X -x1a1 \"" + archive + "\" \"" + dest + "\\\" *.*", &log)) << log;
    ExpectTreeAt(dest);
    EXPECT_EQ(Ticks(old_dir), Ticks(MTime(dest + "\\dir")));
    EXPECT_EQ(Ticks(older_dir), Ticks(MTime(dest + "\\dir\\sub")));
    // Files keep their own times, and no temporary file or directory is left.
    EXPECT_NE(Ticks(old_dir), Ticks(MTime(dest + "\\dir\\sub\\deep.txt")));
    std::vector<std::string> temps;
    FindNamed(dest, ".tmp", &temps);
    EXPECT_TRUE(temps.empty());
}

TEST_F(UnlhaTest, DamagedArchiveListsTheMembersBeforeTheDamage)
{
    WriteBytes(work + "\\big.bin", RandomBytes(30000, 40));
    ASSERT_EQ(0, Pack('A', archive, {"a.txt", "big.bin"}, work));
    std::vector<Record> whole = List(archive);
    ASSERT_EQ(2u, whole.size());
    Bytes full;
    ASSERT_TRUE(ReadBytes(archive, &full));
    // Cut inside the last member's data: the first member stays whole.
    std::string cut = root + "\\out\\cut.lzh";
    WriteBytes(cut, Bytes(full.begin(), full.end() - 1000));
    const Api &a = Lib();
    EXPECT_TRUE(a.CheckArchive(cut.c_str(), 0));
    EXPECT_FALSE(a.CheckArchive(cut.c_str(), 1));
    EXPECT_FALSE(a.CheckArchive(cut.c_str(), 2));
    EXPECT_EQ(1, a.GetFileCount(cut.c_str()));
    HARC h = a.OpenArchive(NULL, cut.c_str(), 1);
    ASSERT_NE((HARC)NULL, h);
    uint8_t rec[kRecordSize];
    ASSERT_EQ(0, a.FindFirst(h, "*.*", rec));
    EXPECT_EQ(whole[0].name, ReadRecord(rec).name);
    EXPECT_EQ(whole[0].crc, ReadRecord(rec).crc);
    // After it the enumeration reports the damage instead of a plain end.
    EXPECT_EQ(0x8014, a.FindNext(h, rec));
    EXPECT_EQ(0x8014, a.FindNext(h, rec));
    EXPECT_EQ(0, a.CloseArchive(h));
    // Extraction recovers that member and still reports the damage.
    std::string dest = root + "\\x";
    std::string log;
    EXPECT_EQ(0x8014, Run("X -x1a1 \"" + cut + "\" \"" + dest + "\\\" *.*", &log));
    EXPECT_NE(std::string::npos, log.find("damaged")) << log;
    Bytes got;
    ASSERT_TRUE(ReadBytes(dest + "\\" + whole[0].name, &got)) << log;
    EXPECT_EQ(whole[0].crc, Crc16(got));
    EXPECT_FALSE(Exists(dest + "\\" + whole[1].name));
    // Not even one whole member: not an archive to list.
    std::string stub = root + "\\out\\stub.lzh";
    WriteBytes(stub, Bytes(full.begin(), full.begin() + 40));
    EXPECT_FALSE(a.CheckArchive(stub.c_str(), 0));
    EXPECT_EQ(-1, a.GetFileCount(stub.c_str()));
    EXPECT_EQ((HARC)NULL, a.OpenArchive(NULL, stub.c_str(), 1));
}

TEST_F(UnlhaTest, OldWritersNamesExtractAsUsersExpect)
{
    Bytes arc;
    for (const Bytes &m : {Level0("\\subdir\\subdir2\\hello.txt", "hello"), Level0("/unix/root.txt", "root"),
                           Level0("name.", "dot"), Level0("dots. \\in. parts.txt. ", "parts"),
                           Level0(std::string("metadata.txt\0comment text", 25), "meta")}) {
        arc.insert(arc.end(), m.begin(), m.end());
    }
    arc.push_back(0);
    std::string path = root + "\\out\\old.lzh";
    WriteBytes(path, arc);
    const char *names[] = {"subdir\\subdir2\\hello.txt", "unix\\root.txt", "name", "dots\\in. parts.txt", "metadata.txt"};
    const char *texts[] = {"hello", "root", "dot", "parts", "meta"};
    std::vector<Record> recs = List(path);
    ASSERT_EQ(5u, recs.size());
    for (size_t i = 0; i < 5; i++) EXPECT_EQ(names[i], recs[i].name);
    std::string dest = root + "\\x";
    std::string log;
    ASSERT_EQ(0, Run("X -x1a1 \"" + path + "\" \"" + dest + "\\\" *.*", &log)) << log;
    for (size_t i = 0; i < 5; i++) {
        Bytes got;
        ASSERT_TRUE(ReadBytes(dest + "\\" + names[i], &got)) << names[i];
        EXPECT_EQ(texts[i], std::string(got.begin(), got.end()));
    }
    // A single member is picked by the name the listing shows.
    std::string one = root + "\\one";
    ASSERT_EQ(0, Run("X -x1a1r2 \"" + path + "\" \"" + one + "\\\" \"name\"", &log)) << log;
    EXPECT_TRUE(Exists(one + "\\name"));
    EXPECT_FALSE(Exists(one + "\\metadata.txt"));

    // Again over the same files: identical ones are done, a changed one is kept and reported,
    // a directory in the way is reported, and none of them counts as extracted.
    WriteText(dest + "\\name", "changed by the user");
    ASSERT_TRUE(DeleteFileA((dest + "\\metadata.txt").c_str()));
    ASSERT_TRUE(CreateDirectoryA((dest + "\\metadata.txt").c_str(), NULL));
    EXPECT_EQ(0x8010, Run("X -x1a1 \"" + path + "\" \"" + dest + "\\\" *.*", &log));
    EXPECT_EQ(std::string::npos, log.find("Extracted")) << log;
    EXPECT_NE(std::string::npos, log.find("Kept the existing name")) << log;
    EXPECT_NE(std::string::npos, log.find("Unchanged subdir\\subdir2\\hello.txt")) << log;
    EXPECT_NE(std::string::npos, log.find("a directory of that name exists")) << log;
    Bytes b;
    ASSERT_TRUE(ReadBytes(dest + "\\name", &b));
    EXPECT_EQ("changed by the user", std::string(b.begin(), b.end()));
    std::vector<std::string> temps;
    FindNamed(dest, ".tmp", &temps);
    EXPECT_TRUE(temps.empty());
    // With -c the changed file is replaced, read-only or not.
    SetFileAttributesA((dest + "\\name").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(0x8010, Run("X -x1a1 -c \"" + path + "\" \"" + dest + "\\\" *.*", &log));
    ASSERT_TRUE(ReadBytes(dest + "\\name", &b));
    EXPECT_EQ("dot", std::string(b.begin(), b.end())) << log;
}

TEST_F(UnlhaTest, TruncatedAndCorruptArchivesFailWithoutLeavingFiles)
{
    PackTree();
    Bytes full;
    ASSERT_TRUE(ReadBytes(archive, &full));
    // Cuts at many points up to the last member's data, never at the final end mark only.
    for (size_t cut = 1; cut + 1 < full.size(); cut += full.size() / 37 + 1) {
        SCOPED_TRACE(cut);
        std::string part = root + "\\out\\cut.lzh";
        WriteBytes(part, Bytes(full.begin(), full.begin() + cut));
        EXPECT_FALSE(Lib().CheckArchive(part.c_str(), 2));
        std::string dest = root + "\\cut" + std::to_string(cut);
        EXPECT_NE(0, Run("X -x1a1 \"" + part + "\" \"" + dest + "\\\" *.*"));
        // Whatever was written is a whole member, never a piece of one.
        for (const TreeFile &f : files) {
            Bytes got;
            if (ReadBytes(dest + "\\" + f.name, &got)) {
                EXPECT_TRUE(got == f.data) << f.name;
            }
        }
        std::vector<std::string> temps;
        FindNamed(dest, ".tmp", &temps);
        EXPECT_TRUE(temps.empty());
    }

    // One flipped byte inside a.txt's compressed data.
    std::vector<Record> recs = List(archive);
    auto a = std::find_if(recs.begin(), recs.end(), [](const Record &r) { return r.name == "a.txt"; });
    ASSERT_NE(recs.end(), a);
    Bytes bad = full;
    size_t at = std::search(full.begin(), full.end(), std::begin("a.txt"), std::end("a.txt") - 1) - full.begin();
    ASSERT_LT(at, full.size());
    bad[at + 200] ^= 0x10;
    std::string badpath = root + "\\out\\bad.lzh";
    WriteBytes(badpath, bad);
    EXPECT_FALSE(Lib().CheckArchive(badpath.c_str(), 2));
    std::string dest = root + "\\bad";
    std::string log;
    EXPECT_NE(0, Run("X -x1a1 \"" + badpath + "\" \"" + dest + "\\\" *.*", &log));
    EXPECT_FALSE(Exists(dest + "\\a.txt")) << log;
    EXPECT_TRUE(Exists(dest + "\\b.bin"));
    std::vector<std::string> temps;
    FindNamed(dest, ".tmp", &temps);
    EXPECT_TRUE(temps.empty());
}

TEST_F(UnlhaTest, ReportsItselfBusyDuringACallAndRefusesASecondOne)
{
    // Large enough that the extraction takes a noticeable time.
    std::string big = work + "\\big";
    CreateDirectoryA(big.c_str(), NULL);
    for (int i = 0; i < 6; i++) WriteBytes(big + "\\part" + std::to_string(i) + ".txt", TextBytes(6000000, 20 + i));
    ASSERT_EQ(0, Pack('A', archive, {"big\\*.*"}, work));
    EXPECT_FALSE(Lib().GetRunning());
    volatile bool done = false;
    int rc = -1;
    std::thread t([&] {
        rc = Lib().Unlha(NULL, ("X -x1a1 \"" + archive + "\" \"" + root + "\\big\\\" *.*").c_str(), NULL, 0);
        done = true;
    });
    bool seen_busy = false;
    int refused = 0;
    while (!done) {
        if (Lib().GetRunning()) {
            seen_busy = true;
            char out[64];
            int second = Lib().Unlha(NULL, ("L \"" + archive + "\"").c_str(), out, sizeof out);
            if (second != 0 && !done) refused++;
        }
        Sleep(1);
    }
    t.join();
    EXPECT_EQ(0, rc);
    EXPECT_TRUE(seen_busy);
    EXPECT_GT(refused, 0);
    EXPECT_FALSE(Lib().GetRunning());
}

TEST_F(UnlhaTest, OutputBufferSizeIsRespected)
{
    PackTree();
    char out[64];
    memset(out, 'Q', sizeof out);
    EXPECT_EQ(0, Lib().Unlha(NULL, ("L \"" + archive + "\"").c_str(), out, 16));
    EXPECT_EQ(15u, strlen(out));
    for (size_t i = 16; i < sizeof out; i++) EXPECT_EQ('Q', out[i]);
    memset(out, 'Q', sizeof out);
    EXPECT_EQ(0, Lib().Unlha(NULL, ("L \"" + archive + "\"").c_str(), out, 0));
    EXPECT_EQ('Q', out[0]);
}

}  // namespace
