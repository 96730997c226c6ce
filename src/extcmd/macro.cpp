#include "extcmd/macro.h"
#include "filelist/pathutil.h"
#include <windows.h>
#include <string.h>

enum TokenKind { TOKEN_KEEP, TOKEN_DIALOG_OFF, TOKEN_ACTIVATE, TOKEN_VALUE, TOKEN_LIST };
enum ValueIndex { V_NAME, V_SHORT_NAME, V_PATH, V_SHORT_PATH, V_BARE, V_SHORT_BARE, V_DIR, V_SHORT_DIR, V_DRIVE };

// rank orders the list macros as they are looked for: the first rank present wins.
struct MacroToken {
    const char *text;
    TokenKind kind;
    int value;              // ValueIndex, or for a list macro its rank
    const char *rewritten;  // a list macro that is not the chosen one stays in this form
    bool noExtension;
};

// Longest first, so that "$XTA" is never read as "$X" followed by "TA".
static const MacroToken tokens[] = {
    {"$$", TOKEN_KEEP, 0, "$$", false},
    {"$XTA", TOKEN_LIST, 0, "$TA", true},
    {"$xta", TOKEN_LIST, 1, "$ta", true},
    {"$XT", TOKEN_LIST, 2, "$T", true},
    {"$xt", TOKEN_LIST, 3, "$t", true},
    {"$XM", TOKEN_LIST, 4, "$M", true},
    {"$xm", TOKEN_LIST, 5, "$m", true},
    {"$TA", TOKEN_LIST, 0, "$TA", false},
    {"$ta", TOKEN_LIST, 1, "$ta", false},
    {"$T", TOKEN_LIST, 2, "$T", false},
    {"$t", TOKEN_LIST, 3, "$t", false},
    {"$M", TOKEN_LIST, 4, "$M", false},
    {"$m", TOKEN_LIST, 5, "$m", false},
    {"$R", TOKEN_DIALOG_OFF, 0, "", false},
    {"$r", TOKEN_DIALOG_OFF, 0, "", false},
    {"$K", TOKEN_ACTIVATE, 0, "", false},
    {"$k", TOKEN_ACTIVATE, 0, "", false},
    {"$C", TOKEN_VALUE, V_NAME, NULL, false},
    {"$c", TOKEN_VALUE, V_SHORT_NAME, NULL, false},
    {"$F", TOKEN_VALUE, V_PATH, NULL, false},
    {"$f", TOKEN_VALUE, V_SHORT_PATH, NULL, false},
    {"$X", TOKEN_VALUE, V_BARE, NULL, false},
    {"$x", TOKEN_VALUE, V_SHORT_BARE, NULL, false},
    {"$P", TOKEN_VALUE, V_DIR, NULL, false},
    {"$p", TOKEN_VALUE, V_SHORT_DIR, NULL, false},
    {"$D", TOKEN_VALUE, V_DRIVE, NULL, false},
    {"$d", TOKEN_VALUE, V_DRIVE, NULL, false},
};

// The list mode and name form of each rank.
static const MacroListMode rankMode[6] = {MACRO_LIST_REPEAT, MACRO_LIST_REPEAT, MACRO_LIST_TEN,
                                          MACRO_LIST_TEN,    MACRO_LIST_EACH,   MACRO_LIST_EACH};

static const MacroToken *TokenAt(const char *p)
{
    if (*p != '$')
        return NULL;
    for (const MacroToken &t : tokens)
        if (strncmp(p, t.text, strlen(t.text)) == 0)
            return &t;
    return NULL;
}

void StripExtension(const char *name, char *out, size_t size)
{
    int dot = -1;
    for (int i = 0; name[i]; i += CharLength(name + i))
        if (name[i] == '.')
            dot = i;
    size_t keep = dot >= 0 ? (size_t)dot : strlen(name);
    if (keep >= size)
        keep = size - 1;
    memmove(out, name, keep);
    out[keep] = '\0';
}

static const char *Text(const char *s)
{
    return s ? s : "";
}

static void ValueText(const MacroValues *values, int index, char *out, size_t size)
{
    out[0] = '\0';
    switch (index) {
    case V_NAME: lstrcpynA(out, Text(values->name), (int)size); break;
    case V_SHORT_NAME: lstrcpynA(out, Text(values->shortName), (int)size); break;
    case V_PATH: lstrcpynA(out, Text(values->path), (int)size); break;
    case V_SHORT_PATH: lstrcpynA(out, Text(values->shortPath), (int)size); break;
    case V_BARE: StripExtension(Text(values->name), out, size); break;
    case V_SHORT_BARE: StripExtension(Text(values->shortName), out, size); break;
    case V_DIR: lstrcpynA(out, Text(values->dir), (int)size); break;
    case V_SHORT_DIR: lstrcpynA(out, Text(values->shortDir), (int)size); break;
    case V_DRIVE: lstrcpynA(out, Text(values->dir), 3); break;
    }
}

static bool Append(char *buffer, size_t size, size_t *used, const char *text, size_t length)
{
    if (*used + length + 1 > size)
        return false;
    memcpy(buffer + *used, text, length);
    *used += length;
    buffer[*used] = '\0';
    return true;
}

bool ExpandMacroLine(const char *line, const MacroValues *values, char *buffer, size_t size, MacroPlan *plan)
{
    memset(plan, 0, sizeof *plan);
    if (size == 0)
        return false;
    buffer[0] = '\0';
    int chosen = 6;
    for (const char *p = line; *p; p += CharLength(p)) {
        const MacroToken *t = TokenAt(p);
        if (!t)
            continue;
        if (t->kind == TOKEN_DIALOG_OFF)
            plan->noDialog = true;
        else if (t->kind == TOKEN_ACTIVATE)
            plan->activate = true;
        else if (t->kind == TOKEN_LIST) {
            plan->noExtension |= t->noExtension;
            if (t->value < chosen)
                chosen = t->value;
        }
        p += strlen(t->text) - 1;
    }
    if (chosen < 6) {
        plan->mode = rankMode[chosen];
        plan->shortNames = (chosen & 1) != 0;
    }

    size_t used = 0;
    char value[PATH_BUFFER];
    for (const char *p = line; *p;) {
        const MacroToken *t = TokenAt(p);
        if (!t) {
            if (!Append(buffer, size, &used, p, (size_t)CharLength(p)))
                return false;
            p += CharLength(p);
            continue;
        }
        if (t->kind == TOKEN_LIST && t->value == chosen)
            break;
        const char *insert = t->rewritten;
        if (t->kind == TOKEN_VALUE) {
            ValueText(values, t->value, value, sizeof value);
            insert = value;
        }
        if (!Append(buffer, size, &used, insert, strlen(insert)))
            return false;
        p += strlen(t->text);
    }
    return true;
}

int AppendRunNames(const MacroPlan *plan, const MacroName *names, int count, int *next, char *buffer, size_t size)
{
    if (plan->mode == MACRO_LIST_NONE)
        return 0;
    int limit = plan->mode == MACRO_LIST_EACH ? 1 : 10;
    size_t used = strlen(buffer), start = used;
    int appended = 0, at = *next;
    char name[PATH_BUFFER];
    for (; at < count && appended < limit; at++) {
        const char *source = Text(plan->shortNames ? names[at].shortName : names[at].longName);
        if (plan->noExtension)
            StripExtension(source, name, sizeof name);
        else
            lstrcpynA(name, source, sizeof name);
        if ((appended > 0 && !Append(buffer, size, &used, " ", 1)) || !Append(buffer, size, &used, name, strlen(name))) {
            buffer[start] = '\0';
            return -1;
        }
        appended++;
    }
    *next = at;
    return appended;
}

MacroRunResult RunMacroSeries(const char *expanded, const MacroPlan *plan, const MacroName *names, int count,
                              char *work, size_t size, const MacroRunHooks *hooks)
{
    int next = 0;
    for (;;) {
        if (strlen(expanded) >= size)
            return MACRO_RUN_TOO_LONG;
        strcpy(work, expanded);
        if (plan->mode != MACRO_LIST_NONE) {
            int appended = AppendRunNames(plan, names, count, &next, work, size);
            if (appended < 0)
                return MACRO_RUN_TOO_LONG;
            if (appended == 0)
                return MACRO_RUN_DONE;
        }
        if (!plan->noDialog && !hooks->edit(hooks->context, work, size))
            return MACRO_RUN_CANCELLED;
        TrimTrailingSpaces(work);
        if (work[0])
            hooks->start(hooks->context, work);
        if (plan->mode == MACRO_LIST_NONE || plan->mode == MACRO_LIST_TEN)
            return MACRO_RUN_DONE;
        if (hooks->breakOff && hooks->breakOff(hooks->context))
            return MACRO_RUN_DONE;
    }
}
