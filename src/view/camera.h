// The camera a view draws with, as numbers another program can use: the
// view matrix (a model point as the view places it: turned and panned, the
// z axis mirrored, scaled by the zoom and pushed half a unit away), the
// projection (45° vertical field, the picture's aspect, near 0.02, far 400)
// and the pinhole intrinsics of the picture.
#pragma once

#include <array>

namespace view {

struct ViewState;

struct Camera {
    int width = 0;
    int height = 0;
    std::array<double, 16> view{};        // row-major: eye = view × (x, y, z, 1)
    std::array<double, 16> projection{};  // row-major: clip = projection × eye
    // Focal lengths and principal point in pixels, for the eye point seen
    // along +z with y down, (x, −y, −z): u = cx + fx·x / −z, v = cy − fy·y / −z.
    double fx = 0;
    double fy = 0;
    double cx = 0;
    double cy = 0;

    // Where a model point lands in the picture: after the perspective divide
    // and the viewport, u = (x_ndc + 1) / 2 × width, v = (1 − y_ndc) / 2 ×
    // height (origin top left, v downwards); `eye` is the point in eye space.
    // False for a point at or behind the camera.
    bool Project(const std::array<double, 3>& model, std::array<double, 2>& pixel, std::array<double, 3>& eye) const;
};

Camera CameraOf(const ViewState& state, int width, int height);

// The view's near and far planes.
constexpr double kNearPlane = 0.02;
constexpr double kFarPlane = 400.0;

}  // namespace view
