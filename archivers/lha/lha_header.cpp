// Member headers of every level, names and their safety, and the level-2 writer.
#include "lha.h"

#include <cstring>

namespace lha {

namespace {

uint16_t crc_table[256];
bool crc_ready = false;

void MakeCrcTable()
{
    for (unsigned i = 0; i < 256; i++) {
        unsigned c = i;
        for (int k = 0; k < 8; k++) c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        crc_table[i] = (uint16_t)c;
    }
    crc_ready = true;
}

uint16_t Get16(const uint8_t *p) { return (uint16_t)(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t *p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24); }
uint64_t Get64(const uint8_t *p) { return Get32(p) | ((uint64_t)Get32(p + 4) << 32); }

void Put16(std::vector<uint8_t> &v, unsigned x) { v.push_back((uint8_t)x); v.push_back((uint8_t)(x >> 8)); }
void Put32(std::vector<uint8_t> &v, uint32_t x) { Put16(v, x & 0xFFFF); Put16(v, x >> 16); }

// Extended headers larger than this are not believable and would only let a forged size
// allocate memory.
const uint64_t kMaxHeader = 1 << 20;
const int kMaxExtHeaders = 4096;

struct NameParts {
    std::string dir;
    std::string file;
    bool have_file_ext = false;
    std::u16string wide_dir;
    std::u16string wide_file;
};

std::u16string Utf16(const uint8_t *d, size_t n)
{
    std::u16string s;
    for (size_t i = 0; i + 1 < n; i += 2) s += (char16_t)(d[i] | (d[i + 1] << 8));
    return s;
}

void PutUtf16(std::string &out, const std::u16string &s)
{
    for (char16_t c : s) {
        out += (char)(c & 0xFF);
        out += (char)(c >> 8);
    }
}

bool MethodIs(const char *m, const char *s) { return memcmp(m, s, 5) == 0; }

MethodId ClassifyMethod(const char *m)
{
    if (MethodIs(m, "-lh0-") || MethodIs(m, "-lz4-")) return kMethodStored;
    if (MethodIs(m, "-lhd-")) return kMethodDir;
    if (MethodIs(m, "-lh5-")) return kMethodLh5;
    if (MethodIs(m, "-lh6-")) return kMethodLh6;
    if (MethodIs(m, "-lh7-")) return kMethodLh7;
    if (MethodIs(m, "-lh1-")) return kMethodLh1;
    if (MethodIs(m, "-lzs-")) return kMethodLzs;
    if (MethodIs(m, "-lz5-")) return kMethodLz5;
    return kMethodUnknown;
}

bool LooksLikeMethod(const uint8_t *p)
{
    return p[0] == '-' && p[4] == '-' && p[1] == 'l' && p[2] >= '0' && p[2] <= 'z' && p[3] >= '0' && p[3] <= 'z';
}

void ApplyExt(uint8_t type, const uint8_t *d, size_t n, Member *m, NameParts *np)
{
    switch (type) {
    case 0x01:
        np->file.assign((const char *)d, n);
        np->have_file_ext = true;
        break;
    case 0x02:
        np->dir.assign((const char *)d, n);
        break;
    case 0x44:
        np->wide_file = Utf16(d, n);
        break;
    case 0x45:
        np->wide_dir = Utf16(d, n);
        break;
    case 0x40:
        if (n >= 1) m->attr = d[0];
        break;
    case 0x41:
        if (n >= 16) {
            uint64_t ft = Get64(d + 8);
            const uint64_t epoch = 116444736000000000ULL;
            if (ft >= epoch && (ft - epoch) / 10000000ULL <= 0xFFFFFFFFULL) {
                m->has_unix_time = true;
                m->unix_time = (uint32_t)((ft - epoch) / 10000000ULL);
            }
        }
        break;
    case 0x42:
        if (n >= 16) {
            m->packed_size = Get64(d);
            m->original_size = Get64(d + 8);
        }
        break;
    case 0x54:
        if (n >= 4) {
            m->has_unix_time = true;
            m->unix_time = Get32(d);
        }
        break;
    default:
        break;
    }
}


// Path parts as Windows stores them: empty and "." parts dropped (a leading separator too, so
// that a rooted name lands inside the destination), trailing dots and blanks cut as Windows
// cuts them. A part of nothing but dots and blanks stays whole, for the name check to refuse.
template <typename String> struct PartJoiner {
    String out, part;
    size_t keep = 0;  // length of part up to its last character that is not a dot or a blank
    void Add(typename String::value_type c, bool whole_char)
    {
        part += c;
        if (!whole_char || (c != '.' && c != ' ')) keep = part.size();
    }
    void Flush()
    {
        if (keep > 0) part.resize(keep);
        if (!part.empty() && !(part.size() == 1 && part[0] == '.')) {
            if (!out.empty()) out += (typename String::value_type)'\\';
            out += part;
        }
        part.clear();
        keep = 0;
    }
};

// The same rules for a UTF-16 name, where 0xFFFF also separates directories.
std::u16string NormalizeWide(const std::u16string &raw)
{
    PartJoiner<std::u16string> j;
    for (char16_t c : raw) {
        if (c == u'/' || c == u'\\' || c == 0xFFFF) j.Flush();
        else j.Add(c, true);
    }
    j.Flush();
    return j.out;
}

// Amiga and MorphOS archivers store a file comment after a NUL in the name field: the name
// is what comes before it. A name that is empty before the NUL stays as it is, to be refused.
template <typename String> void CutComment(String *name)
{
    size_t nul = name->find((typename String::value_type)0);
    if (nul != String::npos && nul > 0) name->resize(nul);
}

}  // namespace

const char *StatusText(Status s)
{
    switch (s) {
    case kOk: return "ok";
    case kEnd: return "end of archive";
    case kBadHeader: return "broken header";
    case kTruncated: return "archive is truncated";
    case kBadData: return "compressed data is broken";
    case kCrcMismatch: return "CRC error";
    case kUnsupportedMethod: return "unsupported method";
    case kReadFailed: return "read error";
    case kWriteFailed: return "write error";
    }
    return "error";
}

uint16_t Crc16(uint16_t crc, const void *data, size_t n)
{
    if (!crc_ready) MakeCrcTable();
    const uint8_t *p = (const uint8_t *)data;
    while (n--) crc = (uint16_t)(crc_table[(crc ^ *p++) & 0xFF] ^ (crc >> 8));
    return crc;
}

bool IsSjisLead(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::string NormalizeName(const std::string &raw)
{
    PartJoiner<std::string> j;
    for (size_t i = 0; i < raw.size(); i++) {
        uint8_t c = (uint8_t)raw[i];
        if (IsSjisLead(c) && i + 1 < raw.size()) {
            j.Add(raw[i], false);
            j.Add(raw[++i], false);
        } else if (c == '/' || c == '\\' || c == 0xFF) {
            j.Flush();
        } else {
            j.Add((char)c, true);
        }
    }
    j.Flush();
    return j.out;
}

Status ReadHeader(const Input &in, uint64_t off, Member *m, uint64_t *next)
{
    *m = Member();
    if (off >= in.size) return kEnd;
    uint8_t b[32];
    if (!in.read(in.ctx, off, b, 1)) return kReadFailed;
    if (b[0] == 0) return kEnd;
    if (in.size - off < 22) return kTruncated;
    if (!in.read(in.ctx, off, b, 22)) return kReadFailed;
    if (!LooksLikeMethod(b + 2)) return kBadHeader;

    memcpy(m->method, b + 2, 5);
    m->method[5] = 0;
    m->method_id = ClassifyMethod(m->method);
    m->is_dir = m->method_id == kMethodDir;
    m->level = b[20];
    m->header_offset = off;
    m->packed_size = Get32(b + 7);
    m->original_size = Get32(b + 11);
    NameParts np;
    std::vector<uint8_t> h;

    if (m->level == 0 || m->level == 1) {
        size_t hs = (size_t)b[0] + 2;
        if (hs < 22 || in.size - off < hs) return hs < 22 ? kBadHeader : kTruncated;
        h.resize(hs);
        if (!in.read(in.ctx, off, h.data(), hs)) return kReadFailed;
        uint8_t sum = 0;
        for (size_t i = 2; i < hs; i++) sum = (uint8_t)(sum + h[i]);
        if (sum != h[1]) return kBadHeader;
        size_t n = h[21];
        if (22 + n > hs) return kBadHeader;
        np.file.assign((const char *)&h[22], n);
        m->dos_time = Get32(&h[15]);
        if (m->level == 0) {
            m->attr = h[19];
            if (hs >= 24 + n) {
                m->crc = Get16(&h[22 + n]);
                m->has_crc = true;
            }
            m->data_offset = off + hs;
        } else {
            if (hs < 27 + n) return kBadHeader;
            m->crc = Get16(&h[22 + n]);
            m->has_crc = true;
            m->os_id = h[24 + n];
            uint64_t total_packed = m->packed_size, ext_total = 0;
            uint64_t pos = off + hs;
            size_t size = Get16(&h[hs - 2]);
            std::vector<uint8_t> e;
            for (int count = 0; size != 0; count++) {
                if (size < 3 || count > kMaxExtHeaders) return kBadHeader;
                ext_total += size;
                if (ext_total > total_packed) return kBadHeader;
                if (pos + size > in.size) return kTruncated;
                e.resize(size);
                if (!in.read(in.ctx, pos, e.data(), size)) return kReadFailed;
                ApplyExt(e[0], &e[1], size - 3, m, &np);
                pos += size;
                size = Get16(&e[size - 2]);
            }
            // A 64-bit size extension replaces the field, which then no longer counts the extensions.
            if (m->packed_size == total_packed) m->packed_size = total_packed - ext_total;
            m->data_offset = pos;
            hs = (size_t)(pos - off);
        }
        m->header_size = hs;
    } else if (m->level == 2 || m->level == 3) {
        size_t base, sizelen;
        uint64_t hs;
        if (m->level == 2) {
            hs = Get16(b);
            base = 26;
            sizelen = 2;
        } else {
            if (Get16(b) != 4) return kBadHeader;
            if (in.size - off < 32) return kTruncated;
            if (!in.read(in.ctx, off, b, 32)) return kReadFailed;
            hs = Get32(b + 24);
            base = 32;
            sizelen = 4;
        }
        if (hs < base || hs > kMaxHeader) return kBadHeader;
        if (in.size - off < hs) return kTruncated;
        h.resize((size_t)hs);
        if (!in.read(in.ctx, off, h.data(), (size_t)hs)) return kReadFailed;
        m->crc = Get16(&h[21]);
        m->has_crc = true;
        m->os_id = h[23];
        m->has_unix_time = true;
        m->unix_time = Get32(&h[15]);
        size_t pos = base;
        uint64_t size = sizelen == 2 ? Get16(&h[24]) : Get32(&h[28]);
        long crc_at = -1;
        bool widened = false;
        for (int count = 0; size != 0; count++) {
            // The OS-9 archiver declares level-2 headers two bytes short of their last extension.
            if (m->level == 2 && (m->os_id == 'K' || m->os_id == '9') && !widened && size >= 3 && pos + size == hs + 2) {
                if (in.size - off < hs + 2) return kTruncated;
                h.resize((size_t)hs + 2);
                if (!in.read(in.ctx, off + hs, &h[(size_t)hs], 2)) return kReadFailed;
                hs += 2;
                widened = true;
            }
            if (size < 1 + sizelen || count > kMaxExtHeaders || pos + size > hs) return kBadHeader;
            const uint8_t *e = &h[pos];
            size_t dn = (size_t)size - 1 - sizelen;
            if (e[0] == 0x00 && dn >= 2) crc_at = (long)pos + 1;
            ApplyExt(e[0], e + 1, dn, m, &np);
            pos += (size_t)size;
            size = sizelen == 2 ? Get16(&h[pos - 2]) : Get32(&h[pos - 4]);
        }
        if (crc_at >= 0) {
            uint16_t stored = Get16(&h[crc_at]);
            h[crc_at] = h[crc_at + 1] = 0;
            if (Crc16(0, h.data(), h.size()) != stored) return kBadHeader;
        }
        m->data_offset = off + hs;
        m->header_size = hs;
    } else {
        return kBadHeader;
    }

    CutComment(&np.file);
    CutComment(&np.wide_file);
    std::string dir = np.dir;
    if (!dir.empty() && (uint8_t)dir.back() != 0xFF) dir += '\\';
    m->name = NormalizeName(dir + np.file);
    if (!np.wide_file.empty() || !np.wide_dir.empty()) {
        std::u16string wdir = np.wide_dir;
        if (!wdir.empty() && wdir.back() != 0xFFFF) wdir += u'\\';
        m->wide_name = NormalizeWide(wdir + np.wide_file);
    }
    if (m->data_offset + m->packed_size > in.size || m->data_offset + m->packed_size < m->data_offset)
        return kTruncated;
    *next = m->data_offset + m->packed_size;
    return kOk;
}

uint64_t FindFirstHeader(const Input &in)
{
    Member m;
    uint64_t next;
    if (ReadHeader(in, 0, &m, &next) == kOk) return 0;
    // A self-extracting program carries the archive after its own code. Only programs are
    // searched: in anything else a broken first header must not hide behind later members.
    const size_t kScan = 1 << 20;
    size_t n = in.size < kScan ? (size_t)in.size : kScan;
    if (n < 64) return UINT64_MAX;
    std::vector<uint8_t> buf(n);
    if (!in.read(in.ctx, 0, buf.data(), n) || buf[0] != 'M' || buf[1] != 'Z') return UINT64_MAX;
    for (size_t i = 1; i + 7 <= n; i++) {
        if (buf[i + 2] == '-' && buf[i + 3] == 'l' && LooksLikeMethod(&buf[i + 2]) &&
            ReadHeader(in, i, &m, &next) == kOk)
            return i;
    }
    return UINT64_MAX;
}

Status ListMembers(const Input &in, std::vector<Member> *members)
{
    members->clear();
    uint64_t off = FindFirstHeader(in);
    if (off == UINT64_MAX) return kBadHeader;
    for (;;) {
        Member m;
        uint64_t next;
        Status s = ReadHeader(in, off, &m, &next);
        if (s == kEnd) return kOk;
        if (s != kOk) return s;
        members->push_back(m);
        off = next;
    }
}

std::string UnsafeNameReason(const std::string &name)
{
    if (name.empty()) return "empty name";
    if (name[0] == '\\' || name[0] == '/') return "absolute path";
    static const char *const devices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"};
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); i++) {
        uint8_t c = i < name.size() ? (uint8_t)name[i] : 0;
        if (i < name.size() && IsSjisLead(c)) {
            if (i + 1 >= name.size()) return "broken double-byte character";
            i++;
            continue;
        }
        if (c == ':') return "drive or stream name";
        if (i < name.size() && (c < 0x20 || strchr("<>\"|?*", c))) return "character not allowed in a file name";
        if (c != '\\' && c != 0) continue;
        std::string part = name.substr(start, i - start);
        start = i + 1;
        if (part.empty()) return "empty path part";
        if (part.find_first_not_of(". ") == std::string::npos) return "parent directory reference";
        std::string stem = part.substr(0, part.find('.'));
        while (!stem.empty() && stem.back() == ' ') stem.pop_back();
        for (char &ch : stem)
            if (ch >= 'a' && ch <= 'z') ch = (char)(ch - 32);
        for (const char *d : devices)
            if (stem == d) return "device name";
        if (stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
            stem[3] >= '0' && stem[3] <= '9')
            return "device name";
    }
    return std::string();
}

bool WildMatch(const char *p, const char *s)
{
    if (strcmp(p, "*.*") == 0 || strcmp(p, "*") == 0) return true;
    auto up = [](uint8_t c) { return (uint8_t)((c >= 'a' && c <= 'z') ? c - 32 : c); };
    // Iterative '*' matching with one backtrack point, stepping over double-byte characters.
    const char *star = nullptr, *resume = nullptr;
    while (*s) {
        size_t clen = (IsSjisLead((uint8_t)*s) && s[1]) ? 2 : 1;
        if (*p == '*') {
            star = ++p;
            resume = s;
            continue;
        }
        if (*p == '?') {
            p++;
            s += clen;
            continue;
        }
        size_t plen = (IsSjisLead((uint8_t)*p) && p[1]) ? 2 : 1;
        if (*p && plen == clen && up((uint8_t)*p) == up((uint8_t)*s) && (clen == 1 || p[1] == s[1])) {
            p += plen;
            s += clen;
            continue;
        }
        if (!star) return false;
        p = star;
        resume += (IsSjisLead((uint8_t)*resume) && resume[1]) ? 2 : 1;
        s = resume;
    }
    while (*p == '*') p++;
    // DOS lets "name.*" match a name without any extension.
    if (p[0] == '.' && p[1] == '*' && p[2] == 0) return true;
    return *p == 0;
}

std::vector<uint8_t> BuildLevel2Header(const Member &m)
{
    std::string dir, file = m.name;
    if (m.is_dir) {
        dir = m.name;
        file.clear();
    } else {
        size_t cut = std::string::npos;
        for (size_t i = 0; i < m.name.size(); i++) {
            if (IsSjisLead((uint8_t)m.name[i]) && i + 1 < m.name.size()) { i++; continue; }
            if (m.name[i] == '\\') cut = i;
        }
        if (cut != std::string::npos) {
            dir = m.name.substr(0, cut);
            file = m.name.substr(cut + 1);
        }
    }
    std::string dirext;
    for (size_t i = 0; i < dir.size(); i++) {
        if (IsSjisLead((uint8_t)dir[i]) && i + 1 < dir.size()) {
            dirext += dir[i];
            dirext += dir[++i];
        } else {
            dirext += dir[i] == '\\' ? '\xFF' : dir[i];
        }
    }
    if (!dirext.empty()) dirext += '\xFF';

    std::vector<uint8_t> h;
    Put16(h, 0);
    h.insert(h.end(), m.method, m.method + 5);
    Put32(h, (uint32_t)m.packed_size);
    Put32(h, (uint32_t)m.original_size);
    Put32(h, m.unix_time);
    h.push_back(0x20);
    h.push_back(2);
    Put16(h, m.crc);
    h.push_back('M');
    // Each extension is type, data, then the size of the one after it.
    struct Ext { uint8_t type; std::string data; };
    std::vector<Ext> exts;
    exts.push_back({0x00, std::string(2, '\0')});
    if (!m.is_dir) exts.push_back({0x01, file});
    if (!dirext.empty()) exts.push_back({0x02, dirext});
    if (!m.wide_name.empty()) {
        std::u16string wfile = m.wide_name, wdir;
        size_t cut = m.is_dir ? std::u16string::npos : m.wide_name.rfind(u'\\');
        if (m.is_dir) {
            wdir = m.wide_name;
            wfile.clear();
        } else if (cut != std::u16string::npos) {
            wdir = m.wide_name.substr(0, cut);
            wfile = m.wide_name.substr(cut + 1);
        }
        for (char16_t &c : wdir)
            if (c == u'\\') c = 0xFFFF;
        if (!wdir.empty()) wdir += (char16_t)0xFFFF;
        std::string f, d;
        PutUtf16(f, wfile);
        PutUtf16(d, wdir);
        if (!f.empty()) exts.push_back({0x44, f});
        if (!d.empty()) exts.push_back({0x45, d});
    }
    exts.push_back({0x40, std::string{(char)m.attr, '\0'}});
    Put16(h, (unsigned)exts[0].data.size() + 3);
    size_t crc_at = 0;
    for (size_t i = 0; i < exts.size(); i++) {
        h.push_back(exts[i].type);
        if (exts[i].type == 0x00) crc_at = h.size();
        h.insert(h.end(), exts[i].data.begin(), exts[i].data.end());
        Put16(h, i + 1 < exts.size() ? (unsigned)exts[i + 1].data.size() + 3 : 0);
    }
    // A header size whose low byte is 0 would read as the end-of-archive mark.
    if ((h.size() & 0xFF) == 0) h.push_back(0);
    h[0] = (uint8_t)h.size();
    h[1] = (uint8_t)(h.size() >> 8);
    uint16_t crc = Crc16(0, h.data(), h.size());
    h[crc_at] = (uint8_t)crc;
    h[crc_at + 1] = (uint8_t)(crc >> 8);
    return h;
}

}  // namespace lha
