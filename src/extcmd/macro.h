// The "$" macro language of the external commands, without any window or file-system access:
// the caller supplies the values, the marked names and what a run does.
#pragma once
#include <stddef.h>

enum { EXPAND_BUFFER = 32768 };

enum MacroListMode {
    MACRO_LIST_NONE,
    MACRO_LIST_TEN,         // $T: at most ten names, one run
    MACRO_LIST_REPEAT,      // $TA: ten names per run until all are passed
    MACRO_LIST_EACH,        // $M: one name per run
};

// Upper-case macros take the long forms, lower-case ones the short forms.
struct MacroValues {
    const char *name, *shortName;       // $C $c: the cursor entry
    const char *path, *shortPath;       // $F $f: its full path
    const char *dir, *shortDir;         // $P $p: the listed directory, no final backslash ("C:" for a root)
};

struct MacroName {
    const char *longName, *shortName;
};

struct MacroPlan {
    MacroListMode mode;
    bool shortNames;        // the list macro was written in lower case
    bool noExtension;       // $XT, $XTA or $XM: names go without extension
    bool noDialog;          // $R
    bool activate;          // $K
};

// Expands every macro but the list macro into buffer and cuts the line where the list macro
// stood (the names go there). Values are inserted once and never scanned for macros again;
// "$$" stays as it is. False when the result does not fit in size bytes.
bool ExpandMacroLine(const char *line, const MacroValues *values, char *buffer, size_t size, MacroPlan *plan);

// The name without its last extension: the text after the last dot goes with the dot.
void StripExtension(const char *name, char *out, size_t size);

// Appends the names of one run, from names[*next] on, each after a blank except the first of
// the run: ten (or one, for $M) at most. Returns how many were appended, or -1 when they do not
// fit (nothing is appended then).
int AppendRunNames(const MacroPlan *plan, const MacroName *names, int count, int *next, char *buffer, size_t size);

// What a series of runs does; the window-free core of an external command.
struct MacroRunHooks {
    bool (*edit)(void *context, char *line, size_t size);   // the option dialog; false = cancel
    void (*start)(void *context, const char *line);
    bool (*breakOff)(void *context);                        // asked after each run of a series
    void *context;
};

enum MacroRunResult { MACRO_RUN_DONE, MACRO_RUN_CANCELLED, MACRO_RUN_TOO_LONG };

// Runs the expanded line once, or once per group of names in a list mode (names are the marked
// entries in display order, or the cursor entry alone when none is marked). work is the buffer
// of a run, size bytes. Empty lines are not started.
MacroRunResult RunMacroSeries(const char *expanded, const MacroPlan *plan, const MacroName *names, int count,
                              char *work, size_t size, const MacroRunHooks *hooks);
