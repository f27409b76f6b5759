// Placing a new part against its neighbours, pulling the parts that hang off
// it onto its seams, and welding seams point by point. Entry e of one seam
// list meets entry e of the other; nothing is matched by distance.
#include <array>
#include <cstdio>
#include <memory>

#include "model/connection_tables.h"
#include "model/creature.h"
#include "model/part_types.h"
#include "ui/message_sink.h"

namespace model {
namespace {

bool HasPoint(const MeshObject& part, std::size_t i) { return 3 * i + 2 < part.points.size(); }

// Mean of the points a boundary list names; false for an empty list, whose
// centre is undefined (no move is made for such a seam).
bool SeamCentre(const MeshObject& part, int list, double centre[3]) {
    double sum[3] = {0, 0, 0};
    std::size_t used = 0;
    const std::uint16_t count = part.BoundaryCount(list);
    const std::uint16_t* entries = part.BoundaryList(list);
    for (std::uint16_t e = 0; e < count; ++e) {
        const std::size_t i = entries[e];
        if (!HasPoint(part, i)) continue;
        for (int a = 0; a < 3; ++a) sum[a] += part.points[3 * i + static_cast<std::size_t>(a)];
        ++used;
    }
    if (used == 0) return false;
    for (int a = 0; a < 3; ++a) centre[a] = sum[a] / static_cast<double>(used);
    return true;
}

// The offset that puts `moving`'s seam centre on `fixed`'s; false when either
// seam is empty.
bool SeamOffset(const MeshObject& fixed, int fixedList, const MeshObject& moving, int movingList,
                float offset[3]) {
    double to[3];
    double from[3];
    if (!SeamCentre(fixed, fixedList, to) || !SeamCentre(moving, movingList, from)) return false;
    for (int a = 0; a < 3; ++a) offset[a] = static_cast<float>(to[a] - from[a]);
    return true;
}

// Both ends of every entry pair go to their mean, points and normals alike
// (normals are not renormalised). Rest points stay. A part without normals
// only has its points welded.
void WeldLists(MeshObject& first, int firstList, MeshObject& second, int secondList) {
    const std::uint16_t count = first.BoundaryCount(firstList);
    if (count != second.BoundaryCount(secondList)) return;
    const std::uint16_t* a = first.BoundaryList(firstList);
    const std::uint16_t* b = second.BoundaryList(secondList);
    const bool withNormals = first.normals.size() == first.points.size() &&
                             second.normals.size() == second.points.size();
    for (std::uint16_t e = 0; e < count; ++e) {
        const std::size_t i = a[e];
        const std::size_t j = b[e];
        if (!HasPoint(first, i) || !HasPoint(second, j)) continue;
        for (std::size_t c = 0; c < 3; ++c) {
            float& p = first.points[3 * i + c];
            float& q = second.points[3 * j + c];
            p = q = static_cast<float>((static_cast<double>(p) + q) * 0.5);
            if (withNormals) {
                float& n = first.normals[3 * i + c];
                float& m = second.normals[3 * j + c];
                n = m = static_cast<float>((static_cast<double>(n) + m) * 0.5);
            }
        }
    }
}

bool ValidType(std::int32_t typeId) { return typeId >= 0 && typeId < kPartTypeCount; }

}  // namespace

void Creature::ReportCountMismatch(int ownCount, int otherCount) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Object you are trying to connect have: %d points\n Object that it will be connected to have: %d points",
                  ownCount, otherCount);
    messages_.Report({ui::Severity::kError, "Cant connect object!", text, ""});
}

bool Creature::ConnectPart(std::unique_ptr<MeshObject> part) {
    if (part == nullptr) return false;

    // Replace: the old part of this type goes first.
    for (std::int32_t i = 0; i < parts.Count(); ++i) {
        if (parts.At(i)->objectType == part->objectType) {
            parts.RemoveAt(i);
            break;
        }
    }

    const int typeId = TypeIdOfName(part->objectType);
    if (typeId < 0) return false;
    part->SetTypeId(typeId);
    const ConnectionRow& row = ConnectionTable[static_cast<std::size_t>(typeId)];

    struct Neighbour {
        int seam;
        std::int32_t level;
        MeshObject* part;
        SeamEntry entry;
    };
    std::array<Neighbour, 7> found{};
    int foundCount = 0;
    for (int k = 0; k < row.seamCount; ++k) {
        const SeamEntry& entry = row.seams[static_cast<std::size_t>(k)];
        for (MeshObject& other : parts) {
            if (other.typeId != entry.neighbourType) continue;
            // The figure holds one part per type, so one entry per seam.
            found[static_cast<std::size_t>(foundCount++)] = {
                k, ConnectionTable[static_cast<std::size_t>(entry.neighbourType)].level, &other, entry};
            break;
        }
    }

    // Moves the new part so that its seam's centre lands on the neighbour's;
    // false (after the message) when the two seams differ in length.
    auto moveOnto = [&](const Neighbour& n) {
        const int own = part->BoundaryCount(n.seam);
        const int other = n.part->BoundaryCount(n.entry.neighbourList);
        if (own != other) {
            ReportCountMismatch(own, other);
            return false;
        }
        float offset[3];
        if (SeamOffset(*n.part, n.entry.neighbourList, *part, n.seam, offset)) {
            part->Translate(offset[0], offset[1], offset[2]);
        }
        return true;
    };

    if (foundCount == 1) {
        // A single neighbour: move onto it, parent or child alike.
        const Neighbour& n = found[0];
        if (!moveOnto(n)) return false;
        WeldLists(*part, n.seam, *n.part, n.entry.neighbourList);
    } else if (foundCount > 1) {
        // Several: move onto the parent, pull the children onto ourselves.
        for (int f = 0; f < foundCount; ++f) {
            const Neighbour& n = found[static_cast<std::size_t>(f)];
            if (n.level > row.level && !moveOnto(n)) return false;
        }
        if (!AlignDependants(part.get())) return false;
        WeldNeighbours(part.get());
    }

    parts.Append(std::move(part));
    return true;
}

// Never destroys the part: a new part is owned (and destroyed on failure) by
// ConnectPart, and a part in the figure simply stays where it is, with the
// dependants of the failing seam and of the seams after it left unmoved.
bool Creature::AlignDependants(MeshObject* part) {
    if (part == nullptr || !ValidType(part->typeId)) return true;

    std::array<MeshObject*, kPartTypeCount> byType{};
    for (MeshObject& other : parts) {
        if (ValidType(other.typeId)) byType[static_cast<std::size_t>(other.typeId)] = &other;
    }

    const AttachmentRow& row = AttachmentTable[static_cast<std::size_t>(part->typeId)];
    for (int k = 0; k < row.seamGroupCount; ++k) {
        const AttachmentSeam& seam = row.seams[static_cast<std::size_t>(k)];
        if (seam.dependantCount == 0) continue;
        MeshObject* child = byType[static_cast<std::size_t>(seam.dependants[0])];
        if (child == nullptr || child == part) continue;
        const int own = part->BoundaryCount(k);
        const int other = child->BoundaryCount(seam.childList);
        if (own != other) {
            ReportCountMismatch(own, other);
            return false;
        }
        float offset[3];
        if (!SeamOffset(*part, k, *child, seam.childList, offset)) continue;
        // Everything on the seam moves rigidly, so the seams between the
        // dependants stay closed.
        for (int d = 0; d < seam.dependantCount; ++d) {
            MeshObject* dependant = byType[static_cast<std::size_t>(seam.dependants[static_cast<std::size_t>(d)])];
            if (dependant != nullptr && dependant != part) dependant->Translate(offset[0], offset[1], offset[2]);
        }
    }
    return true;
}

bool Creature::WeldNeighbours(MeshObject* part) {
    if (part != nullptr && ValidType(part->typeId)) {
        const ConnectionRow& row = ConnectionTable[static_cast<std::size_t>(part->typeId)];
        for (int k = 0; k < row.seamCount; ++k) {
            const SeamEntry& entry = row.seams[static_cast<std::size_t>(k)];
            MeshObject* neighbour = LastPartOfType(entry.neighbourType);
            if (neighbour == nullptr || neighbour == part) continue;
            const int own = part->BoundaryCount(k);
            const int other = neighbour->BoundaryCount(entry.neighbourList);
            if (own != other) {
                ReportCountMismatch(own, other);
                break;
            }
            WeldLists(*part, k, *neighbour, entry.neighbourList);
        }
    }
    WeldNoseMouth();
    return true;
}

bool Creature::WeldNoseMouth() {
    MeshObject* nose = LastPartNamed("Nose");
    MeshObject* mouth = LastPartNamed("Mouth");
    if (nose == nullptr || mouth == nullptr) return true;
    const int noseCount = nose->BoundaryCount(1);
    const int mouthCount = mouth->BoundaryCount(1);
    if (noseCount != mouthCount) {
        ReportCountMismatch(noseCount, mouthCount);
        return false;
    }
    WeldLists(*nose, 1, *mouth, 1);
    return true;
}

}  // namespace model
