// The figure's mesh exports in one table, in the order of the "Save
// Creature" file types (type 1 is the first), so that the dialog, mwbatch
// export and mwbatch random pick a writer the same way.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "formats/export_settings.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

struct MeshExport {
    const char* extension;  // with its dot
    // The .3ds and DXF writers take no settings; the modern ones place the
    // figure by them.
    bool (*write)(model::Creature& creature, const std::string& path, ui::MessageSink& messages,
                  const ExportSettings& settings);
    bool placed;  // the settings' unit and the readers' axes apply
};

// .3ds, .dxf, .glb, .obj, .stl.
extern const std::array<MeshExport, 5> kMeshExports;

// The export of an extension (its dot included), compared without regard to
// letter case; null for none.
const MeshExport* MeshExportOf(std::string_view extension);

}  // namespace formats
