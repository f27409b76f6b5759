// The figure as a binary STL file: two triangles for each merged quad, each
// with the unit normal of its own plane.
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

// False, with nothing written, for an empty figure (silently), a part whose
// polygons or seams name points it does not have, or a file that cannot be
// written (both reported as the .3ds export reports them). "Saved" is shown
// after a complete file.
bool ExportStl(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               const ExportSettings& settings = {});

}  // namespace formats
