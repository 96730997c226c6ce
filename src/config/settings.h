// The Settings record: every user setting, named by its registry value.
// String settings live in the global tables: editor = EditorPath, extviewer = ExtViewerPath,
// extarchiver = ExtArchiverPath, fontname = FontFaceName, lastpath feeds CurrentPath,
// phist%03d = PathHistory, commenu/comtitle/comdir = ExtCommandLine/Title/Dir.
#pragma once
#include <windows.h>

enum ColorSlot {
    CL_BACK, CL_LINE, CL_TITLE, CL_INFO, CL_DATA, CL_SYSTEM, CL_HIDDEN, CL_RDONLY, CL_NORMAL,
    CL_VOLUME, CL_SUBDIR, CL_OWNDIR, CL_MARK, CL_TREE, CL_VIEW, CL_VIEWBK, CL_VIEWCR, CL_FUNC,
    CL_FUNC2, COLOR_SLOT_COUNT
};

enum { DEFAULT_FONT_POINT = 12 };

struct SettingsRecord {
    int px, py, sx, sy;
    BYTE dispmode;          // columns: 1, 2, 3 or 5
    BYTE dispsubmode;       // 0 classic, 1 extended-1, 2 extended-2
    BYTE sortmode;          // 0 name, 1 extension, 2 size, 3 date
    BYTE sortdir;           // 0 ascending, 1 descending
    BYTE tab;
    WORD disprow;
    BYTE toolbar;
    char packmode;          // 'A', 'U' or 'M'
    BYTE clipmode;
    BYTE fkeynum;           // 10 or 12
    BYTE treesave, namesmall, lnamepos, treemode, sideline, realsize, dirmark, altenable;
    BYTE cspace, dirtime, returndeleteyes, curpage, infounit;
    BYTE realcol;
    COLORREF colors[COLOR_SLOT_COUNT];
    BYTE presort, viewcr, secsw, timesw, weeksw;
    WORD fontpoint;
    BYTE charset, italic;
    long weight;
    int historyCount;       // entries in PathHistory
};

extern SettingsRecord Settings;

struct ColorDefault {
    const char *name;
    BYTE r, g, b;
};
extern const ColorDefault ColorDefaults[COLOR_SLOT_COUNT];

// How a setting is stored in the registry.
enum SettingKind {
    SET_INT_TEXT,       // int field as decimal text
    SET_LONG_TEXT,      // long field as decimal text ("%ld")
    SET_BYTE,           // REG_BINARY, 1 byte
    SET_WORD,           // REG_BINARY, 2 bytes little-endian
    SET_DISPMODE,       // columns * 16 + sub-mode in one byte
    SET_PACKMODE,       // one character as a string
    SET_COLORS,         // the 19 colour slots, each "R,G,B" under its own name (ColorDefaults)
    SET_HISTORY,        // phist000 ... phist049 and the count
    SET_LASTPATH,       // CurrentPath, read only without a start directory from the command line
    SET_EDITOR,         // a string whose default " " means "NOTEPAD.EXE"
    SET_STRING,         // a string in one of the global buffers
};
// Sections of the settings file; CFG_NONE: the value is kept in the registry only.
enum SettingFileSection { CFG_NONE, CFG_FILER, CFG_VIEWER, CFG_ARCHIVER, CFG_ALL, CFG_COLORS };

struct SettingField {
    const char *name;               // registry value name
    SettingKind kind;
    size_t offset;                  // of the field in SettingsRecord (numbers, colours)
    long defaultValue;
    const char *defaultText;        // strings
    char **text;                    // strings: the global buffer
    int textSize;
    SettingFileSection fileSection;
    const char *fileKey;            // key in the settings file, NULL when not stored there
};
extern const SettingField SettingFields[];
extern const int SettingFieldCount;
BYTE *SettingByte(const SettingField *field);       // where a number of the record lives
const SettingField *FindSettingByFileKey(const char *key);

void SetDefaultSettings();
// Whether a number read for a settings-file key is one the program can show: the column
// count, its sub-mode and the tab width have a layout only for their listed values.
bool SettingValueFits(const char *fileKey, long value);
// Values of a damaged store that no screen layout fits (and a row count of 0) go back to
// their defaults.
void RepairSettings();
void LoadSettings();
void SaveSettings();
void LoadExtCommands();
void SaveExtCommands();
