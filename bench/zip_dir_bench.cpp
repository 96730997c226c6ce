// Many files in one directory: UNZIP32.DLL extracting N small members into one folder against
// a bare CreateFileA/WriteFile/CloseHandle loop writing the same files, both under Wine in one
// run. Prints the ratio (library time / loop time) for 2,000 and 8,000 files, or the sizes given.
// Run: wine build/x64/zip_dir_bench.exe [N...]   (UNZIP32.DLL beside it or on the path)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "zip_writer.h"

namespace {

typedef int(WINAPI* UnZipFn)(HWND, LPCSTR, LPSTR, DWORD);

double Now() {
  LARGE_INTEGER f, t;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t);
  return double(t.QuadPart) / double(f.QuadPart);
}

void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string n = fd.cFileName;
      if (n == "." || n == "..") continue;
      std::string p = dir + "\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(p);
      else DeleteFileA(p.c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  RemoveDirectoryA(dir.c_str());
}

std::string Content(int i) {
  char b[64];
  std::string s;
  for (int k = 0; k < 1 + i % 12; k++) {
    wsprintfA(b, "line %d of member %d\r\n", k, i);
    s += b;
  }
  return s;
}

std::string MemberName(int i) {
  char b[64];
  wsprintfA(b, "member%05d.txt", i);
  return b;
}

double BareLoop(const std::string& dir, const std::vector<TestMember>& ms) {
  double t0 = Now();
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string base = dir + "\\many\\";
  CreateDirectoryA(base.c_str(), nullptr);
  for (const TestMember& m : ms) {
    std::string path = base + m.name.substr(5);
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      fprintf(stderr, "cannot create %s\n", path.c_str());
      exit(1);
    }
    DWORD put = 0;
    WriteFile(h, m.data.data(), DWORD(m.data.size()), &put, nullptr);
    CloseHandle(h);
  }
  return Now() - t0;
}

double Library(UnZipFn unzip, const std::string& arc, const std::string& dir, size_t count) {
  std::string cmd = "-x \"" + arc + "\" \"" + dir + "\\\" *.*";
  std::vector<char> out(65536);
  double t0 = Now();
  int r = unzip(nullptr, cmd.c_str(), out.data(), DWORD(out.size()));
  double t = Now() - t0;
  if (r != 0) {
    fprintf(stderr, "UnZip failed with %X: %.300s\n", r, out.data());
    exit(1);
  }
  unsigned long extracted = strtoul(out.data(), nullptr, 10);
  if (extracted != count) {
    fprintf(stderr, "UnZip extracted %lu of %lu members\n", extracted, (unsigned long)count);
    exit(1);
  }
  return t;
}

}  // namespace

int main(int argc, char** argv) {
  HMODULE h = LoadLibraryA("UNZIP32.DLL");
  UnZipFn unzip = h ? reinterpret_cast<UnZipFn>(reinterpret_cast<void*>(GetProcAddress(h, "UnZip"))) : nullptr;
  if (!unzip) {
    fprintf(stderr, "UNZIP32.DLL or its UnZip entry missing\n");
    return 3;
  }
  std::vector<int> sizes;
  for (int i = 1; i < argc; i++) sizes.push_back(atoi(argv[i]));
  if (sizes.empty()) sizes = {2000, 8000};
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  char name[64];
  wsprintfA(name, "kzbench%lu", GetCurrentProcessId());
  std::string root = std::string(tmp) + name;
  CreateDirectoryA(root.c_str(), nullptr);
  int worst = 0;
  for (int n : sizes) {
    std::vector<TestMember> ms;
    for (int i = 0; i < n; i++) {
      TestMember m;
      m.name = "many/" + MemberName(i);
      m.data = Content(i);
      ms.push_back(m);
    }
    std::string arc = root + "\\many.zip";
    std::string bytes = BuildZip(ms);
    HANDLE f = CreateFileA(arc.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD put = 0;
    WriteFile(f, bytes.data(), DWORD(bytes.size()), &put, nullptr);
    CloseHandle(f);
    // Alternating order, best of two, so that neither side profits from a warm cache alone.
    double bare = 1e9, ours = 1e9;
    for (int run = 0; run < 2; run++) {
      std::string a = root + "\\bare", b = root + "\\lib";
      double t1, t2;
      if (run == 0) {
        t1 = BareLoop(a, ms);
        t2 = Library(unzip, arc, b, ms.size());
      } else {
        t2 = Library(unzip, arc, b, ms.size());
        t1 = BareLoop(a, ms);
      }
      RemoveTree(a);
      RemoveTree(b);
      if (t1 < bare) bare = t1;
      if (t2 < ours) ours = t2;
    }
    double ratio = ours / bare;
    printf("%5d files in one directory: bare loop %.3f s, UNZIP32.DLL %.3f s, ratio %.2f (target at most 2)\n", n, bare,
           ours, ratio);
    fflush(stdout);
    if (ratio > 2.0) worst = 1;
  }
  RemoveTree(root);
  return worst;
}
