#include "cli/pose_option.h"

#include <filesystem>
#include <system_error>

#include "cli/help_text.h"
#include "formats/mesh_exports.h"
#include "formats/pose_file.h"
#include "model/creature.h"
#include "model/skeleton.h"

namespace cli {

bool ReadPoseOption(const ParsedOptions& options, PoseOption& pose, std::string& problem) {
    pose = PoseOption();
    if (options.values.count("--pose") == 0) return true;
    const std::string value = options.Value("--pose");
    pose.builtIn = formats::BuiltInPoseName(value);
    if (!pose.builtIn.empty()) return true;
    std::string why;
    if (formats::ReadPoseFile(value, pose.fromFile, why)) return true;
    problem = "--pose " + value + ": " + why;
    // A built-in pose's name mistyped reads as a file that is not there.
    std::error_code ec;
    if (value.find_first_of("/.") == std::string::npos && !std::filesystem::exists(value, ec)) {
        std::string names;
        for (std::string_view name : model::kBuiltInPoses) names += (names.empty() ? "" : ", ") + std::string(name);
        problem += " (nor a built-in pose: " + names + ")";
    }
    return false;
}

std::string PoseOptionHelp(std::string_view lead, std::size_t width) {
    const std::string indent(lead.size(), ' ');
    return Wrapped(lead,
                   "poses the figure. NAME is a built-in pose: rest, t-pose (arms out to the sides), a-pose "
                   "(arms 45 degrees down), sit or walk, fitted to the figure's own limbs. FILE is a pose file "
                   "(JSON) that turns joints, named as the parts, about where each part meets the part it "
                   "hangs from, the parts below it going along: by degrees about X, then Y, then Z in the "
                   "figure's rest axes (+Y up, its left on +X, its face towards -Z), or by a quaternion "
                   "[x, y, z, w]. Joints it leaves out keep their rest. For example:",
                   width) +
           indent + "{\"joints\": {\"Left forearm\": {\"rotate\": [0, 0, 90]},\n" +
           indent + "            \"Head\": {\"quat\": [0, 0.2588, 0, 0.9659]}}}\n" +
           Wrapped(indent, "A name is taken as a built-in pose first (write ./sit for a file of that name).", width);
}

model::Pose FigurePose(const PoseOption& option, const model::Creature& figure, const model::Pose* jitter) {
    model::Pose pose = option.fromFile;
    if (!option.builtIn.empty()) model::BuiltInPose(option.builtIn, model::BuildSkeleton(figure), pose);
    if (jitter == nullptr) return pose;
    for (std::size_t t = 0; t < pose.rotations.size(); ++t) {
        const auto& after = jitter->rotations[t];
        if (!after) continue;
        pose.rotations[t] = pose.rotations[t] ? *after * *pose.rotations[t] : *after;
    }
    return pose;
}

PosedFigure::PosedFigure(const model::Creature& rest, const model::Pose& pose)
    : rest_(rest), pose_(pose), isRest_(pose.IsRest()) {}

PosedFigure::~PosedFigure() = default;

const model::Creature& PosedFigure::Posed() {
    if (isRest_) return rest_;
    if (posed_ == nullptr) posed_ = model::PosedCopy(rest_, pose_);
    return *posed_;
}

const model::Creature& PosedFigure::ForMesh(const formats::MeshExport& mesh) {
    return mesh.rigged ? rest_ : Posed();
}

const model::Pose* PosedFigure::PoseForMesh(const formats::MeshExport& mesh) const {
    return mesh.rigged && !isRest_ ? &pose_ : nullptr;
}

}  // namespace cli
