#include <gtest/gtest.h>

#include <numbers>

#include "model/mesh_object.h"

namespace {

// Two points with normals, as a read part would have them.
void Fill(model::MeshObject& o, bool withNormals = true) {
    o.points = {1, 0, 0, 0, 0, 1};
    o.restPoints = o.points;
    if (withNormals) o.normals = {0, 1, 0, 0, 0, 1};
    o.pointCount = 2;
    o.transformedPoints.assign(6, 0.0f);
    o.transformedNormals.assign(6, 0.0f);
}

}  // namespace

TEST(MeshPlacement, NeutralPlacementOnlyTranslatesPoints) {
    model::MeshObject o;
    Fill(o);
    o.translation[0] = 3;
    o.translation[1] = -2;
    o.UpdatePlacement();
    ASSERT_TRUE(o.TransformPoints());
    EXPECT_EQ(o.transformedPoints, (std::vector<float>{4, -2, 0, 3, -2, 1}));
    EXPECT_EQ(o.transformedNormals, o.normals);
}

TEST(MeshPlacement, YawTurnsAboutY) {
    model::MeshObject o;
    Fill(o);
    o.yaw = std::numbers::pi_v<float> / 2;
    o.UpdatePlacement();
    o.TransformPoints();
    // (1, 0, 0) goes to (0, 0, -1) and (0, 0, 1) to (1, 0, 0); normals turn alike.
    const float expected[6] = {0, 0, -1, 1, 0, 0};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(o.transformedPoints[i], expected[i], 1e-6) << i;
    EXPECT_NEAR(o.transformedNormals[1], 1.0f, 1e-6);
    EXPECT_NEAR(o.transformedNormals[3], 1.0f, 1e-6);
}

TEST(MeshPlacement, PitchRollAndScaleComposeInOrder) {
    model::MeshObject o;
    Fill(o);
    // Scale x by 2, roll a quarter turn (x to y), then pitch a quarter turn (y to z).
    o.scale[0] = 2;
    o.roll = std::numbers::pi_v<float> / 2;
    o.pitch = std::numbers::pi_v<float> / 2;
    o.UpdatePlacement();
    o.TransformPoints();
    EXPECT_NEAR(o.transformedPoints[0], 0.0f, 1e-6);
    EXPECT_NEAR(o.transformedPoints[1], 0.0f, 1e-6);
    EXPECT_NEAR(o.transformedPoints[2], 2.0f, 1e-6);
}

TEST(MeshPlacement, PartWithoutNormalsKeepsZeroNormals) {
    model::MeshObject o;
    Fill(o, false);
    o.UpdatePlacement();
    ASSERT_TRUE(o.TransformPoints());
    EXPECT_EQ(o.transformedNormals, std::vector<float>(6, 0.0f));
    EXPECT_FLOAT_EQ(o.transformedPoints[2 + 3], 1.0f);
}

TEST(MeshObject, TranslateMovesPointsAndRestPointsButNotNormals) {
    model::MeshObject empty;
    EXPECT_FALSE(empty.Translate(1, 1, 1));
    EXPECT_FALSE(empty.CheckPoints());

    model::MeshObject o;
    Fill(o);
    o.points[0] = 5;  // a deformed point
    ASSERT_TRUE(o.Translate(1, 2, 3));
    EXPECT_EQ(o.points, (std::vector<float>{6, 2, 3, 1, 2, 4}));
    EXPECT_EQ(o.restPoints, (std::vector<float>{2, 2, 3, 1, 2, 4}));
    EXPECT_EQ(o.normals, (std::vector<float>{0, 1, 0, 0, 0, 1}));
}

TEST(MeshObject, BoundaryListsOutsideTheEightAreAbsent) {
    model::MeshObject o;
    o.boundaryLists[7] = {1, 2, 3};
    EXPECT_EQ(o.BoundaryCount(7), 3);
    EXPECT_EQ(o.BoundaryList(7)[2], 3);
    EXPECT_EQ(o.BoundaryCount(8), 0);
    EXPECT_EQ(o.BoundaryList(8), nullptr);
    EXPECT_EQ(o.BoundaryList(-1), nullptr);
    EXPECT_EQ(o.BoundaryCount(-1), 0);
    EXPECT_EQ(o.BoundaryList(0), nullptr);
}
