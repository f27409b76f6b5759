// The placement transform of a part: scale, then roll, pitch and yaw, then
// translation; applied to the points and normals for drawing.
#include <cmath>

#include "model/mesh_object.h"

namespace model {

void MeshObject::UpdatePlacement() {
    const double cy = std::cos(static_cast<double>(yaw));
    const double sy = std::sin(static_cast<double>(yaw));
    const double cp = std::cos(static_cast<double>(pitch));
    const double sp = std::sin(static_cast<double>(pitch));
    const double cr = std::cos(static_cast<double>(roll));
    const double sr = std::sin(static_cast<double>(roll));
    const double kx = scale[0];
    const double ky = scale[1];
    const double kz = scale[2];

    double (&m)[3][4] = placementMatrix;
    m[0][0] = kx * (cy * cr + sy * sp * sr);
    m[0][1] = ky * (sy * sp * cr - cy * sr);
    m[0][2] = kz * sy * cp;
    m[0][3] = translation[0];
    m[1][0] = kx * cp * sr;
    m[1][1] = ky * cp * cr;
    m[1][2] = -kz * sp;
    m[1][3] = translation[1];
    m[2][0] = kx * (cy * sp * sr - sy * cr);
    m[2][1] = ky * (cy * sp * cr + sy * sr);
    m[2][2] = kz * cy * cp;
    m[2][3] = translation[2];
}

bool MeshObject::TransformPoints() {
    // The reader sizes both arrays, so this allocates nothing for a part read
    // from a file; a part put together by hand gets them here once.
    if (transformedPoints.size() != points.size()) transformedPoints.assign(points.size(), 0.0f);
    if (transformedNormals.size() != points.size()) transformedNormals.assign(points.size(), 0.0f);

    const double (&m)[3][4] = placementMatrix;
    const std::size_t n = points.size() / 3;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = points[3 * i];
        const double y = points[3 * i + 1];
        const double z = points[3 * i + 2];
        for (int r = 0; r < 3; ++r) {
            transformedPoints[3 * i + r] =
                static_cast<float>(m[r][0] * x + m[r][1] * y + m[r][2] * z + m[r][3]);
        }
    }
    // A part without normals keeps zero normals for drawing.
    if (normals.size() < points.size()) return true;
    for (std::size_t i = 0; i < n; ++i) {
        const double x = normals[3 * i];
        const double y = normals[3 * i + 1];
        const double z = normals[3 * i + 2];
        for (int r = 0; r < 3; ++r) {
            transformedNormals[3 * i + r] = static_cast<float>(m[r][0] * x + m[r][1] * y + m[r][2] * z);
        }
    }
    return true;
}

}  // namespace model
