// ProjectPanel: the "Project" page, shown at start-up: new, load and save
// project, export of the figure, and the About box.
#pragma once

#include <string>

#include "ui/window.h"

namespace model {
class Creature;
}
namespace view {
class CreatureView;
}

namespace panels {

class PartSelectionPanel;

class ProjectPanel : public ui::WindowHandler {
public:
    void SetProjectDir(const std::string& dir) { projectDir = dir; }
    void SetObjectDir(const std::string& dir) { objectDir = dir; }

    PartSelectionPanel* partSelectionPanel = nullptr;
    std::string projectDir;
    std::string objectDir;
    view::CreatureView* view = nullptr;
    model::Creature* creature = nullptr;
};

}  // namespace panels
