#include "sweep.h"

namespace library {

std::vector<std::vector<Vec3>> SweepRings(const SweepPlan& plan) {
    const RingShape& a = plan.start;
    const RingShape& b = plan.end;
    const double distance = Length(b.centre - a.centre);
    const Vec3 p0 = a.centre;
    const Vec3 p1 = a.centre + Normalize(a.normal) * (distance * plan.startHandle);
    const Vec3 p2 = b.centre - Normalize(b.normal) * (distance * plan.endHandle);
    const Vec3 p3 = b.centre;
    const std::vector<double> anglesA = RingAngles(a.blockW, a.blockH);
    const std::vector<double> anglesB = RingAngles(b.blockW, b.blockH);

    std::vector<std::vector<Vec3>> rings;
    rings.push_back(RingPoints(a));
    for (int k = 1; k + 1 < plan.rings; ++k) {
        const double t = static_cast<double>(k) / (plan.rings - 1);
        const double s = 1 - t;
        RingShape ring = a;
        ring.centre = p0 * (s * s * s) + p1 * (3 * s * s * t) + p2 * (3 * s * t * t) + p3 * (t * t * t);
        ring.normal = Normalize((p1 - p0) * (3 * s * s) + (p2 - p1) * (6 * s * t) + (p3 - p2) * (3 * t * t));
        ring.ref = Lerp(a.ref, b.ref, t);
        ring.ra = Lerp(a.ra, b.ra, t);
        ring.rb = Lerp(a.rb, b.rb, t);
        ring.exponent = Lerp(a.exponent, b.exponent, t);
        ring.curve = Lerp(a.curve, b.curve, t);
        ring.curveV = Lerp(a.curveV, b.curveV, t);
        if (plan.shape) plan.shape(t, ring);
        const std::vector<double> angles = BlendAngles(anglesA, anglesB, SmoothStep(t));
        std::vector<Vec3> points = RingPoints(ring, angles);
        if (plan.bulge) {
            const Frame frame = MakeFrame(ring.normal, ring.ref, ring.mirrored);
            for (std::size_t e = 0; e < points.size(); ++e) points[e] = plan.bulge(t, angles[e], points[e], frame);
        }
        rings.push_back(std::move(points));
    }
    rings.push_back(RingPoints(b));
    return rings;
}

}  // namespace library
