// mwbatch: the program's work without its window, for scripts. The first
// argument names the command; "mwbatch --help" lists them.
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "cli/interruption.h"

namespace {

void Overview(std::ostream& out) {
    out << "Usage: mwbatch COMMAND [OPTIONS] ...\n"
           "\n"
           "Morphwright's figures without a window. Commands:\n";
    for (const cli::Command& c : cli::Commands()) {
        const std::string name = c.name;
        out << "  " << name << std::string(name.size() < 11 ? 11 - name.size() : 1, ' ') << c.summary << "\n";
    }
    out << "\n\"mwbatch COMMAND --help\" explains a command. Exit status: 0 when the command\n"
           "did its work, 1 when it could not, 2 for a wrong command line, 130 or 143 when\n"
           "interrupted by SIGINT or SIGTERM (the files being written are finished first,\n"
           "no temporary file is left).\n"
           "\n"
           "The object library and the colours come from mw.cfg: the one in the current\n"
           "directory, else $XDG_CONFIG_HOME/morphwright/mw.cfg\n"
           "(~/.config/morphwright/mw.cfg). Without either, the library is the sample\n"
           "library installed with mwbatch (../share/morphwright/objects from its\n"
           "folder).\n";
}

}  // namespace

int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, "C");
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        Overview(std::cerr);
        return cli::kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        Overview(std::cout);
        return cli::kExitDone;
    }
    cli::InstallInterruptHandlers();
    for (const cli::Command& c : cli::Commands()) {
        if (args[0] != c.name) continue;
        const int status = c.run({args.begin() + 1, args.end()}, std::cout, std::cerr);
        // Whatever was being written was finished first.
        if (const int signal = cli::InterruptingSignal(); signal != 0) {
            std::cerr << "mwbatch " << c.name << ": interrupted\n";
            return 128 + signal;
        }
        return status;
    }
    std::cerr << "mwbatch: unknown command \"" << args[0] << "\"\n";
    Overview(std::cerr);
    return cli::kExitUsage;
}
