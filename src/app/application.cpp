#include "app/application.h"

#include "app/main_window.h"

namespace app {

int RunApplication(ui::Platform& platform, const std::string& project) {
    MainWindow mainWindow(platform);
    mainWindow.startupProject = project;
    // OK, Cancel and the close box all end the run the same way.
    mainWindow.Run();
    mainWindow.WriteConfig();
    return 0;
}

}  // namespace app
