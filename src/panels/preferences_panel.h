// PreferencesPanel: the "Prefs" page. Shows the object and project
// directories and the background and wireframe colours that mw.cfg keeps.
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

constexpr int kIdObjectDirEdit = 1018;
constexpr int kIdProjectDirEdit = 1020;
constexpr int kIdBackgroundRedBar = 1029;
constexpr int kIdBackgroundGreenBar = 1030;
constexpr int kIdBackgroundBlueBar = 1031;
constexpr int kIdWireRedBar = 1032;
constexpr int kIdWireGreenBar = 1033;
constexpr int kIdWireBlueBar = 1034;

class PreferencesPanel : public ui::WindowHandler {
public:
    void SetObjectDir(const std::string& dir) { objectDir = dir; }
    void SetProjectDir(const std::string& dir) { projectDir = dir; }

    bool OnInitDialog() override;

    float backgroundColor[4] = {0, 0, 0, 0};
    float wireColor[4] = {0, 0, 0, 0};
    std::string objectDir;
    std::string projectDir;
    model::Creature* creature = nullptr;
    view::CreatureView* view = nullptr;
};

}  // namespace panels
