#include "limb_parts.h"

#include <algorithm>
#include <cmath>

#include "figure_seams.h"
#include "sweep.h"

namespace library {

namespace {

double Bump(double t, double centre, double width) {
    const double d = (t - centre) / width;
    return std::exp(-d * d);
}

// The part's own girth takes over away from its seams, so a thicker or
// thinner variant still meets its neighbours' rings smoothly.
double Girth(const LimbParams& p, double t) { return Lerp(1.0, p.girth, SmoothStep(std::min(t, 1 - t) * 4)); }

// Direction of a ring point from the ring's axis.
Vec3 Outward(double angle, const Frame& f) { return f.e1 * std::cos(angle) + f.e2 * std::sin(angle); }

// A swept part: rings from `plan`, quads of `firstSurface` up to ring
// `split` and of `secondSurface` beyond; the start ring becomes list
// `startList`, the end ring list `endList`.
Mesh Sweep(const SweepPlan& plan, int startList, int endList, const char* firstSurface, const char* secondSurface,
           int split) {
    Mesh mesh;
    std::vector<std::vector<int>> rings;
    for (const auto& ring : SweepRings(plan)) rings.push_back(mesh.AddPoints(ring));
    const int first = mesh.Surface(firstSurface);
    const int second = mesh.Surface(secondSurface);
    mesh.Loft(rings, [&](int strip, Vec3) { return strip < split ? first : second; });
    mesh.lists[startList] = rings.front();
    mesh.lists[endList] = rings.back();
    mesh.ComputeNormals();
    return mesh;
}

}  // namespace

Mesh BuildNeck(const LimbParams& p) {
    SweepPlan plan;
    plan.start = seams::Scaled(seams::BodyToNeck(), p.seamScale);
    plan.end = seams::Moved(seams::Scaled(seams::NeckToHead(), p.seamScale), p.stretch);
    plan.rings = 10;
    plan.shape = [&](double t, RingShape& r) {
        const double waist = 1 - 0.03 * Bump(t, 0.55, 0.3);
        r.ra *= Girth(p, t) * waist;
        r.rb *= Girth(p, t) * waist;
    };
    plan.bulge = [&](double t, double angle, Vec3 q, const Frame& f) {
        // The throat sits a little forward, the muscles at the sides stand out.
        const Vec3 dir = Outward(angle, f);
        const double side = std::fabs(dir.x);
        return q + dir * (0.0007 * p.muscle * side * Bump(t, 0.4, 0.35));
    };
    Mesh mesh = Sweep(plan, 0, 1, "Skin", "Skin", 0);
    // Only the seam rings: the rings between them turn from one block's
    // walk to the other's, which no mirror maps onto itself.
    for (int list : {0, 1}) mesh.MakeMirrorSymmetric(mesh.lists[list]);
    return mesh;
}

Mesh BuildArm(const LimbParams& p) {
    SweepPlan plan;
    plan.start = seams::Scaled(seams::Shoulder(), p.seamScale);
    plan.end = seams::Moved(seams::Scaled(seams::Elbow(), p.seamScale), p.stretch);
    plan.rings = 16;
    plan.startHandle = 0.18;
    plan.endHandle = 0.45;
    plan.shape = [&](double t, RingShape& r) {
        const double deltoid = 1 + 0.10 * Bump(t, 0.12, 0.14);
        const double upper = 1 + (0.04 + 0.06 * p.muscle) * Bump(t, 0.5, 0.22);
        r.ra *= Girth(p, t) * deltoid * upper;
        r.rb *= Girth(p, t) * deltoid * upper;
    };
    plan.bulge = [&](double t, double angle, Vec3 q, const Frame& f) {
        const Vec3 dir = Outward(angle, f);
        const double front = std::max(0.0, -dir.z);
        const double back = std::max(0.0, dir.z);
        const double biceps = (0.0005 + 0.0013 * p.muscle) * front * front * Bump(t, 0.55, 0.2);
        const double triceps = (0.0003 + 0.0008 * p.muscle) * back * back * Bump(t, 0.4, 0.2);
        return q + dir * (biceps + triceps);
    };
    return Sweep(plan, 1, 0, "Shirt", "Skin", 6);
}

Mesh BuildForearm(const LimbParams& p) {
    SweepPlan plan;
    plan.start = seams::Scaled(seams::Elbow(), p.seamScale);
    plan.end = seams::Moved(seams::Scaled(seams::Wrist(), p.seamScale), p.stretch);
    plan.rings = 14;
    plan.startHandle = 0.3;
    plan.endHandle = 0.3;
    plan.shape = [&](double t, RingShape& r) {
        const double muscle = 1 + (0.07 + 0.07 * p.muscle) * Bump(t, 0.22, 0.22);
        r.ra *= Girth(p, t) * muscle;
        r.rb *= Girth(p, t) * muscle;
    };
    plan.bulge = [&](double t, double angle, Vec3 q, const Frame& f) {
        const Vec3 dir = Outward(angle, f);
        const double outer = std::max(0.0, dir.x);
        return q + dir * ((0.0004 + 0.0006 * p.muscle) * outer * Bump(t, 0.25, 0.2));
    };
    return Sweep(plan, 1, 0, "Skin", "Skin", 0);
}

Mesh BuildThigh(const LimbParams& p) {
    SweepPlan plan;
    plan.start = seams::Scaled(seams::Hip(), p.seamScale);
    plan.end = seams::Moved(seams::Scaled(seams::Knee(), p.seamScale), p.stretch);
    plan.rings = 16;
    plan.startHandle = 0.25;
    plan.endHandle = 0.3;
    plan.shape = [&](double t, RingShape& r) {
        const double upper = 1.08 + (0.06 + 0.05 * p.muscle) * Bump(t, 0.2, 0.28) - 0.08 * SmoothStep((t - 0.7) / 0.3);
        r.ra *= Girth(p, t) * upper;
        r.rb *= Girth(p, t) * upper;
    };
    plan.bulge = [&](double t, double angle, Vec3 q, const Frame& f) {
        const Vec3 dir = Outward(angle, f);
        const double front = std::max(0.0, -dir.z);
        const double back = std::max(0.0, dir.z);
        const double quads = (0.0006 + 0.0012 * p.muscle) * front * Bump(t, 0.45, 0.3);
        const double seat = 0.0012 * back * back * Bump(t, 0.05, 0.12);
        return q + dir * (quads + seat);
    };
    return Sweep(plan, 1, 0, "Trousers", "Trousers", 0);
}

Mesh BuildLeg(const LimbParams& p) {
    SweepPlan plan;
    plan.start = seams::Scaled(seams::Knee(), p.seamScale);
    plan.end = seams::Moved(seams::Scaled(seams::Ankle(), p.seamScale), p.stretch);
    plan.rings = 16;
    plan.startHandle = 0.3;
    plan.endHandle = 0.3;
    plan.shape = [&](double t, RingShape& r) {
        const double calf = 1.04 + (0.08 + 0.06 * p.muscle) * Bump(t, 0.28, 0.22) - 0.04 * SmoothStep((t - 0.75) / 0.25);
        r.ra *= Girth(p, t) * calf;
        r.rb *= Girth(p, t) * calf;
    };
    plan.bulge = [&](double t, double angle, Vec3 q, const Frame& f) {
        const Vec3 dir = Outward(angle, f);
        const double back = std::max(0.0, dir.z);
        return q + dir * ((0.0012 + 0.0012 * p.muscle) * back * back * Bump(t, 0.3, 0.2));
    };
    return Sweep(plan, 1, 0, "Trousers", "Trousers", 0);
}

}  // namespace library
