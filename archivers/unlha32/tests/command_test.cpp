// The command language as the filer writes it: direct command lines and response files.
#include "command.h"
#include "paths.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct Files {
    std::map<std::string, std::string> content;
    ReadTextFile Reader()
    {
        return [this](const std::string &path, std::string *text) {
            auto f = content.find(path);
            if (f == content.end()) return false;
            *text = f->second;
            return true;
        };
    }
};

TEST(CommandLine, ExtractionLinesOfTheFiler)
{
    Files none;
    UnlhaCommand c;
    ASSERT_EQ("", ParseUnlhaCommand("X -x1a1 \"C:\\arc dir\\a.lzh\" \"D:\\out\\\" *.*", none.Reader(), &c));
    EXPECT_EQ('X', c.mode);
    EXPECT_TRUE(c.paths);
    EXPECT_EQ(1, c.attributes);
    EXPECT_EQ(0, c.recurse);
    EXPECT_EQ("C:\\arc dir\\a.lzh", c.archive);
    EXPECT_EQ("D:\\out\\", c.base);
    EXPECT_EQ(std::vector<std::string>{"*.*"}, c.names);

    ASSERT_EQ("", ParseUnlhaCommand("X -x1a1r2 \"a.lzh\" \"D:\\out\\\" \"dir\\my file.txt\"", none.Reader(), &c));
    EXPECT_EQ(2, c.recurse);
    EXPECT_EQ(std::vector<std::string>{"dir\\my file.txt"}, c.names);

    // No switches: the viewer's extraction into a temporary directory.
    ASSERT_EQ("", ParseUnlhaCommand("X \"a.lzh\" \"C:\\TEMP\\KLP1.TMP\\\" \"x.txt\"", none.Reader(), &c));
    EXPECT_FALSE(c.paths);
    EXPECT_EQ("C:\\TEMP\\KLP1.TMP\\", c.base);
    EXPECT_EQ(1u, c.names.size());
}

TEST(CommandLine, ResponseFilesKeepEachNameWhole)
{
    Files f;
    f.content["C:\\T\\$UNPACK.LST"] = "X -x1a1 \"C:\\a.lzh\" \"C:\\out\\\"\r\n\"one two.txt\"\r\n\"dir\\x\"\r\n";
    f.content["$PACK.LST"] = "M -x1a1r2 \"C:\\dest\\new.lzh\"\r\n\"file a\"\r\n\"sub\\*.*\"\r\n";
    UnlhaCommand c;
    ASSERT_EQ("", ParseUnlhaCommand("@C:\\T\\$UNPACK.LST", f.Reader(), &c));
    EXPECT_EQ('X', c.mode);
    EXPECT_EQ("C:\\a.lzh", c.archive);
    EXPECT_EQ("C:\\out\\", c.base);
    EXPECT_EQ((std::vector<std::string>{"one two.txt", "dir\\x"}), c.names);

    ASSERT_EQ("", ParseUnlhaCommand("@$PACK.LST", f.Reader(), &c));
    EXPECT_EQ('M', c.mode);
    EXPECT_EQ(2, c.recurse);
    EXPECT_EQ("C:\\dest\\new.lzh", c.archive);
    EXPECT_EQ("", c.base);
    EXPECT_EQ((std::vector<std::string>{"file a", "sub\\*.*"}), c.names);

    EXPECT_NE("", ParseUnlhaCommand("@missing.lst", f.Reader(), &c));

    // A response file in a directory with blanks, and a member whose name starts with '@'.
    f.content["C:\\My Files\\r.lst"] = "X \"a.lzh\" \"out\\\"\r\n";
    ASSERT_EQ("", ParseUnlhaCommand("@\"C:\\My Files\\r.lst\"", f.Reader(), &c));
    EXPECT_EQ("a.lzh", c.archive);
    ASSERT_EQ("", ParseUnlhaCommand("X a.lzh \"@name\"", f.Reader(), &c));
    EXPECT_EQ(std::vector<std::string>{"@name"}, c.names);
}

TEST(CommandLine, PackModesAndDoubleByteNames)
{
    Files f;
    // "表" ends in 0x5C: the first name after the archive must not turn into a base directory.
    f.content["l"] = "a -x1a1r2 \"C:\\d\\x.lzh\"\r\n\"表\"\r\n";
    UnlhaCommand c;
    ASSERT_EQ("", ParseUnlhaCommand("@l", f.Reader(), &c));
    EXPECT_EQ('A', c.mode);
    EXPECT_EQ("", c.base);
    EXPECT_EQ(std::vector<std::string>{"表"}, c.names);

    ASSERT_EQ("", ParseUnlhaCommand("u -x1 a.lzh base\\ f1 f2", f.Reader(), &c));
    EXPECT_EQ('U', c.mode);
    EXPECT_EQ("base\\", c.base);
    EXPECT_EQ(2u, c.names.size());

    ASSERT_EQ("", ParseUnlhaCommand("x -c -n a.lzh", f.Reader(), &c));
    EXPECT_TRUE(c.replace_existing);
    EXPECT_EQ(std::vector<std::string>{"-n"}, c.ignored);
}

TEST(CommandLine, RefusesWhatItCannotUnderstand)
{
    Files f;
    UnlhaCommand c;
    EXPECT_NE("", ParseUnlhaCommand("", f.Reader(), &c));
    EXPECT_NE("", ParseUnlhaCommand("Q a.lzh", f.Reader(), &c));
    EXPECT_NE("", ParseUnlhaCommand("extract a.lzh", f.Reader(), &c));
    EXPECT_NE("", ParseUnlhaCommand("X -x1", f.Reader(), &c));
}

}  // namespace

namespace {

TEST(ShiftJisPaths, SecondBytesAreNeverSeparatorsOrLetters)
{
    EXPECT_EQ("dir\\", DirectoryPart("dir\\表.txt"));
    EXPECT_EQ("表.txt", NamePart("dir\\表.txt"));
    EXPECT_EQ("", DirectoryPart("表"));
    EXPECT_EQ("C:", DirectoryPart("C:x.lzh"));
    EXPECT_FALSE(EndsWithSeparator("表"));
    EXPECT_TRUE(EndsWithSeparator("表\\"));
    EXPECT_EQ("表\\", WithSeparator("表"));
    EXPECT_TRUE(IsSeparatorAt("a/b", 1));
    EXPECT_FALSE(IsSeparatorAt("表", 1));
    // 0x83 0x61 is one character whose second byte happens to be 'a'.
    EXPECT_EQ("\x83\x61" "ABC", UpperAscii("\x83\x61" "abc"));
}

}  // namespace
