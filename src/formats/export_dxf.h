// The figure as a DXF drawing: one 3DFACE per quad, seams merged as for
// .3ds; text with CR LF line ends.
#pragma once

#include <string>

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

// False, with nothing written, for an empty figure (silently), a part whose
// polygons or seams name points it does not have, or a file that cannot be
// written (both reported as the .3ds export reports them). Any number of
// points. "Saved" is shown after a complete file.
// With `typeNames` every surface a part's file named is written as
// "<part type>_<name>", so that equal names on different parts stay apart.
bool ExportDxf(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               bool typeNames = false);

}  // namespace formats
