#include "view/camera.h"

#include <cmath>
#include <numbers>

#include "view/placement.h"
#include "view/view_state.h"

namespace view {
namespace {

// The view's vertical field of view, in degrees.
constexpr double kFieldOfView = 45.0;

}  // namespace

Camera CameraOf(const ViewState& state, int width, int height) {
    Camera camera;
    camera.width = width;
    camera.height = height;

    // The placement (turn, then pan) on the CPU, then the view's model-view
    // matrix: pushed half a unit away, scaled by the zoom with z mirrored.
    // The zoom is the float OpenGL is given.
    const Placement placement = PlacementOf(state);
    const double zoom = static_cast<double>(state.zoom);
    const double scale[3] = {zoom, zoom, -zoom};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 4; ++c) {
            camera.view[static_cast<std::size_t>(4 * r + c)] = scale[r] * placement.matrix[r][c];
        }
    }
    camera.view[11] += -0.5;
    camera.view[15] = 1.0;

    // gluPerspective, with the aspect the view gives it (its width alone for
    // a height of 0).
    const double aspect = height == 0 ? static_cast<double>(width)
                                      : static_cast<double>(width) / static_cast<double>(height);
    const double halfAngle = kFieldOfView / 2.0 * std::numbers::pi / 180.0;
    const double focus = 1.0 / std::tan(halfAngle);
    camera.projection[0] = focus / aspect;
    camera.projection[5] = focus;
    camera.projection[10] = (kFarPlane + kNearPlane) / (kNearPlane - kFarPlane);
    camera.projection[11] = 2.0 * kFarPlane * kNearPlane / (kNearPlane - kFarPlane);
    camera.projection[14] = -1.0;

    camera.fx = static_cast<double>(height) / 2.0 / std::tan(halfAngle);
    camera.fy = camera.fx;
    camera.cx = static_cast<double>(width) / 2.0;
    camera.cy = static_cast<double>(height) / 2.0;
    return camera;
}

bool Camera::Project(const std::array<double, 3>& model, std::array<double, 2>& pixel,
                     std::array<double, 3>& eye) const {
    for (std::size_t r = 0; r < 3; ++r) {
        eye[r] = view[4 * r] * model[0] + view[4 * r + 1] * model[1] + view[4 * r + 2] * model[2] + view[4 * r + 3];
    }
    if (!(eye[2] < 0.0)) {
        return false;
    }
    double clip[4];
    for (std::size_t r = 0; r < 4; ++r) {
        clip[r] = projection[4 * r] * eye[0] + projection[4 * r + 1] * eye[1] + projection[4 * r + 2] * eye[2] +
                  projection[4 * r + 3];
    }
    const double xNdc = clip[0] / clip[3];
    const double yNdc = clip[1] / clip[3];
    pixel[0] = (xNdc + 1.0) / 2.0 * width;
    pixel[1] = (1.0 - yNdc) / 2.0 * height;
    return true;
}

}  // namespace view
