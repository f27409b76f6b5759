// The head: a closed surface with seven openings, the neck below (list 0),
// the eyes (lists 1, 2), the nose and mouth sharing one opening split across
// at the nose base (lists 3 and 4), the ears (lists 5, 6). The face parts are
// built on the reference head's openings, whose rings every head variant
// keeps (only their place changes), so any face part fits any head.
#pragma once

#include <array>
#include <vector>

#include "mesh.h"
#include "seam_ring.h"
#include "surface_palette.h"

namespace library {

struct HeadParams {
    double width = 0.0160;       // half widths of the skull
    double heightUp = 0.0230;
    double heightDown = 0.0245;
    double front = 0.0176;
    double back = 0.0205;
    double jaw = 0.30;           // how much the jaw narrows
    double chin = 0.05;          // how far the chin comes forward
    double exponent = 2.3;       // larger is squarer
    double hairFront = 0.45;     // hair line at the forehead (sine of its latitude)
    double hairSide = 0.22;      // above the ears
    double hairBack = -0.45;     // lowest hair at the back of the head
    double hairThickness = 0.0009;
    Colour hair{74, 50, 30};
};

// The openings of a head, as rings in the figure's frame.
struct FaceRings {
    RingShape leftEye;
    RingShape leftEar;
    RingShape face;                 // nose and mouth opening
    std::vector<int> upperArc;      // walk entries of `face` above the split (nose), in list order
    std::vector<int> lowerArc;      // walk entries below the split (mouth)
    std::array<Vec3, 5> split;      // the nose base, from the figure's right to its left
};

Mesh BuildHead(const HeadParams& params);
// The openings of the reference head, on which the face parts are built.
FaceRings ReferenceFaceRings();

}  // namespace library
