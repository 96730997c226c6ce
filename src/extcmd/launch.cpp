#include "extcmd/launch.h"
#include "extcmd/extcmd_ids.h"
#include "base/commands.h"
#include "base/globals.h"
#include "config/settings.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "screen/keybar.h"
#include "screen/screen.h"
#include "screen/screendc.h"
#include "ui/msgdlg.h"
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

static const char noMemoryText[] = "ｺﾏﾝﾄﾞの解析に必要なﾒﾓﾘｰがありません";

// The cursor entry, copied out of the FileTable: dialogs may let the listing be re-read.
struct CursorEntry {
    bool present, dotEntry;
    char longName[PATH_BUFFER];
    char shortName[16];
    char extension[8];
};

static void ReadCursorEntry(CursorEntry *entry)
{
    memset(entry, 0, sizeof *entry);
    LockFileTable();
    if (!NoFiles && PageTop + CursorSlot < EntryCount) {
        const FileEntry *e = EntryAt(PageTop + CursorSlot);
        entry->present = true;
        entry->dotEntry = IsDotEntry(e);
        lstrcpynA(entry->longName, LongNameAt(PageTop + CursorSlot), sizeof entry->longName);
        lstrcpynA(entry->shortName, e->shortName, sizeof entry->shortName);
        lstrcpynA(entry->extension, e->shortExt, sizeof entry->extension);
        UpperAscii(entry->extension);
    }
    UnlockFileTable();
}

static void EnterCurrentPath()
{
    char path[PATH_BUFFER];
    lstrcpynA(path, CurrentPath, sizeof path);
    StripBackslash(path);
    SetCurrentDirectoryA(path);
}

static void StartHidden(const char *line)
{
    ShowHourglass();
    WinExec(line, SW_SHOWNORMAL);
    HideHourglass();
}

static void FullPathOf(const char *currentPath, const char *name, char *out)
{
    lstrcpynA(out, currentPath, PATH_BUFFER);
    AppendBackslash(out);
    size_t used = strlen(out);
    lstrcpynA(out + used, name, (int)(PATH_BUFFER - used));
}

// The short form of a path; the path itself when the system has none.
static void ShortForm(const char *path, char *out)
{
    DWORD n = GetShortPathNameA(path, out, PATH_BUFFER);
    if (n == 0 || n >= PATH_BUFFER)
        lstrcpynA(out, path, PATH_BUFFER);
}

static void LastComponent(const char *path, char *out)
{
    const char *name = path;
    for (const char *p = path; *p; p += CharLength(p))
        if (*p == '\\')
            name = p + 1;
    lstrcpynA(out, name, PATH_BUFFER);
}

// A directory as $P shows it: no final backslash, and only the drive for a root.
static void MacroDirectory(char *dir)
{
    if (IsRootPath(dir) && dir[1] == ':')
        dir[2] = '\0';
    else if (strlen(dir) > 3 && EndsWithBackslash(dir))
        dir[strlen(dir) - 1] = '\0';
}

void EntryShortName(const char *currentPath, const char *longName, const char *shortName, char *out)
{
    size_t shortLength = strlen(shortName);
    bool cut = strlen(longName) > shortLength && _strnicmp(longName, shortName, shortLength) == 0;
    if (!cut) {
        lstrcpynA(out, shortName, PATH_BUFFER);
        return;
    }
    // The listing keeps a long name without a short one cut to its field: ask the file system.
    char full[PATH_BUFFER], brief[PATH_BUFFER];
    FullPathOf(currentPath, longName, full);
    DWORD n = GetShortPathNameA(full, brief, sizeof brief);
    if (n == 0 || n >= sizeof brief)
        lstrcpynA(out, longName, PATH_BUFFER);
    else
        LastComponent(brief, out);
}

void FillMacroValues(const char *currentPath, const char *longName, const char *shortName, MacroValueBuffers *b,
                     MacroValues *values)
{
    lstrcpynA(b->name, longName, PATH_BUFFER);
    EntryShortName(currentPath, longName, shortName, b->shortName);
    FullPathOf(currentPath, longName, b->path);
    ShortForm(b->path, b->shortPath);
    lstrcpynA(b->dir, currentPath, PATH_BUFFER);
    ShortForm(b->dir, b->shortDir);
    MacroDirectory(b->dir);
    MacroDirectory(b->shortDir);
    values->name = b->name;
    values->shortName = b->shortName;
    values->path = b->path;
    values->shortPath = b->shortPath;
    values->dir = b->dir;
    values->shortDir = b->shortDir;
}

// --- External commands ---------------------------------------------------------------------

struct ExtRun {
    HWND starter;
};

static bool EditOptions(void *context, char *line, size_t size)
{
    ExtRun *run = (ExtRun *)context;
    return CommandInputDialog(run->starter, IDD_EXTCMD_OPTIONS, NULL, line, size, (int)size - 1, -1,
                              INPUT_HISTORY | INPUT_INSERT_NAME) == 1;
}

static void StartCommand(void *, const char *line)
{
    WinExec(line, SW_SHOWNORMAL);
}

static bool BreakOff(void *)
{
    return IsShifted();
}

// The marked entries in display order with both names, or the cursor entry alone when none
// is marked. names and the strings live in one block the caller frees.
static MacroName *CollectNames(const char *currentPath, int *count)
{
    *count = 0;
    LockFileTable();
    int marked = 0;
    for (int i = 0; i < EntryCount && !NoFiles; i++)
        if (EntryAt(i)->mark)
            marked++;
    int slots = marked ? marked : 1;
    size_t bytes = slots * (sizeof(MacroName) + 2 * PATH_BUFFER);
    MacroName *names = (MacroName *)LocalAlloc(LMEM_FIXED, bytes);
    if (names) {
        char *text = (char *)(names + slots);
        for (int i = 0; i < EntryCount && !NoFiles; i++) {
            bool take = marked ? EntryAt(i)->mark != 0 : i == PageTop + CursorSlot;
            if (!take)
                continue;
            MacroName *n = &names[(*count)++];
            n->longName = text;
            lstrcpynA(text, LongNameAt(i), PATH_BUFFER);
            text += PATH_BUFFER;
            n->shortName = text;
            EntryShortName(currentPath, LongNameAt(i), EntryAt(i)->shortName, text);
            text += PATH_BUFFER;
        }
    }
    UnlockFileTable();
    return names;
}

static void ReportNoMemory(HWND owner, const char *caption)
{
    MessageDialog(owner, noMemoryText, caption, 16);
}

void RunExtCommand(HWND starter, int index)
{
    if (index < 0 || index >= EXTCMD_COUNT)
        return;
    char *buffer = (char *)LocalAlloc(LMEM_FIXED, 2 * EXPAND_BUFFER);
    if (!buffer) {
        ReportNoMemory(starter, "Kelpo - ExtCommand");
        return;
    }
    EnterCurrentPath();
    CursorEntry cursor;
    ReadCursorEntry(&cursor);
    MacroValueBuffers *valueBuffers = (MacroValueBuffers *)LocalAlloc(LMEM_FIXED, sizeof(MacroValueBuffers));
    MacroValues values = {};
    MacroPlan plan = {};
    int count = 0;
    MacroName *names = NULL;
    bool fits = false;
    if (valueBuffers) {
        FillMacroValues(CurrentPath, cursor.present ? cursor.longName : "", cursor.shortName, valueBuffers, &values);
        fits = ExpandMacroLine(ExtCommandLine[index], &values, buffer, EXPAND_BUFFER, &plan);
        names = CollectNames(CurrentPath, &count);
    }
    MacroRunResult result = MACRO_RUN_TOO_LONG;
    if (fits && names) {
        if (ExtCommandDir[index][0]) {
            char dir[PATH_BUFFER];
            lstrcpynA(dir, ExtCommandDir[index], sizeof dir);
            StripBackslash(dir);
            SetCurrentDirectoryA(dir);
        }
        ExtRun run = {starter};
        MacroRunHooks hooks = {EditOptions, StartCommand, BreakOff, &run};
        result = RunMacroSeries(buffer, &plan, names, count, buffer + EXPAND_BUFFER, EXPAND_BUFFER, &hooks);
    }
    if (names)
        LocalFree(names);
    if (valueBuffers)
        LocalFree(valueBuffers);
    LocalFree(buffer);
    // A line that does not fit is refused as a whole: a shortened one would be another command.
    if (result == MACRO_RUN_TOO_LONG)
        ReportNoMemory(starter, "Kelpo - ExtCommand");
    else if (plan.activate)
        SetForegroundWindow(starter);
    EnterCurrentPath();
}

// --- Editor --------------------------------------------------------------------------------

int EditorLineNumber(int firstShownLine, int disprow)
{
    int line = firstShownLine + (disprow + 6) / 2;
    return line < 0 ? 0 : line;
}

static int CountOccurrences(const char *text, const char *search)
{
    int n = 0;
    size_t length = strlen(search);
    for (const char *p = text; *p;) {
        if (strncmp(p, search, length) == 0) {
            n++;
            p += length;
        } else {
            p += CharLength(p);
        }
    }
    return n;
}

// ReplaceAll, but only when every replacement fits.
static bool ReplaceEvery(char *buffer, size_t size, const char *search, const char *replacement)
{
    int n = CountOccurrences(buffer, search);
    size_t needed = strlen(buffer) + n * strlen(replacement) - n * strlen(search) + 1;
    if (needed > size)
        return false;
    if (n)
        ReplaceAll(buffer, search, replacement, size);
    return true;
}

bool BuildEditorCommand(const char *editor, const char *currentPath, const char *longName, bool dotEntry, int line,
                        char *out, size_t size, bool *mustAsk)
{
    *mustAsk = dotEntry;
    if (strlen(editor) >= size)
        return false;
    strcpy(out, editor);
    if (*mustAsk)
        return true;
    char number[16], full[PATH_BUFFER + 2];
    snprintf(number, sizeof number, "%d", line);
    if (!ReplaceEvery(out, size, "$L", number))
        return false;
    FullPathOf(currentPath, longName, full);
    QuoteIfSpaced(full, sizeof full);
    if (CountOccurrences(out, "$F"))
        return ReplaceEvery(out, size, "$F", full);
    if (strlen(out) + 1 + strlen(full) + 1 > size)
        return false;
    strcat(out, " ");
    strcat(out, full);
    return true;
}

void EditorCommand(HWND hwnd)
{
    RunEditor(hwnd, 1, -1);
}

void RunEditor(HWND owner, int ask, int viewerFirstLine)
{
    CursorEntry cursor;
    ReadCursorEntry(&cursor);
    if (!cursor.present)
        return;
    int line = viewerFirstLine >= 0 ? EditorLineNumber(viewerFirstLine, Settings.disprow) : 0;
    char command[EDITOR_COMMAND];
    bool mustAsk;
    if (!BuildEditorCommand(EditorPath, CurrentPath, cursor.longName, cursor.dotEntry, line, command,
                            sizeof command - 1, &mustAsk)) {
        ReportNoMemory(owner, "Kelpo - Editor");
        return;
    }
    if (ask || mustAsk) {
        strcat(command, " ");
        if (!CommandInputDialog(owner, IDD_EXEC, "Kelpo - Editor", command, sizeof command, sizeof command - 1, -1, 0))
            return;
    }
    if (TrimTrailingSpaces(command))
        StartHidden(command);
}

// --- eXec, sHell, external viewer ----------------------------------------------------------

// The extensions whose names take the caret at the end of the eXec dialog.
static const char *const caretAtEnd[] = {"EXE", "COM", "PIF", "BAT", "LNK"};
// The extensions Enter hands to eXec.
static const char *const enterExecutes[] = {"EXE", "COM", "PIF", "LNK"};

template <size_t N> static bool ExtensionIn(const char *extension, const char *const (&list)[N])
{
    for (const char *p : list)
        if (strcmp(extension, p) == 0)
            return true;
    return false;
}

static void Execute(HWND hwnd, bool mayAsk)
{
    CursorEntry cursor;
    ReadCursorEntry(&cursor);
    if (!cursor.present)
        return;
    char line[PATH_BUFFER + 2];
    lstrcpynA(line, cursor.longName, PATH_BUFFER);
    if (strchr(line, ' '))
        EntryShortName(CurrentPath, cursor.longName, cursor.shortName, line);
    strcat(line, " ");
    if (mayAsk && !IsShifted()) {
        int caret = ExtensionIn(cursor.extension, caretAtEnd) ? -1 : 0;
        if (!CommandInputDialog(hwnd, IDD_EXEC, NULL, line, PATH_BUFFER, 260, caret, INPUT_HISTORY))
            return;
    }
    if (!TrimTrailingSpaces(line))
        return;
    ShowHourglass();
    EnterCurrentPath();
    if (WinExec(line, SW_SHOWNORMAL) <= 31 &&
        (INT_PTR)ShellExecuteA(hwnd, NULL, line, NULL, NULL, SW_SHOWNORMAL) <= 31 &&
        !ExtensionIn(cursor.extension, enterExecutes)) {
        // Enter on a program would only come back here, endlessly while Shift is held.
        PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
    }
    HideHourglass();
}

void ExecCommand(HWND hwnd)
{
    Execute(hwnd, true);
}

void ExecAtOnceCommand(HWND hwnd)
{
    Execute(hwnd, false);
}

void ShellCommand(HWND hwnd)
{
    char text[SHELL_TEXT] = "";
    char interpreter[260];
    DWORD n = 0;
    if (CommandInputDialog(hwnd, IDD_SHELL, NULL, text, sizeof text, sizeof text - 1, -1,
                           INPUT_HISTORY | INPUT_INSERT_NAME))
        n = GetEnvironmentVariableA("COMSPEC", interpreter, 257);
    if (n > 0 && n <= 256) {
        EnterCurrentPath();
        char line[sizeof interpreter + SHELL_TEXT + 8];
        TrimTrailingSpaces(text);
        if (text[0])
            snprintf(line, sizeof line, "%s /c %s", interpreter, text);
        else
            lstrcpynA(line, interpreter, sizeof line);
        StartHidden(line);
    }
    RedrawPlainKeyBar(hwnd);
}

bool OpenExternalViewer(HWND)
{
    if (!ExtViewerPath[0])
        return false;
    CursorEntry cursor;
    ReadCursorEntry(&cursor);
    if (!cursor.present)
        return true;
    char viewer[PATH_BUFFER], full[PATH_BUFFER + 2], line[2 * PATH_BUFFER + 4];
    ShortForm(ExtViewerPath, viewer);
    FullPathOf(CurrentPath, cursor.longName, full);
    QuoteIfSpaced(full, sizeof full);
    snprintf(line, sizeof line, "%s %s", viewer, full);
    StartHidden(line);
    return true;
}
