#include "formats/mesh_exports.h"

#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/export_glb.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "text/list_order.h"

namespace formats {

const std::array<MeshExport, 5> kMeshExports = {{
    {".3ds", [](model::Creature& c, const std::string& p, ui::MessageSink& m,
                const ExportSettings&) { return Export3ds(c, p, m); }, false},
    {".dxf", [](model::Creature& c, const std::string& p, ui::MessageSink& m,
                const ExportSettings&) { return ExportDxf(c, p, m); }, false},
    {".glb", ExportGlb, true},
    {".obj", ExportObj, true},
    {".stl", ExportStl, true},
}};

const MeshExport* MeshExportOf(std::string_view extension) {
    for (const MeshExport& e : kMeshExports) {
        if (text::CompareIgnoringCase(extension, e.extension) == 0) return &e;
    }
    return nullptr;
}

}  // namespace formats
