// The upper body (chest and shoulders, with the neck and arm seams) and the
// stomach (belly and pelvis, with the hip seams).
#pragma once

#include "mesh.h"

namespace library {

struct TorsoParams {
    double width = 1;        // inner cross-sections, x
    double depth = 1;        // inner cross-sections, z
    double shoulders = 1;    // width at the shoulders (upper body)
    double chest = 0;        // chest muscles (upper body)
    double belly = 0;        // belly (stomach)
    double seat = 0;         // buttocks (stomach)
    double seamScale = 1;    // the waist ring
};

Mesh BuildUpperBody(const TorsoParams& params);
Mesh BuildStomach(const TorsoParams& params);

}  // namespace library
