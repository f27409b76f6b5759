// mwbatch render: a project file as a PNG picture, drawn by the view's own
// drawing code in an off-screen context, with the view's size, camera and
// colours unless the command line says otherwise.
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <ostream>
#include <string_view>
#include <tuple>

#include "cli/batch_setup.h"
#include "cli/command.h"
#include "cli/figure_render.h"
#include "cli/help_text.h"
#include "cli/keypoints.h"
#include "cli/options.h"
#include "cli/pose_option.h"
#include "cli/stream_sink.h"
#include "formats/project_file.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "text/list_order.h"

namespace cli {

namespace {

// The lines of the help that are put together keep to this width.
constexpr std::size_t kHelpWidth = 77;

}  // namespace

const std::string& RenderUsage() {
    static const std::string usage =
        "Usage: mwbatch render [OPTIONS] PROJECT.mwp OUT.png\n"
        "\n"
        "Loads PROJECT.mwp as \"Load Project\" does and draws the figure as the view\n"
        "shows it right after start-up (smooth shading, not turned, zoom 1.1, the\n"
        "colours of mw.cfg), into an 8-bit RGB PNG. OUT.png is replaced only when\n"
        "it was written completely.\n"
        "\n"
        "Options:\n"
        "  --objects DIR         the object library (default: ObjectDir of mw.cfg, as\n"
        "                        \"mwbatch --help\" says)\n"
        "  --size WxH            the picture's size in pixels, e.g. 800x600 (default:\n"
        "                        the view's size, 547x557)\n"
        "  --mode MODE           smooth, flat or wire, as the shading buttons (default\n"
        "                        smooth)\n"
        "  --yaw DEG             turns the figure about the vertical axis, in degrees,\n"
        "                        as dragging to the left does for a positive angle\n"
        "  --pitch DEG           tilts it about the horizontal axis, as dragging up\n"
        "                        does for a positive angle\n"
        "  --zoom Z              the view's zoom, above 0 and at most 1000 (default 1.1;\n"
        "                        larger is nearer)\n"
        "  --background R,G,B    the background colour, each part 0 to 1, e.g.\n"
        "                        0.2,0.4,0.6 (default: BgColor of mw.cfg)\n"
        "  --wire R,G,B          the colour of wire mode's lines (default: WireColor\n"
        "                        of mw.cfg)\n"
        "  --select PART         outlines that part in yellow (in wire mode: draws it\n"
        "                        yellow), as the \"Edit BodyParts\" page does; the part's\n"
        "                        name in any case, e.g. \"upper body\"\n"
        "  --png-compression fast|small\n"
        "                        how the picture is encoded: fast (the default), or\n"
        "                        small, about a tenth smaller and several times\n"
        "                        slower; the pixels are the same either way\n" +
        PoseOptionHelp("  --pose NAME|FILE      ", kHelpWidth) +
        Wrapped("  --mask FILE.png       ",
                "also the labels of the picture, drawn with it from the same camera: an 8-bit grey PNG, each "
                "pixel the label of the part it shows (its type id + 1, as mwbatch random --help lists them), 0 "
                "for the background",
                kHelpWidth) +
        Wrapped("  --depth FILE.png      ",
                "a 16-bit grey PNG, each pixel the distance of the surface it shows from the camera along the "
                "view axis in steps of 0.0001 object units, 0 for the background",
                kHelpWidth) +
        Wrapped("  --keypoints FILE.json ",
                "the figure's joints where the picture shows them (model and eye space, pixel, in the picture, "
                "visible), the camera's matrices and intrinsics, the parts, their factors and the pose, as "
                "mwbatch random --help describes its keypoints files",
                kHelpWidth) +
        "  --quiet               writes only why the picture was not made: no line\n"
        "                        when it was, no message about parts that could not\n"
        "                        be loaded\n"
        "  -h, --help            this text\n"
        "\n"
        "Every message the program would show in a box goes to standard error as one\n"
        "line, \"caption: text\". Exit status: 0 when OUT.png (and every label asked\n"
        "for) was written, 1 when it was written without a part the project names (its\n"
        "file missing or refused) or something was not written, 2 for a wrong command\n"
        "line (an OUT.png, mask or depth not ending in .png or keypoints in .json too).\n"
        "\n"
        "Example:\n"
        "  mwbatch render --size 1024x1024 --yaw 30 --select head hero.mwp hero.png\n"
        "  mwbatch render --pose t-pose hero.mwp hero-t.png\n"
        "  mwbatch render --yaw 30 --mask hero.mask.png --depth hero.depth.png \\\n"
        "      --keypoints hero.keypoints.json hero.mwp hero.png\n";
    return usage;
}

namespace {

constexpr const char* kShortUsage =
    "Usage: mwbatch render [--objects DIR] [--size WxH] [--mode smooth|flat|wire] [--yaw DEG]\n"
    "       [--pitch DEG] [--zoom Z] [--background R,G,B] [--wire R,G,B] [--select PART]\n"
    "       [--png-compression fast|small] [--pose NAME|FILE] [--mask FILE.png] [--depth FILE.png]\n"
    "       [--keypoints FILE.json] [--quiet] PROJECT.mwp OUT.png\n"
    "       (--help for more)\n";

constexpr double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
constexpr double kMaxZoom = 1000;

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

// A finite number and nothing else.
bool ParseNumber(std::string_view text, double& value) {
    text = Trimmed(text);
    const char* end = text.data() + text.size();
    auto [stop, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && stop == end && std::isfinite(value);
}

// Digits only; a number too large for an int reads as the largest int, which
// no picture size reaches.
bool ParseDimension(std::string_view text, int& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return false;
    constexpr int kLargest = std::numeric_limits<int>::max();
    unsigned long long number = 0;
    const bool fits = std::from_chars(text.data(), text.data() + text.size(), number).ec == std::errc();
    value = fits && number < static_cast<unsigned long long>(kLargest) ? static_cast<int>(number) : kLargest;
    return true;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find_first_of("xX");
    return x != std::string_view::npos && ParseDimension(text.substr(0, x), width) &&
           ParseDimension(text.substr(x + 1), height);
}

bool ParseColour(std::string_view text, float colour[3]) {
    for (int c = 0; c < 3; ++c) {
        const std::size_t comma = c < 2 ? text.find(',') : text.size();
        if (comma == std::string_view::npos) return false;
        double value = 0;
        if (!ParseNumber(text.substr(0, comma), value) || value < 0 || value > 1) return false;
        colour[c] = static_cast<float>(value);
        text.remove_prefix(c < 2 ? comma + 1 : comma);
    }
    return true;
}

int ModeOf(const std::string& name) {
    const char* const names[] = {"smooth", "flat", "wire"};
    for (int mode = 0; mode < 3; ++mode) {
        if (text::CompareIgnoringCase(name, names[mode]) == 0) return mode;
    }
    return -1;
}

int PanelIndexOf(const std::string& name) {
    for (int index = 0; index < model::kPartTypeCount; ++index) {
        if (text::CompareIgnoringCase(name, std::string(model::panelOrder[index])) == 0) return index;
    }
    return -1;
}

// The settings the command line asks for on top of the program's start-up
// view; false with `problem` naming the option that was not understood.
bool ReadSettings(const ParsedOptions& options, RenderSettings& settings, std::string& problem) {
    const formats::ConfigValues config = ConfiguredValues();
    for (int c = 0; c < 3; ++c) {
        settings.view.backgroundColor[c] = config.backgroundColor[c];
        settings.view.wireColor[c] = config.wireColor[c];
    }
    settings.width = ViewPixelWidth();
    settings.height = ViewPixelHeight();
    for (const auto& [option, value] : options.values) {
        double number = 0;
        if (option == "--size") {
            if (!ParseSize(value, settings.width, settings.height)) {
                problem = "--size " + value + ": give the size as WIDTHxHEIGHT in pixels, e.g. 800x600";
                return false;
            }
        } else if (option == "--mode") {
            settings.view.drawMode = ModeOf(value);
            if (settings.view.drawMode < 0) {
                problem = "--mode " + value + ": the mode is smooth, flat or wire";
                return false;
            }
        } else if (option == "--yaw" || option == "--pitch" || option == "--zoom") {
            if (!ParseNumber(value, number)) {
                problem = option + " " + value + ": not a number";
                return false;
            }
            if (option == "--zoom") {
                if (!(number > 0 && number <= kMaxZoom)) {
                    problem = "--zoom " + value + ": the zoom is above 0 and at most 1000";
                    return false;
                }
                settings.view.zoom = static_cast<float>(number);
            } else {
                (option == "--yaw" ? settings.view.yaw : settings.view.pitch) = static_cast<float>(number * kRadiansPerDegree);
            }
        } else if (option == "--background" || option == "--wire") {
            if (!ParseColour(value, option == "--wire" ? settings.view.wireColor : settings.view.backgroundColor)) {
                problem = option + " " + value + ": give the colour as R,G,B, each from 0 to 1, e.g. 0.2,0.4,0.6";
                return false;
            }
        } else if (option == "--select") {
            settings.view.selectedPanel = PanelIndexOf(value);
            if (settings.view.selectedPanel < 0) {
                problem = "--select " + value + ": no such part; the parts are \"Head\", \"Neck\", \"Upper body\", ...";
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int RunRender(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedOptions options =
        ParseOptions(args,
                     {"--objects", "--size", "--mode", "--yaw", "--pitch", "--zoom", "--background", "--wire",
                      "--select", "--png-compression", "--pose", "--mask", "--depth", "--keypoints"},
                     {"--quiet"});
    if (options.help) {
        out << RenderUsage();
        return kExitDone;
    }
    RenderSettings settings;
    std::string problem;
    if (options.error.empty() && options.positionals.size() != 2) {
        problem = "give a project file and an output file";
    } else if (!options.error.empty()) {
        problem = options.error;
    }
    PngCompression compression = PngCompression::Fast;
    if (problem.empty() && options.values.count("--png-compression") != 0 &&
        !ParsePngCompression(options.Value("--png-compression"), compression)) {
        problem = "--png-compression " + options.Value("--png-compression") + ": fast or small";
    }
    if (!problem.empty() || !ReadSettings(options, settings, problem)) {
        err << "mwbatch render: " << problem << "\n" << kShortUsage;
        return kExitUsage;
    }
    const std::string& projectPath = options.positionals[0];
    const std::string& outputPath = options.positionals[1];
    const bool quiet = options.Has("--quiet");
    if (text::CompareIgnoringCase(std::filesystem::path(outputPath).extension().string(), ".png") != 0) {
        err << "mwbatch render: " << outputPath << ": the picture's name must end in .png\n" << kShortUsage;
        return kExitUsage;
    }
    const std::string maskPath = options.Value("--mask");
    const std::string depthPath = options.Value("--depth");
    const std::string keypointsPath = options.Value("--keypoints");
    for (const auto& [option, path, extension] : {std::tuple{"--mask", maskPath, ".png"},
                                                  std::tuple{"--depth", depthPath, ".png"},
                                                  std::tuple{"--keypoints", keypointsPath, ".json"}}) {
        if (options.values.count(option) == 0) continue;
        if (text::CompareIgnoringCase(std::filesystem::path(path).extension().string(), extension) != 0) {
            err << "mwbatch render: " << option << " " << path << ": the name must end in " << extension << "\n"
                << kShortUsage;
            return kExitUsage;
        }
    }
    // A pose file is read before the project: what is wrong with it is a
    // wrong command line.
    PoseOption pose;
    if (!ReadPoseOption(options, pose, problem)) {
        err << "mwbatch render: " << problem << "\n";
        return kExitUsage;
    }

    const int largest = MaxRenderSize();
    if (largest == 0) {
        err << "mwbatch render: no off-screen OpenGL context could be made\n";
        return kExitFailed;
    }
    if (settings.width < 1 || settings.height < 1 || settings.width > largest || settings.height > largest) {
        err << "mwbatch render: --size " << options.Value("--size") << ": width and height must be 1 to " << largest
            << "\n";
        return kExitFailed;
    }

    std::string objectDir;
    if (!ResolveObjectDir(options, "render", err, objectDir)) return kExitFailed;

    StreamSink failures(err);
    ui::SilentSink silence;
    ui::MessageSink& loadMessages = quiet ? static_cast<ui::MessageSink&>(silence) : failures;
    model::Creature creature(loadMessages);
    int missing = 0;
    if (!LoadProjectFigure(projectPath, objectDir, creature, failures, &missing)) return kExitFailed;
    if (creature.parts.Count() == 0) {
        err << "mwbatch render: " << projectPath << ": no part could be loaded, nothing written\n";
        return kExitFailed;
    }
    if (settings.view.selectedPanel >= 0 && !quiet &&
        creature.PartNamed(model::panelOrder[settings.view.selectedPanel]) == nullptr) {
        err << "mwbatch render: the figure has no \"" << model::panelOrder[settings.view.selectedPanel]
            << "\", nothing is highlighted\n";
    }

    Picture picture;
    std::string error;
    const model::Pose figurePose = FigurePose(pose, creature);
    PosedFigure posed(creature, figurePose);
    // The labels come from the same drawing as the picture; the keypoints
    // need both to tell which joints are seen.
    LabelRequest request;
    request.mask = !maskPath.empty() || !keypointsPath.empty();
    request.depth = !depthPath.empty() || !keypointsPath.empty();
    LabelPictures labels;
    const bool drawn = request.mask || request.depth
                           ? RenderPicture(posed.Posed(), settings, picture, request, labels, error)
                           : RenderPicture(posed.Posed(), settings, picture, error);
    if (!drawn) {
        err << "mwbatch render: " << error << "\n";
        return kExitFailed;
    }
    if (!WritePng(picture, outputPath, compression)) {
        err << "mwbatch render: " << outputPath << ": could not be written\n";
        return kExitFailed;
    }
    bool labelled = true;
    if (!maskPath.empty() && !WriteMaskPng(labels, maskPath, compression)) {
        err << "mwbatch render: " << maskPath << ": could not be written\n";
        labelled = false;
    }
    if (!depthPath.empty() && !WriteDepthPng(labels, depthPath, compression)) {
        err << "mwbatch render: " << depthPath << ": could not be written\n";
        labelled = false;
    }
    if (!keypointsPath.empty()) {
        const view::Camera camera = view::CameraOf(settings.view, picture.width, picture.height);
        if (!WriteTextFile(KeypointsJson(creature, figurePose, objectDir, camera, labels), keypointsPath, error)) {
            err << "mwbatch render: " << keypointsPath << ": " << error << "\n";
            labelled = false;
        }
    }
    if (!labelled) return kExitFailed;
    if (!quiet) {
        out << outputPath << ": " << picture.width << "x" << picture.height << ", " << creature.parts.Count()
            << (creature.parts.Count() == 1 ? " part\n" : " parts\n");
    }
    // Written, but without a part the project names: a script must know.
    return missing == 0 ? kExitDone : kExitFailed;
}

}  // namespace cli
