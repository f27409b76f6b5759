#include "seam_ring.h"

#include <cmath>

namespace library {

Frame MakeFrame(Vec3 normal, Vec3 ref, bool mirrored) {
    Frame f;
    f.n = Normalize(normal);
    f.e1 = Normalize(ref - f.n * Dot(ref, f.n));
    f.e2 = Cross(f.e1, f.n);
    if (mirrored) f.e2 = -f.e2;
    return f;
}

std::vector<std::pair<int, int>> CanonicalWalk(int w, int h) {
    std::vector<std::pair<int, int>> walk;
    for (int k = 0; k < w; ++k) walk.emplace_back(k, 0);
    for (int k = 0; k < h; ++k) walk.emplace_back(w, k);
    for (int k = 0; k < w; ++k) walk.emplace_back(w - k, h);
    for (int k = 0; k < h; ++k) walk.emplace_back(0, h - k);
    return walk;
}

double BlockAngle(int i, int j, int w, int h) {
    const double u = (i - w * 0.5) / (w * 0.5);
    const double v = (j - h * 0.5) / (h * 0.5);
    return std::atan2(v, u);
}

std::vector<double> RingAngles(int w, int h) {
    std::vector<double> angles;
    double previous = 0;
    bool first = true;
    for (auto [i, j] : CanonicalWalk(w, h)) {
        double a = BlockAngle(i, j, w, h);
        // Unwrapped, increasing, so that angle sequences blend entry by entry.
        if (!first) {
            while (a < previous) a += 2 * kPi;
        }
        angles.push_back(a);
        previous = a;
        first = false;
    }
    return angles;
}

namespace {
double SuperPower(double c, double exponent) {
    const double m = std::pow(std::fabs(c), 2.0 / exponent);
    return c < 0 ? -m : m;
}
}  // namespace

Vec3 RingPointAt(const RingShape& shape, double angle) {
    const Frame f = MakeFrame(shape.normal, shape.ref, shape.mirrored);
    const double c = SuperPower(std::cos(angle), shape.exponent);
    const double s = SuperPower(std::sin(angle), shape.exponent);
    const double rbDown = shape.rbNegative < 0 ? shape.rb : shape.rbNegative;
    const double u = shape.ra * c;
    const double v = (s >= 0 ? shape.rb : rbDown) * s;
    return shape.centre + f.e1 * u + f.e2 * v + f.n * (shape.curve * u * u + shape.curveV * v * v);
}

std::vector<Vec3> RingPoints(const RingShape& shape) {
    return RingPoints(shape, RingAngles(shape.blockW, shape.blockH));
}

std::vector<Vec3> RingPoints(const RingShape& shape, const std::vector<double>& angles) {
    std::vector<Vec3> points;
    points.reserve(angles.size());
    for (double a : angles) points.push_back(RingPointAt(shape, a));
    return points;
}

std::vector<double> BlendAngles(const std::vector<double>& a, const std::vector<double>& b, double t) {
    std::vector<double> out(a.size());
    for (std::size_t e = 0; e < a.size() && e < b.size(); ++e) out[e] = Lerp(a[e], b[e], t);
    return out;
}

Vec3 MirrorX(Vec3 v) { return {-v.x, v.y, v.z}; }

RingShape Mirrored(const RingShape& shape) {
    RingShape m = shape;
    m.centre = MirrorX(shape.centre);
    m.normal = MirrorX(shape.normal);
    m.ref = MirrorX(shape.ref);
    m.mirrored = !shape.mirrored;
    return m;
}

}  // namespace library
