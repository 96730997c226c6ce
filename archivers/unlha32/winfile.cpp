#include "operations.h"

#include <cstdarg>
#include <cstddef>
#include <cstdio>

namespace {

bool ReadAt(void *ctx, uint64_t offset, void *buf, size_t n)
{
    WinFile *f = (WinFile *)ctx;
    if (offset != f->pos && !f->Seek(offset)) return false;
    uint8_t *p = (uint8_t *)buf;
    while (n > 0) {
        DWORD want = n > (1u << 30) ? (1u << 30) : (DWORD)n, got = 0;
        if (!ReadFile(f->h, p, want, &got, NULL) || got == 0) {
            f->failed = true;
            return false;
        }
        p += got;
        n -= got;
        f->pos += got;
    }
    return true;
}

bool WriteAll(void *ctx, const void *buf, size_t n)
{
    WinFile *f = (WinFile *)ctx;
    const uint8_t *p = (const uint8_t *)buf;
    while (n > 0) {
        DWORD want = n > (1u << 30) ? (1u << 30) : (DWORD)n, put = 0;
        if (!WriteFile(f->h, p, want, &put, NULL) || put == 0) {
            f->failed = true;
            return false;
        }
        p += put;
        n -= put;
        f->pos += put;
        if (f->pos > f->size) f->size = f->pos;
    }
    return true;
}

long long PullSome(void *ctx, void *buf, size_t n)
{
    WinFile *f = (WinFile *)ctx;
    DWORD want = n > (1u << 30) ? (1u << 30) : (DWORD)n, got = 0;
    if (!ReadFile(f->h, buf, want, &got, NULL)) {
        f->failed = true;
        return -1;
    }
    f->pos += got;
    return got;
}

void Append(std::string *text, const char *fmt, va_list ap)
{
    char buf[1200];
    vsnprintf(buf, sizeof buf, fmt, ap);
    *text += buf;
    *text += "\r\n";
}

const uint64_t kEpoch = 116444736000000000ULL;  // 1970-01-01 in FILETIME units

// Names of temporary files and directories: long names without '~', which no lookup takes
// for a short-name alias, and a counter that is unique within the process.
std::string UniqueName(const char *ext)
{
    static LONG counter = 0;
    char name[64];
    wsprintfA(name, "lh%08lx_%08lx%s", GetCurrentProcessId(), (unsigned long)InterlockedIncrement(&counter), ext);
    return name;
}

bool NameTaken(DWORD err) { return err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS; }

// The rename of an open file by its handle (Windows Vista and later): no second lookup of
// the target name as MoveFile makes it; FILE_RENAME_INFO as the system lays it out.
struct RenameInfo {
    DWORD replace;
    HANDLE root;
    DWORD length;
    WCHAR name[MAX_PATH * 2];
};
const int kFileRenameInfo = 3;
typedef BOOL(WINAPI *SetFileInformationByHandleFn)(HANDLE, int, LPVOID, DWORD);

SetFileInformationByHandleFn HandleRename()
{
    static SetFileInformationByHandleFn fn = (SetFileInformationByHandleFn)(void *)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle");
    return fn;
}

}  // namespace

void Log::Line(const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    Append(&text, fmt, ap);
    va_end(ap);
}

void Log::Fail(int code, const char *fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    Append(&text, fmt, ap);
    va_end(ap);
    if (result == 0) result = code;
}

int ErrorForStatus(lha::Status s)
{
    switch (s) {
    case lha::kOk:
    case lha::kEnd: return 0;
    case lha::kBadHeader: return kErrBrokenHeader;
    case lha::kTruncated:
    case lha::kBadData: return kErrBrokenData;
    case lha::kCrcMismatch: return kErrCrc;
    case lha::kUnsupportedMethod: return kErrMethod;
    case lha::kReadFailed: return kErrRead;
    case lha::kWriteFailed: return kErrWrite;
    }
    return kErrBrokenData;
}

bool WinFile::OpenRead(const std::string &path)
{
    Close();
    h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0, low = GetFileSize(h, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        Close();
        return false;
    }
    size = ((uint64_t)high << 32) | low;
    pos = 0;
    failed = false;
    return true;
}

bool WinFile::Create(const std::string &path)
{
    Close();
    h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    size = pos = 0;
    failed = false;
    return h != INVALID_HANDLE_VALUE;
}

bool WinFile::CreateUnique(const std::string &dir)
{
    Close();
    std::string base = WithSeparator(dir);
    for (int attempt = 0; attempt < 100; attempt++) {
        path = base + UniqueName(".tmp");
        h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (h != INVALID_HANDLE_VALUE) break;
        if (!NameTaken(GetLastError())) break;
    }
    size = pos = 0;
    failed = false;
    if (h == INVALID_HANDLE_VALUE) path.clear();
    return h != INVALID_HANDLE_VALUE;
}

bool WinFile::RenameTo(const std::string &target, bool replace)
{
    SetFileInformationByHandleFn rename = HandleRename();
    if (rename && h != INVALID_HANDLE_VALUE) {
        RenameInfo info = {};
        // The full path through the ANSI call: Windows 95 has no GetFullPathNameW to import.
        char full[MAX_PATH * 2];
        DWORD fullLength = GetFullPathNameA(target.c_str(), sizeof full, full, NULL);
        int n = fullLength > 0 && fullLength < sizeof full
                    ? MultiByteToWideChar(CP_ACP, 0, full, -1, info.name, MAX_PATH * 2)
                    : 0;
        DWORD len = n > 0 ? (DWORD)(n - 1) : 0;
        if (len > 0 && len < MAX_PATH * 2) {
            info.replace = replace;
            info.length = len * sizeof(WCHAR);
            if (rename(h, kFileRenameInfo, &info, (DWORD)(offsetof(RenameInfo, name) + info.length + sizeof(WCHAR)))) {
                path = target;
                return true;
            }
            DWORD err = GetLastError();
            if (err != ERROR_INVALID_PARAMETER && err != ERROR_NOT_SUPPORTED && err != ERROR_CALL_NOT_IMPLEMENTED)
                return false;
        }
    }
    // Older systems rename by name once the file is closed.
    Close();
    if (!PutInPlace(path, target, replace)) return false;
    path = target;
    return true;
}

void WinFile::Discard()
{
    Close();
    if (!path.empty()) DeleteFileA(path.c_str());
    path.clear();
}

void WinFile::Close()
{
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    h = INVALID_HANDLE_VALUE;
}

bool WinFile::Seek(uint64_t offset)
{
    LONG high = (LONG)(offset >> 32);
    SetLastError(NO_ERROR);
    if (SetFilePointer(h, (LONG)(DWORD)offset, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR) {
        failed = true;
        return false;
    }
    pos = offset;
    return true;
}

lha::Input WinFile::AsInput() { return lha::Input{this, size, ReadAt}; }
lha::Output WinFile::AsOutput() { return lha::Output{this, WriteAll}; }
lha::Source WinFile::AsSource() { return lha::Source{this, PullSome}; }

bool IsDirectory(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool MakeDirectories(const std::string &base, const std::string &rel)
{
    std::string path = base;
    for (size_t k = 0; k <= rel.size(); k++) {
        bool end = k == rel.size();
        if (!end && lha::IsSjisLead((uint8_t)rel[k]) && k + 1 < rel.size()) {
            k++;
            continue;
        }
        if (!end && rel[k] != '\\') continue;
        std::string dir = base + rel.substr(0, k);
        if (dir.empty() || EndsWithSeparator(dir)) continue;
        if (!CreateDirectoryA(dir.c_str(), NULL) && !IsDirectory(dir)) return false;
    }
    return rel.empty() ? (base.empty() || IsDirectory(base)) : IsDirectory(base + rel);
}

bool MakePath(const std::string &path)
{
    std::string p = path;
    while (EndsWithSeparator(p) && p.size() > 3) p.pop_back();
    if (p.empty() || IsDirectory(p)) return true;
    std::string parent = DirectoryPart(p);
    if (!parent.empty() && parent != p && !MakePath(parent)) return false;
    return CreateDirectoryA(p.c_str(), NULL) || IsDirectory(p);
}

std::string MakeTempDirectory(const std::string &dir)
{
    std::string base = WithSeparator(dir);
    for (int attempt = 0; attempt < 100; attempt++) {
        std::string path = base + UniqueName(".tmp");
        if (CreateDirectoryA(path.c_str(), NULL)) return path;
        if (!NameTaken(GetLastError())) break;
    }
    return std::string();
}

bool SetDirectoryTime(const std::string &path, const FILETIME &ft)
{
    HANDLE d = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (d == INVALID_HANDLE_VALUE) return false;
    BOOL ok = SetFileTime(d, NULL, NULL, &ft);
    CloseHandle(d);
    return ok != 0;
}

bool WinFile::Truncate(uint64_t offset)
{
    if (!Seek(offset) || !SetEndOfFile(h)) return false;
    size = offset;
    return true;
}

bool PutInPlace(const std::string &tmp, const std::string &target, bool replace)
{
    if (!replace) return MoveFileA(tmp.c_str(), target.c_str()) != 0;
    if (MoveFileExA(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    // Windows 95 cannot replace in one step: the old file steps aside until the new one is in place.
    std::string aside = TempFileIn(DirectoryPart(target));
    if (aside.empty()) return false;
    DeleteFileA(aside.c_str());
    if (!MoveFileA(target.c_str(), aside.c_str())) return false;
    if (!MoveFileA(tmp.c_str(), target.c_str())) {
        MoveFileA(aside.c_str(), target.c_str());
        return false;
    }
    DeleteFileA(aside.c_str());
    return true;
}

std::string FullPath(const std::string &path)
{
    char buf[MAX_PATH * 2];
    char *file = NULL;
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, &file);
    return n > 0 && n < sizeof buf ? std::string(buf, n) : path;
}

std::string TempFileIn(const std::string &dir)
{
    char buf[MAX_PATH + 16];
    std::string d = dir.empty() ? "." : dir;
    if (!GetTempFileNameA(d.c_str(), "lh", 0, buf)) return std::string();
    return buf;
}

FILETIME UnixToFileTime(uint32_t t)
{
    uint64_t v = (uint64_t)t * 10000000ULL + kEpoch;
    FILETIME ft;
    ft.dwLowDateTime = (DWORD)v;
    ft.dwHighDateTime = (DWORD)(v >> 32);
    return ft;
}

uint32_t FileTimeToUnix(const FILETIME &ft)
{
    uint64_t v = ((uint64_t)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
    if (v < kEpoch) return 0;
    v = (v - kEpoch) / 10000000ULL;
    return v > 0xFFFFFFFFULL ? 0xFFFFFFFFu : (uint32_t)v;
}

FILETIME MemberFileTime(const lha::Member &m)
{
    if (m.has_unix_time) return UnixToFileTime(m.unix_time);
    FILETIME local, utc;
    if (!DosDateTimeToFileTime((WORD)(m.dos_time >> 16), (WORD)m.dos_time, &local) ||
        !LocalFileTimeToFileTime(&local, &utc))
        return UnixToFileTime(315532800);  // 1980-01-01, the earliest MS-DOS date
    return utc;
}

void MemberDosTime(const lha::Member &m, WORD *date, WORD *time)
{
    if (!m.has_unix_time) {
        *date = (WORD)(m.dos_time >> 16);
        *time = (WORD)m.dos_time;
        return;
    }
    FILETIME utc = UnixToFileTime(m.unix_time), local;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToDosDateTime(&local, date, time)) *date = *time = 0;
}

lha::Status ListArchiveMembers(WinFile &f, std::vector<lha::Member> *members)
{
    lha::Status s = lha::ListMembers(f.AsInput(), members);
    for (lha::Member &m : *members) {
        if (m.wide_name.empty()) continue;
        const wchar_t *w = (const wchar_t *)m.wide_name.c_str();
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, (int)m.wide_name.size(), NULL, 0, NULL, NULL);
        if (n <= 0) continue;
        std::string name((size_t)n, '\0');
        BOOL lossy = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, (int)m.wide_name.size(), &name[0], n, NULL, &lossy);
        if (!lossy) m.name = name;
    }
    return s;
}

std::u16string WideName(const std::string &name)
{
    bool ascii = true;
    for (char c : name) ascii = ascii && (uint8_t)c < 0x80;
    if (ascii || name.empty()) return std::u16string();
    int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), (int)name.size(), NULL, 0);
    if (n <= 0) return std::u16string();
    std::u16string w((size_t)n, u'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name.data(), (int)name.size(), (wchar_t *)&w[0], n);
    return w;
}
