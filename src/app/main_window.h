// MainWindow: the program's one window. It owns the creature, the 3D view
// and the four tab pages, reads mw.cfg at start-up and writes it back after
// its modal run, and handles the whole-figure controls below the tabs
// (shading mode, zoom bar, "Clear Creature", "Random Creature").
#pragma once

#include <memory>
#include <string>

#include "formats/config_file.h"
#include "panels/figure_steps.h"
#include "ui/platform.h"
#include "ui/window.h"

namespace model {
class Creature;
}
namespace view {
class CreatureView;
}
namespace panels {
class ProjectPanel;
class PartSelectionPanel;
class PreferencesPanel;
class PartParameterPanel;
}  // namespace panels

namespace app {

class MainWindow : public ui::WindowHandler {
public:
    explicit MainWindow(ui::Platform& platform);
    ~MainWindow() override;

    bool OnInitDialog() override;
    void OnCommand(int id, int code) override;
    void OnHScroll(int barId, int code, int pos) override;
    void OnTabChanging(int tabId) override;
    void OnTabChanged(int tabId) override;
    // With a figure changed since it was last saved or loaded, asks whether
    // to save it first.
    bool OnCloseRequest(int result) override;
    // The tab pages and the bottom row keep their places (the row stays at
    // the window's bottom); the view takes all the room the window gained.
    void OnSize(int width, int height) override;

    // mw.cfg (the start-up directory's, else the user's): read once during
    // start-up, written once after the window has closed, to the same file.
    void ReadConfig();
    void WriteConfig();

    // A project file to load once the window is set up; empty for none.
    std::string startupProject;

    // The window that runs this handler modally.
    int Run();

    std::unique_ptr<view::CreatureView> view;
    std::unique_ptr<panels::ProjectPanel> projectPanel;
    std::unique_ptr<panels::PartSelectionPanel> partSelectionPanel;
    std::unique_ptr<panels::PreferencesPanel> preferencesPanel;
    std::unique_ptr<panels::PartParameterPanel> partParameterPanel;
    int icon = 0;
    // The colours and the shading mode live in the view's state; mw.cfg's
    // colour lines carry a fourth value that nothing uses, written back as read.
    float backgroundFourth = 0;
    float wireFourth = 0;
    int zoomPosition = 0;
    int tabControl = 0;
    std::unique_ptr<model::Creature> creature;
    // The figure's changes, undone and redone by the Undo and Redo buttons.
    panels::FigureSteps steps;
    std::string projectDir;
    std::string convertObjectDir;
    std::string objectDir;
    std::string convertObjectName;
    std::string startDir;
    std::string configPath;  // the mw.cfg read at start-up and written at the end
    float lightOffset = 0;
    // Left and right parts edited together (the Edit page's check box).
    bool mirrorEdit = false;
    // The client size the window opens with and had when it closed.
    int windowWidth = formats::kWindowWidth;
    int windowHeight = formats::kWindowHeight;

    // The view's window during the run; null when it could not be created
    // and once the run has ended.
    ui::Window* viewWindow = nullptr;

private:
    void SetShadingMode(int mode);
    void Zoom(int code, int pos);
    // The camera back to where it starts, the zoom bar and the light with it.
    void ResetView();
    void ClearCreature();
    // Undo or Redo, then every page and the view show the figure as it is.
    void TakeStep(bool undo);
    // The buttons enabled while there is a step to take.
    void ShowSteps();
    void RepaintView();
    ui::WindowHandler* PageOfTab(int index) const;

    ui::Platform& platform_;
};

}  // namespace app
