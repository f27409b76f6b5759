// The application: runs the main window modally, then writes mw.cfg, and
// ends the program when that is done.
#pragma once

#include <string>

#include "ui/platform.h"

namespace app {

// Returns the program's exit code. `project`, when not empty, is loaded once
// the window is set up, as "Load Project" would.
int RunApplication(ui::Platform& platform, const std::string& project = {});

}  // namespace app
