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
// exports, its picture, or a label drawn with the picture (the mask, the
// depth, the keypoints file).
struct FigureFormat {
    enum class Kind { Project, Mesh, Png, Mask, Depth, Keypoints };
    Kind kind = Kind::Project;
    const formats::MeshExport* mesh = nullptr;  // the export table's row of a Mesh
    bool operator==(const FigureFormat&) const = default;
};

// Every format, in the order a figure's files are written: the project
// file, the mesh exports in the table's order, the picture, the mask, the
// depth, the keypoints.
const std::vector<FigureFormat>& FigureFormats();

// Whether the format's file is drawn: the picture and its labels, which
// come from one drawing of the figure.
bool IsDrawn(FigureFormat format);
bool IsLabel(FigureFormat format);

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
    // The camera's random yaw and pitch within ±DEG and its zoom
    // (--camera-jitter), and a random background colour
    // (--background-jitter), for the pictures and their labels.
    std::optional<double> cameraJitter;
    bool backgroundJitter = false;
    double metresPerUnit = 1;  // the modern formats' unit
    bool verbose = false;      // a line per mesh file with what was left out of it
    int jobs = 1;
    RenderSettings render;  // for the pictures
    PngCompression pngCompression = PngCompression::Fast;
};

// The name --formats takes: "mwp", the mesh export's extension, "png",
// "mask", "depth", "keypoints".
const char* NameOf(FigureFormat format);
// The end of the format's file name after "figure-<seed>.": "mwp", the mesh
// export's extension, "png", "mask.png", "depth.png", "keypoints.json".
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
    std::vector<std::uint32_t> writtenSeeds;  // the figures written, in seed order
};

// Makes every figure of the batch on batch.jobs threads (at most one per
// figure). The figures' messages go to `err` in seed order, whatever order
// the figures are finished in; `progress` is updated between them.
BatchResult RunRandomBatch(const RandomBatch& batch, const ObjectLists& lists, std::ostream& err,
                           ProgressLine& progress);

}  // namespace cli
