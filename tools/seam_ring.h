// Seam rings: the closed point sequences along which two parts meet. Both
// parts of a seam build their ring with the same function from the same
// shape, so entry e of one list lands on entry e of the other whatever the
// variants' girth. A ring of a w × h block has 2(w + h) points, listed in the
// block's perimeter walk: from corner (0, 0) along +i, then +j, then -i, -j.
#pragma once

#include <utility>
#include <vector>

#include "vec3.h"

namespace library {

struct Frame {
    Vec3 e1;
    Vec3 e2;
    Vec3 n;
};

// e1 is `ref` made perpendicular to the normal, e2 = e1 × normal (or its
// opposite for a mirrored frame, so a mirrored ring is the mirror image).
Frame MakeFrame(Vec3 normal, Vec3 ref, bool mirrored = false);

struct RingShape {
    Vec3 centre;
    Vec3 normal{0, 1, 0};
    Vec3 ref{1, 0, 0};
    int blockW = 4;
    int blockH = 4;
    double ra = 0.01;           // radius along e1
    double rb = 0.01;           // radius along +e2
    double rbNegative = -1;     // radius along -e2; negative: same as rb
    double exponent = 2;        // superellipse exponent; larger is boxier
    double curve = 0;           // offset along the normal per squared e1 offset
    double curveV = 0;          // the same per squared e2 offset
    bool mirrored = false;      // the right-hand copy of a left-hand ring
};

// Block-local perimeter coordinates in walk order.
std::vector<std::pair<int, int>> CanonicalWalk(int w, int h);
// Angle of a perimeter position in the block normalised to a square.
double BlockAngle(int i, int j, int w, int h);
std::vector<double> RingAngles(int w, int h);

Vec3 RingPointAt(const RingShape& shape, double angle);
std::vector<Vec3> RingPoints(const RingShape& shape);
// The ring with its own angle sequence (used where a tube changes blocks).
std::vector<Vec3> RingPoints(const RingShape& shape, const std::vector<double>& angles);
// Angles blended from one block's sequence to another's, entry by entry.
std::vector<double> BlendAngles(const std::vector<double>& a, const std::vector<double>& b, double t);

RingShape Mirrored(const RingShape& shape);
Vec3 MirrorX(Vec3 v);

}  // namespace library
