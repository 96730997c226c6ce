// The entries of UNLHA32.DLL: version and state, the "Unlha" command entry, archive checks,
// and the member enumeration that fills the 558-byte member record.
#include "operations.h"

#include <cstddef>
#include <cstring>
#include <new>
#include <set>
#include <vector>

typedef HGLOBAL HARC;

#pragma pack(push, 1)
struct MemberRecord {
    DWORD original_size;
    DWORD compressed_size;
    DWORD crc;
    UINT flag;
    UINT os_type;
    WORD ratio;  // tenths of a percent
    WORD date;   // MS-DOS date and time, local
    WORD time;
    char name[513];
    char reserved[3];
    char attribute[8];
    char method[8];
};
#pragma pack(pop)

static_assert(sizeof(MemberRecord) == 558, "member record size");
static_assert(offsetof(MemberRecord, ratio) == 20 && offsetof(MemberRecord, date) == 22 &&
                  offsetof(MemberRecord, time) == 24 && offsetof(MemberRecord, name) == 26 &&
                  offsetof(MemberRecord, attribute) == 542 && offsetof(MemberRecord, method) == 550,
              "member record layout");

namespace {

const WORD kVersion = 100;

LONG running = 0;

struct OpenArchiveState {
    std::vector<lha::Member> members;
    size_t next = 0;
    std::string wildcard;
    int damage = 0;  // error code of the damage after the last member, 0 when there is none
};

// Handles given out and not yet closed: a stale or foreign handle is refused, not followed.
std::set<OpenArchiveState *> open_archives;

OpenArchiveState *FromHandle(HARC h)
{
    OpenArchiveState *a = (OpenArchiveState *)h;
    return open_archives.count(a) ? a : nullptr;
}

std::string DisplayName(const lha::Member &m) { return m.is_dir ? m.name + "\\" : m.name; }

void CopyTruncated(char *dst, size_t cap, const std::string &src)
{
    size_t n = 0;
    while (n < src.size()) {
        size_t step = lha::IsSjisLead((uint8_t)src[n]) && n + 1 < src.size() ? 2 : 1;
        if (n + step > cap - 1) break;
        n += step;
    }
    memcpy(dst, src.data(), n);
    dst[n] = 0;
}

void FillRecord(const lha::Member &m, MemberRecord *r)
{
    memset(r, 0, sizeof *r);
    r->original_size = m.original_size > 0xFFFFFFFFULL ? 0xFFFFFFFFu : (DWORD)m.original_size;
    r->compressed_size = m.packed_size > 0xFFFFFFFFULL ? 0xFFFFFFFFu : (DWORD)m.packed_size;
    r->crc = m.crc;
    r->os_type = m.os_id;
    uint64_t ratio = m.original_size ? m.packed_size * 1000 / m.original_size : 0;
    r->ratio = (WORD)(ratio > 0xFFFF ? 0xFFFF : ratio);
    MemberDosTime(m, &r->date, &r->time);
    CopyTruncated(r->name, sizeof r->name, DisplayName(m));
    // The listing reads characters 1, 2 and 3 as system, hidden and read-only.
    r->attribute[0] = m.is_dir ? 'D' : (m.attr & FILE_ATTRIBUTE_ARCHIVE) ? 'A' : '-';
    r->attribute[1] = (m.attr & FILE_ATTRIBUTE_SYSTEM) ? 'S' : '-';
    r->attribute[2] = (m.attr & FILE_ATTRIBUTE_HIDDEN) ? 'H' : '-';
    r->attribute[3] = (m.attr & FILE_ATTRIBUTE_READONLY) ? 'R' : '-';
    memcpy(r->method, m.method, 5);
}

bool ReadResponseFile(const std::string &path, std::string *text)
{
    WinFile f;
    if (!f.OpenRead(path) || f.size > (64u << 20)) return false;
    text->resize((size_t)f.size);
    return f.size == 0 || f.AsInput().read(&f, 0, &(*text)[0], text->size());
}

int Dispatch(const char *line, Log *log)
{
    UnlhaCommand cmd;
    std::string err = ParseUnlhaCommand(line, ReadResponseFile, &cmd);
    if (!err.empty()) {
        log->Fail(kErrCommand, "%s", err.c_str());
        return log->result;
    }
    for (const std::string &sw : cmd.ignored) log->Line("Switch %s ignored", sw.c_str());
    switch (cmd.mode) {
    case 'X':
    case 'E': return RunExtract(cmd, log);
    case 'A':
    case 'U':
    case 'M': return RunPack(cmd, log);
    default: return RunList(cmd, log);
    }
}

// The members that can be read whole. A damaged archive still gives the members before the
// damage, and *damage its error code; false when not even one member can be read.
bool ListArchive(LPCSTR path, std::vector<lha::Member> *members, WinFile *f, int *damage)
{
    if (!path || !f->OpenRead(path)) return false;
    lha::Status s = ListArchiveMembers(*f, members);
    *damage = ErrorForStatus(s);
    return !members->empty();
}

}  // namespace

extern "C" {

__declspec(dllexport) WORD WINAPI UnlhaGetVersion(void) { return kVersion; }

__declspec(dllexport) BOOL WINAPI UnlhaGetRunning(void) { return running != 0; }

// The library shows no window while it works, so there is nothing for the mode to change.
__declspec(dllexport) BOOL WINAPI UnlhaSetBackGroundMode(const BOOL) { return TRUE; }

__declspec(dllexport) int WINAPI Unlha(const HWND, LPCSTR cmdline, LPSTR output, const DWORD size)
{
    if (InterlockedExchange(&running, 1)) return kErrRunning;
    Log log;
    int rc;
    try {
        rc = cmdline ? Dispatch(cmdline, &log) : kErrCommand;
    } catch (const std::bad_alloc &) {
        log.Fail(kErrMemory, "Out of memory");
        rc = kErrMemory;
    }
    if (output && size > 0) CopyTruncated(output, size, log.text);
    InterlockedExchange(&running, 0);
    return rc;
}

__declspec(dllexport) BOOL WINAPI UnlhaCheckArchive(LPCSTR path, const int mode)
{
    try {
        WinFile f;
        std::vector<lha::Member> members;
        int damage = 0;
        if (!ListArchive(path, &members, &f, &damage)) return FALSE;
        // Mode 0, the quick check, asks whether the file is an archive with members to show;
        // any other mode wants every header whole, and bit 2 every member decoded as well.
        if (mode == 0) return TRUE;
        if (damage) return FALSE;
        if (mode & 2) {
            for (const lha::Member &m : members) {
                uint64_t n = 0;
                lha::Output sink{&n, [](void *ctx, const void *, size_t k) { *(uint64_t *)ctx += k; return true; }};
                if (lha::ExtractMember(f.AsInput(), m, sink) != lha::kOk) return FALSE;
            }
        }
        return TRUE;
    } catch (const std::bad_alloc &) {
        return FALSE;
    }
}

__declspec(dllexport) int WINAPI UnlhaGetFileCount(LPCSTR path)
{
    try {
        WinFile f;
        std::vector<lha::Member> members;
        int damage = 0;
        return ListArchive(path, &members, &f, &damage) ? (int)members.size() : -1;
    } catch (const std::bad_alloc &) {
        return -1;
    }
}

__declspec(dllexport) BOOL WINAPI UnlhaConfigDialog(const HWND owner, LPSTR, const int)
{
    char text[200];
    wsprintfA(text, "UNLHA32.DLL  Ver %d.%02d\n\n-lh0- -lh1- -lh5- -lh6- -lh7- -lhd- -lzs- -lz4- -lz5-\nヘッダレベル 0, 1, 2, 3",
              kVersion / 100, kVersion % 100);
    return MessageBoxA(owner, text, "UNLHA32.DLL", MB_OK | MB_ICONINFORMATION) != 0;
}

__declspec(dllexport) HARC WINAPI UnlhaOpenArchive(const HWND, LPCSTR path, const DWORD)
{
    try {
        WinFile f;
        OpenArchiveState *a = new OpenArchiveState;
        if (!ListArchive(path, &a->members, &f, &a->damage)) {
            delete a;
            return NULL;
        }
        open_archives.insert(a);
        return (HARC)a;
    } catch (const std::bad_alloc &) {
        return NULL;
    }
}

__declspec(dllexport) int WINAPI UnlhaCloseArchive(HARC h)
{
    OpenArchiveState *a = FromHandle(h);
    if (!a) return kErrHandle;
    open_archives.erase(a);
    delete a;
    return 0;
}

__declspec(dllexport) int WINAPI UnlhaFindNext(HARC h, MemberRecord *record)
{
    OpenArchiveState *a = FromHandle(h);
    if (!a) return kErrHandle;
    while (a->next < a->members.size()) {
        const lha::Member &m = a->members[a->next++];
        if (!lha::WildMatch(a->wildcard.c_str(), DisplayName(m).c_str()) && !lha::WildMatch(a->wildcard.c_str(), m.name.c_str()))
            continue;
        if (record) FillRecord(m, record);
        return 0;
    }
    // After the last member that could be read, a damaged archive says what went wrong.
    return a->damage ? a->damage : -1;
}

__declspec(dllexport) int WINAPI UnlhaFindFirst(HARC h, LPCSTR wildcard, MemberRecord *record)
{
    OpenArchiveState *a = FromHandle(h);
    if (!a) return kErrHandle;
    a->wildcard = wildcard && *wildcard ? wildcard : "*.*";
    a->next = 0;
    return UnlhaFindNext(h, record);
}

}  // extern "C"
