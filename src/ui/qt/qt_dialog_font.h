// The font the program's windows are laid out for: 8 points (11 pixels on
// a 96 dpi screen) of a plain sans-serif, so that labels fit the controls
// that dialog units give them.
#pragma once

#include <QFont>

namespace ui::qt {

// A font of that size in the narrowest familiar family installed, the
// application's own family when none is.
QFont DialogFont();

}  // namespace ui::qt
