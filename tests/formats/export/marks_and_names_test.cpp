// What the merged figure keeps of a running export (seam marks) and how it
// names the surfaces with and without the part types.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export_fixture.h"
#include "formats/merged_figure.h"
#include "formats/mesh_exports.h"
#include "formats/project_file.h"

using exporttest::Append;
using exporttest::CodePart;
using exporttest::RecordingSink;

namespace {

struct MarkCase {
    std::vector<int> marked;
    std::uint32_t flags;
    std::vector<int> countsAsMarked;  // of k = -1 … 8
};

// Everything of a figure an export could change: its project text, and
// every part's points, normals and surface names.
std::string Snapshot(const model::Creature& creature) {
    std::string all = formats::FormatProject(creature, "");
    for (const model::MeshObject& part : creature.parts) {
        all.append(reinterpret_cast<const char*>(part.points.data()), part.points.size() * sizeof(float));
        all.append(reinterpret_cast<const char*>(part.normals.data()), part.normals.size() * sizeof(float));
        for (const model::SurfaceRecord& surface : part.surfaces) all += surface.name + '\n';
    }
    return all;
}

}  // namespace

// The marks are values: a list counts as marked when all bits of its own
// value are set, whichever lists set them.
TEST(BoundaryMarks, MarksAreValuesNotBits) {
    const std::vector<MarkCase> cases = {
        {{}, 0, {}},
        {{0}, 1, {0}},
        {{1}, 256, {1}},
        {{2}, 512, {2}},
        {{1, 2}, 768, {1, 2, 3}},
        {{3}, 768, {1, 2, 3}},
        {{4}, 1024, {4}},
        {{5}, 1280, {1, 4, 5}},
        {{2, 4}, 1536, {2, 4, 6}},
        {{0, 6}, 1 + 1536, {0, 2, 4, 6}},
        // List 7 sets 1792 (every bit of lists 1 to 6) but never counts as marked itself.
        {{7}, 1792, {1, 2, 3, 4, 5, 6}},
        // Outside 0 … 7 nothing is marked.
        {{-1, 8, 100}, 0, {}},
    };
    for (const MarkCase& c : cases) {
        formats::SeamMarks marks;
        for (int k : c.marked) marks.MarkBoundaryList(k);
        SCOPED_TRACE(::testing::PrintToString(c.marked));
        EXPECT_EQ(marks.flags, c.flags);
        for (int k = -1; k <= 8; ++k) {
            const bool expected = std::find(c.countsAsMarked.begin(), c.countsAsMarked.end(), k) != c.countsAsMarked.end();
            EXPECT_EQ(marks.IsBoundaryListMarked(k), expected ? 1 : 0) << "list " << k;
        }
    }
}

// With type names every surface a part's file named carries the part's
// type (cut to 255 bytes); a spare record keeps its name.
TEST(SurfaceNames, TypeNamesCarryThePartTypeOnTheNamedSurfacesOnly) {
    const std::string longName(250, 'n');
    RecordingSink sink;
    model::Creature creature(sink);
    model::MeshObject* arm = Append(creature, CodePart("Left arm", {0, 0, 0, 1, 0, 0, 1, 1, 0},
                                                       {{0, 1, 2, 2, 0}, {0, 1, 2, 2, 1}, {0, 1, 2, 2, 2},
                                                        {0, 1, 2, 2, 3}},
                                                       {"Skin", "", longName}));
    arm->surfaces[3].name = "spare";  // beyond surfaceCount
    Append(creature, CodePart("Neck", {0, 0, 0, 1, 0, 0, 1, 1, 0}, {{0, 1, 2, 2, 0}}, {"Skin"}));
    for (bool typeNames : {false, true}) {
        formats::MergedFigure figure;
        ASSERT_EQ(figure.Prepare(creature, typeNames), formats::MergeResult::kMerged);
        std::vector<std::string> names;
        for (const formats::MergedSurface& surface : figure.surfaces) names.push_back(surface.name);
        const std::vector<std::string> expected =
            typeNames ? std::vector<std::string>{"Left arm_Skin", "Left arm_", "Left arm_" + std::string(246, 'n'),
                                                 "spare", "Neck_Skin"}
                      : std::vector<std::string>{"Skin", "", longName, "spare", "Skin"};
        EXPECT_EQ(names, expected);
    }
    EXPECT_EQ(arm->surfaces[0].name, "Skin");
}

// Exporting, in every format with and without type names, leaves the
// figure exactly as it was.
TEST(SurfaceNames, ExportingLeavesTheFigureAsItWas) {
    exporttest::TempFolder folder;
    RecordingSink sink;
    model::Creature creature(sink);
    Append(creature, CodePart("Head", {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2, 3, 0}}, {"Skin"}));
    Append(creature, CodePart("Neck", {0, 0, 1, 1, 0, 1, 1, 1, 1, 0, 1, 1}, {{0, 1, 2, 3, 1}}, {"Skin", "Collar"}));
    const std::string before = Snapshot(creature);
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        for (bool typeNames : {false, true}) {
            formats::ExportSettings settings;
            settings.typeNames = typeNames;
            EXPECT_TRUE(mesh.write(creature, (folder / ("figure" + std::string(mesh.extension))).string(), sink,
                                   settings))
                << mesh.extension;
            EXPECT_EQ(Snapshot(creature), before) << mesh.extension << (typeNames ? " with type names" : "");
        }
    }
}
