// Kelpo.CFG: written and read back unchanged, partial and malformed files by their rules,
// the file replaced only when the new one is whole, and file mode leaving the registry alone.
#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include <string>
#include "base/globals.h"
#include "config/cfgfile.h"
#include "config/settings.h"
#include "config/registry.h"
#include "support/testutil.h"
#include "support/window.h"
#include "support/windowfixture.h"
#include "support/dialogdriver.h"

namespace {

const char settingsKey[] = "Software\\Brevlock\\Kelpo";

class SettingsFile : public testing::Test {
protected:
    void SetUp() override
    {
        if (!ProgramDir) {
            ASSERT_TRUE(AllocateTables());
        }
        SetDefaultSettings();
    }
    // Every setting the file carries, away from its default.
    static void Unusual()
    {
        Settings.dispmode = 5;
        Settings.dispsubmode = 2;
        for (const char *key : {"namesmall", "lnamepos", "realsize", "dirmark", "curpage", "presort", "treemode",
                                "cspace", "retdel", "altenable", "weeksw", "timesw", "secsw", "viewcr", "realcol"})
            *SettingByte(FindSettingByFileKey(key)) = 1;
        Settings.sideline = Settings.treesave = Settings.dirtime = 0;
        Settings.sortmode = 3;
        Settings.sortdir = 1;
        Settings.tab = 4;
        Settings.fkeynum = 10;
        Settings.clipmode = 63;
        Settings.packmode = 'M';
        strcpy(EditorPath, "C:\\エディタ\\秀丸.exe");
        strcpy(ExtViewerPath, "C:\\Tools\\view er.exe");
        strcpy(ExtArchiverPath, "C:\\ソフト\\arc.exe");
        for (int i = 0; i < COLOR_SLOT_COUNT; i++)
            Settings.colors[i] = RGB(i * 3, 255 - i, i * 7);
        for (int i = 0; i < EXTCMD_COUNT; i++) {
            snprintf(ExtCommandTitle[i], EXTCMD_TITLE, "題名%d", i);
            snprintf(ExtCommandLine[i], EXTCMD_LINE, "cmd%d.exe $F", i);
        }
        strcpy(ExtCommandTitle[3], "a, \"quoted\" title");
        strcpy(ExtCommandLine[3], "echo \\\"x\\\" , y");
        strcpy(ExtCommandTitle[4], "say \"hi\"");
        strcpy(ExtCommandLine[4], "");
        ExtCommandTitle[5][0] = ExtCommandLine[5][0] = '\0';
    }
};

TEST_F(SettingsFile, EverySettingSurvivesAWriteAndARead)
{
    Unusual();
    SettingsRecord written = Settings;
    std::string editor = EditorPath, viewer = ExtViewerPath, archiver = ExtArchiverPath;
    char titles[EXTCMD_COUNT][EXTCMD_TITLE], lines[EXTCMD_COUNT][EXTCMD_LINE];
    memcpy(titles, ExtCommandTitle, sizeof titles);
    memcpy(lines, ExtCommandLine, sizeof lines);
    std::string text = MakeSettingsText();
    SetDefaultSettings();
    ASSERT_TRUE(ApplySettingsText(text.c_str()));
    EXPECT_EQ(0, memcmp(&written, &Settings, sizeof Settings));
    EXPECT_EQ(editor, EditorPath);
    EXPECT_EQ(viewer, ExtViewerPath);
    EXPECT_EQ(archiver, ExtArchiverPath);
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        EXPECT_STREQ(titles[i], ExtCommandTitle[i]) << "entry " << i;
        EXPECT_STREQ(lines[i], ExtCommandLine[i]) << "entry " << i;
    }
}

TEST_F(SettingsFile, LayoutStartsAsWrittenByHand)
{
    std::string text = MakeSettingsText();
    EXPECT_EQ(0u, text.find("[Kelpo]\r\nConfig=Kelpo Config File\r\n\r\n[Filer]\r\n; ファイルとディレクトリ表示画面の設定\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\n; secsw \t時計表示\t0:秒を表示しない  1:表示する\r\n\r\ndispmode=2\r\n"));
    EXPECT_NE(std::string::npos, text.find("[Colors]"));
    EXPECT_NE(std::string::npos, text.find("cl_back=0,0,0\r\n"));
    EXPECT_NE(std::string::npos, text.find("retdel=0\r\n"));
    EXPECT_NE(std::string::npos, text.find("packmode=U\r\n"));
    EXPECT_NE(std::string::npos, text.find("command1A=\r\n"));
    EXPECT_NE(std::string::npos, text.find("command2Z=\r\n\r\n"));
    EXPECT_EQ(std::string::npos, text.find("\n\n"));    // every line ends with CR LF
    EXPECT_EQ("plain,c", ExtCommandValue("plain", "c"));
    EXPECT_EQ("\"x, \\\"y\\\"\",run", ExtCommandValue("x, \"y\"", "run"));
    EXPECT_EQ("say \\\"hi\\\",", ExtCommandValue("say \"hi\"", ""));
}

TEST_F(SettingsFile, OnlySortmodeChangesSortmodeAndClearsTheCommands)
{
    Unusual();
    strcpy(ExtCommandDir[7], "C:\\work");
    SettingsRecord before = Settings;
    ASSERT_TRUE(ApplySettingsText("[Kelpo]\r\nConfig=Kelpo Config File\r\n[Filer]\r\nsortmode=1\r\n"));
    EXPECT_EQ(1, Settings.sortmode);
    Settings.sortmode = before.sortmode;
    EXPECT_EQ(0, memcmp(&before, &Settings, sizeof Settings));
    for (int i = 0; i < EXTCMD_COUNT; i++) {
        EXPECT_STREQ("", ExtCommandTitle[i]);
        EXPECT_STREQ("", ExtCommandLine[i]);
        EXPECT_STREQ("", ExtCommandDir[i]);
    }
}

TEST_F(SettingsFile, MalformedValuesFollowTheirRules)
{
    Unusual();
    std::string longLine(5000, 'x');
    std::string text = "[Kelpo]\nConfig=Kelpo Config File\n[Filer]\nsortmode=abc\ntreemode=12x\ndispmode = 3 \n"
                       "[Archiver]\npackmode=MX\n[All]\neditor=" + longLine + "\n[Colors]\ncl_back=1,2\n"
                       "cl_line=300,0,0\ncl_title=10,20,30\n[ExtCommand]\ncommand1A=\"unterminated,x\n"
                       "command1B=no comma here\ncommand2C=\ncommand1D=\"t,1\",run.exe\n";
    COLORREF back = Settings.colors[CL_BACK], line = Settings.colors[CL_LINE];
    std::string oldA = ExtCommandLine[0], oldB = ExtCommandLine[1];
    strcpy(ExtCommandDir[28], "D:\\");
    ASSERT_TRUE(ApplySettingsText(text.c_str()));
    EXPECT_EQ(0, Settings.sortmode);
    EXPECT_EQ(12, Settings.treemode);
    EXPECT_EQ(3, Settings.dispmode);
    EXPECT_EQ('M', Settings.packmode);
    EXPECT_EQ(499u, strlen(EditorPath));
    EXPECT_EQ(back, Settings.colors[CL_BACK]);
    EXPECT_EQ(line, Settings.colors[CL_LINE]);
    EXPECT_EQ(RGB(10, 20, 30), Settings.colors[CL_TITLE]);
    EXPECT_EQ(oldA, ExtCommandLine[0]);
    EXPECT_EQ(oldB, ExtCommandLine[1]);
    EXPECT_STREQ("", ExtCommandDir[28]);
    EXPECT_STREQ("t,1", ExtCommandTitle[3]);
    EXPECT_STREQ("run.exe", ExtCommandLine[3]);
    // Foreign and binary files change nothing.
    SettingsRecord before = Settings;
    EXPECT_FALSE(ApplySettingsText("[Kelpo]\nConfig=Something Else\n[Filer]\nsortmode=2\n"));
    EXPECT_FALSE(ApplySettingsText("\x01\x02\xff\xfe garbage [ ] = ;"));
    EXPECT_FALSE(ApplySettingsText(""));
    EXPECT_EQ(0, memcmp(&before, &Settings, sizeof Settings));
}

// A column count, sub-mode or tab width that has no layout would leave the listing empty:
// from the file such a value keeps the setting, from a damaged registry it takes its default.
TEST_F(SettingsFile, ValuesWithoutALayoutAreNotTaken)
{
    Unusual();
    ASSERT_TRUE(ApplySettingsText("[Kelpo]\nConfig=Kelpo Config File\n[Filer]\ndispmode=4\ndispsubmode=3\n"
                                  "sortmode=2\n[Viewer]\ntab=3\n"));
    EXPECT_EQ(5, Settings.dispmode);
    EXPECT_EQ(2, Settings.dispsubmode);
    EXPECT_EQ(4, Settings.tab);
    EXPECT_EQ(2, Settings.sortmode);
    ASSERT_TRUE(ApplySettingsText("[Kelpo]\nConfig=Kelpo Config File\n[Filer]\ndispmode=0\ndispsubmode=x\n"
                                  "[Viewer]\ntab=260\n"));
    EXPECT_EQ(5, Settings.dispmode);
    EXPECT_EQ(0, Settings.dispsubmode);
    EXPECT_EQ(4, Settings.tab);
    ASSERT_TRUE(ApplySettingsText("[Kelpo]\nConfig=Kelpo Config File\n[Filer]\ndispmode=3\ndispsubmode=1\n"
                                  "[Viewer]\ntab=2\n"));
    EXPECT_EQ(3, Settings.dispmode);
    EXPECT_EQ(1, Settings.dispsubmode);
    EXPECT_EQ(2, Settings.tab);

    RegWriteByte("dispmode", 0x40);
    RegWriteByte("tab", 7);
    RegWriteWord("disprow", 0);
    LoadSettings();
    EXPECT_EQ(2, Settings.dispmode);
    EXPECT_EQ(1, Settings.dispsubmode);
    EXPECT_EQ(8, Settings.tab);
    EXPECT_EQ(20, Settings.disprow);
    RegWriteByte("dispmode", 0x53);
    LoadSettings();
    EXPECT_EQ(2, Settings.dispmode);
    EXPECT_EQ(1, Settings.dispsubmode);
    RegWriteByte("dispmode", 0x52);
    RegWriteWord("disprow", 200);
    LoadSettings();
    EXPECT_EQ(5, Settings.dispmode);
    EXPECT_EQ(2, Settings.dispsubmode);
    EXPECT_EQ(200, Settings.disprow);
    // The registry is left as the window tests below expect to find it: without the program's key.
    RegDeleteKeyA(HKEY_CURRENT_USER, settingsKey);
}

// With " /r", a Kelpo.CFG that is not a settings file (broken by hand, or another program's)
// is not simply overwritten by the first save: it is kept as Kelpo.CFG.bak.
TEST_F(SettingsFile, FileModeKeepsAForeignFileAndReloadsNothingWithoutOne)
{
    TempDir temp;
    strcpy(ProgramDir, temp.path.c_str());
    const std::string foreign = "[Kelpo]\r\nConfig=my notes\r\n[Filer]\r\nsortmode=3\r\n";
    temp.MakeFile("Kelpo.CFG", foreign);
    CfgFileMode = 1;
    InstallSettingsFileHooks();
    LoadSettings();
    EXPECT_EQ(1, Settings.sortmode);
    SaveSettings();
    EXPECT_EQ(foreign, ReadAll(temp.Full("Kelpo.CFG.bak")));
    EXPECT_EQ(MakeSettingsText(), ReadAll(temp.Full("Kelpo.CFG")));
    // Once the file is the program's own, saving again keeps the copy as it was.
    Settings.sortmode = 2;
    SaveSettings();
    EXPECT_EQ(foreign, ReadAll(temp.Full("Kelpo.CFG.bak")));
    // A settings file of the program's own, or none at all, leaves no copy.
    DeleteFileA(temp.Full("Kelpo.CFG.bak").c_str());
    LoadSettings();
    EXPECT_EQ(2, Settings.sortmode);
    SaveSettings();
    DeleteFileA(temp.Full("Kelpo.CFG").c_str());
    LoadSettings();
    SaveSettings();
    EXPECT_EQ("<missing>", ReadAll(temp.Full("Kelpo.CFG.bak")));
    DeleteFileA(temp.Full("Kelpo.CFG").c_str());
    // Without any file, reloading the commands (Cancel in their editor) forgets the edits.
    strcpy(ExtCommandTitle[0], "edited");
    strcpy(ExtCommandLine[0], "edited.exe");
    LoadExtCommands();
    EXPECT_STREQ("", ExtCommandTitle[0]);
    EXPECT_STREQ("", ExtCommandLine[0]);
    CfgFileMode = 0;
    ProgramDir[0] = '\0';
}

TEST_F(SettingsFile, AFailedWriteLeavesTheOldFileWhole)
{
    TempDir temp;
    std::string path = temp.Full("Kelpo.CFG");
    Unusual();
    ASSERT_TRUE(WriteSettingsFile(path.c_str()));
    SetDefaultSettings();
    ASSERT_TRUE(ReadSettingsFile(path.c_str()));
    EXPECT_EQ(5, Settings.dispmode);
    std::string first;
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        char buffer[65536];
        DWORD read = 0;
        ReadFile(f, buffer, sizeof buffer, &read, NULL);
        CloseHandle(f);
        first.assign(buffer, read);
    }
    EXPECT_EQ(MakeSettingsText(), first);
    // The temporary name is taken by a directory: the write fails, says so, and the old file stays.
    temp.MakeDir("Kelpo.CFG.new");
    Settings.dispmode = 1;
    EXPECT_FALSE(WriteSettingsFile(path.c_str()));
    SetDefaultSettings();
    ASSERT_TRUE(ReadSettingsFile(path.c_str()));
    EXPECT_EQ(5, Settings.dispmode);
    EXPECT_FALSE(ReadSettingsFile(temp.Full("missing.CFG").c_str()));
}

class SettingsFileMode : public KelpoWindowTest {
protected:
    // Runs command on the main window and answers its common file dialog: path typed into the
    // file name field, then OK. Keeps the caption and the name the dialog proposed.
    static void ThroughFileDialog(void (*command)(HWND), const std::string &path, std::string *caption,
                                  std::string *proposed)
    {
        DialogDriver driver;
        AnswerFileDialog(driver, path, caption, proposed);
        command(g_mainWnd);
        EXPECT_TRUE(driver.Done());
    }
};

// " /r": the settings come from and go to Kelpo.CFG beside the program; the registry is not touched.
TEST_F(SettingsFileMode, ARunWithTheSwitchWritesTheFileAndNoRegistryValue)
{
    ASSERT_TRUE(KelpoStart("Kelpo.EXE \"" + temp.path + "\" /r"));
    EXPECT_EQ(1, CfgFileMode);
    std::string file = std::string(ProgramDir) + "Kelpo.CFG";
    KelpoStop();
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, settingsKey, 0, KEY_READ, &key));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(file.c_str()));
    DeleteFileA(file.c_str());
}

// The two menu commands through the common dialogs: the save dialog proposes Kelpo.CFG and a
// name typed without an extension is given .CFG; the read dialog proposes the filter's *.cfg.
TEST_F(SettingsFileMode, SaveAndReadThroughTheFileDialogs)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    Settings.tab = 4;
    SaveSettings();
    std::string caption, proposed;
    ThroughFileDialog(SaveSettingsFileCommand, temp.Full("saved"), &caption, &proposed);
    EXPECT_EQ("Kelpo - 設定をﾃｷｽﾄﾌｧｲﾙに保存", caption);
    EXPECT_EQ("Kelpo.CFG", proposed);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(temp.Full("saved.CFG").c_str()));
    Settings.tab = 8;
    SaveSettings();
    ThroughFileDialog(ReadSettingsFileCommand, temp.Full("saved.CFG"), &caption, &proposed);
    EXPECT_EQ("Kelpo - 設定をﾃｷｽﾄﾌｧｲﾙから読み込む", caption);
    EXPECT_EQ("*.cfg", proposed);
    EXPECT_EQ(4, Settings.tab);
}

// Saving to a CFG file writes the settings in use: a column count chosen with a key since the
// last save goes into the file and stays on the screen.
TEST_F(SettingsFileMode, SavingWritesTheSettingsInUse)
{
    ASSERT_NO_FATAL_FAILURE(Start(temp.path));
    Settings.dispmode = 2;
    Settings.dispsubmode = 0;
    SaveSettings();
    KelpoType("5");
    ASSERT_EQ(5, Settings.dispmode);
    std::string caption, proposed;
    ThroughFileDialog(SaveSettingsFileCommand, temp.Full("now.CFG"), &caption, &proposed);
    EXPECT_EQ(5, Settings.dispmode);
    EXPECT_NE(std::string::npos, ReadAll(temp.Full("now.CFG")).find("\r\ndispmode=5\r\n"));
    EXPECT_TRUE(KelpoScreenTruth());
}

}   // namespace
