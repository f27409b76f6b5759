// mwbatch export: a project file to .3ds, .dxf or .mwp, as "Load Project"
// followed by "Save Creature" or "Save Project" would do it.
#include <filesystem>
#include <ostream>

#include "cli/batch_setup.h"
#include "cli/command.h"
#include "cli/options.h"
#include "cli/stream_sink.h"
#include "formats/mesh_exports.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "text/list_order.h"

namespace cli {

const char* const kExportUsage =
    "Usage: mwbatch export [--objects DIR] [--type-names] [--scale METRES_PER_UNIT] [--verbose]\n"
    "                      PROJECT.mwp OUTPUT\n"
    "\n"
    "Loads PROJECT.mwp as \"Load Project\" does (every part from the object library,\n"
    "placed, welded and deformed) and writes OUTPUT by its extension, in any case:\n"
    "  .3ds  one 3D Studio mesh, seams merged, one material per surface\n"
    "  .dxf  a DXF drawing of 3DFACE entities\n"
    "  .glb  glTF 2.0 binary, one primitive per material, smooth normals\n"
    "  .obj  Wavefront OBJ with its .mtl beside it, quads kept\n"
    "  .stl  binary STL, triangles with facet normals, for 3D printing\n"
    "  .mwp  the project saved again\n"
    "OUTPUT is replaced only when it was written completely.\n"
    "\n"
    "Units and axes: .3ds and .dxf keep the object library's own units and axes.\n"
    ".glb and .obj are in metres, +Y up, the figure facing +Z with its feet on\n"
    "y = 0, centred on the origin in x and z, as glTF viewers and game engines\n"
    "expect. .stl is in millimetres, +Z up, the figure facing -Y with its feet on\n"
    "z = 0, centred in x and y, as slicers expect. The size of one object unit\n"
    "comes from the library's library.cfg (\"MetresPerUnit 5.0\"); a library\n"
    "without one counts a unit as a metre. In these three formats a triangle with\n"
    "two corners on one point is left out, and points of one part that lie\n"
    "exactly on each other become one.\n"
    "\n"
    "Options:\n"
    "  --objects DIR   the object library (default: ObjectDir of mw.cfg in the\n"
    "                  current directory)\n"
    "  --type-names    name the materials \"<type>_<surface>\", as the check box\n"
    "                  \"Store surfaces Names as <Type> <Name>\" does\n"
    "  --scale METRES_PER_UNIT\n"
    "                  the size of one object unit in metres for .glb, .obj and\n"
    "                  .stl, instead of the library's own\n"
    "  --verbose       also say how many triangles and points were left out\n"
    "  -h, --help      this text\n"
    "\n"
    "Every message the program would show in a box goes to standard error as one\n"
    "line, \"caption: text\". Exit status: 0 when OUTPUT was written, 1 when it was\n"
    "not or was written without a part the project names (its file missing or\n"
    "refused; the line says which), 2 for a wrong command line.\n"
    "\n"
    "Example:\n"
    "  mwbatch export --objects ~/objects hero.mwp hero.3ds\n";

namespace {

}  // namespace

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedOptions options = ParseOptions(args, {"--objects", "--scale"}, {"--type-names", "--verbose"});
    if (options.help) {
        out << kExportUsage;
        return kExitDone;
    }
    if (!options.error.empty() || options.positionals.size() != 2) {
        err << "mwbatch export: "
            << (options.error.empty() ? "give a project file and an output file" : options.error) << "\n"
            << "Usage: mwbatch export [--objects DIR] [--type-names] [--scale METRES_PER_UNIT] [--verbose]\n"
               "                      PROJECT.mwp OUTPUT (--help for more)\n";
        return kExitUsage;
    }
    double scale = 0;
    if (!ParseScale(options, scale)) {
        err << "mwbatch export: --scale " << options.Value("--scale") << ": not a size in metres above 0\n";
        return kExitUsage;
    }
    const std::string& projectPath = options.positionals[0];
    const std::string& outputPath = options.positionals[1];
    const std::string extension = std::filesystem::path(outputPath).extension().string();
    const bool asProject = text::CompareIgnoringCase(extension, ".mwp") == 0;
    const formats::MeshExport* mesh = formats::MeshExportOf(extension);
    if (!asProject && mesh == nullptr) {
        err << "mwbatch export: " << outputPath << ": the output must end in .3ds, .dxf, .glb, .obj, .stl or .mwp\n";
        return kExitUsage;
    }

    std::string objectDir;
    if (!ResolveObjectDir(options, "export", err, objectDir)) return kExitFailed;
    formats::ExportSettings settings;
    formats::ExportCleanup cleanup;
    settings.cleanup = &cleanup;
    if (!asProject && mesh->placed && !ResolveUnit(scale, objectDir, "export", err, settings)) return kExitFailed;

    StreamSink messages(err);
    model::Creature creature(messages);
    int missing = 0;
    if (!LoadProjectFigure(projectPath, objectDir, creature, messages, &missing)) return kExitFailed;

    bool written = false;
    if (asProject) {
        written = formats::SaveProject(creature, outputPath, objectDir, messages);
    } else {
        if (creature.parts.Count() == 0) {
            err << "mwbatch export: " << projectPath << ": no part could be loaded, nothing written\n";
            return kExitFailed;
        }
        if (options.Has("--type-names")) creature.PrefixAllSurfaceNames();
        written = mesh->write(creature, outputPath, messages, settings);
        creature.RestoreAllSurfaceNames();
        if (written && options.Has("--verbose")) {
            err << outputPath << ": " << cleanup.droppedTriangles << " triangles without area left out, "
                << cleanup.mergedPoints << " coincident points merged\n";
        }
    }
    // Written without a part the project names: a script must know.
    return written && missing == 0 ? kExitDone : kExitFailed;
}

}  // namespace cli
