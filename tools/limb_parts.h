// The swept parts: neck, arm, forearm, thigh and leg, left-hand versions
// (the right ones are their mirror images).
#pragma once

#include "mesh.h"
#include "vec3.h"

namespace library {

struct LimbParams {
    double girth = 1;          // scale of the inner rings' radii
    double seamScale = 1;      // scale of both seam rings
    double muscle = 0;         // 0 plain … 1 strong muscle bulges
    Vec3 stretch;              // moves the far seam (the part gets longer or shorter)
};

Mesh BuildNeck(const LimbParams& params);
Mesh BuildArm(const LimbParams& params);
Mesh BuildForearm(const LimbParams& params);
Mesh BuildThigh(const LimbParams& params);
Mesh BuildLeg(const LimbParams& params);

}  // namespace library
