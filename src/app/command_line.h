// The program's command line: an optional project file (a path or a
// file:// URI, as a desktop entry's %f or %u hands it over), --help and
// --version, and the toolkit's own options, which are left to it.
#pragma once

#include <string>
#include <vector>

namespace app {

struct CommandLine {
    enum class Action { Run, Help, Version, Wrong };
    Action action = Action::Run;
    std::string project;  // the file to load at start-up; empty for none
    std::string error;    // the one line saying what is wrong (Action::Wrong)
};

// `args` without the program's name.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The texts --help and --version print.
std::string HelpText();
std::string VersionText();

}  // namespace app
