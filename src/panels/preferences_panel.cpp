#include "panels/preferences_panel.h"

#include <algorithm>
#include <cmath>

namespace panels {

namespace {

// Colour component 0 … 1 as a bar position 0 … 255, truncated toward zero.
// mw.cfg may hold any number, "inf" and "nan" too; the bar shows 0 … 254
// whatever it is given, so what lies beyond is pinned before the cast.
int BarPosition(float component) {
    const double position = component * 255.0;
    if (std::isnan(position)) return 0;
    return static_cast<int>(std::clamp(position, -1.0, 256.0));
}

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
