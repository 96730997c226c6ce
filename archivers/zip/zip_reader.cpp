// ZIP directory and member data.
#include "zip.h"
#include "zip_fs.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

const uint32_t kSigLocal = 0x04034b50;
const uint32_t kSigCentral = 0x02014b50;
const uint32_t kSigEnd = 0x06054b50;
const uint32_t kSigEnd64 = 0x06064b50;
const uint32_t kSigLocator64 = 0x07064b50;
const size_t kChunk = 256 * 1024;

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24); }
uint64_t Le64(const uint8_t* p) { return uint64_t(Le32(p)) | (uint64_t(Le32(p + 4)) << 32); }

bool ReadAt(const ZipSource& src, uint64_t off, void* buf, size_t len) {
  if (off > src.size || len > src.size - off) return false;
  return src.read(src.ctx, off, buf, len);
}

void Note(std::string* log, const std::string& line) {
  if (log) *log += line + "\n";
}

bool ReadMemory(void* ctx, uint64_t off, void* buf, size_t len) {
  MemorySource* m = static_cast<MemorySource*>(ctx);
  if (off > m->size || len > m->size - off) return false;
  if (len) memcpy(buf, m->data + off, len);
  return true;
}

struct EndRecord {
  uint64_t pos = 0;        // of the record that ends the central directory (64-bit one if any)
  uint64_t entries = 0;
  uint64_t cdSize = 0;
  uint64_t cdOffset = 0;
  bool zip64 = false;
};

// A file that starts like a ZIP archive but has no end record was cut short.
ZipResult NoEndRecord(const ZipSource& src, std::string* log) {
  uint8_t head[4];
  if (ReadAt(src, 0, head, 4) && Le32(head) == kSigLocal) {
    Note(log, "archive cut short: the central directory and its end record are missing");
    return ZIP_E_CORRUPT;
  }
  Note(log, "not a ZIP archive: no end-of-central-directory record");
  return ZIP_E_NOT_ZIP;
}

ZipResult FindEnd(const ZipSource& src, EndRecord& end, std::string* log) {
  if (src.size < 22) return NoEndRecord(src, log);
  uint64_t tailLen = std::min<uint64_t>(src.size, 22 + 65535);
  uint64_t tailStart = src.size - tailLen;
  std::vector<uint8_t> tail(tailLen);
  if (!ReadAt(src, tailStart, tail.data(), tail.size())) {
    Note(log, "cannot read the end of the archive");
    return ZIP_E_ARCHIVE_OPEN;
  }
  // The record whose comment reaches exactly the end of the file wins; otherwise the last
  // record whose comment fits (the file may have trailing bytes).
  long found = -1, fallback = -1;
  for (long i = long(tailLen) - 22; i >= 0; i--) {
    if (Le32(&tail[i]) != kSigEnd) continue;
    uint64_t end = uint64_t(i) + 22 + Le16(&tail[i + 20]);
    if (end == tailLen) { found = i; break; }
    if (end < tailLen && fallback < 0) fallback = i;
  }
  if (found < 0) found = fallback;
  if (found < 0) return NoEndRecord(src, log);
  const uint8_t* e = &tail[found];
  end.pos = tailStart + uint64_t(found);
  uint16_t disk = Le16(e + 4), cdDisk = Le16(e + 6);
  end.entries = Le16(e + 10);
  end.cdSize = Le32(e + 12);
  end.cdOffset = Le32(e + 16);
  bool saturated = end.entries == 0xFFFF || end.cdSize == 0xFFFFFFFF || end.cdOffset == 0xFFFFFFFF;
  uint8_t loc[20];
  if (end.pos >= 20 && ReadAt(src, end.pos - 20, loc, 20) && Le32(loc) == kSigLocator64) {
    uint64_t at = Le64(loc + 8);
    uint8_t r[56];
    bool ok = ReadAt(src, at, r, 56) && Le32(r) == kSigEnd64;
    if (!ok && end.pos >= 20 + 56) {  // a stub in front shifts every stored offset
      at = end.pos - 20 - 56;
      ok = ReadAt(src, at, r, 56) && Le32(r) == kSigEnd64;
    }
    if (ok) {
      end.zip64 = true;
      end.pos = at;
      disk = uint16_t(Le32(r + 16) != 0);
      cdDisk = uint16_t(Le32(r + 20) != 0);
      end.entries = Le64(r + 32);
      end.cdSize = Le64(r + 40);
      end.cdOffset = Le64(r + 48);
    } else if (saturated) {
      Note(log, "ZIP64 end record missing");
      return ZIP_E_CORRUPT;
    }
  }
  if ((disk != 0 && disk != 0xFFFF) || (cdDisk != 0 && cdDisk != 0xFFFF)) {
    Note(log, "archives split over several disks are not supported");
    return ZIP_E_CORRUPT;
  }
  if (end.cdSize > end.pos) {
    Note(log, "central directory larger than the archive");
    return ZIP_E_CORRUPT;
  }
  return ZIP_OK;
}

uint32_t Crc(const std::string& s) {
  return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(s.data()), uInt(s.size())));
}

// Where a member's stored name and its Unicode path field (length 0: none) lie in the directory.
struct NameRef {
  size_t record;
  size_t unicodeAt, unicodeLen;
};

// Reads one central record at p (with avail bytes left); returns its length or 0 when broken.
// The name is decoded later, once the whole directory is known.
size_t ParseCentral(const uint8_t* p, size_t avail, ZipMember& m, NameRef& ref, std::string* log) {
  if (avail < 46 || Le32(p) != kSigCentral) return 0;
  size_t nameLen = Le16(p + 28), extraLen = Le16(p + 30), commentLen = Le16(p + 32);
  size_t total = 46 + nameLen + extraLen + commentLen;
  if (total > avail) return 0;
  m.madeBy = Le16(p + 4);
  m.flags = Le16(p + 8);
  m.method = Le16(p + 10);
  m.dosTime = Le16(p + 12);
  m.dosDate = Le16(p + 14);
  m.crc = Le32(p + 16);
  m.compSize = Le32(p + 20);
  m.size = Le32(p + 24);
  uint16_t disk = Le16(p + 34);
  m.externalAttr = Le32(p + 38);
  m.localOffset = Le32(p + 42);
  std::string raw(reinterpret_cast<const char*>(p + 46), nameLen);
  ref.unicodeAt = ref.unicodeLen = 0;
  const uint8_t* x = p + 46 + nameLen;
  const uint8_t* xend = x + extraLen;
  while (xend - x >= 4) {
    uint16_t id = Le16(x), len = Le16(x + 2);
    const uint8_t* d = x + 4;
    if (len > xend - d) break;
    if (id == 0x0001) {
      const uint8_t* q = d;
      const uint8_t* qend = d + len;
      bool ok = true;
      auto take = [&](uint64_t& v) {
        if (qend - q < 8) { ok = false; return; }
        v = Le64(q);
        q += 8;
      };
      if (m.size == 0xFFFFFFFF) take(m.size);
      if (m.compSize == 0xFFFFFFFF) take(m.compSize);
      if (m.localOffset == 0xFFFFFFFF) take(m.localOffset);
      if (disk == 0xFFFF && qend - q >= 4) disk = uint16_t(Le32(q) != 0);
      if (!ok) {
        Note(log, "ZIP64 field too short for " + raw);
        return 0;
      }
    } else if (id == 0x000A && len >= 4 + 4 + 24) {
      for (const uint8_t* t = d + 4; d + len - t >= 4;) {
        uint16_t tag = Le16(t), size = Le16(t + 2);
        if (size > d + len - t - 4) break;
        if (tag == 1 && size >= 24) m.ntfsTime = Le64(t + 4);
        t += 4 + size;
      }
    } else if (id == 0x7075 && len >= 5 && d[0] == 1 && Le32(d + 1) == Crc(raw)) {
      ref.unicodeAt = size_t(d + 5 - p);
      ref.unicodeLen = len - 5;
    }
    x = d + len;
  }
  if (disk != 0 && disk != 0xFFFF) {
    Note(log, "member on another disk: " + raw);
    return 0;
  }
  m.name = raw;
  m.encrypted = (m.flags & 0x0001) != 0 || m.method == 99;
  return total;
}

// One writer wrote the whole archive in one encoding: unflagged names are UTF-8 when all of
// them are valid UTF-8 and some are not valid Shift-JIS (Info-ZIP on Linux, bsdtar).
void DecodeNames(const std::vector<uint8_t>& cd, const std::vector<NameRef>& names, ZipArchive& arc) {
  bool allUtf8 = true, someNotSjis = false;
  for (size_t i = 0; i < names.size() && allUtf8; i++) {
    const ZipMember& m = arc.members[i];
    if ((m.flags & 0x0800) || names[i].unicodeLen) continue;
    allUtf8 = ZipIsUtf8(m.name);
    someNotSjis = someNotSjis || !ZipIsShiftJis(m.name);
  }
  bool utf8Archive = allUtf8 && someNotSjis;
  std::string raw, unicodePath;
  for (size_t i = 0; i < names.size(); i++) {
    ZipMember& m = arc.members[i];
    raw.swap(m.name);
    const NameRef& r = names[i];
    if (r.unicodeLen) unicodePath.assign(reinterpret_cast<const char*>(&cd[r.record + r.unicodeAt]), r.unicodeLen);
    ZipDecodeName(raw, (m.flags & 0x0800) != 0 || utf8Archive, r.unicodeLen ? &unicodePath : nullptr, m.name,
                  m.nameProblem);
    m.isDir = ZipEndsWithSeparator(m.name) || ((m.externalAttr & 0x10) && m.size == 0 && m.compSize == 0);
  }
}

struct Span {
  uint64_t start, end;  // archive offsets without the stub: local header to end of data
  size_t member;
};

// Finds each member's local header, which must repeat the stored name, and refuses archives
// whose members share bytes with each other or with the central directory: several directory
// records pointing at one local record turn a small file into a huge output.
ZipResult CheckLocalHeaders(const ZipSource& src, const std::vector<uint8_t>& cd, const std::vector<NameRef>& names,
                            uint64_t cdOffset, ZipArchive& arc, std::string* log) {
  std::vector<Span> spans;
  std::vector<uint8_t> h;
  for (size_t i = 0; i < arc.members.size(); i++) {
    ZipMember& m = arc.members[i];
    const uint8_t* stored = &cd[names[i].record + 46];
    size_t nameLen = Le16(&cd[names[i].record + 28]);
    h.resize(30 + nameLen);
    uint64_t at = arc.base + m.localOffset;
    if (m.localOffset < cdOffset && ReadAt(src, at, h.data(), h.size()) && Le32(h.data()) == kSigLocal) {
      if (Le16(&h[26]) != nameLen || memcmp(&h[30], stored, nameLen) != 0) {
        Note(log, "the local header names another member than the directory: " + m.name);
        return ZIP_E_CORRUPT;
      }
      m.dataOffset = at + 30 + nameLen + Le16(&h[28]);
      m.localOk = true;
      Span sp = {m.localOffset, m.dataOffset - arc.base, i};
      if (m.compSize > UINT64_MAX - sp.end) sp.end = UINT64_MAX;
      else sp.end += m.compSize;
      spans.push_back(sp);
    } else {
      Note(log, "local header missing: " + m.name);
    }
    if (!m.nameProblem.empty()) Note(log, m.nameProblem + ": " + m.name);
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.start < b.start; });
  for (size_t k = 0; k < spans.size(); k++) {
    uint64_t limit = k + 1 < spans.size() ? spans[k + 1].start : cdOffset;
    if (spans[k].end > limit) {
      const std::string& other = k + 1 < spans.size() ? arc.members[spans[k + 1].member].name : "the central directory";
      Note(log, "members overlap: " + arc.members[spans[k].member].name + " runs into " + other);
      return ZIP_E_OVERLAP;
    }
  }
  return ZIP_OK;
}

}  // namespace

ZipSource ZipMemorySource(MemorySource* mem) {
  ZipSource s;
  s.ctx = mem;
  s.size = mem->size;
  s.read = ReadMemory;
  return s;
}

bool ZipIsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool ZipEndsWithSeparator(const std::string& s) {
  bool last = false;
  for (size_t i = 0; i < s.size();) {
    size_t n = ZipCharLen(s, i);
    last = n == 1 && (s[i] == '/' || s[i] == '\\');
    i += n;
  }
  return last;
}

ZipResult ZipReadDirectory(const ZipSource& src, ZipArchive& arc, std::string* log) {
  arc = ZipArchive();
  EndRecord end;
  ZipResult r = FindEnd(src, end, log);
  if (r != ZIP_OK) return r;
  arc.zip64 = end.zip64;
  uint64_t cdStart = end.pos - end.cdSize;
  if (end.cdOffset > cdStart) {
    Note(log, "central directory offset past its end");
    return ZIP_E_CORRUPT;
  }
  arc.base = cdStart - end.cdOffset;
  if (end.entries > end.cdSize / 46 + 1) {
    Note(log, "member count larger than the central directory can hold");
    return ZIP_E_CORRUPT;
  }
  std::vector<uint8_t> cd;
  try {
    cd.resize(size_t(end.cdSize));
  } catch (...) {
    return ZIP_E_MEMORY;
  }
  if (!ReadAt(src, cdStart, cd.data(), cd.size())) {
    Note(log, "cannot read the central directory");
    return ZIP_E_CORRUPT;
  }
  size_t pos = 0;
  std::vector<NameRef> names;
  arc.members.reserve(size_t(end.entries));  // bounded by the directory size above
  names.reserve(size_t(end.entries));
  while (pos < cd.size() && cd.size() - pos >= 4 && Le32(&cd[pos]) == kSigCentral) {
    ZipMember m;
    NameRef ref;
    size_t len = ParseCentral(&cd[pos], cd.size() - pos, m, ref, log);
    if (len == 0) {
      Note(log, "broken central directory record " + std::to_string(arc.members.size() + 1));
      return ZIP_E_CORRUPT;
    }
    ref.record = pos;
    names.push_back(ref);
    pos += len;
    arc.members.push_back(std::move(m));
  }
  uint64_t n = arc.members.size();
  // Writers without ZIP64 support store the member count modulo 65536.
  if (n != end.entries && (end.zip64 || (n & 0xFFFF) != end.entries)) {
    Note(log, "the end record counts " + std::to_string(end.entries) + " members, the directory holds " +
                  std::to_string(n));
    return ZIP_E_CORRUPT;
  }
  DecodeNames(cd, names, arc);
  return CheckLocalHeaders(src, cd, names, end.cdOffset, arc, log);
}

ZipResult ZipDecodeMember(const ZipSource& src, const ZipArchive&, const ZipMember& m, ZipSink sink,
                          void* sinkCtx) {
  if (m.encrypted) return ZIP_E_ENCRYPTED;
  if (m.method != 0 && m.method != 8) return ZIP_E_METHOD;
  if (!m.localOk) return ZIP_E_CORRUPT;
  if (m.dataOffset > src.size || m.compSize > src.size - m.dataOffset) return ZIP_E_DATA;
  // Buffers no larger than the member: small members are the common case.
  size_t inLen = size_t(std::max<uint64_t>(1, std::min<uint64_t>(m.compSize, kChunk)));
  size_t outLen = m.size >= kChunk ? kChunk : size_t(m.size + 1);
  std::unique_ptr<uint8_t[]> inBuf(new (std::nothrow) uint8_t[inLen]);
  std::unique_ptr<uint8_t[]> outBuf(new (std::nothrow) uint8_t[m.method == 8 ? outLen : 1]);
  if (!inBuf || !outBuf) return ZIP_E_MEMORY;
  uint8_t* in = inBuf.get();
  uint8_t* out = outBuf.get();
  uLong crc = crc32(0, Z_NULL, 0);
  uint64_t left = m.compSize, produced = 0, at = m.dataOffset;
  if (m.method == 0) {
    if (m.compSize != m.size) return ZIP_E_DATA;
    while (left > 0) {
      size_t n = size_t(std::min<uint64_t>(left, inLen));
      if (!ReadAt(src, at, in, n)) return ZIP_E_DATA;
      crc = crc32(crc, in, uInt(n));
      if (!sink(sinkCtx, in, n)) return ZIP_E_WRITE;
      at += n;
      left -= n;
    }
    produced = m.size;
  } else {
    z_stream zs;
    memset(&zs, 0, sizeof zs);
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return ZIP_E_MEMORY;
    ZipResult res = ZIP_OK;
    int zr = Z_OK;
    while (zr != Z_STREAM_END) {
      if (zs.avail_in == 0) {
        if (left == 0) { res = ZIP_E_DATA; break; }  // data ends inside the deflate stream
        size_t n = size_t(std::min<uint64_t>(left, inLen));
        if (!ReadAt(src, at, in, n)) { res = ZIP_E_DATA; break; }
        at += n;
        left -= n;
        zs.next_in = in;
        zs.avail_in = uInt(n);
      }
      zs.next_out = out;
      zs.avail_out = uInt(outLen);
      zr = inflate(&zs, Z_NO_FLUSH);
      if (zr != Z_OK && zr != Z_STREAM_END && zr != Z_BUF_ERROR) { res = ZIP_E_DATA; break; }
      size_t got = outLen - zs.avail_out;
      if (got > m.size - produced) { res = ZIP_E_DATA; break; }  // more than the directory promised
      produced += got;
      crc = crc32(crc, out, uInt(got));
      if (got && !sink(sinkCtx, out, got)) { res = ZIP_E_WRITE; break; }
      if (zr == Z_BUF_ERROR && got == 0 && zs.avail_in != 0) { res = ZIP_E_DATA; break; }
    }
    inflateEnd(&zs);
    if (res != ZIP_OK) return res;
  }
  if (produced != m.size || uint32_t(crc) != m.crc) return ZIP_E_DATA;
  return ZIP_OK;
}

std::string ZipMethodText(const ZipMember& m) {
  if (m.encrypted) return "Encrypt";
  switch (m.method) {
    case 0: return "Stored";
    case 1: return "Shrunk";
    case 6: return "Implode";
    case 8: return "Deflate";
    case 9: return "Defl64";
    case 12: return "BZip2";
    case 14: return "LZMA";
    case 93: return "Zstd";
    case 95: return "XZ";
    case 98: return "PPMd";
  }
  return "M" + std::to_string(m.method);
}

std::string ZipAttributeText(const ZipMember& m) {
  unsigned host = m.madeBy >> 8;
  uint32_t dos = m.externalAttr & 0xFF;
  uint32_t mode = m.externalAttr >> 16;
  bool readOnly = (dos & 0x01) != 0;
  if (host == 3 && mode != 0) readOnly = (mode & 0200) == 0;
  std::string t = "----";
  if (m.isDir) t[0] = 'D';
  else if (dos & 0x20) t[0] = 'A';
  if (dos & 0x04) t[1] = 'S';
  if (dos & 0x02) t[2] = 'H';
  if (readOnly) t[3] = 'R';
  return t;
}

unsigned ZipRatioTenths(const ZipMember& m) {
  if (m.size == 0 || m.compSize >= m.size) return 0;
  double saved = double(m.size - m.compSize) * 1000.0 / double(m.size);
  unsigned r = unsigned(saved);
  return r > 999 ? 999 : r;
}

const char* ZipResultText(int code) {
  switch (code) {
    case ZIP_OK: return "ok";
    case ZIP_E_USAGE: return "command line not understood";
    case ZIP_E_ARCHIVE_OPEN: return "cannot open or read the archive";
    case ZIP_E_NOT_ZIP: return "not a ZIP archive";
    case ZIP_E_CORRUPT: return "archive headers broken";
    case ZIP_E_DATA: return "member data broken or CRC mismatch";
    case ZIP_E_METHOD: return "compression method not supported";
    case ZIP_E_ENCRYPTED: return "encrypted member not extracted";
    case ZIP_E_UNSAFE_NAME: return "unsafe member name refused";
    case ZIP_E_EXISTS: return "existing file kept";
    case ZIP_E_WRITE: return "cannot write the output";
    case ZIP_E_NO_MATCH: return "no member matches";
    case ZIP_E_RESPONSE: return "cannot read the response file";
    case ZIP_E_BUSY: return "the library is busy";
    case ZIP_E_MEMORY: return "out of memory";
    case ZIP_E_OVERLAP: return "members overlap";
  }
  return "error";
}
