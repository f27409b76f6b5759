#include "panels/preferences_panel.h"

namespace panels {

namespace {

// Colour component 0 … 1 as a bar position 0 … 255, truncated toward zero.
int BarPosition(float component) { return static_cast<int>(component * 255.0); }

}  // namespace

bool PreferencesPanel::OnInitDialog() {
    window->SetText(kIdObjectDirEdit, objectDir);
    window->SetText(kIdProjectDirEdit, projectDir);
    const int bars[6] = {kIdBackgroundRedBar, kIdBackgroundGreenBar, kIdBackgroundBlueBar,
                         kIdWireRedBar,       kIdWireGreenBar,       kIdWireBlueBar};
    for (int bar : bars) window->SetScrollInfo(bar, ui::ScrollInfo{0, 255, 2, 0, 0});
    for (int c = 0; c < 3; ++c) {
        window->SetScrollPos(bars[c], BarPosition(backgroundColor[c]));
        window->SetScrollPos(bars[3 + c], BarPosition(wireColor[c]));
    }
    return true;
}

}  // namespace panels
