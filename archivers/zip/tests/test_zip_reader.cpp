// The portable ZIP reader on its own: name rules, matching, word splitting, directory
// consistency checks, decoding limits, and the replay of the fuzzing corpus.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zip.h"
#include "zip_writer.h"

namespace {

int DirectoryOf(const std::string& bytes, ZipArchive& arc, std::string* log = nullptr) {
  MemorySource mem = {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  return ZipReadDirectory(ZipMemorySource(&mem), arc, log);
}

bool CollectSink(void* ctx, const void* data, size_t len) {
  static_cast<std::string*>(ctx)->append(static_cast<const char*>(data), len);
  return true;
}

int Decode(const std::string& bytes, size_t index, std::string& out) {
  MemorySource mem = {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
  ZipSource src = ZipMemorySource(&mem);
  ZipArchive arc;
  int r = ZipReadDirectory(src, arc, nullptr);
  if (r != ZIP_OK) return r;
  return ZipDecodeMember(src, arc, arc.members.at(index), CollectSink, &out);
}

TestMember Member(const std::string& name, const std::string& data, uint16_t method = 8) {
  TestMember m;
  m.name = name;
  m.data = data;
  m.method = method;
  return m;
}

// Offset of the central directory record of the first member.
size_t CentralStart(const std::string& zip) { return zip.find("PK\x01\x02"); }

}  // namespace

TEST(Names, SafeComponentsAcceptOrdinaryAndRefuseEscapes) {
  std::vector<std::string> parts;
  std::string why;
  ASSERT_TRUE(ZipSafeComponents("a/./b\\c.txt", parts, why));
  EXPECT_EQ((std::vector<std::string>{"a", "b", "c.txt"}), parts);
  ASSERT_TRUE(ZipSafeComponents("\x95\x5C/\x83\x5C.txt", parts, why));  // 0x5C is a trail byte here
  EXPECT_EQ((std::vector<std::string>{"\x95\x5C", "\x83\x5C.txt"}), parts);
  ASSERT_TRUE(ZipSafeComponents("dir/", parts, why));
  EXPECT_EQ(std::vector<std::string>{"dir"}, parts);
  ASSERT_TRUE(ZipSafeComponents("console.txt", parts, why));
  // Trailing dots and blanks go, as the file system would drop them.
  ASSERT_TRUE(ZipSafeComponents("..a/b..", parts, why));
  EXPECT_EQ((std::vector<std::string>{"..a", "b"}), parts);
  ASSERT_TRUE(ZipSafeComponents("dir. ./x ", parts, why));
  EXPECT_EQ((std::vector<std::string>{"dir", "x"}), parts);
  ASSERT_TRUE(ZipSafeComponents("\x93\xFA\x96\x7B./a", parts, why));
  EXPECT_EQ((std::vector<std::string>{"\x93\xFA\x96\x7B", "a"}), parts);
  const char* refused[] = {"", "/", "../x", "a/../../x", "/etc/passwd", "\\x", "C:\\x", "C:x", "a:b",
                           "nul", "NUL.txt", "com1.log", "lpt9", "a/CON/b", "x\x01y", "q?.txt", "a*",
                           "CON.", "x/.. /y", "... ", "...", ".", "a/..", " "};
  for (const char* n : refused) EXPECT_FALSE(ZipSafeComponents(n, parts, why)) << "accepted: " << n;
  EXPECT_FALSE(ZipSafeComponents("../x", parts, why));
  EXPECT_EQ("parent directory reference", why);
  EXPECT_FALSE(ZipSafeComponents("a/.../b", parts, why));
  EXPECT_EQ("name of dots and blanks only", why);
}

TEST(Names, TheDestinationItself) {
  for (const char* n : {"./", ".", "./.", ".//./", ".\\"}) EXPECT_TRUE(ZipNamesDestination(n)) << n;
  for (const char* n : {"", "/", "./a", "..", "./..", "a/.", "/./", ".a/"}) EXPECT_FALSE(ZipNamesDestination(n)) << n;
}

// A lead byte forms a character only with a trail byte; 0x2F never is one, 0x5C is.
TEST(Names, OneCharacterRuleForEverySplit) {
  const std::string utf8Dir = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/";  // 日本語/ in UTF-8: ends in 0x9E '/'
  EXPECT_EQ(1u, ZipCharLen(utf8Dir, 8));
  EXPECT_EQ(2u, ZipCharLen("\x95\x5C", 0));
  EXPECT_EQ(1u, ZipCharLen("\x95", 0));
  EXPECT_EQ(1u, ZipCharLen("\x95\x7F", 0));
  EXPECT_TRUE(ZipEndsWithSeparator(utf8Dir));
  EXPECT_FALSE(ZipEndsWithSeparator("\x95\x5C"));
  std::vector<std::string> parts;
  std::string why;
  ASSERT_TRUE(ZipSafeComponents(utf8Dir + "a.txt", parts, why));
  EXPECT_EQ(2u, parts.size());
  ZipMember m;
  m.name = utf8Dir + "a";
  EXPECT_EQ(utf8Dir.substr(0, 9) + "\\a", ZipListedName(m));
}

TEST(Names, StoredNamesDecodedByTheirEncoding) {
  struct Case {
    const char* raw;
    bool flagged;
    const char* unicodePath;  // nullptr: no Unicode path field
    const char* name;         // in the code page (932 here)
    bool problem;
  } cases[] = {
      {"plain/a.txt", false, nullptr, "plain/a.txt", false},
      {"\x95\x5C/\x83\x5C.txt", false, nullptr, "\x95\x5C/\x83\x5C.txt", false},  // Shift-JIS as stored
      // UTF-8 without the flag, as Info-ZIP on Linux writes it: not Shift-JIS, so read as UTF-8.
      {"\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/a.txt", false, nullptr, "\x93\xFA\x96\x7B\x8C\xEA/a.txt", false},
      // Valid in both: the bytes stay Shift-JIS.
      {"\xE3\x82\xA2", false, nullptr, "\xE3\x82\xA2", false},
      {"\xE3\x82\xA2", true, nullptr, "\x83\x41", false},  // flagged: ア
      // Flagged but not UTF-8, yet whole Shift-JIS (a writer's wrong flag).
      {"\x93\xFA\x96\x7B.txt", true, nullptr, "\x93\xFA\x96\x7B.txt", false},
      {"caf\xC3\xA9.txt", true, nullptr, "caf?.txt", true},       // é has no form in code page 932
      {"caf\xC3\xA9.txt", false, nullptr, "caf\xC3\xA9.txt", false},  // half-width kana as Shift-JIS
      {"caf\x82.txt", false, nullptr, "caf?.txt", true},           // neither encoding
      {"x\xF0\x9F\x98\x80", true, nullptr, "x?", true},            // outside the basic plane
      {"a\xE3\x80\x9C", true, nullptr, "a\x81\x60", false},          // WAVE DASH as macOS writes it
      {"\xE2\x88\x92\xEF\xBD\x9E", true, nullptr, "\x81\x7C\x81\x60", false},  // MINUS SIGN, FULLWIDTH TILDE
      {"\xC2\xA5", true, nullptr, "?", true},                      // yen sign: never the best fit '\\'
      {"\xEF\xBC\x8F", true, nullptr, "\x81\x5E", false},            // fullwidth solidus
      {"\xEF\xBD\x81", true, nullptr, "\x82\x81", false},            // fullwidth a stays fullwidth
      {"\xED\xA0\x80", true, nullptr, "\xED\xA0?", true},           // a surrogate is no UTF-8; 0xED 0xA0 is Shift-JIS
      {"old.txt", false, "\xE6\x97\xA5.txt", "\x93\xFA.txt", false},  // the Unicode path field wins
      {"old.txt", false, "\xFF", "old.txt", false},                  // unless it is broken
  };
  for (const Case& c : cases) {
    std::string name, problem, path = c.unicodePath ? c.unicodePath : "";
    ZipDecodeName(c.raw, c.flagged, c.unicodePath ? &path : nullptr, name, problem);
    EXPECT_EQ(c.name, name) << c.raw;
    EXPECT_EQ(c.problem, !problem.empty()) << c.raw << ": " << problem;
  }
  EXPECT_TRUE(ZipIsUtf8(""));
  EXPECT_FALSE(ZipIsUtf8("\xC0\xAF"));  // overlong '/'
  EXPECT_FALSE(ZipIsUtf8("\xF4\x90\x80\x80"));
  EXPECT_FALSE(ZipIsShiftJis("\x81"));
  EXPECT_FALSE(ZipIsShiftJis("a\xA0"));
  EXPECT_TRUE(ZipIsShiftJis("\xB1\xB2\x81\x40"));
}

// Every matcher rule in one table. Rows without wildcards also hold for ZipMatchKey: equal keys
// exactly when the names match.
TEST(Names, MatcherRulesTable) {
  const struct {
    const char* pattern;
    const char* name;
    bool match;
  } rows[] = {
      {"", "", true},
      {"", "a", false},
      {"a", "", false},
      {"*", "", true},
      {"**", "abc", true},
      {"a?c", "abc", true},
      {"a?c", "ac", false},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"*a", "bab", false},
      {"*.TXT", "dir\\a.txt", true},
      {"*.zip", "a.txt", false},
      // Case folding of ASCII letters, '/' and '\' the same separator.
      {"dir/a.txt", "DIR\\A.TXT", true},
      {"DIR\\A.TXT", "dir/a.txt", true},
      {"dir\\a.txt", "dir\\a.txx", false},
      {"dir\\a.txt", "dira.txt", false},
      // A directory pattern ends in a separator; on its own it names the directory member only.
      {"dir\\", "dir\\", true},
      {"dir/", "DIR\\", true},
      {"dir\\", "dir\\a.txt", false},
      {"dir\\*", "DIR/sub/a.txt", true},
      {"*\\", "d\x95\x5C\\", true},
      // A double-byte character is one character; its 0x5C trail byte is no separator.
      {"?", "\x95\x5C", true},
      {"??", "\x95\x5C", false},
      {"?.txt", "\x95\x5C.txt", true},
      {"?\\*", "\x95\x5C.txt", false},
      {"*\\*", "\x95\x5C.txt", false},
      {"*\\", "\x95\x5C", false},
      {"\x95\x5C*", "\x95\x5C.txt", true},
      {"\x95\x5C\\*", "\x95\x5C.txt", false},
      {"\x95\x5C\\*", "\x95\x5C/in.txt", true},
      {"\x95\x5C", "\x95\x5D", false},
      {"\x95\x5C", "\x95/", false},
      {"\x95/", "\x95\\", false},
      {"*\x95\x5C", "a\x95\x5C", true},
      // Trail bytes are never folded: 0x82 0x60 and 0x82 0x81 are full-width A and a.
      {"\x82\x60", "\x82\x81", false},
      {"\x82\x60", "\x82\x60", true},
      {"\x83\x41", "\x83\x61", false},
      // A lead byte without a trail byte is a character of its own.
      {"\x81*", "\x81", true},
      {"\x81*", "\x81" "abc", false},
      {"\x81?", "\x81" "a", false},
      {"\x81", "\x81", true},
  };
  for (const auto& row : rows) {
    std::string p = row.pattern, n = row.name;
    EXPECT_EQ(row.match, ZipWildMatch(p, n)) << "pattern \"" << p << "\" name \"" << n << "\"";
    if (p.find_first_of("*?") == std::string::npos) {
      EXPECT_EQ(row.match, ZipMatchKey(p) == ZipMatchKey(n)) << "keys of \"" << p << "\" and \"" << n << "\"";
    }
  }
  EXPECT_EQ("dir/\x95\x5C/a\x82\x60.txt", ZipMatchKey("DIR\\\x95\x5C\\A\x82\x60.TXT"));
}

TEST(Names, CommandWordsAndListedNames) {
  EXPECT_EQ((std::vector<std::string>{"-x", "C:\\a b\\x.zip", "D:\\dest\\", "*.*"}),
            ZipSplitWords("-x \"C:\\a b\\x.zip\" \"D:\\dest\\\" *.*"));
  EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), ZipSplitWords("  a \"\"\r\n\tb\n"));
  ZipMember m;
  m.name = "-x/y\nz";
  EXPECT_EQ(".\\-x\\y?z", ZipListedName(m));
  m.name = "\x95\x5C/a";
  EXPECT_EQ("\x95\x5C\\a", ZipListedName(m));
  EXPECT_TRUE(ZipEndsWithSeparator("a/"));
  EXPECT_TRUE(ZipEndsWithSeparator("\x95\x5C\\"));
  EXPECT_FALSE(ZipEndsWithSeparator("\x95\x5C"));
}

TEST(Directory, ConsistencyChecks) {
  std::vector<TestMember> ms = {Member("a.txt", "aaaa"), Member("b.txt", "bbbb")};
  std::string zip = BuildZip(ms);
  ZipArchive arc;
  ASSERT_EQ(ZIP_OK, DirectoryOf(zip, arc));
  ASSERT_EQ(2u, arc.members.size());
  EXPECT_TRUE(arc.members[1].localOk);

  std::string log;
  std::string wrongCount = zip;
  wrongCount[wrongCount.size() - 22 + 10] = 3;
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf(wrongCount, arc, &log));
  EXPECT_NE(std::string::npos, log.find("counts 3 members"));

  std::string noLocal = zip;
  noLocal[0] = 'X';
  ASSERT_EQ(ZIP_OK, DirectoryOf(noLocal, arc));
  EXPECT_FALSE(arc.members[0].localOk);
  std::string out;
  EXPECT_EQ(ZIP_E_CORRUPT, Decode(noLocal, 0, out));

  // Cut short: starts like an archive, no end record.
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf("PK\x03\x04 just a local header", arc));
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf(zip.substr(0, zip.size() - 30), arc));
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf("PK\x03\x04", arc));
  EXPECT_EQ(ZIP_E_NOT_ZIP, DirectoryOf("", arc));
  EXPECT_EQ(ZIP_E_NOT_ZIP, DirectoryOf("plain text that is long enough to be looked at", arc));

  // 65,537 members with a count that wrapped at 16 bits, as old writers store it.
  std::vector<TestMember> many;
  for (int i = 0; i < 65537; i++) many.push_back(Member("m" + std::to_string(i), "", 0));
  std::string big = BuildZip(many);
  ASSERT_EQ(ZIP_OK, DirectoryOf(big, arc));
  EXPECT_EQ(65537u, arc.members.size());
  EXPECT_EQ("m65536", arc.members.back().name);
}

void SetLe32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) s[at + i] = char((v >> (8 * i)) & 0xFF);
}
uint32_t GetLe32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; i--) v = (v << 8) | (unsigned char)s[at + i];
  return v;
}

TEST(Directory, OverlappingMembersAndForeignLocalNamesRefused) {
  ZipArchive arc;
  std::string log;
  // Twenty directory records for one local record: the whole payload twenty times over.
  std::string bomb = BuildSharedRecordZip("bomb.bin", std::string(1 << 20, '\0'), 20);
  ASSERT_LT(bomb.size(), 10000u);
  EXPECT_EQ(ZIP_E_OVERLAP, DirectoryOf(bomb, arc, &log));
  EXPECT_NE(std::string::npos, log.find("overlap")) << log;
  EXPECT_EQ(ZIP_E_OVERLAP, DirectoryOf(BuildSharedRecordZip("x", "abc", 2), arc));
  ASSERT_EQ(ZIP_OK, DirectoryOf(BuildSharedRecordZip("x", "abc", 1), arc));

  std::vector<TestMember> ms = {Member("a.txt", std::string(5000, 'a')), Member("b.txt", "bbbb", 0)};
  std::string zip = BuildZip(ms);
  size_t cd0 = CentralStart(zip), cd1 = zip.find("PK\x01\x02", cd0 + 4);
  ASSERT_EQ(ZIP_OK, DirectoryOf(zip, arc));

  // The first member's data reaching one byte into the second's local header.
  std::string into = zip;
  SetLe32(into, cd0 + 20, GetLe32(into, cd0 + 20) + 1);
  EXPECT_EQ(ZIP_E_OVERLAP, DirectoryOf(into, arc));
  // The last member's data reaching into the central directory.
  std::string intoCd = zip;
  SetLe32(intoCd, cd1 + 20, 5);
  SetLe32(intoCd, cd1 + 24, 5);
  EXPECT_EQ(ZIP_E_OVERLAP, DirectoryOf(intoCd, arc));
  // Two records pointing at one local header: refused for the name, and with the name copied
  // for the overlap.
  std::string twice = zip;
  SetLe32(twice, cd1 + 42, 0);
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf(twice, arc));
  twice[cd1 + 46] = 'a';
  EXPECT_EQ(ZIP_E_OVERLAP, DirectoryOf(twice, arc));

  // A local header that names another file than the directory does.
  std::string renamed = zip;
  renamed[30] = 'z';
  log.clear();
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf(renamed, arc, &log));
  EXPECT_NE(std::string::npos, log.find("names another member")) << log;
  std::string longer = zip;
  longer[26] = 6;  // local name length 6, "a.txt" plus the first byte of the data
  EXPECT_EQ(ZIP_E_CORRUPT, DirectoryOf(longer, arc));
}

TEST(Directory, NtfsTimeReadFromTheExtraField) {
  const uint64_t t = 132647392891234567ull;  // 2021-05-06 07:08:09.1234567 UTC
  TestMember m = Member("n.txt", "ntfs", 0);
  m.extra = NtfsExtra(t);
  std::vector<TestMember> ms = {m, Member("plain.txt", "p", 0)};
  ZipArchive arc;
  ASSERT_EQ(ZIP_OK, DirectoryOf(BuildZip(ms), arc));
  EXPECT_EQ(t, arc.members[0].ntfsTime);
  EXPECT_EQ(0u, arc.members[1].ntfsTime);
}

TEST(Decode, SizesAndStreamsAreChecked) {
  std::string text(100000, 'q');
  std::vector<TestMember> ms = {Member("q.txt", text), Member("s.txt", "stored!", 0)};
  std::string zip = BuildZip(ms);
  std::string out;
  ASSERT_EQ(ZIP_OK, Decode(zip, 0, out));
  EXPECT_EQ(text, out);

  // The directory promises fewer bytes than the stream holds: stopped, not written on.
  std::string small = zip;
  size_t cd = CentralStart(small);
  small[cd + 24] = char(100);
  small[cd + 25] = small[cd + 26] = small[cd + 27] = 0;
  out.clear();
  EXPECT_EQ(ZIP_E_DATA, Decode(small, 0, out));
  EXPECT_LE(out.size(), 100u);

  // The compressed size cut short: the stream ends early.
  std::string cut = zip;
  cut[cd + 20] = char(3);
  cut[cd + 21] = cut[cd + 22] = cut[cd + 23] = 0;
  out.clear();
  EXPECT_EQ(ZIP_E_DATA, Decode(cut, 0, out));

  // A stored member whose two sizes disagree.
  std::string stored = zip;
  size_t cd2 = stored.find("PK\x01\x02", cd + 4);
  stored[cd2 + 24] = char(stored[cd2 + 24] + 1);
  out.clear();
  EXPECT_EQ(ZIP_E_DATA, Decode(stored, 1, out));
}

TEST(Corpus, SavedInputsReplayWithoutFaults) {
  std::string dir = ZIP_CORPUS_DIR;
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "*").c_str(), &fd);
  ASSERT_NE(INVALID_HANDLE_VALUE, h) << dir;
  int files = 0, valid = 0;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = fd.cFileName;
    HANDLE f = CreateFileA((dir + name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f) << name;
    std::string data(GetFileSize(f, nullptr), '\0');
    DWORD got = 0;
    if (!data.empty()) ReadFile(f, &data[0], DWORD(data.size()), &got, nullptr);
    CloseHandle(f);
    int r = ZipFuzzOne(reinterpret_cast<const uint8_t*>(data.data()), data.size());
    EXPECT_TRUE(r == ZIP_OK || (r >= ZIP_E_USAGE && r <= ZIP_E_OVERLAP)) << name << " gave " << r;
    // Seeds made by the peer tools are whole, valid archives.
    if (name.compare(0, 3, "ok_") == 0) {
      EXPECT_EQ(ZIP_OK, r) << name;
      valid++;
    }
    files++;
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  EXPECT_GE(files, 10);
  EXPECT_GE(valid, 5);
}
