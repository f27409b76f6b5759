// mwbatch check: the sample library is sound; a library written by the test
// with one fault of each kind gets one row per file naming it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../formats/object_bytes.h"
#include "../panels/temp_dir.h"
#include "../panels/tiny_library.h"
#include "cli/command.h"
#include "formats/object_reader.h"
#include "formats/object_writer.h"
#include "model/mesh_object.h"

namespace cli {
namespace {

constexpr const char* kUsageLine = "Usage: mwbatch check [--objects DIR] [--quiet] (--help for more)\n";

// The result column of the row of `file` in `folder`; "(no row)" when there is none.
std::string Row(const std::string& table, const std::string& folder, const std::string& file) {
    std::istringstream lines(table);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(folder + "  ", 0) != 0) continue;
        std::string rest = line.substr(line.find_first_not_of(' ', folder.size()));
        if (rest.rfind(file + "  ", 0) == 0) return rest.substr(rest.find_first_not_of(' ', file.size()));
    }
    return "(no row)";
}

TEST(CheckCommand, TheSampleLibraryIsSound) {
    std::ostringstream out, err;
    ASSERT_EQ(RunCheck({"--objects", MW_SAMPLE_LIBRARY_DIR}, out, err), kExitDone) << out.str() << err.str();
    EXPECT_EQ(Row(out.str(), "Head", "Round head.mwo"), "OK");
    std::ostringstream quiet;
    EXPECT_EQ(RunCheck({"--quiet", "--objects", MW_SAMPLE_LIBRARY_DIR}, quiet, err), kExitDone);
    EXPECT_EQ(quiet.str() + err.str(), "");
}

class CheckCommandTest : public testlib::TempDirTest {};

TEST_F(CheckCommandTest, EveryFaultIsReportedOnItsRow) {
    // Two files a part; no "Left ear" folder, a text file alone for "Right eye".
    testlib::MakeTinyLibrary(dir / "lib", {{"Left ear", {}}, {"Right ear", {}}, {"Right eye", {}}, {"Nose", {"n.mwo"}}},
                             {"a.mwo", "b.mwo"});
    std::filesystem::create_directories(dir / "lib/Right eye");
    std::ofstream(dir / "lib/Right eye/readme.txt") << "eyes to come\n";
    std::ofstream(dir / "lib/Right ear") << "a file where a folder belongs\n";
    // Neck b.mwo: list 1, its seam to the head's list 0, one entry longer.
    formats::ObjectFileData longSeam = testlib::TinyPart(1);
    longSeam.boundaryLists[1] = {0, 1, 2};
    ASSERT_TRUE(formats::WriteObjectFile((dir / "lib/Neck/b.mwo").string(), longSeam));
    // A head cut short in its points (any case of the extension counts), a
    // nose without points.
    const auto write = [&](const std::string& path, const testdata::Bytes& bytes) {
        std::ofstream(dir / path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data.data()), static_cast<std::streamsize>(bytes.data.size()));
    };
    write("lib/Head/cut.MWO", testdata::Header(4, 0, 0).Id("PNTS").U32(48).Append(testdata::Floats({1, 2, 3})));
    write("lib/Nose/empty.mwo", testdata::Header(0, 0, 0));

    std::ostringstream out, err;
    EXPECT_EQ(RunCheck({"--objects", "lib"}, out, err), kExitFailed);
    const std::string table = out.str();
    const struct { const char *folder, *file, *result; } rows[] = {
        {"Head", "cut.MWO", "refused: a chunk runs past the end of the file (chunk at byte 24)"},
        {"Head", "a.mwo", "list 0 has 2 entries but Neck list 1 has 3 in b.mwo"},
        {"Head", "b.mwo", "list 0 has 2 entries but Neck list 1 has 3 in b.mwo"},
        {"Neck", "b.mwo", "list 1 has 3 entries but Head list 0 has 2 in a.mwo, b.mwo"},
        {"Neck", "a.mwo", "OK"},
        {"Upper body", "b.mwo", "OK"},  // the neck's other seam matches
        {"Nose", "empty.mwo", "no points: the program cannot add it"},
        {"Nose", "n.mwo", "OK"},
        {"Left ear", "-", "folder missing"},
        {"Right eye", "-", "no object files (*.mwo)"},
        {"Right ear", "-", "not a folder"},
    };
    for (const auto& r : rows) EXPECT_EQ(Row(table, r.folder, r.file), r.result) << r.folder << "/" << r.file;
    // Each seam counted once, from whichever side.
    EXPECT_NE(table.find("39 object files in 21 part folders: 34 OK, 5 wrong; 2 files the program cannot add; "
                         "2 seam mismatches; 1 folder missing; 1 folder that cannot be read; 1 folder without "
                         "object files; 2 figures assembled, "),
              std::string::npos)
        << table;

    // Quiet: the rows with problems only.
    std::ostringstream quiet;
    EXPECT_EQ(RunCheck({"--objects", "lib", "--quiet"}, quiet, err), kExitFailed);
    const std::string problems = quiet.str();
    EXPECT_EQ(Row(problems, "Left ear", "-"), "folder missing");
    std::istringstream lines(problems);
    int problemRows = 0;
    for (std::string line; std::getline(lines, line);) problemRows += line.rfind("warning: ", 0) != 0;
    EXPECT_EQ(problemRows, 8) << problems;
    EXPECT_EQ(err.str(), "");
}

// The sample library with a quad taken out of one hand, away from its
// seams: the files are all
// sound (exit 0), and the figure that uses that hand has a hole there.
TEST_F(CheckCommandTest, AFigureWithAHoleIsAWarningNamingThePart) {
    namespace fs = std::filesystem;
    fs::copy(MW_SAMPLE_LIBRARY_DIR, dir / "lib", fs::copy_options::recursive);
    fs::path hand;
    for (const auto& entry : fs::directory_iterator(dir / "lib/Left hand")) hand = std::max(hand, entry.path());
    formats::ObjectRefusal why;
    const std::unique_ptr<model::MeshObject> read = formats::ReadObjectFile(hand.string(), why);
    ASSERT_NE(read, nullptr);
    const model::MeshObject& part = *read;
    formats::ObjectFileData data;
    data.points = part.points;
    data.normals = part.normals;
    data.polygons.assign(part.polygons.begin(), part.polygons.end());
    const auto onSeam = [&](std::uint16_t point) {
        for (const auto& list : part.boundaryLists) {
            if (std::find(list.begin(), list.end(), point) != list.end()) return true;
        }
        return false;
    };
    const auto inside = std::find_if(data.polygons.begin(), data.polygons.end(), [&](const model::Polygon& q) {
        return !onSeam(q.a) && !onSeam(q.b) && !onSeam(q.c) && !onSeam(q.d);
    });
    ASSERT_NE(inside, data.polygons.end());
    data.polygons.erase(inside);
    for (const model::SurfaceRecord& surface : part.surfaces) data.surfaces.push_back({surface.name, true, {}});
    for (int k = 0; k < model::kBoundaryListCount; ++k) data.boundaryLists[k] = part.boundaryLists[k];
    ASSERT_TRUE(formats::WriteObjectFile(hand.string(), data));

    std::ostringstream out, err;
    EXPECT_EQ(RunCheck({"--objects", "lib", "--quiet"}, out, err), kExitDone) << err.str();
    const std::string warning = "warning: figure 3 of 4: Left hand (" + hand.filename().string() + "): 4 open edges\n";
    EXPECT_EQ(out.str(), warning);
    EXPECT_EQ(RunCheck({"--objects", "lib"}, out, err), kExitDone);
    EXPECT_NE(out.str().find("4 figures assembled, 1 warning. The files are sound, but figures made of them are "
                             "not closed"),
              std::string::npos)
        << out.str();
}

// Where the library is missing is the shared set-up's, tested with export.
TEST_F(CheckCommandTest, WrongUseAndNoLibraryTakeOneLine) {
    std::filesystem::create_directories(dir / "not a library/Heads");
    std::ostringstream out, err;
    EXPECT_EQ(RunCheck({"--objects", "not a library"}, out, err), kExitFailed);
    EXPECT_EQ(RunCheck({"--objects", "lib", "extra"}, out, err), kExitUsage);
    EXPECT_EQ(RunCheck({"--verbose"}, out, err), kExitUsage);
    EXPECT_EQ(err.str(), "mwbatch check: not a library: no part folders (\"Head\", \"Neck\", ...) in it\n"
                         "mwbatch check: unexpected argument extra\n" + std::string(kUsageLine) +
                         "mwbatch check: unknown option --verbose\n" + kUsageLine);
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace cli
