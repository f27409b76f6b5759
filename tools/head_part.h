// The head: a closed surface with seven openings, the neck below (list 0),
// the eyes (lists 1, 2), the nose and mouth sharing one opening split across
// at the nose base (lists 3 and 4, which share the two points where the nose
// base meets the rim), the ears (lists 5, 6). The face parts are built on the
// reference head's openings, whose rings every head variant keeps (only their
// place changes), so any face part fits any head.
#pragma once

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
    int splitRow = 0;               // block row of `face` that the nose base leaves from
    // Walk entries of `face` in list order: the nose's arc runs from the
    // figure's left end of the nose base over the top to its right end, the
    // mouth's from the right end round the chin to the left end. Both arcs
    // hold both ends, so that the three parts meet in shared points.
    std::vector<int> upperArc;
    std::vector<int> lowerArc;
    // The nose base, from the figure's right to its left, one point per
    // block column; the ends are the ring's own entries at the split row.
    std::vector<Vec3> split;
};

Mesh BuildHead(const HeadParams& params);
// The openings of the reference head, on which the face parts are built.
FaceRings ReferenceFaceRings();

}  // namespace library
