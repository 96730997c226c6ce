// The file layer on POSIX hosts, used by the fuzzing build.
#include "zip_fs.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>

struct ZipFile {
  int fd;
};

const char kZipPathSep = '/';

ZipFile* ZipFsOpenRead(const std::string& path, uint64_t* size) {
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return nullptr;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return nullptr;
  }
  *size = uint64_t(st.st_size);
  return new ZipFile{fd};
}

bool ZipFsReadAt(ZipFile* f, uint64_t offset, void* buf, size_t len) {
  char* p = static_cast<char*>(buf);
  while (len > 0) {
    ssize_t got = pread(f->fd, p, len, off_t(offset));
    if (got <= 0) return false;
    p += got;
    len -= size_t(got);
    offset += uint64_t(got);
  }
  return true;
}

unsigned ZipFsUniqueSeed() { return unsigned(time(nullptr)) ^ (unsigned(getpid()) << 16); }

ZipFile* ZipFsCreateNumbered(const std::string& dir, unsigned number, std::string* path) {
  std::string full = dir + "~kz" + std::to_string(number) + ".tmp";
  int fd = open(full.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return nullptr;
  *path = full;
  return new ZipFile{fd};
}

bool ZipFsWrite(ZipFile* f, const void* data, size_t len) {
  const char* p = static_cast<const char*>(data);
  while (len > 0) {
    ssize_t put = write(f->fd, p, len);
    if (put <= 0) return false;
    p += put;
    len -= size_t(put);
  }
  return true;
}

void ZipFsClose(ZipFile* f) {
  if (!f) return;
  close(f->fd);
  delete f;
}

namespace {

bool StampTime(const ZipStamp& when, struct timespec ts[2]) {
  if (when.ntfs != 0) {
    const uint64_t kUnixEpoch = 116444736000000000ull;  // 1970-01-01 in 100 ns units since 1601
    if (when.ntfs < kUnixEpoch) return false;
    ts[0].tv_sec = ts[1].tv_sec = time_t((when.ntfs - kUnixEpoch) / 10000000);
    ts[0].tv_nsec = ts[1].tv_nsec = long((when.ntfs - kUnixEpoch) % 10000000 * 100);
    return true;
  }
  if (when.dosDate == 0) return false;
  struct tm t = {};
  t.tm_year = (when.dosDate >> 9) + 80;
  t.tm_mon = ((when.dosDate >> 5) & 15) - 1;
  t.tm_mday = when.dosDate & 31;
  t.tm_hour = when.dosTime >> 11;
  t.tm_min = (when.dosTime >> 5) & 63;
  t.tm_sec = (when.dosTime & 31) * 2;
  t.tm_isdst = -1;
  ts[0].tv_sec = ts[1].tv_sec = mktime(&t);
  ts[0].tv_nsec = ts[1].tv_nsec = 0;
  return true;
}

}  // namespace

bool ZipFsCommit(ZipFile* f, const std::string& temp, const std::string& target, bool replace, const ZipStamp& when) {
  struct timespec ts[2];
  if (StampTime(when, ts)) futimens(f->fd, ts);
  bool ok = close(f->fd) == 0;
  delete f;
  if (!ok || (!replace && ZipFsKind(target) != 0)) return false;
  return rename(temp.c_str(), target.c_str()) == 0;
}

void ZipFsStampDir(const std::string& path, const ZipStamp& when) {
  struct timespec ts[2];
  if (StampTime(when, ts)) utimensat(AT_FDCWD, path.c_str(), ts, 0);
}

bool ZipFsRemove(const std::string& path) { return unlink(path.c_str()) == 0; }

int ZipFsKind(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return 0;
  return S_ISDIR(st.st_mode) ? 2 : 1;
}

bool ZipFsMakeDir(const std::string& path) { return mkdir(path.c_str(), 0755) == 0; }

bool ZipFsRemoveDir(const std::string& path) { return rmdir(path.c_str()) == 0; }

void ZipFsSetDosAttributes(const std::string& path, uint32_t dosAttr) {
  struct stat st;
  if ((dosAttr & 1) && stat(path.c_str(), &st) == 0) chmod(path.c_str(), st.st_mode & ~0222);
}

bool ZipFsReadWhole(const std::string& path, std::string& text, size_t maxBytes) {
  uint64_t size = 0;
  ZipFile* f = ZipFsOpenRead(path, &size);
  if (!f) return false;
  bool ok = size <= maxBytes;
  if (ok) {
    text.resize(size_t(size));
    ok = size == 0 || ZipFsReadAt(f, 0, &text[0], text.size());
  }
  ZipFsClose(f);
  return ok;
}

bool ZipUtf8ToAnsi(const std::string& utf8, std::string& ansi) {
  ansi.clear();
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == (iconv_t)-1) {
    ansi = utf8;
    return false;
  }
  bool exact = true;
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char c = utf8[i];
    size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (i + len > utf8.size()) len = utf8.size() - i;
    char in[4], out[16];
    for (size_t k = 0; k < len; k++) in[k] = utf8[i + k];
    char* ip = in;
    char* op = out;
    size_t il = len, ol = sizeof out;
    if (iconv(cd, &ip, &il, &op, &ol) == (size_t)-1 || il != 0) {
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      ansi += '?';
      exact = false;
    } else {
      ansi.append(out, size_t(op - out));
    }
    i += len;
  }
  iconv_close(cd);
  return exact;
}
