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
  ASSERT_TRUE(ZipSafeComponents("..a/b..", parts, why) == false);  // "b.." ends in a dot
  const char* refused[] = {"", "/", "../x", "a/../../x", "/etc/passwd", "\\x", "C:\\x", "C:x", "a:b",
                           "nul", "NUL.txt", "com1.log", "lpt9", "a/CON/b", "x\x01y", "q?.txt", "a*",
                           "dir./x", "x ", "...", ".", "a/.."};
  for (const char* n : refused) EXPECT_FALSE(ZipSafeComponents(n, parts, why)) << "accepted: " << n;
  EXPECT_FALSE(ZipSafeComponents("../x", parts, why));
  EXPECT_EQ("parent directory reference", why);
}

TEST(Names, WildcardsCaseAndDoubleByteCharacters) {
  EXPECT_TRUE(ZipWildMatch("*.TXT", "dir\\a.txt"));
  EXPECT_TRUE(ZipWildMatch("dir/a.txt", "DIR\\A.TXT"));
  EXPECT_TRUE(ZipWildMatch("a?c", "abc"));
  EXPECT_FALSE(ZipWildMatch("a?c", "ac"));
  EXPECT_TRUE(ZipWildMatch("*", ""));
  EXPECT_FALSE(ZipWildMatch("*.zip", "a.txt"));
  // A question mark stands for one whole double-byte character; its 0x5C trail byte is no separator.
  EXPECT_TRUE(ZipWildMatch("?.txt", "\x95\x5C.txt"));
  EXPECT_FALSE(ZipWildMatch("?\\*", "\x95\x5C.txt"));
  EXPECT_FALSE(ZipWildMatch("\x95\x5C", "\x95\x5D"));
  // Case folding touches ASCII only: 0x82 0x60 and 0x82 0x81 are full-width A and a.
  EXPECT_FALSE(ZipWildMatch("\x82\x60", "\x82\x81"));
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

  EXPECT_EQ(ZIP_E_NOT_ZIP, DirectoryOf("PK\x03\x04 just a local header", arc));
  EXPECT_EQ(ZIP_E_NOT_ZIP, DirectoryOf("", arc));

  // 65,537 members with a count that wrapped at 16 bits, as old writers store it.
  std::vector<TestMember> many;
  for (int i = 0; i < 65537; i++) many.push_back(Member("m" + std::to_string(i), "", 0));
  std::string big = BuildZip(many);
  ASSERT_EQ(ZIP_OK, DirectoryOf(big, arc));
  EXPECT_EQ(65537u, arc.members.size());
  EXPECT_EQ("m65536", arc.members.back().name);
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
    EXPECT_TRUE(r == ZIP_OK || (r >= ZIP_E_USAGE && r <= ZIP_E_MEMORY)) << name << " gave " << r;
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
