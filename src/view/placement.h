// Placement: the view's turn and pan applied to a part's points and normals
// for drawing, into buffers of the view's own, so drawing never writes into
// the figure.
#pragma once

#include <vector>

#include "model/mesh_object.h"

namespace view {

struct ViewState;

// Pitch and yaw, then the pan; a 3 × 4 matrix in double precision.
struct Placement {
    double matrix[3][4] = {};
};

Placement PlacementOf(const ViewState& state);

// A part's points and normals under a placement. Sized like the part's
// points; the normals stay zero for a part without normals.
struct PlacedPoints {
    std::vector<float> points;
    std::vector<float> normals;
};

void PlacePoints(const model::MeshObject& part, const Placement& placement, PlacedPoints& placed);

// The buffers the drawing of the calling thread shares, kept from part to
// part so that a warm figure draws without allocating.
PlacedPoints& SharedPlacedPoints();

}  // namespace view
