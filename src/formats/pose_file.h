// Poses named on a command line: one of the built-in poses, or a pose file,
// JSON that turns joints (named as the parts' types) by angles in degrees,
// applied about X, then Y, then Z, or by a quaternion:
//   {"joints": {"Left forearm": {"rotate": [0, 0, 90]},
//               "Head": {"quat": [0, 0.2588, 0, 0.9659]}}}
// A joint the file leaves out keeps its rest.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace model {
struct Pose;
}

namespace formats {

// A pose file larger than this is refused unread.
constexpr std::uint64_t kMaxPoseFileBytes = 1 << 20;

// The built-in pose (model::kBuiltInPoses) a name stands for, in any letter
// case; empty when it names none. A built-in pose is fitted to each figure
// (model::BuiltInPose), a file is read once and fits every figure.
std::string_view BuiltInPoseName(std::string_view name);

// The rotations of a pose file's text (quaternions of unit length). False,
// with `why` saying in one line what is wrong, for text that is no JSON
// (with the place), a pose without a "joints" object, an unknown key or
// joint, a joint with neither or both of "rotate" and "quat", a wrong count,
// a value that is no finite number, or a quaternion without a length.
// `pose` is only set when the whole text was understood.
bool ParsePose(std::string_view text, model::Pose& pose, std::string& why);

// The same for a file: a regular file of at most kMaxPoseFileBytes.
bool ReadPoseFile(const std::string& path, model::Pose& pose, std::string& why);

}  // namespace formats
