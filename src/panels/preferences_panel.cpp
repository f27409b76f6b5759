#include "panels/preferences_panel.h"

#include <algorithm>
#include <cmath>

#include "ui/platform.h"
#include "view/creature_view.h"

namespace panels {

namespace {

constexpr int kBars[6] = {kIdBackgroundRedBar, kIdBackgroundGreenBar, kIdBackgroundBlueBar,
                          kIdWireRedBar,       kIdWireGreenBar,       kIdWireBlueBar};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Colour component 0 … 1 as a bar position 0 … 255, truncated toward zero.
// mw.cfg may hold any number, "inf" and "nan" too; the bar shows 0 … 254
// whatever it is given, so what lies beyond is pinned before the cast.
int BarPosition(float component) {
    const double position = component * 255.0;
    if (std::isnan(position)) return 0;
    return static_cast<int>(std::clamp(position, -1.0, 256.0));
}

}  // namespace

std::string WithoutTrailingSeparator(std::string dir) {
    while (dir.size() > 1 && IsSeparator(dir.back())) dir.pop_back();
    return dir;
}

bool PreferencesPanel::OnInitDialog() {
    window->SetText(kIdObjectDirEdit, objectDir);
    window->SetText(kIdProjectDirEdit, projectDir);
    for (int bar : kBars) window->SetScrollInfo(bar, ui::ScrollInfo{0, 255, 2, 0, 0});
    // Without a view the bars start at 0.
    for (int c = 0; c < 3; ++c) {
        window->SetScrollPos(kBars[c], BarPosition(view != nullptr ? view->state.backgroundColor[c] : 0.0f));
        window->SetScrollPos(kBars[3 + c], BarPosition(view != nullptr ? view->state.wireColor[c] : 0.0f));
    }
    return true;
}

void PreferencesPanel::OnCommand(int id, int code) {
    if (window == nullptr) return;
    if ((id == kIdObjectDirButton || id == kIdProjectDirButton) && code == ui::kNotifyClicked) {
        BrowseForFolder(id);
    } else if (id == kIdObjectDirEdit && code == ui::kNotifyKillFocus) {
        ObjectDirEditLeft();
    }
}

void PreferencesPanel::BrowseForFolder(int buttonId) {
    const bool objects = buttonId == kIdObjectDirButton;
    std::string& dir = objects ? objectDir : projectDir;
    std::string chosen;
    if (!platform_.ChooseDirectory(dir, nullptr, chosen)) return;
    dir = WithoutTrailingSeparator(chosen);
    if (window != nullptr) window->SetText(objects ? kIdObjectDirEdit : kIdProjectDirEdit, dir);
}

void PreferencesPanel::ObjectDirEditLeft() {
    // The edit is read-only: it shows objectDir (cut to what the edit
    // holds), so the directory itself is taken, however long it is. One
    // trailing separator goes; the root "/" stays a directory.
    if (objectDir.size() > 1 && IsSeparator(objectDir.back())) objectDir.pop_back();
    window->SetText(kIdObjectDirEdit, objectDir);
}

void PreferencesPanel::OnHScroll(int barId, int code, int /*pos*/) {
    if (window == nullptr) return;
    ColourBarMoved(barId, code);
}

void PreferencesPanel::ColourBarMoved(int barId, int code) {
    const auto* bar = std::find(std::begin(kBars), std::end(kBars), barId);
    if (bar == std::end(kBars)) return;
    const ui::ScrollInfo info = window->GetScrollInfo(barId);
    int p = info.pos;
    switch (code) {
        case ui::kScrollLineLeft:
        case ui::kScrollPageLeft:
            p -= 1;
            break;
        case ui::kScrollLineRight:
        case ui::kScrollPageRight:
            p += 1;
            break;
        case ui::kScrollThumbPosition:
        case ui::kScrollThumbTrack:
            p = info.trackPos;
            break;
        default:
            break;  // top, bottom, end of scrolling: the position stays
    }
    // The bar shows p within 0 … 254; the component follows p itself.
    window->SetScrollPos(barId, p);
    const float c = static_cast<float>(p) * (1.0f / 255.0f);

    if (view == nullptr) return;
    const int index = static_cast<int>(bar - std::begin(kBars));
    if (index < 3) {
        view->state.backgroundColor[index] = c;
    } else {
        view->state.wireColor[index - 3] = c;
    }
    view->RequestRepaint();
}

}  // namespace panels
