// Deforming a part: every point is recomputed from its rest position, so the
// same factors always give the same shape, then the figure is put back
// together around the part.
#include <cmath>

#include "model/creature.h"

namespace model {

double DistanceToCentre(float x, float y, float z, float cx, float cy, float cz) {
    const double dx = static_cast<double>(x) - cx;
    const double dy = static_cast<double>(y) - cy;
    const double dz = static_cast<double>(z) - cz;
    const double squared = dx * dx + dy * dy + dz * dz;
    return squared == 0.0 ? 0.0 : std::sqrt(squared);
}

namespace {

// Finite coordinates, none of them a negative zero.
bool PlainPoint(const float* r) {
    for (int a = 0; a < 3; ++a) {
        if (!std::isfinite(r[a]) || (r[a] == 0.0f && std::signbit(r[a]))) return false;
    }
    return true;
}

}  // namespace

bool Creature::ApplyParameters(MeshObject* part) {
    if (part == nullptr) return false;
    const std::size_t n = (part->points.size() < part->restPoints.size() ? part->points.size()
                                                                         : part->restPoints.size()) / 3;
    if (n == 0) return false;
    const float* rest = part->restPoints.data();

    const float (&f)[3][3] = part->settings.deformFactors;
    bool undeformed = true;
    for (const auto& mode : f) {
        for (float factor : mode) undeformed = undeformed && factor == 0.0f;
    }
    // The centre picks the points a factor acts on. Without factors it is
    // needed only for a point that takes the long way below.
    float centre[3] = {0, 0, 0};
    bool centreKnown = false;
    const auto findCentre = [&] {
        double sum[3] = {0, 0, 0};
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t a = 0; a < 3; ++a) sum[a] += rest[3 * i + a];
        }
        for (std::size_t a = 0; a < 3; ++a) centre[a] = static_cast<float>(sum[a] / static_cast<double>(n));
        centreKnown = true;
    };
    float* out = part->points.data();
    for (std::size_t i = 0; i < n; ++i) {
        const float* r = rest + 3 * i;
        // Without factors a point is its rest point; the sum below gives the
        // same but for a negative zero or a non-finite coordinate, which take
        // the long way so that the result stays bit for bit what it was.
        if (undeformed && PlainPoint(r)) {
            out[3 * i] = r[0];
            out[3 * i + 1] = r[1];
            out[3 * i + 2] = r[2];
            continue;
        }
        if (!centreKnown) findCentre();
        // The distance in model units is taken as an angle: full effect at
        // the centre, none at pi/2, reversed beyond.
        const double w = std::cos(DistanceToCentre(r[0], r[1], r[2], centre[0], centre[1], centre[2]));
        for (std::size_t a = 0; a < 3; ++a) {
            // Scaled about the model origin, not the centre; the centre only
            // picks the half a lock factor acts on.
            const double v = r[a];
            double moved = v + v * w * f[kLockNone][a];
            if (r[a] < centre[a]) moved += v * w * f[kLockPositive][a];
            if (r[a] > centre[a]) moved += v * w * f[kLockNegative][a];
            out[3 * i + a] = static_cast<float>(moved);
        }
    }

    AlignDependants(part);
    return WeldNeighbours(part);
}

}  // namespace model
