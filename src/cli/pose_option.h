// --pose NAME|FILE of the commands that export or draw figures: read once,
// before any work, then fitted to each figure; and the figure in its pose,
// as each kind of file takes it (a rigged export the rest figure and the
// pose, every other file and the picture the posed copy).
#pragma once

#include <memory>
#include <string>

#include "cli/options.h"
#include "model/pose.h"

namespace formats {
struct MeshExport;
}
namespace model {
class Creature;
}

namespace cli {

struct PoseOption {
    std::string builtIn;   // a built-in pose's name; empty for a file or no --pose
    model::Pose fromFile;  // the file's rotations; the rest without a file
};

// --pose, when given, as a built-in pose's name (any letter case) or else a
// pose file's path. False, with `problem` as one line ("--pose FILE: why"),
// when it is neither a built-in pose nor a pose file that can be read.
bool ReadPoseOption(const ParsedOptions& options, PoseOption& pose, std::string& problem);

// The help of --pose that every command shares, its lines after `lead`
// ("  --pose NAME|FILE  ") and indented as far, at most `width` columns.
std::string PoseOptionHelp(std::string_view lead, std::size_t width);

// The pose of one figure: the built-in pose fitted to the figure's
// skeleton, or the file's; then, joint by joint, `jitter`'s rotation after
// it when there is one.
model::Pose FigurePose(const PoseOption& option, const model::Creature& figure, const model::Pose* jitter = nullptr);

// A figure and its pose. The posed copy is made once, when a file or a
// picture first needs it, and serves every one after; a rest pose needs no
// copy.
class PosedFigure {
public:
    PosedFigure(const model::Creature& rest, const model::Pose& pose);
    ~PosedFigure();

    // The figure a picture shows.
    const model::Creature& Posed();
    // The figure a mesh export writes, and the pose it is told of (null for
    // the rest): a rigged file takes the rest figure and the pose.
    const model::Creature& ForMesh(const formats::MeshExport& mesh);
    const model::Pose* PoseForMesh(const formats::MeshExport& mesh) const;

private:
    const model::Creature& rest_;
    model::Pose pose_;
    bool isRest_;
    std::unique_ptr<model::Creature> posed_;
};

}  // namespace cli
