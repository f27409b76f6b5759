// Morphwright: starts Qt with an OpenGL format the fixed-function drawing
// can use, then runs the application on the Qt platform layer.
#include <QApplication>
#include <QSurfaceFormat>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "formats/user_paths.h"
#include "ui/qt/qt_platform.h"

int main(int argc, char* argv[]) {
    // Past a file-size limit a write fails and is reported, instead of the
    // program ending without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    formats::RememberProgramArgument(argc > 0 ? argv[0] : nullptr);
    // What needs no window is done before a display is looked for.
    const app::CommandLine commandLine =
        app::ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    switch (commandLine.action) {
        case app::CommandLine::Action::Help:
            std::fputs(app::HelpText().c_str(), stdout);
            return 0;
        case app::CommandLine::Action::Version:
            std::fputs(app::VersionText().c_str(), stdout);
            return 0;
        case app::CommandLine::Action::Wrong:
            std::fprintf(stderr, "morphwright: %s\n", commandLine.error.c_str());
            return 2;
        case app::CommandLine::Action::Run:
            break;
    }
    // Without a display Qt would abort; say so plainly instead.
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        std::fprintf(stderr,
                     "morphwright: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); "
                     "run it from a desktop session or under xvfb-run.\n");
        return 1;
    }

    // Before the application object: every context Qt makes takes this
    // format. A core profile would refuse the fixed-function calls.
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    QSurfaceFormat::setDefaultFormat(format);

    QApplication application(argc, argv);
    // Qt sets the locale from the environment; files are read and written
    // with the C locale's numbers.
    std::setlocale(LC_NUMERIC, "C");

    ui::qt::QtPlatform platform;
    return app::RunApplication(platform, commandLine.project);
}
