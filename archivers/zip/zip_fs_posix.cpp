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

ZipFile* ZipFsCreateTemp(const std::string& dir, std::string* path) {
  unsigned seed = unsigned(time(nullptr)) ^ (unsigned(getpid()) << 16);
  for (unsigned i = 0; i < 1000; i++) {
    char name[32];
    snprintf(name, sizeof name, "~kz%06X.tmp", (seed + i * 7919) & 0xFFFFFF);
    std::string full = dir + name;
    int fd = open(full.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd >= 0) {
      *path = full;
      return new ZipFile{fd};
    }
  }
  return nullptr;
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

bool ZipFsCommit(ZipFile* f, const std::string& temp, const std::string& target, bool replace, uint16_t dosDate,
                 uint16_t dosTime) {
  if (dosDate != 0) {
    struct tm t = {};
    t.tm_year = (dosDate >> 9) + 80;
    t.tm_mon = ((dosDate >> 5) & 15) - 1;
    t.tm_mday = dosDate & 31;
    t.tm_hour = dosTime >> 11;
    t.tm_min = (dosTime >> 5) & 63;
    t.tm_sec = (dosTime & 31) * 2;
    t.tm_isdst = -1;
    struct timespec ts[2];
    ts[0].tv_sec = ts[1].tv_sec = mktime(&t);
    ts[0].tv_nsec = ts[1].tv_nsec = 0;
    futimens(f->fd, ts);
  }
  bool ok = close(f->fd) == 0;
  delete f;
  if (!ok || (!replace && ZipFsKind(target) != 0)) return false;
  return rename(temp.c_str(), target.c_str()) == 0;
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

bool ZipUtf8ToSjis(const std::string& utf8, std::string& sjis) {
  sjis.clear();
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == (iconv_t)-1) {
    sjis = utf8;
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
      sjis += '_';
      exact = false;
    } else {
      sjis.append(out, size_t(op - out));
    }
    i += len;
  }
  iconv_close(cd);
  return exact;
}
