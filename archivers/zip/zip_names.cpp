// Member names: the listing, name safety, wildcard matching and command words.
#include "zip.h"

#include <cstdio>
#include <cstring>

namespace {

// Splits text into characters: one byte, or a Shift-JIS lead byte with its trail byte.
std::vector<std::string> Chars(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size(); i++) {
    unsigned char c = s[i];
    if (ZipIsLeadByte(c) && i + 1 < s.size() && (unsigned char)s[i + 1] >= 0x40) {
      out.push_back(s.substr(i, 2));
      i++;
    } else {
      out.push_back(std::string(1, char(c)));
    }
  }
  return out;
}

bool IsSep(const std::string& ch) { return ch == "/" || ch == "\\"; }

std::string Fold(const std::string& ch) {
  if (ch.size() != 1) return ch;
  char c = ch[0];
  if (c == '/') return "\\";
  if (c >= 'A' && c <= 'Z') return std::string(1, char(c - 'A' + 'a'));
  return ch;
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
  for (const std::string& ch : Chars(m.name)) {
    if (out.size() + ch.size() > kMaxListedName) break;
    if (ch == "/") out += '\\';
    else if (ch.size() == 1 && ((unsigned char)ch[0] < 0x20 || ch[0] == 0x7F)) out += '?';
    else out += ch;
  }
  if (!out.empty() && out[0] == '-') out = ".\\" + out;
  return out;
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
    if (cur.back() == '.' || cur.back() == ' ') {
      why = "name ending in a dot or blank";
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

bool ZipWildMatch(const std::string& pattern, const std::string& name) {
  std::vector<std::string> p = Chars(pattern), n = Chars(name);
  size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
  while (ni < n.size()) {
    if (pi < p.size() && p[pi] == "*") {
      starP = pi++;
      starN = ni;
    } else if (pi < p.size() && (p[pi] == "?" || Fold(p[pi]) == Fold(n[ni]))) {
      pi++;
      ni++;
    } else if (starP != std::string::npos) {
      pi = starP + 1;
      ni = ++starN;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == "*") pi++;
  return pi == p.size();
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
