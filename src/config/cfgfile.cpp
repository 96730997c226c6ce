#include "config/cfgfile.h"
#include "config/registry.h"
#include "config/settings.h"
#include "screen/cursor.h"
#include "screen/repaint.h"
#include "base/globals.h"
#include "filelist/filetable.h"
#include "filelist/pathutil.h"
#include "ui/filedlg.h"
#include "ui/msgdlg.h"
#include "config_ids.h"
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum { SETTINGS_FILE_LIMIT = 1 << 20, EXT_VALUE = 548, STRING_VALUE = 500, NUMBER_VALUE = 20 };

// The keys of each section in the order they are written.
struct FileSection {
    int noteId, nameId;
    SettingFileSection section;
    const char *keys[21];
};
static const FileSection fileSections[] = {
    {IDS_CFG_FILER_NOTE, IDS_CFG_FILER, CFG_FILER,
     {"dispmode", "dispsubmode", "namesmall", "lnamepos", "sideline", "realsize", "dirmark", "curpage", "sortmode",
      "sortdir", "presort", "treemode", "treesave", "cspace", "dirtime", "retdel", "altenable", "weeksw", "timesw",
      "secsw", NULL}},
    {IDS_CFG_VIEWER_NOTE, IDS_CFG_VIEWER, CFG_VIEWER, {"extviewer", "viewcr", "tab", NULL}},
    {IDS_CFG_ARCHIVER_NOTE, IDS_CFG_ARCHIVER, CFG_ARCHIVER, {"extarchiver", "packmode", NULL}},
    {IDS_CFG_ALL_NOTE, IDS_CFG_ALL, CFG_ALL, {"fkeynum", "clipmode", "editor", NULL}},
    {IDS_CFG_COLORS_NOTE, IDS_CFG_COLORS, CFG_COLORS, {"realcol", NULL}},
};

static std::string LoadText(int id)
{
    char text[2048];
    HINSTANCE instance = ResourceInstance();
    int n = LoadStringA(instance, id, text, sizeof text);
    return std::string(text, n > 0 ? n : 0);
}

static void AppendCrLf(std::string &out, const std::string &text)
{
    for (char c : text) {
        if (c == '\n')
            out += "\r\n";
        else
            out += c;
    }
}

static void AppendNumber(std::string &out, const char *key, int value)
{
    char line[64];
    snprintf(line, sizeof line, "%s=%d\r\n", key, value & 0xFF);
    out += line;
}

static void AppendColor(std::string &out, const char *key, COLORREF color)
{
    char line[64];
    snprintf(line, sizeof line, "%s=%d,%d,%d\r\n", key, GetRValue(color), GetGValue(color), GetBValue(color));
    out += line;
}

static void AppendKey(std::string &out, const char *key)
{
    if (strcmp(key, "dispsubmode") == 0) {
        AppendNumber(out, key, Settings.dispsubmode);
        return;
    }
    const SettingField *f = FindSettingByFileKey(key);
    if (!f)
        return;
    switch (f->kind) {
    case SET_BYTE:
    case SET_DISPMODE:
        AppendNumber(out, key, *SettingByte(f));
        break;
    case SET_PACKMODE:
        out += std::string(key) + "=" + std::string(1, Settings.packmode) + "\r\n";
        break;
    case SET_EDITOR:
    case SET_STRING:
        out += std::string(key) + "=" + (*f->text ? *f->text : "") + "\r\n";
        break;
    default:
        break;
    }
}

std::string ExtCommandValue(const char *title, const char *command)
{
    if (!title[0] && !command[0])
        return "";
    std::string escaped;
    for (const char *p = title; *p; p++) {
        if (*p == '"')
            escaped += '\\';
        escaped += *p;
    }
    if (strchr(title, ','))
        escaped = "\"" + escaped + "\"";
    return escaped + "," + command;
}

std::string MakeSettingsText()
{
    std::string out = "[Kelpo]\r\nConfig=" + LoadText(IDS_CFG_IDENT) + "\r\n";
    for (const FileSection &s : fileSections) {
        out += "\r\n[" + LoadText(s.nameId) + "]\r\n";
        AppendCrLf(out, LoadText(s.noteId));
        out += "\r\n";
        for (int i = 0; s.keys[i]; i++)
            AppendKey(out, s.keys[i]);
        if (s.section == CFG_COLORS)
            for (int i = 0; i < COLOR_SLOT_COUNT; i++)
                AppendColor(out, ColorDefaults[i].name, Settings.colors[i]);
    }
    out += "\r\n[" + LoadText(IDS_CFG_EXTCMD) + "]\r\n";
    AppendCrLf(out, LoadText(IDS_CFG_EXTCMD_NOTE));
    out += "\r\n";
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        char key[16];
        snprintf(key, sizeof key, "command%d%c", i < 26 ? 1 : 2, 'A' + i % 26);
        out += std::string(key) + "=" + ExtCommandValue(ExtCommandTitle[i], ExtCommandLine[i]) + "\r\n";
    }
    out += "\r\n";
    return out;
}

// ---- reading ----

static const char *SkipBlanks(const char *p, const char *end)
{
    while (p < end && (*p == ' ' || *p == '\t'))
        p++;
    return p;
}

static std::string Trimmed(const char *from, const char *to)
{
    from = SkipBlanks(from, to);
    while (to > from && (to[-1] == ' ' || to[-1] == '\t' || to[-1] == '\r'))
        to--;
    return std::string(from, to);
}

bool ProfileValue(const char *text, const char *section, const char *key, std::string *value)
{
    bool inSection = false, seenSection = false;
    for (const char *line = text; line && *line;) {
        const char *end = strchr(line, '\n');
        const char *stop = end ? end : line + strlen(line);
        const char *p = SkipBlanks(line, stop);
        if (p < stop && *p == '[') {
            const char *close = (const char *)memchr(p, ']', stop - p);
            std::string name = close ? std::string(p + 1, close) : "";
            // Only the first section of a name counts.
            if (inSection)
                return false;
            inSection = !seenSection && lstrcmpiA(name.c_str(), section) == 0;
            seenSection |= inSection;
        } else if (inSection && p < stop && *p != ';') {
            const char *equals = (const char *)memchr(p, '=', stop - p);
            if (equals && lstrcmpiA(Trimmed(p, equals).c_str(), key) == 0) {
                *value = Trimmed(equals + 1, stop);
                return true;
            }
        }
        line = end ? end + 1 : NULL;
    }
    return false;
}

static void ReadKey(const char *text, const char *sectionName, const char *key)
{
    std::string value;
    if (!ProfileValue(text, sectionName, key, &value))
        return;
    long number = strtol(value.substr(0, NUMBER_VALUE - 1).c_str(), NULL, 10);
    // A column count or tab width without a layout would leave the screen empty: the setting stays.
    if (!SettingValueFits(key, number))
        return;
    if (strcmp(key, "dispsubmode") == 0) {
        Settings.dispsubmode = (BYTE)number;
        return;
    }
    const SettingField *f = FindSettingByFileKey(key);
    if (!f)
        return;
    switch (f->kind) {
    case SET_BYTE:
    case SET_DISPMODE:
        *SettingByte(f) = (BYTE)number;
        break;
    case SET_PACKMODE:
        // An empty value keeps the mode: a zero character would be no mode at all.
        if (!value.empty())
            Settings.packmode = value[0];
        break;
    case SET_EDITOR:
    case SET_STRING:
        if (*f->text)
            lstrcpynA(*f->text, value.substr(0, STRING_VALUE - 1).c_str(), f->textSize);
        break;
    default:
        break;
    }
}

bool ParseExtCommandValue(const char *value, char *title, int titleSize, char *command, int commandSize)
{
    std::string rawTitle;
    const char *rest = NULL;
    if (value[0] == '"') {
        const char *p = value + 1;
        for (; *p; p++) {
            if (p[0] == '\\' && p[1] == '"') {
                p++;
                continue;
            }
            if (*p == '"')
                break;
        }
        if (*p != '"' || p[1] != ',')
            return false;
        rawTitle.assign(value + 1, p);
        rest = p + 2;
    } else {
        const char *comma = strchr(value, ',');
        if (!comma)
            return false;
        rawTitle.assign(value, comma);
        rest = comma + 1;
    }
    // A quote in a title is written with a backslash before it; the command line is written as it is.
    std::string plain;
    for (size_t i = 0; i < rawTitle.size(); i++) {
        if (rawTitle[i] == '\\' && i + 1 < rawTitle.size() && rawTitle[i + 1] == '"')
            continue;
        plain += rawTitle[i];
    }
    TruncateBytes(plain.c_str(), title, titleSize - 2 < 30 ? titleSize - 2 : 30);
    char cut[EXTCMD_LINE];
    TruncateBytes(rest, cut, commandSize - 12 < 500 ? commandSize - 12 : 500);
    strcpy(command, cut);
    return true;
}

void ApplyExtCommandText(const char *text)
{
    std::string section = LoadText(IDS_CFG_EXTCMD);
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        char key[16];
        snprintf(key, sizeof key, "command%d%c", i < 26 ? 1 : 2, 'A' + i % 26);
        std::string value;
        if (!ProfileValue(text, section.c_str(), key, &value) || value.empty()) {
            ExtCommandTitle[i][0] = ExtCommandLine[i][0] = ExtCommandDir[i][0] = '\0';
            continue;
        }
        value = value.substr(0, EXT_VALUE - 1);
        ParseExtCommandValue(value.c_str(), ExtCommandTitle[i], EXTCMD_TITLE, ExtCommandLine[i], EXTCMD_LINE);
    }
}

bool ApplySettingsText(const char *text)
{
    std::string ident;
    if (!ProfileValue(text, "Kelpo", "Config", &ident) || ident.substr(0, 39) != LoadText(IDS_CFG_IDENT))
        return false;
    for (const FileSection &s : fileSections) {
        std::string name = LoadText(s.nameId);
        if (name.empty())
            continue;
        for (int i = 0; s.keys[i]; i++)
            ReadKey(text, name.c_str(), s.keys[i]);
        if (s.section == CFG_COLORS) {
            for (int i = 0; i < COLOR_SLOT_COUNT; i++) {
                std::string value;
                COLORREF color;
                if (ProfileValue(text, name.c_str(), ColorDefaults[i].name, &value) &&
                    ParseColorText(value.substr(0, 39).c_str(), &color))
                    Settings.colors[i] = color;
            }
        }
    }
    ApplyExtCommandText(text);
    return true;
}

// ---- the file ----

static void DefaultPath(char *path)
{
    lstrcpynA(path, ProgramDir, PATH_BUFFER);
    AppendBackslash(path, PATH_BUFFER);
    strcat(path, "Kelpo.CFG");
}

static bool ReadWholeFile(const char *path, std::string *text)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, NULL), read = 0;
    if (size == INVALID_FILE_SIZE || size > SETTINGS_FILE_LIMIT)
        size = SETTINGS_FILE_LIMIT;
    text->assign(size, '\0');
    bool ok = size == 0 || ReadFile(file, &(*text)[0], size, &read, NULL);
    CloseHandle(file);
    text->resize(read);
    // A zero byte ends the text as it would end a profile line.
    text->resize(strlen(text->c_str()));
    return ok;
}

bool WriteSettingsFile(const char *path)
{
    char target[PATH_BUFFER + 16], temporary[PATH_BUFFER + 24];
    if (path)
        lstrcpynA(target, path, PATH_BUFFER);
    else
        DefaultPath(target);
    snprintf(temporary, sizeof temporary, "%s.new", target);
    std::string text = MakeSettingsText();
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL) && written == text.size();
    ok = CloseHandle(file) && ok;
    if (ok && !MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING)) {
        // Windows 95 has no replacing move: the old file goes only once the new one is complete.
        ok = GetLastError() == ERROR_CALL_NOT_IMPLEMENTED && (DeleteFileA(target) || GetLastError() == ERROR_FILE_NOT_FOUND) &&
             MoveFileA(temporary, target);
    }
    if (!ok) {
        DWORD error = GetLastError();
        DeleteFileA(temporary);
        SetLastError(error);
    }
    return ok;
}

bool ReadSettingsFile(const char *path)
{
    char source[PATH_BUFFER + 16];
    if (path)
        lstrcpynA(source, path, PATH_BUFFER);
    else
        DefaultPath(source);
    std::string text;
    return ReadWholeFile(source, &text) && ApplySettingsText(text.c_str());
}

// ---- file mode ----

// Kelpo.CFG held text that is not a settings file: it is kept under another name before the
// first save replaces it, so that a file the user broke by hand can still be mended.
static bool foreignFileFound;

static void BackupPath(char *path)
{
    DefaultPath(path);
    strcat(path, ".bak");
}

static void LoadFromFile()
{
    char path[PATH_BUFFER + 16];
    DefaultPath(path);
    std::string text;
    if (ReadWholeFile(path, &text) && !ApplySettingsText(text.c_str()) && !text.empty())
        foreignFileFound = true;
}

// A failed save is said, not passed over: the settings would be lost at the next start.
static void SaveToFile()
{
    if (foreignFileFound) {
        char path[PATH_BUFFER + 16], backup[PATH_BUFFER + 24];
        DefaultPath(path);
        BackupPath(backup);
        if (!CopyFileA(path, backup, FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            ShowLastError(NULL, "設定ﾌｧｲﾙを保存できません", backup, NULL);
            return;
        }
        foreignFileFound = false;
    }
    if (!WriteSettingsFile(NULL)) {
        char path[PATH_BUFFER + 16];
        DefaultPath(path);
        ShowLastError(NULL, "設定ﾌｧｲﾙを保存できません", path, NULL);
    }
}

static void LoadExtCommandsFromFile()
{
    char path[PATH_BUFFER + 16];
    DefaultPath(path);
    std::string text;
    std::string ident;
    if (ReadWholeFile(path, &text)) {
        if (ProfileValue(text.c_str(), "Kelpo", "Config", &ident))
            ApplyExtCommandText(text.c_str());
    } else if (GetLastError() == ERROR_FILE_NOT_FOUND) {
        // Nothing is stored yet: the table goes back to empty, as it was at the start of the run.
        ApplyExtCommandText("");
    }
}

void InstallSettingsFileHooks()
{
    SettingsFileLoad = LoadFromFile;
    SettingsFileSave = SaveToFile;
    ExtCommandsFileLoad = LoadExtCommandsFromFile;
    // The whole file is written again: a second [ExtCommand] section would never be read.
    ExtCommandsFileSave = SaveToFile;
}

// ---- the two menu commands ----

void SaveSettingsFileCommand(HWND hwnd)
{
    char path[PATH_BUFFER + 16];
    DefaultPath(path);
    if (!SaveFileDialog(hwnd, "Kelpo - 設定をﾃｷｽﾄﾌｧｲﾙに保存", path, IDS_FILTER_CFG))
        return;
    const char *name = path;
    for (const char *p = path; *p; p += CharLength(p))
        if (*p == '\\' || *p == ':')
            name = p + 1;
    if (!strchr(name, '.') && strlen(path) + 4 < sizeof path)
        strcat(path, ".CFG");
    // The settings in use are stored first, so that the file gets them as last stored; reading
    // the stored ones back instead would drop a column count or tab width chosen since.
    SaveSettings();
    ShowHourglass();
    bool ok = WriteSettingsFile(path);
    HideHourglass();
    if (!ok)
        ShowLastError(hwnd, "設定ﾌｧｲﾙを保存できません", path, NULL);
}

void ReadSettingsFileCommand(HWND hwnd)
{
    char path[PATH_BUFFER + 16];
    lstrcpynA(path, ProgramDir, PATH_BUFFER);
    AppendBackslash(path, PATH_BUFFER);
    strcat(path, "*.CFG");
    if (!OpenFileDialog(hwnd, "Kelpo - 設定をﾃｷｽﾄﾌｧｲﾙから読み込む", path, IDS_FILTER_CFG))
        return;
    ShowHourglass();
    bool ok = ReadSettingsFile(path);
    HideHourglass();
    if (!ok) {
        char text[PATH_BUFFER + 64];
        snprintf(text, sizeof text, "%sは\nKelpoの設定ﾌｧｲﾙではありません", path);
        MessageDialog(hwnd, text, "Kelpo - Config Read", 49);
        return;
    }
    SaveSettings();
    RememberCursorEntry();
    ReloadRequest = 2;
    RepaintAll(hwnd);
}
