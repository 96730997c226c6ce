// How the filer reads the ZIP listing: the member count after the second rule line, and each
// member line by columns counted back from its line feed. Written from the filer's rules,
// independently of the library's own formatting code.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

struct ColumnRecord {
  uint32_t size = 0, compSize = 0, crc = 0;
  uint16_t ratio = 0, dosDate = 0, dosTime = 0;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  std::string name, attr, method;
};

inline std::vector<std::string> ListingLines(const std::string& text, bool* lastHadFeed = nullptr) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    if (nl == std::string::npos) {
      if (lastHadFeed) *lastHadFeed = false;
      lines.push_back(text.substr(pos));
      return lines;
    }
    lines.push_back(text.substr(pos, nl - pos));
    pos = nl + 1;
  }
  if (lastHadFeed) *lastHadFeed = true;
  return lines;
}

inline long ListingCount(const std::string& text) {
  int rules = 0;
  for (const std::string& line : ListingLines(text)) {
    if (rules == 2) return atol(line.c_str());
    if (!line.empty() && line[0] == '-') rules++;
  }
  return 0;
}

inline bool ParseColumns(const std::string& lineIn, ColumnRecord& r) {
  long len = long(lineIn.size());
  if (len < 68) return false;
  std::string b = lineIn;
  auto at = [&](long back) { return &b[size_t(len + back)]; };
  r.crc = 0;
  for (long k = -8; k <= -1; k++) {
    char c = *at(k);
    unsigned v = (c >= '0' && c <= '9') ? unsigned(c - '0') : (c >= 'a' && c <= 'f') ? unsigned(c - 'a' + 10) : 0;
    r.crc = (r.crc << 4) | v;
  }
  r.method = b.substr(size_t(len - 16), 7);
  r.attr = b.substr(size_t(len - 21), 4);
  for (char& c : r.attr)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  r.year = atoi(at(-40));
  r.year += r.year < 80 ? 2000 : 1900;
  r.month = atoi(at(-37));
  r.day = atoi(at(-34));
  r.hour = atoi(at(-30));
  r.minute = atoi(at(-27));
  r.second = atoi(at(-24));
  *at(-44) = '\0';
  *at(-42) = '\0';
  r.ratio = uint16_t(atoi(at(-47)) * 10 + atoi(at(-43)));
  r.compSize = uint32_t(strtoul(at(-56), nullptr, 10));
  r.size = uint32_t(strtoul(at(-66), nullptr, 10));
  if (*at(-68) == ' ') {
    r.name = b.substr(0, size_t(len - 68));
    while (!r.name.empty() && r.name.back() == ' ') r.name.pop_back();
  } else {
    r.name = std::string(b.c_str());
  }
  r.dosDate = uint16_t(((r.year - 1980) << 9) | (r.month << 5) | r.day);
  r.dosTime = uint16_t((r.hour << 11) | (r.minute << 5) | (r.second / 2));
  return true;
}

// Find-first skips the two header lines; find-next reads on; at most count records.
inline std::vector<ColumnRecord> ListingRecords(const std::string& text) {
  std::vector<ColumnRecord> out;
  long count = ListingCount(text);
  bool lastFeed = true;
  std::vector<std::string> lines = ListingLines(text, &lastFeed);
  for (size_t i = 2; i < lines.size() && long(out.size()) < count; i++) {
    if (i + 1 == lines.size() && !lastFeed) break;
    ColumnRecord r;
    ParseColumns(lines[i], r);
    out.push_back(r);
  }
  return out;
}
