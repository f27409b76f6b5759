// The figure as a binary glTF 2.0 file (.glb): one mesh with one primitive
// per material, all sharing the merged vertices and their smooth normals,
// skinned to the figure's skeleton (a node per joint, named after its part
// type), whose joints take the settings' pose.
#pragma once

#include <string>

#include "formats/export_settings.h"

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

// The mesh and its node are named after the file's stem. False, with
// nothing written, for an empty figure (silently), a part whose polygons or
// seams name points it does not have, a figure past the 4 GB the format
// holds, or a file that cannot be written (all three reported). "Saved" is
// shown after a complete file.
bool ExportGlb(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               const ExportSettings& settings = {});

}  // namespace formats
