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

// One extraction: where members go, the directory that holds their temporary files, and
// the directories whose time stamps are set once everything below them is written.
struct ExtractRun {
    const UnlhaCommand &cmd;
    lha::Input in;
    std::string dest;
    Log *log;
    std::string temp_dir;       // private directory for temporary files, made on first use
    bool temp_tried = false;
    std::string last_made;      // the directory made last, which the next member likely shares
    struct Stamp { std::string path; FILETIME time; };
    std::vector<Stamp> dir_times;
};

enum PlaceResult { kPlaced, kNotPlaced, kOtherVolume };

// Moves the written member to its name. Whether the name is taken is learnt from the rename
// itself: looking up a name that does not exist yet costs a search of the whole directory.
PlaceResult PlaceMember(ExtractRun &run, WinFile &out, const lha::Member &m, const std::string &target)
{
    const char *name = m.name.c_str();
    bool replace = run.cmd.replace_existing;
    if (out.RenameTo(target, replace)) return kPlaced;
    DWORD err = GetLastError();
    if (err == ERROR_NOT_SAME_DEVICE) return kOtherVolume;
    DWORD attrs = GetFileAttributesA(target.c_str());
    if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        run.log->Fail(kErrExists, "Skipped %s: a directory of that name exists", name);
    } else if (attrs != INVALID_FILE_ATTRIBUTES && !replace) {
        out.Close();
        if (SameContent(target, m)) run.log->Line("Unchanged %s", name);
        else run.log->Fail(kErrExists, "Kept the existing %s", name);
    } else if (attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_READONLY) &&
               SetFileAttributesA(target.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY)) {
        if (out.RenameTo(target, true)) return kPlaced;
        SetFileAttributesA(target.c_str(), attrs);
        run.log->Fail(kErrWrite, "Cannot replace %s", name);
    } else {
        run.log->Fail(kErrWrite, "Cannot create %s", name);
    }
    out.Discard();
    return kNotPlaced;
}

bool MakeMemberDirectory(ExtractRun &run, const std::string &rel)
{
    if (rel.empty() || rel == run.last_made) return true;
    if (!MakeDirectories(run.dest, rel)) return false;
    run.last_made = rel;
    return true;
}

// Written under a temporary name and renamed only once the CRC has matched, so that a
// damaged member never leaves a file that looks complete.
void WriteMember(ExtractRun &run, const lha::Member &m, const std::string &target, const std::string &temp_dir)
{
    const char *name = m.name.c_str();
    WinFile out;
    if (!out.CreateUnique(temp_dir)) {
        run.log->Fail(kErrTempFile, "Cannot make a temporary file for %s", name);
        return;
    }
    lha::Status s = lha::ExtractMember(run.in, m, out.AsOutput());
    if (s != lha::kOk) {
        out.Discard();
        run.log->Fail(ErrorForStatus(s), "Failed %s: %s", name, lha::StatusText(s));
        return;
    }
    FILETIME ft = MemberFileTime(m);
    SetFileTime(out.h, NULL, NULL, &ft);
    PlaceResult placed = PlaceMember(run, out, m, target);
    if (placed == kOtherVolume) {
        // The target directory lies on another volume (a mounted folder): write beside it.
        out.Discard();
        if (temp_dir != DirectoryPart(target)) WriteMember(run, m, target, DirectoryPart(target));
        else run.log->Fail(kErrWrite, "Cannot create %s", name);
        return;
    }
    if (placed != kPlaced) return;
    out.Close();
    if (run.cmd.attributes) {
        DWORD a = m.attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA(target.c_str(), a ? a : FILE_ATTRIBUTE_NORMAL);
    }
    run.log->Line("Extracted %s", name);
}

void ExtractOne(ExtractRun &run, const lha::Member &m)
{
    const char *name = m.name.c_str();
    std::string reason = lha::UnsafeNameReason(m.name);
    if (!reason.empty()) {
        run.log->Fail(kErrUnsafeName, "Refused %s: %s", name, reason.c_str());
        return;
    }
    std::string rel = run.cmd.mode == 'E' ? NamePart(m.name) : m.name;
    if (m.is_dir) {
        if (run.cmd.mode == 'E') return;
        if (!MakeMemberDirectory(run, rel)) {
            run.log->Fail(kErrMakeDir, "Cannot make directory %s", name);
            return;
        }
        run.dir_times.push_back({run.dest + rel, MemberFileTime(m)});
        run.log->Line("Directory %s", name);
        return;
    }
    if (m.method_id == lha::kMethodUnknown) {
        run.log->Fail(kErrMethod, "Skipped %s: method %s is not supported", name, m.method);
        return;
    }
    std::string dir_rel = DirectoryPart(rel);
    if (!dir_rel.empty() && !MakeMemberDirectory(run, dir_rel.substr(0, dir_rel.size() - 1))) {
        run.log->Fail(kErrMakeDir, "Cannot make the directory of %s", name);
        return;
    }
    if (!run.temp_tried) {
        run.temp_tried = true;
        run.temp_dir = MakeTempDirectory(run.dest);
    }
    WriteMember(run, m, run.dest + rel, run.temp_dir.empty() ? run.dest + dir_rel : run.temp_dir);
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
    ExtractRun run{cmd, arc.AsInput(), dest, log, std::string(), false, std::string(), {}};
    int matched = 0;
    for (const lha::Member &m : members) {
        if (!Selected(cmd, m.name)) continue;
        matched++;
        ExtractOne(run, m);
    }
    if (!run.temp_dir.empty()) RemoveDirectoryA(run.temp_dir.c_str());
    // Writing files into a directory changes its time, so directories get theirs last.
    for (const ExtractRun::Stamp &d : run.dir_times) SetDirectoryTime(d.path, d.time);
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
