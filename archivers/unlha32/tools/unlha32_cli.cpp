// Runs one "Unlha" command from the command line through UNLHA32.DLL, loaded by name like
// the filer does; prints the library's log and exits with its result. Used by the tests
// with other LHA programs and by the benchmarks.
#include <windows.h>

#include <cstdio>
#include <string>

typedef int(WINAPI *UnlhaFn)(HWND, LPCSTR, LPSTR, DWORD);

int main(int argc, char **argv)
{
    std::string line;
    for (int i = 1; i < argc; i++) {
        if (i > 1) line += ' ';
        std::string a = argv[i];
        bool quote = a.find(' ') != std::string::npos || a.empty();
        line += quote ? "\"" + a + "\"" : a;
    }
    HMODULE dll = LoadLibraryA("UNLHA32.DLL");
    if (!dll) {
        fprintf(stderr, "UNLHA32.DLL not found\n");
        return 255;
    }
    UnlhaFn unlha = (UnlhaFn)(void *)GetProcAddress(dll, "Unlha");
    if (!unlha) return 254;
    static char out[1 << 20];
    LARGE_INTEGER f, t0, t1;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t0);
    int rc = unlha(NULL, line.c_str(), out, sizeof out);
    QueryPerformanceCounter(&t1);
    fputs(out, stdout);
    // The time inside the library, without the start-up of the process.
    if (getenv("UNLHA32_TIME")) fprintf(stderr, "seconds %.6f\n", (double)(t1.QuadPart - t0.QuadPart) / f.QuadPart);
    FreeLibrary(dll);
    return rc == 0 ? 0 : (rc & 0xFF) ? (rc & 0xFF) : 1;
}
