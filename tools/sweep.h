// Sweeps rings along a curve from one seam ring to another: the limbs and
// the neck. The first and last rings are the seams' own rings, exactly, so
// the neighbours meet them point for point.
#pragma once

#include <functional>
#include <vector>

#include "seam_ring.h"

namespace library {

struct SweepPlan {
    RingShape start;
    RingShape end;
    int rings = 10;            // including both seams
    double startHandle = 0.3;  // Bezier handles, as fractions of the seam distance
    double endHandle = 0.3;
    // Shapes an inner ring (radii, exponent) at t in (0, 1).
    std::function<void(double t, RingShape& ring)> shape;
    // Moves a point of an inner ring: t, its angle, the point, the ring's frame.
    std::function<Vec3(double t, double angle, Vec3 p, const Frame& frame)> bulge;
};

std::vector<std::vector<Vec3>> SweepRings(const SweepPlan& plan);

}  // namespace library
