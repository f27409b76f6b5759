// mwbatch export: a project file to .3ds, .dxf or .mwp, as "Load Project"
// followed by "Save Creature" or "Save Project" would do it.
#include <filesystem>
#include <ostream>

#include "cli/batch_setup.h"
#include "cli/command.h"
#include "cli/options.h"
#include "cli/stream_sink.h"
#include "formats/export_3ds.h"
#include "formats/export_dxf.h"
#include "formats/export_glb.h"
#include "formats/export_obj.h"
#include "formats/export_stl.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "ui/list_order.h"

namespace cli {

const char* const kExportUsage =
    "Usage: mwbatch export [--objects DIR] [--type-names] PROJECT.mwp OUTPUT\n"
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
    "Options:\n"
    "  --objects DIR   the object library (default: ObjectDir of mw.cfg in the\n"
    "                  current directory)\n"
    "  --type-names    name the materials \"<type>_<surface>\", as the check box\n"
    "                  \"Store surfaces Names as <Type> <Name>\" does\n"
    "  -h, --help      this text\n"
    "\n"
    "Every message the program would show in a box goes to standard error as one\n"
    "line, \"caption: text\". Exit status: 0 when OUTPUT was written, 1 when it was\n"
    "not, 2 for a wrong command line.\n"
    "\n"
    "Example:\n"
    "  mwbatch export --objects ~/objects hero.mwp hero.3ds\n";

namespace {

enum class OutputType { None, Studio3ds, Dxf, Glb, Obj, Stl, Project };

OutputType TypeOf(const std::string& path) {
    const std::string extension = std::filesystem::path(path).extension().string();
    if (ui::CompareIgnoringCase(extension, ".3ds") == 0) return OutputType::Studio3ds;
    if (ui::CompareIgnoringCase(extension, ".dxf") == 0) return OutputType::Dxf;
    if (ui::CompareIgnoringCase(extension, ".glb") == 0) return OutputType::Glb;
    if (ui::CompareIgnoringCase(extension, ".obj") == 0) return OutputType::Obj;
    if (ui::CompareIgnoringCase(extension, ".stl") == 0) return OutputType::Stl;
    if (ui::CompareIgnoringCase(extension, ".mwp") == 0) return OutputType::Project;
    return OutputType::None;
}

bool ExportMesh(OutputType type, model::Creature& creature, const std::string& path, ui::MessageSink& messages) {
    switch (type) {
        case OutputType::Studio3ds:
            return formats::Export3ds(creature, path, messages);
        case OutputType::Dxf:
            return formats::ExportDxf(creature, path, messages);
        case OutputType::Glb:
            return formats::ExportGlb(creature, path, messages);
        case OutputType::Obj:
            return formats::ExportObj(creature, path, messages);
        case OutputType::Stl:
            return formats::ExportStl(creature, path, messages);
        default:
            return false;
    }
}

}  // namespace

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedOptions options = ParseOptions(args, {"--objects"}, {"--type-names"});
    if (options.help) {
        out << kExportUsage;
        return kExitDone;
    }
    if (!options.error.empty() || options.positionals.size() != 2) {
        err << "mwbatch export: "
            << (options.error.empty() ? "give a project file and an output file" : options.error) << "\n"
            << "Usage: mwbatch export [--objects DIR] [--type-names] PROJECT.mwp OUTPUT (--help for more)\n";
        return kExitUsage;
    }
    const std::string& projectPath = options.positionals[0];
    const std::string& outputPath = options.positionals[1];
    const OutputType type = TypeOf(outputPath);
    if (type == OutputType::None) {
        err << "mwbatch export: " << outputPath << ": the output must end in .3ds, .dxf, .glb, .obj, .stl or .mwp\n";
        return kExitUsage;
    }

    std::string objectDir;
    if (!ResolveObjectDir(options, "export", err, objectDir)) return kExitFailed;

    StreamSink messages(err);
    formats::ProjectFile project;
    if (!formats::ReadProjectFile(projectPath, project)) {
        messages.ShowMessage(formats::kProjectOpenFailed, formats::kProjectErrorCaption, ui::Icon::Exclamation,
                             nullptr);
        return kExitFailed;
    }
    model::Creature creature(messages);
    formats::LoadProjectRecords(project, creature, objectDir, nullptr);

    bool written = false;
    switch (type) {
        case OutputType::Project:
            written = formats::SaveProject(creature, outputPath, objectDir, messages);
            break;
        case OutputType::None:
            break;
        default:
            if (creature.parts.Count() == 0) {
                err << "mwbatch export: " << projectPath << ": no part could be loaded, nothing written\n";
                return kExitFailed;
            }
            if (options.Has("--type-names")) creature.PrefixAllSurfaceNames();
            written = ExportMesh(type, creature, outputPath, messages);
            creature.RestoreAllSurfaceNames();
            break;
    }
    return written ? kExitDone : kExitFailed;
}

}  // namespace cli
