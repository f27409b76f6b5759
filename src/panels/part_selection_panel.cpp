#include "panels/part_selection_panel.h"

#include <filesystem>
#include <system_error>

#include "model/creature.h"
#include "model/part_types.h"
#include "view/creature_view.h"

namespace panels {

namespace {

bool EndsWithMwoIgnoringCase(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return tail == ".mwo";
}

}  // namespace

std::string PartFolder(const std::string& objectDir, const std::string& partName) {
    if (objectDir.empty()) return partName;
    if (objectDir.back() == '/' || objectDir.back() == '\\') return objectDir + partName;
    return objectDir + "/" + partName;
}

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
        const std::filesystem::path folder(PartFolder(objectDir, std::string(model::panelOrder[i])));
        int found = 0;
        std::error_code ec;
        std::filesystem::directory_iterator it(folder, ec);
        // A missing or unreadable folder simply has no files.
        for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (it->is_directory(typeError)) continue;
            const std::string name = it->path().filename().string();
            if (!EndsWithMwoIgnoringCase(name)) continue;
            window->AddEntry(ListId(i), name);
            ++found;
        }
        if (found == 0) window->AddEntry(ListId(i), kNoFilesEntry);
    }
    return true;
}

bool PartSelectionPanel::ApplyPartChoice(int row) {
    if (window == nullptr || creature == nullptr || row < 0 || row >= kPartRows) return true;
    const std::string name(model::panelOrder[row]);
    const int k = window->Selection(ListId(row));
    if (k <= 0) {
        creature->SetPart(name, nullptr, 0);
    } else {
        const std::string path = PartFolder(objectDir, name) + "/" + window->EntryText(ListId(row), k);
        creature->SetPart(name, path.c_str(), row);
    }
    RequestRepaint();
    return true;
}

void PartSelectionPanel::PickRandomParts() {
    if (window == nullptr) return;
    random_.Seed(static_cast<std::uint32_t>(clock()));
    for (int i = 0; i < kPartRows; ++i) {
        const int n = window->EntryCount(ListId(i));
        const int r = random_.Next();
        // Only " (none) " in the list (the library was never read): nothing to pick.
        if (n < 2) continue;
        window->SetSelection(ListId(i), r % (n - 1) + 1);
        ApplyPartChoice(i);
    }
}

void PartSelectionPanel::OnCommand(int id, int code) {
    if (id >= kFirstListId && id < kFirstListId + kPartRows) {
        if (code == ui::kNotifySelChange) ApplyPartChoice(id - kFirstListId);
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
        ApplyPartChoice(row);
    }
}

void PartSelectionPanel::RequestRepaint() {
    if (view != nullptr) view->RequestRepaint();
}

}  // namespace panels
