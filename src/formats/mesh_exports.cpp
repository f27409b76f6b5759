#include "formats/mesh_exports.h"

#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/export_glb.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "text/list_order.h"

namespace formats {
namespace {

// Where glTF viewers, game engines and DCC tools expect a figure.
constexpr const char* kUpY =
    "in metres, +Y up, the figure facing +Z with its feet on y\u00a0=\u00a00, centred on the origin in x and z, as "
    "glTF viewers and game engines expect";

constexpr MeshExport kRows[] = {
    {.extension = ".3ds",
     .dialogLabel = "3D Studio Mesh",
     .dialogMatchesCase = false,
     .help = "one 3D Studio mesh, seams merged, one material per surface",
     .figureHelp = "one 3D Studio mesh, seams merged, one material per surface",
     .placed = false,
     .placement = nullptr,
     .write = [](const model::Creature& c, const std::string& p, ui::MessageSink& m, const ExportSettings& s) {
         return Export3ds(c, p, m, s.typeNames);
     }},
    {.extension = ".dxf",
     .dialogLabel = "DXF",
     .dialogMatchesCase = true,
     .help = "a DXF drawing of 3DFACE entities",
     .figureHelp = "a DXF drawing of 3DFACE entities",
     .placed = false,
     .placement = nullptr,
     .write = [](const model::Creature& c, const std::string& p, ui::MessageSink& m, const ExportSettings& s) {
         return ExportDxf(c, p, m, s.typeNames);
     }},
    {.extension = ".glb",
     .dialogLabel = "glTF Binary",
     .dialogMatchesCase = false,
     .help = "glTF 2.0 binary, one primitive per material, smooth normals",
     .figureHelp = "glTF 2.0 binary, one primitive per material, smooth normals; metres, +Y up, facing +Z, feet on "
                   "y\u00a0=\u00a00",
     .placed = true,
     .placement = kUpY,
     .rigged = true,
     .write = ExportGlb},
    {.extension = ".obj",
     .dialogLabel = "Wavefront OBJ",
     .dialogMatchesCase = false,
     .help = "Wavefront OBJ with its .mtl beside it, quads kept",
     .figureHelp = "Wavefront OBJ with its figure-<seed>.mtl, quads kept; as glb",
     .placed = true,
     .placement = kUpY,
     .write = ExportObj},
    {.extension = ".stl",
     .dialogLabel = "STL",
     .dialogMatchesCase = false,
     .help = "binary STL, triangles with facet normals, for 3D printing",
     .figureHelp = "binary STL, triangles with facet normals; millimetres, +Z up, facing -Y, feet on z\u00a0=\u00a00",
     .placed = true,
     .placement = "in millimetres, +Z up, the figure facing -Y with its feet on z\u00a0=\u00a00, centred in x and "
                  "y, as slicers expect",
     .write = ExportStl},
};

}  // namespace

constinit const std::span<const MeshExport> kMeshExports = kRows;

const MeshExport* MeshExportOf(std::string_view extension) {
    for (const MeshExport& e : kMeshExports) {
        if (text::CompareIgnoringCase(extension, e.extension) == 0) return &e;
    }
    return nullptr;
}

}  // namespace formats
