// The figure as Wavefront OBJ text with its materials in an .mtl file beside
// it: merged vertices with smooth normals, quads kept as quads, one material
// per surface name.
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

// The .mtl file the OBJ file at `objPath` names: same folder and stem,
// extension .mtl (".mtl" added to the name when that would be the OBJ file
// itself).
std::string MaterialLibraryPath(const std::string& objPath);

// Writes the .mtl, then the OBJ file. False, with nothing new written, for
// an empty figure (silently), a part whose polygons or seams name points it
// does not have, or a file that cannot be written (both reported as the
// .3ds export reports them); a failure of either file leaves neither behind
// and an old .mtl as it was. "Saved" is shown after both files are complete.
bool ExportObj(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               const ExportSettings& settings = {});

}  // namespace formats
