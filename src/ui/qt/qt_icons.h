// The program's icons, drawn rather than loaded: no image files to ship.
#pragma once

#include <QIcon>

namespace ui::qt {

constexpr int kAppIconId = 1013;

// The application icon: a small standing figure.
QIcon AppIcon();

}  // namespace ui::qt
