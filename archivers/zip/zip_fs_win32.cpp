// The file layer on Windows: ANSI entry points, names in the system code page.
#include "zip_fs.h"

#include <windows.h>

#include <cstring>
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
  // GetFileSize with its high word: Windows 95 and NT 4 have no GetFileSizeEx.
  DWORD high = 0;
  DWORD low = GetFileSize(h, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    CloseHandle(h);
    return nullptr;
  }
  *size = (uint64_t(high) << 32) | low;
  return new ZipFile{h, 0};
}

bool ZipFsReadAt(ZipFile* f, uint64_t offset, void* buf, size_t len) {
  if (offset != f->pos) {
    LONG high = LONG(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(f->h, LONG(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) return false;
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

unsigned ZipFsUniqueSeed() { return unsigned(GetTickCount() ^ (GetCurrentProcessId() << 16)); }

ZipFile* ZipFsCreateNumbered(const std::string& dir, unsigned number, std::string* path) {
  char name[32];
  wsprintfA(name, "~kz%u.tmp", number);
  std::string full = dir + name;
  HANDLE h = CreateFileA(full.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  *path = full;
  return new ZipFile{h, 0};
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
  if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    // Windows 95 has no MoveFileEx: the complete new file replaces the old one by delete and move.
    if (replace) {
      SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(to.c_str());
    }
    return MoveFileA(from.c_str(), to.c_str()) != 0;
  }
  DWORD attr = GetFileAttributesA(to.c_str());
  if (!replace || attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_READONLY)) return false;
  SetFileAttributesA(to.c_str(), attr & ~DWORD(FILE_ATTRIBUTE_READONLY));
  if (MoveFileExA(from.c_str(), to.c_str(), flags)) return true;
  SetFileAttributesA(to.c_str(), attr);
  return false;
}

}  // namespace

namespace {

bool StampTime(const ZipStamp& when, FILETIME& utc) {
  if (when.ntfs != 0) {
    utc.dwLowDateTime = DWORD(when.ntfs);
    utc.dwHighDateTime = DWORD(when.ntfs >> 32);
    return true;
  }
  FILETIME local;
  return when.dosDate != 0 && DosDateTimeToFileTime(when.dosDate, when.dosTime, &local) &&
         LocalFileTimeToFileTime(&local, &utc);
}

}  // namespace

bool ZipFsCommit(ZipFile* f, const std::string& temp, const std::string& target, bool replace, const ZipStamp& when) {
  FILETIME utc;
  if (StampTime(when, utc)) SetFileTime(f->h, nullptr, nullptr, &utc);
  bool renamed = RenameByHandle(f->h, target, replace);
  bool closed = CloseHandle(f->h) != 0;
  delete f;
  if (!closed) return false;
  return renamed || RenameByName(temp, target, replace);
}

void ZipFsStampDir(const std::string& path, const ZipStamp& when) {
  FILETIME utc;
  if (!StampTime(when, utc)) return;
  HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  SetFileTime(h, nullptr, nullptr, &utc);
  CloseHandle(h);
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

namespace {

// Characters that other systems map from the JIS tables differently from code page 932 (macOS
// writes U+301C for the wave dash): the code page 932 character of the same place.
const char* JisVariant(wchar_t c) {
  static const struct {
    wchar_t from;
    char to[3];
  } kTable[] = {{0x301C, "\x81\x60"}, {0x2016, "\x81\x61"}, {0x2212, "\x81\x7C"}, {0x00A2, "\x81\x91"},
                {0x00A3, "\x81\x92"}, {0x00AC, "\x81\xCA"}, {0x2014, "\x81\x5C"}};
  for (const auto& e : kTable)
    if (e.from == c) return e.to;
  return nullptr;
}

}  // namespace

bool ZipUtf8ToAnsi(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  if (utf8.empty()) return true;
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  if (n <= 0) return false;
  std::vector<wchar_t> wide(n);
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  // No best-fit mapping: it could turn look-alike characters into separators or dots. A pair
  // of surrogates shows as one '?'.
  BOOL usedDefault = FALSE;
  for (int i = 0; i < n; i++) {
    bool pair = wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < n && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
    char buf[8];
    BOOL missing = FALSE;
    int m = pair ? 0 : WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide[i], 1, buf, sizeof buf, "?", &missing);
    if (!pair && (m <= 0 || missing) && GetACP() == 932) {
      const char* jis = JisVariant(wide[i]);
      if (jis) {
        m = 2;
        missing = FALSE;
        memcpy(buf, jis, 2);
      }
    }
    if (m <= 0 || missing) {
      ansi += '?';
      usedDefault = TRUE;
    } else {
      ansi.append(buf, size_t(m));
    }
    if (pair) i++;
  }
  return !usedDefault;
}
