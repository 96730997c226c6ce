// Loads UNZIP32.DLL by name as the filer does and checks its entries, the listing columns,
// the command strings, name safety and the behaviour on broken archives.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "listing_columns.h"
#include "zip_writer.h"

namespace {

typedef WORD(WINAPI* GetVersionFn)(void);
typedef BOOL(WINAPI* GetRunningFn)(void);
typedef BOOL(WINAPI* SetBackGroundModeFn)(BOOL);
typedef int(WINAPI* UnZipFn)(HWND, LPCSTR, LPSTR, DWORD);
typedef BOOL(WINAPI* CheckArchiveFn)(LPCSTR, int);
typedef BOOL(WINAPI* ConfigDialogFn)(HWND, LPSTR, int);

const int kExists = 0x8009, kUnsafe = 0x8008, kData = 0x8005, kMethod = 0x8006, kEncrypted = 0x8007,
          kBusy = 0x800D, kNoMatch = 0x800B, kCorrupt = 0x8004, kOverlap = 0x800F;

template <typename T>
T Entry(HMODULE h, const char* name) {
  return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(h, name)));
}

struct Library {
  HMODULE h = nullptr;
  GetVersionFn getVersion = nullptr;
  GetRunningFn getRunning = nullptr;
  SetBackGroundModeFn setBackGround = nullptr;
  UnZipFn unzip = nullptr;
  CheckArchiveFn check = nullptr;
  ConfigDialogFn config = nullptr;
};

Library& Lib() {
  static Library lib;
  if (!lib.h) {
    UINT old = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    lib.h = LoadLibraryA("UNZIP32.DLL");
    SetErrorMode(old);
    if (lib.h) {
      lib.getVersion = Entry<GetVersionFn>(lib.h, "UnZipGetVersion");
      lib.getRunning = Entry<GetRunningFn>(lib.h, "UnZipGetRunning");
      lib.setBackGround = Entry<SetBackGroundModeFn>(lib.h, "UnZipSetBackGroundMode");
      lib.unzip = Entry<UnZipFn>(lib.h, "UnZip");
      lib.check = Entry<CheckArchiveFn>(lib.h, "UnZipCheckArchive");
      lib.config = Entry<ConfigDialogFn>(lib.h, "UnZipConfigDialog");
    }
  }
  return lib;
}

struct Outcome {
  int code;
  std::string text;
};

Outcome UnZip(const std::string& cmd, DWORD size = 65535) {
  std::vector<char> buf(size + 16, '#');
  int code = Lib().unzip(nullptr, cmd.c_str(), buf.data(), size);
  for (size_t i = size; i < buf.size(); i++) EXPECT_EQ('#', buf[i]) << "output written past the buffer";
  buf[size - 1] = '\0';
  return {code, std::string(buf.data())};
}

std::string Quote(const std::string& s) { return "\"" + s + "\""; }

bool WriteBytes(const std::string& path, const std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD put = 0;
  BOOL ok = WriteFile(h, data.data(), DWORD(data.size()), &put, nullptr);
  CloseHandle(h);
  return ok && put == data.size();
}

bool ReadBytes(const std::string& path, std::string& data) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(h, nullptr), got = 0;
  data.assign(size, '\0');
  BOOL ok = size == 0 || ReadFile(h, &data[0], size, &got, nullptr);
  CloseHandle(h);
  return ok && got == size;
}

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

std::vector<std::string> DirNames(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return names;
  do {
    std::string n = fd.cFileName;
    if (n != "." && n != "..") names.push_back(n);
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  std::sort(names.begin(), names.end());
  return names;
}

void RemoveTree(const std::string& dir) {
  for (const std::string& n : DirNames(dir)) {
    std::string p = dir + n;
    DWORD a = Attributes(p);
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) {
      RemoveTree(p + "\\");
    } else {
      SetFileAttributesA(p.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(p.c_str());
    }
  }
  RemoveDirectoryA(dir.substr(0, dir.size() - 1).c_str());
}

// A fresh directory under the temporary directory, ending in a backslash; removed at the end.
class Scratch {
 public:
  Scratch() {
    static int counter = 0;
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    char name[64];
    wsprintfA(name, "kzt%lu_%d_%lu\\", GetCurrentProcessId(), ++counter, GetTickCount());
    dir_ = std::string(tmp) + name;
    CreateDirectoryA(dir_.c_str(), nullptr);
  }
  ~Scratch() { RemoveTree(dir_); }
  const std::string& dir() const { return dir_; }
  std::string Archive(std::vector<TestMember>& members, const TestArchiveOptions& opt = TestArchiveOptions(),
                      const std::string& name = "test.zip") {
    std::string path = dir_ + name;
    EXPECT_TRUE(WriteBytes(path, BuildZip(members, opt)));
    return path;
  }

 private:
  std::string dir_;
};

TestMember Member(const std::string& name, const std::string& data, uint16_t method = 8) {
  TestMember m;
  m.name = name;
  m.data = data;
  m.method = method;
  return m;
}

std::string Text(size_t n, unsigned seed) {
  std::string s;
  const char* words[] = {"alpha ", "beta ", "gamma ", "delta\r\n", "epsilon ", "zeta "};
  while (s.size() < n) {
    seed = seed * 1103515245 + 12345;
    s += words[(seed >> 16) % 6];
  }
  s.resize(n);
  return s;
}

std::string Noise(size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (char& c : s) {
    seed = seed * 1103515245 + 12345;
    c = char(seed >> 23);
  }
  return s;
}

std::string SaveDosTime(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME ft, local;
  WORD date = 0, time = 0;
  if (h != INVALID_HANDLE_VALUE) {
    GetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    FileTimeToLocalFileTime(&ft, &local);
    FileTimeToDosDateTime(&local, &date, &time);
  }
  char b[32];
  wsprintfA(b, "%04X %04X", date, time);
  return b;
}

std::string DosText(uint16_t date, uint16_t time) {
  char b[32];
  wsprintfA(b, "%04X %04X", date, time);
  return b;
}

}  // namespace

TEST(Entries, ExportedByNameWithTheirResults) {
  Library& lib = Lib();
  ASSERT_NE(nullptr, lib.h) << "UNZIP32.DLL did not load";
  ASSERT_NE(nullptr, lib.getVersion);
  ASSERT_NE(nullptr, lib.getRunning);
  ASSERT_NE(nullptr, lib.setBackGround);
  ASSERT_NE(nullptr, lib.unzip);
  ASSERT_NE(nullptr, lib.check);
  ASSERT_NE(nullptr, lib.config);
  WORD v = lib.getVersion();
  char shown[32];
  wsprintfA(shown, "UNZIP32 V%d.%02d", v / 100, v % 100);
  EXPECT_STREQ("UNZIP32 V1.00", shown);
  EXPECT_FALSE(lib.getRunning());
  EXPECT_TRUE(lib.setBackGround(FALSE));

  Scratch s;
  std::vector<TestMember> ms = {Member("a.txt", Text(1000, 1))};
  std::string arc = s.Archive(ms);
  EXPECT_TRUE(lib.check(arc.c_str(), 0));
  WriteBytes(s.dir() + "junk.zip", Noise(5000, 7));
  EXPECT_FALSE(lib.check((s.dir() + "junk.zip").c_str(), 0));
  EXPECT_FALSE(lib.check((s.dir() + "missing.zip").c_str(), 0));
  EXPECT_FALSE(lib.check(s.dir().c_str(), 0));

  Outcome empty = UnZip("");
  EXPECT_NE(0, empty.code);
  EXPECT_NE(std::string::npos, empty.text.find("usage"));
  EXPECT_NE(0, UnZip("-q " + Quote(arc)).code);
  EXPECT_NE(0, UnZip("-l --i " + Quote(s.dir() + "missing.zip")).code);
  EXPECT_NE(0, UnZip("-l --i " + Quote(s.dir() + "junk.zip")).code);
  EXPECT_NE(0, Lib().unzip(nullptr, nullptr, nullptr, 0));
}

namespace {
DWORD WINAPI ConfigThread(LPVOID param) {
  char* buf = static_cast<char*>(param);
  return Lib().config(nullptr, buf, 1);
}
}  // namespace

TEST(Entries, ConfigDialogOpensAndCloses) {
  ASSERT_NE(nullptr, Lib().config);
  char buf[64] = "unchanged";
  HANDLE t = CreateThread(nullptr, 0, ConfigThread, buf, 0, nullptr);
  HWND box = nullptr;
  for (int i = 0; i < 200 && !box; i++) {
    Sleep(25);
    box = FindWindowA(nullptr, "UNZIP32");
  }
  ASSERT_NE(nullptr, box) << "the settings window did not appear";
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(t, 10000));
  DWORD result = 0;
  GetExitCodeThread(t, &result);
  CloseHandle(t);
  EXPECT_NE(0u, result);
  EXPECT_EQ('\0', buf[0]);
}

namespace {
struct BusyCall {
  std::string cmd;
  int code;
};
DWORD WINAPI BusyThread(LPVOID param) {
  BusyCall* c = static_cast<BusyCall*>(param);
  char out[256];
  c->code = Lib().unzip(nullptr, c->cmd.c_str(), out, sizeof out);
  return 0;
}
}  // namespace

TEST(Entries, RunningWhileACommandWorks) {
  Scratch s;
  std::vector<TestMember> ms = {Member("big.bin", std::string(96u << 20, 'z'))};
  std::string arc = s.Archive(ms);
  BusyCall call = {"-x -o " + Quote(arc) + " " + Quote(s.dir() + "out\\"), -1};
  HANDLE t = CreateThread(nullptr, 0, BusyThread, &call, 0, nullptr);
  bool sawRunning = false;
  int secondCode = 0;
  while (WaitForSingleObject(t, 0) == WAIT_TIMEOUT) {
    if (Lib().getRunning() && !sawRunning) {
      sawRunning = true;
      char out[256];
      secondCode = Lib().unzip(nullptr, ("-l " + Quote(arc)).c_str(), out, sizeof out);
    }
  }
  CloseHandle(t);
  EXPECT_EQ(0, call.code);
  ASSERT_TRUE(sawRunning);
  EXPECT_EQ(kBusy, secondCode);
  EXPECT_FALSE(Lib().getRunning());
  EXPECT_EQ(0, UnZip("-l --i " + Quote(arc)).code);
}

TEST(Listing, ColumnsHoldEveryField) {
  Scratch s;
  std::vector<TestMember> ms;
  ms.push_back(Member("readme.txt", Text(5000, 2)));
  ms.push_back(Member("stored.bin", Noise(3000, 3), 0));
  ms.push_back(Member("docs/", "", 0));
  ms.back().externalAttr = 0x10;
  ms.push_back(Member("docs/\x95\x5C\x8C\x76\x8E\x5A/\x83\x5C\x81\x5B\x83\x58.txt", Text(777, 4)));  // SJIS, 0x5C trail bytes
  ms.push_back(Member("a rather long directory name/and an even longer file name inside.txt", Text(10, 5)));
  ms.push_back(Member("-dash.txt", "dash", 0));
  ms.push_back(Member("old.txt", "eighty", 0));
  ms.back().dosDate = (0 << 9) | (1 << 5) | 1;  // 1980-01-01
  ms.back().dosTime = 0;
  ms.push_back(Member("future.txt", "seventy-nine", 0));
  ms.back().dosDate = (99 << 9) | (12 << 5) | 31;  // 2079-12-31
  ms.back().dosTime = (23 << 11) | (59 << 5) | 29;
  ms.push_back(Member("flags.sys", "attr", 0));
  ms.back().externalAttr = 0x20 | 0x04 | 0x02 | 0x01;
  ms.push_back(Member("unix-ro.txt", "ro", 0));
  ms.back().madeBy = 3 << 8;
  ms.back().externalAttr = (0100444u << 16);
  ms.push_back(Member("secret.txt", "secret", 0));
  ms.back().flags = 1;
  ms.push_back(Member("bzip.txt", "bz", 12));
  std::string arc = s.Archive(ms);

  Outcome r = UnZip("-l --i " + Quote(arc));
  ASSERT_EQ(0, r.code) << r.text;
  EXPECT_EQ(std::string::npos, r.text.find('\r'));
  std::vector<std::string> lines = ListingLines(r.text);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_NE('-', lines[0][0]);
  EXPECT_EQ('-', lines[1][0]);
  EXPECT_EQ(long(ms.size()), ListingCount(r.text));
  std::vector<ColumnRecord> recs = ListingRecords(r.text);
  ASSERT_EQ(ms.size(), recs.size());
  const char* names[] = {"readme.txt",
                         "stored.bin",
                         "docs\\",
                         "docs\\\x95\x5C\x8C\x76\x8E\x5A\\\x83\x5C\x81\x5B\x83\x58.txt",
                         "a rather long directory name\\and an even longer file name inside.txt",
                         ".\\-dash.txt",
                         "old.txt",
                         "future.txt",
                         "flags.sys",
                         "unix-ro.txt",
                         "secret.txt",
                         "bzip.txt"};
  const char* attrs[] = {"A---", "A---", "D---", "A---", "A---", "A---", "A---",
                         "A---", "ASHR", "---R", "A---", "A---"};
  const char* methods[] = {"Deflate", "Stored ", "Stored ", "Deflate", "Deflate", "Stored ",
                           "Stored ", "Stored ", "Stored ", "Stored ", "Encrypt", "BZip2  "};
  for (size_t i = 0; i < ms.size(); i++) {
    SCOPED_TRACE(names[i]);
    const ColumnRecord& c = recs[i];
    EXPECT_EQ(names[i], c.name);
    EXPECT_EQ(ms[i].data.size(), c.size);
    EXPECT_EQ(ms[i].compSize, c.compSize);
    EXPECT_EQ(ms[i].crc, c.crc);
    EXPECT_EQ(ms[i].dosDate, c.dosDate);
    EXPECT_EQ(ms[i].dosTime, c.dosTime);
    EXPECT_EQ(attrs[i], c.attr);
    EXPECT_EQ(methods[i], c.method);
    unsigned saved = ms[i].compSize >= ms[i].data.size() ? 0 : unsigned((ms[i].data.size() - ms[i].compSize) * 1000 / ms[i].data.size());
    EXPECT_EQ(saved, c.ratio);
  }
  EXPECT_EQ(1980, recs[6].year);
  EXPECT_EQ(2079, recs[7].year);
  EXPECT_EQ(58, recs[7].second);

  // Names given to -l select what is listed.
  Outcome one = UnZip("-l --i " + Quote(arc) + " \"docs\\*\"");
  EXPECT_EQ(0, one.code);
  EXPECT_EQ(2, ListingCount(one.text));
}

TEST(Listing, CutToTheBufferKeepsCountAndLines) {
  Scratch s;
  std::vector<TestMember> ms;
  for (int i = 0; i < 1500; i++) {
    char n[64];
    wsprintfA(n, "dir%02d/member%05d.txt", i % 7, i);
    ms.push_back(Member(n, std::string(size_t(i % 50), 'x'), 0));
  }
  std::string arc = s.Archive(ms);
  Outcome full = UnZip("-l --i " + Quote(arc), 1u << 20);
  ASSERT_EQ(0, full.code);
  EXPECT_EQ(1500, ListingCount(full.text));
  EXPECT_EQ(1500u, ListingRecords(full.text).size());

  Outcome cut = UnZip("-l --i " + Quote(arc), 65535);
  ASSERT_EQ(0, cut.code);
  EXPECT_LT(cut.text.size(), 65535u);
  long count = ListingCount(cut.text);
  EXPECT_GT(count, 100);
  EXPECT_LT(count, 1500);
  EXPECT_NE(std::string::npos, cut.text.find("listing cut after"));
  std::vector<ColumnRecord> recs = ListingRecords(cut.text);
  ASSERT_EQ(size_t(count), recs.size());
  for (size_t i = 0; i < recs.size(); i++) {
    std::string expect = ms[i].name;
    std::replace(expect.begin(), expect.end(), '/', '\\');
    EXPECT_EQ(expect, recs[i].name);
    EXPECT_EQ(ms[i].data.size(), recs[i].size);
  }
  EXPECT_NE(0, UnZip("-l --i " + Quote(arc), 100).code);
}

TEST(Extract, EverythingByteForByteWithDirectoriesAndTimes) {
  Scratch s;
  std::vector<TestMember> ms;
  ms.push_back(Member("top.txt", Text(200000, 8)));
  ms.push_back(Member("empty/", "", 0));
  ms.push_back(Member("sub/inner/noise.bin", Noise(70000, 9), 0));
  ms.push_back(Member("sub/\x93\xFA\x96\x7B\x8C\xEA.txt", Text(3000, 10)));  // SJIS name
  ms.push_back(Member("zero.txt", "", 8));
  ms.push_back(Member("readonly.txt", "keep me", 0));
  ms.back().externalAttr = 0x21;
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "out dir\\";
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*", 1024);
  ASSERT_EQ(0, r.code) << r.text;
  for (const TestMember& m : ms) {
    std::string path = dest + m.name;
    std::replace(path.begin(), path.end(), '/', '\\');
    SCOPED_TRACE(path);
    DWORD a = Attributes(path);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, a);
    if (m.name.back() == '/') {
      EXPECT_TRUE(a & FILE_ATTRIBUTE_DIRECTORY);
      continue;
    }
    std::string got;
    ASSERT_TRUE(ReadBytes(path, got));
    EXPECT_TRUE(got == m.data);
    EXPECT_EQ(DosText(m.dosDate, m.dosTime), SaveDosTime(path));
  }
  EXPECT_TRUE(Attributes(dest + "readonly.txt") & FILE_ATTRIBUTE_READONLY);
  std::vector<std::string> top = DirNames(dest);
  EXPECT_EQ((std::vector<std::string>{"empty", "readonly.txt", "sub", "top.txt", "zero.txt"}), top);
}

TEST(Extract, SingleMembersByTheirListedNames) {
  Scratch s;
  std::vector<TestMember> ms;
  ms.push_back(Member("a/\x95\x5C.txt", "hyou"));  // 0x5C trail byte
  ms.push_back(Member("a/b.txt", "bee"));
  ms.push_back(Member("-opt.txt", "dash", 0));
  ms.push_back(Member("c.txt", "sea"));
  std::string arc = s.Archive(ms);
  std::vector<ColumnRecord> recs = ListingRecords(UnZip("-l --i " + Quote(arc)).text);
  ASSERT_EQ(4u, recs.size());
  std::string dest = s.dir() + "one\\";
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " " + Quote(recs[0].name));
  ASSERT_EQ(0, r.code) << r.text;
  EXPECT_EQ(std::vector<std::string>{"a"}, DirNames(dest));
  EXPECT_EQ(std::vector<std::string>{"\x95\x5C.txt"}, DirNames(dest + "a\\"));
  std::string got;
  EXPECT_TRUE(ReadBytes(dest + "a\\\x95\x5C.txt", got));
  EXPECT_EQ("hyou", got);

  // The view command: overwrite into a temporary directory.
  std::string view = s.dir() + "view\\";
  EXPECT_EQ(0, UnZip("-x -o " + Quote(arc) + " " + Quote(view) + " " + Quote(recs[2].name)).code);
  EXPECT_TRUE(ReadBytes(view + "-opt.txt", got));
  EXPECT_EQ("dash", got);
  EXPECT_EQ(0, UnZip("-x -o " + Quote(arc) + " " + Quote(view) + " " + Quote(recs[2].name)).code);

  Outcome missing = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " \"nothing.txt\"");
  EXPECT_EQ(kNoMatch, missing.code);
  EXPECT_NE(std::string::npos, missing.text.find("nothing.txt"));
}

TEST(Extract, ExistingFileReplacedOnlyWhenAsked) {
  Scratch s;
  std::vector<TestMember> ms = {Member("f.txt", "from the archive"), Member("g.txt", "second")};
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "d\\";
  CreateDirectoryA(dest.c_str(), nullptr);
  WriteBytes(dest + "f.txt", "mine");
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*");
  EXPECT_EQ(kExists, r.code);
  EXPECT_NE(std::string::npos, r.text.find("f.txt"));
  std::string got;
  ReadBytes(dest + "f.txt", got);
  EXPECT_EQ("mine", got);
  ReadBytes(dest + "g.txt", got);
  EXPECT_EQ("second", got);
  Outcome keep = UnZip("-x -n " + Quote(arc) + " " + Quote(dest) + " *.*");
  EXPECT_EQ(0, keep.code);
  EXPECT_EQ(0u, keep.text.find("0 members extracted, 2 kept, 0 not extracted\n")) << keep.text;
  ReadBytes(dest + "f.txt", got);
  EXPECT_EQ("mine", got);

  SetFileAttributesA((dest + "f.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(0, UnZip("-x -o " + Quote(arc) + " " + Quote(dest) + " \"f.txt\"").code);
  ReadBytes(dest + "f.txt", got);
  EXPECT_EQ("from the archive", got);
  EXPECT_EQ((std::vector<std::string>{"f.txt", "g.txt"}), DirNames(dest));
}

TEST(Extract, ResponseFileOfTheUnpackDialog) {
  Scratch s;
  std::vector<TestMember> ms = {Member("one.txt", "1"), Member("two words.txt", "2"), Member("x/three.txt", "3"),
                                Member("four.txt", "4")};
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "resp dest\\";
  std::string list = s.dir() + "$UNPACK.LST";
  WriteBytes(list, "-x " + Quote(arc) + " " + Quote(dest) + "\r\n\"one.txt\"\r\n\"two words.txt\"\r\n\"x\\three.txt\"\r\n");
  Outcome r = UnZip("@" + list, 1024);
  ASSERT_EQ(0, r.code) << r.text;
  EXPECT_EQ((std::vector<std::string>{"one.txt", "two words.txt", "x"}), DirNames(dest));
  std::string got;
  EXPECT_TRUE(ReadBytes(dest + "x\\three.txt", got));
  EXPECT_EQ("3", got);
  EXPECT_NE(0, UnZip("@" + s.dir() + "no such list").code);
}

// The files below dir (ending in a backslash) as paths relative to it, sorted.
void FilesBelow(const std::string& dir, const std::string& prefix, std::vector<std::string>& out) {
  for (const std::string& n : DirNames(dir)) {
    DWORD a = Attributes(dir + n);
    if (a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) FilesBelow(dir + n + "\\", prefix + n + "\\", out);
    else out.push_back(prefix + n);
  }
}

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return s;
}

// The unpack dialog names every marked member; the names come in the forms a user or a
// program may write them, and exactly the named members come out.
TEST(Extract, ResponseFileNamingManyMembers) {
  Scratch s;
  std::vector<TestMember> ms;
  std::vector<std::string> listed;  // member names as listed, with backslashes
  for (int i = 0; i < 240; i++) {
    char name[32];
    snprintf(name, sizeof name, i % 3 == 0 ? "d/sub/f%03d.txt" : i % 3 == 1 ? "d/f%03d.txt" : "f%03d.txt", i);
    ms.push_back(Member(name, "member " + std::to_string(i)));
    std::string l = name;
    std::replace(l.begin(), l.end(), '/', '\\');
    listed.push_back(l);
  }
  for (const char* name : {"\x95\x5C/in.txt", "\x95\x5C.txt", "keep/k1.txt", "keep/inner/k2.txt", "Other/o.txt",
                           "Other/o.dat"})
    ms.push_back(Member(name, name));
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "many\\";
  std::string list = "-x " + Quote(arc) + " " + Quote(dest) + "\r\n";
  std::vector<std::string> want;
  for (int i = 0; i < 240; i++) {
    if (i % 7 == 0) continue;
    const std::string& l = listed[i];
    std::string slashed = l;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    if (i % 4 == 0) list += Quote(l) + "\r\n";
    else if (i % 4 == 1) list += Quote(UpperAscii(slashed)) + "\r\n";
    else if (i % 4 == 2) list += Quote(".\\" + l) + "\r\n";
    else list += Quote(l) + "\r\n" + Quote(UpperAscii(l)) + "\r\n";  // named twice
    want.push_back(l);
  }
  // A directory name takes what lies below it; a 0x5C trail byte is no separator.
  list += "\"KEEP\\\"\r\n\"\x95\x5C\\\"\r\n\"other/*.TXT\"\r\n";
  for (const char* f : {"keep\\k1.txt", "keep\\inner\\k2.txt", "\x95\x5C\\in.txt", "Other\\o.txt"}) want.push_back(f);
  std::sort(want.begin(), want.end());
  std::string listFile = s.dir() + "$UNPACK.LST";
  ASSERT_TRUE(WriteBytes(listFile, list));
  Outcome r = UnZip("@" + listFile, 4096);
  ASSERT_EQ(0, r.code) << r.text;
  EXPECT_EQ(0u, r.text.find(std::to_string(want.size()) + " members extracted, 0 kept, 0 not extracted\n")) << r.text;
  std::vector<std::string> got;
  FilesBelow(dest, "", got);
  std::sort(got.begin(), got.end());
  EXPECT_EQ(want, got);
  std::string data;
  EXPECT_TRUE(ReadBytes(dest + "d\\sub\\f003.txt", data));
  EXPECT_EQ("member 3", data);

  // Names matching nothing are each reported, the named members still extracted.
  std::string again = s.dir() + "again\\";
  WriteBytes(listFile, "-x " + Quote(arc) + " " + Quote(again) + "\r\n\"f002.txt\"\r\n\"f002\"\r\n\"\x95/\"\r\n");
  Outcome partly = UnZip("@" + listFile, 4096);
  EXPECT_EQ(kNoMatch, partly.code);
  EXPECT_NE(std::string::npos, partly.text.find("no member matches f002\n")) << partly.text;
  EXPECT_NE(std::string::npos, partly.text.find("no member matches \x95/\n")) << partly.text;
  EXPECT_EQ(std::vector<std::string>{"f002.txt"}, DirNames(again));
}

TEST(Safety, NamesLeavingTheDestinationAreRefused) {
  Scratch s;
  std::vector<TestMember> ms;
  const char* bad[] = {"../evil1.txt",   "..\\evil2.txt",  "/evil3.txt",       "\\evil4.txt",
                       "a/../../evil5.txt", "C:\\kelpo_zip_evil6.txt", "C:kelpo_zip_evil7.txt", "ok.txt:stream",
                       "sub/CON",        "aux.txt",        "sub/. . .",        "bad|name.txt",
                       "..",             "\\\\server\\share\\evil8.txt"};
  for (const char* n : bad) ms.push_back(Member(n, "bad"));
  ms.push_back(Member("good/ok.txt", "good"));
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "inner\\dest\\";
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*", 8192);
  EXPECT_EQ(kUnsafe, r.code);
  for (const char* n : bad) {
    std::string shown = n;
    std::replace(shown.begin(), shown.end(), '/', '\\');
    EXPECT_NE(std::string::npos, r.text.find("refused")) << n;
    EXPECT_NE(std::string::npos, r.text.find(shown)) << n;
  }
  EXPECT_EQ(std::vector<std::string>{"good"}, DirNames(dest));
  EXPECT_EQ(std::vector<std::string>{"dest"}, DirNames(s.dir() + "inner\\"));
  EXPECT_EQ((std::vector<std::string>{"inner", "test.zip"}), DirNames(s.dir()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes("C:\\kelpo_zip_evil6.txt"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes("C:\\evil3.txt"));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, Attributes("\\evil4.txt"));
  // Refused one by one as well.
  EXPECT_EQ(kUnsafe, UnZip("-x " + Quote(arc) + " " + Quote(dest) + " \"..\\evil2.txt\"").code);
}

TEST(Corrupt, NothingHalfWrittenIsReportedAsSuccess) {
  Scratch s;
  std::vector<TestMember> ms = {Member("good.txt", Text(50000, 11)), Member("crc.txt", Text(40000, 12))};
  ms[1].badCrc = true;
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "c\\";
  CreateDirectoryA(dest.c_str(), nullptr);
  WriteBytes(dest + "crc.txt", "precious");
  Outcome r = UnZip("-x -o " + Quote(arc) + " " + Quote(dest) + " *.*", 4096);
  EXPECT_EQ(kData, r.code);
  EXPECT_NE(std::string::npos, r.text.find("crc.txt"));
  std::string got;
  ReadBytes(dest + "crc.txt", got);
  EXPECT_EQ("precious", got);
  EXPECT_EQ((std::vector<std::string>{"crc.txt", "good.txt"}), DirNames(dest));

  // Cut short: no end record, nothing extracted.
  std::string whole;
  std::vector<TestMember> one = {Member("big.txt", Text(300000, 13))};
  ReadBytes(s.Archive(one, TestArchiveOptions(), "whole.zip"), whole);
  WriteBytes(s.dir() + "short.zip", whole.substr(0, whole.size() / 2));
  EXPECT_FALSE(Lib().check((s.dir() + "short.zip").c_str(), 0));
  std::string d2 = s.dir() + "short\\";
  EXPECT_EQ(kCorrupt, UnZip("-x " + Quote(s.dir() + "short.zip") + " " + Quote(d2) + " *.*").code);
  EXPECT_EQ(kCorrupt, UnZip("-l --i " + Quote(s.dir() + "short.zip")).code);
  EXPECT_TRUE(DirNames(d2).empty());

  // The directory intact but member data damaged in the middle.
  std::string damaged = whole;
  for (size_t i = 200; i < 400; i++) damaged[i] = char(damaged[i] ^ 0x5A);
  WriteBytes(s.dir() + "damaged.zip", damaged);
  std::string d3 = s.dir() + "damaged\\";
  EXPECT_EQ(kData, UnZip("-x " + Quote(s.dir() + "damaged.zip") + " " + Quote(d3) + " *.*").code);
  EXPECT_TRUE(DirNames(d3).empty());

  // Encrypted and unsupported members are reported, never written.
  std::vector<TestMember> odd = {Member("locked.txt", "xx", 0), Member("bz.txt", "yy", 12), Member("fine.txt", "ok")};
  odd[0].flags = 1;
  std::string oddArc = s.Archive(odd, TestArchiveOptions(), "odd.zip");
  std::string d4 = s.dir() + "odd\\";
  Outcome e = UnZip("-x " + Quote(oddArc) + " " + Quote(d4) + " \"locked.txt\"");
  EXPECT_EQ(kEncrypted, e.code);
  EXPECT_NE(std::string::npos, e.text.find("encrypted"));
  Outcome m = UnZip("-x " + Quote(oddArc) + " " + Quote(d4) + " \"bz.txt\"");
  EXPECT_EQ(kMethod, m.code);
  EXPECT_NE(std::string::npos, m.text.find("BZip2"));
  EXPECT_EQ(kEncrypted, UnZip("-x " + Quote(oddArc) + " " + Quote(d4) + " *.*").code);
  EXPECT_EQ(std::vector<std::string>{"fine.txt"}, DirNames(d4));
}

TEST(Reader, DescriptorsZip64CommentsStubsAndUtf8Names) {
  Scratch s;
  std::vector<TestMember> ms;
  ms.push_back(Member("desc.txt", Text(20000, 14)));
  ms.back().descriptor = true;
  ms.push_back(Member("z64.bin", Noise(5000, 15), 0));
  ms.back().zip64 = true;
  ms.push_back(Member("z64desc.txt", Text(9000, 16)));
  ms.back().zip64 = true;
  ms.back().descriptor = true;
  ms.push_back(Member(u8"日本語/テキスト.txt", "utf8"));
  ms.back().flags = 0x0800;
  ms.push_back(Member(u8"caf\u00e9\U0001F600.txt", "lossy"));
  ms.back().flags = 0x0800;
  TestArchiveOptions opt;
  opt.comment = "an archive comment PK\x05\x06 with a false signature";
  opt.stub = Noise(3000, 17);
  std::string arc = s.Archive(ms, opt);
  ASSERT_TRUE(Lib().check(arc.c_str(), 0));
  Outcome list = UnZip("-l --i " + Quote(arc));
  ASSERT_EQ(0, list.code) << list.text;
  std::vector<ColumnRecord> recs = ListingRecords(list.text);
  ASSERT_EQ(ms.size(), recs.size());
  EXPECT_EQ("\x93\xFA\x96\x7B\x8C\xEA\\\x83\x65\x83\x4C\x83\x58\x83\x67.txt", recs[3].name);
  EXPECT_EQ("caf??.txt", recs[4].name);
  EXPECT_EQ(ms[1].crc, recs[1].crc);
  EXPECT_EQ(5000u, recs[1].size);
  std::string dest = s.dir() + "r\\";
  // The name the code page cannot hold is reported, not made up.
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*", 4096);
  EXPECT_EQ(kUnsafe, r.code) << r.text;
  EXPECT_NE(std::string::npos, r.text.find("cannot represent): caf??.txt")) << r.text;
  const char* paths[] = {"desc.txt", "z64.bin", "z64desc.txt", "\x93\xFA\x96\x7B\x8C\xEA\\\x83\x65\x83\x4C\x83\x58\x83\x67.txt"};
  EXPECT_EQ((std::vector<std::string>{"desc.txt", "z64.bin", "z64desc.txt", "\x93\xFA\x96\x7B\x8C\xEA"}), DirNames(dest));
  for (size_t i = 0; i < 4; i++) {
    std::string got;
    ASSERT_TRUE(ReadBytes(dest + paths[i], got)) << paths[i];
    EXPECT_TRUE(got == ms[i].data) << paths[i];
  }
}

namespace {

// The modification time of a file or directory, UTC in 100 ns units since 1601.
uint64_t WriteTime(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  FILETIME ft = {0, 0};
  if (h != INVALID_HANDLE_VALUE) {
    GetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
  }
  return (uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

uint64_t DosToUtc(uint16_t date, uint16_t time) {
  FILETIME local, utc;
  DosDateTimeToFileTime(date, time, &local);
  LocalFileTimeToFileTime(&local, &utc);
  return (uint64_t(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}

std::string Contents(const std::string& path) {
  std::string got;
  return ReadBytes(path, got) ? got : "(missing)";
}

}  // namespace

// Info-ZIP on Linux stores UTF-8 names without the flag; a 0x9E lead byte before '/' must not
// swallow the separator, and a name the code page cannot hold is reported, not made up.
TEST(Names, UnflaggedUtf8NamesKeepTheirDirectories) {
  Scratch s;
  const std::string nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";  // 日本語 in UTF-8: not Shift-JIS
  const std::string hyouji = "\xE8\xA1\xA8\xE7\xA4\xBA";               // 表示 in UTF-8: also Shift-JIS
  const std::string sjisNihongo = "\x93\xFA\x96\x7B\x8C\xEA", sjisHyouji = "\x95\x5C\x8E\xA6";
  std::vector<TestMember> ms;
  ms.push_back(Member(nihongo + "/", "", 0));
  ms.push_back(Member(nihongo + "/a.txt", "in a directory"));
  ms.push_back(Member(nihongo + "/" + nihongo + ".b.txt", "two dots"));
  ms.push_back(Member(hyouji + "/", "", 0));
  ms.push_back(Member(hyouji + "/" + nihongo + ".txt", "same directory"));
  ms.push_back(Member("caf\xC3\xA9/e.txt", "e acute"));
  ms.back().flags = 0x0800;
  std::string arc = s.Archive(ms);

  std::vector<ColumnRecord> recs = ListingRecords(UnZip("-l --i " + Quote(arc)).text);
  ASSERT_EQ(ms.size(), recs.size());
  EXPECT_EQ(sjisNihongo + "\\a.txt", recs[1].name);
  EXPECT_EQ(sjisNihongo + "\\" + sjisNihongo + ".b.txt", recs[2].name);
  EXPECT_EQ(sjisHyouji + "\\", recs[3].name);
  EXPECT_EQ("caf?\\e.txt", recs[5].name);

  std::string dest = s.dir() + "n\\";
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*", 8192);
  EXPECT_EQ(kUnsafe, r.code);
  EXPECT_NE(std::string::npos, r.text.find("cannot represent): caf?\\e.txt")) << r.text;
  EXPECT_EQ(0u, r.text.find("5 members extracted, 0 kept, 1 not extracted\n")) << r.text;
  EXPECT_EQ((std::vector<std::string>{sjisNihongo, sjisHyouji}), DirNames(dest));
  EXPECT_EQ((std::vector<std::string>{"a.txt", sjisNihongo + ".b.txt"}), DirNames(dest + sjisNihongo + "\\"));
  EXPECT_EQ("in a directory", Contents(dest + sjisNihongo + "\\a.txt"));
  EXPECT_EQ("two dots", Contents(dest + sjisNihongo + "\\" + sjisNihongo + ".b.txt"));
  EXPECT_EQ("same directory", Contents(dest + sjisHyouji + "\\" + sjisNihongo + ".txt"));

  // Chosen by the listed name, as the filer does.
  std::string one = s.dir() + "one\\";
  EXPECT_EQ(0, UnZip("-x " + Quote(arc) + " " + Quote(one) + " " + Quote(recs[1].name)).code);
  EXPECT_EQ("in a directory", Contents(one + sjisNihongo + "\\a.txt"));

  // Shift-JIS names beside them: each name read by itself; bytes that are neither are refused.
  std::vector<TestMember> mixed = {Member("\x95\x5C/x.txt", "shift-jis as stored"), Member(hyouji, "hyouji"),
                                   Member(nihongo + "/a.txt", "utf-8"), Member("bad\x82.txt", "neither")};
  std::string mixedArc = s.Archive(mixed, TestArchiveOptions(), "mixed.zip");
  std::string d2 = s.dir() + "m\\";
  Outcome m = UnZip("-x " + Quote(mixedArc) + " " + Quote(d2) + " *.*", 8192);
  EXPECT_EQ(kUnsafe, m.code);
  EXPECT_NE(std::string::npos, m.text.find("neither Shift-JIS nor UTF-8): bad?.txt")) << m.text;
  EXPECT_EQ((std::vector<std::string>{sjisNihongo, "\x95\x5C", hyouji}), DirNames(d2));
  EXPECT_EQ("shift-jis as stored", Contents(d2 + "\x95\x5C\\x.txt"));
  EXPECT_EQ("utf-8", Contents(d2 + sjisNihongo + "\\a.txt"));
}

TEST(Safety, OverlappingMembersAndForeignLocalNamesRefused) {
  Scratch s;
  // 20 directory records for one local record of 1 MB of zeros: 20 MB out of a few KB.
  std::string bomb = s.dir() + "bomb.zip";
  ASSERT_TRUE(WriteBytes(bomb, BuildSharedRecordZip("bomb.bin", std::string(1 << 20, '\0'), 20)));
  EXPECT_FALSE(Lib().check(bomb.c_str(), 0));
  Outcome l = UnZip("-l --i " + Quote(bomb));
  EXPECT_EQ(kOverlap, l.code);
  EXPECT_NE(std::string::npos, l.text.find("overlap")) << l.text;
  std::string dest = s.dir() + "b\\";
  EXPECT_EQ(kOverlap, UnZip("-x " + Quote(bomb) + " " + Quote(dest) + " *.*").code);
  EXPECT_TRUE(DirNames(dest).empty());

  std::vector<TestMember> ms = {Member("a.txt", "first"), Member("b.txt", "second")};
  std::string zip = BuildZip(ms);
  zip[30] = 'q';  // the first local header now says q.txt
  std::string foreign = s.dir() + "foreign.zip";
  ASSERT_TRUE(WriteBytes(foreign, zip));
  EXPECT_FALSE(Lib().check(foreign.c_str(), 0));
  Outcome f = UnZip("-x " + Quote(foreign) + " " + Quote(dest) + " *.*");
  EXPECT_EQ(kCorrupt, f.code);
  EXPECT_NE(std::string::npos, f.text.find("a.txt")) << f.text;
  EXPECT_TRUE(DirNames(dest).empty());
}

// bsdtar and the tar of Windows write "./" first; it names the destination and is passed over.
// Names ending in dots or blanks lose them as the file system would drop them.
TEST(Extract, DotEntryAndTrailingDots) {
  Scratch s;
  std::vector<TestMember> ms = {Member("./", "", 0), Member("./a.txt", "a"), Member("./d/", "", 0),
                                Member("./d/b.txt", "b"), Member("e. /f.txt.", "f"), Member("e/f.txt", "second f")};
  ms[0].externalAttr = ms[2].externalAttr = 0x10;
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "dot\\";
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*");
  EXPECT_EQ(kExists, r.code) << r.text;
  EXPECT_EQ(0u, r.text.find("4 members extracted, 0 kept, 1 not extracted\n")) << r.text;
  EXPECT_EQ((std::vector<std::string>{"a.txt", "d", "e"}), DirNames(dest));
  EXPECT_EQ("b", Contents(dest + "d\\b.txt"));
  EXPECT_EQ("f", Contents(dest + "e\\f.txt"));
  EXPECT_EQ(0, UnZip("-x -o " + Quote(arc) + " " + Quote(dest) + " *.*").code);
  EXPECT_EQ("second f", Contents(dest + "e\\f.txt"));
}

TEST(Extract, DirectoryAndNtfsTimesRestored) {
  Scratch s;
  const uint64_t exact = 132647392891234567ull;  // 2021-05-06 07:08:09.1234567 UTC
  std::vector<TestMember> ms;
  ms.push_back(Member("d/", "", 0));
  ms.back().dosDate = (39 << 9) | (6 << 5) | 7;  // 2019-06-07 08:09:10
  ms.back().dosTime = (8 << 11) | (9 << 5) | 5;
  ms.push_back(Member("d/e/", "", 0));
  ms.back().extra = NtfsExtra(exact + 10000000);
  ms.push_back(Member("d/e/f.txt", "f"));
  ms.back().extra = NtfsExtra(exact);
  ms.push_back(Member("d/g.txt", "g"));
  ms.push_back(Member("d/e/h.txt", "h"));  // written after its directory's record
  std::string arc = s.Archive(ms);
  std::string dest = s.dir() + "t\\";
  Outcome r = UnZip("-x " + Quote(arc) + " " + Quote(dest) + " *.*");
  ASSERT_EQ(0, r.code) << r.text;
  EXPECT_EQ(DosToUtc(ms[0].dosDate, ms[0].dosTime), WriteTime(dest + "d"));
  EXPECT_EQ(exact + 10000000, WriteTime(dest + "d\\e"));
  EXPECT_EQ(exact, WriteTime(dest + "d\\e\\f.txt"));
  EXPECT_EQ(DosToUtc(ms[3].dosDate, ms[3].dosTime), WriteTime(dest + "d\\g.txt"));
  // The destination keeps no work directory behind.
  EXPECT_EQ(std::vector<std::string>{"d"}, DirNames(dest));
}
