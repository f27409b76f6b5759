// A small z-buffered software rasteriser with the program's camera (figure
// turned by yaw and pitch, z mirrored, zoomed, pushed back 0.5, 45° field of
// view), for looking at the sample figure without a display.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace library {

class SoftwareRenderer {
public:
    SoftwareRenderer(int width, int height, std::array<float, 3> background);

    void SetCamera(double yaw, double pitch, double zoom);
    // One quad with a normal per corner and a colour; drawn as two triangles.
    void DrawQuad(const std::array<std::array<float, 3>, 4>& points, const std::array<std::array<float, 3>, 4>& normals,
                  std::array<float, 3> colour);
    // Writes the picture as binary PPM, halved in size (2 × 2 supersampling).
    bool WritePpm(const std::string& path) const;

private:
    struct Vertex {
        double sx, sy, depth;
        double shade;
    };
    Vertex Project(const std::array<float, 3>& p, const std::array<float, 3>& n) const;
    void Triangle(const Vertex& a, const Vertex& b, const Vertex& c, std::array<float, 3> colour);

    int width_;
    int height_;
    std::vector<float> colour_;
    std::vector<double> depth_;
    double rot_[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double zoom_ = 1.1;
};

}  // namespace library
