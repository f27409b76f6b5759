// The figure's skeleton, read off its seams: one joint per part, named after
// the part's type, in the usual humanoid hierarchy rooted at the hips, each
// joint where the part meets its parent. And the skin: which joints move
// each point of each part. Both are computed from a figure that stays as it
// is.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "model/part_types.h"

namespace model {

class Creature;

// The parent type of a part type in the hierarchy (Stomach → Upper body →
// Neck → Head → face parts; Upper body → arm → forearm → hand; Stomach →
// thigh → leg → foot); -1 for the Stomach and any other number.
int ParentType(int typeId);

// The part types with every parent before its children, Stomach first.
extern const std::array<int, kPartTypeCount> kHierarchyOrder;

struct Joint {
    std::int32_t typeId = -1;  // the joint's name is partTypeNames[typeId]
    std::int32_t part = -1;    // position of its part in the part list
    std::int32_t parent = -1;  // index of its parent in Skeleton::joints; -1 for a root
    // Where the part meets its parent, in model units and axes: the centroid
    // of the part's own seam toward its parent type (for the Stomach the
    // mean of its hip seams), the part's centre without such a seam.
    std::array<double, 3> position{};
};

struct Skeleton {
    // Parents before children. A part whose parent type is missing hangs
    // from its nearest present ancestor; one without any is a root.
    std::vector<Joint> joints;

    // The joint of a part type or of a part list position; -1 for none.
    int JointOfType(int typeId) const;
    int JointOfPart(int position) const;
};

Skeleton BuildSkeleton(const Creature& figure);

constexpr int kJointsPerPoint = 4;

// The joints that move a point and their shares: the used slots first,
// their shares summing to 1; unused slots hold joint 0 with share 0.
struct PointWeights {
    std::array<std::uint8_t, kJointsPerPoint> joints{};
    std::array<float, kJointsPerPoint> weights{};
};

// Per part in list order, per point. A point belongs to its part's joint;
// the points a seam joins are shared equally by the joints of the parts
// they belong to, and so are points of one part lying exactly on each
// other, so that every copy of a merged point moves alike and no seam
// opens in any pose.
struct SkinWeights {
    std::vector<std::vector<PointWeights>> parts;
};

SkinWeights ComputeSkinWeights(const Creature& figure, const Skeleton& skeleton);

}  // namespace model
