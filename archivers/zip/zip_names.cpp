// Member names: the listing, name safety, wildcard matching and command words.
#include "zip.h"
#include "zip_fs.h"

#include <cstdio>
#include <cstring>

namespace {

// Splits text into characters: one byte, or a Shift-JIS lead byte with its trail byte.
std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size();) {
    size_t n = ZipCharLen(s, i);
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

bool IsSep(const std::string& ch) { return ch == "/" || ch == "\\"; }

// One character of a name folded for comparison: ASCII letters to lower case, '\' to '/'.
// Double-byte characters are left alone (their trail byte may be a letter or 0x5C).
char FoldByte(char c) {
  if (c == '\\') return '/';
  if (c >= 'A' && c <= 'Z') return char(c - 'A' + 'a');
  return c;
}

bool SameChar(const std::string& a, size_t ai, size_t an, const std::string& b, size_t bi, size_t bn) {
  if (an != bn) return false;
  if (an == 2) return a[ai] == b[bi] && a[ai + 1] == b[bi + 1];
  return FoldByte(a[ai]) == FoldByte(b[bi]);
}

std::string Upper(const std::string& s) {
  std::string r = s;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return r;
}

bool IsDeviceName(const std::string& component) {
  std::string base = Upper(component.substr(0, component.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$", "CLOCK$"};
  for (const char* n : kNames)
    if (base == n) return true;
  if (base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '0' &&
      base[3] <= '9')
    return true;
  return false;
}

std::string Clamp9(uint64_t v) {
  char b[24];
  snprintf(b, sizeof b, "%9llu", (unsigned long long)(v > 999999999ull ? 999999999ull : v));
  return b;
}

const size_t kMaxListedName = 512;

}  // namespace

std::string ZipListedName(const ZipMember& m) {
  std::string out;
  for (size_t i = 0; i < m.name.size();) {
    size_t n = ZipCharLen(m.name, i);
    if (out.size() + n > kMaxListedName) break;
    unsigned char c = m.name[i];
    if (n == 2) out.append(m.name, i, 2);
    else if (c == '/') out += '\\';
    else if (c < 0x20 || c == 0x7F) out += '?';
    else out += char(c);
    i += n;
  }
  if (!out.empty() && out[0] == '-') out = ".\\" + out;
  return out;
}

size_t ZipCharLen(const std::string& s, size_t i) {
  if (i + 1 >= s.size() || !ZipIsLeadByte((unsigned char)s[i])) return 1;
  unsigned char t = s[i + 1];
  return (t >= 0x40 && t <= 0xFC && t != 0x7F) ? 2 : 1;
}

bool ZipIsShiftJis(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    size_t n = ZipCharLen(s, i);
    if (n == 1 && (ZipIsLeadByte(c) || c == 0x80 || c == 0xA0 || c >= 0xFD)) return false;
    i += n;
  }
  return true;
}

bool ZipIsUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    unsigned char c = s[i];
    size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    uint32_t v = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < n; k++) {
      unsigned char t = s[i + k];
      if ((t & 0xC0) != 0x80) return false;
      v = (v << 6) | (t & 0x3F);
    }
    if ((n == 3 && (v < 0x800 || (v >= 0xD800 && v <= 0xDFFF))) || (n == 4 && (v < 0x10000 || v > 0x10FFFF)))
      return false;
    i += n;
  }
  return true;
}

void ZipDecodeName(const std::string& raw, bool flaggedUtf8, const std::string* unicodePath, std::string& name,
                   std::string& problem) {
  problem.clear();
  bool ascii = true;
  for (char c : raw) ascii = ascii && (unsigned char)c < 0x80;
  if (ascii && !unicodePath) {
    name = raw;
    return;
  }
  const std::string* utf8 = nullptr;
  if (unicodePath && ZipIsUtf8(*unicodePath)) utf8 = unicodePath;
  else if (flaggedUtf8 ? ZipIsUtf8(raw) : !ZipIsShiftJis(raw) && ZipIsUtf8(raw)) utf8 = &raw;
  if (utf8) {
    if (!ZipUtf8ToAnsi(*utf8, name)) problem = "name has characters the code page cannot represent";
    return;
  }
  name = raw;
  if (ZipIsShiftJis(raw)) return;
  // Neither encoding fits: each byte that forms no character shows as '?'.
  name.clear();
  for (size_t i = 0; i < raw.size();) {
    size_t n = ZipCharLen(raw, i);
    unsigned char c = raw[i];
    bool bad = n == 1 && (ZipIsLeadByte(c) || c == 0x80 || c == 0xA0 || c >= 0xFD);
    name += bad ? std::string("?") : raw.substr(i, n);
    i += n;
  }
  problem = "name is neither Shift-JIS nor UTF-8";
}

std::string ZipFormatListing(const ZipArchive& arc, size_t maxBytes) {
  std::vector<std::string> names;
  size_t width = 4;
  for (const ZipMember& m : arc.members) {
    names.push_back(ZipListedName(m));
    if (names.back().size() > width) width = names.back().size();
  }
  if (width > 40) width = 40;
  auto pad = [&](const std::string& s) { return s.size() >= width ? s : s + std::string(width - s.size(), ' '); };
  // The fields from the blank before the length to the CRC take 67 characters; the character
  // before them is always a blank, the end of the name.
  std::string head = pad("Name") + "    Length      Size Ratio Date      Time     Attr Method  CRC-32  \n";
  std::string rule = std::string(width + 68, '-') + "\n";
  std::string body;
  uint64_t listed = 0, total = 0, packed = 0;
  size_t reserve = 200;  // the closing rule and totals line
  for (size_t i = 0; i < arc.members.size(); i++) {
    const ZipMember& m = arc.members[i];
    unsigned ratio = ZipRatioTenths(m);
    unsigned year = ((m.dosDate >> 9) + 1980) % 100, month = (m.dosDate >> 5) & 15, day = m.dosDate & 31;
    unsigned hour = m.dosTime >> 11, minute = (m.dosTime >> 5) & 63, second = (m.dosTime & 31) * 2;
    char tail[128];
    snprintf(tail, sizeof tail, " %s %s%3u.%u%% %02u-%02u-%02u  %02u:%02u:%02u %-4.4s %-7.7s %08lx\n",
             Clamp9(m.size).c_str(), Clamp9(m.compSize).c_str(), ratio / 10, ratio % 10, year, month, day, hour,
             minute, second, ZipAttributeText(m).c_str(), ZipMethodText(m).c_str(), (unsigned long)m.crc);
    std::string line = pad(names[i]) + " " + tail;
    if (head.size() + 2 * rule.size() + body.size() + line.size() + reserve >= maxBytes) break;
    body += line;
    listed++;
    total += m.size;
    packed += m.compSize;
  }
  char totals[200];
  int n = snprintf(totals, sizeof totals, "%llu files, %llu bytes, %llu compressed", (unsigned long long)listed,
                   (unsigned long long)total, (unsigned long long)packed);
  std::string foot(totals, size_t(n));
  if (listed < arc.members.size())
    foot += ", listing cut after " + std::to_string(listed) + " of " + std::to_string(arc.members.size()) +
            " members (output buffer too small)";
  std::string text = head + rule + body + rule + foot + "\n";
  if (text.size() >= maxBytes) return std::string();
  return text;
}

bool ZipSafeComponents(const std::string& name, std::vector<std::string>& parts, std::string& why) {
  parts.clear();
  std::vector<std::string> chars = Chars(name);
  if (chars.empty()) {
    why = "empty name";
    return false;
  }
  if (IsSep(chars[0])) {
    why = "absolute path";
    return false;
  }
  std::string cur;
  for (size_t i = 0; i <= chars.size(); i++) {
    if (i < chars.size() && !IsSep(chars[i])) {
      const std::string& ch = chars[i];
      if (ch.size() == 1) {
        unsigned char c = ch[0];
        if (c == ':') {
          why = "drive or stream name";
          return false;
        }
        if (c < 0x20 || strchr("<>\"|?*", c)) {
          why = "character not allowed in a file name";
          return false;
        }
      }
      cur += ch;
      continue;
    }
    if (cur.empty() || cur == ".") {
      cur.clear();
      continue;
    }
    if (cur == "..") {
      why = "parent directory reference";
      return false;
    }
    // A dot or blank is never a trail byte, so the last byte is a whole character here.
    while (!cur.empty() && (cur.back() == '.' || cur.back() == ' ')) cur.pop_back();
    if (cur.empty()) {
      why = "name of dots and blanks only";
      return false;
    }
    if (IsDeviceName(cur)) {
      why = "device name";
      return false;
    }
    parts.push_back(cur);
    cur.clear();
  }
  if (parts.empty()) {
    why = "no name";
    return false;
  }
  return true;
}

bool ZipNamesDestination(const std::string& name) {
  if (name.empty() || name[0] != '.') return false;
  std::string cur;
  for (const std::string& ch : Chars(name + "/")) {
    if (!IsSep(ch)) cur += ch;
    else if (!cur.empty() && cur != ".") return false;
    else cur.clear();
  }
  return true;
}

bool ZipWildMatch(const std::string& pattern, const std::string& name) {
  // Byte offsets, always at character starts; starN is where the last '*' began to match.
  size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
  while (ni < name.size()) {
    size_t nn = ZipCharLen(name, ni);
    size_t pn = pi < pattern.size() ? ZipCharLen(pattern, pi) : 0;
    if (pn == 1 && pattern[pi] == '*') {
      starP = pi++;
      starN = ni;
    } else if (pn != 0 && ((pn == 1 && pattern[pi] == '?') || SameChar(pattern, pi, pn, name, ni, nn))) {
      pi += pn;
      ni += nn;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      starN += ZipCharLen(name, starN);
      ni = starN;
    } else {
      return false;
    }
  }
  while (pi < pattern.size() && pattern[pi] == '*') pi++;
  return pi == pattern.size();
}

std::string ZipMatchKey(const std::string& name) {
  std::string key = name;
  for (size_t i = 0; i < key.size();) {
    size_t n = ZipCharLen(key, i);
    if (n == 1) key[i] = FoldByte(key[i]);
    i += n;
  }
  return key;
}

std::vector<std::string> ZipSplitWords(const std::string& line) {
  std::vector<std::string> words;
  std::string cur;
  bool inQuote = false, have = false;
  for (char c : line) {
    if (c == '"') {
      inQuote = !inQuote;
      have = true;
    } else if (!inQuote && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (have) words.push_back(cur);
      cur.clear();
      have = false;
    } else {
      cur += c;
      have = true;
    }
  }
  if (have) words.push_back(cur);
  return words;
}
