// The STL writer: an 80-byte header naming the program, the triangle count,
// then per triangle its normal, three corners and a zero attribute word, all
// little-endian. Millimetres, +Z up, the figure facing -Y with its feet on
// z = 0, as slicers take a model; triangles with two corners on one point
// are left out, so a welded figure prints as the closed shell it is.
#include "formats/export_stl.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

#include "formats/atomic_file.h"
#include "formats/export_modern_figure.h"
#include "formats/export_report.h"
#include "formats/merged_figure.h"

namespace formats {

namespace {

constexpr std::size_t kHeaderBytes = 80;
constexpr std::string_view kHeaderText = "Morphwright 1.6 binary STL";
constexpr std::size_t kTriangleBytes = 50;

unsigned char* PutFloat(unsigned char* out, float value) {
    const auto bits = std::bit_cast<std::uint32_t>(value);
    out[0] = static_cast<unsigned char>(bits);
    out[1] = static_cast<unsigned char>(bits >> 8);
    out[2] = static_cast<unsigned char>(bits >> 16);
    out[3] = static_cast<unsigned char>(bits >> 24);
    return out + 4;
}

// The unit normal of the triangle's plane by the right-hand rule; zero for
// a triangle without area (or with a corner at infinity or NaN).
std::array<float, 3> FacetNormal(const float* a, const float* b, const float* c) {
    const double u[3] = {static_cast<double>(b[0]) - a[0], static_cast<double>(b[1]) - a[1],
                         static_cast<double>(b[2]) - a[2]};
    const double v[3] = {static_cast<double>(c[0]) - a[0], static_cast<double>(c[1]) - a[1],
                         static_cast<double>(c[2]) - a[2]};
    const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (!(length > 0.0) || !std::isfinite(length)) return {0.0f, 0.0f, 0.0f};
    return {static_cast<float>(n[0] / length), static_cast<float>(n[1] / length), static_cast<float>(n[2] / length)};
}

unsigned char* PutTriangle(unsigned char* out, const float* a, const float* b, const float* c) {
    for (float n : FacetNormal(a, b, c)) out = PutFloat(out, n);
    for (const float* corner : {a, b, c}) {
        for (int axis = 0; axis < 3; ++axis) out = PutFloat(out, corner[axis]);
    }
    *out++ = 0;  // attribute byte count
    *out++ = 0;
    return out;
}

void WriteStl(AtomicFile& file, const ModernFigure& figure) {
    std::uint64_t count = 0;
    std::array<std::array<std::uint32_t, 3>, 2> triangles;
    for (const NamedMaterial& material : figure.materials) {
        for (std::uint32_t f : material.faces) count += static_cast<std::uint64_t>(figure.Triangles(f, triangles));
    }
    unsigned char header[kHeaderBytes + 4] = {};
    std::memcpy(header, kHeaderText.data(), kHeaderText.size());
    // A figure held in memory stays far below 2^32 triangles.
    const auto total = static_cast<std::uint32_t>(count);
    for (int i = 0; i < 4; ++i) header[kHeaderBytes + i] = static_cast<unsigned char>(total >> (8 * i));
    file.Write(header, sizeof header);

    unsigned char out[kTriangleBytes];
    for (const NamedMaterial& material : figure.materials) {
        for (std::uint32_t f : material.faces) {
            const int n = figure.Triangles(f, triangles);
            for (int t = 0; t < n; ++t) {
                const auto& v = triangles[static_cast<std::size_t>(t)];
                PutTriangle(out, figure.Position(v[0]), figure.Position(v[1]), figure.Position(v[2]));
                file.Write(out, sizeof out);
            }
        }
    }
}

}  // namespace

bool ExportStl(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               const ExportSettings& settings) {
    ModernFigure figure;
    // Facet normals only: the vertices need none.
    if (!figure.Prepare(creature, messages, settings, FileFrame::kMillimetresZUp, false)) return false;
    return WriteExportFile(path, messages, [&](AtomicFile& file) {
        WriteStl(file, figure);
        return std::string();
    });
}

}  // namespace formats
