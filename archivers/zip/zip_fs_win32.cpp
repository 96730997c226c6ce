// The file layer on Windows: ANSI entry points, names in the system code page.
#include "zip_fs.h"

#include <windows.h>

#include <vector>

struct ZipFile {
  HANDLE h;
  uint64_t pos;
};

const char kZipPathSep = '\\';

ZipFile* ZipFsOpenRead(const std::string& path, uint64_t* size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER li;
  if (!GetFileSizeEx(h, &li)) {
    CloseHandle(h);
    return nullptr;
  }
  *size = uint64_t(li.QuadPart);
  return new ZipFile{h, 0};
}

bool ZipFsReadAt(ZipFile* f, uint64_t offset, void* buf, size_t len) {
  if (offset != f->pos) {
    LARGE_INTEGER li;
    li.QuadPart = LONGLONG(offset);
    if (!SetFilePointerEx(f->h, li, nullptr, FILE_BEGIN)) return false;
    f->pos = offset;
  }
  char* p = static_cast<char*>(buf);
  while (len > 0) {
    DWORD want = len > 0x40000000 ? 0x40000000 : DWORD(len), got = 0;
    if (!ReadFile(f->h, p, want, &got, nullptr) || got == 0) return false;
    p += got;
    len -= got;
    f->pos += got;
  }
  return true;
}

ZipFile* ZipFsCreateTemp(const std::string& dir, std::string* path) {
  DWORD seed = GetTickCount() ^ (GetCurrentProcessId() << 16);
  for (DWORD i = 0; i < 1000; i++) {
    char name[32];
    wsprintfA(name, "~kz%06lX.tmp", (seed + i * 7919) & 0xFFFFFF);
    std::string full = dir + name;
    HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *path = full;
      return new ZipFile{h, 0};
    }
    if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) return nullptr;
  }
  return nullptr;
}

bool ZipFsWrite(ZipFile* f, const void* data, size_t len) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    DWORD want = len > 0x40000000 ? 0x40000000 : DWORD(len), put = 0;
    if (!WriteFile(f->h, p, want, &put, nullptr) || put == 0) return false;
    p += put;
    len -= put;
  }
  return true;
}

void ZipFsClose(ZipFile* f) {
  if (!f) return;
  CloseHandle(f->h);
  delete f;
}

namespace {

// FILE_RENAME_INFO of newer systems, declared here because the build targets older headers.
struct RenameInfo {
  BOOLEAN replaceIfExists;
  HANDLE rootDirectory;
  DWORD fileNameLength;
  WCHAR fileName[1];
};
typedef BOOL(WINAPI* SetInfoByHandleFn)(HANDLE, int, LPVOID, DWORD);
const int kFileRenameInfo = 3;

// Renaming through the open handle saves reopening the file, the dearest step per member.
bool RenameByHandle(HANDLE h, const std::string& target, bool replace) {
  static SetInfoByHandleFn setInfo = reinterpret_cast<SetInfoByHandleFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));
  if (!setInfo) return false;
  char full[MAX_PATH * 2];
  DWORD len = GetFullPathNameA(target.c_str(), sizeof full, full, nullptr);
  if (len == 0 || len >= sizeof full) return false;
  int n = MultiByteToWideChar(CP_ACP, 0, full, int(len), nullptr, 0);
  if (n <= 0) return false;
  std::vector<char> buf(sizeof(RenameInfo) + size_t(n) * sizeof(WCHAR));
  RenameInfo* info = reinterpret_cast<RenameInfo*>(buf.data());
  info->replaceIfExists = replace ? TRUE : FALSE;
  info->rootDirectory = nullptr;
  info->fileNameLength = DWORD(n) * sizeof(WCHAR);
  MultiByteToWideChar(CP_ACP, 0, full, int(len), info->fileName, n);
  return setInfo(h, kFileRenameInfo, info, DWORD(buf.size())) != 0;
}

bool RenameByName(const std::string& from, const std::string& to, bool replace) {
  DWORD flags = MOVEFILE_COPY_ALLOWED | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExA(from.c_str(), to.c_str(), flags)) return true;
  DWORD attr = GetFileAttributesA(to.c_str());
  if (!replace || attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_READONLY)) return false;
  SetFileAttributesA(to.c_str(), attr & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (MoveFileExA(from.c_str(), to.c_str(), flags)) return true;
  SetFileAttributesA(to.c_str(), attr);
  return false;
}

}  // namespace

bool ZipFsCommit(ZipFile* f, const std::string& temp, const std::string& target, bool replace, uint16_t dosDate,
                 uint16_t dosTime) {
  if (dosDate != 0) {
    FILETIME local, utc;
    if (DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &utc))
      SetFileTime(f->h, nullptr, nullptr, &utc);
  }
  bool renamed = RenameByHandle(f->h, target, replace);
  bool closed = CloseHandle(f->h) != 0;
  delete f;
  if (!closed) return false;
  return renamed || RenameByName(temp, target, replace);
}

bool ZipFsRemove(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

int ZipFsKind(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  if (a == INVALID_FILE_ATTRIBUTES) return 0;
  return (a & FILE_ATTRIBUTE_DIRECTORY) ? 2 : 1;
}

bool ZipFsMakeDir(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

bool ZipFsRemoveDir(const std::string& path) { return RemoveDirectoryA(path.c_str()) != 0; }

void ZipFsSetDosAttributes(const std::string& path, uint32_t dosAttr) {
  SetFileAttributesA(path.c_str(), dosAttr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

bool ZipFsReadWhole(const std::string& path, std::string& text, size_t maxBytes) {
  uint64_t size = 0;
  ZipFile* f = ZipFsOpenRead(path, &size);
  if (!f) return false;
  bool ok = size <= maxBytes;
  if (ok) {
    text.resize(size_t(size));
    ok = size == 0 || ZipFsReadAt(f, 0, &text[0], text.size());
  }
  ZipFsClose(f);
  return ok;
}

bool ZipUtf8ToSjis(const std::string& utf8, std::string& sjis) {
  sjis.clear();
  if (utf8.empty()) return true;
  bool exact = true;
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), int(utf8.size()), nullptr, 0);
  DWORD flags = MB_ERR_INVALID_CHARS;
  if (n <= 0) {
    exact = false;
    flags = 0;
    n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    if (n <= 0) return false;
  }
  std::vector<wchar_t> wide(n);
  MultiByteToWideChar(CP_UTF8, flags, utf8.data(), int(utf8.size()), wide.data(), n);
  // A character outside the basic plane has no Shift-JIS form: one '_' for the pair.
  std::vector<wchar_t> single;
  for (int i = 0; i < n; i++) {
    bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < n && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
    single.push_back(pair ? wchar_t(0xFFFD) : wide[i]);
    if (pair) i++;
  }
  wide.swap(single);
  n = int(wide.size());
  // Best-fit mapping could turn look-alike characters into separators or dots.
  BOOL usedDefault = FALSE;
  int m = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), n, nullptr, 0, "_", &usedDefault);
  if (m <= 0) return false;
  sjis.resize(m);
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(), n, &sjis[0], m, "_", &usedDefault);
  return exact && !usedDefault;
}
