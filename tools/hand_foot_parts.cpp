#include "hand_foot_parts.h"

#include <algorithm>
#include <cmath>

#include "figure_seams.h"
#include "grid.h"
#include "profile.h"

namespace library {

namespace {

// A digit growing out of an opening of the palm: rings whose cross-section
// turns from the opening's shape into a rounded one of `radius`, along
// `direction` bending by `curl` towards `curlDir`; closed by a w × h cap.
void AddDigit(Mesh& mesh, const std::vector<int>& root, Vec3 direction, Vec3 curlDir, double length, double radius,
              double curl, int capW, int capH, int skin, int nails, Vec3 nailSide) {
    const Vec3 base = mesh.Centroid(root);
    const Vec3 d = Normalize(direction);
    std::vector<Vec3> rel;
    for (int id : root) {
        Vec3 r = mesh.points[id] - base;
        rel.push_back(r - d * Dot(r, d));
    }
    // The rounded section: the root's shape stretched to equal extents
    // across both of its axes, so a flat opening still gives a round digit.
    const Vec3 axisA = Normalize(rel[1] - rel[0]);
    const Vec3 axisB = Cross(d, axisA);
    double extentA = 0, extentB = 0;
    for (Vec3 r : rel) {
        extentA = std::max(extentA, std::fabs(Dot(r, axisA)));
        extentB = std::max(extentB, std::fabs(Dot(r, axisB)));
    }
    std::vector<Vec3> round;
    for (Vec3 r : rel) {
        const Vec3 even = axisA * (Dot(r, axisA) / extentA) + axisB * (Dot(r, axisB) / extentB);
        round.push_back(Normalize(even) * radius);
    }
    constexpr int kRings = 5;
    std::vector<std::vector<int>> rings{root};
    std::vector<Vec3> centres{base};
    for (int k = 1; k <= kRings; ++k) {
        const double t = static_cast<double>(k) / kRings;
        const Vec3 centre = base + d * (length * t) + curlDir * (curl * length * t * t);
        const double blend = SmoothStep(t * 2.5);
        const double taper = k == kRings ? 0.82 : 1 - 0.10 * t;
        std::vector<Vec3> ring;
        for (std::size_t e = 0; e < rel.size(); ++e) ring.push_back(centre + Lerp(rel[e], round[e], blend) * taper);
        rings.push_back(mesh.AddPoints(ring));
        centres.push_back(centre);
    }
    mesh.Loft(rings, [&](int strip, Vec3 c) {
        const Vec3 axis = Lerp(centres[strip], centres[strip + 1], 0.5);
        return strip == kRings - 1 && Dot(c - axis, nailSide) > radius * 0.3 ? nails : skin;
    });
    Grid tip = CapGrid(mesh, rings.back(), capW, capH, [&](Vec3 q, double, double) { return q + d * (radius * 0.5); });
    const Vec3 inside = centres.back() - d * radius;
    EmitGrid(mesh, tip, [&](Vec3) { return skin; }, [&](int, int) { return inside; });
}

}  // namespace

Mesh BuildHand(const HandParams& p) {
    Mesh mesh;
    const RingShape wrist = seams::Scaled(seams::Wrist(), p.seamScale);
    const Frame f = MakeFrame(wrist.normal, wrist.ref);  // e1 towards the back, e2 the back of the hand
    const Vec3 axis = f.n;
    const std::vector<double> wristAngles = RingAngles(wrist.blockW, wrist.blockH);
    const std::vector<double> knuckleAngles = RingAngles(7, 1);
    const auto knuckleWalk = CanonicalWalk(7, 1);
    const double palm = 0.0175 * p.palmLength;
    const Profile width({{0, 0.0066}, {0.35, 0.0080}, {0.75, 0.0090}, {1, 0.0088}});
    const Profile thick({{0, 0.0042}, {0.3, 0.0036}, {1, 0.0028}});

    constexpr int kRings = 7;
    std::vector<std::vector<int>> rings;
    std::vector<Vec3> centres;
    for (int k = 0; k <= kRings; ++k) {
        const double t = static_cast<double>(k) / kRings;
        if (k == 0) {
            rings.push_back(mesh.AddPoints(RingPoints(wrist)));
            centres.push_back(wrist.centre);
            continue;
        }
        RingShape r = wrist;
        r.centre = wrist.centre + axis * (palm * t) + f.e2 * (0.0006 * t);
        r.ra = width(t) * Lerp(p.seamScale, p.width, SmoothStep(t * 2));
        r.rb = thick(t) * Lerp(p.seamScale, 1.0, t);
        r.exponent = Lerp(2.0, 2.6, t);
        std::vector<Vec3> ring = RingPoints(r, BlendAngles(wristAngles, knuckleAngles, SmoothStep(t)));
        // Towards the knuckles the section turns into a flat band with its
        // points evenly across the width, one finger on every other gap.
        const double flat = SmoothStep((t - 0.35) / 0.65);
        for (std::size_t e = 0; e < ring.size(); ++e) {
            const auto [i, j] = knuckleWalk[e];
            const double u = (i - 3.5) / 3.5;
            const double v = j == 0 ? -1.0 : 1.0;
            const Vec3 band = r.centre + f.e1 * (r.ra * 0.95 * u) + f.e2 * (r.rb * v * (1 - 0.25 * u * u));
            ring[e] = Lerp(ring[e], band, flat);
        }
        rings.push_back(mesh.AddPoints(ring));
        centres.push_back(r.centre);
    }
    Grid palmGrid = TubeGrid(rings);
    // The thumb leaves the front edge of the palm near the wrist.
    const std::vector<int> thumbRoot = OpenBlock(palmGrid, 15, 2, 1, 2);
    Grid knuckles = CapGrid(mesh, rings.back(), 7, 1, nullptr);
    std::array<std::vector<int>, 4> fingerRoots;
    for (int k = 0; k < 4; ++k) fingerRoots[k] = OpenBlock(knuckles, 2 * k, 0, 1, 1);

    const int skin = mesh.Surface("Skin");
    const int nails = mesh.Surface("Nails");
    EmitGrid(mesh, palmGrid, [&](Vec3) { return skin; },
             [&](int, int j) { return (centres[j] + centres[j + 1]) * 0.5; });
    const Vec3 insidePalm = centres.back() - axis * 0.005;
    EmitGrid(mesh, knuckles, [&](Vec3) { return skin; }, [&](int, int) { return insidePalm; });

    // Index finger at the front (-e1), little finger at the back.
    constexpr double kLength[4] = {0.0150, 0.0166, 0.0156, 0.0122};
    constexpr double kSpread[4] = {-0.06, -0.02, 0.02, 0.06};
    for (int k = 0; k < 4; ++k) {
        const Vec3 dir = axis + f.e1 * kSpread[k];
        AddDigit(mesh, fingerRoots[k], dir, -f.e2, kLength[k] * p.fingerLength, 0.0029 * p.fingerGirth, 0.18, 1, 1,
                 skin, nails, f.e2);
    }
    // The thumb lies along the index finger, a little in front of the palm.
    const Vec3 thumbDir = axis * 0.9 - f.e1 * 0.32 - f.e2 * 0.35;
    AddDigit(mesh, thumbRoot, thumbDir, axis, 0.0120 * p.fingerLength, 0.0024 * p.fingerGirth, 0.15, 1, 2, skin,
             nails, f.e2 - f.e1 * 0.5);

    mesh.lists[0] = rings.front();
    mesh.ComputeNormals();
    return mesh;
}

Mesh BuildFoot(const FootParams& p) {
    Mesh mesh;
    constexpr double kSole = -0.1795;
    const double heel = 0.0215;
    const double length = 0.0520 * p.length;
    const Profile halfWidth({{0, 0.0058}, {0.3, 0.0078}, {0.7, 0.0098}, {0.9, 0.0090}, {1, 0.0060}});
    const Profile top({{0, 0.0130}, {0.3, 0.0168}, {0.55, 0.0120}, {0.8, 0.0080}, {1, 0.0058}});
    const Profile sideX({{0, 0.0168}, {1, 0.0198}});

    constexpr int kRings = 15;
    std::vector<std::vector<int>> rings;
    std::vector<Vec3> centres;
    for (int k = 0; k < kRings; ++k) {
        const double s = static_cast<double>(k) / (kRings - 1);
        const double height = top(s) * (s < 0.6 ? p.height : 1);
        const double centreY = kSole + height * 0.45;
        RingShape r;
        r.centre = {sideX(s), centreY, heel - length * s};
        r.normal = {0, 0, -1};
        r.ref = {1, 0, 0};
        r.blockW = 8;
        r.blockH = 4;
        r.ra = halfWidth(s) * p.width * (s > 0.6 ? Lerp(1.0, p.toeBox, (s - 0.6) / 0.4) : 1);
        r.rb = height * 0.55;
        r.rbNegative = height * 0.45;
        r.exponent = 2.8;
        rings.push_back(mesh.AddPoints(RingPoints(r)));
        centres.push_back(r.centre);
    }
    Grid tube = TubeGrid(rings);
    Grid heelCap = CapGrid(mesh, rings.front(), 8, 4, [](Vec3 q, double u, double v) {
        return q + Vec3{0, 0, 0.0045 * std::sqrt((1 - (2 * u - 1) * (2 * u - 1)) * (1 - (2 * v - 1) * (2 * v - 1)))};
    });
    const double toeRound = 0.0065 * p.toeBox;
    Grid toeCap = CapGrid(mesh, rings.back(), 8, 4, [&](Vec3 q, double u, double v) {
        return q - Vec3{0, 0, toeRound * std::sqrt((1 - (2 * u - 1) * (2 * u - 1)) * (1 - (2 * v - 1) * (2 * v - 1)))};
    });
    mesh.lists[0] = CutHole(mesh, tube, 14, 2, 4, 4, seams::Scaled(seams::Ankle(), p.seamScale));

    const int shoes = mesh.Surface("Shoes");
    const int soles = mesh.Surface("Soles");
    auto surface = [&](Vec3 c) { return c.y < kSole + 0.0012 ? soles : shoes; };
    EmitGrid(mesh, tube, surface, [&](int, int j) { return (centres[j] + centres[j + 1]) * 0.5; });
    EmitGrid(mesh, heelCap, surface, [&](int, int) { return centres.front() - Vec3{0, 0, 0.01}; });
    EmitGrid(mesh, toeCap, surface, [&](int, int) { return centres.back() + Vec3{0, 0, 0.01}; });
    mesh.BlendSnaps();
    mesh.ComputeNormals();
    return mesh;
}

}  // namespace library
