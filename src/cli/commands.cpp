#include "cli/command.h"

namespace cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"export", "a project file as " + ExportOutputs(), ExportUsage(), RunExport},
        {"render", "a picture of a project file as PNG", RenderUsage(), RunRender},
        {"random", "random figures in bulk, reproducible by seed", RandomUsage(), RunRandom},
        {"check", "an object library's files and seams", kCheckUsage, RunCheck},
        {"thumbnail", "a project's thumbnail for file managers, as PNG", ThumbnailUsage(), RunThumbnail},
    };
    return commands;
}

}  // namespace cli
