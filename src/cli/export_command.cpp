// mwbatch export: a project file to any mesh of the export table or .mwp,
// as "Load Project" followed by "Save Creature" or "Save Project" would do it.
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <utility>

#include "cli/batch_setup.h"
#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/options.h"
#include "cli/pose_option.h"
#include "cli/stream_sink.h"
#include "formats/mesh_exports.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "text/list_order.h"

namespace cli {

namespace {

// The lines of the help that name the formats keep to this width.
constexpr std::size_t kHelpWidth = 76;

// A count as the help's prose writes it: "three".
std::string InWords(std::size_t count) {
    constexpr const char* kWords[] = {"no",   "one", "two",   "three", "four", "five",
                                      "six", "seven", "eight", "nine",  "ten"};
    return count < std::size(kWords) ? kWords[count] : std::to_string(count);
}

// Where each format puts the figure: the formats that keep the library's
// units and axes named together, then the placed ones, those that land
// alike named together.
std::string UnitsAndAxes() {
    std::vector<std::string> own;
    std::vector<std::pair<std::string_view, std::vector<std::string>>> placements;
    std::size_t placedCount = 0;
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        if (!mesh.placed) {
            own.push_back(mesh.extension);
            continue;
        }
        ++placedCount;
        auto alike = std::find_if(placements.begin(), placements.end(),
                                  [&](const auto& p) { return p.first == mesh.placement; });
        if (alike == placements.end()) {
            placements.push_back({mesh.placement, {}});
            alike = std::prev(placements.end());
        }
        alike->second.push_back(mesh.extension);
    }
    std::string text = "Units and axes: " + ListOf(own, "and") + (own.size() == 1 ? " keeps" : " keep") +
                       " the object library's own units and axes.";
    for (const auto& [placement, extensions] : placements) {
        text += " " + ListOf(extensions, "and") + (extensions.size() == 1 ? " is " : " are ") +
                std::string(placement) + ".";
    }
    text += " The size of one object unit comes from the library's library.cfg (\"MetresPerUnit 5.0\"); a library "
            "without one counts a unit as a metre. In these " + InWords(placedCount) +
            " formats a triangle with two corners on one point is left out, and points of one part that lie exactly "
            "on each other become one.";
    return Wrapped("", text, kHelpWidth);
}

// Every mesh export's extension, with its dot.
std::vector<std::string> MeshExtensions() {
    std::vector<std::string> extensions;
    for (const formats::MeshExport& mesh : formats::kMeshExports) extensions.push_back(mesh.extension);
    return extensions;
}

}  // namespace

std::string ExportOutputs() {
    std::vector<std::string> extensions = MeshExtensions();
    extensions.push_back(".mwp");
    return ListOf(extensions, "or");
}

const std::string& ExportUsage() {
    static const std::string usage = [] {
        std::string text =
            "Usage: mwbatch export [--objects DIR] [--type-names] [--scale METRES_PER_UNIT] [--pose NAME|FILE]\n"
            "                      [--verbose] PROJECT.mwp OUTPUT\n"
            "\n"
            "Loads PROJECT.mwp as \"Load Project\" does (every part from the object library,\n"
            "placed, welded and deformed) and writes OUTPUT by its extension, in any case:\n";
        for (const formats::MeshExport& mesh : formats::kMeshExports) {
            text += Wrapped("  " + std::string(mesh.extension) + "  ", mesh.help, kHelpWidth);
        }
        text +=
            "  .mwp  the project saved again\n"
            "OUTPUT is replaced only when it was written completely.\n"
            "\n" +
            UnitsAndAxes() +
            "\n"
            "Options:\n"
            "  --objects DIR   the object library (default: ObjectDir of mw.cfg, as\n"
            "                  \"mwbatch --help\" says)\n"
            "  --type-names    name the materials \"<type>_<surface>\", as the check box\n"
            "                  \"Store surfaces Names as <Type> <Name>\" does\n"
            "  --scale METRES_PER_UNIT\n" +
            Wrapped(std::string(18, ' '),
                    "the size of one object unit in metres for " + ListOf(PlacedExtensions(true), "and") +
                        ", instead of the library's own",
                    kHelpWidth) +
            "  --pose NAME|FILE\n" + PoseOptionHelp(std::string(18, ' '), kHelpWidth) +
            Wrapped(std::string(18, ' '),
                    ListOf(RiggedExtensions(true, true), "and") +
                        (RiggedExtensions(true, true).size() == 1 ? " keeps" : " keep") +
                        " the rest mesh with its skeleton and skin and sets the joints' rotations; " +
                        ListOf(RiggedExtensions(false, true), "and") +
                        " get the posed figure. A project file holds no pose: --pose with a .mwp OUTPUT is "
                        "refused.",
                    kHelpWidth) +
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
        return text;
    }();
    return usage;
}

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedOptions options =
        ParseOptions(args, {"--objects", "--scale", "--pose"}, {"--type-names", "--verbose"});
    if (options.help) {
        out << ExportUsage();
        return kExitDone;
    }
    if (!options.error.empty() || options.positionals.size() != 2) {
        err << "mwbatch export: "
            << (options.error.empty() ? "give a project file and an output file" : options.error) << "\n"
            << "Usage: mwbatch export [--objects DIR] [--type-names] [--scale METRES_PER_UNIT] [--pose NAME|FILE]\n"
               "                      [--verbose] PROJECT.mwp OUTPUT (--help for more)\n";
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
        err << "mwbatch export: " << outputPath << ": the output must end in " << ExportOutputs() << "\n";
        return kExitUsage;
    }
    if (asProject && options.values.count("--pose") != 0) {
        err << "mwbatch export: --pose " << options.Value("--pose")
            << ": a project file holds no pose; write a mesh (" << ListOf(MeshExtensions(), "or") << ")\n";
        return kExitUsage;
    }
    // A pose file is read before the project: what is wrong with it is a
    // wrong command line.
    PoseOption pose;
    std::string problem;
    if (!ReadPoseOption(options, pose, problem)) {
        err << "mwbatch export: " << problem << "\n";
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
        settings.typeNames = options.Has("--type-names");
        PosedFigure posed(creature, FigurePose(pose, creature));
        settings.pose = posed.PoseForMesh(*mesh);
        written = mesh->write(posed.ForMesh(*mesh), outputPath, messages, settings);
        if (written && options.Has("--verbose")) {
            err << outputPath << ": " << cleanup.droppedTriangles << " triangles without area left out, "
                << cleanup.mergedPoints << " coincident points merged\n";
        }
    }
    // Written without a part the project names: a script must know.
    return written && missing == 0 ? kExitDone : kExitFailed;
}

}  // namespace cli
