// A run of random figures: each figure made from its seed alone on its own
// creature, its files written, and the runs spread over worker threads
// while its messages are reported in seed order.
#pragma once

#include <cstdint>
#include <optional>
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/figure_render.h"
#include "cli/pose_option.h"
#include "cli/random_recipe.h"

namespace formats {
class ParsedParts;
struct MeshExport;
}

namespace cli {

class ProgressLine;

// A kind of file a figure is written as: its project file, one of the mesh
// exports, or its picture.
struct FigureFormat {
    enum class Kind { Project, Mesh, Png };
    Kind kind = Kind::Project;
    const formats::MeshExport* mesh = nullptr;  // the export table's row of a Mesh
    bool operator==(const FigureFormat&) const = default;
};

// Every format, in the order a figure's files are written: the project
// file, the mesh exports in the table's order, the picture.
const std::vector<FigureFormat>& FigureFormats();

struct RandomBatch {
    std::string objectDir;
    std::string outDir;
    std::uint32_t firstSeed = 0;
    std::uint64_t count = 0;  // seeds firstSeed ... firstSeed + count - 1, all within 32 bits
    std::vector<FigureFormat> formats;  // each at most once
    bool deform = false;
    double deformAmount = 0;
    bool symmetric = false;  // right parts as their left parts
    // The pose of every figure (--pose), and the largest random turn of its
    // joints after it (--pose-jitter, in degrees). Project files keep the
    // rest figure.
    PoseOption pose;
    std::optional<double> poseJitter;
    double metresPerUnit = 1;  // the modern formats' unit
    bool verbose = false;      // a line per mesh file with what was left out of it
    int jobs = 1;
    RenderSettings render;  // for the pictures
    PngCompression pngCompression = PngCompression::Fast;
};

// The extension of a format without its dot: "mwp", the mesh export's, "png".
const char* ExtensionOf(FigureFormat format);

// outDir/figure-<seed>.<ext>
std::string FigurePath(const RandomBatch& batch, std::uint32_t seed, FigureFormat format);

struct FigureOutcome {
    bool written = false;  // every file of the figure was written
    std::string lines;     // its messages, one line each, "figure-<seed>...: " first
};

// Makes the figure of one seed and writes its files; its parts come from
// `parsed` when given, else from their files.
FigureOutcome MakeRandomFigure(const RandomBatch& batch, const ObjectLists& lists, std::uint32_t seed,
                               formats::ParsedParts* parsed = nullptr);

struct BatchResult {
    std::uint64_t written = 0;  // figures whose files were all written
    std::uint64_t failed = 0;
    bool interrupted = false;  // stopped by a signal before every figure was made
    double seconds = 0;
};

// Makes every figure of the batch on batch.jobs threads (at most one per
// figure). The figures' messages go to `err` in seed order, whatever order
// the figures are finished in; `progress` is updated between them.
BatchResult RunRandomBatch(const RandomBatch& batch, const ObjectLists& lists, std::ostream& err,
                           ProgressLine& progress);

}  // namespace cli
