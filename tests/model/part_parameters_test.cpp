#include <gtest/gtest.h>

#include <cmath>

#include "figure_fixture.h"

using testdata::AddPoints;
using testdata::AddSeam;
using testdata::PartShape;
using testdata::PointOf;
using testdata::SeamClosed;

using Deformation = testdata::Figure;

TEST_F(Deformation, ZeroFactorsRestoreTheRestShapeExactly) {
    PartShape shape;
    AddPoints(shape, {{0.3f, 0.1f, -0.2f}, {1, 2, 3}, {-0.7f, 0.4f, 0.9f}});
    model::MeshObject* p = Add("Head", shape);
    p->settings.deformFactors[model::kLockNone][model::kAxisX] = 0.3f;
    p->settings.deformFactors[model::kLockPositive][model::kAxisY] = -0.2f;
    p->settings.deformFactors[model::kLockNegative][model::kAxisZ] = 0.5f;
    EXPECT_TRUE(creature.ApplyParameters(p));
    EXPECT_NE(p->points, p->restPoints);
    const std::vector<float> deformed = p->points;

    // The same factors again give the same shape; the panel's bookkeeping
    // fields do not enter.
    p->settings.lockModes[0] = 2;
    p->settings.sliderPositions[1][1] = 40;
    creature.ApplyParameters(p);
    EXPECT_EQ(p->points, deformed);

    for (auto& mode : p->settings.deformFactors) {
        for (float& f : mode) f = 0;
    }
    creature.ApplyParameters(p);
    EXPECT_EQ(p->points, p->restPoints);
    EXPECT_EQ(p->points, shape.points);

    // Zero factors keep even the sign of a zero as the sum gives it: a
    // negative zero far from the centre (w < 0) comes out positive.
    PartShape far;
    AddPoints(far, {{-0.0f, 4, 0}, {0, -4, -0.0f}});
    model::MeshObject* q = Add("Neck", far);
    creature.ApplyParameters(q);
    EXPECT_FALSE(std::signbit(q->points[0]));
    EXPECT_FALSE(std::signbit(q->points[5]));
    EXPECT_EQ(q->points[1], 4.0f);
}

TEST_F(Deformation, FactorsScaleAboutTheOriginWithCosineFalloff) {
    PartShape pair;
    AddPoints(pair, {{2, 0, 0}, {-2, 0, 0}});
    model::MeshObject* p = Add("Head", pair);
    p->settings.deformFactors[model::kLockNone][model::kAxisX] = 0.5f;
    creature.ApplyParameters(p);
    // Distance 2 from the centre: w = cos 2 < 0, so the point moves inwards.
    EXPECT_NEAR(p->points[0], 1.584, 1e-3);
    EXPECT_FLOAT_EQ(p->points[0], static_cast<float>(2 + 2 * std::cos(2.0) * 0.5));
    EXPECT_FLOAT_EQ(p->points[3], -p->points[0]);

    // A single point is its own centre: w = 1.
    PartShape single;
    AddPoints(single, {{3, 0, 0}});
    model::MeshObject* s = Add("Neck", single);
    s->settings.deformFactors[model::kLockNone][model::kAxisX] = 0.5f;
    creature.ApplyParameters(s);
    EXPECT_FLOAT_EQ(s->points[0], 4.5f);

    EXPECT_DOUBLE_EQ(model::DistanceToCentre(4, 6, 3, 1, 2, 3), 5.0);
    EXPECT_EQ(model::DistanceToCentre(1, 1, 1, 1, 1, 1), 0.0);
}

TEST_F(Deformation, LockFactorsActOnTheirHalfOnly) {
    PartShape row;
    AddPoints(row, {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}});
    model::MeshObject* p = Add("Stomach", row);
    p->settings.deformFactors[model::kLockPositive][model::kAxisX] = 0.2f;
    p->settings.deformFactors[model::kLockNegative][model::kAxisX] = 0.3f;
    creature.ApplyParameters(p);
    // Centre x = 2: below it the Positive factor, above it the Negative one,
    // at it neither.
    EXPECT_FLOAT_EQ(p->points[0], static_cast<float>(1 + std::cos(1.0) * 0.2));
    EXPECT_FLOAT_EQ(p->points[3], 2.0f);
    EXPECT_FLOAT_EQ(p->points[6], static_cast<float>(3 + 3 * std::cos(1.0) * 0.3));
    EXPECT_FLOAT_EQ(p->points[1], 0.0f);
}

TEST_F(Deformation, DeformingTheUpperBodyCarriesEverythingOnItsSeams) {
    PartShape body;
    AddSeam(body, 0, {0, -1, 0}, 4);
    AddSeam(body, 1, {-1, 0.5f, 0}, 2);
    AddSeam(body, 2, {0, 1, 0}, 2);
    AddSeam(body, 3, {1, 0.5f, 0}, 2);
    model::MeshObject* b = Add("Upper body", body);

    PartShape stomach;
    AddSeam(stomach, 1, {0, -1, 0}, 4);
    model::MeshObject* s = Add("Stomach", stomach);
    PartShape arm;
    AddSeam(arm, 0, {-3, 0.5f, 0}, 3);
    AddSeam(arm, 1, {-1, 0.5f, 0}, 2);
    model::MeshObject* la = Add("Left arm", arm);
    PartShape forearm;
    AddSeam(forearm, 1, {-3, 0.5f, 0}, 3);
    AddPoints(forearm, {{-5, 0.5f, 0}});
    model::MeshObject* lf = Add("Left forearm", forearm);
    PartShape neck;
    AddSeam(neck, 0, {0, 1, 0}, 2);
    model::MeshObject* n = Add("Neck", neck);
    PartShape rightArm;
    AddSeam(rightArm, 1, {1, 0.5f, 0}, 2);
    model::MeshObject* ra = Add("Right arm", rightArm);

    const auto armBefore = PointOf(*la, 0);
    const auto handEnd = PointOf(*lf, 3);
    b->settings.deformFactors[model::kLockNone][model::kAxisY] = 0.5f;
    b->settings.deformFactors[model::kLockNone][model::kAxisX] = -0.25f;
    EXPECT_TRUE(creature.ApplyParameters(b));

    EXPECT_TRUE(SeamClosed(*b, 0, *s, 1));
    EXPECT_TRUE(SeamClosed(*b, 1, *la, 1));
    EXPECT_TRUE(SeamClosed(*b, 2, *n, 0));
    EXPECT_TRUE(SeamClosed(*b, 3, *ra, 1));
    // The forearm rides along with the arm, rigidly.
    EXPECT_TRUE(SeamClosed(*la, 0, *lf, 1));
    const auto armAfter = PointOf(*la, 0);
    const auto handAfter = PointOf(*lf, 3);
    EXPECT_GT(std::abs(armAfter[0] - armBefore[0]) + std::abs(armAfter[1] - armBefore[1]), 1e-3f);
    for (std::size_t a = 0; a < 3; ++a) {
        EXPECT_NEAR(handAfter[a] - handEnd[a], armAfter[a] - armBefore[a], 1e-5f);
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(Deformation, MismatchAfterDeformingLeavesThePartInTheFigure) {
    PartShape hand;
    AddSeam(hand, 0, {0, 0, 0}, 2);
    model::MeshObject* h = Add("Left hand", hand);
    PartShape forearm;
    AddSeam(forearm, 0, {1, 0, 0}, 2);
    AddPoints(forearm, {{0.5f, 0.5f, 0}});
    model::MeshObject* f = Add("Left forearm", forearm);

    h->boundaryLists[0].pop_back();  // the seam no longer matches
    f->settings.deformFactors[model::kLockNone][model::kAxisY] = 0.1f;
    EXPECT_TRUE(creature.ApplyParameters(f));
    ASSERT_FALSE(sink.shown.empty());
    EXPECT_EQ(sink.shown[0].text,
              "Object you are trying to connect have: 2 points\n Object that it will be connected to have: 1 points");
    ASSERT_EQ(creature.parts.Count(), 2);
    EXPECT_EQ(creature.PartAt(1), f);
    EXPECT_NE(f->points, f->restPoints);  // the deformation itself stands
}
