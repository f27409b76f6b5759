#include "app/main_window.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "model/creature.h"
#include "model/part_types.h"
#include "formats/user_paths.h"
#include "panels/part_parameter_panel.h"
#include "panels/part_selection_panel.h"
#include "panels/preferences_panel.h"
#include "panels/project_panel.h"
#include "resources/templates.h"
#include "view/creature_view.h"

namespace app {

using namespace resources;

namespace {

constexpr const char* kTabLabels[4] = {"Project", "Main", "Prefs", "Edit BodyParts"};

constexpr int kViewX = 330;
constexpr int kViewY = 20;
// Controls from this height (dialog units) down form the bottom row.
constexpr int kBottomRowY = 355;

constexpr const char* kUnsavedQuestion =
    "The figure has changes that are not saved. Save the project before closing?";
constexpr const char* kUnsavedCaption = "Unsaved Changes";
enum UnsavedAnswer { kAnswerSave, kAnswerDiscard, kAnswerCancel };

}  // namespace

MainWindow::MainWindow(ui::Platform& platform) : icon(kAppIcon), platform_(platform) {}

MainWindow::~MainWindow() = default;

int MainWindow::Run() {
    const int result = platform_.RunModal(MainWindowTemplate(), *this, nullptr);
    viewWindow = nullptr;  // gone with the main window's window
    return result;
}

bool MainWindow::OnInitDialog() {
    window->SetIcon(icon);
    tabControl = kIdTabStrip;

    window->SetScrollRange(kIdZoomBar, 0, 100);
    window->SetScrollPos(kIdZoomBar, 0);
    zoomPosition = 0;

    for (int i = 0; i < 4; ++i) window->InsertTab(tabControl, i, kTabLabels[i], nullptr);

    view = std::make_unique<view::CreatureView>(platform_);
    creature = std::make_unique<model::Creature>(platform_);
    partSelectionPanel = std::make_unique<panels::PartSelectionPanel>();
    partSelectionPanel->messages = &platform_;
    projectPanel = std::make_unique<panels::ProjectPanel>(platform_);
    preferencesPanel = std::make_unique<panels::PreferencesPanel>(platform_);
    partParameterPanel = std::make_unique<panels::PartParameterPanel>();

    // The pages show the configured values when their windows are created below.
    ReadConfig();
    projectPanel->SetProjectDir(projectDir);
    projectPanel->SetObjectDir(objectDir);
    projectPanel->view = view.get();
    partSelectionPanel->SetObjectDir(objectDir);
    preferencesPanel->SetObjectDir(objectDir);
    preferencesPanel->SetProjectDir(projectDir);
    preferencesPanel->view = view.get();  // its bars show the view's colours
    view->state.lightLevel = 0.5f;
    view->state.drawMode = view::kDrawSmooth;
    window->SetCheck(kIdSmooth, true);
    partSelectionPanel->creature = creature.get();
    partSelectionPanel->view = view.get();
    projectPanel->creature = creature.get();

    // Creating the view resets its background to black; the configured colour
    // is put back at once, before the Prefs page shows it.
    float configuredBackground[3];
    for (int c = 0; c < 3; ++c) configuredBackground[c] = view->state.backgroundColor[c];
    viewWindow = platform_.CreateGlView(ViewTemplate(), *view, *window);
    if (viewWindow != nullptr) {
        viewWindow->Move(kViewX, kViewY);
        viewWindow->Show(true);
    }
    view->wheelTurned = [this](int notches) {
        // A notch away from the user zooms in: the bar's left arrow.
        for (int n = 0; n < std::abs(notches); ++n) Zoom(notches > 0 ? ui::kScrollLineLeft : ui::kScrollLineRight, 0);
    };
    view->resetRequested = [this] { ResetView(); };
    for (int c = 0; c < 3; ++c) view->state.backgroundColor[c] = configuredBackground[c];

    struct Page {
        ui::WindowHandler* handler;
        const ui::DialogTemplate& dialog;
    };
    const Page pages[4] = {{projectPanel.get(), ProjectTemplate()},
                           {partSelectionPanel.get(), PartSelectionTemplate()},
                           {preferencesPanel.get(), PreferencesTemplate()},
                           {partParameterPanel.get(), PartParameterTemplate()}};
    for (int i = 0; i < 4; ++i) {
        window->SetTabData(tabControl, i, pages[i].handler);
        ui::Window* page = platform_.CreateChildDialog(pages[i].dialog, *pages[i].handler, *window, tabControl);
        if (page == nullptr) continue;
        page->Move(1, 21);
        page->Show(i == 0);
    }
    window->SetTabSelection(tabControl, 0);

    view->creature = creature.get();
    partParameterPanel->creature = creature.get();
    partParameterPanel->view = view.get();
    projectPanel->partSelectionPanel = partSelectionPanel.get();
    partSelectionPanel->steps = &steps;
    partParameterPanel->steps = &steps;
    projectPanel->steps = &steps;
    partParameterPanel->mirror = &mirrorEdit;
    partSelectionPanel->mirror = &mirrorEdit;
    partParameterPanel->ShowMirror();
    steps.changed = [this] { ShowSteps(); };
    window->AddShortcut("Ctrl+Z", kIdUndo);
    window->AddShortcut("Ctrl+Shift+Z", kIdRedo);
    window->AddShortcut("Ctrl+Y", kIdRedo);
    window->AddShortcut("Home", kIdResetView);
    ShowSteps();

    partSelectionPanel->FillPartLists();
    // The window opens at the size it had when it was last closed.
    window->AllowResize();
    window->Resize(windowWidth, windowHeight);

    // A project named on the command line comes in as "Load Project" brings
    // it, once every page is there to show it.
    if (!startupProject.empty()) projectPanel->LoadProjectFile(startupProject);
    return true;
}

void MainWindow::ReadConfig() {
    const formats::UserEnvironment env = formats::CurrentUserEnvironment();
    startDir = env.startDir;
    formats::ConfigValues values;  // the defaults, kept for whatever the file lacks
    configPath = formats::LoadUserConfig(env, values);
    convertObjectDir = values.convertObjectDir;
    convertObjectName = values.convertObjectName;
    objectDir = values.objectDir;
    projectDir = values.projectDir;
    backgroundFourth = values.backgroundColor[3];
    wireFourth = values.wireColor[3];
    mirrorEdit = values.mirrorEdit;
    windowWidth = values.windowWidth;
    windowHeight = values.windowHeight;
    if (view) {
        for (int c = 0; c < 3; ++c) {
            view->state.backgroundColor[c] = values.backgroundColor[c];
            view->state.wireColor[c] = values.wireColor[c];
        }
    }
}

void MainWindow::WriteConfig() {
    std::error_code ec;
    if (startDir.empty()) startDir = std::filesystem::current_path(ec).string();
    if (configPath.empty()) configPath = formats::ConfigFilePath(formats::CurrentUserEnvironment());
    // The file dialogs may have moved the current directory; the file belongs
    // in the start-up directory.
    std::filesystem::current_path(startDir, ec);

    formats::ConfigValues values;
    values.convertObjectDir = convertObjectDir;
    values.convertObjectName = convertObjectName;
    values.objectDir = preferencesPanel ? preferencesPanel->objectDir : objectDir;
    values.projectDir = preferencesPanel ? preferencesPanel->projectDir : projectDir;
    values.backgroundColor[3] = backgroundFourth;
    values.wireColor[3] = wireFourth;
    values.mirrorEdit = mirrorEdit;
    values.windowWidth = windowWidth;
    values.windowHeight = windowHeight;
    if (view) {
        for (int c = 0; c < 3; ++c) {
            values.backgroundColor[c] = view->state.backgroundColor[c];
            values.wireColor[c] = view->state.wireColor[c];
        }
    }
    if (!formats::SaveUserConfig(configPath, values)) {
        platform_.ShowMessage("Unable to open config file for writing!", "Error", ui::Icon::Exclamation,
                              nullptr);
    }
}

void MainWindow::OnCommand(int id, int /*code*/) {
    switch (id) {
        case kIdSmooth:
            SetShadingMode(0);
            break;
        case kIdFlat:
            SetShadingMode(1);
            break;
        case kIdWireframe:
            SetShadingMode(2);
            break;
        case kIdClearCreature:
            ClearCreature();
            break;
        case kIdRandomCreature:
            if (partSelectionPanel) partSelectionPanel->PickRandomParts();
            break;
        case kIdUndo:
        case kIdRedo:
            TakeStep(id == kIdUndo);
            break;
        case kIdResetView:
            ResetView();
            break;
        default:
            break;  // OK and Cancel end the run by the toolkit's default
    }
}

void MainWindow::SetShadingMode(int mode) {
    if (view) view->state.drawMode = mode;
    RepaintView();
}

void MainWindow::OnHScroll(int barId, int code, int pos) {
    if (barId == kIdZoomBar) Zoom(code, pos);
}

void MainWindow::Zoom(int code, int pos) {
    const int old = zoomPosition;
    switch (code) {
        case ui::kScrollLineLeft:
            zoomPosition -= 1;
            break;
        case ui::kScrollLineRight:
            zoomPosition += 1;
            break;
        case ui::kScrollPageLeft:
            zoomPosition -= 4;
            break;
        case ui::kScrollPageRight:
            zoomPosition += 4;
            break;
        case ui::kScrollThumbTrack:
            zoomPosition = pos;
            break;
        default:
            break;  // thumb released, ends, end of scrolling: position unchanged
    }
    // Single precision throughout, so a drag sums the same steps as ever.
    const float step = static_cast<float>(zoomPosition - old) * (1.0f / 90.0f);
    if (view) view->state.zoom -= step;
    RepaintView();
    lightOffset += step * 0.5f;
    if (view) view->state.lightLevel = 0.7f - lightOffset;
    window->SetScrollPos(kIdZoomBar, zoomPosition);
}

void MainWindow::ResetView() {
    if (view) {
        view->ResetCamera();
        view->state.lightLevel = 0.5f;  // as at start-up, before the bar first moved
    }
    lightOffset = 0;
    zoomPosition = 0;
    window->SetScrollPos(kIdZoomBar, zoomPosition);
    RepaintView();
}

bool MainWindow::OnCloseRequest(int /*result*/) {
    if (!steps.Modified()) return true;
    const int answer = platform_.Ask(kUnsavedQuestion, kUnsavedCaption, {"Save", "Discard", "Cancel"}, window);
    if (answer == kAnswerDiscard) return true;
    if (answer == kAnswerSave && projectPanel) return projectPanel->SaveProjectCommand();
    return false;
}

void MainWindow::OnSize(int width, int height) {
    windowWidth = width;
    windowHeight = height;
    const int wider = std::max(0, width - formats::kWindowWidth);
    const int taller = std::max(0, height - formats::kWindowHeight);
    if (viewWindow != nullptr) {
        viewWindow->Move(kViewX, kViewY);
        viewWindow->Resize(ui::DialogUnitsToPixelsX(ViewTemplate().width) + wider,
                           ui::DialogUnitsToPixelsY(ViewTemplate().height) + taller);
    }
    for (const ui::ControlTemplate& c : MainWindowTemplate().controls) {
        if (c.rect.y < kBottomRowY) continue;
        const ui::Rect at = ui::DialogUnitsToPixels(c.rect);
        // Cancel keeps to the right-hand corner, under the view.
        window->MoveControl(c.id, at.x + (c.id == ui::kIdCancel ? wider : 0), at.y + taller);
    }
}

ui::WindowHandler* MainWindow::PageOfTab(int index) const {
    if (index < 0) return nullptr;
    return static_cast<ui::WindowHandler*>(window->TabData(tabControl, index));
}

void MainWindow::OnTabChanging(int tabId) {
    if (tabId != tabControl) return;
    if (creature) steps.Close(*creature);  // a bar's step cut short by the page change ends here
    ui::WindowHandler* page = PageOfTab(window->TabSelection(tabControl));
    if (page != nullptr && page->window != nullptr) page->window->Show(false);
}

void MainWindow::OnTabChanged(int tabId) {
    if (tabId != tabControl) return;
    ui::WindowHandler* page = PageOfTab(window->TabSelection(tabControl));
    if (page != nullptr && page->window != nullptr) page->window->Show(true);
    RepaintView();
}

void MainWindow::ClearCreature() {
    if (creature) steps.Begin(*creature, "Clear Creature");
    for (int i = 0; i < model::kPartTypeCount; ++i) {
        if (partSelectionPanel && partSelectionPanel->window)
            partSelectionPanel->window->SetSelection(panels::PartSelectionPanel::ListId(i), 0);
        if (creature) creature->SetPart(std::string(model::panelOrder[i]), nullptr, 0);
    }
    if (creature) steps.Commit(*creature);
    if (view) view->DropSelectionIfGone();
    RepaintView();
}

void MainWindow::TakeStep(bool undo) {
    if (!creature) return;
    if (!(undo ? steps.Undo(*creature) : steps.Redo(*creature))) return;
    if (partSelectionPanel) partSelectionPanel->ShowFigure();
    if (view) view->DropSelectionIfGone();
    if (partParameterPanel) partParameterPanel->ShowPart();
    ShowSteps();
    RepaintView();
}

void MainWindow::ShowSteps() {
    if (window == nullptr) return;
    window->Enable(kIdUndo, steps.history.CanUndo());
    window->Enable(kIdRedo, steps.history.CanRedo());
    window->SetModified(steps.Modified());
    // The tooltips name the step ("Undo: Adjust X of Upper body").
    const std::string undo = steps.history.UndoName();
    const std::string redo = steps.history.RedoName();
    window->SetToolTip(kIdUndo, undo.empty() ? "Undo" : "Undo: " + undo);
    window->SetToolTip(kIdRedo, redo.empty() ? "Redo" : "Redo: " + redo);
}

void MainWindow::RepaintView() {
    if (view) view->RequestRepaint();
}

}  // namespace app
