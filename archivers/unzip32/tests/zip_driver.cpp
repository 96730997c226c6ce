// Command-line driver for the peer test and the benchmark: runs one "UnZip" command read from
// a file, or lists an archive and prints the fields the filer's column rules read from it.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "listing_columns.h"

typedef int(WINAPI* UnZipFn)(HWND, LPCSTR, LPSTR, DWORD);

static bool ReadText(const char* path, std::string& text) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  fclose(f);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return true;
}

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);
  if (argc < 3) {
    fprintf(stderr, "usage: zip_driver run CMDFILE | time CMDFILE | list ARCHIVE [BUFSIZE]\n");
    return 2;
  }
  HMODULE h = LoadLibraryA("UNZIP32.DLL");
  UnZipFn unzip = h ? reinterpret_cast<UnZipFn>(reinterpret_cast<void*>(GetProcAddress(h, "UnZip"))) : nullptr;
  if (!unzip) {
    fprintf(stderr, "UNZIP32.DLL or its UnZip entry missing\n");
    return 3;
  }
  std::string mode = argv[1];
  if (mode == "list") {
    DWORD size = argc > 3 ? DWORD(atol(argv[3])) : 64u << 20;
    std::vector<char> buf(size);
    std::string cmd = std::string("-l --i \"") + argv[2] + "\"";
    int r = unzip(nullptr, cmd.c_str(), buf.data(), size);
    buf[size - 1] = '\0';
    std::string text = buf.data();
    printf("count\t%ld\n", ListingCount(text));
    for (const ColumnRecord& c : ListingRecords(text)) {
      std::string method = c.method;
      while (!method.empty() && method.back() == ' ') method.pop_back();
      printf("%s\t%lu\t%lu\t%04d-%02d-%02d %02d:%02d:%02d\t%08lx\t%s\t%s\n", c.name.c_str(), (unsigned long)c.size,
             (unsigned long)c.compSize, c.year, c.month, c.day, c.hour, c.minute, c.second, (unsigned long)c.crc,
             method.c_str(), c.attr.c_str());
    }
    return r == 0 ? 0 : 1;
  }
  std::string cmd;
  if (!ReadText(argv[2], cmd)) {
    fprintf(stderr, "cannot read %s\n", argv[2]);
    return 2;
  }
  std::vector<char> buf(65536);
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  int r = unzip(nullptr, cmd.c_str(), buf.data(), DWORD(buf.size()));
  QueryPerformanceCounter(&t1);
  if (mode == "time") printf("seconds %.6f\n", double(t1.QuadPart - t0.QuadPart) / double(f.QuadPart));
  else fputs(buf.data(), stdout);
  return r == 0 ? 0 : (r & 0xFF) ? (r & 0xFF) : 1;
}
