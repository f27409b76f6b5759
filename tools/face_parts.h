// The parts that sit in the head's openings: eyes, ears, nose and mouth
// (left-hand eye and ear; the right ones are their mirror images).
#pragma once

#include "mesh.h"
#include "surface_palette.h"

namespace library {

struct EyeParams {
    Colour iris{70, 110, 165};
    double irisSize = 1;     // scale of iris and pupil
    double bulge = 1;        // how far the eyeball stands out
    double lid = 1;          // how far the lid rim stands out
};

struct EarParams {
    double size = 1;         // scale of the ear flap
    double stickOut = 1;     // how far it stands away from the head
    double lobe = 0;         // a longer lobe
    double point = 0;        // a pointed top
};

struct NoseParams {
    double height = 0.0040;  // how far the tip stands out
    double tipSize = 0.28;   // tip ring, as a fraction of the opening
    double tipLift = 0.0016; // tip above the nose base
    double width = 1;        // nostril wings
};

struct MouthParams {
    double lips = 1;         // fullness
    double width = 1;
    double smile = 0;        // raised corners
};

Mesh BuildEye(const EyeParams& params);
Mesh BuildEar(const EarParams& params);
Mesh BuildNose(const NoseParams& params);
Mesh BuildMouth(const MouthParams& params);

}  // namespace library
