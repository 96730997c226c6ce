#include "benchutil.h"
#include <string.h>

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return (double)c.QuadPart / (double)f.QuadPart;
}

void BenchDirectory(int argc, char **argv, const char *name, char *dir)
{
    if (argc > 1) {
        lstrcpynA(dir, argv[1], MAX_PATH);
    } else {
        GetTempPathA(MAX_PATH, dir);
        lstrcpynA(dir + strlen(dir), name, MAX_PATH - (int)strlen(dir));
    }
}

void KeepBest(double &best, double start, double end)
{
    if (end - start < best)
        best = end - start;
}
