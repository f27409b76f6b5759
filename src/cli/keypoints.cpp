#include "cli/keypoints.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>

#include "formats/atomic_file.h"
#include "formats/c_number.h"
#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"

namespace cli {
namespace {

using Json = nlohmann::ordered_json;

// How close another surface must come to a joint's depth for the joint to
// count as seen, as a share of the figure's height.
constexpr double kDepthTolerance = 0.02;
// How deep in the flesh of its own part or its parent a joint may lie and
// still count as seen, in its seam's reaches: a seam's centre lies about
// one reach inside, a hip in its pelvis or the base of the neck under the
// shoulders up to twice that; a face seen from behind lies three or more.
constexpr double kFleshPerReach = 2.0;

std::string TypeName(int typeId) {
    return typeId >= 0 && typeId < model::kPartTypeCount ? std::string(model::partTypeNames[static_cast<std::size_t>(typeId)])
                                                         : std::string();
}

// The seams a joint sits on: its part's seam toward its parent type, for the
// hips both hip seams; -1 where there is none.
std::vector<int> JointSeams(int typeId) {
    std::vector<int> wanted;
    if (typeId == model::kStomach) {
        wanted = {model::kLeftThigh, model::kRightThigh};
    } else {
        wanted = {model::ParentType(typeId)};
    }
    std::vector<int> seams;
    if (typeId < 0 || typeId >= model::kPartTypeCount) return seams;
    const model::ConnectionRow& row = model::ConnectionTable[static_cast<std::size_t>(typeId)];
    for (int k = 0; k < row.seamCount && k < 7; ++k) {
        const int neighbour = row.seams[static_cast<std::size_t>(k)].neighbourType;
        if (std::find(wanted.begin(), wanted.end(), neighbour) != wanted.end()) seams.push_back(k);
    }
    return seams;
}

double Distance(const float* point, const std::array<double, 3>& from) {
    return std::hypot(point[0] - from[0], point[1] - from[1], point[2] - from[2]);
}

// How far the joint's seams reach from it in the rest figure (a seam's
// centre lies inside the body by at most that); a joint without a seam,
// placed at its part's centre, reaches as far as its part.
double SeamReach(const model::MeshObject& part, const model::Joint& joint) {
    const std::size_t count = part.points.size() / 3;
    double reach = 0;
    bool onSeam = false;
    for (int k : JointSeams(joint.typeId)) {
        for (std::uint16_t i : part.boundaryLists[static_cast<std::size_t>(k)]) {
            if (i >= count) continue;
            reach = std::max(reach, Distance(part.Point(i), joint.position));
            onSeam = true;
        }
    }
    for (std::size_t i = 0; !onSeam && i < count; ++i) {
        reach = std::max(reach, Distance(&part.points[3 * i], joint.position));
    }
    return reach;
}

// The figure's height: the extent of its points along Y.
double FigureHeight(const model::Creature& figure) {
    double low = HUGE_VAL;
    double high = -HUGE_VAL;
    for (const model::MeshObject& part : figure.parts) {
        for (std::size_t i = 1; i < part.points.size(); i += 3) {
            low = std::min<double>(low, part.points[i]);
            high = std::max<double>(high, part.points[i]);
        }
    }
    return high > low ? high - low : 0.0;
}

// Eye units per model unit: the zoom the view matrix scales by.
double EyeScale(const view::Camera& camera) { return std::hypot(camera.view[0], camera.view[1], camera.view[2]); }

std::array<double, 3> Transformed(const model::RigidTransform& t, const std::array<double, 3>& p) {
    std::array<double, 3> out{};
    for (std::size_t r = 0; r < 3; ++r) {
        out[r] = t.rotation[r][0] * p[0] + t.rotation[r][1] * p[1] + t.rotation[r][2] * p[2] + t.translation[r];
    }
    return out;
}

// A setting as the project file keeps it: its six-decimal text read back.
double AsStored(float value) {
    const std::string text = formats::FormatFixed(value);
    double stored = 0;
    std::from_chars(text.data(), text.data() + text.size(), stored);
    return stored + 0.0;  // never -0
}

// The part's file as the project names it, from the object directory on,
// with "/" between folders.
std::string RelativeFile(const std::string& objectName, const std::string& objectDir) {
    std::string_view dir = objectDir;
    while (!dir.empty() && (dir.back() == '/' || dir.back() == '\\')) dir.remove_suffix(1);
    std::string path = objectName.compare(0, dir.size(), dir) == 0 ? objectName.substr(dir.size()) : objectName;
    std::replace(path.begin(), path.end(), '\\', '/');
    const std::size_t start = path.find_first_not_of('/');
    return start == std::string::npos ? std::string() : path.substr(start);
}

Json Numbers(const double* values, std::size_t count) {
    Json list = Json::array();
    for (std::size_t i = 0; i < count; ++i) list.push_back(values[i]);
    return list;
}

Json FigureJson(const model::Creature& rest, const model::Skeleton& skeleton, const model::Pose& pose,
                const std::string& objectDir) {
    Json parts = Json::array();
    Json factors = Json::object();
    for (const model::MeshObject& part : rest.parts) {
        const std::string type = TypeName(part.typeId).empty() ? part.objectType : TypeName(part.typeId);
        parts.push_back({{"type", type}, {"file", RelativeFile(part.objectName, objectDir)}});
        const model::PartSettings& s = part.settings;
        Json lockFactors = Json::array();
        Json bars = Json::array();
        for (int mode = 0; mode < 3; ++mode) {
            Json axes = Json::array();
            for (float v : s.deformFactors[mode]) axes.push_back(AsStored(v));
            lockFactors.push_back(axes);
            bars.push_back({s.sliderPositions[mode][0], s.sliderPositions[mode][1], s.sliderPositions[mode][2]});
        }
        Json steps = Json::array();
        for (float v : s.sliderSteps) steps.push_back(AsStored(v));
        factors[type] = {{"lock_modes", {s.lockModes[0], s.lockModes[1], s.lockModes[2]}},
                         {"factors", lockFactors},
                         {"steps", steps},
                         {"bar_positions", bars}};
    }
    // Only the joints the pose turns, in the skeleton's order.
    Json turned = Json::object();
    for (const model::Joint& joint : skeleton.joints) {
        const auto& q = pose.rotations[static_cast<std::size_t>(joint.typeId)];
        if (!q || (q->x == 0 && q->y == 0 && q->z == 0)) continue;
        turned[TypeName(joint.typeId)] = {q->x, q->y, q->z, q->w};
    }
    return {{"parts", parts}, {"factors", factors}, {"pose", turned}};
}

}  // namespace

bool JointVisible(const JointView& joint, const JointSight& sight, const LabelPictures& labels) {
    const std::size_t pixels = static_cast<std::size_t>(labels.width) * static_cast<std::size_t>(labels.height);
    if (!joint.inPicture || labels.mask.size() != pixels || labels.depth.size() != pixels) return false;
    const auto x = static_cast<std::size_t>(std::floor(joint.pixel[0]));
    const auto y = static_cast<std::size_t>(std::floor(joint.pixel[1]));
    if (x >= static_cast<std::size_t>(labels.width) || y >= static_cast<std::size_t>(labels.height)) return false;
    const std::size_t at = y * static_cast<std::size_t>(labels.width) + x;
    if (labels.depth[at] == 0) return false;  // the background
    const double surface = labels.depth[at] * kDepthUnit;
    if (std::abs(joint.depth - surface) <= sight.tolerance) return true;
    const int label = labels.mask[at];
    const bool ownOrParent = label == sight.ownLabel || (sight.parentLabel != 0 && label == sight.parentLabel);
    return ownOrParent && joint.depth - surface <= kFleshPerReach * sight.reach + sight.tolerance;
}

std::vector<JointView> ViewJoints(const model::Creature& rest, const model::Skeleton& skeleton,
                                  const model::Pose& pose, const view::Camera& camera, const LabelPictures& labels) {
    const std::vector<model::RigidTransform> transforms = model::PoseTransforms(skeleton, pose);
    // The depth picture measures eye space in model units, undoing the zoom.
    const double scale = EyeScale(camera);
    const double tolerance = kDepthTolerance * FigureHeight(rest);
    std::vector<JointView> views;
    for (std::size_t j = 0; j < skeleton.joints.size(); ++j) {
        const model::Joint& joint = skeleton.joints[j];
        JointView seen;
        // A joint turns about its own rest position: its own turn leaves it
        // there, its parents' move it.
        seen.position = Transformed(transforms[j], joint.position);
        const auto& v = camera.view;
        for (std::size_t r = 0; r < 3; ++r) {
            seen.eye[r] = v[4 * r] * seen.position[0] + v[4 * r + 1] * seen.position[1] +
                          v[4 * r + 2] * seen.position[2] + v[4 * r + 3];
        }
        seen.depth = scale > 0 ? -seen.eye[2] / scale : 0.0;
        std::array<double, 3> eye{};
        seen.inFront = camera.Project(seen.position, seen.pixel, eye);
        seen.inPicture = seen.inFront && seen.pixel[0] >= 0 && seen.pixel[0] < camera.width && seen.pixel[1] >= 0 &&
                         seen.pixel[1] < camera.height;
        JointSight sight;
        sight.ownLabel = joint.typeId + 1;
        sight.parentLabel = joint.parent >= 0 ? skeleton.joints[static_cast<std::size_t>(joint.parent)].typeId + 1 : 0;
        sight.reach = SeamReach(*rest.PartAt(joint.part), joint);
        sight.tolerance = tolerance;
        seen.visible = JointVisible(seen, sight, labels);
        views.push_back(seen);
    }
    return views;
}

std::string KeypointsJson(const model::Creature& rest, const model::Pose& pose, const std::string& objectDir,
                          const view::Camera& camera, const LabelPictures& labels) {
    const model::Skeleton skeleton = model::BuildSkeleton(rest);
    const std::vector<JointView> views = ViewJoints(rest, skeleton, pose, camera, labels);
    Json joints = Json::array();
    for (std::size_t j = 0; j < views.size(); ++j) {
        const model::Joint& joint = skeleton.joints[j];
        const JointView& seen = views[j];
        Json entry = {{"name", TypeName(joint.typeId)}};
        entry["parent"] = joint.parent >= 0 ? Json(TypeName(skeleton.joints[static_cast<std::size_t>(joint.parent)].typeId))
                                            : Json(nullptr);
        entry["position"] = Numbers(seen.position.data(), 3);
        entry["camera_position"] = Numbers(seen.eye.data(), 3);
        // A point behind the camera has no pixel.
        entry["pixel"] = seen.inFront ? Numbers(seen.pixel.data(), 2) : Json(nullptr);
        entry["in_picture"] = seen.inPicture;
        entry["visible"] = seen.visible;
        joints.push_back(entry);
    }
    const Json cameraJson = {{"width", camera.width},
                             {"height", camera.height},
                             {"view", Numbers(camera.view.data(), 16)},
                             {"projection", Numbers(camera.projection.data(), 16)},
                             {"fx", camera.fx},
                             {"fy", camera.fy},
                             {"cx", camera.cx},
                             {"cy", camera.cy}};
    const Json file = {{"joints", joints}, {"camera", cameraJson}, {"figure", FigureJson(rest, skeleton, pose, objectDir)}};
    return file.dump(1) + "\n";
}

bool WriteTextFile(const std::string& text, const std::string& path, std::string& problem) {
    formats::AtomicFile file(path);
    if (file.Open()) {
        file.Write(text);
        if (file.Commit()) return true;
    }
    problem = file.ErrorText().empty() ? "could not be written" : "could not be written (" + file.ErrorText() + ")";
    return false;
}

}  // namespace cli
