// mwbatch random: figures in bulk as the "Random Creature" button makes
// them, each from a seed of its own, written as project files, meshes and
// pictures.
#include <sched.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <thread>

#include "cli/batch_setup.h"
#include "cli/command.h"
#include "cli/help_text.h"
#include "cli/manifest.h"
#include "cli/options.h"
#include "cli/pose_option.h"
#include "cli/progress_line.h"
#include "cli/random_batch.h"
#include "formats/atomic_file.h"
#include "formats/c_number.h"
#include "formats/mesh_exports.h"
#include "model/part_types.h"
#include "text/list_order.h"

namespace cli {

namespace {

// The lines of the help that name the formats keep to this width.
constexpr std::size_t kHelpWidth = 77;

// The names --formats takes, in writing order, joined by `separator`.
std::string FormatNames(const std::string& separator) {
    std::string names;
    for (FigureFormat f : FigureFormats()) names += (names.empty() ? "" : separator) + NameOf(f);
    return names;
}

// A line or two of the help for each mesh export's figure-<seed> file.
std::string MeshRows() {
    std::string rows;
    for (const formats::MeshExport& mesh : formats::kMeshExports) {
        rows += Wrapped("  " + std::string(mesh.extension + 1) + "  ", mesh.figureHelp, kHelpWidth);
    }
    return rows;
}

// The mask's labels, "1 Head, 2 Left hand, ..., 22 Neck".
std::string LabelLegend() {
    std::vector<std::string> labels;
    for (int type = 0; type < model::kPartTypeCount; ++type) {
        labels.push_back(std::to_string(type + 1) + std::string(formats::kNoBreak) +
                         std::string(model::partTypeNames[static_cast<std::size_t>(type)]));
    }
    return ListOf(labels, "and");
}

// The help's rows of the labels drawn with the picture.
std::string LabelRows() {
    const std::string lead(13, ' ');
    return Wrapped("  mask       ",
                   "figure-<seed>.mask.png, 8-bit grey: each pixel the label of the part it shows, its type id + 1 "
                   "(" + LabelLegend() + ", as manifest.jsonl's \"mask_legend\" says), 0 for the background",
                   kHelpWidth) +
           Wrapped("  depth      ",
                   "figure-<seed>.depth.png, 16-bit grey: each pixel the distance of the surface it shows from the "
                   "camera along the view axis, in steps of " + formats::FormatFixed(kDepthUnit).substr(0, 6) +
                       " object units (manifest.jsonl's \"depth_unit\"; 65535 steps reach 6.5), 0 for the "
                       "background",
                   kHelpWidth) +
           Wrapped("  keypoints  ",
                   "figure-<seed>.keypoints.json: \"joints\", one per part of the skeleton, parents first, each "
                   "with \"name\", \"parent\" (null for a root), \"position\" (model space, posed), "
                   "\"camera_position\" (eye space: view * position), \"pixel\" [u, v] (from the top left, "
                   "u = (x_ndc + 1) / 2 * width, v = (1 - y_ndc) / 2 * height; null behind the camera), "
                   "\"in_picture\" and \"visible\" (in the picture, and the surface at its pixel is its part or "
                   "its parent's at most twice its seam's reach in front of it, or any surface within 2\u00a0% of the "
                   "figure's height of its depth); \"camera\" with \"width\", \"height\", \"view\" and "
                   "\"projection\" (16 numbers each, row-major: clip = projection * view * [x, y, z, 1]), "
                   "\"fx\", \"fy\", \"cx\", \"cy\" (pixels); \"figure\" with its \"parts\" (\"type\", "
                   "\"file\" in the library), \"factors\" (per part as the project file keeps them: "
                   "\"lock_modes\", \"factors\" and \"bar_positions\" by lock mode and axis, \"steps\") and "
                   "\"pose\" (joint name to quaternion [x, y, z, w], the turned joints only)",
                   kHelpWidth);
}

// The formats that are given the posed figure: the mesh exports that are
// not rigged, and the picture.
std::vector<std::string> PosedMeshesAndPng() {
    std::vector<std::string> names = RiggedExtensions(false, false);
    names.push_back("png");
    return names;
}

}  // namespace

const std::string& RandomUsage() {
    static const std::string usage =
        "Usage: mwbatch random --count N --seed S --out DIR [--objects DIR] [--formats LIST]\n"
        "                      [--deform AMOUNT] [--symmetric] [--jobs J] [--scale METRES_PER_UNIT]\n"
        "                      [--png-compression fast|small] [--pose NAME|FILE] [--pose-jitter DEG]\n"
        "                      [--camera-jitter DEG] [--background-jitter] [--verbose] [--quiet]\n"
        "\n"
        "Makes N random figures as the \"Random Creature\" button does: every part gets\n"
        "one object file of its folder in the object library, picked at random, never\n"
        "\" (none) \"; a part whose folder holds no object file is left out. Figure i of\n"
        "the run is made from seed S + i alone, so a seed gives the same figure on every\n"
        "machine, with any --jobs, in any run that includes it.\n"
        "\n"
        "Each figure is written into DIR as figure-<seed>.<ext> in every format asked for:\n"
        "  mwp  the project file; \"Load Project\" brings back this very figure, in its\n"
        "       rest pose (a project holds no pose)\n" +
        MeshRows() +
        "  png  a picture as the view shows the figure at start-up, in mw.cfg's colours\n"
        "and the labels for training, drawn with the picture from the same camera (one\n"
        "drawing, also without png):\n" +
        LabelRows() +
        "A file is replaced only once it was written completely; temporary files that\n"
        "an earlier run of these seeds left behind (killed outright) are removed.\n"
        "\n" +
        Wrapped("", std::string("A run that writes mask, depth or keypoints also writes DIR/") + kManifestName +
                    ": one JSON line per figure written, in seed order whatever --jobs is: \"seed\", \"files\" "
                    "(format name to file name), with depth \"depth_unit\" (units per step), with mask "
                    "\"mask_legend\" (label to part name). Each line stands on its own and depends on its seed and "
                    "the formats alone. The file is written when the run ends, replacing the old one only once "
                    "complete: an interrupted run leaves the manifest of the figures it finished (one stopped at "
                    "once by a second signal leaves none, or the earlier run's). It lists this run's figures only: "
                    "give each seed range of a split run its own DIR; their manifests, put one after the other in "
                    "seed order, are the manifest of the whole run.",
                kHelpWidth) +
        "\n"
        "Options:\n"
        "  --count N        the number of figures, 1 or more\n"
        "  --seed S         the first figure's seed, 0 to 4294967295 (the generator\n"
        "                   takes 32 bits); the last seed, S + N - 1, may not pass it\n"
        "  --out DIR        where the files go: a writable directory, made (with the\n"
        "                   directories above it) when it is missing\n"
        "  --objects DIR    the object library (default: ObjectDir of mw.cfg, as\n"
        "                   \"mwbatch --help\" says)\n" +
        Wrapped("  --formats LIST   ", "the formats, separated by commas: " + FormatNames(", ") + " (default: mwp)",
                kHelpWidth) +
        "  --deform AMOUNT  also give every part random build factors along X, Y and Z\n"
        "                   (lock mode None), as the \"Edit BodyParts\" page would;\n"
        "                   AMOUNT, 0 to 100, is the largest relative change of a\n"
        "                   part's size. The head, eyes, ears, nose and mouth keep\n"
        "                   their files' shapes (their variety is the library's) and\n"
        "                   move with the neck. Factors\n"
        "                   scale a part about the model's origin, which would move it\n"
        "                   too: a deformed figure is put together hands and feet first,\n"
        "                   the upper body last, so that every part is pulled back onto\n"
        "                   the seam of the part it hangs from. Up to 0.3 faces stay on\n"
        "                   their heads and limbs attached (bigger amounts bulge seams)\n"
        "  --symmetric      right parts as their left parts: the file of the same name\n"
        "                   when the right folder has one (letter case aside) and, with\n"
        "                   --deform, the same factors, so that eyes, ears, hands and\n"
        "                   feet match; a right part without such a file keeps its own\n"
        "                   pick and factors. The seeds' draws are the same either way\n" +
        PoseOptionHelp("  --pose NAME|FILE ", kHelpWidth) +
        Wrapped(std::string(19, ' '),
                ListOf(RiggedExtensions(true, false), "and") +
                    (RiggedExtensions(true, false).size() == 1 ? " keeps" : " keep") +
                    " the rest mesh with its skeleton and skin and sets the joints' rotations; " +
                    ListOf(PosedMeshesAndPng(), "and") + " get the posed figure; mwp keeps the rest figure.",
                kHelpWidth) +
        "  --pose-jitter DEG\n" +
        Wrapped(std::string(19, ' '),
                "turns every joint of every figure by random angles within DEG degrees (0 to 180) either way "
                "about X, Y and Z, held to how far the joint turns naturally (elbows and knees bend one way "
                "only, the head turns less than the shoulders, nose, mouth and ears stay). They are drawn from the "
                "figure's seed after its parts and factors, so a seed keeps its figure and gets the same "
                "turns with any --jobs and in any split of the seeds. With --pose, each joint's random turn "
                "comes after its pose's turn, about the same rest axes; the limits hold the random turn, not "
                "the sum.",
                kHelpWidth) +
        "  --camera-jitter DEG\n" +
        Wrapped(std::string(19, ' '),
                "turns the camera of every figure's picture and labels by a random yaw and pitch within DEG "
                "degrees (0 to 90) either way and zooms it out to " + formats::FormatFixed(kCameraZoomLow).substr(0, 3) +
                    " to " + formats::FormatFixed(kCameraZoomHigh).substr(0, 4) +
                    " of the picture's zoom, so that the figure stays in the picture (0 jitters the zoom alone). "
                    "Drawn from the figure's seed after its "
                    "parts, factors and pose, so a seed keeps its figure and pose with and without it.",
                kHelpWidth) +
        "  --background-jitter\n" +
        Wrapped(std::string(19, ' '),
                "a random background colour for every figure's picture, drawn from its seed last (after the "
                "camera's jitter).",
                kHelpWidth) +
        "  --scale METRES_PER_UNIT\n" +
        Wrapped(std::string(19, ' '),
                "the size of one object unit in metres for " + ListOf(PlacedExtensions(false), "and"), kHelpWidth) +
        "                   (default: MetresPerUnit of the library's library.cfg, else 1)\n"
        "  --png-compression fast|small\n"
        "                   how png pictures are encoded: fast (the default), or\n"
        "                   small, about a tenth smaller and several times slower;\n"
        "                   the pixels are the same either way\n" +
        Wrapped("  --verbose        ",
                "a line per " + ListOf(PlacedExtensions(false), "and") +
                    " file saying how many triangles without area and coincident points were left out",
                kHelpWidth) +
        "  --jobs J         figures made at once, 1 to 1024 (default: the cores this\n"
        "                   process may use); the files are the same whatever J is\n"
        "  --quiet          no progress line, no summary\n"
        "  -h, --help       this text\n"
        "\n"
        "Splitting a big run: seeds S to S + N - 1 give the same files whether they are\n"
        "made in one run or in several, so give each task its own seed range and the\n"
        "same output directory. 100 000 figures as 100 tasks of a Slurm job array, task\n"
        "k making seeds k * 1000 to k * 1000 + 999:\n"
        "  #SBATCH --array=0-99 --cpus-per-task=4\n"
        "  mwbatch random --objects ~/objects --out ~/figures --formats mwp,png \\\n"
        "      --seed $((SLURM_ARRAY_TASK_ID * 1000)) --count 1000 \\\n"
        "      --jobs \"$SLURM_CPUS_PER_TASK\" --quiet\n"
        "A failed task is run again with the same options and replaces its files.\n"
        "\n"
        "Every message the program would show in a box goes to standard error as one\n"
        "line, \"figure-<seed>: caption: text\" (\"figure-<seed>.<ext>: ...\" for a file),\n"
        "in seed order; a figure whose part could not be loaded (its file missing or\n"
        "refused) is written without it, as the program would show it, but counts as\n"
        "failed; a part whose folder holds no object file is simply left out. On a\n"
        "terminal a run longer than a second shows a progress line there (figures done,\n"
        "rate, time left); a summary goes to standard output. A figure counts as\n"
        "written only when every format asked for was written. Exit status: 0 when\n"
        "every figure was written, 1 when one was not (or was written without a part)\n"
        "or nothing could start (no object library, an output directory that cannot be\n"
        "made or written), 2 for a wrong command line (N below 1 too), 130 or 143 when\n"
        "interrupted (the figures under way are finished, no further one is started).\n"
        "\n"
        "Examples:\n"
        "  mwbatch random --objects ~/objects --count 20 --seed 1 --formats mwp,png \\\n"
        "      --deform 0.3 --symmetric --out out\n"
        "  mwbatch random --count 1000 --seed 0 --formats png,mask,depth,keypoints \\\n"
        "      --pose-jitter 25 --camera-jitter 30 --out data\n";
    return usage;
}

namespace {

const std::string& ShortUsage() {
    static const std::string usage =
        "Usage: mwbatch random --count N --seed S --out DIR [--objects DIR] [--formats LIST]\n"
        "                      [--deform AMOUNT] [--symmetric] [--jobs J] [--scale METRES_PER_UNIT] [--verbose]\n"
        "                      [--png-compression fast|small] [--pose NAME|FILE] [--pose-jitter DEG]\n"
        "                      [--camera-jitter DEG] [--background-jitter] [--quiet]\n"
        "                      (--help for more)\n";
    return usage;
}

constexpr std::uint64_t kLastSeed = std::numeric_limits<std::uint32_t>::max();
constexpr int kMaxJobs = 1024;
constexpr double kMaxDeform = 100;
constexpr double kMaxPoseJitter = 180;
constexpr double kMaxCameraJitter = 90;

// The whole text as one number of type T, or false.
template <typename T>
bool ParseWhole(const std::string& text, T& value) {
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    return !text.empty() && ec == std::errc() && stop == end;
}

bool ParseFormats(const std::string& text, std::vector<FigureFormat>& formats, std::string& unknown) {
    formats.clear();
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        bool known = false;
        for (FigureFormat f : FigureFormats()) {
            if (text::CompareIgnoringCase(name, NameOf(f)) != 0) continue;
            known = true;
            bool listed = false;
            for (FigureFormat g : formats) listed = listed || g == f;
            if (!listed) formats.push_back(f);
        }
        if (!known) {
            unknown = name;
            return false;
        }
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

// False, with the reason, when no file can be created in `dir`: tried with
// a file of our own, so that permissions, read-only mounts and the like all
// count, before any figure is made.
bool CanWriteInto(const std::string& dir, std::string& reason) {
    std::error_code ec;
    if (std::filesystem::exists(dir, ec) && !std::filesystem::is_directory(dir, ec)) {
        reason = "not a directory";
        return false;
    }
    // A missing folder is made, with the folders above it.
    if (!std::filesystem::is_directory(dir, ec) && !std::filesystem::create_directories(dir, ec)) {
        reason = "cannot be created (" + ec.message() + ")";
        return false;
    }
    std::string probe = (std::filesystem::path(dir) / ".mwbatch-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) {
        reason = std::string("cannot write into it (") + std::strerror(errno) + ")";
        return false;
    }
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// The cores this process may run on: a batch scheduler's share of the
// machine, not the whole of it.
int UsableCores() {
    cpu_set_t set;
    if (::sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return CPU_COUNT(&set);
    const unsigned cores = std::thread::hardware_concurrency();
    return cores == 0 ? 1 : static_cast<int>(cores);
}

// Removes what a run of these seeds killed before it could clean up left:
// the temporaries of figure-<seed>.<ext> (and .mtl) for a seed in the range,
// never another run's (another task of a split run has other seeds).
void RemoveStaleTemporaries(const std::string& dir, std::uint64_t firstSeed, std::uint64_t lastSeed) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        const std::size_t temporary = name.rfind(".tmp-");
        if (name.rfind("figure-", 0) != 0 || temporary == std::string::npos) continue;
        std::uint64_t seed = 0;
        const char* digits = name.data() + 7;
        const auto [end, error] = std::from_chars(digits, name.data() + name.size(), seed);
        if (error != std::errc() || *end != '.' || seed < firstSeed || seed > lastSeed) continue;
        std::filesystem::remove(entry.path(), ec);
    }
}

int UsageError(std::ostream& err, const std::string& what) {
    err << "mwbatch random: " << what << "\n" << ShortUsage();
    return kExitUsage;
}

}  // namespace

namespace {

// Syncs the file system holding `dir`; false when that failed.
bool SyncFileSystemOf(const std::string& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
}

}  // namespace

int RunRandom(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const ParsedOptions options = ParseOptions(
        args, {"--objects", "--count", "--seed", "--out", "--formats", "--deform", "--jobs", "--scale",
               "--png-compression", "--pose", "--pose-jitter", "--camera-jitter"},
        {"--quiet", "--verbose", "--symmetric", "--background-jitter"});
    if (options.help) {
        out << RandomUsage();
        return kExitDone;
    }
    if (!options.error.empty()) return UsageError(err, options.error);
    if (!options.positionals.empty()) return UsageError(err, "unexpected argument \"" + options.positionals[0] + "\"");
    for (const char* required : {"--count", "--seed", "--out"}) {
        if (options.values.count(required) == 0) return UsageError(err, std::string("give ") + required);
    }

    RandomBatch batch;
    std::int64_t count = 0;
    if (!ParseWhole(options.Value("--count"), count)) {
        return UsageError(err, "--count " + options.Value("--count") + ": not a whole number");
    }
    if (count < 1) return UsageError(err, "--count " + options.Value("--count") + ": make at least one figure");
    std::uint64_t seed = 0;
    if (!ParseWhole(options.Value("--seed"), seed) || seed > kLastSeed) {
        return UsageError(err, "--seed " + options.Value("--seed") + ": not a seed from 0 to 4294967295");
    }
    if (count > 0 && static_cast<std::uint64_t>(count) - 1 > kLastSeed - seed) {
        return UsageError(err, "--seed " + std::to_string(seed) + " with --count " + std::to_string(count) +
                                   ": the last seed would pass 4294967295");
    }
    std::string unknown;
    if (!ParseFormats(options.Value("--formats", "mwp"), batch.formats, unknown)) {
        return UsageError(err, "--formats: unknown format \"" + unknown + "\" (" + FormatNames(", ") + ")");
    }
    if (options.values.count("--deform") != 0) {
        batch.deform = true;
        const std::string text = options.Value("--deform");
        if (!ParseWhole(text, batch.deformAmount) || !(batch.deformAmount >= 0 && batch.deformAmount <= kMaxDeform)) {
            return UsageError(err, "--deform " + text + ": not an amount from 0 to 100");
        }
    }
    batch.jobs = std::min(UsableCores(), kMaxJobs);
    if (options.values.count("--jobs") != 0 &&
        (!ParseWhole(options.Value("--jobs"), batch.jobs) || batch.jobs < 1 || batch.jobs > kMaxJobs)) {
        return UsageError(err, "--jobs " + options.Value("--jobs") + ": not a number from 1 to 1024");
    }

    double scale = 0;
    if (!ParseScale(options, scale)) {
        return UsageError(err, "--scale " + options.Value("--scale") + ": not a size in metres above 0");
    }
    if (options.values.count("--png-compression") != 0 &&
        !ParsePngCompression(options.Value("--png-compression"), batch.pngCompression)) {
        return UsageError(err, "--png-compression " + options.Value("--png-compression") + ": fast or small");
    }
    if (options.values.count("--pose-jitter") != 0) {
        const std::string text = options.Value("--pose-jitter");
        double degrees = 0;
        if (!ParseWhole(text, degrees) || !(degrees >= 0 && degrees <= kMaxPoseJitter)) {
            return UsageError(err, "--pose-jitter " + text + ": not an angle from 0 to 180 degrees");
        }
        batch.poseJitter = degrees;
    }
    if (options.values.count("--camera-jitter") != 0) {
        const std::string text = options.Value("--camera-jitter");
        double degrees = 0;
        if (!ParseWhole(text, degrees) || !(degrees >= 0 && degrees <= kMaxCameraJitter)) {
            return UsageError(err, "--camera-jitter " + text + ": not an angle from 0 to 90 degrees");
        }
        batch.cameraJitter = degrees;
    }
    batch.backgroundJitter = options.Has("--background-jitter");
    batch.verbose = options.Has("--verbose");
    batch.symmetric = options.Has("--symmetric");
    // A pose file is read once, before any figure is made; what is wrong
    // with it is a wrong command line, told in one line.
    std::string problem;
    if (!ReadPoseOption(options, batch.pose, problem)) {
        err << "mwbatch random: " << problem << "\n";
        return kExitUsage;
    }

    // Nothing is written before everything the run needs has been found.
    batch.count = static_cast<std::uint64_t>(count);
    batch.firstSeed = static_cast<std::uint32_t>(seed);
    if (!ResolveObjectDir(options, "random", err, batch.objectDir)) return kExitFailed;
    formats::ExportSettings unit;
    bool placed = false;
    for (FigureFormat f : batch.formats) {
        placed = placed || (f.mesh != nullptr && f.mesh->placed);
    }
    if (placed && !ResolveUnit(scale, batch.objectDir, "random", err, unit)) return kExitFailed;
    batch.metresPerUnit = unit.metresPerUnit;
    const ObjectLists lists = ReadObjectLists(batch.objectDir);
    bool anyFile = false;
    for (const auto& files : lists) anyFile = anyFile || !files.empty();
    if (!anyFile) {
        err << "mwbatch random: " << batch.objectDir << ": no object files (*.mwo) in its part folders\n";
        return kExitFailed;
    }
    batch.outDir = options.Value("--out");
    std::string reason;
    if (!CanWriteInto(batch.outDir, reason)) {
        err << "mwbatch random: " << batch.outDir << ": " << reason << "\n";
        return kExitFailed;
    }
    RemoveStaleTemporaries(batch.outDir, batch.firstSeed, batch.firstSeed + batch.count - 1);
    const formats::ConfigValues config = ConfiguredValues();
    for (int c = 0; c < 3; ++c) {
        batch.render.view.backgroundColor[c] = config.backgroundColor[c];
        batch.render.view.wireColor[c] = config.wireColor[c];
    }

    const bool quiet = options.Has("--quiet");
    // Only the program's own standard error can be a terminal.
    const bool terminal = &err == &std::cerr && ::isatty(STDERR_FILENO) == 1;
    ProgressLine progress(err, batch.count, terminal && !quiet);
    // Thousands of small files: one sync of the file system at the end
    // instead of one per file; the run counts as done only after it.
    formats::SetSyncEachFile(false);
    BatchResult result = RunRandomBatch(batch, lists, err, progress);
    formats::SetSyncEachFile(true);
    // The manifest lists the figures written, also when the run was
    // interrupted, and is synced with them.
    bool indexed = true;
    if (WritesManifest(batch)) {
        std::string why;
        indexed = WriteManifest(batch, result.writtenSeeds, why);
        if (!indexed) err << "mwbatch random: " << (std::filesystem::path(batch.outDir) / kManifestName).string() << ": " << why << "\n";
    }
    // The figures written stay counted as written; the run still fails.
    const bool synced = SyncFileSystemOf(batch.outDir);
    if (!synced) err << "mwbatch random: " << batch.outDir << ": the files could not be synced to the disk\n";

    if (!quiet) {
        const std::uint64_t lastSeed = seed + batch.count - 1;
        char timing[96];
        std::snprintf(timing, sizeof timing, " in %.1f s, %.1f figures/s", result.seconds,
                      result.seconds > 0 ? static_cast<double>(batch.count) / result.seconds : 0.0);
        out << "mwbatch random: " << (result.interrupted ? "interrupted: " : "");
        if (result.failed == 0 && !result.interrupted) {
            out << result.written << (result.written == 1 ? " figure" : " figures");
        } else {
            out << result.written << " of " << batch.count << " figures";
            if (result.failed != 0) out << " (" << result.failed << " failed)";
        }
        out << " written into " << batch.outDir << ", seeds " << seed << " to " << lastSeed << timing << "\n";
    }
    return result.failed == 0 && synced && indexed ? kExitDone : kExitFailed;
}

}  // namespace cli
