// ProjectPanel: the "Project" page, shown at start-up: new, load and save
// project, export of the figure as a mesh, and the About box.
#pragma once

#include <string>

#include "panels/figure_steps.h"
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
// The file types of the export dialog, from 1: the rows of the mesh export
// table in its order. Named here for the tests; the panel reads the table.
constexpr int kExport3ds = 1;
constexpr int kExportDxf = 2;
constexpr int kExportGlb = 3;
constexpr int kExportObj = 4;
constexpr int kExportStl = 5;

// The name an export is written to: the chosen path, with the type's
// extension added when it is missing (compared without regard to letter
// case unless the type's row says otherwise); for any other type the path
// as chosen.
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
    // What "Load Project" does once a file is chosen; also the program's
    // start-up with a file on its command line.
    void LoadProjectFile(const std::string& path);
    // True when the project was saved.
    bool SaveProjectCommand();
    void ExportCreature();
    void ShowAbout();

    PartSelectionPanel* partSelectionPanel = nullptr;
    std::string projectDir;
    std::string objectDir;
    view::CreatureView* view = nullptr;
    model::Creature* creature = nullptr;
    FigureSteps* steps = nullptr;  // a load is a step of the figure's history

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
