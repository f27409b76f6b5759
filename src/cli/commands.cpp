#include "cli/command.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"export", "a project file as .3ds, .dxf or .mwp", kExportUsage, RunExport},
    };
    return commands;
}

}  // namespace cli
