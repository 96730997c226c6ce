// Writes the hand-made seeds of the fuzzing corpus: archives with the features the reader
// handles (ZIP64 fields, data descriptors, UTF-8 names, comments, stubs, NTFS times) and broken
// ones (cut short, overlapping members, local headers naming another file).
#include <cstdio>
#include <string>
#include <vector>

#include "zip_writer.h"

static void Save(const std::string& dir, const std::string& name, const std::string& bytes) {
  FILE* f = fopen((dir + "/" + name).c_str(), "wb");
  if (!f) return;
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

static TestMember M(const std::string& name, const std::string& data, uint16_t method = 8) {
  TestMember m;
  m.name = name;
  m.data = data;
  m.method = method;
  return m;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string dir = argv[1];
  std::string text;
  for (int i = 0; i < 200; i++) text += "line " + std::to_string(i) + " of some text\n";
  {
    std::vector<TestMember> ms = {M("desc.txt", text), M("z64.bin", "\x01\x02\x03", 0), M("z64d.txt", text)};
    ms[0].descriptor = true;
    ms[1].zip64 = true;
    ms[2].zip64 = true;
    ms[2].descriptor = true;
    Save(dir, "ok_descriptor_zip64.zip", BuildZip(ms));
  }
  {
    std::vector<TestMember> ms = {M("\xe6\x97\xa5\xe6\x9c\xac/\xe8\xaa\x9e.txt", "utf8"), M("dir/", "", 0)};
    ms[0].flags = 0x0800;
    TestArchiveOptions o;
    o.comment = "comment with PK\x05\x06 inside";
    o.stub = std::string(100, 'S');
    Save(dir, "ok_utf8_comment_stub.zip", BuildZip(ms, o));
  }
  {
    std::vector<TestMember> ms = {M("../evil.txt", "x", 0), M("C:\\abs.txt", "y", 0), M("-dash", "z", 0)};
    Save(dir, "ok_unsafe_names.zip", BuildZip(ms));
  }
  {
    std::vector<TestMember> ms = {M("crc.txt", text)};
    ms[0].badCrc = true;
    Save(dir, "bad_crc.zip", BuildZip(ms));
  }
  {
    std::vector<TestMember> ms = {M("enc.txt", "e", 0), M("bz.txt", "b", 12)};
    ms[0].flags = 1;
    Save(dir, "encrypted_and_bzip2.zip", BuildZip(ms));
  }
  {
    std::vector<TestMember> ms = {M("t.txt", text)};
    std::string z = BuildZip(ms);
    Save(dir, "truncated_half.zip", z.substr(0, z.size() / 2));
    Save(dir, "truncated_tail.zip", z.substr(z.size() / 2));
  }
  {
    std::vector<TestMember> ms = {M("./", "", 0), M("./\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e/a.txt", text),
                                  M("./\xe8\xa1\xa8\xe7\xa4\xba/", "", 0)};
    ms[1].extra = NtfsExtra(132647392891234567ull);
    Save(dir, "ok_utf8_unflagged_ntfs.zip", BuildZip(ms));
  }
  Save(dir, "overlap_shared_record.zip", BuildSharedRecordZip("bomb.bin", std::string(20000, '\0'), 20));
  {
    std::vector<TestMember> ms = {M("a.txt", "first"), M("b.txt", "second")};
    std::string z = BuildZip(ms);
    z[30] = 'q';
    Save(dir, "foreign_local_name.zip", z);
  }
  return 0;
}
