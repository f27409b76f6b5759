// PreferencesPanel: the "Prefs" page. Shows the object and project
// directories and the background and wireframe colours that mw.cfg keeps.
// Colours reach the picture at once; directories are kept for mw.cfg and
// take effect at the next start.
#pragma once

#include <string>

#include "ui/window.h"

namespace ui {
class Platform;
}
namespace view {
class CreatureView;
}

namespace panels {

constexpr int kIdObjectDirEdit = 1018;
constexpr int kIdObjectDirButton = 1017;
constexpr int kIdProjectDirEdit = 1020;
constexpr int kIdProjectDirButton = 1019;
constexpr int kIdBackgroundRedBar = 1029;
constexpr int kIdBackgroundGreenBar = 1030;
constexpr int kIdBackgroundBlueBar = 1031;
constexpr int kIdWireRedBar = 1032;
constexpr int kIdWireGreenBar = 1033;
constexpr int kIdWireBlueBar = 1034;

// A chosen directory as it is kept: without a trailing separator, except
// for the root "/", which stays a directory.
std::string WithoutTrailingSeparator(std::string dir);

class PreferencesPanel : public ui::WindowHandler {
public:
    // The platform serves the folder chooser.
    explicit PreferencesPanel(ui::Platform& platform) : platform_(platform) {}

    void SetObjectDir(const std::string& dir) { objectDir = dir; }
    void SetProjectDir(const std::string& dir) { projectDir = dir; }

    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnHScroll(int barId, int code, int pos) override;

    // The folder chooser for the object (1017) or project (1019) directory.
    void BrowseForFolder(int buttonId);

    std::string objectDir;
    std::string projectDir;
    // The colour bars show and change the view's colours.
    view::CreatureView* view = nullptr;

private:
    void ObjectDirEditLeft();
    void ColourBarMoved(int barId, int code);

    ui::Platform& platform_;
};

}  // namespace panels
