#include "panels/part_selection_panel.h"

#include <filesystem>
#include <vector>

#include "formats/object_library.h"
#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "text/list_order.h"
#include "ui/message_sink.h"
#include "view/creature_view.h"

namespace panels {

using formats::PartFolder;

void PartSelectionPanel::SetObjectDir(const std::string& dir) { objectDir = dir; }

bool PartSelectionPanel::OnInitDialog() {
    for (int i = 0; i < kPartRows; ++i) {
        const int y = 5 + 25 * i;
        const std::string name(model::panelOrder[i]);
        window->CreateControl({ui::kIdStatic, ui::ControlKind::Static, name, {30, y + 1, 80, 16},
                               ui::kStyleRightAlign});
        window->CreateControl({ListId(i), ui::ControlKind::DropDownList, "", {120, y - 1, 158, 416},
                               ui::kStyleSorted});
        window->CreateControl({StepButtonId(i, false), ui::ControlKind::PushButton, "<", {280, y, 20, 20}});
        window->CreateControl({StepButtonId(i, true), ui::ControlKind::PushButton, ">", {301, y, 20, 20}});
        window->AddEntry(ListId(i), kNoneEntry);
        window->SetSelection(ListId(i), 0);
    }
    return true;
}

bool PartSelectionPanel::FillPartLists() {
    if (window == nullptr) return true;
    for (int i = 0; i < kPartRows; ++i) {
        // A missing or unreadable folder simply has no files.
        const std::vector<std::string> files = formats::ObjectFilesOf(objectDir, model::panelOrder[i]);
        for (const std::string& name : files) window->AddEntry(ListId(i), name);
        if (files.empty()) window->AddEntry(ListId(i), kNoFilesEntry);
    }
    return true;
}

bool PartSelectionPanel::ApplyPartChoice(int row) {
    if (window == nullptr || creature == nullptr || row < 0 || row >= kPartRows) return true;
    const std::string name(model::panelOrder[row]);
    const int k = window->Selection(ListId(row));
    if (steps != nullptr) steps->Begin(*creature, (k <= 0 ? "Remove " : "Choose ") + name);
    if (k <= 0) {
        creature->SetPart(name, nullptr, 0);
    } else {
        const std::string path = PartFolder(objectDir, name) + "/" + window->EntryText(ListId(row), k);
        formats::SetPartFromFile(*creature, name, path, row);
    }
    if (steps != nullptr) steps->Commit(*creature);
    // A replaced part stays selected; one taken out (or lost to a failed
    // replacement) does not.
    if (view != nullptr) view->DropSelectionIfGone();
    RequestRepaint();
    return true;
}

void PartSelectionPanel::ChoosePart(int row) {
    const int other = mirror != nullptr && *mirror ? model::MirrorPanelIndex(row) : -1;
    if (other < 0 || window == nullptr || creature == nullptr) {
        ApplyPartChoice(row);
        return;
    }
    const int chosen = window->Selection(ListId(row));
    const std::string file = chosen <= 0 ? std::string(kNoneEntry) : window->EntryText(ListId(row), chosen);
    // "No Files" names no file; there is nothing to mirror.
    const int k = file == kNoFilesEntry ? -1 : EntryNamed(other, file);
    const std::string name(model::panelOrder[static_cast<std::size_t>(row)]);
    if (steps != nullptr) steps->Begin(*creature, (chosen <= 0 ? "Remove " : "Choose ") + name);
    ApplyPartChoice(row);
    if (k >= 0) {
        window->SetSelection(ListId(other), k);
        ApplyPartChoice(other);
    }
    if (steps != nullptr) steps->Commit(*creature);
}

int PartSelectionPanel::EntryNamed(int row, const std::string& file) const {
    const int count = window->EntryCount(ListId(row));
    int found = -1;
    for (int k = count - 1; k >= 0; --k) {
        const std::string entry = window->EntryText(ListId(row), k);
        if (entry == file) return k;
        if (text::CompareIgnoringCase(entry, file) == 0) found = k;
    }
    return found;
}

void PartSelectionPanel::PickRandomParts() {
    if (window == nullptr) return;
    random_.Seed(static_cast<std::uint32_t>(clock()));
    std::vector<int> counts;
    bool anyFile = false;
    for (int i = 0; i < kPartRows; ++i) {
        counts.push_back(window->EntryCount(ListId(i)));
        anyFile = anyFile || (counts.back() > 1 && window->EntryText(ListId(i), 1) != kNoFilesEntry);
    }
    // One box for the library, not one per part that cannot be loaded.
    if (!anyFile) {
        if (messages != nullptr) {
            messages->ShowMessage("The object directory \"" + objectDir +
                                      "\" holds no part folder with object files (*.mwo). Choose the object "
                                      "library on \"Prefs\" under \"Object Directory\".",
                                  "Error!", ui::Icon::Exclamation, window);
        }
        return;
    }
    const std::vector<int> picks = model::RandomPicks(random_, counts);
    if (steps != nullptr && creature != nullptr) steps->Begin(*creature, "Random Creature");
    for (int i = 0; i < kPartRows; ++i) {
        // Only " (none) " in the list (the library was never read): nothing to pick.
        if (picks[static_cast<std::size_t>(i)] == 0) continue;
        window->SetSelection(ListId(i), picks[static_cast<std::size_t>(i)]);
        ApplyPartChoice(i);
    }
    if (steps != nullptr && creature != nullptr) steps->Commit(*creature);
}

void PartSelectionPanel::ShowFigure() {
    if (window == nullptr || creature == nullptr) return;
    for (int i = 0; i < kPartRows; ++i) {
        const model::MeshObject* part = creature->PartOfPanel(i);
        int position = 0;
        if (part != nullptr) {
            const std::string file = std::filesystem::path(part->objectName).filename().string();
            const int count = window->EntryCount(ListId(i));
            for (int k = 1; k < count; ++k) {
                if (window->EntryText(ListId(i), k) == file) position = k;
            }
        }
        window->SetSelection(ListId(i), position);
    }
}

void PartSelectionPanel::OnCommand(int id, int code) {
    if (id >= kFirstListId && id < kFirstListId + kPartRows) {
        if (code == ui::kNotifySelChange) ChoosePart(id - kFirstListId);
        return;
    }
    if (id >= kFirstStepButtonId && id <= kFirstStepButtonId + 2 * kPartRows - 1) {
        const int row = (id & 0xff) / 2;
        const bool forward = (id & 1) != 0;
        const int k = window->Selection(ListId(row));
        const int n = window->EntryCount(ListId(row));
        int position = forward ? k + 1 : k - 1;
        if (position > n - 1) position = n - 1;
        if (position < 0) position = 0;
        window->SetSelection(ListId(row), position);
        ChoosePart(row);
    }
}

void PartSelectionPanel::RequestRepaint() {
    if (view != nullptr) view->RequestRepaint();
}

}  // namespace panels
