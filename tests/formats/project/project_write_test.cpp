// Writing project files: the bytes of known figures, under any locale, and
// saves that fail without harming what was there.
#include <algorithm>
#include <clocale>
#include <optional>

#include "../../support/file_size_limit.h"
#include "project_fixture.h"

namespace projecttest {
namespace {

TEST_F(ProjectTest, EmptyFigureIsHeaderAndZero) {
    EXPECT_EQ(formats::FormatProject(creature, lib), "MW1\r\n0\r\n");
    ASSERT_TRUE(formats::SaveProject(creature, "empty.mwp", lib, sink));
    EXPECT_EQ(ReadBytes("empty.mwp"), "MW1\r\n0\r\n");
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ProjectTest, TwoPartsWithSettingsInEveryMode) {
    MakeFigure(true);
    ASSERT_TRUE(formats::SaveProject(creature, "figure.mwp", lib, sink));
    EXPECT_EQ(ReadBytes("figure.mwp"), kFigureFile);
    // The directory's own trailing separator is no part of the relative path.
    EXPECT_EQ(formats::FormatProject(creature, lib + "/"), kFigureFile);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ProjectTest, DecimalPointUnderACommaLocale) {
    MakeFigure(true);
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            comma = true;
            break;
        }
    }
    if (!comma) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string text = formats::FormatProject(creature, lib);
    std::setlocale(LC_NUMERIC, previous.c_str());
    EXPECT_EQ(text, kFigureFile);
}

// Each failure leaves exactly what was there before, no temporary file,
// and one box.
TEST_F(ProjectTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    MakeFigure(false);
    std::filesystem::create_directory("folder");
    std::ofstream("old.mwp", std::ios::binary) << "MW1\r\n0\r\n";
    const struct {
        const char* what;
        const char* target;
        bool limitFileSize;
    } cases[] = {
        {"folder that does not exist", "missing/figure.mwp", false},
        {"target is a folder", "folder", false},
        {"disk full (file size limit)", "old.mwp", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sink.shown.clear();
        std::optional<testsupport::FileSizeLimit> full;
        if (c.limitFileSize) full.emplace();
        const bool saved_ok = formats::SaveProject(creature, c.target, lib, sink);
        full.reset();
        EXPECT_FALSE(saved_ok);
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].caption, "Error!");
        EXPECT_EQ(sink.shown[0].text, formats::kProjectSaveFailed);
        EXPECT_EQ(sink.shown[0].severity, ui::Severity::kError);
        EXPECT_EQ(ReadBytes("old.mwp"), "MW1\r\n0\r\n");
        EXPECT_TRUE(std::filesystem::is_directory("folder"));
        EXPECT_TRUE(std::filesystem::is_empty("folder"));
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{"folder", "objects", "old.mwp"}));
    }
}

// A file whose name holds a path separator of the format or a line break
// could not come back from the project: the save says so and leaves the
// old project as it was.
TEST_F(ProjectTest, ANameAProjectCannotHoldIsRefusedByName) {
    std::ofstream("old.mwp", std::ios::binary) << "MW1\r\n0\r\n";
    for (const char* name : {"back\\slash.mwo", "line\nbreak.mwo", "carriage\rreturn.mwo"}) {
        std::filesystem::copy_file(lib + "/Left arm/arm01.mwo", lib + "/Left arm/" + name);
        model::Creature figure(sink);
        ASSERT_TRUE(Add(figure, lib, "Left arm", name, 9)) << name;
        sink.shown.clear();
        EXPECT_FALSE(formats::SaveProject(figure, "old.mwp", lib, sink)) << name;
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, "The object file \"" + lib + "/Left arm/" + name +
                                          "\" cannot be kept in a project: its name holds a backslash or a line "
                                          "break. Nothing was saved.");
        EXPECT_EQ(ReadBytes("old.mwp"), "MW1\r\n0\r\n");
    }
    // A figure of sound names still saves.
    MakeFigure(false);
    EXPECT_TRUE(formats::SaveProject(creature, "old.mwp", lib, sink));
}

}  // namespace
}  // namespace projecttest
