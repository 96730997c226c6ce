#include "config/settings.h"
#include "config/registry.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

SettingsRecord Settings;

const ColorDefault ColorDefaults[COLOR_SLOT_COUNT] = {
    {"cl_back", 0, 0, 0},         {"cl_line", 0, 255, 255},     {"cl_title", 255, 255, 0},
    {"cl_info", 0, 255, 255},     {"cl_data", 255, 255, 255},   {"cl_system", 255, 0, 255},
    {"cl_hidden", 0, 0, 255},     {"cl_rdonly", 0, 255, 0},     {"cl_normal", 255, 255, 0},
    {"cl_volume", 255, 0, 0},     {"cl_subdir", 0, 255, 255},   {"cl_owndir", 255, 255, 255},
    {"cl_mark", 255, 255, 255},   {"cl_tree", 255, 255, 255},   {"cl_view", 255, 255, 255},
    {"cl_viewbk", 0, 0, 0},       {"cl_viewcr", 255, 255, 0},   {"cl_func", 0, 255, 255},
    {"cl_func2", 255, 255, 0},
};

void (*RegistryAccessHook)(const char *name, bool write);
void (*SettingsFileLoad)();
void (*SettingsFileSave)();
void (*ExtCommandsFileLoad)();
void (*ExtCommandsFileSave)();

static const char defaultEditor[] = "NOTEPAD.EXE";
static const char defaultFontName[] = "ＭＳ 明朝";
enum { FONT_NAME_BUFFER = 256, STRING_READ_LIMIT = 1024 };

// Single-byte options stored as they are in memory, in their order of storage.
struct ByteOption {
    const char *name;
    BYTE SettingsRecord::*field;
    BYTE defaultValue;
};

static const ByteOption leadingBytes[] = {
    {"sortmode", &SettingsRecord::sortmode, 1},
    {"sortdir", &SettingsRecord::sortdir, 0},
    {"tab", &SettingsRecord::tab, 8},
};
static const ByteOption middleBytes[] = {
    {"clipmode", &SettingsRecord::clipmode, 2},
    {"fkeynum", &SettingsRecord::fkeynum, 12},
    {"treesave", &SettingsRecord::treesave, 1},
    {"namesmall", &SettingsRecord::namesmall, 0},
    {"lnamepos", &SettingsRecord::lnamepos, 0},
    {"treemode", &SettingsRecord::treemode, 0},
    {"sideline", &SettingsRecord::sideline, 1},
    {"realsize", &SettingsRecord::realsize, 0},
    {"dirmark", &SettingsRecord::dirmark, 0},
    {"altenable", &SettingsRecord::altenable, 0},
    {"cspace", &SettingsRecord::cspace, 0},
    {"dirtime", &SettingsRecord::dirtime, 1},
    {"returndeleteyes", &SettingsRecord::returndeleteyes, 0},
    {"curpage", &SettingsRecord::curpage, 0},
    {"infounit", &SettingsRecord::infounit, 2},
};
static const ByteOption clockBytes[] = {
    {"presort", &SettingsRecord::presort, 1},
    {"viewcr", &SettingsRecord::viewcr, 0},
    {"secsw", &SettingsRecord::secsw, 0},
    {"timesw", &SettingsRecord::timesw, 0},
    {"weeksw", &SettingsRecord::weeksw, 0},
};

#define COUNT_OF(a) ((int)(sizeof(a) / sizeof((a)[0])))

// ---- Registry primitives ----

static void KeyPath(char *path)
{
    sprintf(path, "Software\\%s\\%s", "Brevlock", "Kelpo");
}

static void NoteAccess(const char *name, bool write)
{
    if (RegistryAccessHook)
        RegistryAccessHook(name, write);
}

static bool QueryValue(const char *name, void *buffer, DWORD *size)
{
    NoteAccess(name, false);
    char path[64];
    KeyPath(path);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    LONG result = RegQueryValueExA(key, name, NULL, NULL, (BYTE *)buffer, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

static void SetValue(const char *name, DWORD type, const void *data, DWORD size)
{
    NoteAccess(name, true);
    char path[64];
    KeyPath(path);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

BYTE RegReadByte(const char *name, BYTE defaultValue)
{
    BYTE value;
    DWORD size = 1;
    return QueryValue(name, &value, &size) && size == 1 ? value : defaultValue;
}

WORD RegReadWord(const char *name, WORD defaultValue)
{
    BYTE value[2];
    DWORD size = 2;
    if (!QueryValue(name, value, &size) || size != 2)
        return defaultValue;
    return (WORD)(value[0] | value[1] << 8);
}

int RegReadString(const char *name, const char *defaultValue, char *out, int outSize)
{
    if (outSize <= 0)
        return 0;
    lstrcpynA(out, defaultValue, outSize);
    char stored[STRING_READ_LIMIT];
    DWORD capacity = outSize < STRING_READ_LIMIT ? (DWORD)outSize : (DWORD)STRING_READ_LIMIT;
    DWORD size = capacity;
    if (QueryValue(name, stored, &size)) {
        // Stored data need not end with a zero; text that leaves no room for one does not fit.
        if (size < capacity)
            stored[size] = '\0';
        if (size < capacity || stored[capacity - 1] == '\0')
            strcpy(out, stored);
    }
    return (int)strlen(out);
}

bool ParseColorText(const char *text, COLORREF *color)
{
    const char *first = strchr(text, ',');
    const char *second = first ? strchr(first + 1, ',') : NULL;
    if (!second)
        return false;
    long part[3] = {strtol(text, NULL, 10), strtol(first + 1, NULL, 10), strtol(second + 1, NULL, 10)};
    for (long p : part)
        if (p < 0 || p > 255)
            return false;
    *color = RGB(part[0], part[1], part[2]);
    return true;
}

COLORREF RegReadColor(const char *name, BYTE r, BYTE g, BYTE b)
{
    char text[64];
    RegReadString(name, " ", text, sizeof text);
    COLORREF color;
    return ParseColorText(text, &color) ? color : RGB(r, g, b);
}

void RegWriteByte(const char *name, BYTE value)
{
    SetValue(name, REG_BINARY, &value, 1);
}

void RegWriteWord(const char *name, WORD value)
{
    BYTE data[2] = {(BYTE)(value & 0xFF), (BYTE)(value >> 8)};
    SetValue(name, REG_BINARY, data, 2);
}

void RegWriteString(const char *name, const char *text)
{
    SetValue(name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

void RegWriteColor(const char *name, COLORREF color)
{
    char text[32];
    sprintf(text, "%d,%d,%d", GetRValue(color), GetGValue(color), GetBValue(color));
    RegWriteString(name, text);
}

void RegDeleteSetting(const char *name)
{
    NoteAccess(name, true);
    char path[64];
    KeyPath(path);
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// ---- The record ----

static long ReadNumberText(const char *name, const char *defaultValue)
{
    char text[32];
    RegReadString(name, defaultValue, text, sizeof text);
    return strtol(text, NULL, 10);
}

static void WriteNumberText(const char *name, long value)
{
    char text[32];
    sprintf(text, "%ld", value);
    RegWriteString(name, text);
}

static void ReadBytes(const ByteOption *options, int count)
{
    for (int i = 0; i < count; i++)
        Settings.*options[i].field = RegReadByte(options[i].name, options[i].defaultValue);
}

static void WriteBytes(const ByteOption *options, int count)
{
    for (int i = 0; i < count; i++)
        RegWriteByte(options[i].name, Settings.*options[i].field);
}

static void DefaultBytes(const ByteOption *options, int count)
{
    for (int i = 0; i < count; i++)
        Settings.*options[i].field = options[i].defaultValue;
}

static void HistoryName(char *name, int index)
{
    sprintf(name, "phist%03d", index);
}

void SetDefaultSettings()
{
    Settings.px = Settings.py = Settings.sx = Settings.sy = 0;
    Settings.dispmode = 2;
    Settings.dispsubmode = 1;
    DefaultBytes(leadingBytes, COUNT_OF(leadingBytes));
    Settings.disprow = 20;
    Settings.toolbar = 0;
    Settings.packmode = 'U';
    DefaultBytes(middleBytes, COUNT_OF(middleBytes));
    Settings.realcol = 0;
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        Settings.colors[i] = RGB(ColorDefaults[i].r, ColorDefaults[i].g, ColorDefaults[i].b);
    DefaultBytes(clockBytes, COUNT_OF(clockBytes));
    Settings.fontpoint = 12;
    Settings.charset = 128;
    Settings.italic = 0;
    Settings.weight = 400;
    Settings.historyCount = 0;
    if (EditorPath) {
        strcpy(EditorPath, defaultEditor);
        ExtViewerPath[0] = ExtArchiverPath[0] = '\0';
        strcpy(FontFaceName, defaultFontName);
        memset(PathHistory, 0, PATH_HISTORY_COUNT * sizeof PathHistory[0]);
        memset(ExtCommandLine, 0, EXTCMD_COUNT * sizeof ExtCommandLine[0]);
        memset(ExtCommandTitle, 0, EXTCMD_COUNT * sizeof ExtCommandTitle[0]);
        memset(ExtCommandDir, 0, EXTCMD_COUNT * sizeof ExtCommandDir[0]);
    }
}

static void LoadPathHistory()
{
    int count = 0;
    for (; count < PATH_HISTORY_COUNT; count++) {
        char name[16];
        HistoryName(name, count);
        char *slot = PathHistory[count];
        RegReadString(name, " ", slot, sizeof PathHistory[0]);
        if (slot[0] == '\0' || strcmp(slot, " ") == 0) {
            slot[0] = '\0';
            break;
        }
    }
    Settings.historyCount = count;
}

// Entries above the count are deleted, or a shorter history would regain stale entries
// at the next start.
static void SavePathHistory()
{
    if (Settings.historyCount > PATH_HISTORY_COUNT)
        Settings.historyCount = PATH_HISTORY_COUNT;
    if (Settings.historyCount < 0)
        Settings.historyCount = 0;
    char name[16];
    for (int i = 0; i < Settings.historyCount; i++) {
        HistoryName(name, i);
        RegWriteString(name, PathHistory[i]);
    }
    for (int i = Settings.historyCount; i < PATH_HISTORY_COUNT; i++) {
        HistoryName(name, i);
        RegDeleteSetting(name);
    }
}

static bool firstLoadDone;

void LoadSettings()
{
    if (CfgFileMode) {
        // The file does not carry every value; those start from their defaults.
        if (!firstLoadDone)
            SetDefaultSettings();
        firstLoadDone = true;
        if (!CurrentPath[0])
            strcpy(CurrentPath, ProgramDir);
        if (SettingsFileLoad)
            SettingsFileLoad();
        return;
    }
    firstLoadDone = true;
    Settings.px = (int)ReadNumberText("px", "0");
    Settings.py = (int)ReadNumberText("py", "0");
    Settings.sx = (int)ReadNumberText("sx", "0");
    Settings.sy = (int)ReadNumberText("sy", "0");
    BYTE dispmode = RegReadByte("dispmode", 0x21);
    Settings.dispmode = dispmode >> 4;
    Settings.dispsubmode = dispmode & 15;
    ReadBytes(leadingBytes, COUNT_OF(leadingBytes));
    Settings.disprow = RegReadWord("disprow", 20);
    Settings.toolbar = RegReadByte("toolbar", 0);
    if (!CurrentPath[0]) {
        RegReadString("lastpath", " ", CurrentPath, PATH_BUFFER);
        if (CurrentPath[0] == '\0' || strcmp(CurrentPath, " ") == 0)
            strcpy(CurrentPath, ProgramDir);
    }
    RegReadString("editor", " ", EditorPath, PATH_BUFFER);
    if (EditorPath[0] == ' ')
        strcpy(EditorPath, defaultEditor);
    RegReadString("extviewer", "", ExtViewerPath, PATH_BUFFER);
    RegReadString("extarchiver", "", ExtArchiverPath, PATH_BUFFER);
    char packmode[8];
    RegReadString("packmode", "U", packmode, sizeof packmode);
    Settings.packmode = packmode[0] ? packmode[0] : 'U';
    ReadBytes(middleBytes, COUNT_OF(middleBytes));
    LoadPathHistory();
    Settings.realcol = RegReadByte("realcol", 0);
    for (int i = 0; i < COLOR_SLOT_COUNT; i++) {
        const ColorDefault &c = ColorDefaults[i];
        Settings.colors[i] = RegReadColor(c.name, c.r, c.g, c.b);
    }
    ReadBytes(clockBytes, COUNT_OF(clockBytes));
    Settings.fontpoint = RegReadWord("fontpoint", 12);
    Settings.charset = RegReadByte("charset", 128);
    Settings.italic = RegReadByte("italic", 0);
    Settings.weight = ReadNumberText("weight", "400");
    RegReadString("fontname", defaultFontName, FontFaceName, FONT_NAME_BUFFER);
    LoadExtCommands();
}

void SaveSettings()
{
    if (CfgFileMode) {
        if (SettingsFileSave)
            SettingsFileSave();
        return;
    }
    WriteNumberText("px", Settings.px);
    WriteNumberText("py", Settings.py);
    WriteNumberText("sx", Settings.sx);
    WriteNumberText("sy", Settings.sy);
    RegWriteByte("dispmode", (BYTE)(Settings.dispmode * 16 + Settings.dispsubmode));
    WriteBytes(leadingBytes, COUNT_OF(leadingBytes));
    RegWriteWord("disprow", Settings.disprow);
    RegWriteByte("toolbar", Settings.toolbar);
    RegWriteString("lastpath", CurrentPath);
    RegWriteString("editor", EditorPath);
    RegWriteString("extviewer", ExtViewerPath);
    RegWriteString("extarchiver", ExtArchiverPath);
    char packmode[2] = {Settings.packmode, '\0'};
    RegWriteString("packmode", packmode);
    WriteBytes(middleBytes, COUNT_OF(middleBytes));
    SavePathHistory();
    RegWriteByte("realcol", Settings.realcol);
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        RegWriteColor(ColorDefaults[i].name, Settings.colors[i]);
    WriteBytes(clockBytes, COUNT_OF(clockBytes));
    RegWriteWord("fontpoint", Settings.fontpoint);
    RegWriteByte("charset", Settings.charset);
    RegWriteByte("italic", Settings.italic);
    WriteNumberText("weight", Settings.weight);
    RegWriteString("fontname", FontFaceName);
    SaveExtCommands();
}

void LoadExtCommands()
{
    if (CfgFileMode) {
        if (ExtCommandsFileLoad)
            ExtCommandsFileLoad();
        return;
    }
    char name[16];
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        sprintf(name, "commenu%02d", i);
        RegReadString(name, "@", ExtCommandLine[i], EXTCMD_LINE);
        if (ExtCommandLine[i][0] == '@')
            ExtCommandLine[i][0] = '\0';
        sprintf(name, "comtitle%02d", i);
        RegReadString(name, "", ExtCommandTitle[i], EXTCMD_TITLE);
        sprintf(name, "comdir%02d", i);
        RegReadString(name, "", ExtCommandDir[i], EXTCMD_DIR);
    }
}

void SaveExtCommands()
{
    if (CfgFileMode) {
        if (ExtCommandsFileSave)
            ExtCommandsFileSave();
        return;
    }
    char name[16];
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        sprintf(name, "commenu%02d", i);
        RegWriteString(name, ExtCommandLine[i]);
        sprintf(name, "comtitle%02d", i);
        RegWriteString(name, ExtCommandTitle[i]);
        sprintf(name, "comdir%02d", i);
        RegWriteString(name, ExtCommandDir[i]);
    }
}
