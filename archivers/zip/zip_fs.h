// The thin file layer of the ZIP reader: one implementation for Windows, one for POSIX hosts.
#pragma once
#include <cstdint>
#include <string>

struct ZipFile;

extern const char kZipPathSep;

ZipFile* ZipFsOpenRead(const std::string& path, uint64_t* size);
bool ZipFsReadAt(ZipFile* f, uint64_t offset, void* buf, size_t len);
// A number that differs between runs and processes, for names of private directories.
unsigned ZipFsUniqueSeed();
bool ZipFsWrite(ZipFile* f, const void* data, size_t len);
// A member's time: the exact NTFS time when known, else the MS-DOS local date and time
// (none when both are 0).
struct ZipStamp {
  uint64_t ntfs;
  uint16_t dosDate, dosTime;
};
// Creates a new file under a name no other file in dir can have: dir is a private directory
// made fresh by this run, and each call takes the next number.
ZipFile* ZipFsCreateNumbered(const std::string& dir, unsigned number, std::string* path);
// Stamps the new file with its time, gives it the name target and closes it. An existing
// target is replaced only when replace is true. On false the file is closed and still has its
// temporary name.
bool ZipFsCommit(ZipFile* f, const std::string& temp, const std::string& target, bool replace, const ZipStamp& when);
// Sets the modification time of an existing directory.
void ZipFsStampDir(const std::string& path, const ZipStamp& when);
void ZipFsClose(ZipFile* f);
bool ZipFsRemove(const std::string& path);
int ZipFsKind(const std::string& path);  // 0 nothing, 1 file, 2 directory
bool ZipFsMakeDir(const std::string& path);
bool ZipFsRemoveDir(const std::string& path);  // an empty directory
// Applies the MS-DOS attribute bits read-only, hidden, system.
void ZipFsSetDosAttributes(const std::string& path, uint32_t dosAttr);
bool ZipFsReadWhole(const std::string& path, std::string& text, size_t maxBytes);
// Well-formed UTF-8 to the ANSI code page; characters without a form there become '?' and
// the result is false.
bool ZipUtf8ToAnsi(const std::string& utf8, std::string& ansi);
