#include "app/command_line.h"

#include <set>

#include "formats/user_paths.h"
#include "resources/templates.h"

namespace app {

namespace {

// The toolkit reads these itself ("-platform xcb", "-reverse"); they are
// passed over here so that they are not taken for unknown options.
const std::set<std::string> kToolkitOptionsWithValue = {
    "-platform", "-platformpluginpath", "-platformtheme", "-plugin", "-qwindowgeometry", "-qwindowicon",
    "-qwindowtitle", "-style", "-stylesheet", "-display", "-geometry", "-session", "-name", "-title"};
const std::set<std::string> kToolkitFlags = {"-reverse", "-nograb", "-dograb", "-sync", "-widgetcount"};

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            line.action = CommandLine::Action::Help;
            return line;
        } else if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        } else if (kToolkitOptionsWithValue.count(arg.substr(0, arg.find('='))) != 0) {
            if (arg.find('=') == std::string::npos) ++i;  // its value
        } else if (kToolkitFlags.count(arg) == 0) {
            line.action = CommandLine::Action::Wrong;
            line.error = "unknown option " + arg + " (--help lists the options)";
            return line;
        }
    }
    if (files.size() > 1) {
        line.action = CommandLine::Action::Wrong;
        line.error = "one project file at most, not " + std::to_string(files.size());
    } else if (files.size() == 1 && !formats::PathFromArgument(files[0], line.project)) {
        line.action = CommandLine::Action::Wrong;
        line.error = files[0] + ": neither a file's path nor a file:// URI";
    }
    return line;
}

std::string HelpText() {
    return "Usage: morphwright [PROJECT.mwp]\n"
           "\n"
           "Builds a human figure from interchangeable body parts. With a project file\n"
           "(a path or a file:// URI) the program starts with it loaded, as \"Load\n"
           "Project\" would load it.\n"
           "\n"
           "Settings are kept in mw.cfg: the one in the current directory when there is\n"
           "one, else $XDG_CONFIG_HOME/morphwright/mw.cfg (~/.config/morphwright/mw.cfg).\n"
           "\n"
           "Options:\n"
           "  -h, --help     this text\n"
           "  --version      the program's version\n";
}

std::string VersionText() {
    const std::string credits = resources::kAboutCredits;  // "Morphwright 1.6" on its first line
    return credits.substr(0, credits.find('\n')) + "\n";
}

}  // namespace app
