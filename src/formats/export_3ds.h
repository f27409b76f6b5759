// The figure as one 3D Studio mesh (.3ds): one triangle object with the
// seams merged and one material per surface the parts use.
#pragma once

#include <string>

namespace model {
class Creature;
}
namespace ui {
class MessageSink;
}

namespace formats {

// False, with nothing written, for an empty figure (silently), a figure
// beyond the format's limits, a part whose polygons or seams name points it
// does not have, or a file that cannot be written (all three reported).
// "Saved" is shown after a complete file.
// With `typeNames` every surface a part's file named is written as
// "<part type>_<name>", so that equal names on different parts stay apart.
bool Export3ds(const model::Creature& creature, const std::string& path, ui::MessageSink& messages,
               bool typeNames = false);

}  // namespace formats
