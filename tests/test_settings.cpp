#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include <algorithm>
#include <stdio.h>
#include "base/globals.h"
#include "config/registry.h"
#include "config/settings.h"

static const char keyPath[] = "Software\\Brevlock\\Kelpo";

static void DeleteKelpoKey()
{
    RegDeleteKeyA(HKEY_CURRENT_USER, keyPath);
}

static bool KeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

static void PutRaw(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                             &key, NULL));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type, (const BYTE *)data, size));
    RegCloseKey(key);
}

static void PutText(const char *name, const std::string &text)
{
    PutRaw(name, REG_SZ, text.c_str(), (DWORD)text.size() + 1);
}

// The stored type and bytes of one value; type 0 when it is missing.
static std::string GetRaw(const char *name, DWORD *type)
{
    *type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "";
    char data[2048];
    DWORD size = sizeof data;
    LONG r = RegQueryValueExA(key, name, NULL, type, (BYTE *)data, &size);
    RegCloseKey(key);
    if (r != ERROR_SUCCESS) {
        *type = 0;
        return "";
    }
    return std::string(data, size);
}

// A Shift-JIS text of exactly `length` bytes, double-byte characters with a backslash
// second byte included, never cut in half.
static std::string LongText(int length, char seed)
{
    std::string s;
    static const char *pieces[] = {"ソ", "表", "a", "\\", "ｱ", " "};
    for (int i = 0; (int)s.size() < length; i++) {
        std::string piece = pieces[(i + seed) % 6];
        if ((int)(s.size() + piece.size()) > length)
            piece = "x";
        s += piece;
    }
    return s;
}

class SettingsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AllocateTables()); }
    void SetUp() override
    {
        DeleteKelpoKey();
        CfgFileMode = 0;
        RegistryAccessHook = NULL;
        SettingsFileLoad = SettingsFileSave = ExtCommandsFileLoad = ExtCommandsFileSave = NULL;
        strcpy(ProgramDir, "C:\\Programs\\Kelpo\\");
        CurrentPath[0] = '\0';
        Scramble();
    }
    void TearDown() override
    {
        CfgFileMode = 0;
        RegistryAccessHook = NULL;
        SettingsFileLoad = SettingsFileSave = ExtCommandsFileLoad = ExtCommandsFileSave = NULL;
        DeleteKelpoKey();
    }
    // Values no load may leave behind unnoticed.
    static void Scramble()
    {
        memset(&Settings, 0xA5, sizeof Settings);
        strcpy(EditorPath, "stale editor");
        strcpy(ExtViewerPath, "stale viewer");
        strcpy(ExtArchiverPath, "stale archiver");
        strcpy(FontFaceName, "stale font");
        for (int i = 0; i < PATH_HISTORY_COUNT; i++)
            strcpy(PathHistory[i], "stale history");
        for (int i = 0; i < EXTCMD_COUNT; i++) {
            strcpy(ExtCommandLine[i], "stale line");
            strcpy(ExtCommandTitle[i], "stale title");
            strcpy(ExtCommandDir[i], "stale dir");
        }
    }
};

struct Snapshot {
    SettingsRecord s;
    std::string editor, viewer, archiver, font, current;
    std::vector<std::string> history, lines, titles, dirs;
};

static Snapshot TakeSnapshot()
{
    Snapshot snap;
    snap.s = Settings;
    snap.editor = EditorPath;
    snap.viewer = ExtViewerPath;
    snap.archiver = ExtArchiverPath;
    snap.font = FontFaceName;
    snap.current = CurrentPath;
    for (int i = 0; i < Settings.historyCount && i < PATH_HISTORY_COUNT; i++)
        snap.history.push_back(PathHistory[i]);
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        snap.lines.push_back(ExtCommandLine[i]);
        snap.titles.push_back(ExtCommandTitle[i]);
        snap.dirs.push_back(ExtCommandDir[i]);
    }
    return snap;
}

static void ExpectSameSettings(const Snapshot &a, const Snapshot &b)
{
    EXPECT_EQ(a.s.px, b.s.px);
    EXPECT_EQ(a.s.py, b.s.py);
    EXPECT_EQ(a.s.sx, b.s.sx);
    EXPECT_EQ(a.s.sy, b.s.sy);
    EXPECT_EQ(a.s.dispmode, b.s.dispmode);
    EXPECT_EQ(a.s.dispsubmode, b.s.dispsubmode);
    EXPECT_EQ(a.s.sortmode, b.s.sortmode);
    EXPECT_EQ(a.s.sortdir, b.s.sortdir);
    EXPECT_EQ(a.s.tab, b.s.tab);
    EXPECT_EQ(a.s.disprow, b.s.disprow);
    EXPECT_EQ(a.s.toolbar, b.s.toolbar);
    EXPECT_EQ(a.s.packmode, b.s.packmode);
    EXPECT_EQ(a.s.clipmode, b.s.clipmode);
    EXPECT_EQ(a.s.fkeynum, b.s.fkeynum);
    EXPECT_EQ(a.s.treesave, b.s.treesave);
    EXPECT_EQ(a.s.namesmall, b.s.namesmall);
    EXPECT_EQ(a.s.lnamepos, b.s.lnamepos);
    EXPECT_EQ(a.s.treemode, b.s.treemode);
    EXPECT_EQ(a.s.sideline, b.s.sideline);
    EXPECT_EQ(a.s.realsize, b.s.realsize);
    EXPECT_EQ(a.s.dirmark, b.s.dirmark);
    EXPECT_EQ(a.s.altenable, b.s.altenable);
    EXPECT_EQ(a.s.cspace, b.s.cspace);
    EXPECT_EQ(a.s.dirtime, b.s.dirtime);
    EXPECT_EQ(a.s.returndeleteyes, b.s.returndeleteyes);
    EXPECT_EQ(a.s.curpage, b.s.curpage);
    EXPECT_EQ(a.s.infounit, b.s.infounit);
    EXPECT_EQ(a.s.realcol, b.s.realcol);
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        EXPECT_EQ(a.s.colors[i], b.s.colors[i]) << ColorDefaults[i].name;
    EXPECT_EQ(a.s.presort, b.s.presort);
    EXPECT_EQ(a.s.viewcr, b.s.viewcr);
    EXPECT_EQ(a.s.secsw, b.s.secsw);
    EXPECT_EQ(a.s.timesw, b.s.timesw);
    EXPECT_EQ(a.s.weeksw, b.s.weeksw);
    EXPECT_EQ(a.s.fontpoint, b.s.fontpoint);
    EXPECT_EQ(a.s.charset, b.s.charset);
    EXPECT_EQ(a.s.italic, b.s.italic);
    EXPECT_EQ(a.s.weight, b.s.weight);
    EXPECT_EQ(a.s.historyCount, b.s.historyCount);
    EXPECT_EQ(a.editor, b.editor);
    EXPECT_EQ(a.viewer, b.viewer);
    EXPECT_EQ(a.archiver, b.archiver);
    EXPECT_EQ(a.font, b.font);
    EXPECT_EQ(a.current, b.current);
    EXPECT_EQ(a.history, b.history);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.titles, b.titles);
    EXPECT_EQ(a.dirs, b.dirs);
}

TEST_F(SettingsTest, EmptyKeyGivesTheDefaults)
{
    LoadSettings();
    EXPECT_FALSE(KeyExists()) << "reading must not create the key";
    EXPECT_EQ(0, Settings.px);
    EXPECT_EQ(0, Settings.py);
    EXPECT_EQ(0, Settings.sx);
    EXPECT_EQ(0, Settings.sy);
    EXPECT_EQ(2, Settings.dispmode);
    EXPECT_EQ(1, Settings.dispsubmode);
    EXPECT_EQ(1, Settings.sortmode);
    EXPECT_EQ(0, Settings.sortdir);
    EXPECT_EQ(8, Settings.tab);
    EXPECT_EQ(20, Settings.disprow);
    EXPECT_EQ(0, Settings.toolbar);
    EXPECT_STREQ("C:\\Programs\\Kelpo\\", CurrentPath);
    EXPECT_STREQ("NOTEPAD.EXE", EditorPath);
    EXPECT_STREQ("", ExtViewerPath);
    EXPECT_STREQ("", ExtArchiverPath);
    EXPECT_EQ('U', Settings.packmode);
    EXPECT_EQ(2, Settings.clipmode);
    EXPECT_EQ(12, Settings.fkeynum);
    EXPECT_EQ(1, Settings.treesave);
    EXPECT_EQ(0, Settings.namesmall);
    EXPECT_EQ(0, Settings.lnamepos);
    EXPECT_EQ(0, Settings.treemode);
    EXPECT_EQ(1, Settings.sideline);
    EXPECT_EQ(0, Settings.realsize);
    EXPECT_EQ(0, Settings.dirmark);
    EXPECT_EQ(0, Settings.altenable);
    EXPECT_EQ(0, Settings.cspace);
    EXPECT_EQ(1, Settings.dirtime);
    EXPECT_EQ(0, Settings.returndeleteyes);
    EXPECT_EQ(0, Settings.curpage);
    EXPECT_EQ(2, Settings.infounit);
    EXPECT_EQ(0, Settings.historyCount);
    EXPECT_EQ(0, Settings.realcol);
    const COLORREF colors[COLOR_SLOT_COUNT] = {
        RGB(0, 0, 0),       RGB(0, 255, 255),   RGB(255, 255, 0),   RGB(0, 255, 255),   RGB(255, 255, 255),
        RGB(255, 0, 255),   RGB(0, 0, 255),     RGB(0, 255, 0),     RGB(255, 255, 0),   RGB(255, 0, 0),
        RGB(0, 255, 255),   RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255),
        RGB(0, 0, 0),       RGB(255, 255, 0),   RGB(0, 255, 255),   RGB(255, 255, 0)};
    const char *names[COLOR_SLOT_COUNT] = {"cl_back", "cl_line", "cl_title", "cl_info", "cl_data",
                                           "cl_system", "cl_hidden", "cl_rdonly", "cl_normal", "cl_volume",
                                           "cl_subdir", "cl_owndir", "cl_mark", "cl_tree", "cl_view",
                                           "cl_viewbk", "cl_viewcr", "cl_func", "cl_func2"};
    for (int i = 0; i < COLOR_SLOT_COUNT; i++) {
        EXPECT_EQ(colors[i], Settings.colors[i]) << names[i];
        EXPECT_STREQ(names[i], ColorDefaults[i].name);
    }
    EXPECT_EQ(1, Settings.presort);
    EXPECT_EQ(0, Settings.viewcr);
    EXPECT_EQ(0, Settings.secsw);
    EXPECT_EQ(0, Settings.timesw);
    EXPECT_EQ(0, Settings.weeksw);
    EXPECT_EQ(12, Settings.fontpoint);
    EXPECT_EQ(128, Settings.charset);
    EXPECT_EQ(0, Settings.italic);
    EXPECT_EQ(400, Settings.weight);
    EXPECT_STREQ("ＭＳ 明朝", FontFaceName);
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        EXPECT_STREQ("", ExtCommandLine[i]);
        EXPECT_STREQ("", ExtCommandTitle[i]);
        EXPECT_STREQ("", ExtCommandDir[i]);
    }

    // SetDefaultSettings gives the same record without the registry.
    Snapshot loaded = TakeSnapshot();
    Scramble();
    SetDefaultSettings();
    strcpy(CurrentPath, ProgramDir);
    ExpectSameSettings(loaded, TakeSnapshot());
}

TEST_F(SettingsTest, StartDirectoryFromTheCommandLineWinsOverLastpath)
{
    PutText("lastpath", "D:\\stored");
    strcpy(CurrentPath, "E:\\given\\");
    LoadSettings();
    EXPECT_STREQ("E:\\given\\", CurrentPath);
    CurrentPath[0] = '\0';
    LoadSettings();
    EXPECT_STREQ("D:\\stored", CurrentPath);
}

// Non-default values in every field, long strings at the limits of their buffers.
static void FillEverything()
{
    Settings.px = -120;
    Settings.py = 33;
    Settings.sx = 1024;
    Settings.sy = 70000;
    Settings.dispmode = 3;
    Settings.dispsubmode = 2;
    Settings.sortmode = 3;
    Settings.sortdir = 1;
    Settings.tab = 4;
    Settings.disprow = 0x1234;
    Settings.toolbar = 28;
    Settings.packmode = 'M';
    Settings.clipmode = 63;
    Settings.fkeynum = 10;
    Settings.treesave = 0;
    Settings.namesmall = 1;
    Settings.lnamepos = 1;
    Settings.treemode = 1;
    Settings.sideline = 0;
    Settings.realsize = 1;
    Settings.dirmark = 1;
    Settings.altenable = 1;
    Settings.cspace = 1;
    Settings.dirtime = 0;
    Settings.returndeleteyes = 1;
    Settings.curpage = 1;
    Settings.infounit = 1;
    Settings.realcol = 1;
    for (int i = 0; i < COLOR_SLOT_COUNT; i++)
        Settings.colors[i] = RGB(i * 13, 255 - i, i * 7 + 1);
    Settings.presort = 0;
    Settings.viewcr = 1;
    Settings.secsw = 1;
    Settings.timesw = 1;
    Settings.weeksw = 1;
    Settings.fontpoint = 300;
    Settings.charset = 1;
    Settings.italic = 1;
    Settings.weight = 700;
    strcpy(CurrentPath, ("C:\\" + LongText(1000, 1)).c_str());
    strcpy(EditorPath, ("C:\\Editors\\" + LongText(1000, 2)).c_str());
    strcpy(ExtViewerPath, LongText(600, 3).c_str());
    strcpy(ExtArchiverPath, LongText(1023, 4).c_str());
    strcpy(FontFaceName, LongText(255, 5).c_str());
    Settings.historyCount = PATH_HISTORY_COUNT;
    for (int i = 0; i < PATH_HISTORY_COUNT; i++)
        strcpy(PathHistory[i], ("C:\\" + LongText(250 + i * 15, (char)i)).c_str());
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        strcpy(ExtCommandLine[i], LongText(i == 7 ? 500 : 200 + i * 6, (char)i).c_str());
        strcpy(ExtCommandTitle[i], LongText(i % 31 + 1, (char)(i + 1)).c_str());
        strcpy(ExtCommandDir[i], LongText(269 - i, (char)(i + 2)).c_str());
    }
    ExtCommandLine[51][0] = ExtCommandTitle[51][0] = ExtCommandDir[51][0] = '\0';
}

TEST_F(SettingsTest, EveryFieldRoundTrips)
{
    FillEverything();
    Snapshot saved = TakeSnapshot();
    SaveSettings();
    Scramble();
    CurrentPath[0] = '\0';
    LoadSettings();
    ExpectSameSettings(saved, TakeSnapshot());
    EXPECT_EQ(500u, strlen(ExtCommandLine[7]));
}

TEST_F(SettingsTest, StoredNamesAndTypesStayCompatible)
{
    FillEverything();
    SaveSettings();
    DWORD type;
    EXPECT_EQ(std::string("\x32", 1), GetRaw("dispmode", &type)); // 3 columns, extended-2
    EXPECT_EQ((DWORD)REG_BINARY, type);
    EXPECT_EQ(std::string("\x34\x12", 2), GetRaw("disprow", &type));
    EXPECT_EQ((DWORD)REG_BINARY, type);
    EXPECT_EQ(std::string("\x2c\x01", 2), GetRaw("fontpoint", &type));
    EXPECT_EQ(std::string("\x0a", 1), GetRaw("fkeynum", &type));
    EXPECT_EQ((DWORD)REG_BINARY, type);
    EXPECT_EQ(std::string("\x01", 1), GetRaw("returndeleteyes", &type));
    EXPECT_EQ(std::string("-120", 5), GetRaw("px", &type));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::string("70000", 6), GetRaw("sy", &type));
    EXPECT_EQ(std::string("700", 4), GetRaw("weight", &type));
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::string("M", 2), GetRaw("packmode", &type));
    EXPECT_EQ(std::string("13,254,8", 9), GetRaw("cl_line", &type));
    EXPECT_EQ((DWORD)REG_SZ, type);
    GetRaw("phist049", &type);
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::string("", 1), GetRaw("commenu51", &type)); // empty entries are written too
    EXPECT_EQ((DWORD)REG_SZ, type);
    EXPECT_EQ(std::string(ExtCommandLine[7]) + '\0', GetRaw("commenu07", &type));
    EXPECT_EQ(std::string(ExtCommandTitle[3]) + '\0', GetRaw("comtitle03", &type));
    EXPECT_EQ(std::string(ExtCommandDir[50]) + '\0', GetRaw("comdir50", &type));
}

TEST_F(SettingsTest, MalformedValuesReadAsDocumented)
{
    PutText("cl_line", "12,34");          // one comma
    PutText("cl_title", "12,256,0");      // a number above 255
    PutText("cl_info", " ");
    PutText("cl_data", "-1,0,0");
    PutText("cl_system", "1,2,3");
    PutText("cl_hidden", "7x,8 ,9;");     // numbers end at the first non-digit
    PutText("cl_rdonly", "99999999999999999999,0,0");
    PutText("phist000", "C:\\a");
    PutText("phist001", "C:\\b");
    PutText("phist002", "C:\\c");
    PutText("phist004", "C:\\e");         // phist003 missing
    PutText("commenu07", "@notepad $F");
    PutText("commenu08", "notepad @F");
    PutText("comtitle07", "Title");
    BYTE dispmode = 0x50;
    PutRaw("dispmode", REG_BINARY, &dispmode, 1);
    PutRaw("tab", REG_BINARY, "\x04\x00", 2);       // a byte stored with two bytes
    PutRaw("disprow", REG_BINARY, "\x10", 1);       // a word stored with one byte
    DWORD charset = 2;
    PutRaw("charset", REG_DWORD, &charset, 4);
    PutRaw("fontpoint", REG_NONE, "\x09\x00", 2);    // the stored type is ignored
    PutText("editor", " vi");
    PutText("packmode", "Axyz");
    PutText("weight", "650 bold");
    PutText("px", "-7");

    LoadSettings();
    EXPECT_EQ(RGB(0, 255, 255), Settings.colors[CL_LINE]);
    EXPECT_EQ(RGB(255, 255, 0), Settings.colors[CL_TITLE]);
    EXPECT_EQ(RGB(0, 255, 255), Settings.colors[CL_INFO]);
    EXPECT_EQ(RGB(255, 255, 255), Settings.colors[CL_DATA]);
    EXPECT_EQ(RGB(1, 2, 3), Settings.colors[CL_SYSTEM]);
    EXPECT_EQ(RGB(7, 8, 9), Settings.colors[CL_HIDDEN]);
    EXPECT_EQ(RGB(0, 255, 0), Settings.colors[CL_RDONLY]);
    ASSERT_EQ(3, Settings.historyCount);
    EXPECT_STREQ("C:\\a", PathHistory[0]);
    EXPECT_STREQ("C:\\c", PathHistory[2]);
    EXPECT_STREQ("", PathHistory[3]);
    EXPECT_STREQ("", ExtCommandLine[7]);
    EXPECT_STREQ("Title", ExtCommandTitle[7]);
    EXPECT_STREQ("notepad @F", ExtCommandLine[8]);
    EXPECT_EQ(5, Settings.dispmode);
    EXPECT_EQ(0, Settings.dispsubmode);
    EXPECT_EQ(8, Settings.tab);
    EXPECT_EQ(20, Settings.disprow);
    EXPECT_EQ(128, Settings.charset);
    EXPECT_EQ(9, Settings.fontpoint);
    EXPECT_STREQ("NOTEPAD.EXE", EditorPath);
    EXPECT_EQ('A', Settings.packmode);
    EXPECT_EQ(650, Settings.weight);
    EXPECT_EQ(-7, Settings.px);

    // Written back, the 0x50 stays 0x50 and a missing phist003 stays the end.
    SaveSettings();
    DWORD type;
    EXPECT_EQ(std::string("\x50", 1), GetRaw("dispmode", &type));
    GetRaw("phist003", &type);
    EXPECT_EQ(0u, type);
}

TEST_F(SettingsTest, FontWeightOutsideWhatAFontTakesGivesTheDefault)
{
    for (const char *stored : {"99999999999", "-5", "1001"}) {
        PutText("weight", stored);
        LoadSettings();
        EXPECT_EQ(400, Settings.weight) << stored;
    }
    PutText("weight", "1000");
    LoadSettings();
    EXPECT_EQ(1000, Settings.weight);
}

TEST_F(SettingsTest, LongStringsReadBackAsStored)
{
    std::string line = LongText(500, 0);
    std::string history = "C:\\" + LongText(1020, 1);
    std::string last = "C:\\" + LongText(900, 2);
    std::string editor = LongText(300, 3);
    std::string font = LongText(255, 4);
    PutText("commenu00", line);
    PutText("phist000", history);
    PutText("phist001", "C:\\short");
    PutText("lastpath", last);
    PutText("editor", editor);
    PutText("extviewer", LongText(1023, 5));
    PutText("fontname", font);
    PutText("comtitle00", LongText(31, 6));
    PutText("comdir00", LongText(269, 7));
    // Data stored without its terminating zero is read in full as well.
    PutRaw("commenu01", REG_SZ, "abc", 3);
    LoadSettings();
    EXPECT_EQ(line, ExtCommandLine[0]);
    EXPECT_EQ(2, Settings.historyCount);
    EXPECT_EQ(history, PathHistory[0]);
    EXPECT_STREQ("C:\\short", PathHistory[1]);
    EXPECT_EQ(last, CurrentPath);
    EXPECT_EQ(editor, EditorPath);
    EXPECT_EQ(LongText(1023, 5), ExtViewerPath);
    EXPECT_EQ(font, FontFaceName);
    EXPECT_EQ(LongText(31, 6), ExtCommandTitle[0]);
    EXPECT_EQ(LongText(269, 7), ExtCommandDir[0]);
    EXPECT_STREQ("abc", ExtCommandLine[1]);
}

TEST_F(SettingsTest, TextLongerThanItsFieldReadsAsTheDefaultNeverCut)
{
    PutText("commenu02", LongText(511, 0));   // fits 512 with its zero
    PutText("commenu03", LongText(512, 0));   // one too many
    PutText("comtitle03", LongText(32, 1));
    PutText("comdir03", LongText(270, 2));
    PutText("editor", LongText(1024, 3));
    PutRaw("commenu04", REG_SZ, std::string(511, 'x').c_str(), 511);   // stored without its zero
    LoadSettings();
    EXPECT_EQ(LongText(511, 0), ExtCommandLine[2]);
    EXPECT_STREQ("", ExtCommandLine[3]);
    EXPECT_STREQ("", ExtCommandTitle[3]);
    EXPECT_STREQ("", ExtCommandDir[3]);
    EXPECT_EQ(std::string(511, 'x'), ExtCommandLine[4]);
    EXPECT_STREQ("NOTEPAD.EXE", EditorPath);
}

TEST_F(SettingsTest, ShorterHistoryLeavesNoStaleEntries)
{
    Settings.historyCount = 5;
    for (int i = 0; i < 5; i++)
        sprintf(PathHistory[i], "C:\\dir%d", i);
    SaveSettings();
    Settings.historyCount = 2;
    SaveSettings();
    Scramble();
    LoadSettings();
    ASSERT_EQ(2, Settings.historyCount);
    EXPECT_STREQ("C:\\dir1", PathHistory[1]);

    Settings.historyCount = 75;   // limited to 50 when saved
    for (int i = 0; i < PATH_HISTORY_COUNT; i++)
        sprintf(PathHistory[i], "C:\\h%d", i);
    SaveSettings();
    EXPECT_EQ(PATH_HISTORY_COUNT, Settings.historyCount);
    Scramble();
    LoadSettings();
    EXPECT_EQ(PATH_HISTORY_COUNT, Settings.historyCount);
    EXPECT_STREQ("C:\\h49", PathHistory[49]);
}

static std::vector<std::string> accessed;
static int writes;
static void RecordAccess(const char *name, bool write)
{
    accessed.push_back(name);
    writes += write;
}

static std::vector<std::string> StoredOrder(int historyNames)
{
    std::vector<std::string> names = {"px", "py", "sx", "sy", "dispmode", "sortmode", "sortdir", "tab",
                                      "disprow", "toolbar", "lastpath", "editor", "extviewer",
                                      "extarchiver", "packmode", "clipmode", "fkeynum", "treesave",
                                      "namesmall", "lnamepos", "treemode", "sideline", "realsize", "dirmark",
                                      "altenable", "cspace", "dirtime", "returndeleteyes", "curpage",
                                      "infounit"};
    char name[16];
    for (int i = 0; i < historyNames; i++) {
        sprintf(name, "phist%03d", i);
        names.push_back(name);
    }
    names.push_back("realcol");
    for (const char *c : {"cl_back", "cl_line", "cl_title", "cl_info", "cl_data", "cl_system", "cl_hidden",
                          "cl_rdonly", "cl_normal", "cl_volume", "cl_subdir", "cl_owndir", "cl_mark", "cl_tree",
                          "cl_view", "cl_viewbk", "cl_viewcr", "cl_func", "cl_func2"})
        names.push_back(c);
    for (const char *c : {"presort", "viewcr", "secsw", "timesw", "weeksw", "fontpoint", "charset", "italic",
                          "weight", "fontname"})
        names.push_back(c);
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        sprintf(name, "commenu%02d", i);
        names.push_back(name);
        sprintf(name, "comtitle%02d", i);
        names.push_back(name);
        sprintf(name, "comdir%02d", i);
        names.push_back(name);
    }
    return names;
}

TEST_F(SettingsTest, ValuesAreReadAndWrittenInTheirOrder)
{
    SetDefaultSettings();
    Settings.historyCount = PATH_HISTORY_COUNT;
    for (int i = 0; i < PATH_HISTORY_COUNT; i++)
        sprintf(PathHistory[i], "C:\\h%d", i);
    strcpy(CurrentPath, "C:\\x\\");
    RegistryAccessHook = RecordAccess;
    accessed.clear();
    writes = 0;
    SaveSettings();
    EXPECT_EQ(StoredOrder(PATH_HISTORY_COUNT), accessed);
    EXPECT_EQ((int)accessed.size(), writes);

    accessed.clear();
    writes = 0;
    LoadSettings();
    EXPECT_EQ(0, writes);
    std::vector<std::string> expected = StoredOrder(PATH_HISTORY_COUNT);
    expected.erase(std::find(expected.begin(), expected.end(), "lastpath")); // CurrentPath was set
    EXPECT_EQ(expected, accessed);
}

static int fileLoads, fileSaves, extFileLoads, extFileSaves;

TEST_F(SettingsTest, FileModeLeavesTheRegistryAlone)
{
    BYTE dispmode = 0x30;
    PutRaw("dispmode", REG_BINARY, &dispmode, 1);
    PutText("editor", "stored.exe");
    PutText("commenu00", "stored command");
    CfgFileMode = 1;
    RegistryAccessHook = RecordAccess;
    accessed.clear();
    fileLoads = fileSaves = extFileLoads = extFileSaves = 0;
    SettingsFileLoad = [] { fileLoads++; };
    SettingsFileSave = [] { fileSaves++; };
    ExtCommandsFileLoad = [] { extFileLoads++; };
    ExtCommandsFileSave = [] { extFileSaves++; };

    LoadSettings();
    LoadExtCommands();
    EXPECT_NE(3, Settings.dispmode);
    EXPECT_STRNE("stored.exe", EditorPath);
    EXPECT_STRNE("stored command", ExtCommandLine[0]);
    EXPECT_STREQ(ProgramDir, CurrentPath);

    strcpy(EditorPath, "memory.exe");
    strcpy(ExtCommandLine[0], "memory command");
    SaveSettings();
    SaveExtCommands();
    EXPECT_TRUE(accessed.empty());
    EXPECT_EQ(1, fileLoads);
    EXPECT_EQ(1, fileSaves);
    EXPECT_EQ(1, extFileLoads);
    EXPECT_EQ(1, extFileSaves);
    DWORD type;
    EXPECT_EQ(std::string("stored.exe", 11), GetRaw("editor", &type));
    EXPECT_EQ(std::string("stored command", 15), GetRaw("commenu00", &type));
    GetRaw("px", &type);
    EXPECT_EQ(0u, type);

    // Without the settings-file code nothing is read or written either.
    SettingsFileLoad = SettingsFileSave = ExtCommandsFileLoad = ExtCommandsFileSave = NULL;
    DeleteKelpoKey();
    LoadSettings();
    SaveSettings();
    LoadExtCommands();
    SaveExtCommands();
    EXPECT_TRUE(accessed.empty());
    EXPECT_FALSE(KeyExists());
}

TEST_F(SettingsTest, PrimitivesFallBackToTheirDefaults)
{
    EXPECT_EQ(77, RegReadByte("nothing", 77));
    EXPECT_EQ(0xBEEF, RegReadWord("nothing", 0xBEEF));
    char out[16];
    EXPECT_EQ(3, RegReadString("nothing", "def", out, sizeof out));
    EXPECT_STREQ("def", out);
    EXPECT_EQ(RGB(1, 2, 3), RegReadColor("nothing", 1, 2, 3));
    EXPECT_FALSE(KeyExists());

    RegWriteByte("b", 200);
    RegWriteWord("w", 0xA1B2);
    RegWriteString("s", "ソ\\表");
    RegWriteColor("c", RGB(255, 0, 128));
    EXPECT_EQ(200, RegReadByte("b", 0));
    EXPECT_EQ(0xA1B2, RegReadWord("w", 0));
    EXPECT_EQ(5, RegReadString("s", "", out, sizeof out));
    EXPECT_STREQ("ソ\\表", out);
    EXPECT_EQ(RGB(255, 0, 128), RegReadColor("c", 0, 0, 0));
    DWORD type;
    EXPECT_EQ(std::string("255,0,128", 10), GetRaw("c", &type));
    EXPECT_EQ(0, RegReadByte("w", 0)) << "a word is no byte";
    EXPECT_EQ(0x0102, RegReadWord("b", 0x0102)) << "a byte is no word";
    // The default also fills the buffer when the text does not fit into it.
    EXPECT_EQ(3, RegReadString("s", "xyz", out, 4));
    EXPECT_STREQ("xyz", out);
}
