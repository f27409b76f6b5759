// mw.cfg: keyword hashing, reading in the C library's scanning manner, the
// exact text written, and a write that never leaves a truncated file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "../panels/temp_dir.h"
#include "../support/file_size_limit.h"
#include "formats/config_file.h"
#include "formats/user_paths.h"

namespace formats {
namespace {

using testlib::ReadAll;

TEST(KeywordHash, GivesTheTableValuesInAnyCase) {
    EXPECT_EQ(KeywordHash("ConvertObjectDir"), 776654u);
    EXPECT_EQ(KeywordHash("ConvertObjectName"), 933482u);
    EXPECT_EQ(KeywordHash("ObjectDir"), 87193u);
    EXPECT_EQ(KeywordHash("ProjectDir"), 129722u);
    EXPECT_EQ(KeywordHash("BgColor"), 36317u);
    EXPECT_EQ(KeywordHash("WireColor"), 92209u);
    EXPECT_EQ(KeywordHash("bgcolor"), 36317u);
    EXPECT_EQ(KeywordHash("OBJECTDIR"), 87193u);
    EXPECT_EQ(KeywordHash("wIREcOLOR"), 92209u);
    EXPECT_EQ(KeywordHash(""), 0u);
    // Bytes above 127 are negative and not folded; the sum wraps silently.
    EXPECT_NE(KeywordHash("\xe9"), KeywordHash("\xc9"));
}

TEST(ConfigText, WrittenExactlyWithCrLfAndSixDecimals) {
    ConfigValues values;
    values.objectDir = "/lib/objects";
    values.backgroundColor[0] = 0.25f;
    values.backgroundColor[2] = 1.0f;
    EXPECT_EQ(FormatConfig(values),
              "ConvertObjectDir \r\n"
              "ConvertObjectName NewObject\r\n"
              "ObjectDir /lib/objects\r\n"
              "ProjectDir \r\n"
              "BgColor 0.250000 0.000000 1.000000 0.000000\r\n"
              "WireColor 0.800000 0.800000 0.800000 0.000000\r\n"
              "MirrorEdit 0\r\n"
              "WindowSize 888 666\r\n");
}

TEST(ConfigText, MirrorEditAndWindowSizeReadWithinTheirBounds) {
    const struct {
        const char* text;
        bool mirror;
        int width;
        int height;
    } cases[] = {
        {"", false, 888, 666},  // a file older than both
        {"mirroredit 1\nWINDOWSIZE 1200 900\n", true, 1200, 900},
        {"MirrorEdit 7\nMirrorEdit 0\n", false, 888, 666},
        {"MirrorEdit x\nWindowSize 1200\n", false, 888, 666},  // half a size is none
        {"WindowSize 887 665\n", false, 888, 666},              // never below the smallest
        {"WindowSize 16385 99999999999\n", false, 16384, 16384},
        {"WindowSize -5 1000\n", false, 888, 1000},
    };
    for (const auto& c : cases) {
        ConfigValues v;
        ParseConfig(c.text, v);
        EXPECT_EQ(v.mirrorEdit, c.mirror) << c.text;
        EXPECT_EQ(v.windowWidth, c.width) << c.text;
        EXPECT_EQ(v.windowHeight, c.height) << c.text;
        ConfigValues back;
        ParseConfig(FormatConfig(v), back);
        EXPECT_EQ(FormatConfig(back), FormatConfig(v)) << c.text;
    }
}

TEST(ConfigText, RoundTripKeepsDirectoriesAndColoursEmptyOnesToo) {
    ConfigValues written;
    written.convertObjectDir = "";
    written.convertObjectName = "Thing";
    written.objectDir = "/a b/objects";
    written.projectDir = "";
    written.backgroundColor[1] = 0.5f;
    written.wireColor[0] = 0.1f;
    ConfigValues read;
    read.objectDir = "stale";
    read.convertObjectName = "stale";
    ParseConfig(FormatConfig(written), read);
    EXPECT_EQ(read.objectDir, "/a b/objects");
    EXPECT_EQ(read.projectDir, "");
    EXPECT_EQ(read.convertObjectDir, "");
    EXPECT_EQ(read.convertObjectName, "Thing");
    EXPECT_FLOAT_EQ(read.backgroundColor[1], 0.5f);
    EXPECT_FLOAT_EQ(read.wireColor[0], 0.1f);
    EXPECT_FLOAT_EQ(read.wireColor[1], 0.8f);
}

TEST(ConfigText, KeywordsMatchInAnyCaseAndUnknownWordsArePassedOver) {
    ConfigValues v;
    ParseConfig("Colour 7 8\nwirecolor 1 0 0 0\nfoo bar baz\n", v);
    EXPECT_EQ(v.wireColor[0], 1.0f);
    EXPECT_EQ(v.wireColor[1], 0.0f);
    EXPECT_EQ(v.wireColor[2], 0.0f);
}

TEST(ConfigText, TextValuesKeepTheirSpacesAndAKeywordAloneTakesTheNextLine) {
    ConfigValues v;
    ParseConfig("ObjectDir   padded dir  \nProjectDir\n/next/line\n", v);
    EXPECT_EQ(v.objectDir, "  padded dir  ");
    EXPECT_EQ(v.projectDir, "/next/line");

    ConfigValues crlf;
    ParseConfig("ObjectDir   padded dir  \r\nProjectDir\r\n/next/line\r\n", crlf);
    EXPECT_EQ(crlf.objectDir, v.objectDir);
    EXPECT_EQ(crlf.projectDir, v.projectDir);
}

TEST(ConfigText, CrLfAndLfFilesReadTheSame) {
    const std::string lf =
        "ConvertObjectDir conv\nConvertObjectName Name\nObjectDir /o\nProjectDir /p\n"
        "BgColor 0.1 0.2 0.3 0.4\nWireColor 0.5 0.6 0.7 0.8\n";
    std::string crlf;
    for (char c : lf) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ConfigValues a, b;
    ParseConfig(lf, a);
    ParseConfig(crlf, b);
    EXPECT_EQ(FormatConfig(a), FormatConfig(b));
    EXPECT_EQ(b.convertObjectDir, "conv");
    EXPECT_EQ(b.projectDir, "/p");
    EXPECT_FLOAT_EQ(b.backgroundColor[3], 0.4f);
}

TEST(ConfigText, ANumberThatDoesNotMatchLeavesTheRestUnchanged) {
    ConfigValues v;
    ParseConfig("BgColor 0.5 x 0.7\nObjectDir /o\n", v);
    EXPECT_FLOAT_EQ(v.backgroundColor[0], 0.5f);
    EXPECT_FLOAT_EQ(v.backgroundColor[1], 0.0f);
    EXPECT_FLOAT_EQ(v.backgroundColor[2], 0.0f);
    EXPECT_EQ(v.objectDir, "/o");
    // An empty value at the end of the file, and an empty file.
    ConfigValues e;
    ParseConfig("ObjectDir", e);
    EXPECT_EQ(e.objectDir, "");
    ParseConfig("", e);
    EXPECT_EQ(e.convertObjectName, "NewObject");
}

TEST(ConfigText, ALoneCrDoesNotEndALine) {
    const struct {
        const char* text;
        const char* objectDir;
        const char* projectDir;
    } cases[] = {
        {"ObjectDir a\rb\nProjectDir /p\n", "a\rb", "/p"},
        {"ObjectDir a\rProjectDir /p\n", "a\rProjectDir /p", ""},
        // After the keyword it is the one separator skipped.
        {"ObjectDir\r/o\n", "/o", ""},
    };
    for (const auto& c : cases) {
        ConfigValues v;
        ParseConfig(c.text, v);
        EXPECT_EQ(v.objectDir, c.objectDir) << testing::PrintToString(std::string(c.text));
        EXPECT_EQ(v.projectDir, c.projectDir) << testing::PrintToString(std::string(c.text));
    }
    // Between numbers it is whitespace like any other.
    ConfigValues v;
    ParseConfig("BgColor 0.1\r0.2\r0.3 0.4\n", v);
    EXPECT_FLOAT_EQ(v.backgroundColor[1], 0.2f);
    EXPECT_FLOAT_EQ(v.backgroundColor[3], 0.4f);
}

TEST(ConfigText, NumbersTakeOneSignAndOverflowToInfinity) {
    ConfigValues v;
    ParseConfig("WireColor +0.5 +1 +.25 +2\n", v);
    EXPECT_FLOAT_EQ(v.wireColor[0], 0.5f);
    EXPECT_FLOAT_EQ(v.wireColor[1], 1.0f);
    EXPECT_FLOAT_EQ(v.wireColor[2], 0.25f);
    EXPECT_FLOAT_EQ(v.wireColor[3], 2.0f);

    // "+-1" is no number: it and what follows on its line stay unread, the
    // next line is read as usual.
    ConfigValues signs;
    ParseConfig("BgColor 0.5 +-1 0.7 0.9\nWireColor 1 0 0 0\n", signs);
    EXPECT_FLOAT_EQ(signs.backgroundColor[0], 0.5f);
    EXPECT_EQ(signs.backgroundColor[1], 0.0f);
    EXPECT_EQ(signs.backgroundColor[2], 0.0f);
    EXPECT_EQ(signs.backgroundColor[3], 0.0f);
    EXPECT_EQ(signs.wireColor[0], 1.0f);
    EXPECT_EQ(signs.wireColor[1], 0.0f);

    // Too large for a float: infinity with its sign, as a number just below
    // the limit is huge; too small: zero. Each counts as read. Where the
    // digits stand counts as much as the exponent.
    ConfigValues huge;
    ParseConfig("BgColor 1e39 -1e99 3.4e38 +1e400\nWireColor 1" + std::string(100, '0') + "e-10 1e-99 0." +
                    std::string(100, '0') + "1e5 0.5\n",
                huge);
    EXPECT_EQ(huge.backgroundColor[0], std::numeric_limits<float>::infinity());
    EXPECT_EQ(huge.backgroundColor[1], -std::numeric_limits<float>::infinity());
    EXPECT_FLOAT_EQ(huge.backgroundColor[2], 3.4e38f);
    EXPECT_EQ(huge.backgroundColor[3], std::numeric_limits<float>::infinity());
    EXPECT_EQ(huge.wireColor[0], std::numeric_limits<float>::infinity());
    EXPECT_EQ(huge.wireColor[1], 0.0f);
    EXPECT_EQ(huge.wireColor[2], 0.0f);
    EXPECT_FLOAT_EQ(huge.wireColor[3], 0.5f);
    // Written as "inf", read back the same.
    ConfigValues back;
    ParseConfig(FormatConfig(huge), back);
    EXPECT_EQ(back.backgroundColor[1], -std::numeric_limits<float>::infinity());
    EXPECT_EQ(back.wireColor[0], std::numeric_limits<float>::infinity());
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("mw_config_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }
    std::filesystem::path dir;
};

TEST_F(ConfigFileTest, MissingFileKeepsTheDefaults) {
    ConfigValues v;
    EXPECT_FALSE(ReadConfigFile((dir / "mw.cfg").string(), v));
    EXPECT_EQ(v.objectDir, "");
    EXPECT_EQ(v.convertObjectName, "NewObject");
    EXPECT_FLOAT_EQ(v.wireColor[2], 0.8f);
}

TEST_F(ConfigFileTest, WriteReplacesTheFileWholeOrNotAtAll) {
    const auto path = dir / "mw.cfg";
    ConfigValues v;
    v.objectDir = "/first";
    ASSERT_TRUE(WriteConfigFile(path.string(), v));
    EXPECT_EQ(ReadAll(path), FormatConfig(v));

    // The disk is full: the write fails and the old file stays, with no
    // temporary file beside it.
    v.objectDir = "/second";
    {
        testsupport::FileSizeLimit full;
        EXPECT_FALSE(WriteConfigFile(path.string(), v));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
    ConfigValues back;
    ASSERT_TRUE(ReadConfigFile(path.string(), back));
    EXPECT_EQ(back.objectDir, "/first");
}

// Which mw.cfg is used and what stands in for a missing one, in a folder
// laid out like an installation: <root>/bin/program beside
// <root>/share/morphwright/objects, and a home folder.
TEST_F(ConfigFileTest, TheFileAndTheDefaultsFollowTheLocationRule) {
    namespace fs = std::filesystem;
    const fs::path start = dir / "start";
    const fs::path home = dir / "home";
    const fs::path xdg = dir / "xdg";
    const fs::path installed = dir / "root" / "share" / "morphwright" / "objects";
    const struct {
        const char* name;
        bool startUpFile, xdgFile, installedLibrary, documents;
        std::string xdgConfigHome;  // "" unset, else as set
        std::string userDirs;       // user-dirs.dirs under the config folder used
        fs::path wantFile;
        std::string wantObjects, wantProjects;
    } rows[] = {
        {"start-up file wins", true, true, true, true, xdg.string(), "", start / "mw.cfg", "/from start", "/p"},
        {"the user's file", false, true, true, true, xdg.string(), "", xdg / "morphwright/mw.cfg", "/from xdg", "/p"},
        {"neither: installed library, Documents", false, false, true, true, xdg.string(), "",
         xdg / "morphwright/mw.cfg", installed.string(), (home / "Documents").string()},
        {"neither, nothing installed, no Documents", false, false, false, false, "", "",
         home / ".config/morphwright/mw.cfg", "", home.string()},
        {"documents named by user-dirs.dirs", false, false, false, true, "",
         "# written by xdg-user-dirs-update\nXDG_DOCUMENTS_DIR=\"$HOME/Papers\"\n",
         home / ".config/morphwright/mw.cfg", "", (home / "Papers").string()},
        {"relative XDG_CONFIG_HOME means HOME", false, false, false, false, "rel", "",
         home / ".config/morphwright/mw.cfg", "", home.string()},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(dir);
        fs::create_directories(start);
        fs::create_directories(home);
        UserEnvironment env{start.string(), home.string(), row.xdgConfigHome,
                            (dir / "root" / "bin" / "morphwright").string()};
        if (row.startUpFile) std::ofstream(start / "mw.cfg") << "ObjectDir /from start\nProjectDir /p\n";
        if (row.xdgFile) {
            fs::create_directories(xdg / "morphwright");
            std::ofstream(xdg / "morphwright" / "mw.cfg") << "ObjectDir /from xdg\nProjectDir /p\n";
        }
        if (row.installedLibrary) fs::create_directories(installed);
        if (row.documents) fs::create_directories(home / "Documents");
        if (!row.userDirs.empty()) {
            fs::create_directories(UserConfigDir(env));
            std::ofstream(fs::path(UserConfigDir(env)) / "user-dirs.dirs") << row.userDirs;
        }
        ConfigValues values;
        EXPECT_EQ(LoadUserConfig(env, values), row.wantFile.string());
        EXPECT_EQ(values.objectDir, row.wantObjects);
        EXPECT_EQ(values.projectDir, row.wantProjects);

        // Written where it was looked for, the folder made on the way.
        ASSERT_TRUE(SaveUserConfig(row.wantFile.string(), values));
        EXPECT_EQ(ReadAll(row.wantFile), FormatConfig(values));
    }
}

TEST(ProgramArgument, PathsAndFileUrisAreDecodedOtherSchemesRefused) {
    const struct {
        std::string argument;
        bool ok;
        std::string path;
    } rows[] = {
        {"hero.mwp", true, "hero.mwp"},
        {"/home/a b/hero.mwp", true, "/home/a b/hero.mwp"},
        {"file:///home/a%20b/h%C3%A9ro.mwp", true, "/home/a b/h\xC3\xA9ro.mwp"},
        {"FILE://localhost/x%2fy.mwp", true, "/x/y.mwp"},
        {"file:/x.mwp", true, "/x.mwp"},
        {"file:///x%25.mwp#frag", true, "/x%.mwp"},
        {"file://elsewhere/x.mwp", false, ""},
        {"file:///x%2.mwp", false, ""},
        {"file:///x%00.mwp", false, ""},
        {"file:x.mwp", false, ""},
        {"https://example.org/x.mwp", false, ""},
    };
    for (const auto& row : rows) {
        std::string path;
        EXPECT_EQ(PathFromArgument(row.argument, path), row.ok) << row.argument;
        if (row.ok) {
            EXPECT_EQ(path, row.path) << row.argument;
        }
    }
}

}  // namespace
}  // namespace formats
