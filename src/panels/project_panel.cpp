#include "panels/project_panel.h"

#include "formats/library_settings.h"
#include "formats/mesh_exports.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "panels/part_selection_panel.h"
#include "resources/templates.h"
#include "text/list_order.h"
#include "ui/platform.h"
#include "view/creature_view.h"

namespace panels {

namespace {

bool EndsWith(const std::string& text, const std::string& tail, bool ignoreCase) {
    if (text.size() < tail.size()) return false;
    const std::string end = text.substr(text.size() - tail.size());
    return ignoreCase ? text::CompareIgnoringCase(end, tail) == 0 : end == tail;
}

// A save dialog with no owner, asking before it replaces a file.
ui::FileDialogRequest SaveRequest(const std::string& defaultExtension, const std::string& filter) {
    ui::FileDialogRequest request;
    request.save = true;
    request.defaultExtension = defaultExtension;
    request.filter = filter;
    request.overwritePrompt = true;
    return request;
}

// The mesh export of a dialog file type (from 1); null for any other.
const formats::MeshExport* ExportOfType(int fileType) {
    if (fileType < 1 || static_cast<std::size_t>(fileType) > formats::kMeshExports.size()) return nullptr;
    return &formats::kMeshExports[static_cast<std::size_t>(fileType - 1)];
}

// The export dialog's filter: "<label> (*<ext>)|*<ext>|" for every mesh export.
std::string ExportFilter() {
    std::string filter;
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        const std::string pattern = std::string("*") + mesh.extension;
        filter += std::string(mesh.dialogLabel) + " (" + pattern + ")|" + pattern + "|";
    }
    return filter;
}

}  // namespace

std::string ExportPath(const std::string& chosen, int fileType) {
    const formats::MeshExport* mesh = ExportOfType(fileType);
    if (mesh == nullptr) return chosen;
    return EndsWith(chosen, mesh->extension, !mesh->dialogMatchesCase) ? chosen : chosen + mesh->extension;
}

void ProjectPanel::OnCommand(int id, int code) {
    if (code != ui::kNotifyClicked) return;
    switch (id) {
        case kIdNewProject:
            NewProject();
            break;
        case kIdLoadProject:
            LoadProject();
            break;
        case kIdSaveProject:
            SaveProjectCommand();
            break;
        case kIdSaveCreature:
            ExportCreature();
            break;
        case kIdAbout:
            ShowAbout();
            break;
        default:
            break;
    }
}

void ProjectPanel::NewProject() {
    platform_.ShowMessage("Only human projects are supported in 1.x", "Info", ui::Icon::None, window);
}

bool ProjectPanel::SaveProjectCommand() {
    if (creature == nullptr) return false;
    ui::FileDialogResult chosen;
    if (!platform_.FileDialog(SaveRequest("mwp", kProjectFilter), chosen)) return false;
    if (!formats::SaveProject(*creature, chosen.path, objectDir, platform_)) return false;
    if (steps != nullptr) steps->Saved();
    platform_.ShowMessage("Info", "Project Saved", ui::Icon::None, window);
    return true;
}

void ProjectPanel::LoadProject() {
    if (creature == nullptr) return;
    ui::FileDialogRequest request;
    request.defaultExtension = "mwp";
    request.filter = kProjectFilter;
    ui::FileDialogResult chosen;
    if (!platform_.FileDialog(request, chosen)) return;
    LoadProjectFile(chosen.path);
}

void ProjectPanel::LoadProjectFile(const std::string& path) {
    if (creature == nullptr) return;
    // Nothing is emptied before the file is known to be readable.
    formats::ProjectFile project;
    if (!formats::ReadProjectFile(path, project)) {
        platform_.ShowMessage(formats::kProjectOpenFailed, formats::kProjectErrorCaption, ui::Icon::Exclamation,
                              nullptr);
        return;
    }
    ui::Window* lists = partSelectionPanel != nullptr ? partSelectionPanel->window : nullptr;
    if (lists != nullptr) {
        for (int i = 0; i < kPartRows; ++i) lists->SetSelection(PartSelectionPanel::ListId(i), 0);
    }
    // Each record's file is selected in its part's list (letter case aside);
    // a file no longer listed leaves the list without a selection.
    const auto select = [lists](int panelIndex, const std::string& fileName) {
        if (lists == nullptr || panelIndex < 0 || panelIndex >= kPartRows) return;
        const int list = PartSelectionPanel::ListId(panelIndex);
        const int count = lists->EntryCount(list);
        int position = 0;
        while (position < count && text::CompareIgnoringCase(lists->EntryText(list, position), fileName) != 0) {
            ++position;
        }
        lists->SetSelection(list, position);
    };
    if (steps != nullptr) steps->Begin(*creature, "Load Project");
    formats::LoadProjectRecords(project, *creature, objectDir, select);
    if (steps != nullptr) {
        steps->Commit(*creature);
        steps->Saved();  // the figure is the file's
    }
    if (view != nullptr) {
        // Every part was taken out and loaded anew: none is selected.
        view->state.selectedPanel = -1;
        view->RequestRepaint();
    }
}

void ProjectPanel::ExportCreature() {
    if (creature == nullptr) return;
    ui::FileDialogResult chosen;
    // The first type is the default; its extension without the dot.
    if (!platform_.FileDialog(SaveRequest(formats::kMeshExports.front().extension + 1, ExportFilter()), chosen)) return;

    const std::string path = ExportPath(chosen.path, chosen.filterIndex);
    if (const formats::MeshExport* mesh = ExportOfType(chosen.filterIndex); mesh != nullptr) {
        // The modern formats count in metres: the library says how big its unit is.
        formats::LibrarySettings library;
        std::string problem;
        if (mesh->placed && !formats::ReadLibrarySettings(objectDir, library, problem)) {
            platform_.ShowMessage(problem + ". The figure is exported with one unit as one metre.", "Error!",
                                  ui::Icon::Exclamation, window);
        }
        formats::ExportSettings settings;
        settings.metresPerUnit = library.metresPerUnit;
        settings.typeNames = window != nullptr && window->IsChecked(kIdTypeNames);
        mesh->write(*creature, path, platform_, settings);
    }
}

void ProjectPanel::ShowAbout() {
    AboutBox box(platform_);
    platform_.RunModal(resources::AboutTemplate(), box, window);
}

void AboutBox::OnCommand(int id, int code) {
    if (code != ui::kNotifyClicked) return;
    if (id == 1077) {
        platform_.ShellOpen(resources::kHomePageLink);
    } else if (id >= 1078 && id <= 1080) {
        platform_.ShellOpen(std::string("mailto:") + resources::kMailAddresses[id - 1078]);
    }
}

}  // namespace panels
