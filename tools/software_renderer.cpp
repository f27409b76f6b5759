#include "software_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace library {

SoftwareRenderer::SoftwareRenderer(int width, int height, std::array<float, 3> background)
    : width_(width * 2), height_(height * 2) {
    colour_.resize(static_cast<std::size_t>(width_) * height_ * 3);
    for (std::size_t i = 0; i < colour_.size(); i += 3) {
        colour_[i] = background[0];
        colour_[i + 1] = background[1];
        colour_[i + 2] = background[2];
    }
    depth_.assign(static_cast<std::size_t>(width_) * height_, std::numeric_limits<double>::infinity());
}

void SoftwareRenderer::SetCamera(double yaw, double pitch, double zoom) {
    // Ry(yaw) · Rx(pitch), as the parts' placement turns them.
    const double cy = std::cos(yaw), sy = std::sin(yaw), cp = std::cos(pitch), sp = std::sin(pitch);
    const double r[3][3] = {{cy, sy * sp, sy * cp}, {0, cp, -sp}, {-sy, cy * sp, cy * cp}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) rot_[i][j] = r[i][j];
    zoom_ = zoom;
}

SoftwareRenderer::Vertex SoftwareRenderer::Project(const std::array<float, 3>& p,
                                                   const std::array<float, 3>& n) const {
    double q[3], m[3];
    for (int i = 0; i < 3; ++i) {
        q[i] = rot_[i][0] * p[0] + rot_[i][1] * p[1] + rot_[i][2] * p[2];
        m[i] = rot_[i][0] * n[0] + rot_[i][1] * n[1] + rot_[i][2] * n[2];
    }
    // Eye space: z mirrored, zoomed, pushed back.
    const double ex = q[0] * zoom_, ey = q[1] * zoom_, ez = -q[2] * zoom_ - 0.5;
    const double nx = m[0], ny = m[1], nz = -m[2];
    const double f = 1.0 / std::tan(22.5 * 3.14159265358979 / 180);
    const double aspect = static_cast<double>(width_) / height_;
    Vertex v;
    v.sx = (f / aspect * ex / -ez + 1) * 0.5 * width_;
    v.sy = (1 - f * ey / -ez) * 0.5 * height_;
    v.depth = -ez;
    // A light above left of the viewer.
    double lx = -0.5 - ex, ly = 0.35 - ey, lz = 0.6 - ez;
    const double ll = std::sqrt(lx * lx + ly * ly + lz * lz);
    lx /= ll, ly /= ll, lz /= ll;
    const double nl = std::sqrt(nx * nx + ny * ny + nz * nz);
    const double diffuse = nl > 0 ? std::max(0.0, (nx * lx + ny * ly + nz * lz) / nl) : 0;
    v.shade = 0.28 + 0.72 * diffuse;
    return v;
}

void SoftwareRenderer::Triangle(const Vertex& a, const Vertex& b, const Vertex& c, std::array<float, 3> colour) {
    // Nothing behind the near plane (a close-up may put the body there).
    if (a.depth < 0.02 || b.depth < 0.02 || c.depth < 0.02) return;
    // A corner that is not a number (a damaged file) draws nothing.
    for (const Vertex* v : {&a, &b, &c}) {
        if (!std::isfinite(v->sx) || !std::isfinite(v->sy) || !std::isfinite(v->depth)) return;
    }
    const double area = (b.sx - a.sx) * (c.sy - a.sy) - (b.sy - a.sy) * (c.sx - a.sx);
    if (std::fabs(area) < 1e-12) return;
    // Clamped to the picture before the conversion, so a corner far off
    // screen cannot overflow an int.
    const auto column = [&](double x) { return static_cast<int>(std::clamp(x, 0.0, width_ - 1.0)); };
    const auto row = [&](double y) { return static_cast<int>(std::clamp(y, 0.0, height_ - 1.0)); };
    const int x0 = column(std::floor(std::min({a.sx, b.sx, c.sx})));
    const int x1 = column(std::ceil(std::max({a.sx, b.sx, c.sx})));
    const int y0 = row(std::floor(std::min({a.sy, b.sy, c.sy})));
    const int y1 = row(std::ceil(std::max({a.sy, b.sy, c.sy})));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double px = x + 0.5, py = y + 0.5;
            const double w0 = ((b.sx - px) * (c.sy - py) - (b.sy - py) * (c.sx - px)) / area;
            const double w1 = ((c.sx - px) * (a.sy - py) - (c.sy - py) * (a.sx - px)) / area;
            const double w2 = 1 - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            const double depth = w0 * a.depth + w1 * b.depth + w2 * c.depth;
            const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
            if (depth >= depth_[at]) continue;
            depth_[at] = depth;
            const double shade = w0 * a.shade + w1 * b.shade + w2 * c.shade;
            for (int k = 0; k < 3; ++k) colour_[at * 3 + k] = static_cast<float>(std::min(1.0, colour[k] * shade));
        }
    }
}

void SoftwareRenderer::DrawQuad(const std::array<std::array<float, 3>, 4>& points,
                                const std::array<std::array<float, 3>, 4>& normals, std::array<float, 3> colour) {
    Vertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = Project(points[i], normals[i]);
    Triangle(v[0], v[1], v[2], colour);
    Triangle(v[2], v[3], v[0], colour);
}

bool SoftwareRenderer::WritePpm(const std::string& path) const {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const int w = width_ / 2, h = height_ / 2;
    std::fprintf(file, "P6\n%d %d\n255\n", w, h);
    std::vector<unsigned char> row(static_cast<std::size_t>(w) * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int k = 0; k < 3; ++k) {
                double sum = 0;
                for (int dy = 0; dy < 2; ++dy)
                    for (int dx = 0; dx < 2; ++dx)
                        sum += colour_[((static_cast<std::size_t>(2 * y + dy) * width_) + 2 * x + dx) * 3 + k];
                row[static_cast<std::size_t>(x) * 3 + k] = static_cast<unsigned char>(std::lround(sum / 4 * 255));
            }
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    return std::fclose(file) == 0;
}

}  // namespace library
