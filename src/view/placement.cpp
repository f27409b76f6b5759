#include "view/placement.h"

#include <algorithm>
#include <cmath>

#include "view/view_state.h"

namespace view {

Placement PlacementOf(const ViewState& state) {
    const double cy = std::cos(static_cast<double>(state.yaw));
    const double sy = std::sin(static_cast<double>(state.yaw));
    const double cp = std::cos(static_cast<double>(state.pitch));
    const double sp = std::sin(static_cast<double>(state.pitch));
    // The view never rolls: the roll terms are kept, so the sums (and the
    // signs of their zeros) are those of a general rotation.
    const double cr = 1.0;
    const double sr = 0.0;

    Placement placement;
    double (&m)[3][4] = placement.matrix;
    m[0][0] = cy * cr + sy * sp * sr;
    m[0][1] = sy * sp * cr - cy * sr;
    m[0][2] = sy * cp;
    m[0][3] = state.panX;
    m[1][0] = cp * sr;
    m[1][1] = cp * cr;
    m[1][2] = -sp;
    m[1][3] = state.panY;
    m[2][0] = cy * sp * sr - sy * cr;
    m[2][1] = cy * sp * cr + sy * sr;
    m[2][2] = cy * cp;
    m[2][3] = 0.0;
    return placement;
}

void PlacePoints(const model::MeshObject& part, const Placement& placement, PlacedPoints& placed) {
    // resize keeps the capacity, so a warm buffer allocates nothing.
    placed.points.resize(part.points.size());
    placed.normals.resize(part.points.size());

    const double (&m)[3][4] = placement.matrix;
    const std::size_t n = part.points.size() / 3;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = part.points[3 * i];
        const double y = part.points[3 * i + 1];
        const double z = part.points[3 * i + 2];
        for (int r = 0; r < 3; ++r) {
            placed.points[3 * i + r] = static_cast<float>(m[r][0] * x + m[r][1] * y + m[r][2] * z + m[r][3]);
        }
    }
    // A part without normals is drawn with zero normals.
    if (part.normals.size() < part.points.size()) {
        std::fill(placed.normals.begin(), placed.normals.end(), 0.0f);
        return;
    }
    for (std::size_t i = 0; i < n; ++i) {
        const double x = part.normals[3 * i];
        const double y = part.normals[3 * i + 1];
        const double z = part.normals[3 * i + 2];
        for (int r = 0; r < 3; ++r) {
            placed.normals[3 * i + r] = static_cast<float>(m[r][0] * x + m[r][1] * y + m[r][2] * z);
        }
    }
}

PlacedPoints& SharedPlacedPoints() {
    // One per thread: headless renderers draw on several threads at once.
    static thread_local PlacedPoints placed;
    return placed;
}

}  // namespace view
