#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "extcmd/macro.h"

namespace {

const MacroValues sample = {
    "Long File.txt",
    "LONGFI~1.TXT",
    "C:\\Work Dir\\Long File.txt",
    "C:\\WORKDI~1\\LONGFI~1.TXT",
    "C:\\Work Dir",
    "C:\\WORKDI~1",
};

struct LineCase {
    const char *line;
    const char *expanded;
    MacroListMode mode;
    bool shortNames, noExtension, noDialog, activate;
};

const LineCase lineCases[] = {
    {"edit $C", "edit Long File.txt", MACRO_LIST_NONE, false, false, false, false},
    {"edit $c", "edit LONGFI~1.TXT", MACRO_LIST_NONE, false, false, false, false},
    {"v $F", "v C:\\Work Dir\\Long File.txt", MACRO_LIST_NONE, false, false, false, false},
    {"v \"$F\"", "v \"C:\\Work Dir\\Long File.txt\"", MACRO_LIST_NONE, false, false, false, false},
    {"v $f", "v C:\\WORKDI~1\\LONGFI~1.TXT", MACRO_LIST_NONE, false, false, false, false},
    {"$X|$x", "Long File|LONGFI~1", MACRO_LIST_NONE, false, false, false, false},
    {"$P|$p", "C:\\Work Dir|C:\\WORKDI~1", MACRO_LIST_NONE, false, false, false, false},
    {"$D|$d", "C:|C:", MACRO_LIST_NONE, false, false, false, false},
    {"$C$C", "Long File.txtLong File.txt", MACRO_LIST_NONE, false, false, false, false},
    // "$$" is kept and never starts a macro.
    {"$$C", "$$C", MACRO_LIST_NONE, false, false, false, false},
    {"a$$$C", "a$$Long File.txt", MACRO_LIST_NONE, false, false, false, false},
    {"$$T $$R", "$$T $$R", MACRO_LIST_NONE, false, false, false, false},
    // Unknown macros and a lone "$" stay.
    {"$Z $ $", "$Z $ $", MACRO_LIST_NONE, false, false, false, false},
    {"$R x $K", " x ", MACRO_LIST_NONE, false, false, true, true},
    {"$r$ky", "y", MACRO_LIST_NONE, false, false, true, true},
    // List macros: the line is cut where the list macro stood.
    {"x $T -o", "x ", MACRO_LIST_TEN, false, false, false, false},
    {"x $t", "x ", MACRO_LIST_TEN, true, false, false, false},
    {"x $TA -o $R", "x ", MACRO_LIST_REPEAT, false, false, true, false},
    {"x $ta", "x ", MACRO_LIST_REPEAT, true, false, false, false},
    {"x $M", "x ", MACRO_LIST_EACH, false, false, false, false},
    {"x $m", "x ", MACRO_LIST_EACH, true, false, false, false},
    {"x $XT", "x ", MACRO_LIST_TEN, false, true, false, false},
    {"x $xt", "x ", MACRO_LIST_TEN, true, true, false, false},
    {"x $XTA", "x ", MACRO_LIST_REPEAT, false, true, false, false},
    {"x $xta", "x ", MACRO_LIST_REPEAT, true, true, false, false},
    {"x $XM", "x ", MACRO_LIST_EACH, false, true, false, false},
    {"x $xm", "x ", MACRO_LIST_EACH, true, true, false, false},
    {"$C $T $K", "Long File.txt ", MACRO_LIST_TEN, false, false, false, true},
    // $TA is looked for first, then $ta, $T, $t, $M, $m; other list macros stay as written.
    {"a $M b $TA", "a $M b ", MACRO_LIST_REPEAT, false, false, false, false},
    {"a $XM b $T", "a $M b ", MACRO_LIST_TEN, false, true, false, false},
    {"$ta $TA", "$ta ", MACRO_LIST_REPEAT, false, false, false, false},
    {"$m $t", "$m ", MACRO_LIST_TEN, true, false, false, false},
    {"$T a $T", "", MACRO_LIST_TEN, false, false, false, false},
    // Double-byte text around macros: trail bytes 0x5C and 0x7C are not separators.
    {"\x83\x5C$C\x83\x7C", "\x83\x5CLong File.txt\x83\x7C", MACRO_LIST_NONE, false, false, false, false},
    {"", "", MACRO_LIST_NONE, false, false, false, false},
};

TEST(MacroExpansion, EveryMacroAndFlag)
{
    for (const LineCase &c : lineCases) {
        SCOPED_TRACE(c.line);
        char buffer[EXPAND_BUFFER];
        MacroPlan plan;
        ASSERT_TRUE(ExpandMacroLine(c.line, &sample, buffer, sizeof buffer, &plan));
        EXPECT_STREQ(c.expanded, buffer);
        EXPECT_EQ(c.mode, plan.mode);
        EXPECT_EQ(c.shortNames, plan.shortNames);
        EXPECT_EQ(c.noExtension, plan.noExtension);
        EXPECT_EQ(c.noDialog, plan.noDialog);
        EXPECT_EQ(c.activate, plan.activate);
    }
}

TEST(MacroExpansion, RootDirectoryAndNamesThatLookLikeMacros)
{
    MacroValues root = {"a$Fb$T%x%.tar.gz", "A$FB~1.GZ", "C:\\a$Fb$T%x%.tar.gz", "C:\\A$FB~1.GZ", "C:", "C:"};
    char buffer[256];
    MacroPlan plan;
    ASSERT_TRUE(ExpandMacroLine("[$P][$D][$C][$X][$F]", &root, buffer, sizeof buffer, &plan));
    EXPECT_STREQ("[C:][C:][a$Fb$T%x%.tar.gz][a$Fb$T%x%.tar][C:\\a$Fb$T%x%.tar.gz]", buffer);
    EXPECT_EQ(MACRO_LIST_NONE, plan.mode);

    MacroValues dbcs = {"\x83\x5C\x83\x7C.txt", "\x83\x5C\x83\x7C.txt", "", "", "C:\\\x95\x5C", "C:\\\x95\x5C"};
    ASSERT_TRUE(ExpandMacroLine("$X|$P", &dbcs, buffer, sizeof buffer, &plan));
    EXPECT_STREQ("\x83\x5C\x83\x7C|C:\\\x95\x5C", buffer);
}

TEST(MacroExpansion, ALineThatDoesNotFitIsRefusedWhole)
{
    std::string longPath = "C:\\" + std::string(1000, 'p');
    MacroValues values = {"n", "n", longPath.c_str(), "s", "C:", "C:"};
    std::string line;
    for (int i = 0; i < 33; i++)
        line += "$F";
    std::vector<char> buffer(EXPAND_BUFFER);
    MacroPlan plan;
    EXPECT_FALSE(ExpandMacroLine(line.c_str(), &values, buffer.data(), buffer.size(), &plan));
    line.resize(2 * 32);    // 32 * 1003 bytes still fit
    ASSERT_TRUE(ExpandMacroLine(line.c_str(), &values, buffer.data(), buffer.size(), &plan));
    EXPECT_EQ(32u * 1003u, strlen(buffer.data()));
    char small[8];
    EXPECT_FALSE(ExpandMacroLine("12345678", &values, small, sizeof small, &plan));
    EXPECT_TRUE(ExpandMacroLine("1234567", &values, small, sizeof small, &plan));
}

TEST(MacroExpansion, StripExtensionTakesOnlyTheLastOne)
{
    char out[64];
    StripExtension("archive.tar.gz", out, sizeof out);
    EXPECT_STREQ("archive.tar", out);
    StripExtension("README", out, sizeof out);
    EXPECT_STREQ("README", out);
    StripExtension("\x83\x5C.\x83\x7C", out, sizeof out);
    EXPECT_STREQ("\x83\x5C", out);
}

// A series of runs recorded through fake hooks.
struct Series {
    std::vector<std::string> started;
    std::vector<std::string> edited;
    int breakAfter = -1;            // breakOff answers true once this many runs were started
    bool cancelAt = false;
    std::string replaceWith;        // what the option dialog puts in the line, when not empty
    bool clearInDialog = false;
};

bool Edit(void *context, char *line, size_t size)
{
    Series *s = (Series *)context;
    s->edited.push_back(line);
    if (s->cancelAt)
        return false;
    if (!s->replaceWith.empty())
        snprintf(line, size, "%s", s->replaceWith.c_str());
    if (s->clearInDialog)
        line[0] = '\0';
    return true;
}

void Start(void *context, const char *line)
{
    ((Series *)context)->started.push_back(line);
}

bool BreakOff(void *context)
{
    Series *s = (Series *)context;
    return s->breakAfter >= 0 && (int)s->started.size() >= s->breakAfter;
}

struct Names {
    std::vector<std::string> longNames, shortNames;
    std::vector<MacroName> names;
    explicit Names(int count)
    {
        for (int i = 1; i <= count; i++) {
            char l[32], s[32];
            snprintf(l, sizeof l, "file %02d.text", i);
            snprintf(s, sizeof s, "FILE%02d~1.TEX", i);
            longNames.push_back(l);
            shortNames.push_back(s);
        }
        for (int i = 0; i < count; i++)
            names.push_back({longNames[i].c_str(), shortNames[i].c_str()});
    }
};

MacroRunResult RunSeries(const char *line, const Names &names, Series *series, size_t workSize = EXPAND_BUFFER)
{
    std::vector<char> expanded(EXPAND_BUFFER), work(workSize);
    MacroPlan plan;
    if (!ExpandMacroLine(line, &sample, expanded.data(), expanded.size(), &plan))
        return MACRO_RUN_TOO_LONG;
    MacroRunHooks hooks = {Edit, Start, BreakOff, series};
    return RunMacroSeries(expanded.data(), &plan, names.names.data(), (int)names.names.size(), work.data(),
                          work.size(), &hooks);
}

std::string Joined(const Names &n, int from, int to, bool shortForm = false)
{
    std::string s;
    for (int i = from; i < to; i++)
        s += (i > from ? " " : "") + (shortForm ? n.shortNames[i] : n.longNames[i]);
    return s;
}

TEST(MacroRuns, RepeatModePassesTenNamesPerRun)
{
    Names names(23);
    Series series;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("cmd $TA -x $R", names, &series));
    ASSERT_EQ(3u, series.started.size());
    EXPECT_EQ("cmd " + Joined(names, 0, 10), series.started[0]);
    EXPECT_EQ("cmd " + Joined(names, 10, 20), series.started[1]);
    EXPECT_EQ("cmd " + Joined(names, 20, 23), series.started[2]);
    EXPECT_TRUE(series.edited.empty());     // $R: no option dialog in any run
}

TEST(MacroRuns, TenModeRunsOnceAndDropsWhatFollows)
{
    Names names(23);
    Series series;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("cmd $t -o", names, &series));
    ASSERT_EQ(1u, series.started.size());
    EXPECT_EQ("cmd " + Joined(names, 0, 10, true), series.started[0]);
    ASSERT_EQ(1u, series.edited.size());
    EXPECT_EQ(series.started[0], series.edited[0]);
}

TEST(MacroRuns, EachModeAndNamesWithoutExtension)
{
    Names names(3);
    Series series;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("$r cmd $XM", names, &series));
    ASSERT_EQ(3u, series.started.size());
    EXPECT_EQ(" cmd file 01", series.started[0]);
    EXPECT_EQ(" cmd file 03", series.started[2]);

    Series shortSeries;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("$R cmd $xta", names, &shortSeries));
    ASSERT_EQ(1u, shortSeries.started.size());
    EXPECT_EQ(" cmd FILE01~1 FILE02~1 FILE03~1", shortSeries.started[0]);
}

TEST(MacroRuns, ShiftBreaksOffASeriesAfterTheCurrentRun)
{
    Names names(23);
    Series series;
    series.breakAfter = 1;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("$R cmd $TA", names, &series));
    EXPECT_EQ(1u, series.started.size());
    Series each;
    each.breakAfter = 2;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("$R cmd $M", names, &each));
    EXPECT_EQ(2u, each.started.size());
}

TEST(MacroRuns, OptionDialogEditsCancelsAndEmptyLines)
{
    Names one(1), none(0);
    Series edited;
    edited.replaceWith = "other  ";
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("cmd $C", one, &edited));
    ASSERT_EQ(1u, edited.started.size());
    EXPECT_EQ("cmd Long File.txt", edited.edited[0]);
    EXPECT_EQ("other", edited.started[0]);      // trailing blanks are trimmed

    Series cancelled;
    cancelled.cancelAt = true;
    EXPECT_EQ(MACRO_RUN_CANCELLED, RunSeries("cmd $M", Names(3), &cancelled));
    EXPECT_EQ(1u, cancelled.edited.size());
    EXPECT_TRUE(cancelled.started.empty());

    // An empty command shows the dialog empty; what is typed runs, nothing runs when it stays empty.
    Series typed;
    typed.replaceWith = "typed";
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("", none, &typed));
    ASSERT_EQ(1u, typed.edited.size());
    EXPECT_EQ("", typed.edited[0]);
    ASSERT_EQ(1u, typed.started.size());
    EXPECT_EQ("typed", typed.started[0]);
    Series empty;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("  $R", none, &empty));
    EXPECT_TRUE(empty.started.empty());

    // A list mode with no name at all runs nothing.
    Series nothing;
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("cmd $T", none, &nothing));
    EXPECT_TRUE(nothing.started.empty());
    EXPECT_TRUE(nothing.edited.empty());
}

TEST(MacroRuns, NamesThatDoNotFitRefuseTheRun)
{
    Names names(10);
    Series series;
    // " cmd " and ten names of 12 bytes with blanks between them need 5 + 129 + 1 bytes.
    EXPECT_EQ(MACRO_RUN_TOO_LONG, RunSeries("$R cmd $T", names, &series, 134));
    EXPECT_TRUE(series.started.empty());
    EXPECT_EQ(MACRO_RUN_DONE, RunSeries("$R cmd $T", names, &series, 135));
    EXPECT_EQ(1u, series.started.size());
}

}  // namespace
