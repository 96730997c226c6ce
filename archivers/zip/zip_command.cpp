// The command language of the "UnZip" entry: listing and extraction to disk.
#include "zip.h"
#include "zip_fs.h"

#include <cstdio>
#include <memory>
#include <unordered_map>

namespace {

const size_t kMaxResponseFile = 4 * 1024 * 1024;

bool ReadFromFile(void* ctx, uint64_t offset, void* buf, size_t len) {
  return ZipFsReadAt(static_cast<ZipFile*>(ctx), offset, buf, len);
}

struct FileCloser {
  void operator()(ZipFile* f) const { ZipFsClose(f); }
};
typedef std::unique_ptr<ZipFile, FileCloser> FileHandle;

struct Options {
  bool list = false, extract = false, overwrite = false, keepSilently = false;
  std::string archive, dest;
  std::vector<std::string> patterns;
};

void Keep(int& result, int code) {
  if (result == ZIP_OK) result = code;
}

// Replaces every "@file" word by the words of that file, line by line.
int ExpandResponseFiles(const std::vector<std::string>& in, std::vector<std::string>& out, std::string& log) {
  for (const std::string& w : in) {
    if (w.size() < 2 || w[0] != '@') {
      out.push_back(w);
      continue;
    }
    std::string text;
    if (!ZipFsReadWhole(w.substr(1), text, kMaxResponseFile)) {
      log += "cannot read the response file " + w.substr(1) + "\n";
      return ZIP_E_RESPONSE;
    }
    std::vector<std::string> words = ZipSplitWords(text);
    out.insert(out.end(), words.begin(), words.end());
  }
  return ZIP_OK;
}

bool IsDirectoryWord(const std::string& w) {
  return ZipEndsWithSeparator(w) || (w.size() == 2 && w[1] == ':') || ZipFsKind(w) == 2;
}

int ParseOptions(const std::vector<std::string>& words, Options& o, std::string& log) {
  std::vector<std::string> rest;
  for (const std::string& w : words) {
    if (o.archive.empty() && rest.empty() && w.size() > 1 && w[0] == '-') {
      if (w == "--i") continue;  // asks for the listing with fixed columns, which is the only one
      if (w[1] == '-') {
        log += "unknown switch " + w + "\n";
        return ZIP_E_USAGE;
      }
      for (size_t i = 1; i < w.size(); i++) {
        switch (w[i]) {
          case 'l': case 'v': o.list = true; break;
          case 'x': case 'e': o.extract = true; break;
          case 'o': o.overwrite = true; break;
          case 'n': o.keepSilently = true; break;
          default:
            log += "unknown switch " + w + "\n";
            return ZIP_E_USAGE;
        }
      }
      continue;
    }
    rest.push_back(w);
  }
  if (o.list == o.extract || rest.empty()) {
    log += "usage: -l [--i] \"archive\" | -x [-o|-n] \"archive\" [\"destination\\\"] [members...] | @responsefile\n";
    return ZIP_E_USAGE;
  }
  o.archive = rest[0];
  size_t first = 1;
  if (o.extract && rest.size() > 1 && IsDirectoryWord(rest[1])) {
    o.dest = rest[1];
    first = 2;
  }
  for (size_t i = first; i < rest.size(); i++) o.patterns.push_back(rest[i]);
  return ZIP_OK;
}

std::string MatchName(const ZipMember& m) {
  std::string n = ZipListedName(m);
  if (n.compare(0, 2, ".\\") == 0 && n.size() > 2 && n[2] == '-') n = n.substr(2);
  return n;
}

std::string WithoutDotPrefix(const std::string& rawPattern) {
  if (rawPattern.compare(0, 2, ".\\") == 0 || rawPattern.compare(0, 2, "./") == 0) return rawPattern.substr(2);
  return rawPattern;
}

bool Matches(const std::string& rawPattern, const std::string& name) {
  std::string p = WithoutDotPrefix(rawPattern);
  if (p == "*.*" || p == "*") return true;
  if (ZipEndsWithSeparator(p) && ZipWildMatch(p + "*", name)) return true;
  return ZipWildMatch(p, name);
}

typedef std::unordered_map<std::string, std::vector<size_t>> PatternsByKey;

bool MarkUsed(const PatternsByKey& table, const std::string& key, std::vector<bool>& used) {
  PatternsByKey::const_iterator it = table.find(key);
  if (it == table.end()) return false;
  for (size_t p : it->second) used[p] = true;
  return true;
}

// The members the patterns choose (all without patterns), in archive order; used[p] tells
// whether pattern p chose any. Patterns without wildcards are looked up by ZipMatchKey, a
// directory pattern by the key of each directory a member lies in, so that a response file
// naming every member does not match each name against each member.
std::vector<size_t> ChooseMembers(const ZipArchive& arc, const std::vector<std::string>& patterns,
                                  std::vector<bool>& used) {
  used.assign(patterns.size(), false);
  PatternsByKey names, dirs;
  std::vector<size_t> wild;
  for (size_t p = 0; p < patterns.size(); p++) {
    std::string s = WithoutDotPrefix(patterns[p]);
    if (s.find_first_of("*?") != std::string::npos) wild.push_back(p);
    else if (ZipEndsWithSeparator(s)) dirs[ZipMatchKey(s)].push_back(p);
    else names[ZipMatchKey(s)].push_back(p);
  }
  std::vector<size_t> chosen;
  for (size_t i = 0; i < arc.members.size(); i++) {
    std::string name = MatchName(arc.members[i]);
    std::string key = ZipMatchKey(name);
    bool take = patterns.empty();
    if (MarkUsed(names, key, used)) take = true;
    if (!dirs.empty())
      for (size_t k = 0; k < key.size(); k += ZipCharLen(key, k))
        if (key[k] == '/' && MarkUsed(dirs, key.substr(0, k + 1), used)) take = true;
    for (size_t p : wild)
      if (Matches(patterns[p], name)) take = used[p] = true;
    if (take) chosen.push_back(i);
  }
  return chosen;
}

// Creates dir and its missing parents; dir ends without a separator.
bool MakeDirs(const std::string& dir) {
  int kind = ZipFsKind(dir);
  if (kind == 2) return true;
  if (kind == 1 || dir.empty()) return false;
  size_t cut = std::string::npos;
  for (size_t i = 0; i < dir.size(); i += ZipCharLen(dir, i))
    if (dir[i] == '/' || dir[i] == '\\') cut = i;
  if (cut != std::string::npos && cut > 0 && !(cut == 2 && dir[1] == ':')) {
    if (!MakeDirs(dir.substr(0, cut))) return false;
  }
  return ZipFsMakeDir(dir) || ZipFsKind(dir) == 2;
}

struct WriteTarget {
  ZipFile* file;
};

bool WriteToFile(void* ctx, const void* data, size_t len) {
  return ZipFsWrite(static_cast<WriteTarget*>(ctx)->file, data, len);
}

uint32_t DosAttributesToApply(const ZipMember& m) {
  std::string t = ZipAttributeText(m);
  uint32_t a = 0;
  if (t[3] == 'R') a |= 0x01;
  if (t[2] == 'H') a |= 0x02;
  if (t[1] == 'S') a |= 0x04;
  return a;
}

ZipStamp StampOf(const ZipMember& m) {
  ZipStamp t = {m.ntfsTime, m.dosDate, m.dosTime};
  return t;
}

// One extraction run: where it goes, what it has done so far.
struct Extraction {
  const Options* o;
  std::string dest;
  std::string work;        // private directory for the temporary files, ends in a separator
  unsigned nextTemp = 0;
  std::string madeDir;     // the parent directory made or found last
  std::vector<std::pair<std::string, ZipStamp>> dirStamps;
  size_t extracted = 0, kept = 0, failed = 0;
  std::string log;
};

enum Fate { EXTRACTED, KEPT, IGNORED, FAILED };

bool MakeParent(Extraction& x, const std::string& parent) {
  if (parent.empty() || parent == x.madeDir) return true;
  if (!MakeDirs(parent.substr(0, parent.size() - 1))) return false;
  x.madeDir = parent;
  return true;
}

// Files are written under a temporary name in the private work directory and get their name
// only after the CRC check: per member one create of a name nobody else uses and one rename,
// since under emulation each lookup of an absent name scans the whole target directory.
int ExtractOne(const ZipSource& src, const ZipArchive& arc, const ZipMember& m, Extraction& x, Fate& fate) {
  fate = FAILED;
  std::string shown = ZipListedName(m);
  if (!m.nameProblem.empty()) {
    x.log += "refused (" + m.nameProblem + "): " + shown + "\n";
    return ZIP_E_UNSAFE_NAME;
  }
  if (m.isDir && ZipNamesDestination(m.name)) {
    fate = IGNORED;
    return ZIP_OK;
  }
  std::vector<std::string> parts;
  std::string why;
  if (!ZipSafeComponents(m.name, parts, why)) {
    x.log += "refused (" + why + "): " + shown + "\n";
    return ZIP_E_UNSAFE_NAME;
  }
  if (!m.isDir) {
    if (m.encrypted) {
      x.log += "not extracted, encrypted: " + shown + "\n";
      return ZIP_E_ENCRYPTED;
    }
    if (m.method != 0 && m.method != 8) {
      x.log += "not extracted, method " + ZipMethodText(m) + " not supported: " + shown + "\n";
      return ZIP_E_METHOD;
    }
  }
  std::string parent = x.dest;
  for (size_t i = 0; i + 1 < parts.size(); i++) parent += parts[i] + kZipPathSep;
  std::string target = parent + parts.back();
  if (m.isDir) {
    if (!MakeDirs(target)) {
      x.log += "cannot create the directory " + target + "\n";
      return ZIP_E_WRITE;
    }
    x.dirStamps.push_back(std::make_pair(target, StampOf(m)));
    x.log += "  created: " + shown + "\n";
    fate = EXTRACTED;
    return ZIP_OK;
  }
  if (!MakeParent(x, parent)) {
    x.log += "cannot create the directory " + parent + "\n";
    return ZIP_E_WRITE;
  }
  std::string temp;
  ZipFile* f = x.work.empty() ? nullptr : ZipFsCreateNumbered(x.work, x.nextTemp++, &temp);
  if (!f) {
    x.log += "cannot create a temporary file in " + (x.work.empty() ? x.dest : x.work) + "\n";
    return ZIP_E_WRITE;
  }
  WriteTarget wt = {f};
  int r = ZipDecodeMember(src, arc, m, WriteToFile, &wt);
  if (r != ZIP_OK) {
    ZipFsClose(f);
    ZipFsRemove(temp);
    x.log += std::string("not extracted, ") + ZipResultText(r) + ": " + shown + "\n";
    return r;
  }
  // The target is looked at only when it blocks the rename.
  if (!ZipFsCommit(f, temp, target, x.o->overwrite, StampOf(m))) {
    ZipFsRemove(temp);
    int kind = ZipFsKind(target);
    if (kind == 2) {
      x.log += "a directory of that name exists: " + target + "\n";
      return ZIP_E_WRITE;
    }
    if (kind == 1 && !x.o->overwrite) {
      x.log += "existing file kept: " + target + "\n";
      if (!x.o->keepSilently) return ZIP_E_EXISTS;
      fate = KEPT;
      return ZIP_OK;
    }
    x.log += "cannot write " + target + "\n";
    return ZIP_E_WRITE;
  }
  uint32_t attr = DosAttributesToApply(m);
  if (attr) ZipFsSetDosAttributes(target, attr);
  x.log += "  extracted: " + shown + "\n";
  fate = EXTRACTED;
  return ZIP_OK;
}

// A private directory for the temporary files keeps their lookups off crowded directories and
// makes every temporary name unique without probing.
std::string MakeWorkDir(const std::string& dest) {
  unsigned seed = ZipFsUniqueSeed();
  for (unsigned i = 0; i < 16; i++) {
    char name[32];
    snprintf(name, sizeof name, "~kzwork%08X.tmp", seed + i * 0x9E3779B1u);
    std::string w = dest + name;
    if (ZipFsMakeDir(w)) return w + kZipPathSep;
  }
  return std::string();
}

}  // namespace

int ZipRunCommand(const std::string& cmdline, std::string& out, size_t outLimit) {
  out.clear();
  std::string log;
  std::vector<std::string> words;
  int r = ExpandResponseFiles(ZipSplitWords(cmdline), words, log);
  Options o;
  if (r == ZIP_OK) r = ParseOptions(words, o, log);
  if (r != ZIP_OK) {
    out = log;
    return r;
  }
  uint64_t size = 0;
  FileHandle file(ZipFsOpenRead(o.archive, &size));
  if (!file) {
    out = "cannot open the archive " + o.archive + "\n";
    return ZIP_E_ARCHIVE_OPEN;
  }
  ZipSource src;
  src.ctx = file.get();
  src.size = size;
  src.read = ReadFromFile;
  ZipArchive arc;
  r = ZipReadDirectory(src, arc, &log);
  if (r != ZIP_OK) {
    out = log;
    return r;
  }
  std::vector<bool> used;
  std::vector<size_t> chosen = ChooseMembers(arc, o.patterns, used);
  int result = ZIP_OK;
  for (size_t p = 0; p < o.patterns.size(); p++)
    if (!used[p]) {
      log += "no member matches " + o.patterns[p] + "\n";
      Keep(result, ZIP_E_NO_MATCH);
    }
  if (o.list) {
    ZipArchive shown;
    shown.zip64 = arc.zip64;
    for (size_t i : chosen) shown.members.push_back(arc.members[i]);
    out = ZipFormatListing(shown, outLimit);
    if (out.empty()) return ZIP_E_MEMORY;
    return result;
  }
  Extraction x;
  x.o = &o;
  x.log.swap(log);
  x.dest = o.dest;
  std::string& dest = x.dest;
  if (!dest.empty() && !ZipEndsWithSeparator(dest) && !(dest.size() == 2 && dest[1] == ':')) dest += kZipPathSep;
  if (!dest.empty() && !(dest.size() == 2 && dest[1] == ':') && !MakeDirs(dest.substr(0, dest.size() - 1))) {
    out = x.log + "cannot create the destination " + dest + "\n";
    return ZIP_E_WRITE;
  }
  for (size_t i : chosen)
    if (!arc.members[i].isDir) {
      x.work = MakeWorkDir(dest);
      break;
    }
  for (size_t i : chosen) {
    Fate fate;
    Keep(result, ExtractOne(src, arc, arc.members[i], x, fate));
    if (fate == EXTRACTED) x.extracted++;
    else if (fate == KEPT) x.kept++;
    else if (fate == FAILED) x.failed++;
  }
  if (!x.work.empty()) ZipFsRemoveDir(x.work.substr(0, x.work.size() - 1));
  // Last, as writing into a directory changes its time.
  for (const auto& d : x.dirStamps) ZipFsStampDir(d.first, d.second);
  out = std::to_string(x.extracted) + " members extracted, " + std::to_string(x.kept) + " kept, " +
        std::to_string(x.failed) + " not extracted\n" + x.log;
  return result;
}

bool ZipCheckArchiveFile(const std::string& path) {
  uint64_t size = 0;
  FileHandle file(ZipFsOpenRead(path, &size));
  if (!file) return false;
  ZipSource src;
  src.ctx = file.get();
  src.size = size;
  src.read = ReadFromFile;
  ZipArchive arc;
  if (ZipReadDirectory(src, arc, nullptr) != ZIP_OK) return false;
  for (const ZipMember& m : arc.members)
    if (!m.localOk) return false;
  return true;
}

namespace {
struct CountingSink {
  uint64_t total;
};
bool CountBytes(void* ctx, const void*, size_t len) {
  CountingSink* c = static_cast<CountingSink*>(ctx);
  c->total += len;
  return c->total <= 64ull * 1024 * 1024;  // keeps a fuzzing run short on bombs
}
}  // namespace

int ZipFuzzOne(const uint8_t* data, size_t size) {
  MemorySource mem = {data, size};
  ZipSource src = ZipMemorySource(&mem);
  ZipArchive arc;
  std::string log;
  int r = ZipReadDirectory(src, arc, &log);
  if (r != ZIP_OK) return r;
  std::string listing = ZipFormatListing(arc, 65535);
  if (listing.empty() || listing.size() >= 65535) return ZIP_E_MEMORY;
  CountingSink sink = {0};
  int result = ZIP_OK;
  size_t n = 0;
  for (const ZipMember& m : arc.members) {
    std::vector<std::string> parts;
    std::string why;
    ZipSafeComponents(m.name, parts, why);
    ZipWildMatch("*a*?b", MatchName(m));
    if (++n > 256) break;
    if (m.isDir) continue;
    Keep(result, ZipDecodeMember(src, arc, m, CountBytes, &sink));
  }
  return result;
}
