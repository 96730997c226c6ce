// The thin file layer of the ZIP reader: one implementation for Windows, one for POSIX hosts.
#pragma once
#include <cstdint>
#include <string>

struct ZipFile;

extern const char kZipPathSep;

ZipFile* ZipFsOpenRead(const std::string& path, uint64_t* size);
bool ZipFsReadAt(ZipFile* f, uint64_t offset, void* buf, size_t len);
// Creates a new, empty file with a fresh name in dir (which ends in a separator).
ZipFile* ZipFsCreateTemp(const std::string& dir, std::string* path);
bool ZipFsWrite(ZipFile* f, const void* data, size_t len);
// Stamps the new file made by ZipFsCreateTemp with an MS-DOS local date and time (when dosDate
// is not 0), gives it the name target and closes it. An existing target is replaced only when
// replace is true. On false the file is closed and still has its temporary name.
bool ZipFsCommit(ZipFile* f, const std::string& temp, const std::string& target, bool replace, uint16_t dosDate,
                 uint16_t dosTime);
void ZipFsClose(ZipFile* f);
bool ZipFsRemove(const std::string& path);
int ZipFsKind(const std::string& path);  // 0 nothing, 1 file, 2 directory
bool ZipFsMakeDir(const std::string& path);
bool ZipFsRemoveDir(const std::string& path);  // an empty directory
// Applies the MS-DOS attribute bits read-only, hidden, system.
void ZipFsSetDosAttributes(const std::string& path, uint32_t dosAttr);
bool ZipFsReadWhole(const std::string& path, std::string& text, size_t maxBytes);
// UTF-8 to Shift-JIS; characters without a Shift-JIS form become '_' and the result is false.
bool ZipUtf8ToSjis(const std::string& utf8, std::string& sjis);
