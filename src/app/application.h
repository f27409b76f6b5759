// The application: runs the main window modally, then writes mw.cfg, and
// ends the program when that is done.
#pragma once

#include "ui/platform.h"

namespace app {

// Returns the program's exit code.
int RunApplication(ui::Platform& platform);

}  // namespace app
