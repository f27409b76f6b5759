// Feeds arbitrary bytes to the object reader. Whatever it accepts is then
// used the way the program uses a part: placed as the view places it, its
// quads walked as the drawing walks them, its surface attribute bytes looked
// at, and three copies connected, welded and deformed. The sanitizers catch any
// access outside an array.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "formats/object_reader.h"
#include "model/creature.h"
#include "model/mesh_object.h"
#include "ui/message_sink.h"
#include "view/placement.h"
#include "view/view_state.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

float Touch(const std::vector<float>& v, std::size_t point) {
    return v.at(3 * point) + v.at(3 * point + 1) + v.at(3 * point + 2);
}

void UseLikeTheProgram(model::MeshObject& part) {
    // Placed for drawing as the view places it, turned a little.
    view::ViewState state;
    state.yaw = 0.3f;
    state.pitch = -0.2f;
    view::PlacedPoints placed;
    view::PlacePoints(part, view::PlacementOf(state), placed);
    volatile float sink = 0;
    const std::size_t n = part.points.size() / 3;
    Require(part.points.empty() || part.points.size() == 3 * static_cast<std::size_t>(part.pointCount));
    Require(part.normals.empty() || part.normals.size() == 3 * static_cast<std::size_t>(part.pointCount));
    for (const model::Polygon& q : part.polygons) {
        for (std::uint16_t corner : {q.a, q.b, q.c, q.d}) {
            Require(corner < part.pointCount);
            if (corner < n) sink = sink + Touch(placed.points, corner) + Touch(placed.normals, corner);
        }
        Require(q.surface < part.surfaces.size());
        sink = sink + part.surfaces[q.surface].colour[0];
    }
    for (int k = 0; k < model::kBoundaryListCount; ++k) {
        const std::uint16_t* list = part.BoundaryList(k);
        for (std::uint16_t e = 0; e < part.BoundaryCount(k); ++e) {
            Require(list[e] < part.pointCount);
            if (list[e] < n) sink = sink + Touch(part.points, list[e]);
        }
    }
    for (const model::SurfaceRecord& s : part.surfaces) {
        Require(s.name.size() <= 255);
        Require(s.attributeOffset + s.attributeByteCount <= part.fileImage.size());
        if (s.attributeByteCount > 0) sink = sink + part.fileImage[s.attributeOffset + s.attributeByteCount - 1];
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<unsigned char> bytes(data, data + size);
    formats::ObjectRefusal why;
    const std::unique_ptr<model::MeshObject> part = formats::ReadObjectImage(bytes, why);
    if (part == nullptr) return 0;
    UseLikeTheProgram(*part);
    if (!part->CheckPoints()) return 0;

    // Two copies of the part on either side of every seam of a forearm:
    // the hand on list 0 and the arm on list 1 of the same file.
    ui::SilentSink messages;
    model::Creature creature(messages);
    for (const char* type : {"Left hand", "Left arm", "Left forearm"}) {
        std::unique_ptr<model::MeshObject> copy = formats::ReadObjectImage(bytes, why);
        if (copy == nullptr) std::abort();
        copy->SetObjectType(type);
        creature.ConnectPart(std::move(copy));
    }
    for (std::int32_t i = 0; i < creature.parts.Count(); ++i) {
        model::MeshObject* p = creature.PartAt(i);
        p->settings.deformFactors[model::kLockNone][model::kAxisX] = 0.5f;
        p->settings.deformFactors[model::kLockPositive][model::kAxisY] = -0.3f;
        creature.ApplyParameters(p);
        UseLikeTheProgram(*p);
    }
    return 0;
}
