// PartParameterPanel: the "Edit BodyParts" page, where a part of the figure
// is picked and deformed along X, Y and Z.
#pragma once

#include "ui/window.h"

namespace model {
class Creature;
}
namespace view {
class CreatureView;
}

namespace panels {

class PartParameterPanel : public ui::WindowHandler {
public:
    view::CreatureView* view = nullptr;
    model::Creature* creature = nullptr;
};

}  // namespace panels
