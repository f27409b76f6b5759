// Creature: the figure being built, at most one part per body-part type.
// Parts come and go through SetPart only; how the figure is shown (camera,
// colours, selection) belongs to the view.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/mesh_object.h"
#include "model/part_list.h"

namespace ui {
class MessageSink;
}

namespace model {

class Creature {
public:
    // Messages (seam mismatch, a part without points, and the readers' for
    // files that cannot be added) go to `messages`.
    explicit Creature(ui::MessageSink& messages);
    ~Creature() = default;
    Creature(const Creature&) = delete;
    Creature& operator=(const Creature&) = delete;

    // With a part just read from its file (named after it): makes it a part
    // of that type and connects it, replacing a part of the same type.
    // Without (null): removes the part of that type. False when nothing was
    // added or removed. Reading a file is formats::SetPartFromFile.
    bool SetPart(const std::string& typeName, std::unique_ptr<MeshObject> part, std::int32_t panelIndex);
    // As above with a copy of a part read once for many figures; `parsed`
    // stays as it is.
    bool SetPart(const std::string& typeName, const MeshObject& parsed, std::int32_t panelIndex);
    // Where the figure's messages (unreadable file, seam mismatch) go.
    ui::MessageSink& Messages() const { return messages_; }
    // The part of that panel index; null for an empty slot or an index
    // outside 0 … 21.
    MeshObject* PartOfPanel(std::int32_t panelIndex) const;

    // Connection (placing a new part, pulling dependants, welding seams).
    bool ConnectPart(std::unique_ptr<MeshObject> part);
    bool AlignDependants(MeshObject* part);
    bool WeldNeighbours(MeshObject* part);
    bool WeldNoseMouth();
    // Recomputes a part from its rest points and factors, then re-aligns
    // and re-welds it.
    bool ApplyParameters(MeshObject* part);

    // The part at a list position; null when out of range.
    MeshObject* PartAt(std::int32_t position) const;
    // The last part in list order of that type name; null if none.
    MeshObject* PartNamed(std::string_view typeName) const { return LastPartNamed(typeName); }

    PartList parts;

private:
    // "Cant connect object!" with the entry counts of both ends of a seam.
    void ReportCountMismatch(int ownCount, int otherCount);
    void ReportFailure(const char* caption, const std::string& path);
    // The last part in list order of that type id (or type name); null if none.
    MeshObject* LastPartOfType(std::int32_t typeId) const;
    MeshObject* LastPartNamed(std::string_view typeName) const;

    ui::MessageSink& messages_;
};

// Euclidean distance of a point from a centre, in double precision.
double DistanceToCentre(float x, float y, float z, float cx, float cy, float cz);

}  // namespace model
