// Builds ZIP archives in memory for the tests, including deliberately odd ones.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct TestMember {
  std::string name;            // bytes as stored
  std::string data;
  uint16_t method = 8;         // 0 stored, 8 deflated, anything else stored as given
  uint16_t flags = 0;          // 0x0800 UTF-8 name, 0x0001 encrypted
  uint16_t dosDate = (44 << 9) | (3 << 5) | 14;  // 2024-03-14
  uint16_t dosTime = (9 << 11) | (26 << 5) | 27;  // 09:26:54
  uint32_t externalAttr = 0x20;
  uint16_t madeBy = 20;        // MS-DOS host
  bool descriptor = false;     // sizes and CRC after the data, zeros in the local header
  bool zip64 = false;          // sizes and offset in ZIP64 extra fields
  bool badCrc = false;         // directory CRC off by one
  std::string extra;           // extra field bytes for both headers
  // Filled by the writer.
  uint32_t crc = 0;
  uint64_t compSize = 0;
  std::string packed;
};

struct TestArchiveOptions {
  std::string comment;
  std::string stub;        // bytes before the archive, offsets not adjusted
  bool forceZip64End = false;
};

inline void Put16(std::string& s, uint32_t v) {
  s += char(v & 0xFF);
  s += char((v >> 8) & 0xFF);
}
inline void Put32(std::string& s, uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
inline void Put64(std::string& s, uint64_t v) {
  Put32(s, uint32_t(v));
  Put32(s, uint32_t(v >> 32));
}

inline std::string DeflateRaw(const std::string& data, int level = 6) {
  z_stream zs;
  memset(&zs, 0, sizeof zs);
  deflateInit2(&zs, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&zs, uLong(data.size())) + 16, '\0');
  zs.next_in = (Bytef*)data.data();
  zs.avail_in = uInt(data.size());
  zs.next_out = (Bytef*)&out[0];
  zs.avail_out = uInt(out.size());
  deflate(&zs, Z_FINISH);
  out.resize(zs.total_out);
  deflateEnd(&zs);
  return out;
}

inline uint32_t Crc32Of(const std::string& s) {
  return uint32_t(crc32(0, (const Bytef*)s.data(), uInt(s.size())));
}

inline std::string BuildZip(std::vector<TestMember>& members, const TestArchiveOptions& opt = TestArchiveOptions()) {
  std::string out = opt.stub, central;
  bool any64 = opt.forceZip64End;
  for (TestMember& m : members) {
    m.crc = Crc32Of(m.data);
    m.packed = m.method == 8 ? DeflateRaw(m.data) : m.data;
    m.compSize = m.packed.size();
    uint64_t offset = out.size() - opt.stub.size();
    uint16_t flags = m.flags | (m.descriptor ? 0x0008 : 0);
    uint32_t crcStored = m.badCrc ? m.crc + 1 : m.crc;
    std::string ex64;
    if (m.zip64) {
      Put16(ex64, 1);
      Put16(ex64, 24);
      Put64(ex64, m.data.size());
      Put64(ex64, m.compSize);
      Put64(ex64, offset);
      any64 = true;
    }
    std::string local;
    Put32(local, 0x04034b50);
    Put16(local, m.zip64 ? 45 : 20);
    Put16(local, flags);
    Put16(local, m.method);
    Put16(local, m.dosTime);
    Put16(local, m.dosDate);
    Put32(local, m.descriptor ? 0 : crcStored);
    Put32(local, m.descriptor ? 0 : (m.zip64 ? 0xFFFFFFFF : uint32_t(m.compSize)));
    Put32(local, m.descriptor ? 0 : (m.zip64 ? 0xFFFFFFFF : uint32_t(m.data.size())));
    std::string lex = m.extra;
    if (m.zip64) {  // the local ZIP64 field holds the two sizes only
      Put16(lex, 1);
      Put16(lex, 16);
      Put64(lex, m.data.size());
      Put64(lex, m.compSize);
    }
    Put16(local, uint32_t(m.name.size()));
    Put16(local, uint32_t(lex.size()));
    local += m.name + lex;
    out += local + m.packed;
    if (m.descriptor) {
      Put32(out, 0x08074b50);
      Put32(out, crcStored);
      if (m.zip64) {
        Put64(out, m.compSize);
        Put64(out, m.data.size());
      } else {
        Put32(out, uint32_t(m.compSize));
        Put32(out, uint32_t(m.data.size()));
      }
    }
    std::string cex = m.extra + ex64;
    Put32(central, 0x02014b50);
    Put16(central, m.madeBy);
    Put16(central, m.zip64 ? 45 : 20);
    Put16(central, flags);
    Put16(central, m.method);
    Put16(central, m.dosTime);
    Put16(central, m.dosDate);
    Put32(central, crcStored);
    Put32(central, m.zip64 ? 0xFFFFFFFF : uint32_t(m.compSize));
    Put32(central, m.zip64 ? 0xFFFFFFFF : uint32_t(m.data.size()));
    Put16(central, uint32_t(m.name.size()));
    Put16(central, uint32_t(cex.size()));
    Put16(central, 0);
    Put16(central, 0);
    Put16(central, 0);
    Put32(central, m.externalAttr);
    Put32(central, m.zip64 ? 0xFFFFFFFF : uint32_t(offset));
    central += m.name + cex;
  }
  uint64_t cdOffset = out.size() - opt.stub.size();
  out += central;
  if (any64) {
    uint64_t end64 = out.size() - opt.stub.size();
    Put32(out, 0x06064b50);
    Put64(out, 44);
    Put16(out, 45);
    Put16(out, 45);
    Put32(out, 0);
    Put32(out, 0);
    Put64(out, members.size());
    Put64(out, members.size());
    Put64(out, central.size());
    Put64(out, cdOffset);
    Put32(out, 0x07064b50);
    Put32(out, 0);
    Put64(out, end64);
    Put32(out, 1);
  }
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, any64 ? 0xFFFF : uint32_t(members.size() & 0xFFFF));
  Put16(out, any64 ? 0xFFFF : uint32_t(members.size() & 0xFFFF));
  Put32(out, any64 ? 0xFFFFFFFF : uint32_t(central.size()));
  Put32(out, any64 ? 0xFFFFFFFF : uint32_t(cdOffset));
  Put16(out, uint32_t(opt.comment.size()));
  out += opt.comment;
  return out;
}

// An NTFS extra field holding the modification time (UTC, 100 ns units since 1601); the
// access and creation times are those of the modification.
inline std::string NtfsExtra(uint64_t mtime) {
  std::string x;
  Put16(x, 0x000A);
  Put16(x, 32);
  Put32(x, 0);
  Put16(x, 1);
  Put16(x, 24);
  Put64(x, mtime);
  Put64(x, mtime);
  Put64(x, mtime);
  return x;
}

// One member whose single local record the central directory lists count times over: a small
// file that expands to count times its data.
inline std::string BuildSharedRecordZip(const std::string& name, const std::string& data, int count) {
  std::vector<TestMember> one(1);
  one[0].name = name;
  one[0].data = data;
  std::string zip = BuildZip(one);
  size_t cd = zip.find("PK\x01\x02"), end = zip.size() - 22;
  std::string record = zip.substr(cd, end - cd), central;
  for (int i = 0; i < count; i++) central += record;
  std::string out = zip.substr(0, cd) + central;
  Put32(out, 0x06054b50);
  Put32(out, 0);
  Put16(out, uint32_t(count));
  Put16(out, uint32_t(count));
  Put32(out, uint32_t(central.size()));
  Put32(out, uint32_t(cd));
  Put16(out, 0);
  return out;
}
