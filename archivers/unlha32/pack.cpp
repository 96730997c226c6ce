// Packing: "A" adds or replaces, "U" takes only files newer than their member, "M" moves.
// The new archive is written beside the old one under a temporary name, read back and
// checked, and only then put in its place; moved files are deleted after that.
#include "operations.h"

#include <cstring>
#include <map>
#include <set>
#include <vector>

namespace {

struct Item {
    std::string source;  // path of the file or directory to read
    std::string name;    // member name
    bool is_dir = false;
    uint64_t size = 0;
    FILETIME mtime{};
    DWORD attrs = 0;
    bool written = false;
    uint16_t crc = 0;
};

struct Collector {
    const UnlhaCommand &cmd;
    Log *log;
    std::string base;
    std::string archive_full;
    std::vector<Item> items;
    std::set<std::string> seen;
};

bool HasWildcard(const std::string &s) { return s.find_first_of("*?") != std::string::npos; }

// The name as the archive will hold it, so that reading it back gives the same text.
std::string CleanName(const std::string &s) { return lha::NormalizeName(s); }

void AddItem(Collector &c, const std::string &rel, const WIN32_FIND_DATAA &fd)
{
    bool is_dir = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string name = CleanName(c.cmd.paths ? rel : NamePart(CleanName(rel)));
    if (is_dir && !c.cmd.paths) return;
    std::string source = c.base + CleanName(rel);
    if (UpperAscii(FullPath(source)) == c.archive_full) return;
    std::string reason = lha::UnsafeNameReason(name);
    if (!reason.empty()) {
        c.log->Fail(kErrUnsafeName, "Refused %s: %s", name.c_str(), reason.c_str());
        return;
    }
    if (!c.seen.insert(UpperAscii(name)).second) return;
    Item it;
    it.source = source;
    it.name = name;
    it.is_dir = is_dir;
    it.size = ((uint64_t)fd.nFileSizeHigh << 32) | fd.nFileSizeLow;
    it.mtime = fd.ftLastWriteTime;
    it.attrs = fd.dwFileAttributes;
    c.items.push_back(it);
}

bool FindOne(const std::string &path, WIN32_FIND_DATAA *fd)
{
    HANDLE h = FindFirstFileA(path.c_str(), fd);
    if (h == INVALID_HANDLE_VALUE) return false;
    FindClose(h);
    return true;
}

bool IsDots(const char *n) { return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)); }

// Files of dir_rel matching pattern, and with recursion everything in its subdirectories.
int Walk(Collector &c, const std::string &dir_rel, const std::string &pattern)
{
    int found = 0;
    WIN32_FIND_DATAA fd;
    std::string search = c.base + dir_rel + "*";
    HANDLE h = FindFirstFileA(search.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    std::vector<std::string> subdirs;
    do {
        if (IsDots(fd.cFileName)) continue;
        std::string rel = dir_rel + fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (c.cmd.recurse == 0) continue;
            if (c.cmd.recurse >= 2) AddItem(c, rel, fd);
            subdirs.push_back(rel + "\\");
            found++;
        } else if (lha::WildMatch(pattern.c_str(), fd.cFileName)) {
            AddItem(c, rel, fd);
            found++;
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    for (const std::string &d : subdirs) found += Walk(c, d, pattern);
    return found;
}

void Collect(Collector &c)
{
    for (const std::string &given : c.cmd.names) {
        std::string rel = given;
        for (char &ch : rel)
            if (ch == '/') ch = '\\';
        WIN32_FIND_DATAA fd;
        if (HasWildcard(NamePart(rel))) {
            std::string dir_rel = DirectoryPart(rel);
            if (!dir_rel.empty() && c.cmd.recurse >= 2 && FindOne(c.base + CleanName(dir_rel), &fd) &&
                (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                AddItem(c, dir_rel, fd);
            if (Walk(c, dir_rel, NamePart(rel)) == 0 && !IsDirectory(c.base + CleanName(dir_rel)))
                c.log->Fail(kErrNoMatch, "No files match %s", given.c_str());
        } else if (FindOne(c.base + CleanName(rel), &fd)) {
            AddItem(c, rel, fd);
            if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && c.cmd.recurse) Walk(c, WithSeparator(CleanName(rel)), "*.*");
        } else {
            c.log->Fail(kErrNoMatch, "Not found: %s", given.c_str());
        }
    }
}

bool CountOnly(void *ctx, const void *, size_t n)
{
    *(uint64_t *)ctx += n;
    return true;
}

bool WriteBytes(WinFile &out, const std::vector<uint8_t> &b) { return out.AsOutput().write(&out, b.data(), b.size()); }

// Writes one new member at the end of out; the header is written first with a guessed
// method and rewritten in place once sizes and CRC are known (its length does not change).
bool WriteItem(const UnlhaCommand &cmd, WinFile &out, Item &it, Log *log)
{
    lha::Member m;
    m.name = it.name;
    m.wide_name = WideName(it.name);
    m.is_dir = it.is_dir;
    m.unix_time = FileTimeToUnix(it.mtime);
    m.attr = (uint8_t)(cmd.attributes ? it.attrs & 0x27 : 0x20);
    memcpy(m.method, it.is_dir ? "-lhd-" : "-lh5-", 6);
    uint64_t header_at = out.pos;
    std::vector<uint8_t> header = lha::BuildLevel2Header(m);
    if (!WriteBytes(out, header)) return false;
    if (it.is_dir) {
        it.written = true;
        log->Line("Directory %s", it.name.c_str());
        return true;
    }
    WinFile src;
    if (!src.OpenRead(it.source)) {
        log->Fail(kErrFileOpen, "Cannot read %s", it.source.c_str());
        return out.Truncate(header_at);
    }
    if (src.size >= 0xFFFFFFFFULL) {
        log->Fail(kErrTooLarge, "Skipped %s: 4 GB or larger", it.source.c_str());
        return out.Truncate(header_at);
    }
    uint64_t data_at = out.pos;
    lha::EncodeResult res;
    lha::Status s = src.size == 0 ? lha::kOk : lha::EncodeLh5(src.AsSource(), out.AsOutput(), src.size - 1, &res);
    if (s == lha::kOk && res.packed_size >= res.original_size) {
        // Compression did not help: store the data as it is.
        memcpy(m.method, "-lh0-", 6);
        if (!out.Truncate(data_at) || !src.Seek(0)) return false;
        s = lha::StoreRaw(src.AsSource(), out.AsOutput(), &res);
    }
    if (s == lha::kWriteFailed) return false;
    if (s != lha::kOk || res.original_size >= 0xFFFFFFFFULL) {
        log->Fail(kErrRead, "Cannot read %s", it.source.c_str());
        return out.Truncate(header_at);
    }
    uint64_t end = out.pos;
    m.packed_size = end - data_at;
    m.original_size = res.original_size;
    m.crc = res.crc;
    std::vector<uint8_t> final_header = lha::BuildLevel2Header(m);
    if (final_header.size() != header.size() || !out.Seek(header_at) || !WriteBytes(out, final_header) || !out.Seek(end))
        return false;
    it.written = true;
    it.crc = res.crc;
    unsigned ratio = m.original_size ? (unsigned)(m.packed_size * 100 / m.original_size) : 100;
    log->Line("Frozen %s (%s, %u%%)", it.name.c_str(), m.method, ratio);
    return true;
}

bool CopyRange(WinFile &from, uint64_t offset, uint64_t n, WinFile &to)
{
    std::vector<uint8_t> buf(1 << 16);
    lha::Input in = from.AsInput();
    lha::Output out = to.AsOutput();
    while (n > 0) {
        size_t k = n < buf.size() ? (size_t)n : buf.size();
        if (!in.read(in.ctx, offset, buf.data(), k) || !out.write(out.ctx, buf.data(), k)) return false;
        offset += k;
        n -= k;
    }
    return true;
}

struct Slot {
    int old_index = -1;
    int item = -1;
};

// Reads the written archive back: every header, and every new member decoded against its CRC.
bool Verify(const std::string &path, const std::vector<Slot> &slots, const std::vector<Item> &items, Log *log)
{
    WinFile f;
    std::vector<lha::Member> got;
    if (!f.OpenRead(path) || lha::ListMembers(f.AsInput(), &got) != lha::kOk || got.size() != slots.size()) {
        log->Fail(kErrWrite, "The new archive does not read back correctly");
        return false;
    }
    for (size_t i = 0; i < slots.size(); i++) {
        if (slots[i].item < 0) continue;
        const Item &it = items[slots[i].item];
        uint64_t n = 0;
        lha::Status s = lha::ExtractMember(f.AsInput(), got[i], lha::Output{&n, CountOnly});
        if (got[i].name != it.name || s != lha::kOk || (!it.is_dir && got[i].crc != it.crc)) {
            log->Fail(kErrWrite, "%s does not read back correctly", it.name.c_str());
            return false;
        }
    }
    return true;
}

bool Unchanged(const Item &it)
{
    WIN32_FIND_DATAA d;
    if (!FindOne(it.source, &d)) return false;
    uint64_t size = ((uint64_t)d.nFileSizeHigh << 32) | d.nFileSizeLow;
    return size == it.size && CompareFileTime(&d.ftLastWriteTime, &it.mtime) == 0;
}

void RemoveMoved(const std::vector<Item> &items, Log *log)
{
    for (const Item &it : items) {
        if (!it.written || it.is_dir) continue;
        if (!Unchanged(it)) log->Fail(kErrRemove, "Kept %s: it changed while it was packed", it.source.c_str());
        else if (!DeleteFileA(it.source.c_str())) log->Fail(kErrRemove, "Cannot delete %s", it.source.c_str());
    }
    // Deepest first; a directory that still holds something stays.
    for (size_t i = items.size(); i-- > 0;)
        if (items[i].written && items[i].is_dir) RemoveDirectoryA(items[i].source.c_str());
}

}  // namespace

int RunPack(const UnlhaCommand &cmd, Log *log)
{
    std::string archive = cmd.archive;
    Collector c{cmd, log, WithSeparator(cmd.base), UpperAscii(FullPath(archive)), {}, {}};
    if (cmd.names.empty()) {
        log->Fail(kErrNoMatch, "No files named");
        return log->result;
    }
    Collect(c);

    WinFile old;
    std::vector<lha::Member> members;
    if (Exists(archive)) {
        if (IsDirectory(archive) || !old.OpenRead(archive)) {
            log->Fail(kErrFileOpen, "Cannot open %s", archive.c_str());
            return log->result;
        }
        lha::Status s = ListArchiveMembers(old, &members);
        if (s != lha::kOk) {
            log->Fail(members.empty() ? kErrNotArchive : ErrorForStatus(s), "%s is not a sound LZH archive; left untouched",
                      archive.c_str());
            return log->result;
        }
    }

    std::vector<Slot> slots;
    std::map<std::string, size_t> by_name;
    for (size_t i = 0; i < members.size(); i++) {
        slots.push_back(Slot{(int)i, -1});
        by_name[UpperAscii(members[i].name)] = i;
    }
    int changes = 0;
    for (size_t i = 0; i < c.items.size(); i++) {
        const Item &it = c.items[i];
        auto found = by_name.find(UpperAscii(it.name));
        if (found == by_name.end()) {
            slots.push_back(Slot{-1, (int)i});
            changes++;
            continue;
        }
        const lha::Member &m = members[found->second];
        if (cmd.mode == 'U') {
            // MS-DOS stamps have two-second steps.
            uint32_t member_time = FileTimeToUnix(MemberFileTime(m)), file_time = FileTimeToUnix(it.mtime);
            if (file_time <= member_time + (m.has_unix_time ? 0 : 1) || it.is_dir) continue;
        }
        slots[found->second].item = (int)i;
        changes++;
    }
    if (changes == 0) {
        log->Line("Nothing to add");
        return log->result;
    }

    std::string dir = DirectoryPart(FullPath(archive));
    std::string tmp = TempFileIn(dir);
    WinFile out;
    if (tmp.empty() || !out.Create(tmp)) {
        if (!tmp.empty()) DeleteFileA(tmp.c_str());
        log->Fail(kErrTempFile, "Cannot make a temporary file in %s", dir.c_str());
        return log->result;
    }
    bool ok = true;
    std::vector<Slot> written;
    for (Slot s : slots) {
        if (s.item >= 0) {
            ok = WriteItem(cmd, out, c.items[s.item], log);
            // A file that could not be read leaves its old member, if any, in place.
            if (ok && !c.items[s.item].written) s.item = -1;
        }
        if (ok && s.item < 0 && s.old_index >= 0) {
            const lha::Member &m = members[s.old_index];
            ok = CopyRange(old, m.header_offset, m.data_offset + m.packed_size - m.header_offset, out);
        }
        if (!ok) break;
        if (s.item >= 0 || s.old_index >= 0) written.push_back(s);
    }
    ok = ok && WriteBytes(out, std::vector<uint8_t>(1, 0)) && FlushFileBuffers(out.h);
    out.Close();
    old.Close();
    if (!ok) {
        DeleteFileA(tmp.c_str());
        log->Fail(kErrWrite, "Cannot write the archive (disk full?)");
        return log->result;
    }
    if (!Verify(tmp, written, c.items, log)) {
        DeleteFileA(tmp.c_str());
        return log->result;
    }
    if (!PutInPlace(tmp, archive, Exists(archive))) {
        DeleteFileA(tmp.c_str());
        log->Fail(kErrWrite, "Cannot replace %s", archive.c_str());
        return log->result;
    }
    if (cmd.mode == 'M') RemoveMoved(c.items, log);
    return log->result;
}
