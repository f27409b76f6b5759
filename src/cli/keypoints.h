// A figure's keypoints file for training: every joint of its skeleton where
// the camera sees it (model and eye space, pixel, whether it is in the
// picture and visible there), the camera as matrices and intrinsics, and
// what the figure is made of (its parts' files, their settings, its pose).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "cli/figure_render.h"
#include "model/pose.h"
#include "model/skeleton.h"
#include "view/camera.h"

namespace model {
class Creature;
}

namespace cli {

// One joint as the camera sees it.
struct JointView {
    std::array<double, 3> position{};  // model space, posed
    std::array<double, 3> eye{};       // view × position
    std::array<double, 2> pixel{};     // meaningful only when inFront
    double depth = 0;                  // along the view axis, in model units as the depth picture
    bool inFront = false;              // ahead of the camera
    bool inPicture = false;            // in front, 0 ≤ u < width and 0 ≤ v < height
    bool visible = false;
};

// Where a joint is seen from: the labels at its pixel and how deep the
// body around it reaches.
struct JointSight {
    int ownLabel = 0;     // the joint's part's mask label
    int parentLabel = 0;  // its parent's; 0 for a root
    // In model units: how far the joint may lie behind a surface of its
    // own part or its parent and still count as seen (its seam's reach),
    // and how near another surface must be to the joint's depth.
    double reach = 0;
    double tolerance = 0;
};

// Whether a joint in the picture is visible: the surface at its pixel
// (rounded down) is its own part or its parent, in front of it by at most
// twice its seam's reach (and the tolerance), or any surface within the
// tolerance of its depth.
// `labels` holds the mask and the depth drawn with the picture.
bool JointVisible(const JointView& joint, const JointSight& sight, const LabelPictures& labels);

// Every joint of `skeleton` (built from the rest figure) posed by `pose` and
// seen by `camera`, in the skeleton's order; visibility from `labels`.
std::vector<JointView> ViewJoints(const model::Creature& rest, const model::Skeleton& skeleton,
                                  const model::Pose& pose, const view::Camera& camera, const LabelPictures& labels);

// The keypoints file's text (JSON): "joints", "camera", and "figure" with
// its "parts", "factors" and "pose". Part files are named relative to
// `objectDir`. The same figure, pose and camera give the same bytes.
std::string KeypointsJson(const model::Creature& rest, const model::Pose& pose, const std::string& objectDir,
                          const view::Camera& camera, const LabelPictures& labels);

// Writes the text through a temporary file beside `path`; false (nothing
// left behind) with `problem` saying why when it could not be written.
bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem);

}  // namespace cli
