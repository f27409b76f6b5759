// The view's placement: its turn and pan applied to a part's points and
// normals into the view's buffers.
#include <gtest/gtest.h>

#include <numbers>

#include "model/mesh_object.h"
#include "view/placement.h"
#include "view/view_state.h"

namespace {

// Two points with normals, as a read part would have them.
model::MeshObject& Fill(model::MeshObject& o, bool withNormals = true) {
    o.points = {1, 0, 0, 0, 0, 1};
    o.restPoints = o.points;
    if (withNormals) o.normals = {0, 1, 0, 0, 0, 1};
    o.pointCount = 2;
    return o;
}

view::PlacedPoints Place(const model::MeshObject& part, const view::ViewState& state) {
    view::PlacedPoints placed;
    view::PlacePoints(part, view::PlacementOf(state), placed);
    return placed;
}

TEST(Placement, PanOnlyMovesPointsInXAndY) {
    model::MeshObject o;
    view::ViewState state;
    state.panX = 3;
    state.panY = -2;
    const view::PlacedPoints placed = Place(Fill(o), state);
    EXPECT_EQ(placed.points, (std::vector<float>{4, -2, 0, 3, -2, 1}));
    EXPECT_EQ(placed.normals, o.normals);
}

TEST(Placement, YawTurnsAboutYAndPitchAboutX) {
    const float quarter = std::numbers::pi_v<float> / 2;
    const struct {
        float yaw;
        float pitch;
        float expected[6];  // where (1, 0, 0) and (0, 0, 1) go
    } cases[] = {
        {quarter, 0, {0, 0, -1, 1, 0, 0}},
        {0, quarter, {1, 0, 0, 0, -1, 0}},
    };
    for (const auto& c : cases) {
        model::MeshObject o;
        view::ViewState state;
        state.yaw = c.yaw;
        state.pitch = c.pitch;
        const view::PlacedPoints placed = Place(Fill(o), state);
        for (int i = 0; i < 6; ++i) EXPECT_NEAR(placed.points[i], c.expected[i], 1e-6) << c.yaw << " " << i;
        // The normal (0, 0, 1) turns as the point (0, 0, 1) does.
        for (int i = 3; i < 6; ++i) EXPECT_NEAR(placed.normals[i], c.expected[i], 1e-6) << c.yaw << " " << i;
    }
}

TEST(Placement, PartWithoutNormalsGetsZeroNormalsAlsoInAUsedBuffer) {
    model::MeshObject withNormals;
    model::MeshObject without;
    view::ViewState state;
    state.yaw = 0.5f;
    view::PlacedPoints placed;
    view::PlacePoints(Fill(withNormals), view::PlacementOf(state), placed);
    view::PlacePoints(Fill(without, false), view::PlacementOf(state), placed);
    EXPECT_EQ(placed.normals, std::vector<float>(6, 0.0f));
    EXPECT_EQ(placed.points.size(), 6u);
}

}  // namespace
