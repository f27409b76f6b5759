// The merged figure every export starts from.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "export_fixture.h"
#include "formats/merged_figure.h"
#include "seam_scan.h"

using exporttest::Append;
using exporttest::CodePart;
using exporttest::RecordingSink;
using formats::MergedFigure;
using formats::MergeResult;

namespace {

std::vector<float> Points(int count) {
    std::vector<float> points;
    for (int i = 0; i < count; ++i) points.insert(points.end(), {static_cast<float>(i), 0, 0});
    return points;
}

std::vector<std::array<std::uint32_t, 4>> Corners(const MergedFigure& figure) {
    std::vector<std::array<std::uint32_t, 4>> corners;
    for (const formats::MergedFace& face : figure.faces) corners.push_back(face.corners);
    return corners;
}

class MergedFigureTest : public ::testing::Test {
protected:
    RecordingSink sink;
    model::Creature creature{sink};
};

}  // namespace

TEST_F(MergedFigureTest, PartsFollowOneAnotherWithTheirSurfacesInOrderOfFirstUse) {
    Append(creature, CodePart("Head", Points(4), {{0, 1, 2, 3, 2}, {0, 1, 2, 3, 0}, {3, 2, 1, 0, 2}, {0, 0, 1, 1, 1}},
                                  {"A", "B", "C"}));
    Append(creature, CodePart("Neck", Points(3), {{0, 1, 2, 2, 0}}, {"N"}));
    // A second head (no figure holds one; the type table takes the last).
    Append(creature, CodePart("Head", Points(2), {{1, 0, 1, 0, 0}}, {"H"}));

    MergedFigure figure;
    figure.marks.assign(3, formats::SeamMarks{0xFFFF});  // left by an earlier export
    ASSERT_EQ(figure.Collect(creature), MergeResult::kMerged);
    EXPECT_EQ(figure.pointBase, (std::vector<std::uint32_t>{0, 4, 7}));
    EXPECT_EQ(figure.polygonBase, (std::vector<std::uint32_t>{0, 4, 5}));
    for (const formats::SeamMarks& marks : figure.marks) EXPECT_EQ(marks.flags, 0u);
    EXPECT_EQ(figure.PointCount(), 9u);
    EXPECT_EQ(figure.Point(8)[0], 1.0f);
    EXPECT_EQ(figure.typeTable[0], 2);
    EXPECT_EQ(figure.typeTable[21], 1);
    EXPECT_EQ(figure.typeTable[7], -1);

    std::vector<std::string> names;
    for (const formats::MergedSurface& s : figure.surfaces) names.push_back(s.record->name);
    EXPECT_EQ(names, (std::vector<std::string>{"C", "A", "B", "N", "H"}));
    std::vector<std::uint32_t> surfaceOfFace;
    std::vector<std::uint32_t> partOfFace;
    for (const formats::MergedFace& face : figure.faces) {
        surfaceOfFace.push_back(face.surface);
        partOfFace.push_back(face.part);
    }
    EXPECT_EQ(surfaceOfFace, (std::vector<std::uint32_t>{0, 1, 0, 2, 3, 4}));
    EXPECT_EQ(partOfFace, (std::vector<std::uint32_t>{0, 0, 0, 0, 1, 2}));
    EXPECT_EQ(figure.faces[5].corners, (std::array<std::uint32_t, 4>{8, 7, 8, 7}));

    figure.MergeSeams();
    figure.ListVertices();
    EXPECT_EQ(figure.vertices, (std::vector<std::uint32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST_F(MergedFigureTest, MaterialsNamedLikePartsComeFirstInPartOrderWithoutRegardToCase) {
    struct Case {
        std::vector<std::string> names;  // the surface list
        std::vector<std::uint32_t> order;
    };
    const std::vector<Case> cases = {
        {{"Skin", "head", "HEAD", "Hair"}, {1, 2, 0, 3}},
        // Panel order: Neck before Upper body before Left forearm before Right foot.
        {{"right foot", "Upper Body", "left forearm", "neck"}, {3, 1, 2, 0}},
        {{"LEFT FOREARM", "Left hand", "Left arm"}, {2, 0, 1}},
        // Near misses are no part names.
        {{"Head ", "Heads", "Lefthand", "Right  arm"}, {0, 1, 2, 3}},
        {{"zz", "Stomach", "aa", "Mouth", "nose"}, {4, 3, 1, 0, 2}},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        model::Creature figureOwner(sink);
        std::vector<model::Polygon> polygons;
        for (std::size_t s = 0; s < c.names.size(); ++s) polygons.push_back({0, 0, 0, 0, static_cast<std::uint16_t>(s)});
        Append(figureOwner, CodePart("Head", Points(1), polygons, c.names));
        MergedFigure figure;
        ASSERT_EQ(figure.Prepare(figureOwner), MergeResult::kMerged);
        figure.OrderMaterials();
        EXPECT_EQ(figure.materialOrder, c.order) << ::testing::PrintToString(c.names);
    }
}

TEST_F(MergedFigureTest, ASurfaceIndexPastTheTableIsAnUnnamedGreySurface) {
    auto part = CodePart("Head", Points(4), {{0, 1, 2, 3, 0}, {0, 1, 2, 3, 900}}, {"Skin"});
    part->surfaces.resize(1);  // no spare records
    Append(creature, std::move(part));
    MergedFigure figure;
    ASSERT_EQ(figure.Prepare(creature), MergeResult::kMerged);
    ASSERT_EQ(figure.surfaces.size(), 2u);
    EXPECT_EQ(figure.surfaces[1].record->name, "");
    EXPECT_EQ(figure.surfaces[1].record->colour, (std::array<float, 3>{0.5f, 0.5f, 0.5f}));
    EXPECT_EQ(figure.surfaces[1].surfaceIndex, 900u);
}

// (A corner past the points is refused as well: see the export failure tests.)
TEST_F(MergedFigureTest, ASeamNamingAPointThePartDoesNotHaveIsRefused) {
    auto part = CodePart("Head", Points(4), {{0, 1, 2, 3, 0}});
    part->boundaryLists[0] = {1, 4};
    Append(creature, std::move(part));
    MergedFigure figure;
    EXPECT_EQ(figure.Prepare(creature), MergeResult::kDamaged);
    EXPECT_EQ(figure.damagedPart, "Head");
}

// Left arm, Left forearm, Left hand in that order: the arm keeps its list 0
// and bends the forearm's list 1 onto it; then the forearm keeps its list 0
// and bends the hand. A forearm point on both its seams is bent onto the arm
// in the forearm's faces, while the hand's faces are bent onto the forearm's
// own point and stay there, as replacing corner by corner does.
TEST_F(MergedFigureTest, ABentCornerIsNotBentAgainWhenItsKeepPointIsDroppedLater) {
    auto arm = CodePart("Left arm", Points(4), {{0, 1, 2, 3, 0}});
    arm->boundaryLists[0] = {2, 3};
    auto forearm = CodePart("Left forearm", Points(4), {{0, 1, 2, 3, 0}});
    forearm->boundaryLists[1] = {0, 1};  // onto the arm
    forearm->boundaryLists[0] = {1, 2};  // onto the hand; point 1 is on both
    auto hand = CodePart("Left hand", Points(4), {{0, 1, 2, 3, 0}});
    hand->boundaryLists[0] = {3, 0};
    Append(creature, std::move(arm));
    Append(creature, std::move(forearm));
    Append(creature, std::move(hand));

    MergedFigure figure;
    ASSERT_EQ(figure.Prepare(creature), MergeResult::kMerged);
    // Forearm points 4 … 7: 4 → 2, 5 → 3. Hand points 8 … 11: 11 → 5, 8 → 6.
    EXPECT_EQ(Corners(figure), (std::vector<std::array<std::uint32_t, 4>>{{0, 1, 2, 3}, {2, 3, 6, 7}, {6, 9, 10, 5}}));
    // The forearm's lists 0 and 1 are marked, and the hand's list 0.
    EXPECT_EQ(figure.marks[1].flags, 1u + 256u);
    EXPECT_EQ(figure.marks[2].flags, 1u);

    // The point 5 (forearm's own, bent onto the arm in its own faces) is
    // still in use through the hand's faces.
    figure.ListVertices();
    EXPECT_EQ(figure.vertices, (std::vector<std::uint32_t>{0, 1, 2, 3, 5, 6, 7, 9, 10}));
}

TEST_F(MergedFigureTest, TheShorterListOfASeamEndsIt) {
    for (bool neighbourShorter : {true, false}) {
        model::Creature owner(sink);
        auto forearm = CodePart("Left forearm", Points(4), {{0, 1, 2, 3, 0}});
        forearm->boundaryLists[0] = neighbourShorter ? std::vector<std::uint16_t>{0, 1, 2} : std::vector<std::uint16_t>{0};
        auto hand = CodePart("Left hand", Points(4), {{0, 1, 2, 3, 0}});
        hand->boundaryLists[0] = neighbourShorter ? std::vector<std::uint16_t>{3, 2} : std::vector<std::uint16_t>{3, 2, 1};
        Append(owner, std::move(forearm));
        Append(owner, std::move(hand));
        MergedFigure figure;
        ASSERT_EQ(figure.Prepare(owner), MergeResult::kMerged);
        const auto expected = neighbourShorter ? std::array<std::uint32_t, 4>{4, 5, 1, 0}
                                               : std::array<std::uint32_t, 4>{4, 5, 6, 0};
        EXPECT_EQ(figure.faces[1].corners, expected) << neighbourShorter;
    }
}

// Random figures of random parts, some types twice, seams of random points
// (repeats and points shared between lists included), in random order: the
// lookup bends every corner as scanning the neighbour's faces does, and
// marks the same lists.
TEST(SeamMerging, MatchesScanningTheNeighboursFacesOnRandomFigures) {
    std::mt19937 random(12345);
    auto pick = [&](int below) { return static_cast<int>(random() % static_cast<unsigned>(below)); };
    int seamsMerged = 0;
    for (int round = 0; round < 1500; ++round) {
        RecordingSink sink;
        model::Creature creature(sink);
        const int partCount = 1 + pick(26);
        for (int i = 0; i < partCount; ++i) {
            const int pointCount = 1 + pick(12);
            std::vector<model::Polygon> polygons;
            for (int q = pick(8); q >= 0; --q) {
                auto corner = [&] { return static_cast<std::uint16_t>(pick(pointCount)); };
                polygons.push_back({corner(), corner(), corner(), corner(), 0});
            }
            auto part = CodePart(std::string(model::partTypeNames[static_cast<std::size_t>(pick(22))]),
                                 Points(pointCount), polygons);
            for (auto& list : part->boundaryLists) {
                for (int e = pick(6) - 1; e >= 0; --e) list.push_back(static_cast<std::uint16_t>(pick(pointCount)));
            }
            Append(creature, std::move(part));
        }

        MergedFigure scanned;
        ASSERT_EQ(scanned.Collect(creature), MergeResult::kMerged);
        exporttest::MergeSeamsByScan(scanned);
        std::vector<std::uint32_t> scannedFlags;
        for (const formats::SeamMarks& marks : scanned.marks) scannedFlags.push_back(marks.flags);

        MergedFigure looked;
        ASSERT_EQ(looked.Prepare(creature), MergeResult::kMerged);
        std::vector<std::uint32_t> lookedFlags;
        for (const formats::SeamMarks& marks : looked.marks) lookedFlags.push_back(marks.flags);

        ASSERT_EQ(Corners(looked), Corners(scanned)) << "round " << round;
        ASSERT_EQ(lookedFlags, scannedFlags) << "round " << round;
        for (std::uint32_t flags : lookedFlags) seamsMerged += flags != 0;
    }
    // The figures did have seams to merge.
    EXPECT_GT(seamsMerged, 3000);
}
