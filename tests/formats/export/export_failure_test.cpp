// What every export does when they cannot or must not write: an empty figure,
// a folder that is not there, a disk that fills up, a damaged part. Nothing
// is left behind and an old file stays as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fstream>

#include <sys/resource.h>

#include "export_fixture.h"
#include "formats/export_obj.h"
#include "formats/mesh_exports.h"

using exporttest::Append;
using exporttest::CodePart;
using exporttest::FileText;
using exporttest::RecordingSink;
using exporttest::TempFolder;

namespace formats {
// A failing row is named by its extension.
void PrintTo(const MeshExport& mesh, std::ostream* out) { *out << mesh.extension; }
}  // namespace formats

namespace {

// Files larger than `bytes` cannot be written while it lives: a write past
// the limit fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

// 300 quads on 1200 points: some 14 KB of .3ds and 60 KB of DXF.
std::unique_ptr<model::MeshObject> Figure() {
    std::vector<float> points;
    std::vector<model::Polygon> polygons;
    for (int q = 0; q < 300; ++q) {
        for (int c = 0; c < 4; ++c) points.insert(points.end(), {static_cast<float>(q) + 0.125f, static_cast<float>(c), 1.5f});
        const auto first = static_cast<std::uint16_t>(4 * q);
        polygons.push_back({first, static_cast<std::uint16_t>(first + 1), static_cast<std::uint16_t>(first + 2),
                            static_cast<std::uint16_t>(first + 3), 0});
    }
    return CodePart("Head", std::move(points), std::move(polygons));
}

// Every row of the mesh export table, named by its extension.
class ExportFailure : public ::testing::TestWithParam<formats::MeshExport> {
protected:
    bool Export(const std::filesystem::path& target) { return GetParam().write(creature, target.string(), sink, {}); }
    void ExpectWriteFailureBox() const {
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, "Coudln't open file for saving!");
        EXPECT_EQ(sink.shown[0].caption, "Error!");
        EXPECT_EQ(sink.shown[0].severity, ui::Severity::kError);
    }

    RecordingSink sink;
    model::Creature creature{sink};
    TempFolder folder;
};

}  // namespace

TEST_P(ExportFailure, AnEmptyFigureWritesNothingAndSaysNothing) {
    EXPECT_FALSE(Export(folder / "figure"));
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_TRUE(folder.Files().empty());
}

TEST_P(ExportFailure, AFolderThatIsNotThereIsReported) {
    Append(creature, Figure());
    EXPECT_FALSE(Export(folder / "missing" / "figure"));
    ExpectWriteFailureBox();
    EXPECT_TRUE(folder.Files().empty());
}

TEST_P(ExportFailure, AFullDiskLeavesTheOldFileAsItWasAndNothingElse) {
    Append(creature, Figure());
    const auto target = folder / "figure";
    std::ofstream(target, std::ios::binary) << "old contents";
    bool written = true;
    {
        FileSizeLimit limit(4096);
        written = Export(target);
    }
    EXPECT_FALSE(written);
    ExpectWriteFailureBox();
    EXPECT_EQ(FileText(target), "old contents");
    EXPECT_EQ(folder.Files(), std::vector<std::string>{"figure"});

    // With room again the same export replaces the old file.
    sink.shown.clear();
    EXPECT_TRUE(Export(target));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "Saved");
    EXPECT_GT(FileText(target).size(), 4096u);
}

TEST_P(ExportFailure, APartNamingPointsItDoesNotHaveIsRefused) {
    Append(creature, CodePart("Left arm", {0, 0, 0, 1, 0, 0}, {{0, 1, 1, 2, 0}}));
    EXPECT_FALSE(Export(folder / "figure"));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "The part \"Left arm\" names points it does not have. Nothing was exported.");
    EXPECT_EQ(sink.shown[0].caption, "Error!");
    EXPECT_TRUE(folder.Files().empty());
}

// Points at infinity or NaN (build factors far too large) have no place in
// any file: the part with the largest factor is named.
TEST_P(ExportFailure, PointsBeyondFiniteNumbersAreRefused) {
    Append(creature, CodePart("Neck", {0, 0, 0, 1, 0, 0, 1, 1, 0}, {{0, 1, 2, 2, 0}}));
    model::MeshObject* arm = Append(creature, CodePart("Left arm", {0, 0, 0, INFINITY, 0, 0, 1, NAN, 0}, {{0, 1, 2, 2, 0}}));
    arm->settings.deformFactors[model::kLockNone][1] = 1e30f;
    EXPECT_FALSE(Export(folder / "figure"));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "The part \"Left arm\" has points beyond any number a file holds (its build factors "
                                  "are far too large). Nothing was exported.");
    EXPECT_TRUE(folder.Files().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, ExportFailure, ::testing::ValuesIn(formats::kMeshExports),
                         [](const ::testing::TestParamInfo<formats::MeshExport>& info) {
                             return std::string(info.param.extension + 1);
                         });

// The .mtl is complete before the .obj fails: it is taken back, and an old
// one beside an old .obj stays as it was.
TEST(ObjExportFailure, AFailedObjFileLeavesTheOldMaterialLibrary) {
    RecordingSink sink;
    model::Creature creature(sink);
    Append(creature, Figure());
    TempFolder folder;
    std::ofstream(folder / "figure.obj", std::ios::binary) << "old figure";
    std::ofstream(folder / "figure.mtl", std::ios::binary) << "old materials";
    bool written = true;
    {
        FileSizeLimit limit(4096);
        written = formats::ExportObj(creature, (folder / "figure.obj").string(), sink);
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(FileText(folder / "figure.obj"), "old figure");
    EXPECT_EQ(FileText(folder / "figure.mtl"), "old materials");
    EXPECT_EQ(folder.Files().size(), 2u);
}
