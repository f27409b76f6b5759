// mwbatch thumbnail: a small square picture of a project's figure for file
// managers, called the way desktop thumbnailers are ("-s %s %u %o"): the
// input may be a file:// URI, the output is a PNG, and nothing is written
// to standard output.
#include <charconv>
#include <filesystem>
#include <ostream>

#include "cli/batch_setup.h"
#include "cli/command.h"
#include "cli/figure_render.h"
#include "cli/options.h"
#include "cli/stream_sink.h"
#include "formats/user_paths.h"
#include "model/creature.h"
#include "ui/message_sink.h"

namespace cli {

namespace {

constexpr int kLargestThumbnail = 1024;
// A mid-light grey: neither the skin nor the wire colours, and calm on a
// light or a dark file manager alike.
constexpr float kThumbnailBackground = 0.75f;

constexpr const char* kShortUsage =
    "Usage: mwbatch thumbnail [--objects DIR] -s SIZE PROJECT.mwp|URI OUT.png\n"
    "       (--help for more)\n";

bool ParseThumbnailSize(const std::string& text, int& size) {
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, size);
    return !text.empty() && ec == std::errc() && stop == end && size >= 1 && size <= kLargestThumbnail;
}

}  // namespace

const std::string& ThumbnailUsage() {
    static const std::string usage =
        "Usage: mwbatch thumbnail [--objects DIR] -s SIZE PROJECT.mwp|URI OUT.png\n"
        "\n"
        "Draws the figure of a project file as the view shows it right after start-up,\n"
        "on a neutral grey, into a SIZE x SIZE 8-bit RGB PNG: a thumbnailer for file\n"
        "managers (Exec=mwbatch thumbnail -s %s %u %o). The project may be given as a\n"
        "path or as a file:// URI. Parts whose files cannot be found are left out;\n"
        "nothing is written to standard output.\n"
        "\n"
        "Options:\n"
        "  -s, --size SIZE   the thumbnail's width and height in pixels, 1 to 1024\n"
        "  --objects DIR     the object library (default: ObjectDir of mw.cfg, as\n"
        "                    \"mwbatch --help\" says)\n"
        "  -h, --help        this text\n"
        "\n"
        "Exit status: 0 when OUT.png was written, 1 when it was not (no project file,\n"
        "no part of it could be loaded, no picture could be made), 2 for a wrong\n"
        "command line.\n";
    return usage;
}

int RunThumbnail(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ParsedOptions options = ParseOptions(args, {"-s", "--size", "--objects"}, {});
    if (options.help) {
        out << ThumbnailUsage();
        return kExitDone;
    }
    std::string problem = options.error;
    const std::string sizeText = options.Value("-s", options.Value("--size"));
    int size = 0;
    if (problem.empty() && options.positionals.size() != 2) {
        problem = "give a project file and an output file";
    } else if (problem.empty() && options.values.count("-s") + options.values.count("--size") != 1) {
        problem = "give the size once, as -s SIZE";
    } else if (problem.empty() && !ParseThumbnailSize(sizeText, size)) {
        problem = "-s " + sizeText + ": the size is 1 to 1024 pixels";
    }
    if (!problem.empty()) {
        err << "mwbatch thumbnail: " << problem << "\n" << kShortUsage;
        return kExitUsage;
    }
    const std::string& input = options.positionals[0];
    const std::string& outputPath = options.positionals[1];
    std::string projectPath;
    if (!formats::PathFromArgument(input, projectPath)) {
        err << "mwbatch thumbnail: " << input << ": not a file's path or file:// URI\n";
        return kExitFailed;
    }

    const int largest = MaxRenderSize();
    if (largest == 0) {
        err << "mwbatch thumbnail: no off-screen OpenGL context could be made\n";
        return kExitFailed;
    }
    if (size > largest) size = largest;

    std::string objectDir;
    if (!ResolveObjectDir(options, "thumbnail", err, objectDir)) return kExitFailed;

    // The parts' own messages would be boxes in the program; here one line
    // says how many were left out.
    StreamSink failures(err);
    ui::SilentSink silence;
    model::Creature creature(silence);
    int missing = 0;
    if (!LoadProjectFigure(projectPath, objectDir, creature, failures, &missing)) return kExitFailed;
    if (creature.parts.Count() == 0) {
        err << "mwbatch thumbnail: " << projectPath << ": no part could be loaded, nothing written\n";
        return kExitFailed;
    }
    if (missing > 0) {
        err << "mwbatch thumbnail: " << projectPath << ": left out " << missing
            << (missing == 1 ? " part" : " parts") << " that could not be loaded\n";
    }

    RenderSettings settings;
    settings.width = size;
    settings.height = size;
    for (float& c : settings.view.backgroundColor) c = kThumbnailBackground;
    Picture picture;
    std::string error;
    if (!RenderPicture(creature, settings, picture, error)) {
        err << "mwbatch thumbnail: " << error << "\n";
        return kExitFailed;
    }
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(outputPath).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    if (!WritePng(picture, outputPath)) {
        err << "mwbatch thumbnail: " << outputPath << ": could not be written\n";
        return kExitFailed;
    }
    return kExitDone;
}

}  // namespace cli
