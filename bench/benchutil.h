// What every benchmark sets up the same way: its directory and its clock.
#pragma once
#include <windows.h>

// Seconds from the performance counter (an arbitrary start).
double Now();

// The directory to work in: argv[1] when given, otherwise name in the temp folder.
// dir holds MAX_PATH bytes.
void BenchDirectory(int argc, char **argv, const char *name, char *dir);

// best becomes end - start when that is shorter: each figure is the best of its rounds.
void KeepBest(double &best, double start, double end);
