// ProjectPanel: the "Project" page, shown at start-up: new, load and save
// project, export of the figure (.3ds or DXF), and the About box.
#pragma once

#include <string>

#include "ui/window.h"

namespace model {
class Creature;
}
namespace ui {
class Platform;
}
namespace view {
class CreatureView;
}

namespace panels {

class PartSelectionPanel;

constexpr int kIdNewProject = 1014;
constexpr int kIdLoadProject = 1015;
constexpr int kIdSaveProject = 1016;
constexpr int kIdSaveCreature = 1018;
constexpr int kIdAbout = 1019;
constexpr int kIdTypeNames = 1092;

constexpr const char* kProjectFilter = "Morphwright Project (*.mwp)|*.mwp|";
constexpr const char* kExportFilter =
    "3D Studio Mesh (*.3ds)|*.3ds|DXF (*.dxf)|*.dxf|glTF Binary (*.glb)|*.glb|Wavefront OBJ (*.obj)|*.obj|"
    "STL (*.stl)|*.stl|";
constexpr int kExport3ds = 1;  // file types of the export dialog, from 1
constexpr int kExportDxf = 2;
constexpr int kExportGlb = 3;
constexpr int kExportObj = 4;
constexpr int kExportStl = 5;

// The name an export is written to: the chosen path, with the type's
// extension added when it is missing (".dxf" compared with regard to
// letter case, every other without); for any other type the path as chosen.
std::string ExportPath(const std::string& chosen, int fileType);

class ProjectPanel : public ui::WindowHandler {
public:
    // The platform serves the file dialogs, the boxes and the About box.
    explicit ProjectPanel(ui::Platform& platform) : platform_(platform) {}

    void SetProjectDir(const std::string& dir) { projectDir = dir; }
    void SetObjectDir(const std::string& dir) { objectDir = dir; }

    bool OnInitDialog() override { return true; }
    void OnCommand(int id, int code) override;

    void NewProject();
    void LoadProject();
    void SaveProjectCommand();
    void ExportCreature();
    void ShowAbout();

    PartSelectionPanel* partSelectionPanel = nullptr;
    std::string projectDir;
    std::string objectDir;
    view::CreatureView* view = nullptr;
    model::Creature* creature = nullptr;

private:
    ui::Platform& platform_;
};

// The About box: the program's credits and its links, opened by the
// platform's shell.
class AboutBox : public ui::WindowHandler {
public:
    explicit AboutBox(ui::Platform& platform) : platform_(platform) {}
    void OnCommand(int id, int code) override;

private:
    ui::Platform& platform_;
};

}  // namespace panels
