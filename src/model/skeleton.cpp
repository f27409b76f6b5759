#include "model/skeleton.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "model/connection_tables.h"
#include "model/creature.h"

namespace model {

namespace {


constexpr std::array<int, kPartTypeCount> kParentOfType = {
    kNeck,          // Head
    kLeftForearm,   // Left hand
    kRightForearm,  // Right hand
    kUpperBody,     // Left arm
    kUpperBody,     // Right arm
    kLeftArm,       // Left forearm
    kRightArm,      // Right forearm
    kStomach,       // Upper body
    -1,             // Stomach
    kLeftThigh,     // Left leg
    kRightThigh,    // Right leg
    kStomach,       // Left thigh
    kStomach,       // Right thigh
    kLeftLeg,       // Left foot
    kRightLeg,      // Right foot
    kHead,          // Left eye
    kHead,          // Right eye
    kHead,          // Nose
    kHead,          // Mouth
    kHead,          // Left ear
    kHead,          // Right ear
    kUpperBody,     // Neck
};

// The centroid of a part's boundary list; false for an empty list (or one
// naming no point the part has).
bool Centroid(const MeshObject& part, int list, std::array<double, 3>& at) {
    const std::size_t count = part.points.size() / 3;
    double sum[3] = {0, 0, 0};
    std::size_t n = 0;
    if (list < 0 || list >= kBoundaryListCount) return false;
    for (std::uint16_t i : part.boundaryLists[static_cast<std::size_t>(list)]) {
        if (i >= count) continue;
        for (int a = 0; a < 3; ++a) sum[a] += part.points[3 * std::size_t{i} + static_cast<std::size_t>(a)];
        ++n;
    }
    if (n == 0) return false;
    for (int a = 0; a < 3; ++a) at[static_cast<std::size_t>(a)] = sum[a] / static_cast<double>(n);
    return true;
}

std::array<double, 3> Centre(const MeshObject& part) {
    const std::size_t count = part.points.size() / 3;
    std::array<double, 3> at{};
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t a = 0; a < 3; ++a) at[a] += part.points[3 * i + a];
    }
    for (double& c : at) c = count == 0 ? 0.0 : c / static_cast<double>(count);
    return at;
}

// The part's own boundary list on its seam toward a neighbour type; -1 for none.
int SeamToward(int typeId, int neighbourType) {
    const ConnectionRow& row = ConnectionTable[static_cast<std::size_t>(typeId)];
    for (int k = 0; k < row.seamCount && k < 7; ++k) {
        if (row.seams[static_cast<std::size_t>(k)].neighbourType == neighbourType) return k;
    }
    return -1;
}

std::array<double, 3> JointPosition(const MeshObject& part, int typeId) {
    std::array<double, 3> at{};
    if (typeId == kStomach) {
        // The hips: the mean of both hip seams (or the one there is).
        std::array<double, 3> sum{};
        int hips = 0;
        for (int thigh : {kLeftThigh, kRightThigh}) {
            if (!Centroid(part, SeamToward(kStomach, thigh), at)) continue;
            for (std::size_t a = 0; a < 3; ++a) sum[a] += at[a];
            ++hips;
        }
        if (hips > 0) {
            for (double& c : sum) c /= hips;
            return sum;
        }
        if (Centroid(part, SeamToward(kStomach, kUpperBody), at)) return at;
        return Centre(part);
    }
    if (Centroid(part, SeamToward(typeId, ParentType(typeId)), at)) return at;
    return Centre(part);
}

// Union-find over every point of every part.
class PointGroups {
public:
    explicit PointGroups(std::size_t count) : parent_(count) { std::iota(parent_.begin(), parent_.end(), 0u); }
    std::uint32_t Find(std::uint32_t p) {
        while (parent_[p] != p) {
            parent_[p] = parent_[parent_[p]];
            p = parent_[p];
        }
        return p;
    }
    void Join(std::uint32_t a, std::uint32_t b) {
        a = Find(a);
        b = Find(b);
        if (a != b) parent_[std::max(a, b)] = std::min(a, b);
    }

private:
    std::vector<std::uint32_t> parent_;
};

// Shares are whole 256ths, so that any of them sum to exactly 1 in every
// precision and the rest pose gives every point back bit for bit.
float Quantised(double share) { return static_cast<float>(std::floor(share * 256 + 0.5) / 256); }

// A seam of a part with a neighbour: the points near it turn partly with
// the neighbour, from half at the seam to nothing at kBandReach seam radii
// from its centroid, so that a bend spreads over the flesh on both sides
// instead of tearing the first row of quads.
constexpr double kBandReach = 2.5;

struct Band {
    std::uint8_t joint = 0;  // the neighbour's
    std::array<double, 3> centre{};
    double radius = 0;
};

std::vector<Band> BandsOf(const Creature& figure, const Skeleton& skeleton, const std::array<int, kPartTypeCount>& partOfType,
                          int position) {
    std::vector<Band> bands;
    const MeshObject& part = *figure.parts.At(position);
    if (part.typeId < 0 || part.typeId >= kPartTypeCount) return bands;
    const ConnectionRow& row = ConnectionTable[static_cast<std::size_t>(part.typeId)];
    const std::size_t count = part.points.size() / 3;
    for (int k = 0; k < row.seamCount && k < 7; ++k) {
        const SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
        if (seam.neighbourType < 0 || seam.neighbourType >= kPartTypeCount) continue;
        const int other = partOfType[static_cast<std::size_t>(seam.neighbourType)];
        const int joint = other < 0 ? -1 : skeleton.JointOfPart(other);
        Band band;
        if (joint < 0 || !Centroid(part, k, band.centre)) continue;
        band.joint = static_cast<std::uint8_t>(joint);
        for (std::uint16_t i : part.boundaryLists[static_cast<std::size_t>(k)]) {
            if (i >= count) continue;
            double squared = 0;
            for (std::size_t a = 0; a < 3; ++a) squared += std::pow(part.points[3 * std::size_t{i} + a] - band.centre[a], 2);
            band.radius = std::max(band.radius, std::sqrt(squared));
        }
        if (band.radius > 0 && std::isfinite(band.radius)) bands.push_back(band);
    }
    return bands;
}

// The part's own joint (`own`, one joint at full weight) blended towards
// the bands the point lies in; at most three neighbours, the nearest.
PointWeights Blend(const PointWeights& own, const std::vector<Band>& bands, const float* point) {
    std::array<std::pair<double, std::uint8_t>, 8> shares{};
    std::size_t n = 0;
    double sum = 0;
    for (const Band& band : bands) {
        double squared = 0;
        for (std::size_t a = 0; a < 3; ++a) squared += std::pow(point[a] - band.centre[a], 2);
        const double reach = (kBandReach * band.radius - std::sqrt(squared)) / ((kBandReach - 1) * band.radius);
        const double share = 0.5 * std::clamp(reach, 0.0, 1.0);
        if (!(share > 0) || n == shares.size()) continue;
        shares[n++] = {share, band.joint};
        sum += share;
    }
    if (n == 0) return own;
    // The largest shares first (a handful: sorted by insertion).
    for (std::size_t i = 1; i < n; ++i) {
        for (std::size_t k = i; k > 0 && shares[k - 1] < shares[k]; --k) std::swap(shares[k - 1], shares[k]);
    }
    n = std::min<std::size_t>(n, kJointsPerPoint - 1);
    sum = 0;
    for (std::size_t s = 0; s < n; ++s) sum += shares[s].first;
    const double scale = sum > 1 ? 1 / sum : 1;  // bands overlapping past the whole point
    PointWeights w;
    float left = 1.0f;
    w.joints[0] = own.joints[0];
    for (std::size_t s = 0; s < n; ++s) {
        w.joints[s + 1] = shares[s].second;
        w.weights[s + 1] = std::min(Quantised(shares[s].first * scale), left);
        left -= w.weights[s + 1];
    }
    w.weights[0] = left;
    return w;
}

}  // namespace

const std::array<int, kPartTypeCount> kHierarchyOrder = {
    kStomach, kUpperBody, kNeck,  kHead,         kLeftEye, kRightEye, kNose, kMouth, kLeftEar, kRightEar, kLeftArm,
    kLeftForearm, kLeftHand, kRightArm, kRightForearm, kRightHand, kLeftThigh, kLeftLeg, kLeftFoot, kRightThigh,
    kRightLeg, kRightFoot,
};

int ParentType(int typeId) {
    if (typeId < 0 || typeId >= kPartTypeCount) return -1;
    return kParentOfType[static_cast<std::size_t>(typeId)];
}

int Skeleton::JointOfType(int typeId) const {
    for (std::size_t j = 0; j < joints.size(); ++j) {
        if (joints[j].typeId == typeId) return static_cast<int>(j);
    }
    return -1;
}

int Skeleton::JointOfPart(int position) const {
    for (std::size_t j = 0; j < joints.size(); ++j) {
        if (joints[j].part == position) return static_cast<int>(j);
    }
    return -1;
}

Skeleton BuildSkeleton(const Creature& figure) {
    // The last part of each type, as everything else finds it.
    std::array<int, kPartTypeCount> partOfType;
    partOfType.fill(-1);
    int position = 0;
    for (const MeshObject& part : figure.parts) {
        if (part.typeId >= 0 && part.typeId < kPartTypeCount) partOfType[static_cast<std::size_t>(part.typeId)] = position;
        ++position;
    }
    Skeleton skeleton;
    for (int type : kHierarchyOrder) {
        const int at = partOfType[static_cast<std::size_t>(type)];
        if (at < 0) continue;
        Joint joint;
        joint.typeId = type;
        joint.part = at;
        // The nearest ancestor present: its joint is already listed.
        for (int up = ParentType(type); up >= 0 && joint.parent < 0; up = ParentType(up)) {
            joint.parent = skeleton.JointOfType(up);
        }
        joint.position = JointPosition(*figure.parts.At(at), type);
        skeleton.joints.push_back(joint);
    }
    return skeleton;
}

SkinWeights ComputeSkinWeights(const Creature& figure, const Skeleton& skeleton) {
    // Every point of every part numbered in list order.
    std::vector<std::uint32_t> base;
    std::uint32_t total = 0;
    std::array<int, kPartTypeCount> partOfType;
    partOfType.fill(-1);
    for (const MeshObject& part : figure.parts) {
        if (part.typeId >= 0 && part.typeId < kPartTypeCount) {
            partOfType[static_cast<std::size_t>(part.typeId)] = static_cast<int>(base.size());
        }
        base.push_back(total);
        total += static_cast<std::uint32_t>(part.points.size() / 3);
    }
    PointGroups groups(total);

    // The points each seam joins, entry by entry, where both ends have as
    // many entries (a seam of unequal ends was never welded).
    for (const Joint& joint : skeleton.joints) {
        const MeshObject& part = *figure.parts.At(joint.part);
        const ConnectionRow& row = ConnectionTable[static_cast<std::size_t>(joint.typeId)];
        for (int k = 0; k < row.seamCount && k < 7; ++k) {
            const SeamEntry& seam = row.seams[static_cast<std::size_t>(k)];
            if (seam.neighbourType < 0 || seam.neighbourType >= kPartTypeCount) continue;
            const int other = partOfType[static_cast<std::size_t>(seam.neighbourType)];
            if (other < 0 || seam.neighbourList < 0 || seam.neighbourList >= kBoundaryListCount) continue;
            const MeshObject& neighbour = *figure.parts.At(other);
            const auto& own = part.boundaryLists[static_cast<std::size_t>(k)];
            const auto& theirs = neighbour.boundaryLists[static_cast<std::size_t>(seam.neighbourList)];
            if (own.size() != theirs.size()) continue;
            for (std::size_t e = 0; e < own.size(); ++e) {
                if (own[e] >= part.points.size() / 3 || theirs[e] >= neighbour.points.size() / 3) continue;
                groups.Join(base[static_cast<std::size_t>(joint.part)] + own[e],
                            base[static_cast<std::size_t>(other)] + theirs[e]);
            }
        }
    }
    // Points of one part on one place, which the exports make one vertex:
    // sorted by place, neighbours in the order are on one place or none.
    std::vector<std::pair<std::array<std::uint32_t, 3>, std::uint32_t>> places;
    std::size_t at = 0;
    for (const MeshObject& part : figure.parts) {
        const std::size_t count = part.points.size() / 3;
        places.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            for (std::size_t a = 0; a < 3; ++a) {
                const float c = part.points[3 * i + a] + 0.0f;  // -0 as 0
                std::memcpy(&places[i].first[a], &c, sizeof c);
            }
            places[i].second = base[at] + static_cast<std::uint32_t>(i);
        }
        std::sort(places.begin(), places.end());
        for (std::size_t i = 1; i < count; ++i) {
            if (places[i].first == places[i - 1].first) groups.Join(places[i - 1].second, places[i].second);
        }
        ++at;
    }
    // Each group's joints, shared equally.
    std::vector<PointWeights> ofGroup(total);
    std::vector<std::uint8_t> used(total, 0);
    at = 0;
    for (const MeshObject& part : figure.parts) {
        const int joint = skeleton.JointOfPart(static_cast<int>(at));
        const std::size_t count = part.points.size() / 3;
        for (std::size_t i = 0; joint >= 0 && i < count; ++i) {
            const std::uint32_t g = groups.Find(base[at] + static_cast<std::uint32_t>(i));
            PointWeights& w = ofGroup[g];
            const auto end = w.joints.begin() + used[g];
            if (std::find(w.joints.begin(), end, static_cast<std::uint8_t>(joint)) != end) continue;
            if (used[g] == kJointsPerPoint) continue;  // a fifth part at one point: the first four move it
            w.joints[used[g]++] = static_cast<std::uint8_t>(joint);
        }
        ++at;
    }
    for (std::uint32_t g = 0; g < total; ++g) {
        PointWeights& w = ofGroup[g];
        if (used[g] == 0) {  // a part no joint stands for (no type): the first joint holds it
            w.weights[0] = skeleton.joints.empty() ? 0.0f : 1.0f;
            continue;
        }
        std::sort(w.joints.begin(), w.joints.begin() + used[g]);
        // Equal shares, the last taking what is left, so they sum to 1.
        const float share = Quantised(1.0 / used[g]);
        float rest = 1.0f;
        for (int s = 0; s + 1 < used[g]; ++s) {
            w.weights[static_cast<std::size_t>(s)] = share;
            rest -= share;
        }
        w.weights[static_cast<std::size_t>(used[g] - 1)] = rest;
    }

    SkinWeights weights;
    at = 0;
    for (const MeshObject& part : figure.parts) {
        std::vector<PointWeights>& points = weights.parts.emplace_back(part.points.size() / 3);
        const std::vector<Band> bands = BandsOf(figure, skeleton, partOfType, static_cast<int>(at));
        for (std::size_t i = 0; i < points.size(); ++i) {
            const std::uint32_t g = groups.Find(base[at] + static_cast<std::uint32_t>(i));
            // A point of a seam moves with the parts it joins; any other
            // point of the part with its own joint, blended towards the
            // neighbours whose seams it lies near.
            points[i] = used[g] > 1 || bands.empty() ? ofGroup[g] : Blend(ofGroup[g], bands, &part.points[3 * i]);
        }
        ++at;
    }
    return weights;
}

}  // namespace model
