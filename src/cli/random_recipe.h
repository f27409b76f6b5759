// A random figure as a recipe drawn from its seed alone: the object file of
// every part, picked as "Random Creature" picks it, and for deformed runs a
// draw per part and axis that becomes the part's build factor once the part
// is placed. The same seed gives the same recipe on every machine, so runs
// can be split by seed ranges.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/part_types.h"
#include "model/pose.h"

namespace formats {
class ParsedParts;
}
namespace model {
class Creature;
}

namespace cli {

// The object files of every part folder in list order, by panel index.
using ObjectLists = std::array<std::vector<std::string>, model::kPartTypeCount>;

ObjectLists ReadObjectLists(const std::string& objectDir);

struct RandomRecipe {
    // Index into the part's files; -1 for a part whose folder has none.
    std::array<int, model::kPartTypeCount> files{};
    // Per part and axis X, Y, Z a draw in -1 ... 1; all 0 when not deforming.
    std::array<std::array<double, 3>, model::kPartTypeCount> draws{};
    // The largest relative change of a part's size (0 when not deforming).
    double deformAmount = 0;
    // For a right part that took its left part's file (--symmetric): the
    // left part's panel index, whose build factors it takes; else -1.
    std::array<int, model::kPartTypeCount> factorsFrom{};
    // The joints' random turns (--pose-jitter); none without it.
    std::optional<model::Pose> jitter;
    // The camera's random turn and zoom (--camera-jitter): degrees of yaw
    // and pitch, and the share of the picture's zoom; none without it.
    struct Camera {
        double yawDegrees = 0;
        double pitchDegrees = 0;
        double zoomShare = 1;
    };
    std::optional<Camera> camera;
    // A random background colour (--background-jitter), each part 0 ... 1.
    std::optional<std::array<float, 3>> background;
};

// The range --camera-jitter draws the zoom from, as shares of the zoom the
// picture would have. The view's own zoom leaves the figure a margin of a
// few pixels only: turned and tilted by up to 90 degrees, a quarter of
// the figures at that zoom reach past the picture's edge, and a t-pose
// with its arms jittered some at three quarters of it; below that every
// one stays within.
constexpr double kCameraZoomLow = 0.6;
constexpr double kCameraZoomHigh = 0.75;

// Seeds the generator with `seed` and draws one number per part list
// (" (none) " plus the files, or plus "No Files" for an empty folder), in
// panel order; with `deform`, then one draw per part and axis, also for
// parts left out, so that the sequence never depends on what the folders
// hold. With `symmetric` a right part takes the file of its left part's
// name when its folder has one (letter case aside); the numbers drawn are
// the same either way. With `jitterDegrees`, then three draws per part type
// for the joints' turns (model::JitteredPose), so that the parts and
// factors of a seed are the same with and without them. Last, with
// `cameraDegrees`, three draws for the camera (yaw and pitch within ±DEG,
// the zoom share within kCameraZoomLow ... kCameraZoomHigh), then with
// `background` three for the background colour: a seed's figure and pose
// are the same with and without them.
RandomRecipe DrawRecipe(std::uint32_t seed, const ObjectLists& lists, bool deform, double deformAmount,
                        bool symmetric = false, std::optional<double> jitterDegrees = std::nullopt,
                        std::optional<double> cameraDegrees = std::nullopt, bool background = false);

// Loads the recipe's parts into an empty creature, each part's factors
// applied right after it was connected, as "Load Project" does (zero
// factors too: applying re-welds the part's seams), so that the figure's
// project file loads back to this very figure. Without factors the parts
// come in panel order, as "Random Creature" loads them. With factors every
// part comes before the part it hangs from (hands before forearms, the face
// before the head, the upper body last): factors scale a part about the
// model's origin, which moves it as well as resizing it, and the part it
// hangs from pulls it back onto its seam when it comes. A part's factor
// along an axis is its draw × deformAmount, the largest relative change of
// its size; the head and its face (eyes, ears, nose, mouth) keep their
// files' shapes and move with the neck; a right part with factorsFrom takes
// its left part's factors. Factors are kept as a project file stores them (six
// decimals). Failures go to the creature's messages. With `parsed` the
// parts are copied from the files it has read, each file read once for a
// whole run. Returns the parts loaded.
int BuildFigure(const RandomRecipe& recipe, const ObjectLists& lists, const std::string& objectDir,
                model::Creature& creature, formats::ParsedParts* parsed = nullptr);

}  // namespace cli
