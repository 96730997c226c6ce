#include "config/settings.h"
#include "config/registry.h"
#include "base/globals.h"
#include "filelist/pathutil.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <stddef.h>

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

void (*SettingsFileLoad)();
void (*SettingsFileSave)();
void (*ExtCommandsFileLoad)();
void (*ExtCommandsFileSave)();

static const char defaultEditor[] = "NOTEPAD.EXE";
enum { FONT_NAME_BUFFER = 256 };

// Every setting once: its registry value, how it is stored, its default, where it lives, and
// its key and section in the settings file. Loading, saving and the defaults walk this table
// in its order, which is the order of storage.
#define FIELD(member) offsetof(SettingsRecord, member)
const SettingField SettingFields[] = {
    {"px", SET_INT_TEXT, FIELD(px), 0, NULL, NULL, 0, CFG_NONE, NULL},
    {"py", SET_INT_TEXT, FIELD(py), 0, NULL, NULL, 0, CFG_NONE, NULL},
    {"sx", SET_INT_TEXT, FIELD(sx), 0, NULL, NULL, 0, CFG_NONE, NULL},
    {"sy", SET_INT_TEXT, FIELD(sy), 0, NULL, NULL, 0, CFG_NONE, NULL},
    {"dispmode", SET_DISPMODE, FIELD(dispmode), 0x21, NULL, NULL, 0, CFG_FILER, "dispmode"},
    {"sortmode", SET_BYTE, FIELD(sortmode), 1, NULL, NULL, 0, CFG_FILER, "sortmode"},
    {"sortdir", SET_BYTE, FIELD(sortdir), 0, NULL, NULL, 0, CFG_FILER, "sortdir"},
    {"tab", SET_BYTE, FIELD(tab), 8, NULL, NULL, 0, CFG_VIEWER, "tab"},
    {"disprow", SET_WORD, FIELD(disprow), 20, NULL, NULL, 0, CFG_NONE, NULL},
    {"toolbar", SET_BYTE, FIELD(toolbar), 0, NULL, NULL, 0, CFG_NONE, NULL},
    {"lastpath", SET_LASTPATH, 0, 0, " ", &CurrentPath, PATH_BUFFER, CFG_NONE, NULL},
    {"editor", SET_EDITOR, 0, 0, " ", &EditorPath, PATH_BUFFER, CFG_ALL, "editor"},
    {"extviewer", SET_STRING, 0, 0, "", &ExtViewerPath, PATH_BUFFER, CFG_VIEWER, "extviewer"},
    {"extarchiver", SET_STRING, 0, 0, "", &ExtArchiverPath, PATH_BUFFER, CFG_ARCHIVER, "extarchiver"},
    {"packmode", SET_PACKMODE, FIELD(packmode), 'U', "U", NULL, 0, CFG_ARCHIVER, "packmode"},
    {"clipmode", SET_BYTE, FIELD(clipmode), 2, NULL, NULL, 0, CFG_ALL, "clipmode"},
    {"fkeynum", SET_BYTE, FIELD(fkeynum), 12, NULL, NULL, 0, CFG_ALL, "fkeynum"},
    {"treesave", SET_BYTE, FIELD(treesave), 1, NULL, NULL, 0, CFG_FILER, "treesave"},
    {"namesmall", SET_BYTE, FIELD(namesmall), 0, NULL, NULL, 0, CFG_FILER, "namesmall"},
    {"lnamepos", SET_BYTE, FIELD(lnamepos), 0, NULL, NULL, 0, CFG_FILER, "lnamepos"},
    {"treemode", SET_BYTE, FIELD(treemode), 0, NULL, NULL, 0, CFG_FILER, "treemode"},
    {"sideline", SET_BYTE, FIELD(sideline), 1, NULL, NULL, 0, CFG_FILER, "sideline"},
    {"realsize", SET_BYTE, FIELD(realsize), 0, NULL, NULL, 0, CFG_FILER, "realsize"},
    {"dirmark", SET_BYTE, FIELD(dirmark), 0, NULL, NULL, 0, CFG_FILER, "dirmark"},
    {"altenable", SET_BYTE, FIELD(altenable), 0, NULL, NULL, 0, CFG_FILER, "altenable"},
    {"cspace", SET_BYTE, FIELD(cspace), 0, NULL, NULL, 0, CFG_FILER, "cspace"},
    {"dirtime", SET_BYTE, FIELD(dirtime), 1, NULL, NULL, 0, CFG_FILER, "dirtime"},
    {"returndeleteyes", SET_BYTE, FIELD(returndeleteyes), 0, NULL, NULL, 0, CFG_FILER, "retdel"},
    {"curpage", SET_BYTE, FIELD(curpage), 0, NULL, NULL, 0, CFG_FILER, "curpage"},
    {"infounit", SET_BYTE, FIELD(infounit), 2, NULL, NULL, 0, CFG_NONE, NULL},
    {"phist%03d", SET_HISTORY, 0, 0, " ", NULL, 0, CFG_NONE, NULL},
    {"realcol", SET_BYTE, FIELD(realcol), 0, NULL, NULL, 0, CFG_COLORS, "realcol"},
    {"cl_", SET_COLORS, FIELD(colors), 0, NULL, NULL, 0, CFG_COLORS, NULL},
    {"presort", SET_BYTE, FIELD(presort), 1, NULL, NULL, 0, CFG_FILER, "presort"},
    {"viewcr", SET_BYTE, FIELD(viewcr), 0, NULL, NULL, 0, CFG_VIEWER, "viewcr"},
    {"secsw", SET_BYTE, FIELD(secsw), 0, NULL, NULL, 0, CFG_FILER, "secsw"},
    {"timesw", SET_BYTE, FIELD(timesw), 0, NULL, NULL, 0, CFG_FILER, "timesw"},
    {"weeksw", SET_BYTE, FIELD(weeksw), 0, NULL, NULL, 0, CFG_FILER, "weeksw"},
    {"fontpoint", SET_WORD, FIELD(fontpoint), DEFAULT_FONT_POINT, NULL, NULL, 0, CFG_NONE, NULL},
    {"charset", SET_BYTE, FIELD(charset), 128, NULL, NULL, 0, CFG_NONE, NULL},
    {"italic", SET_BYTE, FIELD(italic), 0, NULL, NULL, 0, CFG_NONE, NULL},
    {"weight", SET_LONG_TEXT, FIELD(weight), 400, NULL, NULL, 0, CFG_NONE, NULL},
    {"fontname", SET_STRING, 0, 0, "ＭＳ 明朝", &FontFaceName, FONT_NAME_BUFFER, CFG_NONE, NULL},
};
#undef FIELD
const int SettingFieldCount = (int)(sizeof SettingFields / sizeof SettingFields[0]);

static void HistoryName(char *name, int index)
{
    sprintf(name, "phist%03d", index);
}

BYTE *SettingByte(const SettingField *field)
{
    return (BYTE *)&Settings + field->offset;
}

static void DefaultField(const SettingField &f)
{
    BYTE *at = SettingByte(&f);
    switch (f.kind) {
    case SET_INT_TEXT:
        *(int *)at = (int)f.defaultValue;
        break;
    case SET_LONG_TEXT:
        *(long *)at = f.defaultValue;
        break;
    case SET_BYTE:
        *at = (BYTE)f.defaultValue;
        break;
    case SET_WORD:
        *(WORD *)at = (WORD)f.defaultValue;
        break;
    case SET_DISPMODE:
        Settings.dispmode = (BYTE)(f.defaultValue >> 4);
        Settings.dispsubmode = (BYTE)(f.defaultValue & 15);
        break;
    case SET_PACKMODE:
        Settings.packmode = (char)f.defaultValue;
        break;
    case SET_COLORS:
        for (int i = 0; i < COLOR_SLOT_COUNT; i++)
            Settings.colors[i] = RGB(ColorDefaults[i].r, ColorDefaults[i].g, ColorDefaults[i].b);
        break;
    case SET_HISTORY:
        Settings.historyCount = 0;
        if (PathHistory)
            memset(PathHistory, 0, PATH_HISTORY_COUNT * sizeof PathHistory[0]);
        break;
    case SET_EDITOR:
        if (*f.text)
            strcpy(*f.text, defaultEditor);
        break;
    case SET_STRING:
        if (*f.text)
            lstrcpynA(*f.text, f.defaultText, f.textSize);
        break;
    case SET_LASTPATH:
        break;      // the start directory is not a setting to reset
    }
}

void SetDefaultSettings()
{
    for (int i = 0; i < SettingFieldCount; i++)
        DefaultField(SettingFields[i]);
    if (ExtCommandLine) {
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

static void ReadField(const SettingField &f)
{
    BYTE *at = SettingByte(&f);
    char text[32], number[16];
    switch (f.kind) {
    case SET_INT_TEXT:
    case SET_LONG_TEXT:
        snprintf(number, sizeof number, "%ld", f.defaultValue);
        RegReadString(f.name, number, text, sizeof text);
        if (f.kind == SET_INT_TEXT)
            *(int *)at = (int)strtol(text, NULL, 10);
        else
            *(long *)at = strtol(text, NULL, 10);
        break;
    case SET_BYTE:
        *at = RegReadByte(f.name, (BYTE)f.defaultValue);
        break;
    case SET_WORD:
        *(WORD *)at = RegReadWord(f.name, (WORD)f.defaultValue);
        break;
    case SET_DISPMODE: {
        BYTE packed = RegReadByte(f.name, (BYTE)f.defaultValue);
        Settings.dispmode = packed >> 4;
        Settings.dispsubmode = packed & 15;
        break;
    }
    case SET_PACKMODE:
        RegReadString(f.name, f.defaultText, text, 8);
        Settings.packmode = text[0] ? text[0] : (char)f.defaultValue;
        break;
    case SET_COLORS:
        for (int i = 0; i < COLOR_SLOT_COUNT; i++) {
            const ColorDefault &c = ColorDefaults[i];
            Settings.colors[i] = RegReadColor(c.name, c.r, c.g, c.b);
        }
        break;
    case SET_HISTORY:
        LoadPathHistory();
        break;
    case SET_LASTPATH:
        // Only when no start directory came from the command line.
        if (!CurrentPath[0]) {
            RegReadString(f.name, f.defaultText, CurrentPath, f.textSize);
            if (CurrentPath[0] == '\0' || strcmp(CurrentPath, " ") == 0)
                strcpy(CurrentPath, ProgramDir);
        }
        break;
    case SET_EDITOR:
        RegReadString(f.name, f.defaultText, *f.text, f.textSize);
        if ((*f.text)[0] == ' ')
            strcpy(*f.text, defaultEditor);
        break;
    case SET_STRING:
        RegReadString(f.name, f.defaultText, *f.text, f.textSize);
        break;
    }
}

static void WriteField(const SettingField &f)
{
    const BYTE *at = SettingByte(&f);
    char text[32];
    switch (f.kind) {
    case SET_INT_TEXT:
        snprintf(text, sizeof text, "%d", *(const int *)at);
        RegWriteString(f.name, text);
        break;
    case SET_LONG_TEXT:
        snprintf(text, sizeof text, "%ld", *(const long *)at);
        RegWriteString(f.name, text);
        break;
    case SET_BYTE:
        RegWriteByte(f.name, *at);
        break;
    case SET_WORD:
        RegWriteWord(f.name, *(const WORD *)at);
        break;
    case SET_DISPMODE:
        RegWriteByte(f.name, (BYTE)(Settings.dispmode * 16 + Settings.dispsubmode));
        break;
    case SET_PACKMODE:
        text[0] = Settings.packmode;
        text[1] = '\0';
        RegWriteString(f.name, text);
        break;
    case SET_COLORS:
        for (int i = 0; i < COLOR_SLOT_COUNT; i++)
            RegWriteColor(ColorDefaults[i].name, Settings.colors[i]);
        break;
    case SET_HISTORY:
        SavePathHistory();
        break;
    case SET_LASTPATH:
    case SET_EDITOR:
    case SET_STRING:
        RegWriteString(f.name, *f.text);
        break;
    }
}

bool SettingValueFits(const char *fileKey, long value)
{
    if (strcmp(fileKey, "dispmode") == 0)
        return value == 1 || value == 2 || value == 3 || value == 5;
    if (strcmp(fileKey, "dispsubmode") == 0)
        return value >= 0 && value <= 2;
    if (strcmp(fileKey, "tab") == 0)
        return value == 2 || value == 4 || value == 8;
    return true;
}

void RepairSettings()
{
    for (int i = 0; i < SettingFieldCount; i++) {
        const SettingField &f = SettingFields[i];
        bool fits = true;
        if (f.kind == SET_DISPMODE)
            fits = SettingValueFits("dispmode", Settings.dispmode) && SettingValueFits("dispsubmode", Settings.dispsubmode);
        else if (f.fileKey)
            fits = f.kind != SET_BYTE || SettingValueFits(f.fileKey, *SettingByte(&f));
        else if (strcmp(f.name, "disprow") == 0)
            fits = Settings.disprow != 0;
        else if (strcmp(f.name, "weight") == 0)
            fits = Settings.weight >= 0 && Settings.weight <= 1000;   // what a font can be made with
        if (!fits)
            DefaultField(f);
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
        RepairSettings();
        return;
    }
    firstLoadDone = true;
    for (int i = 0; i < SettingFieldCount; i++)
        ReadField(SettingFields[i]);
    RepairSettings();
    LoadExtCommands();
}

void SaveSettings()
{
    if (CfgFileMode) {
        if (SettingsFileSave)
            SettingsFileSave();
        return;
    }
    for (int i = 0; i < SettingFieldCount; i++)
        WriteField(SettingFields[i]);
    SaveExtCommands();
}

const SettingField *FindSettingByFileKey(const char *key)
{
    for (int i = 0; i < SettingFieldCount; i++)
        if (SettingFields[i].fileKey && strcmp(SettingFields[i].fileKey, key) == 0)
            return &SettingFields[i];
    return NULL;
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
