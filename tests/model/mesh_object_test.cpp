#include <gtest/gtest.h>

#include "model/mesh_object.h"

namespace {

// Two points with normals, as a read part would have them.
void Fill(model::MeshObject& o, bool withNormals = true) {
    o.points = {1, 0, 0, 0, 0, 1};
    o.restPoints = o.points;
    if (withNormals) o.normals = {0, 1, 0, 0, 0, 1};
    o.pointCount = 2;
}

}  // namespace

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
