// What the glTF, OBJ and STL writers share: the merged figure with its
// vertex list and smooth normals, tidied (points of one part that lie
// exactly on each other made one, triangles with two corners on one point
// left out), placed in the file's own axes and units, one material per
// surface name and colour with the faces that use it, and the steps every
// export ends with.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "formats/export_settings.h"
#include "formats/merged_figure.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

// The axes and unit a format's readers expect. Both frames show the figure
// as the view does (the model's z runs into the screen, so the model is
// mirrored in z to face its readers), standing on the ground plane and
// centred on the vertical axis.
enum class FileFrame {
    kMetresYUp,       // glTF and OBJ: metres, +Y up, facing +Z, feet on y = 0
    kMillimetresZUp,  // STL: millimetres, +Z up, facing -Y, feet on z = 0
};

// The surfaces of one name and one colour.
struct NamedMaterial {
    // The first of them in material order: its colour is the material's.
    const model::SurfaceRecord* record = nullptr;
    // The surface's name; a name that comes with several colours keeps it for
    // the first and is "<part type> <name>" for the others ("Right eye Iris").
    std::string name;
    std::vector<std::uint32_t> faces;  // merged faces with at least one triangle, ascending
};

class ModernFigure {
public:
    // The merged figure tidied and placed in `frame` at the settings' unit,
    // its vertices, normals and materials; what was tidied is added to the
    // settings' counts. Without `smoothNormals` (a format with facet normals
    // only) the vertices get none. False for an empty figure (nothing said)
    // and for a damaged part (reported).
    bool Prepare(const model::Creature& creature, ui::MessageSink& messages, const ExportSettings& settings,
                 FileFrame frame, bool smoothNormals = true);

    // The triangles of a merged face as vertex numbers, turned to face
    // outwards in the file's frame: quad a-b-c-d gives (a, b, c) and
    // (c, d, a) in the model's frame; a triangle with two corners on one
    // point is left out. Returns how many there are (0 to 2).
    int Triangles(std::uint32_t face, std::array<std::array<std::uint32_t, 3>, 2>& out) const;
    // The corners of a face as vertex numbers in the file's winding.
    std::array<std::uint32_t, 4> Corners(std::uint32_t face) const;
    // Whether the face's two triangles are both kept (so it stays a quad).
    bool WholeQuad(std::uint32_t face) const { return triangleMask_[face] == 3; }

    const float* Position(std::uint32_t vertex) const { return &positions[3 * static_cast<std::size_t>(vertex)]; }
    const float* Normal(std::uint32_t vertex) const { return &normals[3 * static_cast<std::size_t>(vertex)]; }
    std::size_t VertexCount() const { return merged.vertices.size(); }
    // A point given in the model's units and axes, placed as the figure's
    // points were (for what a file keeps beside the mesh, such as joints).
    std::array<double, 3> FilePoint(const std::array<double, 3>& modelPoint) const;
    // The part list position of a vertex's point and its number in that part.
    std::pair<std::uint32_t, std::uint32_t> PartPoint(std::uint32_t vertex) const;

    MergedFigure merged;
    std::vector<NamedMaterial> materials;
    std::vector<float> positions;  // x, y, z per vertex in the file's frame
    std::vector<float> normals;    // unit normal per vertex in the file's frame (smoothNormals)
    std::uint64_t droppedTriangles = 0;
    std::uint64_t mergedPoints = 0;

private:
    void MergeCoincidentPoints();
    void MarkTriangles();
    void CollectMaterials();
    void Place(double metresPerUnit, FileFrame frame);

    std::vector<std::uint8_t> triangleMask_;  // per merged face: bit 0 (a, b, c), bit 1 (c, d, a)
    // How Place maps a model point: (p - origin) × scale, z mirrored, in the frame.
    std::array<double, 3> origin_{};
    double scale_ = 1.0;
    FileFrame frame_ = FileFrame::kMetresYUp;
};

// The file name without folder and extension: the figure's name in files
// that name it.
std::string FileStem(const std::string& path);

// A colour component as a file takes it: clamped to 0 … 1, NaN as 0.
float ColourComponent(float component);

}  // namespace formats
