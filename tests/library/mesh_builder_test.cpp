#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "figure_seams.h"
#include "grid.h"
#include "mesh.h"
#include "profile.h"
#include "seam_ring.h"
#include "sweep.h"

using namespace library;

namespace {

void ExpectNear(Vec3 a, Vec3 b, double tolerance = 1e-12) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

RingShape Tilted(int w, int h) {
    RingShape r;
    r.centre = {0.3, -0.2, 0.1};
    r.normal = Normalize({0.2, 1, -0.3});
    r.ref = {1, 0, 0.2};
    r.blockW = w;
    r.blockH = h;
    r.ra = 0.02;
    r.rb = 0.013;
    r.rbNegative = 0.009;
    r.exponent = 2.5;
    r.curve = -20;
    r.curveV = 7;
    return r;
}

}  // namespace

TEST(SeamRing, WalkVisitsEveryPerimeterPositionOnceInTurn) {
    for (auto [w, h] : {std::pair{4, 4}, {3, 5}, {7, 1}, {4, 7}}) {
        const auto walk = CanonicalWalk(w, h);
        ASSERT_EQ(walk.size(), static_cast<std::size_t>(2 * (w + h)));
        EXPECT_EQ(std::set(walk.begin(), walk.end()).size(), walk.size());
        for (std::size_t e = 0; e < walk.size(); ++e) {
            const auto [i, j] = walk[e];
            const auto [ni, nj] = walk[(e + 1) % walk.size()];
            EXPECT_EQ(std::abs(ni - i) + std::abs(nj - j), 1);  // neighbours along the rim
            EXPECT_TRUE(i == 0 || i == w || j == 0 || j == h);
        }
        // Angles rise through one turn, so rings of two blocks blend entry by entry.
        const auto angles = RingAngles(w, h);
        for (std::size_t e = 1; e < angles.size(); ++e) EXPECT_GT(angles[e], angles[e - 1]);
        EXPECT_LT(angles.back() - angles.front(), 2 * kPi);
    }
}

TEST(SeamRing, MirroredRingIsTheMirrorImageEntryByEntry) {
    // The right-hand parts are mirror images of the left-hand ones, and the
    // body's right-hand openings are snapped onto mirrored rings: both must
    // list the same points in the same order.
    const RingShape left = Tilted(3, 5);
    const std::vector<Vec3> a = RingPoints(left);
    const std::vector<Vec3> b = RingPoints(Mirrored(left));
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t e = 0; e < a.size(); ++e) ExpectNear(MirrorX(a[e]), b[e]);
    // Mirroring twice gives the ring back.
    const std::vector<Vec3> c = RingPoints(Mirrored(Mirrored(left)));
    for (std::size_t e = 0; e < a.size(); ++e) ExpectNear(a[e], c[e]);
}

TEST(SeamRing, RingsOfTheSameShapeDifferOnlyByTheirCentres) {
    const RingShape a = Tilted(4, 4);
    const RingShape b = seams::Moved(a, {1, 2, 3});
    const std::vector<Vec3> pa = RingPoints(a), pb = RingPoints(b);
    for (std::size_t e = 0; e < pa.size(); ++e) ExpectNear(pb[e] - pa[e], {1, 2, 3});
    // A ring's mean is its centre when nothing bends it out of its plane.
    RingShape flat = a;
    flat.curve = flat.curveV = 0;
    flat.rbNegative = -1;
    Vec3 mean;
    for (Vec3 p : RingPoints(flat)) mean += p;
    ExpectNear(mean * (1.0 / 16), flat.centre, 1e-12);
}

TEST(Grid, CutHoleListsThePerimeterInTheRingsOrderWhicheverWayTheGridRuns) {
    // A flat 8 × 6 grid in the x-z plane; the ring's e1 runs along -x, so
    // the hole's columns run against it.
    for (bool mirrored : {false, true}) {
        Mesh mesh;
        std::vector<std::vector<int>> rows;
        for (int j = 0; j <= 6; ++j) {
            std::vector<Vec3> row;
            for (int i = 0; i <= 8; ++i) row.push_back({i * 0.01, 0, j * 0.01});
            rows.push_back(mesh.AddPoints(row));
        }
        Grid g;
        g.cols = 8;
        g.rows = 6;
        for (int j = 0; j <= 6; ++j)
            for (int i = 0; i <= 8; ++i) g.ids.push_back(rows[j][i]);
        g.open.assign(48, 0);
        RingShape ring;
        ring.centre = {0.04, 0.002, 0.03};
        ring.normal = {0, 1, 0};
        ring.ref = {-1, 0, 0};
        ring.blockW = 3;
        ring.blockH = 5;
        ring.ra = 0.012;
        ring.rb = 0.02;
        if (mirrored) ring = Mirrored(ring);
        const std::vector<int> perimeter = CutHole(mesh, g, 2, 1, 3, 5, ring);
        const std::vector<Vec3> target = RingPoints(ring);
        ASSERT_EQ(perimeter.size(), target.size());
        for (std::size_t e = 0; e < target.size(); ++e) ExpectNear(mesh.points[perimeter[e]], target[e]);
        EXPECT_EQ(std::set(perimeter.begin(), perimeter.end()).size(), perimeter.size());
        for (int j = 1; j < 6; ++j)
            for (int i = 2; i < 5; ++i) EXPECT_TRUE(g.IsOpen(i, j));
        EXPECT_FALSE(g.IsOpen(1, 1));
        EXPECT_FALSE(g.IsOpen(5, 3));
    }
}

TEST(Mesh, OrientQuadsTurnsAClosedBoxOutwardsWhateverTheBuilderDid) {
    Mesh mesh;
    for (int k = 0; k < 8; ++k) mesh.AddPoint({double(k & 1), double((k >> 1) & 1), double((k >> 2) & 1)});
    // The six faces, some turned in, some out.
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4}, {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    for (const auto& f : faces) mesh.AddQuad(f[0], f[1], f[2], f[3], 0);
    mesh.ComputeNormals();
    // Each edge is run once each way, and every corner normal points out
    // of the box's middle.
    std::set<std::pair<int, int>> directed;
    for (const Quad& q : mesh.quads) {
        const int c[4] = {q.a, q.b, q.c, q.d};
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(directed.insert({c[k], c[(k + 1) % 4]}).second);
    }
    for (std::size_t i = 0; i < mesh.points.size(); ++i) {
        EXPECT_GT(Dot(mesh.normals[i], mesh.points[i] - Vec3{0.5, 0.5, 0.5}), 0.5);
        EXPECT_NEAR(Length(mesh.normals[i]), 1.0, 1e-12);
    }
    // The mirror image stays outward-facing.
    mesh.MirrorX();
    const Quad& q = mesh.quads[0];
    const Vec3 n = Cross(mesh.points[q.c] - mesh.points[q.a], mesh.points[q.d] - mesh.points[q.b]);
    const Vec3 mid = (mesh.points[q.a] + mesh.points[q.c]) * 0.5;
    EXPECT_GT(Dot(n, mid - Vec3{-0.5, 0.5, 0.5}), 0);
}

TEST(Sweep, EndRingsAreTheSeamsOwnRings) {
    SweepPlan plan;
    plan.start = seams::Shoulder();
    plan.end = seams::Elbow();
    plan.rings = 9;
    plan.shape = [](double, RingShape& r) { r.ra *= 1.3; };
    plan.bulge = [](double, double, Vec3 p, const Frame& f) { return p + f.e1 * 0.002; };
    const auto rings = SweepRings(plan);
    ASSERT_EQ(rings.size(), 9u);
    EXPECT_EQ(rings.front().size(), 16u);
    const auto start = RingPoints(plan.start), end = RingPoints(plan.end);
    for (std::size_t e = 0; e < 16; ++e) {
        ExpectNear(rings.front()[e], start[e], 0);
        ExpectNear(rings.back()[e], end[e], 0);
    }
}

TEST(Profile, PassesThroughItsKeysAndHoldsOutside) {
    const Profile p({{0, 1}, {1, 3}, {2, 2}, {4, 5}});
    EXPECT_DOUBLE_EQ(p(0), 1);
    EXPECT_DOUBLE_EQ(p(1), 3);
    EXPECT_DOUBLE_EQ(p(2), 2);
    EXPECT_DOUBLE_EQ(p(4), 5);
    EXPECT_DOUBLE_EQ(p(-1), 1);
    EXPECT_DOUBLE_EQ(p(9), 5);
    EXPECT_GT(p(0.5), 1);
    EXPECT_LT(p(0.5), 3);
}
