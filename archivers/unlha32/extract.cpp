// Extraction ("X" keeps the stored directories, "E" drops them) and the text listing ("L").
#include "operations.h"

#include <vector>

namespace {

std::string ForwardToBack(std::string s)
{
    for (char &c : s)
        if (c == '/') c = '\\';  // '/' is never the second byte of a double-byte character
    return s;
}

// A name selects a member by wildcard; a directory name (or any name with recursion asked
// for) also selects everything below it.
bool Selected(const UnlhaCommand &cmd, const std::string &member)
{
    if (cmd.names.empty()) return true;
    std::string up_member = UpperAscii(member);
    for (const std::string &given : cmd.names) {
        std::string pat = ForwardToBack(given);
        bool dir_pat = EndsWithSeparator(pat);
        if (dir_pat) pat.pop_back();
        if (pat.empty()) return true;
        if (lha::WildMatch(pat.c_str(), member.c_str())) return true;
        std::string up_pat = UpperAscii(pat);
        if ((dir_pat || cmd.recurse) && up_member.size() > up_pat.size() &&
            up_member.compare(0, up_pat.size(), up_pat) == 0 && IsSeparatorAt(member, up_pat.size()))
            return true;
    }
    return false;
}

bool SameContent(const std::string &path, const lha::Member &m)
{
    WinFile f;
    if (!f.OpenRead(path) || f.size != m.original_size) return false;
    std::vector<uint8_t> buf(1 << 16);
    lha::Source src = f.AsSource();
    uint16_t crc = 0;
    for (;;) {
        long long n = src.pull(src.ctx, buf.data(), buf.size());
        if (n < 0) return false;
        if (n == 0) break;
        crc = lha::Crc16(crc, buf.data(), (size_t)n);
    }
    return crc == m.crc;
}

void ExtractOne(const UnlhaCommand &cmd, const lha::Input &in, const lha::Member &m, const std::string &dest, Log *log)
{
    const char *name = m.name.c_str();
    std::string reason = lha::UnsafeNameReason(m.name);
    if (!reason.empty()) {
        log->Fail(kErrUnsafeName, "Refused %s: %s", name, reason.c_str());
        return;
    }
    std::string rel = cmd.mode == 'E' ? NamePart(m.name) : m.name;
    if (m.is_dir) {
        if (cmd.mode == 'E') return;
        if (!MakeDirectories(dest, rel)) log->Fail(kErrMakeDir, "Cannot make directory %s", name);
        else log->Line("Directory %s", name);
        return;
    }
    if (m.method_id == lha::kMethodUnknown) {
        log->Fail(kErrMethod, "Skipped %s: method %s is not supported", name, m.method);
        return;
    }
    std::string dir_rel = DirectoryPart(rel);
    if (!dir_rel.empty() && !MakeDirectories(dest, dir_rel.substr(0, dir_rel.size() - 1))) {
        log->Fail(kErrMakeDir, "Cannot make the directory of %s", name);
        return;
    }
    std::string target = dest + rel;
    DWORD attrs = GetFileAttributesA(target.c_str());
    bool replace = attrs != INVALID_FILE_ATTRIBUTES;
    if (replace) {
        if (attrs & FILE_ATTRIBUTE_DIRECTORY) {
            log->Fail(kErrExists, "Skipped %s: a directory of that name exists", name);
            return;
        }
        if (!cmd.replace_existing) {
            if (SameContent(target, m)) log->Line("Unchanged %s", name);
            else log->Fail(kErrExists, "Kept the existing %s", name);
            return;
        }
    }
    // Written under a temporary name and renamed only once the CRC has matched, so that a
    // damaged member never leaves a file that looks complete.
    std::string tmp = TempFileIn(dest + dir_rel);
    if (tmp.empty()) {
        log->Fail(kErrTempFile, "Cannot make a temporary file for %s", name);
        return;
    }
    WinFile out;
    if (!out.Create(tmp)) {
        DeleteFileA(tmp.c_str());
        log->Fail(kErrFileOpen, "Cannot write %s", name);
        return;
    }
    lha::Status s = lha::ExtractMember(in, m, out.AsOutput());
    if (s == lha::kOk) {
        FILETIME ft = MemberFileTime(m);
        SetFileTime(out.h, NULL, NULL, &ft);
    }
    out.Close();
    if (s != lha::kOk) {
        DeleteFileA(tmp.c_str());
        log->Fail(ErrorForStatus(s), "Failed %s: %s", name, lha::StatusText(s));
        return;
    }
    if (replace && (attrs & FILE_ATTRIBUTE_READONLY)) SetFileAttributesA(target.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!PutInPlace(tmp, target, replace)) {
        DeleteFileA(tmp.c_str());
        log->Fail(kErrWrite, "Cannot create %s", name);
        return;
    }
    if (cmd.attributes) {
        DWORD a = m.attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA(target.c_str(), a ? a : FILE_ATTRIBUTE_NORMAL);
    }
    log->Line("Extracted %s", name);
}

// Lists what can be read; a damage after some members is logged and becomes the result.
bool OpenMembers(const std::string &archive, WinFile *file, std::vector<lha::Member> *members, Log *log)
{
    if (!file->OpenRead(archive)) {
        log->Fail(kErrNoArchive, "Cannot open the archive %s", archive.c_str());
        return false;
    }
    lha::Status s = ListArchiveMembers(*file, members);
    if (s == lha::kOk) return true;
    if (members->empty()) {
        log->Fail(s == lha::kBadHeader ? kErrNotArchive : ErrorForStatus(s), "%s is not a readable LZH archive (%s)",
                  archive.c_str(), lha::StatusText(s));
        return false;
    }
    log->Fail(ErrorForStatus(s), "The archive is damaged after %u members (%s)", (unsigned)members->size(),
              lha::StatusText(s));
    return true;
}

}  // namespace

int RunExtract(const UnlhaCommand &cmd, Log *log)
{
    WinFile arc;
    std::vector<lha::Member> members;
    if (!OpenMembers(cmd.archive, &arc, &members, log)) return log->result;
    std::string dest = WithSeparator(ForwardToBack(cmd.base));
    if (!dest.empty() && !MakePath(dest)) {
        log->Fail(kErrMakeDir, "Cannot make the destination %s", dest.c_str());
        return log->result;
    }
    lha::Input in = arc.AsInput();
    int matched = 0;
    for (const lha::Member &m : members) {
        if (!Selected(cmd, m.name)) continue;
        matched++;
        ExtractOne(cmd, in, m, dest, log);
    }
    if (matched == 0) log->Fail(kErrNoMatch, "No member matches");
    return log->result;
}

int RunList(const UnlhaCommand &cmd, Log *log)
{
    WinFile arc;
    std::vector<lha::Member> members;
    if (!OpenMembers(cmd.archive, &arc, &members, log)) return log->result;
    for (const lha::Member &m : members) {
        if (!Selected(cmd, m.name)) continue;
        WORD date, time;
        MemberDosTime(m, &date, &time);
        log->Line("%10llu %10llu %s %04X %04d-%02d-%02d %02d:%02d:%02d %s%s", (unsigned long long)m.original_size,
                  (unsigned long long)m.packed_size, m.method, m.crc, (date >> 9) + 1980, (date >> 5) & 15, date & 31,
                  time >> 11, (time >> 5) & 63, (time & 31) * 2, m.name.c_str(), m.is_dir ? "\\" : "");
    }
    return log->result;
}
