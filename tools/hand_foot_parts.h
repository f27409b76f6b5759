// Hands (palm, four fingers and a thumb, hanging with the palm towards the
// thigh) and feet (a shoe-like foot with the ankle opening on top); left-hand
// versions, the right ones are their mirror images.
#pragma once

#include "mesh.h"

namespace library {

struct HandParams {
    double width = 1;          // palm width
    double palmLength = 1;
    double fingerLength = 1;
    double fingerGirth = 1;
    double seamScale = 1;
};

struct FootParams {
    double length = 1;
    double width = 1;
    double height = 1;         // instep
    double toeBox = 1;         // width and roundness at the toes
    double seamScale = 1;
};

Mesh BuildHand(const HandParams& params);
Mesh BuildFoot(const FootParams& params);

}  // namespace library
